#include "protocol/iphelp.h"

#include "app/debug.h"

#include <QHostAddress>

namespace {

AdapterSource *g_installed = nullptr;

bool IsZeroAddress(const QString &text)
{
    const QHostAddress address(text);
    return address.isNull() || address == QHostAddress(QHostAddress::AnyIPv4);
}

} // namespace

AdapterSource &AdapterSource::Current()
{
    if (g_installed)
        return *g_installed;
    static SystemAdapterSource real;
    return real;
}

void AdapterSource::SetCurrent(AdapterSource *source)
{
    g_installed = source;
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

bool GetLocalAdapter(const AdapterList &adapters, QString &address, QString &netmask, QString &gateway,
                     MacAddress &mac)
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
