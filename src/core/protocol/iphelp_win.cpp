#include "protocol/iphelp.h"

#include "app/debug.h"

#include <QHostAddress>
#include <winsock2.h>
// winsock2.h first: it must come before windows.h, which the others include.
#include <iphlpapi.h>
#include <ws2tcpip.h>

namespace {

// The adapters with their addresses and gateways; false when the system
// gives no list. The buffer grows as long as the system asks for more.
bool ReadAdapterAddresses(std::vector<unsigned char> &buffer)
{
    const ULONG flags = GAA_FLAG_INCLUDE_GATEWAYS | GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST |
                        GAA_FLAG_SKIP_DNS_SERVER;
    ULONG size = 16 * 1024;
    for (int attempt = 0; attempt < 4; ++attempt) {
        buffer.assign(size, 0);
        const ULONG result = ::GetAdaptersAddresses(
            AF_INET, flags, nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES *>(buffer.data()), &size);
        if (result == NO_ERROR)
            return true;
        if (result == ERROR_NO_DATA) {
            buffer.clear();
            return true;
        }
        if (result != ERROR_BUFFER_OVERFLOW) {
            DebugPrint("GetAdaptersAddresses() FAIL %lu", static_cast<unsigned long>(result));
            return false;
        }
    }
    return false;
}

template <typename Visit> bool ForEachAdapter(Visit visit)
{
    std::vector<unsigned char> buffer;
    if (!ReadAdapterAddresses(buffer))
        return false;
    if (buffer.empty())
        return true;
    for (auto *a = reinterpret_cast<const IP_ADAPTER_ADDRESSES *>(buffer.data()); a; a = a->Next)
        visit(*a);
    return true;
}

QString Dotted(const SOCKET_ADDRESS &address)
{
    if (!address.lpSockaddr || address.lpSockaddr->sa_family != AF_INET)
        return {};
    return QHostAddress(reinterpret_cast<const sockaddr *>(address.lpSockaddr)).toString();
}

QString MaskOfLength(unsigned length)
{
    const quint32 mask = length == 0 ? 0 : length >= 32 ? 0xFFFFFFFFu : ~((1u << (32 - length)) - 1);
    return QHostAddress(mask).toString();
}

InterfaceFacts FactsOf(const IP_ADAPTER_ADDRESSES &a)
{
    InterfaceFacts facts;
    facts.name = QString::fromWCharArray(a.FriendlyName);
    // The list holds enabled adapters only; one whose device is gone counts
    // as down, one without a link as enabled without carrier.
    facts.up = a.OperStatus != IfOperStatusNotPresent;
    facts.running = a.OperStatus == IfOperStatusUp;
    facts.loopback = a.IfType == IF_TYPE_SOFTWARE_LOOPBACK;
    facts.broadcast = !facts.loopback && a.IfType != IF_TYPE_TUNNEL && a.IfType != IF_TYPE_PPP;
    for (const IP_ADAPTER_UNICAST_ADDRESS *u = a.FirstUnicastAddress; u; u = u->Next) {
        const QString ip = Dotted(u->Address);
        if (!ip.isEmpty())
            facts.ipv4.push_back(ip);
    }
    return facts;
}

} // namespace

std::vector<InterfaceFacts> ListInterfaces()
{
    std::vector<InterfaceFacts> list;
    ForEachAdapter([&](const IP_ADAPTER_ADDRESSES &a) { list.push_back(FactsOf(a)); });
    return list;
}

std::optional<AdapterList> SystemAdapterSource::GetAdapters()
{
    AdapterList list;
    const bool listed = ForEachAdapter([&](const IP_ADAPTER_ADDRESSES &a) {
        if (!SkipReason(FactsOf(a)).isEmpty())
            return;
        AdapterEntry entry;
        entry.name = QString::fromWCharArray(a.FriendlyName);
        entry.description = QString::fromWCharArray(a.Description);
        if (a.PhysicalAddressLength == entry.mac.size())
            std::copy(a.PhysicalAddress, a.PhysicalAddress + entry.mac.size(), entry.mac.begin());
        for (const IP_ADAPTER_UNICAST_ADDRESS *u = a.FirstUnicastAddress; u; u = u->Next) {
            const QString ip = Dotted(u->Address);
            if (!ip.isEmpty())
                entry.addresses.push_back({ip, MaskOfLength(u->OnLinkPrefixLength)});
        }
        for (const IP_ADAPTER_GATEWAY_ADDRESS *g = a.FirstGatewayAddress; g; g = g->Next) {
            const QString ip = Dotted(g->Address);
            if (!ip.isEmpty())
                entry.gateways.push_back(ip);
        }
        if (!entry.addresses.empty())
            list.push_back(std::move(entry));
    });
    if (!listed)
        return std::nullopt;
    return list;
}
