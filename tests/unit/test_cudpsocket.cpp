// CUDPSocket on loopback only (never a broadcast on a real interface):
// bind and port choice, send and receive with the sender's address, every
// waiting datagram drained through the ready callback (also when two
// sockets receive at once), a taken port, the
// device binding and its fall-back, and sockets closed or destroyed from
// inside their own notification.
#include "protocol/cudpsocket.h"

#include "core/fakenetwork.h"

#include <QHostAddress>
#include <QUdpSocket>
#include <gtest/gtest.h>

namespace {

const QString kLoopback = QStringLiteral("127.0.0.1");

struct Collected
{
    std::vector<ReceivedDatagram> datagrams;
    int calls = 0;
};

// Opens `socket` on loopback with a kernel-chosen port and collects every
// datagram its callback reads.
void OpenCollecting(CUDPSocket &socket, Collected &collected, const QString &iface = {})
{
    ASSERT_TRUE(socket.Open(iface, kLoopback, 0));
    socket.SetReadyCallback([&socket, &collected] {
        ++collected.calls;
        ReceivedDatagram d;
        if (socket.Recv(d) > 0)
            collected.datagrams.push_back(d);
    });
}

} // namespace

TEST(CUDPSocket, ClosedSocketRefusesEverything)
{
    CUDPSocket socket;
    ReceivedDatagram d;
    EXPECT_FALSE(socket.IsOpen());
    EXPECT_EQ(socket.Recv(d), 0);
    EXPECT_FALSE(socket.SendTo("x", 5432, kLoopback));
    EXPECT_FALSE(socket.HasPendingDatagram());
    EXPECT_EQ(socket.Port(), 0);
    socket.Close(); // harmless twice
}

TEST(CUDPSocket, BindsAndReportsAddressAndChosenPort)
{
    CUDPSocket socket;
    ASSERT_TRUE(socket.Open({}, kLoopback, 0));
    EXPECT_TRUE(socket.IsOpen());
    EXPECT_EQ(socket.Address(), kLoopback);
    EXPECT_NE(socket.Port(), 0);
    EXPECT_FALSE(socket.BoundToDevice());
    ReceivedDatagram d;
    EXPECT_EQ(socket.Recv(d), -1) << "nothing waiting";
    socket.Close();
    EXPECT_FALSE(socket.IsOpen());
    EXPECT_EQ(socket.Port(), 0);
}

TEST(CUDPSocket, RejectsUnusableAddresses)
{
    CUDPSocket socket;
    EXPECT_FALSE(socket.Open({}, QStringLiteral("300.1.2.3"), 0));
    EXPECT_FALSE(socket.Open({}, QStringLiteral("not an address"), 0));
    EXPECT_FALSE(socket.IsOpen());
    ASSERT_TRUE(socket.Open({}, kLoopback, 0));
    EXPECT_FALSE(socket.SendTo("x", 5432, QStringLiteral("bogus")));
}

TEST(CUDPSocket, ReceivesWithSenderAddressAndPort)
{
    CUDPSocket a, b;
    Collected got;
    ASSERT_TRUE(a.Open({}, kLoopback, 0));
    OpenCollecting(b, got);
    const QByteArray payload("SWP12345\x02payload", 17);
    ASSERT_TRUE(a.SendTo(payload, b.Port(), kLoopback));
    ASSERT_TRUE(FakeNetwork::WaitFor([&] { return !got.datagrams.empty(); }));
    EXPECT_EQ(got.datagrams[0].data, payload);
    EXPECT_EQ(got.datagrams[0].senderAddress, kLoopback);
    EXPECT_EQ(got.datagrams[0].senderPort, a.Port());
}

TEST(CUDPSocket, DrainsEveryWaitingDatagramInOrder)
{
    CUDPSocket a, b;
    Collected got;
    ASSERT_TRUE(a.Open({}, kLoopback, 0));
    OpenCollecting(b, got);
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(a.SendTo(QByteArray::number(i), b.Port(), kLoopback));
    ASSERT_TRUE(FakeNetwork::WaitFor([&] { return got.datagrams.size() == 20; }));
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(got.datagrams[i].data, QByteArray::number(i));
    EXPECT_EQ(got.calls, 20) << "one callback per datagram";
    EXPECT_FALSE(b.HasPendingDatagram());
}

TEST(CUDPSocket, DatagramsTakenInForAnotherSocketStillReachIt)
{
    // While the first socket hands over a burst, the kernel's buffers of
    // every socket are emptied now and then; what that takes in for the
    // second socket, whose notification then never comes, must still
    // reach its callback.
    CUDPSocket a, b, c;
    Collected gotC;
    ASSERT_TRUE(a.Open({}, kLoopback, 0));
    ASSERT_TRUE(b.Open({}, kLoopback, 0));
    OpenCollecting(c, gotC);
    int readByB = 0;
    b.SetReadyCallback([&] {
        ReceivedDatagram d;
        if (b.Recv(d) > 0 && ++readByB == 1) {
            for (int i = 0; i < 5; ++i)
                a.SendTo(QByteArray::number(i), c.Port(), kLoopback);
        }
    });
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(a.SendTo(QByteArray::number(i), b.Port(), kLoopback));
    ASSERT_TRUE(FakeNetwork::WaitFor([&] { return readByB == 40 && gotC.datagrams.size() == 5; }, 5000))
        << readByB << " and " << gotC.datagrams.size();
}

