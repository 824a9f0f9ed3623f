#pragma once
// An in-process network for unit and widget tests. It stands in for both
// seams of the engine, the adapter list and the socket factory, so that the
// real engine runs unchanged without any datagram leaving the process.
//
// Adapters are segments: a socket opened on adapter "eth0" sees only what is
// delivered on "eth0". Every datagram a socket sends is recorded; fake
// devices attached to an adapter see the broadcasts (and the unicasts to
// their own address) sent through it and may answer. Tests can also inject
// any datagram from any address and port on any adapter; the MAC travels in
// the datagram's header, so SetHeaderMac forges a sender.
//
// Delivery is asynchronous, through the event loop, as with real sockets: a
// datagram becomes readable only after control returns to the loop (after
// an optional delay in product milliseconds, scaled by Timing), and each
// socket then calls its ready callback once per waiting datagram.
//
// Constructing a FakeNetwork installs it as the current AdapterSource and
// DatagramSocketFactory; destroying it restores the real ones.

#include "protocol/datagramsocket.h"
#include "protocol/iphelp.h"
#include "simdevice.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <QString>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

class FakeSocket;

// One datagram sent by a socket of the program under test.
struct SentDatagram
{
    QString interfaceName;
    MacAddress socketMac{}; // the MAC the engine attached to the socket
    QString fromAddress;  // the socket's address text
    uint16_t fromPort = 0;
    QString toAddress;
    uint16_t toPort = 0;
    QByteArray data;
};

// One answer of a fake device: a whole datagram (header included), sent
// `delayMs` product milliseconds after the request; `onSent` runs when it
// leaves (a simulated device ends its login there).
struct FakeAnswer
{
    FakeAnswer(QByteArray data = {}, int delay = 0) : datagram(std::move(data)), delayMs(delay) {}
    QByteArray datagram;
    int delayMs = 0;
    std::function<void()> onSent;
};

// A device on one or more fake segments. `respond` sees every datagram that
// reaches it and returns the answers to send back; they go out as
// broadcasts to port 5433 of the segment the request came through, or
// unicast to the sender when `unicastReplies` is set, each after
// `replyDelayMs` plus its own delay.
struct FakeDevice
{
    QString ip;                          // the device's own address
    std::vector<QString> interfaceNames; // segments it is attached to
    uint16_t port = 5432;                // the port it listens on
    bool unicastReplies = false;
    int replyDelayMs = 0;
    std::function<std::vector<FakeAnswer>(const SentDatagram &request)> respond;
    std::vector<SentDatagram> received; // every datagram that reached it
    std::shared_ptr<SimDevice> sim;     // set by AddSimDevice
};

class FakeNetwork : public QObject, public AdapterSource, public DatagramSocketFactory
{
public:
    FakeNetwork();
    ~FakeNetwork() override;
    FakeNetwork(const FakeNetwork &) = delete;
    FakeNetwork &operator=(const FakeNetwork &) = delete;

    // --- adapters ---
    // An adapter entry; `addresses` are (ip, netmask) pairs, "0.0.0.0" allowed.
    static AdapterEntry MakeAdapter(const QString &name, const MacAddress &mac,
                                    std::vector<AdapterAddress> addresses, const QString &description = {});
    void SetAdapters(AdapterList adapters) { adapters_ = std::move(adapters); }
    void AddAdapter(AdapterEntry adapter) { adapters_.push_back(std::move(adapter)); }
    // Makes GetAdapters report that the platform has no list.
    void SetAdapterListFails(bool fails) { listFails_ = fails; }
    std::optional<AdapterList> GetAdapters() override;

    // Makes every later Open on address:port fail, as if another program
    // held the port.
    void TakePort(const QString &address, uint16_t port) { taken_.insert(Key(address, port)); }
    void ReleasePort(const QString &address, uint16_t port) { taken_.erase(Key(address, port)); }

    // --- sockets ---
    std::unique_ptr<DatagramSocket> Create() override;
    // The open sockets in the order they were opened.
    std::vector<FakeSocket *> OpenSockets() const { return open_; }
    // Sockets ever created (open or not, destroyed or not).
    int CreatedCount() const { return created_; }

    // --- traffic ---
    const std::vector<SentDatagram> &Sent() const { return sent_; }
    void ClearSent() { sent_.clear(); }
    // Called synchronously for every datagram sent, after recording it.
    void SetSendHook(std::function<void(const SentDatagram &)> hook) { sendHook_ = std::move(hook); }

