#include "protocol/simdevice.h"

#include "app/debug.h"
#include "app/records.h"
#include "protocol/packet.h"
#include "protocol/protocolcodec.h"
#include "protocol/rc4encry.h"

#include <QHostAddress>
#include <QJsonArray>
#include <algorithm>

using namespace Protocol;

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

QByteArray U8(uint8_t v)
{
    return QByteArray(1, static_cast<char>(v));
}

QByteArray U16(uint16_t v)
{
    QByteArray b(2, 0);
    b[0] = static_cast<char>(v >> 8);
    b[1] = static_cast<char>(v);
    return b;
}

QByteArray U32(uint32_t v)
{
    QByteArray b(4, 0);
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<char>(v >> (24 - 8 * i));
    return b;
}

uint32_t ReadU32(const Tlv &t)
{
    uint32_t v = 0;
    for (int i = 0; i < 4 && i < t.length; ++i)
        v = (v << 8) | t.value[i];
    return v;
}

QByteArray Value(const Tlv &t)
{
    return QByteArray(reinterpret_cast<const char *>(t.value), t.length);
}

struct Element
{
    uint8_t type;
    QByteArray value;
};

std::vector<Element> Walk(const QByteArray &payload)
{
    std::vector<Element> elements;
    TlvWalker walker(reinterpret_cast<const uint8_t *>(payload.constData()), size_t(payload.size()));
    Tlv t;
    while (walker.Next(t))
        elements.push_back({t.type, Value(t)});
    return elements;
}

bool IsHex(const QByteArray &text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
}

QString Dotted(uint32_t hostOrder)
{
    return QHostAddress(hostOrder).toString();
}

// Applies the elements of a wireless write to a copy of `profile`; false
// (and `profile` untouched) when any value is one the device cannot take.
bool ApplyWireless(const std::vector<Element> &elements, SimWireless &profile)
{
    SimWireless next = profile;
    bool sawStd = false;
    bool sawExt = false;
    bool sawWepKey = false;
    bool sawPsk = false;
    for (const Element &e : elements) {
        const uint8_t b = e.value.isEmpty() ? 0 : static_cast<uint8_t>(e.value[0]);
        switch (e.type) {
        case WL_SSID:
            if (e.value.isEmpty() || e.value.size() > 32)
                return false;
            next.ssid = e.value;
            break;
        case WL_STD_CH:
            sawStd = true;
            next.stdChannel = b;
            break;
        case WL_EXT_CH:
            sawExt = true;
            next.extChannel = b;
            break;
        case WL_MODE:
            if (b > 9)
                return false;
            next.wirelessMode = b;
            break;
        case WL_SECURITY_MODE:
            if (b > 2)
                return false;
            next.securityMode = b;
            break;
        case WL_AUTH_MODE:
            if (b > 2)
                return false;
            next.authMode = b;
            break;
        case WL_WEPKEY: {
            const int n = int(e.value.size());
            if (n == 5 || n == 13)
                next.wepKeyLen = n == 5 ? 0 : 1;
            else if ((n == 10 || n == 26) && IsHex(e.value))
                next.wepKeyLen = n == 10 ? 0 : 1;
            else
                return false;
            next.wepKey = e.value;
            sawWepKey = true;
            break;
        }
        case WL_WEPKEY_INDEX:
            next.wepKeyIndex = b;
            break;
        case WL_WPA_MODE:
            if (b > 2)
                return false;
            next.wpaMode = b;
            break;
        case WL_WPA_CIPHER:
            if (b > 2)
                return false;
            next.wpaCipher = b;
            break;
        case WL_WPA_PSK:
            if (e.value.size() < 8 || e.value.size() > 64 || (e.value.size() == 64 && !IsHex(e.value)))
                return false;
            next.passphrase = e.value;
            sawPsk = true;
            break;
        default:
            break;
        }
    }
    if (next.securityMode == 1 && !sawWepKey)
        return false;
    if (next.securityMode == 2 && !sawPsk)
        return false;
    // Automatic channel: no extension channel is sent, none is kept.
    if (sawStd && !sawExt)
        next.extChannel = 0;
    profile = next;
    return true;
}

