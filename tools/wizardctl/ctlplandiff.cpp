#include "ctlplandiff.h"

#include "ctlreport.h"

#include "app/utility.h"
#include "app/validation.h"

QString ChangeText(const Change &c)
{
    if (c.secret)
        return c.key + QStringLiteral(" changed");
    return QStringLiteral("%1 %2 -> %3").arg(c.key, c.from, c.to);
}

std::vector<Change> ModeChanges(int from, int to)
{
    if (from == to)
        return {};
    return {{"deviceMode", DeviceModeName(from).isEmpty() ? QString::number(from) : DeviceModeName(from),
             DeviceModeName(to)}};
}

IpConfigRecord NextIp(const PlanIp &ip, IpConfigRecord next)
{
    next.IpMode = ip.dhcp ? IP_MODE_DHCP : IP_MODE_STATIC;
    if (!ip.dhcp) {
        next.Ip = ip.record.Ip;
        next.Netmask = ip.record.Netmask;
        next.Gateway = ip.record.Gateway;
    }
    return next;
}

std::vector<Change> IpChanges(const IpConfigRecord &current, const IpConfigRecord &wanted)
{
    if (IpConfigHolds(wanted, current))
        return {};
    std::vector<Change> list;
    if ((current.IpMode != 0) != (wanted.IpMode != 0))
        list.push_back({"ip.ipMode", IpModeName(current.IpMode), IpModeName(wanted.IpMode)});
    if (wanted.IpMode == 0) {
        const std::pair<const char *, uint32_t IpConfigRecord::*> fields[] = {
            {"ip.ip", &IpConfigRecord::Ip},
            {"ip.netmask", &IpConfigRecord::Netmask},
            {"ip.gateway", &IpConfigRecord::Gateway}};
        for (const auto &[key, field] : fields)
            if (current.*field != wanted.*field)
                list.push_back({key, IpToText(current.*field), IpToText(wanted.*field)});
    }
    return list;
}

std::vector<Change> WirelessChanges(const WlConfigRecord &current, const WlConfigRecord &wanted)
{
    if (WlConfigHolds(wanted, current))
        return {};
    std::vector<Change> list;
    const auto add = [&](const char *key, int WlConfigRecord::*field, QString (*name)(int)) {
        if (current.*field != wanted.*field)
            list.push_back({key, name(current.*field), name(wanted.*field)});
    };
    if (SsidBytes(current.Ssid) != SsidBytes(wanted.Ssid))
        list.push_back({"wireless.ssid", SsidText(current.Ssid), SsidText(wanted.Ssid)});
    add("wireless.securityMode", &WlConfigRecord::SecurityMode, SecurityModeName);
    if (wanted.SecurityMode == SECMODE_WEP) {
        add("wireless.wepKeyLen", &WlConfigRecord::WepKeyLen, WepKeyLenName);
        add("wireless.authMode", &WlConfigRecord::AuthMode, AuthModeName);
        list.push_back({"wireless.key", {}, {}, true});
    } else if (wanted.SecurityMode == SECMODE_WPAPSK) {
        add("wireless.wpaMode", &WlConfigRecord::WpaMode, WpaModeName);
        add("wireless.wpaCipher", &WlConfigRecord::WpaCipher, WpaCipherName);
        list.push_back({"wireless.passphrase", {}, {}, true});
    }
    return list;
}

std::optional<PlanRemark> WirelessFault(const PlanEntry &entry, int mode, const WlConfigRecord &current,
                                        bool modeChanges)
{
    if (!entry.wireless)
        return std::nullopt;
    const WirelessWanted &w = *entry.wireless;
    const bool ap = mode == DEVICE_AP;
    if (!ap && w.security == SECMODE_WEP && w.auth == AUTHMODE_AUTO)
        return PlanRemark{entry.wirelessLine, QStringLiteral("wireless.authMode"),
                          QStringLiteral("an AP Client authenticates with open or shared only")};
    if (w.security == SECMODE_NONE || w.hasSecret)
        return std::nullopt;
    // Writing without the secret would clear the one the device holds.
    if (modeChanges)
        return PlanRemark{entry.wirelessLine, entry.secretKey,
                          QStringLiteral("needed: after the mode change the device reports other wireless "
                                         "settings, which are then written with it")};
    if (!WlConfigHolds(NextWireless(w, current, ap), current))
        return PlanRemark{entry.wirelessLine, entry.secretKey,
                          QStringLiteral("needed: the wireless settings differ from the device's, and "
                                         "writing them without it would clear it")};
    return std::nullopt;
}
