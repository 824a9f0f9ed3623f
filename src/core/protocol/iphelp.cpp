#include "protocol/iphelp.h"

#include "app/debug.h"

#include <QFile>
#include <QHostAddress>
#include <QNetworkInterface>

namespace {

AdapterSource *g_installed = nullptr;

bool IsZeroAddress(const QString &text)
{
    const QHostAddress address(text);
    return address.isNull() || address == QHostAddress(QHostAddress::AnyIPv4);
}

// Default gateways per interface name from /proc/net/route: destination 0,
// gateway flag set; the kernel prints the addresses in host byte order hex.
std::vector<std::pair<QString, QString>> DefaultGateways()
{
    std::vector<std::pair<QString, QString>> result;
    QFile file(QStringLiteral("/proc/net/route"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return result;
    file.readLine(); // column titles
    while (!file.atEnd()) {
        const QList<QByteArray> cols = file.readLine().simplified().split(' ');
        if (cols.size() < 4 || cols[1] != "00000000")
            continue;
        bool ok = false;
        const quint32 gw = cols[2].toUInt(&ok, 16);
        if (!ok || gw == 0)
            continue;
        // The kernel prints the network-order word as a little-endian number.
        const quint32 hostOrder = ((gw & 0xFF) << 24) | ((gw & 0xFF00) << 8) | ((gw >> 8) & 0xFF00) | (gw >> 24);
        result.emplace_back(QString::fromLatin1(cols[0]), QHostAddress(hostOrder).toString());
    }
    return result;
}

InterfaceFacts FactsOf(const QNetworkInterface &iface)
{
    const auto flags = iface.flags();
    InterfaceFacts facts;
    facts.name = iface.name();
    facts.up = flags.testFlag(QNetworkInterface::IsUp);
    facts.running = flags.testFlag(QNetworkInterface::IsRunning);
    facts.broadcast = flags.testFlag(QNetworkInterface::CanBroadcast);
    facts.loopback = flags.testFlag(QNetworkInterface::IsLoopBack);
    for (const QNetworkAddressEntry &address : iface.addressEntries()) {
        if (address.ip().protocol() == QAbstractSocket::IPv4Protocol)
            facts.ipv4.push_back(address.ip().toString());
    }
    return facts;
}

} // namespace

AdapterSource &AdapterSource::Current()
{
    if (g_installed)
        return *g_installed;
    static QtAdapterSource real;
    return real;
}

void AdapterSource::SetCurrent(AdapterSource *source)
{
    g_installed = source;
}

std::vector<InterfaceFacts> ListInterfaces()
{
    std::vector<InterfaceFacts> list;
    for (const QNetworkInterface &iface : QNetworkInterface::allInterfaces())
        list.push_back(FactsOf(iface));
    return list;
}

QString SkipReason(const InterfaceFacts &facts)
{
    if (!facts.up)
        return QStringLiteral("down");
    if (facts.loopback)
        return QStringLiteral("loopback");
    // Without carrier nothing can answer; without broadcast (tunnels) the
    // discovery cannot leave.
    if (!facts.running)
        return QStringLiteral("no carrier");
    if (!facts.broadcast)
        return QStringLiteral("no broadcast");
    return {};
}

std::optional<AdapterList> QtAdapterSource::GetAdapters()
{
    const auto gateways = DefaultGateways();
    AdapterList list;
    for (const QNetworkInterface &iface : QNetworkInterface::allInterfaces()) {
        if (!SkipReason(FactsOf(iface)).isEmpty())
            continue;
        AdapterEntry entry;
        entry.name = iface.name();
        entry.description = iface.humanReadableName();
        const QStringList macParts = iface.hardwareAddress().split(QLatin1Char(':'));
        if (macParts.size() == 6) {
            for (int i = 0; i < 6; ++i)
                entry.mac[i] = static_cast<uint8_t>(macParts[i].toUInt(nullptr, 16));
        }
        for (const QNetworkAddressEntry &address : iface.addressEntries()) {
            if (address.ip().protocol() != QAbstractSocket::IPv4Protocol)
                continue;
            entry.addresses.push_back({address.ip().toString(), address.netmask().toString()});
        }
        for (const auto &[name, gateway] : gateways) {
            if (name == entry.name)
                entry.gateways.push_back(gateway);
        }
        list.push_back(std::move(entry));
    }
    return list;
}

bool GetLocalAdapter(const AdapterList &adapters, QString &address, QString &netmask, QString &gateway,
                     MacBytes &mac)
{
    const QString wanted = address;
    bool haveFirst = false;
    QString firstMask;
    QString firstGateway;
    for (const AdapterEntry &adapter : adapters) {
        const QString adapterGateway = adapter.gateways.empty() ? QString() : adapter.gateways.front();
        for (const AdapterAddress &entry : adapter.addresses) {
            if (IsZeroAddress(entry.ip))
                continue;
            if (!haveFirst) {
                haveFirst = true;
                firstMask = entry.netmask;
                firstGateway = adapterGateway;
            }
            if (wanted.isEmpty() || IsZeroAddress(wanted) || QHostAddress(entry.ip) == QHostAddress(wanted)) {
                address = entry.ip;
                netmask = entry.netmask;
                gateway = adapterGateway;
                mac = adapter.mac;
                return true;
            }
        }
    }
    netmask = firstMask;
    gateway = firstGateway;
    DebugPrint("GetLocalAdapter() FAIL no adapter for %s", qPrintable(wanted));
    return false;
}
