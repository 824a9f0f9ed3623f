#pragma once
// The request payloads and answer decoders of the device protocol, and the
// answers as a device builds them. Each request builder returns a complete
// clear-text request (header, TLVs, command and length) ready for the
// engine's SendPacket; each decoder walks a clear payload, writes what it
// knows into the caller's records and logs every decoded field with the
// engine's own lines; the answer builders give the simulated device the same
// writer the engine uses. The engine owns state, timers
// and messages; this unit only turns records into bytes and bytes into
// records, so every payload is tested byte for byte.

#include "protocol/packet.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

struct DeviceRecord;
struct IpConfigRecord;
struct WlConfigRecord;

namespace Protocol {

// The fixed phrase the login request carries under the cipher.
inline constexpr std::string_view kAuthPhrase{
    "QRZ-517MXB Setup is requesting entry. Passphrase block for the wizard handshake. Keep in ok."};

// Requests. `mac` is the engine's local MAC for the header; SendPacket
// overwrites it per adapter.
Request BuildDiscover(const MacAddress &mac);
Request BuildLogin(const MacAddress &mac, const MacAddress &deviceMac);
Request BuildLogout(const MacAddress &mac);
Request BuildGetConfig(const MacAddress &mac);
Request BuildGetMode(const MacAddress &mac);
Request BuildSetMode(const MacAddress &mac, int mode);
// DHCP: IP_MODE 1 alone; static: IP_MODE 0, address, mask and gateway.
// Name servers are never sent.
Request BuildIpSetting(const MacAddress &mac, const IpConfigRecord &config);
// Access-point wireless settings; channel elements, then the security block.
Request BuildWlSetting(const MacAddress &mac, const WlConfigRecord &config);
// Bridge upstream settings: no channel elements, WL_STATION 1.
Request BuildWlStationSetting(const MacAddress &mac, const WlConfigRecord &config);
Request BuildWpsPbc(const MacAddress &mac);
// Access-point form: the enrollee PIN as eight decimal digits ("%08d").
Request BuildWpsPinEnrollee(const MacAddress &mac, uint32_t enrolleePin);
// Bridge form: the upstream network name as text.
Request BuildWpsPinSsid(const MacAddress &mac, std::string_view ssid);
Request BuildSiteSurvey(const MacAddress &mac);
Request BuildStationGetConfig(const MacAddress &mac);

// Answers. Every decoder takes the clear payload (the header's length
// bytes from offset 18) and copes with any bytes at all.

// Login, logout and set answers: TLVTYPE_OTHER_RESULT ("  Result=%d"),
// and with `readPort` TLVTYPE_OTHER_PORT ("  Port=%d"). Other types are
// skipped silently.
struct ResultAnswer
{
    int result = 0;
    bool hasPort = false;
    uint16_t port = 0;
};
ResultAnswer DecodeResult(const uint8_t *payload, size_t length, bool readPort);

// Discovery answer: DEV_NAME into record.Name ("  DevName=%s"). Returns
// whether at least one complete element was walked (only then is the
// device a real answer).
bool DecodeDiscover(const uint8_t *payload, size_t length, DeviceRecord &record);

// Configuration answer: every known element into its field with its log
// line; unlisted types (the WEP key, passphrase and wireless mode among
// them) only logged "  TLV=0x%X".
struct ConfigTarget
{
    IpConfigRecord &ip;
    WlConfigRecord &wl;
    int &deviceMode;
};
struct WalkSummary
{
    int elements = 0; // complete elements walked
    int unknown = 0;  // of those, unlisted types
    bool truncated = false;
};
WalkSummary DecodeGetConfig(const uint8_t *payload, size_t length, ConfigTarget target);

// Event: CONNECTTIMEOUT and every WPS status in arrival order.
struct EventAnswer
{
    bool connectTimeout = false;
    std::vector<int32_t> wpsStatus;
    WalkSummary walk;
};
EventAnswer DecodeEvent(const uint8_t *payload, size_t length);

// Station answer: WL_WPS_PIN text into `pin` (room for `capacity` bytes
// with the terminator), logged "  AP Client PIN Code = %s".
WalkSummary DecodeStationGetConfig(const uint8_t *payload, size_t length, char *pin, size_t capacity);

// Answers as a device sends them: the header carries the device's MAC, the
// payload stays clear until SealAnswer. Texts go as their exact bytes, cut
// to 255.
Answer BuildDiscoverAnswer(const MacAddress &device, std::string_view name);
// Login, logout and set answers: TLVTYPE_OTHER_RESULT 1 or 0.
Answer BuildResultAnswer(const MacAddress &device, uint8_t command, bool ok);
// An accepted login: result 1, then TLVTYPE_OTHER_PORT unless `otherPort` is 0.
Answer BuildLoginAnswer(const MacAddress &device, uint16_t otherPort);
Answer BuildModeAnswer(const MacAddress &device, uint8_t mode);

// What a device reports in its configuration answer, in the order it goes.
struct ConfigAnswer
{
    uint8_t deviceMode = 0;
    uint8_t ipMode = 0;
    uint32_t ip = 0;
    uint32_t netmask = 0;
    uint32_t gateway = 0;
    std::string_view ssid;
    std::string_view channels; // one channel number per byte
    uint8_t extChannel = 0;
    uint8_t stdChannel = 0;
    uint8_t securityMode = 0;
    uint8_t authMode = 0;
    uint8_t wepKeyLen = 0;
    uint8_t wepKeyIndex = 0;
    uint8_t wpaMode = 0;
    uint8_t wpaCipher = 0;
    uint32_t wpsPin = 0;
};
Answer BuildConfigAnswer(const MacAddress &device, const ConfigAnswer &config);
// The bridge's client PIN as text.
Answer BuildStationGetConfigAnswer(const MacAddress &device, std::string_view clientPin);
// One 49-byte record per network; records past the datagram's room are dropped.
Answer BuildSiteSurveyAnswer(const MacAddress &device, const std::vector<SurveyRecordFields> &networks);
Answer BuildConnectTimeoutEvent(const MacAddress &device);
Answer BuildWpsStatusEvent(const MacAddress &device, int32_t status);

// Enciphers the payload with `password`; discovery answers go in clear.
void SealAnswer(Answer &answer, std::string_view password);

} // namespace Protocol