QJsonObject WirelessJson(const SimWireless &w)
{
    QJsonObject o;
    // The name as the wizard shows it, and its exact bytes.
    o["ssid"] = SsidText(w.ssid);
    o["ssidHex"] = QString::fromLatin1(w.ssid.toHex().toUpper());
    o["stdChannel"] = w.stdChannel;
    o["extChannel"] = w.extChannel;
    o["wirelessMode"] = w.wirelessMode;
    o["securityMode"] = w.securityMode;
    o["authMode"] = w.authMode;
    o["wepKeyLen"] = w.wepKeyLen;
    o["wepKeyIndex"] = w.wepKeyIndex;
    o["wepKey"] = QString::fromUtf8(w.wepKey);
    o["wpaMode"] = w.wpaMode;
    o["wpaCipher"] = w.wpaCipher;
    o["passphrase"] = QString::fromUtf8(w.passphrase);
    return o;
}

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

SimDevice::SimDevice(SimDeviceConfig config) : config_(std::move(config))
{
    if (config_.wireless.channels.isEmpty())
        config_.wireless.channels = DefaultChannels();
    if (config_.station.channels.isEmpty())
        config_.station.channels = DefaultChannels();
}

QByteArray SimDevice::BuildDatagram(const MacAddress &mac, uint8_t command, QByteArray payload,
                                    const QByteArray &password)
{
    if (command != CMD_DISCOVER && !payload.isEmpty())
        CipherPayload(std::string_view(password.constData(), size_t(password.size())),
                      reinterpret_cast<uint8_t *>(payload.data()), size_t(payload.size()));
    QByteArray datagram(kMagic.data(), int(kMagic.size()));
    datagram.append(static_cast<char>(kVersion));
    datagram.append(reinterpret_cast<const char *>(mac.data()), 6);
    datagram.append(static_cast<char>(command));
    datagram.append(U16(static_cast<uint16_t>(payload.size())));
    datagram.append(payload);
    return datagram;
}

void SimDevice::AppendTlv(QByteArray &payload, uint8_t type, const QByteArray &value)
{
    const QByteArray v = value.left(255);
    payload.append(static_cast<char>(type));
    payload.append(static_cast<char>(v.size()));
    payload.append(v);
}

std::vector<SimOutput> SimDevice::Handle(const QByteArray &datagram)
{
    if (silent_)
        return {};
    if (datagram.size() < int(kHeaderSize) || !datagram.startsWith(QByteArray(kMagic.data(), int(kMagic.size()))) ||
        static_cast<uint8_t>(datagram[int(kOffVersion)]) != kVersion)
        return {};
    const auto *bytes = reinterpret_cast<const uint8_t *>(datagram.constData());
    const MacAddress sender = HeaderMac(bytes);
    if (sender == config_.mac)
        return {};
    if (int(kHeaderSize) + HeaderLength(bytes) != datagram.size())
        return {};
    const uint8_t command = HeaderCommand(bytes);
    QByteArray payload = datagram.mid(int(kHeaderSize));
    if (command != CMD_DISCOVER && !payload.isEmpty())
        CipherPayload(std::string_view(config_.password.constData(), size_t(config_.password.size())),
                      reinterpret_cast<uint8_t *>(payload.data()), size_t(payload.size()));

    switch (command) {
    case CMD_DISCOVER: {
        ++requests_[SimKind::Discover];
        QByteArray answer;
        AppendTlv(answer, DEV_NAME, config_.name);
        return Answer(SimKind::Discover, CMD_DISCOVER, answer);
    }
    case CMD_LOGIN:
        return HandleLogin(payload);
    case CMD_LOGOUT: {
        // Every device on the segment hears the logout; only the one holding
        // a login answers it.
        if (!loggedIn_)
            return {};
        ++requests_[SimKind::Logout];
        loggedIn_ = false;
        Changed();
        return ResultAnswer(SimKind::Logout, CMD_LOGOUT, true);
    }
    default:
        break;
    }
    // Everything else needs the login; without it the device stays silent
    // and the wizard times out and logs in again.
    if (!loggedIn_)
        return {};
    switch (command) {
    case CMD_GET_CONFIG:
        return HandleGetConfig(payload);
    case CMD_SET_CONFIG:
        return HandleSetConfig(payload);
    case CMD_STATION_SET_CONFIG:
        return HandleStationSet(payload);
    case CMD_SITE_SURVEY:
        ++requests_[SimKind::SiteSurvey];
        return Answer(SimKind::SiteSurvey, CMD_SITE_SURVEY, SurveyPayload());
    case CMD_STATION_GET_CONFIG: {
        ++requests_[SimKind::StationGetConfig];
        QByteArray answer;
        AppendTlv(answer, WL_WPS_PIN, config_.clientPin);
        return Answer(SimKind::StationGetConfig, CMD_STATION_GET_CONFIG, answer);
    }
    default:
        ++requests_[SimKind::Unknown];
        return {};
    }
}

