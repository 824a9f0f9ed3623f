#include "protocol/protocolcodec.h"

#include "app/debug.h"
#include "app/records.h"

#include <cstdio>
#include <cstring>

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

Request BuildWpsPinEnrollee(const MacAddress &mac, uint32_t enrolleePin)
{
    // PINs are eight digits; a larger stored value keeps its low eight.
    char digits[16];
    std::snprintf(digits, sizeof digits, "%08u", unsigned(enrolleePin % 100000000u));
    Request request(mac);
    request.AppendText(WL_WPS_PIN, digits);
    request.Finish(CMD_SET_CONFIG);
    return request;
}

Request BuildWpsPinSsid(const MacAddress &mac, std::string_view ssid)
{
    Request request(mac);
    request.AppendText(WL_WPS_PIN, ssid);
    request.Finish(CMD_SET_CONFIG);
    return request;
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

WalkSummary DecodeGetConfig(const uint8_t *payload, size_t length, ConfigTarget target)
{
    WalkSummary summary;
    IpConfigRecord &ip = target.ip;
    WlConfigRecord &wl = target.wl;
    TlvWalker walker(payload, length);
    Tlv element;
    while (walker.Next(element)) {
        uint8_t byte = 0;
        uint32_t word = 0;
        switch (element.type) {
        case DEVICE_MODE:
            if (TlvU8(element, byte)) {
                target.deviceMode = byte;
                DebugPrint("  DEVICE_MODE=0x%02X", target.deviceMode);
            }
            break;
        case IP_MODE:
            if (TlvU8(element, byte)) {
                ip.IpMode = byte != 0 ? 1 : 0;
                DebugPrint("  IP_MODE=%d", ip.IpMode);
            }
            break;
        case LAN_IP:
            if (TlvU32(element, word)) {
                ip.Ip = word;
                DebugPrint("  LAN_IP=%X", ip.Ip);
            }
            break;
        case LAN_NETMASK:
            if (TlvU32(element, word)) {
                ip.Netmask = word;
                DebugPrint("  LAN_NETMASK=%X", ip.Netmask);
            }
            break;
        case LAN_GATEWAY:
            if (TlvU32(element, word)) {
                ip.Gateway = word;
                DebugPrint("  LAN_GATEWAY=%X", ip.Gateway);
            }
            break;
        case WL_SSID:
            TlvText(element, wl.Ssid, sizeof wl.Ssid);
            DebugPrint("  WL_SSID=%s", wl.Ssid);
            break;
        case WL_CH_LIST: {
            // The list holds at most 255 channels, so its terminator always fits.
            std::memset(wl.ChannelList, 0, sizeof wl.ChannelList);
            std::memcpy(wl.ChannelList, element.value, element.length);
            char channels[255 * 4 + 1] = {}; // " %d" of a byte is at most 4 characters
            size_t used = 0;
            for (int i = 0; i < element.length; ++i)
                used +=
                    size_t(std::snprintf(channels + used, sizeof channels - used, " %d", element.value[i]));
            DebugPrint("  WL_CH_LIST=(%d) %s", element.length, channels);
            break;
        }
        case WL_EXT_CH:
            if (TlvU8(element, byte)) {
                wl.ExtChannel = byte;
                DebugPrint("  WL_EXT_CH=%d", wl.ExtChannel);
            }
            break;
        case WL_STD_CH:
            if (TlvU8(element, byte)) {
                wl.StdChannel = byte;
                DebugPrint("  WL_STD_CH=%d", wl.StdChannel);
            }
            break;
        case WL_SECURITY_MODE:
            if (TlvU8(element, byte)) {
                wl.SecurityMode = byte;
                DebugPrint("  WL_SECURITY_MODE=%d", wl.SecurityMode);
            }
            break;
        case WL_AUTH_MODE:
            if (TlvU8(element, byte)) {
                wl.AuthMode = byte;
                DebugPrint("  WL_AUTH_MODE=%d", wl.AuthMode);
            }
            break;
        case WL_WEPKEY_LEN:
            if (TlvU8(element, byte)) {
                wl.WepKeyLen = byte;
                DebugPrint("  WL_WEPKEY_LEN=%d", wl.WepKeyLen);
            }
            break;
        case WL_WEPKEY_INDEX:
            if (TlvU8(element, byte))
                DebugPrint("  WL_WEPKEY_INDEX=%d", byte);
            break;
        case WL_WPA_MODE:
            if (TlvU8(element, byte)) {
                wl.WpaMode = byte;
                DebugPrint("  WL_WPA_MODE=%d", wl.WpaMode);
            }
            break;
        case WL_WPA_CIPHER:
            if (TlvU8(element, byte)) {
                wl.WpaCipher = byte;
                DebugPrint("  WL_WPA_CIPHER=%d", wl.WpaCipher);
            }
            break;
        case WL_WPS_PIN:
            if (TlvU32(element, word)) {
                wl.WpsPin = word;
                DebugPrint("  WL_WPS_PIN=0x%08X", wl.WpsPin);
            }
            break;
        default:
            ++summary.unknown;
            DebugPrint("  TLV=0x%X", element.type);
            break;
        }
    }
    summary.elements = walker.Count();
    summary.truncated = walker.Truncated();
    return summary;
}

EventAnswer DecodeEvent(const uint8_t *payload, size_t length)
{
    EventAnswer answer;
    TlvWalker walker(payload, length);
    Tlv element;
    while (walker.Next(element)) {
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
            ++answer.walk.unknown;
            DebugPrint("  TLV=0x%X", element.type);
        }
    }
    answer.walk.elements = walker.Count();
    answer.walk.truncated = walker.Truncated();
    return answer;
}

WalkSummary DecodeStationGetConfig(const uint8_t *payload, size_t length, char *pin, size_t capacity)
{
    WalkSummary summary;
    TlvWalker walker(payload, length);
    Tlv element;
    while (walker.Next(element)) {
        if (element.type == WL_WPS_PIN) {
            TlvText(element, pin, capacity);
            DebugPrint("  AP Client PIN Code = %s", pin);
        } else {
            ++summary.unknown;
            DebugPrint("  TLV=0x%X", element.type);
        }
    }
    summary.elements = walker.Count();
    summary.truncated = walker.Truncated();
    return summary;
}

} // namespace Protocol
