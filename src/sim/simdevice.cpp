#include "simdevice.h"

#include "app/debug.h"
#include "app/records.h"
#include "app/utility.h"
#include "protocol/packet.h"
#include "protocol/rc4encry.h"

#include <QJsonArray>
#include <algorithm>
#include <cctype>

using namespace Protocol;

namespace {

std::string_view View(const QByteArray &bytes)
{
    return std::string_view(bytes.constData(), size_t(bytes.size()));
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

std::vector<SurveyRecordFields> SurveyFields(const std::vector<SimNetwork> &survey)
{
    std::vector<SurveyRecordFields> records;
    for (const SimNetwork &n : survey)
        records.push_back({n.flag, View(n.ssid), n.bssid, View(n.signal), View(n.channel), n.encryption,
                           n.authentication, n.status, n.wps});
    return records;
}

} // namespace

SimDevice::SimDevice(SimDeviceConfig config) : config_(std::move(config))
{
    if (config_.wireless.channels.isEmpty())
        config_.wireless.channels = DefaultChannels();
    if (config_.station.channels.isEmpty())
        config_.station.channels = DefaultChannels();
}

std::vector<SimOutput> SimDevice::Handle(const QByteArray &datagram)
{
    if (silent_)
        return {};
    if (datagram.size() < int(kHeaderSize) ||
        !datagram.startsWith(QByteArray(kMagic.data(), int(kMagic.size()))) ||
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
        CipherPayload(View(config_.password), reinterpret_cast<uint8_t *>(payload.data()),
                      size_t(payload.size()));

    switch (command) {
    case CMD_DISCOVER:
        ++requests_[SimKind::Discover];
        return Send(SimKind::Discover, BuildDiscoverAnswer(config_.mac, View(config_.name)));
    case CMD_LOGIN:
        return HandleLogin(payload);
    case CMD_LOGOUT:
        // Every device on the segment hears the logout; only the one holding
        // a login answers it.
        if (!loggedIn_)
            return {};
        ++requests_[SimKind::Logout];
        loggedIn_ = false;
        Changed();
        return Result(SimKind::Logout, CMD_LOGOUT, true);
    default:
        break;
    }
    // Everything else needs the login; without it the device stays silent
    // and the wizard times out and logs in again.
    if (!loggedIn_)
        return {};
    return HandleLoggedIn(command, payload);
}

std::vector<SimOutput> SimDevice::HandleLoggedIn(uint8_t command, const QByteArray &payload)
{
    switch (command) {
    case CMD_GET_CONFIG:
        return HandleGetConfig(payload);
    case CMD_SET_CONFIG:
        return HandleSetConfig(payload);
    case CMD_STATION_SET_CONFIG:
        return HandleStationSet(payload);
    case CMD_SITE_SURVEY:
        ++requests_[SimKind::SiteSurvey];
        return Send(SimKind::SiteSurvey, BuildSiteSurveyAnswer(config_.mac, SurveyFields(config_.survey)));
    case CMD_STATION_GET_CONFIG:
        ++requests_[SimKind::StationGetConfig];
        return Send(SimKind::StationGetConfig,
                    BuildStationGetConfigAnswer(config_.mac, View(config_.clientPin)));
    default:
        ++requests_[SimKind::Unknown];
        return {};
    }
}

std::vector<SimOutput> SimDevice::HandleLogin(const QByteArray &payload)
{
    QByteArray deviceMac;
    QByteArray phrase;
    for (const SimElement &e : SimElements(payload)) {
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
        return Result(SimKind::Login, CMD_LOGIN, false);
    }
    if (deviceMac != QByteArray(reinterpret_cast<const char *>(config_.mac.data()), 6))
        return {}; // a login for another device with the same password
    ++requests_[SimKind::Login];
    if (config_.refuseLogins)
        return Result(SimKind::Login, CMD_LOGIN, false);

    loggedIn_ = true;
    ++loginGeneration_;
    Changed();
    std::vector<SimOutput> out = Send(SimKind::Login, BuildLoginAnswer(config_.mac, config_.otherPort));
    if (config_.connectTimeoutMs > 0)
        out.push_back({Sealed(BuildConnectTimeoutEvent(config_.mac)),
                       config_.delayMs + config_.connectTimeoutMs, true, loginGeneration_});
    return out;
}

std::vector<SimOutput> SimDevice::HandleGetConfig(const QByteArray &payload)
{
    const std::vector<SimElement> elements = SimElements(payload);
    const bool modeOnly = !elements.empty() && elements.front().type == DEVICE_MODE;
    if (modeOnly) {
        ++requests_[SimKind::GetMode];
        return Send(SimKind::GetMode, BuildModeAnswer(config_.mac, config_.mode));
    }
    ++requests_[SimKind::GetConfig];
    return Send(SimKind::GetConfig, BuildConfigAnswer(config_.mac, ConfigFields()));
}

std::vector<SimOutput> SimDevice::HandleSetConfig(const QByteArray &payload)
{
    const std::vector<SimElement> elements = SimElements(payload);
    if (elements.empty()) {
        ++requests_[SimKind::Unknown];
        return Result(SimKind::Unknown, CMD_SET_CONFIG, false);
    }
    const SimElement &first = elements.front();
    switch (first.type) {
    case DEVICE_MODE:
        return SetMode(first.value.isEmpty() ? 0 : static_cast<uint8_t>(first.value[0]));
    case IP_MODE:
        return SetIp(elements);
    case WL_SSID: {
        ++requests_[SimKind::SetWireless];
        const bool ok = ApplyWireless(elements, config_.wireless);
        if (ok)
            Changed();
        return Result(SimKind::SetWireless, CMD_SET_CONFIG, ok);
    }
    case WL_WPS_PBC: {
        ++requests_[SimKind::WpsPbc];
        lastWpsPin_.clear();
        std::vector<SimOutput> out = Result(SimKind::WpsPbc, CMD_SET_CONFIG, config_.wpsResult != 0);
        if (config_.wpsResult != 0 && !out.empty())
            AppendWpsEvents(out);
        return out;
    }
    case WL_WPS_PIN:
        return WpsPin(first.value);
    default:
        ++requests_[SimKind::Unknown];
        return Result(SimKind::Unknown, CMD_SET_CONFIG, false);
    }
}

std::vector<SimOutput> SimDevice::SetMode(uint8_t mode)
{
    ++requests_[SimKind::SetMode];
    const bool ok = mode == 1 || mode == 2;
    if (ok && config_.mode != mode) {
        config_.mode = mode;
        Changed();
    }
    return Result(SimKind::SetMode, CMD_SET_CONFIG, ok);
}

std::vector<SimOutput> SimDevice::SetIp(const std::vector<SimElement> &elements)
{
    ++requests_[SimKind::SetIp];
    const SimElement &first = elements.front();
    const uint8_t dhcp = first.value.isEmpty() ? 0 : static_cast<uint8_t>(first.value[0]);
    bool ok = first.value.size() == 1;
    uint32_t ip = config_.ip, mask = config_.netmask, gw = config_.gateway;
    if (ok && dhcp == 0) {
        bool sawIp = false;
        for (const SimElement &e : elements) {
            if (e.value.size() != 4)
                continue;
            const Tlv t{e.type, uint8_t(e.value.size()),
                        reinterpret_cast<const uint8_t *>(e.value.constData())};
            if (e.type == LAN_IP) {
                sawIp = TlvU32(t, ip);
            } else if (e.type == LAN_NETMASK) {
                TlvU32(t, mask);
            } else if (e.type == LAN_GATEWAY) {
                TlvU32(t, gw);
            }
        }
        ok = sawIp && ip != 0 && mask != 0;
    }
    if (ok) {
        config_.dhcp = dhcp != 0;
        if (dhcp == 0) {
            config_.ip = ip;
            config_.netmask = mask;
            config_.gateway = gw;
        }
        Changed();
    }
    return Result(SimKind::SetIp, CMD_SET_CONFIG, ok);
}

std::vector<SimOutput> SimDevice::WpsPin(const QByteArray &pin)
{
    ++requests_[SimKind::WpsPin];
    bool ok = config_.wpsResult != 0;
    // An access point takes the client's eight digits, a bridge the name of
    // the network to join.
    if (config_.mode == 1)
        ok = ok && pin.size() == 8 && std::all_of(pin.begin(), pin.end(), ::isdigit);
    else
        ok = ok && !pin.isEmpty() && pin.size() <= 32;
    if (ok) {
        lastWpsPin_ = pin;
        Changed();
    }
    std::vector<SimOutput> out = Result(SimKind::WpsPin, CMD_SET_CONFIG, ok);
    if (ok && !out.empty())
        AppendWpsEvents(out);
    return out;
}

std::vector<SimOutput> SimDevice::HandleStationSet(const QByteArray &payload)
{
    ++requests_[SimKind::SetStation];
    const bool ok = ApplyWireless(SimElements(payload), config_.station);
    if (ok)
        Changed();
    return Result(SimKind::SetStation, CMD_STATION_SET_CONFIG, ok);
}

std::vector<SimOutput> SimDevice::Result(SimKind kind, uint8_t command, bool ok)
{
    return Send(kind, BuildResultAnswer(config_.mac, command, ok));
}

QByteArray SimDevice::Sealed(Protocol::Answer answer) const
{
    SealAnswer(answer, View(config_.password));
    return QByteArray(reinterpret_cast<const char *>(answer.Data()), int(answer.Size()));
}

std::vector<SimOutput> SimDevice::Send(SimKind kind, Protocol::Answer answer)
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
    const QByteArray datagram = Sealed(std::move(answer));
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
        out.push_back({Sealed(BuildWpsStatusEvent(config_.mac, status)), delay, false, 0});
    }
    if (config_.connectTimeoutAfterWps) {
        delay += config_.wpsIntervalMs;
        out.push_back({Sealed(BuildConnectTimeoutEvent(config_.mac)), delay, true, loginGeneration_});
    }
}

void SimDevice::EndLogin(uint64_t generation)
{
    if (!loggedIn_ || generation != loginGeneration_)
        return;
    loggedIn_ = false;
    Changed();
}

Protocol::ConfigAnswer SimDevice::ConfigFields() const
{
    // A bridge reports the upstream network as its wireless settings.
    const SimWireless &w = config_.mode == 1 ? config_.wireless : config_.station;
    return {
        .deviceMode = config_.mode,
        .ipMode = uint8_t(config_.dhcp ? 1 : 0),
        .ip = config_.ip,
        .netmask = config_.netmask,
        .gateway = config_.gateway,
        .ssid = View(w.ssid),
        .channels = View(w.channels),
        .extChannel = w.extChannel,
        .stdChannel = w.stdChannel,
        .securityMode = w.securityMode,
        .authMode = w.authMode,
        .wepKeyLen = w.wepKeyLen,
        .wepKeyIndex = w.wepKeyIndex,
        .wpaMode = w.wpaMode,
        .wpaCipher = w.wpaCipher,
        .wpsPin = config_.wpsPin,
    };
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
    ip["ip"] = IpToText(config_.ip);
    ip["netmask"] = IpToText(config_.netmask);
    ip["gateway"] = IpToText(config_.gateway);
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