std::vector<SimOutput> SimDevice::HandleLogin(const QByteArray &payload)
{
    QByteArray deviceMac;
    QByteArray phrase;
    for (const Element &e : Walk(payload)) {
        if (e.type == DEV_MAC)
            deviceMac = e.value;
        else if (e.type == TLVTYPE_OTHER_AUTH)
            phrase = e.value;
    }
    const bool readable = phrase == QByteArray(kAuthPhrase.data(), int(kAuthPhrase.size()));
    if (!readable) {
        // Under another password the whole payload is noise: the device
        // cannot tell whom the login was meant for, and refuses it.
        if (config_.garbledLoginIgnored)
            return {};
        ++requests_[SimKind::Login];
        return ResultAnswer(SimKind::Login, CMD_LOGIN, false);
    }
    if (deviceMac != QByteArray(reinterpret_cast<const char *>(config_.mac.data()), 6))
        return {}; // a login for another device with the same password
    ++requests_[SimKind::Login];
    if (config_.refuseLogins)
        return ResultAnswer(SimKind::Login, CMD_LOGIN, false);

    loggedIn_ = true;
    ++loginGeneration_;
    Changed();
    QByteArray answer;
    AppendTlv(answer, TLVTYPE_OTHER_RESULT, U8(1));
    if (config_.otherPort != 0)
        AppendTlv(answer, TLVTYPE_OTHER_PORT, U16(config_.otherPort));
    std::vector<SimOutput> out = Answer(SimKind::Login, CMD_LOGIN, answer);
    if (config_.connectTimeoutMs > 0) {
        QByteArray event;
        AppendTlv(event, TLVTYPE_OTHER_CONNECTTIMEOUT, {});
        out.push_back({BuildDatagram(config_.mac, CMD_EVENT, event, config_.password),
                       config_.delayMs + config_.connectTimeoutMs, true, loginGeneration_});
    }
    return out;
}

std::vector<SimOutput> SimDevice::HandleGetConfig(const QByteArray &payload)
{
    const std::vector<Element> elements = Walk(payload);
    const bool modeOnly = !elements.empty() && elements.front().type == DEVICE_MODE;
    if (modeOnly) {
        ++requests_[SimKind::GetMode];
        QByteArray answer;
        AppendTlv(answer, DEVICE_MODE, U8(config_.mode));
        return Answer(SimKind::GetMode, CMD_GET_CONFIG, answer);
    }
    ++requests_[SimKind::GetConfig];
    return Answer(SimKind::GetConfig, CMD_GET_CONFIG, ConfigPayload());
}

