// The simulated device on real sockets inside the network lab: discovery
// over the two pc adapters with broadcast and unicast answers, a device
// whose own address is on another subnet than the pc side (it can only be
// reached by broadcast), and the login and state file across processes.
// The wizard side is a bare CUDPSocket per adapter with the wizard's codec.
#include "ui/lab.h"

#include "app/records.h"
#include "protocol/cudpsocket.h"
#include "protocol/packet.h"
#include "protocol/protocolcodec.h"
#include "protocol/rc4encry.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <gtest/gtest.h>
#include <set>

using namespace Protocol;

namespace {

struct Heard
{
    QString adapter; // pc0 or pc1
    ReceivedDatagram datagram;
};

// One wizard-side socket per pc adapter, bound like the engine's.
class PcSide
{
public:
    PcSide()
    {
        const std::pair<const char *, const char *> adapters[] = {{"pc0", "10.77.0.1"}, {"pc1", "10.77.1.1"}};
        for (const auto &[name, ip] : adapters) {
            auto socket = std::make_unique<CUDPSocket>();
            EXPECT_TRUE(socket->Open(name, ip, kWizardPort)) << name;
            EXPECT_TRUE(socket->BoundToDevice()) << name;
            CUDPSocket *raw = socket.get();
            const QString adapter = QString::fromLatin1(name);
            socket->SetReadyCallback([this, raw, adapter] {
                ReceivedDatagram d;
                if (raw->Recv(d) > 0)
                    heard_.push_back({adapter, d});
            });
            sockets_.push_back(std::move(socket));
        }
    }

    // Sends `request` through both adapters, enciphered under `password`.
    void Broadcast(Request request, const QByteArray &password = {})
    {
        if (request.Data()[kOffCommand] != CMD_DISCOVER)
            CipherPayload(std::string_view(password.constData(), size_t(password.size())),
                          request.Data() + kHeaderSize, request.PayloadLength());
        const QByteArray bytes(reinterpret_cast<const char *>(request.Data()), int(request.Size()));
        for (const auto &socket : sockets_)
            EXPECT_TRUE(socket->SendTo(bytes, kDevicePort, QStringLiteral("255.255.255.255")));
    }

    // Everything heard within `ms` (or once `count` datagrams are in).
    std::vector<Heard> Listen(int ms, size_t count = SIZE_MAX)
    {
        QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired() && heard_.size() < count)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
        std::vector<Heard> out = std::move(heard_);
        heard_.clear();
        return out;
    }

private:
    std::vector<std::unique_ptr<CUDPSocket>> sockets_;
    std::vector<Heard> heard_;
};

QString NameOf(const QByteArray &datagram)
{
    DeviceRecord record;
    DecodeDiscover(reinterpret_cast<const uint8_t *>(datagram.constData()) + kHeaderSize,
                   size_t(datagram.size()) - kHeaderSize, record);
    return QString::fromLatin1(record.Name);
}

// (adapter, device name, sender address) of every answer.
std::set<std::tuple<QString, QString, QString>> Summary(const std::vector<Heard> &heard)
{
    std::set<std::tuple<QString, QString, QString>> out;
    for (const Heard &h : heard)
        out.insert({h.adapter, NameOf(h.datagram.data), h.datagram.senderAddress});
    return out;
}

const MacBytes kPcMac{0x00, 0x77, 0x00, 0x00, 0x00, 0x01};

} // namespace

TEST(LabDeviceSim, DiscoveryOverTwoAdaptersWithBroadcastAnswers)
{
    LAB_RUN_INSIDE({"--dev-args", "--device name=A1 --device name=B2,iface=dev1"});
    PcSide pc;
    pc.Broadcast(BuildDiscover(kPcMac));
    const auto heard = pc.Listen(1500, 3);
    using T = std::tuple<QString, QString, QString>;
    EXPECT_EQ(Summary(heard), (std::set<T>{T{"pc0", "A1", "10.77.0.2"}, T{"pc1", "A1", "10.77.1.2"},
                                           T{"pc1", "B2", "10.77.1.2"}}));
    EXPECT_EQ(heard.size(), 3u) << "one answer per device and adapter";
    for (const Heard &h : heard)
        EXPECT_EQ(h.datagram.senderPort, kDevicePort);
}

TEST(LabDeviceSim, UnicastAnswersReachTheSender)
{
    LAB_RUN_INSIDE({"--dev-args", "--reply unicast --device name=U1"});
    PcSide pc;
    pc.Broadcast(BuildDiscover(kPcMac));
    const auto heard = pc.Listen(1500, 2);
    using T = std::tuple<QString, QString, QString>;
    EXPECT_EQ(Summary(heard), (std::set<T>{T{"pc0", "U1", "10.77.0.2"}, T{"pc1", "U1", "10.77.1.2"}}));
}

TEST(LabDeviceSim, DeviceOnAnotherSubnetAnswersByBroadcast)
{
    // dev1 has an address outside the pc side's 10.77.1.0/24: the device
    // cannot reach 10.77.1.1 by unicast, but its broadcast arrives on pc1.
    LAB_RUN_INSIDE({"--dev-ip1", "192.168.77.2/24", "--dev-args", "--device name=Far,iface=dev1"});
    PcSide pc;
    pc.Broadcast(BuildDiscover(kPcMac));
    const auto heard = pc.Listen(1500, 1);
    using T = std::tuple<QString, QString, QString>;
    EXPECT_EQ(Summary(heard), (std::set<T>{T{"pc1", "Far", "192.168.77.2"}}));
}

TEST(LabDeviceSim, LoginAndWriteShowInTheStateFile)
{
    LAB_RUN_INSIDE({"--dev-args", "--state-file $LAB_DIR/state.json --device name=S1,password=lab-pass,iface=dev0"});
    PcSide pc;
    const MacBytes device{0x02, 0x00, 0x4C, 0x00, 0x00, 0x01};

    pc.Broadcast(BuildLogin(kPcMac, device), "wrong");
    auto heard = pc.Listen(1500, 1);
    ASSERT_EQ(heard.size(), 1u);
    QByteArray answer = heard[0].datagram.data;
    CipherPayload("wrong", reinterpret_cast<uint8_t *>(answer.data()) + kHeaderSize, answer.size() - kHeaderSize);
    EXPECT_EQ(DecodeResult(reinterpret_cast<const uint8_t *>(answer.constData()) + kHeaderSize,
                           answer.size() - kHeaderSize, true)
                  .result,
              0)
        << "a wrong password is refused";

    pc.Broadcast(BuildLogin(kPcMac, device), "lab-pass");
    heard = pc.Listen(1500, 1);
    ASSERT_EQ(heard.size(), 1u);
    answer = heard[0].datagram.data;
    CipherPayload("lab-pass", reinterpret_cast<uint8_t *>(answer.data()) + kHeaderSize, answer.size() - kHeaderSize);
    EXPECT_EQ(DecodeResult(reinterpret_cast<const uint8_t *>(answer.constData()) + kHeaderSize,
                           answer.size() - kHeaderSize, true)
                  .result,
              1);

    pc.Broadcast(BuildSetMode(kPcMac, 2), "lab-pass");
    ASSERT_EQ(pc.Listen(1500, 1).size(), 1u);
    const QJsonObject state = Lab::ReadState()["devices"].toArray().at(0).toObject();
    EXPECT_TRUE(state["loggedIn"].toBool());
    EXPECT_EQ(state["mode"].toInt(), 2);
    EXPECT_EQ(state["requests"].toObject()["login"].toInt(), 2);
}
