#include "core/fakenetwork.h"

#include "app/debug.h"
#include "app/timing.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace {

const QString kBroadcast = QStringLiteral("255.255.255.255");

bool SameAddress(const QString &a, const QString &b)
{
    return QHostAddress(a) == QHostAddress(b);
}

} // namespace

FakeNetwork::FakeNetwork()
{
    AdapterSource::SetCurrent(this);
    DatagramSocketFactory::SetCurrent(this);
}

FakeNetwork::~FakeNetwork()
{
    AdapterSource::SetCurrent(nullptr);
    DatagramSocketFactory::SetCurrent(nullptr);
    // Sockets that outlive the network (an engine destroyed later) must not
    // call back into it.
    for (FakeSocket *socket : open_)
        socket->network_ = nullptr;
}

AdapterEntry FakeNetwork::MakeAdapter(const QString &name, const MacAddress &mac,
                                      std::vector<AdapterAddress> addresses, const QString &description)
{
    AdapterEntry entry;
    entry.name = name;
    entry.description = description.isEmpty() ? QStringLiteral("Fake adapter ") + name : description;
    entry.mac = mac;
    entry.addresses = std::move(addresses);
    return entry;
}

std::optional<AdapterList> FakeNetwork::GetAdapters()
{
    if (listFails_)
        return std::nullopt;
    return adapters_;
}

std::unique_ptr<DatagramSocket> FakeNetwork::Create()
{
    ++created_;
    return std::make_unique<FakeSocket>(*this);
}

QString FakeNetwork::Key(const QString &address, uint16_t port)
{
    return QHostAddress(address).toString() + QLatin1Char(':') + QString::number(port);
}

bool FakeNetwork::Register(FakeSocket *socket, const QString &interfaceName, const QString &address,
                           uint16_t port)
{
    if (taken_.count(Key(address, port)))
        return false;
    if (!interfaceName.isEmpty()) {
        const bool known = std::any_of(adapters_.begin(), adapters_.end(),
                                       [&](const AdapterEntry &a) { return a.name == interfaceName; });
        if (!known)
            return false;
    }
    open_.push_back(socket);
    return true;
}

void FakeNetwork::Unregister(FakeSocket *socket)
{
    open_.erase(std::remove(open_.begin(), open_.end(), socket), open_.end());
}

void FakeNetwork::OnSend(FakeSocket *socket, const QByteArray &data, uint16_t port, const QString &address)
{
    SentDatagram sent{socket->interfaceName_, socket->Mac(), socket->address_, socket->port_, address, port, data};
    sent_.push_back(sent);
    if (sendHook_)
        sendHook_(sent);
    const bool broadcast = SameAddress(address, kBroadcast);
    for (const auto &device : devices_) {
        const auto &names = device->interfaceNames;
        if (std::find(names.begin(), names.end(), sent.interfaceName) == names.end())
            continue;
        if (port != device->port || (!broadcast && !SameAddress(address, device->ip)))
            continue;
        device->received.push_back(sent);
        if (!device->respond)
            continue;
        for (FakeAnswer &answer : device->respond(sent)) {
            const ReceivedDatagram datagram{answer.datagram, device->ip, device->port};
            if (device->unicastReplies)
                Schedule(sent.interfaceName, datagram, sent.fromAddress, sent.fromPort,
                         device->replyDelayMs + answer.delayMs, std::move(answer.onSent));
            else
                Schedule(sent.interfaceName, datagram, kBroadcast, 5433, device->replyDelayMs + answer.delayMs,
                         std::move(answer.onSent));
        }
    }
}

void FakeNetwork::Inject(const QString &interfaceName, const QByteArray &data, const QString &fromAddress,
                         uint16_t fromPort, const QString &toAddress, uint16_t toPort, int delayMs)
{
    Schedule(interfaceName, ReceivedDatagram{data, fromAddress, fromPort}, toAddress, toPort, delayMs, {});
}

void FakeNetwork::Schedule(const QString &interfaceName, const ReceivedDatagram &datagram, const QString &toAddress,
                           uint16_t toPort, int delayMs, std::function<void()> onSent)
{
    // Scaled here rather than through Timing::Scaled, which tests watch for
    // the waits the program itself asks for.
    const int wait = delayMs > 0 ? std::max(1, int(std::ceil(delayMs * Timing::Scale()))) : 0;
    if (!flightTimer_) {
        clock_.start();
        flightTimer_ = new QTimer(this);
        flightTimer_->setSingleShot(true);
        flightTimer_->setTimerType(Qt::PreciseTimer);
        connect(flightTimer_, &QTimer::timeout, this, &FakeNetwork::DeliverDue);
    }
    inFlight_.emplace(clock_.elapsed() + wait, InFlight{interfaceName, datagram, toAddress, toPort, std::move(onSent)});
    ArmFlightTimer();
}