std::vector<SimOutput> SimDevice::HandleSetConfig(const QByteArray &payload)
{
    const std::vector<Element> elements = Walk(payload);
    if (elements.empty()) {
        ++requests_[SimKind::Unknown];
        return ResultAnswer(SimKind::Unknown, CMD_SET_CONFIG, false);
    }
    const Element &first = elements.front();
    const uint8_t b = first.value.isEmpty() ? 0 : static_cast<uint8_t>(first.value[0]);
    switch (first.type) {
    case DEVICE_MODE: {
        ++requests_[SimKind::SetMode];
        const bool ok = b == 1 || b == 2;
        if (ok && config_.mode != b) {
            config_.mode = b;
            Changed();
        }
        return ResultAnswer(SimKind::SetMode, CMD_SET_CONFIG, ok);
    }
    case IP_MODE: {
        ++requests_[SimKind::SetIp];
        bool ok = first.value.size() == 1;
        uint32_t ip = config_.ip, mask = config_.netmask, gw = config_.gateway;
        if (ok && b == 0) {
            bool sawIp = false;
            for (const Element &e : elements) {
                if (e.value.size() != 4)
                    continue;
                Tlv t{e.type, uint8_t(e.value.size()), reinterpret_cast<const uint8_t *>(e.value.constData())};
                if (e.type == LAN_IP) {
                    ip = ReadU32(t);
                    sawIp = true;
                } else if (e.type == LAN_NETMASK) {
                    mask = ReadU32(t);
                } else if (e.type == LAN_GATEWAY) {
                    gw = ReadU32(t);
                }
            }
            ok = sawIp && ip != 0 && mask != 0;
        }
        if (ok) {
            config_.dhcp = b != 0;
            if (b == 0) {
                config_.ip = ip;
                config_.netmask = mask;
                config_.gateway = gw;
            }
            Changed();
        }
        return ResultAnswer(SimKind::SetIp, CMD_SET_CONFIG, ok);
    }
    case WL_SSID: {
        ++requests_[SimKind::SetWireless];
        const bool ok = ApplyWireless(elements, config_.wireless);
        if (ok)
            Changed();
        return ResultAnswer(SimKind::SetWireless, CMD_SET_CONFIG, ok);
    }
    case WL_WPS_PBC: {
        ++requests_[SimKind::WpsPbc];
        lastWpsPin_.clear();
        std::vector<SimOutput> out = ResultAnswer(SimKind::WpsPbc, CMD_SET_CONFIG, config_.wpsResult != 0);
        if (config_.wpsResult != 0 && !out.empty())
            AppendWpsEvents(out);
        return out;
    }
    case WL_WPS_PIN: {
        ++requests_[SimKind::WpsPin];
        bool ok = config_.wpsResult != 0;
        if (config_.mode == 1)
            ok = ok && first.value.size() == 8 && std::all_of(first.value.begin(), first.value.end(), ::isdigit);
        else
            ok = ok && !first.value.isEmpty() && first.value.size() <= 32;
        if (ok) {
            lastWpsPin_ = first.value;
            Changed();
        }
        std::vector<SimOutput> out = ResultAnswer(SimKind::WpsPin, CMD_SET_CONFIG, ok);
        if (ok && !out.empty())
            AppendWpsEvents(out);
        return out;
    }
    default:
        ++requests_[SimKind::Unknown];
        return ResultAnswer(SimKind::Unknown, CMD_SET_CONFIG, false);
    }
}

std::vector<SimOutput> SimDevice::HandleStationSet(const QByteArray &payload)
{
    ++requests_[SimKind::SetStation];
    const bool ok = ApplyWireless(Walk(payload), config_.station);
    if (ok)
        Changed();
    return ResultAnswer(SimKind::SetStation, CMD_STATION_SET_CONFIG, ok);
}

std::vector<SimOutput> SimDevice::ResultAnswer(SimKind kind, uint8_t command, bool ok)
{
    QByteArray answer;
    AppendTlv(answer, TLVTYPE_OTHER_RESULT, U8(ok ? 1 : 0));
    return Answer(kind, command, answer);
}

std::vector<SimOutput> SimDevice::Answer(SimKind kind, uint8_t command, const QByteArray &payload)
{
    if (kind == config_.silentFrom) {
        silent_ = true;
        DebugPrint("SimDevice(%s) goes silent after its %s request", config_.name.constData(),
                   qPrintable(SimKindName(kind)));
        Changed();
        return {};
    }
    const auto drop = config_.dropFirst.find(kind);
    if (drop != config_.dropFirst.end() && dropped_[kind] < drop->second) {
        ++dropped_[kind];
        DebugPrint("SimDevice(%s) drops its %s answer %d of %d", config_.name.constData(),
                   qPrintable(SimKindName(kind)), dropped_[kind], drop->second);
        return {};
    }
    const QByteArray datagram = BuildDatagram(config_.mac, command, payload, config_.password);
    std::vector<SimOutput> out{{datagram, config_.delayMs, false, 0}};
    if (config_.answerTwice)
        out.push_back({datagram, config_.delayMs, false, 0});
    return out;
}

