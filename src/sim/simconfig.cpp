#include "simconfig.h"

namespace {

const std::pair<SimKind, const char *> kKindNames[] = {
    {SimKind::Discover, "discover"},
    {SimKind::Login, "login"},
    {SimKind::Logout, "logout"},
    {SimKind::GetConfig, "get-config"},
    {SimKind::GetMode, "get-mode"},
    {SimKind::SetIp, "set-ip"},
    {SimKind::SetWireless, "set-wl"},
    {SimKind::SetMode, "set-mode"},
    {SimKind::WpsPbc, "wps-pbc"},
    {SimKind::WpsPin, "wps-pin"},
    {SimKind::SetStation, "set-station"},
    {SimKind::SiteSurvey, "site-survey"},
    {SimKind::StationGetConfig, "station-get-config"},
    {SimKind::Unknown, "unknown"},
};

SimNetwork Network(const char *ssid, uint8_t lastMac, const char *signal, const char *channel, uint8_t enc,
                   uint8_t auth, uint8_t status, bool wps)
{
    SimNetwork n;
    n.ssid = ssid;
    n.bssid = {0x02, 0x5A, 0x00, 0x00, 0x00, lastMac};
    n.signal = signal;
    n.channel = channel;
    n.encryption = enc;
    n.authentication = auth;
    n.status = status;
    n.wps = wps;
    return n;
}

} // namespace

QString SimKindName(SimKind kind)
{
    for (const auto &[k, name] : kKindNames) {
        if (k == kind)
            return QString::fromLatin1(name);
    }
    return QStringLiteral("unknown");
}

SimKind SimKindFromName(const QString &name)
{
    for (const auto &[k, text] : kKindNames) {
        if (name == QLatin1String(text))
            return k;
    }
    return SimKind::Unknown;
}

std::vector<SimNetwork> DefaultSurvey()
{
    return {
        Network("Open-Garden", 0x01, "85", "1", 0, 0, 0, false),
        Network("Shared-WEP", 0x02, "72", "6", 1, 1, 1, false),
        Network("Home-TKIP", 0x03, "64", "11", 2, 2, 0, true),
        Network("Office-AES", 0x04, "100", "3", 3, 3, 0, true),
        Network("Mixed-PSK", 0x05, "51", "9", 4, 4, 1, false),
        Network("Corp-WPA", 0x06, "40", "13", 2, 5, 0, false),
        Network("Corp-WPA2", 0x07, "33", "36", 3, 6, 0, true),
        Network("Corp-WPA-WPA2", 0x08, "27", "149", 4, 7, 1, true),
        Network("ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", 0x09, "9", "2", 3, 3, 0, false),
        Network("", 0x0A, "  ", "", 0, 0, 0, false),
    };
}

QByteArray DefaultChannels()
{
    QByteArray channels;
    for (char c = 1; c <= 11; ++c)
        channels.append(c);
    return channels;
}