    // Delivers `data` from fromAddress:fromPort to every open socket on
    // `interfaceName` bound to `toPort` (to 255.255.255.255 every such
    // socket, otherwise only those whose address is `toAddress`), after
    // `delayMs` product milliseconds, through the event loop.
    void Inject(const QString &interfaceName, const QByteArray &data, const QString &fromAddress,
                uint16_t fromPort = 5432, const QString &toAddress = QStringLiteral("255.255.255.255"),
                uint16_t toPort = 5433, int delayMs = 0);

    // Attaches a device; the network owns it. The reference stays valid
    // for the network's life.
    FakeDevice &AddDevice(FakeDevice device);
    // Attaches a simulated device (the protocol logic of tools/devicesim)
    // with address `ip` to the named segments; its state is readable
    // through the returned device's `sim`.
    FakeDevice &AddSimDevice(SimDeviceConfig config, std::vector<QString> interfaceNames,
                             const QString &ip = QStringLiteral("192.168.1.1"));
    std::vector<std::unique_ptr<FakeDevice>> &Devices() { return devices_; }

    // Writes `mac` into the sender field of a datagram's header (bytes 9 to
    // 14); shorter datagrams are left alone.
    static void SetHeaderMac(QByteArray &datagram, const MacAddress &mac);

    // Runs the event loop until `done` holds or `timeoutMs` real
    // milliseconds pass; returns `done()`.
    static bool WaitFor(const std::function<bool()> &done, int timeoutMs = 2000);

private:
    friend class FakeSocket;
    static QString Key(const QString &address, uint16_t port);
    bool Register(FakeSocket *socket, const QString &interfaceName, const QString &address, uint16_t port);
    void Unregister(FakeSocket *socket);
    void OnSend(FakeSocket *socket, const QByteArray &data, uint16_t port, const QString &address);
    // Datagrams in flight leave in the order of their due times, equal
    // times in the order sent, as on a wire: one timer for the earliest (a
    // timer per datagram may fire out of order on Windows).
    void Schedule(const QString &interfaceName, const ReceivedDatagram &datagram, const QString &toAddress,
                  uint16_t toPort, int delayMs, std::function<void()> onSent);
    void DeliverDue();
    void ArmFlightTimer();
    void Deliver(const QString &interfaceName, const ReceivedDatagram &datagram, const QString &toAddress,
                 uint16_t toPort);

    AdapterList adapters_;
    bool listFails_ = false;
    struct InFlight
    {
        QString interfaceName;
        ReceivedDatagram datagram;
        QString toAddress;
        uint16_t toPort = 0;
        std::function<void()> onSent;
    };
    std::multimap<qint64, InFlight> inFlight_; // by due time on clock_
    QElapsedTimer clock_;
    QTimer *flightTimer_ = nullptr;
    std::set<QString> taken_;
    std::vector<FakeSocket *> open_;
    int created_ = 0;
    std::vector<SentDatagram> sent_;
    std::function<void(const SentDatagram &)> sendHook_;
    std::vector<std::unique_ptr<FakeDevice>> devices_;
};

class FakeSocket : public DatagramSocket
{
public:
    explicit FakeSocket(FakeNetwork &network);
    ~FakeSocket() override;

    bool Open(const QString &interfaceName, const QString &address, uint16_t port) override;
    void Close() override;
    bool IsOpen() const override { return open_; }
    bool SendTo(const QByteArray &data, uint16_t port, const QString &address) override;
    int Recv(ReceivedDatagram &out) override;
    bool HasPendingDatagram() const override { return open_ && !queue_.empty(); }
    void SetReadyCallback(std::function<void()> callback) override { callback_ = std::move(callback); }
    QString Address() const override { return address_; }
    uint16_t Port() const override { return open_ ? port_ : 0; }

    const QString &InterfaceName() const { return interfaceName_; }
    // Makes the next sends fail (the engine must go on with the others).
    void SetSendFails(bool fails) { sendFails_ = fails; }

private:
    friend class FakeNetwork;
    void Enqueue(ReceivedDatagram datagram);
    void Notify();

    FakeNetwork *network_;
    bool open_ = false;
    bool sendFails_ = false;
    bool notifyScheduled_ = false;
    QString interfaceName_;
    QString address_;
    uint16_t port_ = 0;
    std::deque<ReceivedDatagram> queue_;
    std::function<void()> callback_;
    uint64_t reads_ = 0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
