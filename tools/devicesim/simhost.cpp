#include "simhost.h"

#include "app/debug.h"
#include "protocol/cudpsocket.h"
#include "protocol/iphelp.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QTextStream>
#include <QTimer>
#include <set>
#include <utility>
#include <vector>

namespace {

constexpr uint16_t kDevicePort = 5432;

bool Attached(const SimDeviceConfig &device, const QString &interfaceName, uint16_t port)
{
    if (port != kDevicePort && port != device.otherPort)
        return false;
    if (device.interfaces.empty())
        return true;
    for (const QString &name : device.interfaces) {
        if (name == interfaceName)
            return true;
    }
    return false;
}

} // namespace

SimHost::SimHost(SimHostOptions options) : options_(std::move(options))
{
    for (const SimDeviceConfig &config : options_.devices)
        devices_.emplace_back(config);
    dumpedRevisions_.assign(devices_.size(), ~uint64_t(0));
}

SimHost::~SimHost() = default;

bool SimHost::Start(QString &error)
{
    const std::optional<AdapterList> adapters = SystemAdapterSource().GetAdapters();
    if (!adapters) {
        error = QStringLiteral("no adapter list");
        return false;
    }
    std::set<uint16_t> ports{kDevicePort};
    for (const SimDeviceConfig &device : options_.devices) {
        if (device.otherPort != 0)
            ports.insert(device.otherPort);
    }
    QStringList opened;
    for (const AdapterEntry &adapter : *adapters) {
        if (!options_.interfaces.isEmpty() && !options_.interfaces.contains(adapter.name))
            continue;
        for (const uint16_t port : ports) {
            auto listener = std::make_unique<Listener>();
            listener->interfaceName = adapter.name;
            auto socket = std::make_unique<CUDPSocket>();
            const QString ip =
                adapter.addresses.empty() ? QStringLiteral("0.0.0.0") : adapter.addresses.front().ip;
            if (!socket->Open(adapter.name, ip, port) || !socket->BoundToDevice()) {
                QTextStream(stderr) << "devicesim: cannot listen on " << adapter.name << " port " << port
                                    << " (needs root for SO_BINDTODEVICE)\n";
                continue;
            }
            socket->SetMac(adapter.mac);
            Listener *raw = listener.get();
            socket->SetReadyCallback([this, raw] { OnReadable(raw); });
            listener->socket = std::move(socket);
            listeners_.push_back(std::move(listener));
            opened << QStringLiteral("%1:%2").arg(adapter.name).arg(port);
        }
    }
    if (listeners_.empty()) {
        error = QStringLiteral("no interface to listen on");
        return false;
    }
    QTextStream(stdout) << "devicesim: " << devices_.size() << " device(s) on " << opened.join(' ') << ", "
                        << (options_.unicastReplies ? "unicast" : "broadcast") << " replies\n";
    DumpState();
    if (!options_.readyFile.isEmpty()) {
        QFile ready(options_.readyFile);
        if (ready.open(QIODevice::WriteOnly))
            ready.write(QByteArray::number(QCoreApplication::applicationPid()) + '\n');
    }
    return true;
}

void SimHost::OnReadable(Listener *listener)
{
    ReceivedDatagram datagram;
    const int count = listener->socket->Recv(datagram);
    if (count <= 0)
        return;
    const uint16_t localPort = listener->socket->Port();
    // Every device hears the datagram first; the state file is then
    // written once (not once per device: with many devices that would cost
    // more than the answers' own round trip) and before any answer leaves,
    // so whoever gets an answer finds the change in the file.
    std::vector<std::pair<size_t, std::vector<SimOutput>>> answers;
    for (size_t i = 0; i < devices_.size(); ++i) {
        if (!Attached(devices_[i].Config(), listener->interfaceName, localPort))
            continue;
        answers.emplace_back(i, devices_[i].Handle(datagram.data));
        if (options_.verbose) {
            QTextStream(stderr) << "devicesim: rx " << listener->interfaceName << ':' << localPort << " from "
                                << datagram.senderAddress << ':' << datagram.senderPort << " size " << count
                                << " cmd " << (count > 15 ? int(uint8_t(datagram.data[15])) : -1) << " -> "
                                << devices_[i].Config().name << ": " << answers.back().second.size()
                                << " datagram(s)\n";
        }
    }
    if (answers.empty())
        return;
    DumpState();
    // A PC link without an address sends from 0.0.0.0: only a broadcast
    // reaches it.
    const bool unicast = options_.unicastReplies && datagram.senderAddress != QLatin1String("0.0.0.0");
    const QString to = unicast ? datagram.senderAddress : QStringLiteral("255.255.255.255");
    for (const auto &[i, outputs] : answers) {
        for (const SimOutput &output : outputs) {
            if (output.delayMs <= 0) {
                Send(listener, i, output, to, datagram.senderPort);
                continue;
            }
            QTimer::singleShot(output.delayMs, this,
                               [this, listener, device = i, output, to, port = datagram.senderPort] {
                                   Send(listener, device, output, to, port);
                               });
        }
    }
}

void SimHost::Send(Listener *listener, size_t deviceIndex, const SimOutput &output, const QString &toAddress,
                   uint16_t toPort)
{
    if (!listener->socket->SendTo(output.datagram, toPort, toAddress))
        QTextStream(stderr) << "devicesim: send to " << toAddress << ':' << toPort << " through "
                            << listener->interfaceName << " failed\n";
    if (output.endsLogin) {
        devices_[deviceIndex].EndLogin(output.loginGeneration);
        DumpState();
    }
}

void SimHost::DumpState()
{
    if (options_.stateFile.isEmpty())
        return;
    QJsonArray devices;
    for (const SimDevice &device : devices_)
        devices.append(device.StateJson());
    QJsonObject root;
    root["devices"] = devices;
    QSaveFile file(options_.stateFile);
    if (!file.open(QIODevice::WriteOnly)) {
        QTextStream(stderr) << "devicesim: cannot write " << options_.stateFile << '\n';
        return;
    }
    file.write(QJsonDocument(root).toJson());
    file.commit();
}