void FakeNetwork::ArmFlightTimer()
{
    if (inFlight_.empty())
        return;
    flightTimer_->start(int(std::max<qint64>(0, inFlight_.begin()->first - clock_.elapsed())));
}

void FakeNetwork::DeliverDue()
{
    // Each delivery may send more (a device's answer): taken one at a time.
    while (!inFlight_.empty() && inFlight_.begin()->first <= clock_.elapsed()) {
        InFlight next = std::move(inFlight_.begin()->second);
        inFlight_.erase(inFlight_.begin());
        if (next.onSent)
            next.onSent();
        Deliver(next.interfaceName, next.datagram, next.toAddress, next.toPort);
    }
    ArmFlightTimer();
}

void FakeNetwork::Deliver(const QString &interfaceName, const ReceivedDatagram &datagram, const QString &toAddress,
                          uint16_t toPort)
{
    const bool broadcast = SameAddress(toAddress, kBroadcast);
    // Copy: a callback may open or close sockets.
    const std::vector<FakeSocket *> targets = open_;
    for (FakeSocket *socket : targets) {
        if (socket->interfaceName_ != interfaceName || socket->port_ != toPort)
            continue;
        if (!broadcast && !SameAddress(socket->address_, toAddress))
            continue;
        socket->Enqueue(datagram);
    }
}

FakeDevice &FakeNetwork::AddDevice(FakeDevice device)
{
    devices_.push_back(std::make_unique<FakeDevice>(std::move(device)));
    return *devices_.back();
}

FakeDevice &FakeNetwork::AddSimDevice(SimDeviceConfig config, std::vector<QString> interfaceNames, const QString &ip)
{
    FakeDevice device;
    device.ip = ip;
    device.interfaceNames = std::move(interfaceNames);
    device.sim = std::make_shared<SimDevice>(std::move(config));
    std::weak_ptr<SimDevice> weak = device.sim;
    device.respond = [weak](const SentDatagram &request) {
        std::vector<FakeAnswer> answers;
        const auto sim = weak.lock();
        if (!sim)
            return answers;
        for (const SimOutput &output : sim->Handle(request.data)) {
            FakeAnswer answer(output.datagram, output.delayMs);
            if (output.endsLogin) {
                const uint64_t generation = output.loginGeneration;
                answer.onSent = [weak, generation] {
                    if (const auto s = weak.lock())
                        s->EndLogin(generation);
                };
            }
            answers.push_back(std::move(answer));
        }
        return answers;
    };
    return AddDevice(std::move(device));
}

void FakeNetwork::SetHeaderMac(QByteArray &datagram, const MacAddress &mac)
{
    if (datagram.size() < 15)
        return;
    for (int i = 0; i < 6; ++i)
        datagram[9 + i] = static_cast<char>(mac[i]);
}

bool FakeNetwork::WaitFor(const std::function<bool()> &done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    return done();
}

// ---------------------------------------------------------------------------

FakeSocket::FakeSocket(FakeNetwork &network) : network_(&network) {}

FakeSocket::~FakeSocket()
{
    Close();
}

bool FakeSocket::Open(const QString &interfaceName, const QString &address, uint16_t port)
{
    Close();
    if (!network_ || !network_->Register(this, interfaceName, address, port))
        return false;
    DebugPrint("WSAAsyncSelect() OK");
    open_ = true;
    interfaceName_ = interfaceName;
    address_ = address;
    port_ = port;
    return true;
}

void FakeSocket::Close()
{
    if (!open_)
        return;
    open_ = false;
    queue_.clear();
    if (network_)
        network_->Unregister(this);
}

bool FakeSocket::SendTo(const QByteArray &data, uint16_t port, const QString &address)
{
    if (!open_ || sendFails_ || !network_ || QHostAddress(address).isNull())
        return false;
    network_->OnSend(this, data, port, address);
    return true;
}

int FakeSocket::Recv(ReceivedDatagram &out)
{
    if (!open_)
        return 0;
    if (queue_.empty())
        return -1;
    ++reads_;
    out = std::move(queue_.front());
    queue_.pop_front();
    return static_cast<int>(out.data.size());
}

void FakeSocket::Enqueue(ReceivedDatagram datagram)
{
    queue_.push_back(std::move(datagram));
    if (notifyScheduled_ || !network_)
        return;
    notifyScheduled_ = true;
    // Readiness comes later, from the event loop, as a real socket's does.
    const std::weak_ptr<bool> alive = alive_;
    QTimer::singleShot(0, network_, [this, alive] {
        if (!alive.expired())
            Notify();
    });
}

void FakeSocket::Notify()
{
    notifyScheduled_ = false;
    const std::weak_ptr<bool> alive = alive_;
    while (open_ && callback_ && !queue_.empty()) {
        const uint64_t before = reads_;
        auto callback = callback_;
        callback();
        if (alive.expired() || reads_ == before)
            return;
    }
}