void SimDevice::AppendWpsEvents(std::vector<SimOutput> &out)
{
    ++wpsRuns_;
    Changed();
    int delay = config_.delayMs;
    for (const int32_t status : config_.wpsEvents) {
        delay += config_.wpsIntervalMs;
        QByteArray event;
        AppendTlv(event, TLVTYPE_OTHER_WPS_STATUS, U32(static_cast<uint32_t>(status)));
        out.push_back({BuildDatagram(config_.mac, CMD_EVENT, event, config_.password), delay, false, 0});
    }
    if (config_.connectTimeoutAfterWps) {
        delay += config_.wpsIntervalMs;
        QByteArray event;
        AppendTlv(event, TLVTYPE_OTHER_CONNECTTIMEOUT, {});
        out.push_back({BuildDatagram(config_.mac, CMD_EVENT, event, config_.password), delay, true,
                       loginGeneration_});
    }
}

void SimDevice::EndLogin(uint64_t generation)
{
    if (!loggedIn_ || generation != loginGeneration_)
        return;
    loggedIn_ = false;
    Changed();
}

QByteArray SimDevice::ConfigPayload() const
{
    // A bridge reports the upstream network as its wireless settings.
    const SimWireless &w = config_.mode == 1 ? config_.wireless : config_.station;
    QByteArray p;
    AppendTlv(p, DEVICE_MODE, U8(config_.mode));
    AppendTlv(p, IP_MODE, U8(config_.dhcp ? 1 : 0));
    AppendTlv(p, LAN_IP, U32(config_.ip));
    AppendTlv(p, LAN_NETMASK, U32(config_.netmask));
    AppendTlv(p, LAN_GATEWAY, U32(config_.gateway));
    AppendTlv(p, WL_SSID, w.ssid);
    AppendTlv(p, WL_CH_LIST, w.channels);
    AppendTlv(p, WL_EXT_CH, U8(w.extChannel));
    AppendTlv(p, WL_STD_CH, U8(w.stdChannel));
    AppendTlv(p, WL_SECURITY_MODE, U8(w.securityMode));
    AppendTlv(p, WL_AUTH_MODE, U8(w.authMode));
    AppendTlv(p, WL_WEPKEY_LEN, U8(w.wepKeyLen));
    AppendTlv(p, WL_WEPKEY_INDEX, U8(w.wepKeyIndex));
    AppendTlv(p, WL_WPA_MODE, U8(w.wpaMode));
    AppendTlv(p, WL_WPA_CIPHER, U8(w.wpaCipher));
    AppendTlv(p, WL_WPS_PIN, U32(config_.wpsPin));
    return p;
}

QByteArray SimDevice::SurveyPayload() const
{
    QByteArray p;
    for (const SimNetwork &n : config_.survey) {
        QByteArray record(int(kSurveyRecordSize), 0);
        record[0] = n.flag ? 1 : 0;
        record.replace(1, std::min<int>(32, int(n.ssid.size())), n.ssid.left(32));
        for (int i = 0; i < 6; ++i)
            record[33 + i] = static_cast<char>(n.bssid[i]);
        record.replace(39, std::min<int>(3, int(n.signal.size())), n.signal.left(3));
        record.replace(42, std::min<int>(3, int(n.channel.size())), n.channel.left(3));
        record[45] = static_cast<char>(n.encryption);
        record[46] = static_cast<char>(n.authentication);
        record[47] = static_cast<char>(n.status);
        record[48] = n.wps ? 1 : 0;
        record.resize(int(kSurveyRecordSize));
        p.append(record);
    }
    return p;
}

QJsonObject SimDevice::StateJson() const
{
    QJsonObject o;
    o["mac"] = FormatMac(config_.mac);
    o["name"] = QString::fromUtf8(config_.name);
    o["password"] = QString::fromUtf8(config_.password);
    o["mode"] = config_.mode;
    o["loggedIn"] = loggedIn_;
    o["silent"] = silent_;
    QJsonObject ip;
    ip["dhcp"] = config_.dhcp;
    ip["ip"] = Dotted(config_.ip);
    ip["netmask"] = Dotted(config_.netmask);
    ip["gateway"] = Dotted(config_.gateway);
    o["ip"] = ip;
    o["wireless"] = WirelessJson(config_.wireless);
    o["station"] = WirelessJson(config_.station);
    o["wpsRuns"] = wpsRuns_;
    o["lastWpsPin"] = QString::fromUtf8(lastWpsPin_);
    o["lastWpsPinHex"] = QString::fromLatin1(lastWpsPin_.toHex().toUpper());
    QJsonObject requests;
    for (const auto &[kind, count] : requests_)
        requests[SimKindName(kind)] = count;
    o["requests"] = requests;
    return o;
}
