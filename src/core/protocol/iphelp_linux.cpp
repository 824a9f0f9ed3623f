#include "protocol/iphelp.h"

#include <QFile>
#include <QHostAddress>
#include <QNetworkInterface>

namespace {

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
        const quint32 hostOrder =
            ((gw & 0xFF) << 24) | ((gw & 0xFF00) << 8) | ((gw >> 8) & 0xFF00) | (gw >> 24);
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

std::vector<InterfaceFacts> ListInterfaces()
{
    std::vector<InterfaceFacts> list;
    for (const QNetworkInterface &iface : QNetworkInterface::allInterfaces())
        list.push_back(FactsOf(iface));
    return list;
}

std::optional<AdapterList> SystemAdapterSource::GetAdapters()
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
