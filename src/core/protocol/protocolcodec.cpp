#include "protocol/protocolcodec.h"

#include "app/debug.h"
#include "app/records.h"
#include "protocol/rc4encry.h"

#include <cstdio>
#include <cstring>
#include <type_traits>

namespace Protocol {

namespace {

// A record's text field, up to its terminator or its full width.
template <size_t N> std::string_view RawText(const char (&field)[N])
{
    return std::string_view(field, strnlen(field, N));
}

// A network name is at most 32 bytes; a field filled to its end without a
// terminator sends its first 32.
std::string_view SsidOnWire(const char (&field)[SSID_MAX + 1])
{
    return RawText(field).substr(0, SSID_MAX);
}

Request Empty(const MacAddress &mac, uint8_t command)
{
    Request request(mac);
    request.Finish(command);
    return request;
}

// The elements after WL_SECURITY_MODE, shared by both wireless settings.
void AppendSecurityBlock(Request &request, const WlConfigRecord &config)
{
    if (config.SecurityMode == 1) {
        request.AppendU8(WL_AUTH_MODE, uint8_t(config.AuthMode));
        request.AppendText(WL_WEPKEY, RawText(config.WepKey));
        // The device keeps the key in slot 0 whatever index the record holds.
        request.AppendU8(WL_WEPKEY_INDEX, 0);
    } else if (config.SecurityMode == 2) {
        request.AppendU8(WL_WPA_MODE, uint8_t(config.WpaMode));
        request.AppendU8(WL_WPA_CIPHER, uint8_t(config.WpaCipher));
        request.AppendText(WL_WPA_PSK, RawText(config.Passphrase));
    }
}

} // namespace

Request BuildDiscover(const MacAddress &mac)
{
    return Empty(mac, CMD_DISCOVER);
}

Request BuildLogin(const MacAddress &mac, const MacAddress &deviceMac)
{
    Request request(mac);
    request.AppendTlv(DEV_MAC, deviceMac.data(), deviceMac.size());
    request.AppendText(TLVTYPE_OTHER_AUTH, kAuthPhrase);
    request.Finish(CMD_LOGIN);
    return request;
}

Request BuildLogout(const MacAddress &mac)
{
    return Empty(mac, CMD_LOGOUT);
}

Request BuildGetConfig(const MacAddress &mac)
{
    Request request(mac);
    request.AppendU8(TLVTYPE_OTHER_GET_ALL, 0);
    request.Finish(CMD_GET_CONFIG);
    return request;
}

Request BuildGetMode(const MacAddress &mac)
{
    Request request(mac);
    request.AppendU8(DEVICE_MODE, 0);
    request.Finish(CMD_GET_CONFIG);
    return request;
}

Request BuildSetMode(const MacAddress &mac, int mode)
{
    Request request(mac);
    request.AppendU8(DEVICE_MODE, uint8_t(mode));
    request.Finish(CMD_SET_CONFIG);
    return request;
}

Request BuildIpSetting(const MacAddress &mac, const IpConfigRecord &config)
{
    Request request(mac);
    if (config.IpMode != 0) {
        request.AppendU8(IP_MODE, 1);
    } else {
        request.AppendU8(IP_MODE, 0);
        request.AppendU32(LAN_IP, config.Ip);
        request.AppendU32(LAN_NETMASK, config.Netmask);
        request.AppendU32(LAN_GATEWAY, config.Gateway);
    }
    request.Finish(CMD_SET_CONFIG);
    return request;
}

Request BuildWlSetting(const MacAddress &mac, const WlConfigRecord &config)
{
    Request request(mac);
    request.AppendText(WL_SSID, SsidOnWire(config.Ssid));
    request.AppendU8(WL_STD_CH, config.StdChannel);
    // With automatic channel choice the extension channel means nothing.
    if (config.StdChannel != 0)
        request.AppendU8(WL_EXT_CH, config.ExtChannel);
    request.AppendU8(WL_MODE, uint8_t(config.WirelessMode));
    request.AppendU8(WL_SECURITY_MODE, uint8_t(config.SecurityMode));
    AppendSecurityBlock(request, config);
    request.Finish(CMD_SET_CONFIG);
    return request;
}

Request BuildWlStationSetting(const MacAddress &mac, const WlConfigRecord &config)
{
    Request request(mac);
    request.AppendText(WL_SSID, SsidOnWire(config.Ssid));
    request.AppendU8(WL_STATION, 1);
    request.AppendU8(WL_MODE, uint8_t(config.WirelessMode));
    request.AppendU8(WL_SECURITY_MODE, uint8_t(config.SecurityMode));
    AppendSecurityBlock(request, config);
    request.Finish(CMD_STATION_SET_CONFIG);
    return request;
}

Request BuildWpsPbc(const MacAddress &mac)
{
    Request request(mac);
    request.AppendTlv(WL_WPS_PBC, nullptr, 0);
    request.Finish(CMD_SET_CONFIG);
    return request;
}

namespace {

// Both forms of the PIN request carry one text in the PIN element.
Request WpsPinRequest(const MacAddress &mac, std::string_view text)
{
    Request request(mac);
    request.AppendText(WL_WPS_PIN, text);
    request.Finish(CMD_SET_CONFIG);
    return request;
}

} // namespace

Request BuildWpsPinEnrollee(const MacAddress &mac, uint32_t enrolleePin)
{
    // PINs are eight digits; a larger stored value keeps its low eight.
    char digits[16];
    std::snprintf(digits, sizeof digits, "%08u", unsigned(enrolleePin % 100000000u));
    return WpsPinRequest(mac, digits);
}

Request BuildWpsPinSsid(const MacAddress &mac, std::string_view ssid)
{
    return WpsPinRequest(mac, ssid);
}

Request BuildSiteSurvey(const MacAddress &mac)
{
    return Empty(mac, CMD_SITE_SURVEY);
}

Request BuildStationGetConfig(const MacAddress &mac)
{
    return Empty(mac, CMD_STATION_GET_CONFIG);
}

ResultAnswer DecodeResult(const uint8_t *payload, size_t length, bool readPort)
{
    ResultAnswer answer;
    TlvWalker walker(payload, length);
    Tlv element;
    while (walker.Next(element)) {
        if (element.type == TLVTYPE_OTHER_RESULT) {
            uint8_t value = 0;
            if (TlvU8(element, value)) {
                answer.result = value;
                DebugPrint("  Result=%d", answer.result);
            }
        } else if (element.type == TLVTYPE_OTHER_PORT && readPort) {
            uint16_t port = 0;
            if (TlvU16(element, port)) {
                answer.hasPort = true;
                answer.port = port;
                DebugPrint("  Port=%d", int(port));
            }
        }
    }
    return answer;
}

bool DecodeDiscover(const uint8_t *payload, size_t length, DeviceRecord &record)
{
    TlvWalker walker(payload, length);
    Tlv element;
    while (walker.Next(element)) {
        if (element.type == DEV_NAME) {
            TlvText(element, record.Name, sizeof record.Name);
            DebugPrint("  DevName=%s", record.Name);
        }
    }
    return walker.Count() > 0;
}

namespace {

// One fixed-width element of the configuration answer: where its value goes
// and how its line logs it.
struct ConfigField
{
    uint8_t type;
    uint8_t width; // 1 or 4 bytes
    const char *line;
    // Stores `value`; returns the value as the line shows it.
    uint32_t (*store)(ConfigTarget &target, uint32_t value);
};

template <auto Field> uint32_t StoreIp(ConfigTarget &target, uint32_t value)
{
    target.ip.*Field = static_cast<std::remove_reference_t<decltype(target.ip.*Field)>>(value);
    return uint32_t(target.ip.*Field);
}

template <auto Field> uint32_t StoreWl(ConfigTarget &target, uint32_t value)
{
    target.wl.*Field = static_cast<std::remove_reference_t<decltype(target.wl.*Field)>>(value);
    return uint32_t(target.wl.*Field);
}

uint32_t StoreDeviceMode(ConfigTarget &target, uint32_t value)
{
    target.deviceMode = int(value);
    return value;
}

uint32_t StoreIpMode(ConfigTarget &target, uint32_t value)
{
    target.ip.IpMode = value != 0 ? 1 : 0;
    return uint32_t(target.ip.IpMode);
}

// The device keeps its WEP key in slot 0: the index is only logged.
uint32_t LogOnly(ConfigTarget &, uint32_t value)
{
    return value;
}

const ConfigField kConfigFields[] = {
    {DEVICE_MODE, 1, "  DEVICE_MODE=0x%02X", StoreDeviceMode},
    {IP_MODE, 1, "  IP_MODE=%d", StoreIpMode},
    {LAN_IP, 4, "  LAN_IP=%X", StoreIp<&IpConfigRecord::Ip>},
    {LAN_NETMASK, 4, "  LAN_NETMASK=%X", StoreIp<&IpConfigRecord::Netmask>},
    {LAN_GATEWAY, 4, "  LAN_GATEWAY=%X", StoreIp<&IpConfigRecord::Gateway>},
    {WL_EXT_CH, 1, "  WL_EXT_CH=%d", StoreWl<&WlConfigRecord::ExtChannel>},
    {WL_STD_CH, 1, "  WL_STD_CH=%d", StoreWl<&WlConfigRecord::StdChannel>},
    {WL_SECURITY_MODE, 1, "  WL_SECURITY_MODE=%d", StoreWl<&WlConfigRecord::SecurityMode>},
    {WL_AUTH_MODE, 1, "  WL_AUTH_MODE=%d", StoreWl<&WlConfigRecord::AuthMode>},
    {WL_WEPKEY_LEN, 1, "  WL_WEPKEY_LEN=%d", StoreWl<&WlConfigRecord::WepKeyLen>},
    {WL_WEPKEY_INDEX, 1, "  WL_WEPKEY_INDEX=%d", LogOnly},
    {WL_WPA_MODE, 1, "  WL_WPA_MODE=%d", StoreWl<&WlConfigRecord::WpaMode>},
    {WL_WPA_CIPHER, 1, "  WL_WPA_CIPHER=%d", StoreWl<&WlConfigRecord::WpaCipher>},
    {WL_WPS_PIN, 4, "  WL_WPS_PIN=0x%08X", StoreWl<&WlConfigRecord::WpsPin>},
};

const ConfigField *FindConfigField(uint8_t type)
{
    for (const ConfigField &field : kConfigFields) {
        if (field.type == type)
            return &field;
    }
    return nullptr;
}

void DecodeConfigField(const ConfigField &field, const Tlv &element, ConfigTarget &target)
{
    if (field.width == 1) {
        uint8_t byte = 0;
        if (TlvU8(element, byte))
            DebugPrint(field.line, int(field.store(target, byte)));
    } else {
        uint32_t word = 0;
        if (TlvU32(element, word))
            DebugPrint(field.line, unsigned(field.store(target, word)));
    }
}

void DecodeChannelList(const Tlv &element, WlConfigRecord &wl)
{
    // The list holds at most 255 channels, so its terminator always fits.
    std::memset(wl.ChannelList, 0, sizeof wl.ChannelList);
    std::memcpy(wl.ChannelList, element.value, element.length);
    char channels[255 * 4 + 1] = {}; // " %d" of a byte is at most 4 characters
    size_t used = 0;
    for (int i = 0; i < element.length; ++i)
        used += size_t(std::snprintf(channels + used, sizeof channels - used, " %d", element.value[i]));
    DebugPrint("  WL_CH_LIST=(%d) %s", element.length, channels);
}

// Walks the elements of an answer: `known` takes the element types it knows
// and says so; any other is counted and logged by its type.
template <typename Known> WalkSummary WalkAnswer(const uint8_t *payload, size_t length, Known known)
{
    WalkSummary summary;
    TlvWalker walker(payload, length);
    Tlv element;
    while (walker.Next(element)) {
        if (!known(element)) {
            ++summary.unknown;
            DebugPrint("  TLV=0x%X", element.type);
        }
    }
    summary.elements = walker.Count();
    summary.truncated = walker.Truncated();
    return summary;
}

} // namespace

WalkSummary DecodeGetConfig(const uint8_t *payload, size_t length, ConfigTarget target)
{
    return WalkAnswer(payload, length, [&target](const Tlv &element) {
        if (const ConfigField *field = FindConfigField(element.type)) {
            DecodeConfigField(*field, element, target);
        } else if (element.type == WL_SSID) {
            TlvText(element, target.wl.Ssid, sizeof target.wl.Ssid);
            DebugPrint("  WL_SSID=%s", target.wl.Ssid);
        } else if (element.type == WL_CH_LIST) {
            DecodeChannelList(element, target.wl);
        } else {
            return false;
        }
        return true;
    });
}

EventAnswer DecodeEvent(const uint8_t *payload, size_t length)
{
    EventAnswer answer;
    answer.walk = WalkAnswer(payload, length, [&answer](const Tlv &element) {
        if (element.type == TLVTYPE_OTHER_CONNECTTIMEOUT) {
            answer.connectTimeout = true;
            DebugPrint("  TLVTYPE_OTHER_CONNECTTIMEOUT");
        } else if (element.type == TLVTYPE_OTHER_WPS_STATUS) {
            uint32_t word = 0;
            if (TlvU32(element, word)) {
                const auto status = static_cast<int32_t>(word);
                answer.wpsStatus.push_back(status);
                DebugPrint("  TLVTYPE_OTHER_WPS_STATUS %d", status);
            }
        } else {
            return false;
        }
        return true;
    });
    return answer;
}

WalkSummary DecodeStationGetConfig(const uint8_t *payload, size_t length, char *pin, size_t capacity)
{
    return WalkAnswer(payload, length, [pin, capacity](const Tlv &element) {
        if (element.type != WL_WPS_PIN)
            return false;
        TlvText(element, pin, capacity);
        DebugPrint("  AP Client PIN Code = %s", pin);
        return true;
    });
}

namespace {

// An answer of one element: `append` writes it.
template <typename Append> Answer Single(const MacAddress &device, uint8_t command, Append append)
{
    Answer answer(device);
    append(answer);
    answer.Finish(command);
    return answer;
}

} // namespace

Answer BuildDiscoverAnswer(const MacAddress &device, std::string_view name)
{
    return Single(device, CMD_DISCOVER, [&](Answer &a) { a.AppendText(DEV_NAME, name); });
}

Answer BuildResultAnswer(const MacAddress &device, uint8_t command, bool ok)
{
    return Single(device, command, [&](Answer &a) { a.AppendU8(TLVTYPE_OTHER_RESULT, ok ? 1 : 0); });
}

Answer BuildLoginAnswer(const MacAddress &device, uint16_t otherPort)
{
    Answer answer(device);
    answer.AppendU8(TLVTYPE_OTHER_RESULT, 1);
    if (otherPort != 0)
        answer.AppendU16(TLVTYPE_OTHER_PORT, otherPort);
    answer.Finish(CMD_LOGIN);
    return answer;
}

Answer BuildModeAnswer(const MacAddress &device, uint8_t mode)
{
    return Single(device, CMD_GET_CONFIG, [&](Answer &a) { a.AppendU8(DEVICE_MODE, mode); });
}

Answer BuildConfigAnswer(const MacAddress &device, const ConfigAnswer &config)
{
    Answer answer(device);
    answer.AppendU8(DEVICE_MODE, config.deviceMode);
    answer.AppendU8(IP_MODE, config.ipMode);
    answer.AppendU32(LAN_IP, config.ip);
    answer.AppendU32(LAN_NETMASK, config.netmask);
    answer.AppendU32(LAN_GATEWAY, config.gateway);
    answer.AppendText(WL_SSID, config.ssid);
    answer.AppendText(WL_CH_LIST, config.channels);
    answer.AppendU8(WL_EXT_CH, config.extChannel);
    answer.AppendU8(WL_STD_CH, config.stdChannel);
    answer.AppendU8(WL_SECURITY_MODE, config.securityMode);
    answer.AppendU8(WL_AUTH_MODE, config.authMode);
    answer.AppendU8(WL_WEPKEY_LEN, config.wepKeyLen);
    answer.AppendU8(WL_WEPKEY_INDEX, config.wepKeyIndex);
    answer.AppendU8(WL_WPA_MODE, config.wpaMode);
    answer.AppendU8(WL_WPA_CIPHER, config.wpaCipher);
    answer.AppendU32(WL_WPS_PIN, config.wpsPin);
    answer.Finish(CMD_GET_CONFIG);
    return answer;
}

Answer BuildStationGetConfigAnswer(const MacAddress &device, std::string_view clientPin)
{
    return Single(device, CMD_STATION_GET_CONFIG, [&](Answer &a) { a.AppendText(WL_WPS_PIN, clientPin); });
}

Answer BuildSiteSurveyAnswer(const MacAddress &device, const std::vector<SurveyRecordFields> &networks)
{
    Answer answer(device);
    uint8_t record[kSurveyRecordSize];
    for (const SurveyRecordFields &network : networks) {
        EncodeSurveyRecord(network, record);
        if (!answer.AppendRaw(record, sizeof record))
            break;
    }
    answer.Finish(CMD_SITE_SURVEY);
    return answer;
}

Answer BuildConnectTimeoutEvent(const MacAddress &device)
{
    return Single(device, CMD_EVENT,
                  [](Answer &a) { a.AppendTlv(TLVTYPE_OTHER_CONNECTTIMEOUT, nullptr, 0); });
}

Answer BuildWpsStatusEvent(const MacAddress &device, int32_t status)
{
    return Single(device, CMD_EVENT,
                  [&](Answer &a) { a.AppendU32(TLVTYPE_OTHER_WPS_STATUS, static_cast<uint32_t>(status)); });
}

void SealAnswer(Answer &answer, std::string_view password)
{
    if (HeaderCommand(answer.Data()) != CMD_DISCOVER && answer.PayloadLength() > 0)
        CipherPayload(password, answer.Data() + kHeaderSize, answer.PayloadLength());
}

} // namespace Protocol