TEST(CUDPSocket, CallbackThatDoesNotReadIsNotCalledForever)
{
    CUDPSocket a, b;
    ASSERT_TRUE(a.Open({}, kLoopback, 0));
    ASSERT_TRUE(b.Open({}, kLoopback, 0));
    int calls = 0;
    b.SetReadyCallback([&] { ++calls; });
    ASSERT_TRUE(a.SendTo("one", b.Port(), kLoopback));
    ASSERT_TRUE(a.SendTo("two", b.Port(), kLoopback));
    ASSERT_TRUE(FakeNetwork::WaitFor([&] { return calls > 0; }));
    FakeNetwork::WaitFor([] { return false; }, 50);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(b.HasPendingDatagram());
}

TEST(CUDPSocket, PortTakenByAnotherProgramFailsTheOpen)
{
    QUdpSocket other; // binds without address sharing, as a foreign program would
    ASSERT_TRUE(other.bind(QHostAddress(kLoopback), 0, QAbstractSocket::DontShareAddress));
    CUDPSocket socket;
    EXPECT_FALSE(socket.Open({}, kLoopback, other.localPort()));
    EXPECT_FALSE(socket.IsOpen());
}

TEST(CUDPSocket, DeviceBindingKeepsTheAdapterAddressAsItsText)
{
    // Bound to "lo" (as root) the socket listens on the any-address of that
    // interface; without the privilege it falls back to the address. Either
    // way it stands for 127.0.0.1 and receives what is sent there.
    CUDPSocket a, b;
    Collected got;
    ASSERT_TRUE(a.Open({}, kLoopback, 0));
    OpenCollecting(b, got, QStringLiteral("lo"));
    EXPECT_EQ(b.Address(), kLoopback);
    ASSERT_TRUE(a.SendTo("hello", b.Port(), kLoopback));
    ASSERT_TRUE(FakeNetwork::WaitFor([&] { return !got.datagrams.empty(); }));
    EXPECT_EQ(got.datagrams[0].data, QByteArray("hello"));
}

TEST(CUDPSocket, UnknownInterfaceFallsBackToTheAddress)
{
    CUDPSocket socket;
    ASSERT_TRUE(socket.Open(QStringLiteral("nosuchif9"), kLoopback, 0));
    EXPECT_FALSE(socket.BoundToDevice());
    EXPECT_EQ(socket.Address(), kLoopback);
}

TEST(CUDPSocket, AdapterWithoutAnAddressNeedsTheDeviceBinding)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Windows binds the adapter's address, which every adapter has there";
#endif
    // Tied to "lo" it stands for "0.0.0.0"; without the binding it does not
    // open at all and says why.
    CUDPSocket socket;
    if (socket.Open(QStringLiteral("lo"), QStringLiteral("0.0.0.0"), 0)) {
        EXPECT_TRUE(socket.BoundToDevice());
        EXPECT_EQ(socket.Address(), "0.0.0.0");
    }
    EXPECT_FALSE(socket.Open(QStringLiteral("nosuchif9"), QStringLiteral("0.0.0.0"), 0));
    EXPECT_FALSE(socket.IsOpen());
    EXPECT_FALSE(socket.ErrorText().isEmpty());
}

TEST(CUDPSocket, ClosedOrDestroyedFromItsOwnCallback)
{
    CUDPSocket a;
    ASSERT_TRUE(a.Open({}, kLoopback, 0));

    // Closed inside the callback: the other waiting datagrams are not offered.
    CUDPSocket closing;
    ASSERT_TRUE(closing.Open({}, kLoopback, 0));
    int calls = 0;
    closing.SetReadyCallback([&] {
        ++calls;
        ReceivedDatagram d;
        closing.Recv(d);
        closing.Close();
    });
    const uint16_t closingPort = closing.Port();
    a.SendTo("1", closingPort, kLoopback);
    a.SendTo("2", closingPort, kLoopback);
    ASSERT_TRUE(FakeNetwork::WaitFor([&] { return calls > 0; }));
    FakeNetwork::WaitFor([] { return false; }, 30);
    EXPECT_EQ(calls, 1);

    // Destroyed inside the callback (the engine re-initialising its sockets
    // from a handler).
    auto doomed = std::make_unique<CUDPSocket>();
    ASSERT_TRUE(doomed->Open({}, kLoopback, 0));
    bool destroyed = false;
    doomed->SetReadyCallback([&] {
        doomed.reset();
        destroyed = true;
    });
    a.SendTo("x", doomed->Port(), kLoopback);
    a.SendTo("y", doomed->Port(), kLoopback);
    ASSERT_TRUE(FakeNetwork::WaitFor([&] { return destroyed; }));
    FakeNetwork::WaitFor([] { return false; }, 30); // the deferred deletion runs
}

TEST(CUDPSocketFactory, RealFactoryMakesClosedCUDPSockets)
{
    auto socket = DatagramSocketFactory::Current().Create();
    ASSERT_TRUE(socket);
    EXPECT_FALSE(socket->IsOpen());
    EXPECT_NE(dynamic_cast<CUDPSocket *>(socket.get()), nullptr);
}
