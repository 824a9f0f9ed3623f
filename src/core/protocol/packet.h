#pragma once
// The wire format of the device protocol: one UDP datagram is an 18-byte
// clear header ("SWP12345", version 2, sender MAC, command, big-endian
// payload length) followed by a payload of type-length-value elements (or,
// for the site-survey answer, fixed 49-byte records). This unit holds the
// pure parts of the codec: a bounds-checked reader and writer, the header
// builder, TLV append and walk for requests and answers, the acceptance
// checks of a received datagram, the survey record encoder and decoder and
// the packet dump for the log.
// Nothing here touches a socket or a timer, so every rule is tested byte
// for byte.

#include "app/macaddress.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

struct SurveyEntry;

namespace Protocol {

inline constexpr MacAddress kBroadcastMac{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

inline constexpr size_t kHeaderSize = 18;
inline constexpr size_t kRequestBufferSize = 1024;
inline constexpr size_t kReceiveBufferSize = 65536;
inline constexpr size_t kMaxPayload = kRequestBufferSize - kHeaderSize;
inline constexpr size_t kSurveyRecordSize = 49;
inline constexpr uint16_t kDevicePort = 5432;
inline constexpr uint16_t kWizardPort = 5433;
inline constexpr uint8_t kVersion = 2;
inline constexpr std::string_view kMagic{"SWP12345"};

// Header field offsets.
inline constexpr size_t kOffVersion = 8;
inline constexpr size_t kOffMac = 9;
inline constexpr size_t kOffCommand = 15;
inline constexpr size_t kOffLength = 16;

// Command codes (byte 15); a request and its answer share the code.
enum Command : uint8_t {
    CMD_DISCOVER = 0,
    CMD_LOGIN = 1,
    CMD_LOGOUT = 2,
    CMD_GET_CONFIG = 3,
    CMD_SET_CONFIG = 4,
    CMD_EVENT = 6,
    CMD_SITE_SURVEY = 7,
    CMD_STATION_GET_CONFIG = 8,
    CMD_STATION_SET_CONFIG = 9,
    CMD_UNSET = 10, // written by BuildHeader; every request overwrites it
};

// TLV types.
enum TlvType : uint8_t {
    DEVICE_MODE = 0x00,
    DEV_NAME = 0x01,
    DEV_MAC = 0x02,
    IP_MODE = 0x30,
    LAN_IP = 0x31,
    LAN_NETMASK = 0x32,
    LAN_GATEWAY = 0x33,
    WL_SSID = 0x50,
    WL_CH_LIST = 0x51,
    WL_EXT_CH = 0x52,
    WL_STD_CH = 0x53,
    WL_MODE = 0x54,
    WL_STATION = 0x59,
    WL_SECURITY_MODE = 0x60,
    WL_AUTH_MODE = 0x61,
    WL_WEPKEY_LEN = 0x62,
    WL_WEPKEY = 0x63,
    WL_WEPKEY_INDEX = 0x67,
    WL_WPA_MODE = 0x68,
    WL_WPA_CIPHER = 0x69,
    WL_WPA_PSK = 0x6A,
    WL_WPS_PBC = 0x6B,
    WL_WPS_PIN = 0x6C,
    TLVTYPE_OTHER_AUTH = 0x90,
    TLVTYPE_OTHER_RESULT = 0x91,
    TLVTYPE_OTHER_PORT = 0x92,
    TLVTYPE_OTHER_GET_ALL = 0x93,
    TLVTYPE_OTHER_CONNECTTIMEOUT = 0x95,
    TLVTYPE_OTHER_WPS_STATUS = 0x96,
};

// Reads big-endian fields from a byte range. Every read checks the
// remaining length first; a failed read leaves the position unchanged,
// returns false and latches ok() to false.
class ByteReader
{
public:
    ByteReader(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}

    bool ReadU8(uint8_t &value);
    bool ReadU16(uint16_t &value);
    bool ReadU32(uint32_t &value);
    bool ReadBytes(uint8_t *out, size_t count);
    bool Skip(size_t count);

    size_t Position() const { return m_pos; }
    size_t Remaining() const { return m_size - m_pos; }
    const uint8_t *Current() const { return m_data + m_pos; }
    bool ok() const { return m_ok; }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
    bool m_ok = true;
};

// Writes big-endian fields into a fixed buffer. Every write checks the room
// left first; a write that does not fit writes nothing, returns false and
// latches ok() to false.
class ByteWriter
{
public:
    ByteWriter(uint8_t *data, size_t capacity) : m_data(data), m_capacity(capacity) {}

    bool WriteU8(uint8_t value);
    bool WriteU16(uint16_t value);
    bool WriteU32(uint32_t value);
    bool WriteBytes(const uint8_t *bytes, size_t count);

    size_t Position() const { return m_pos; }
    size_t Room() const { return m_capacity - m_pos; }
    bool ok() const { return m_ok; }

private:
    uint8_t *m_data;
    size_t m_capacity;
    size_t m_pos = 0;
    bool m_ok = true;
};

// Writes the magic, version 2, `mac`, command CMD_UNSET and length 0 into
// the first 18 bytes of `packet` (which must hold at least 18 bytes).
void BuildHeader(uint8_t *packet, const MacAddress &mac);

// A datagram under construction: the header is built at creation, TLVs
// (or fixed records) are appended from offset 18, Finish() sets the command
// and the payload length. The datagram never grows past `capacity` bytes:
// an element that would not fit is dropped whole and logged under `kind`;
// ok() then reports false.
class PacketBuilder
{
public:
    PacketBuilder(const MacAddress &mac, size_t capacity, const char *kind);

    bool AppendTlv(uint8_t type, const uint8_t *value, size_t length);
    bool AppendU8(uint8_t type, uint8_t value);
    bool AppendU16(uint8_t type, uint16_t value);
    bool AppendU32(uint8_t type, uint32_t value);
    // Text without terminator; the length byte holds the character count.
    // Text longer than 255 bytes is cut to 255 so that length byte and
    // value always agree.
    bool AppendText(uint8_t type, std::string_view text);
    // Bytes without type and length (the survey's fixed records).
    bool AppendRaw(const uint8_t *bytes, size_t count);

    // Sets the command byte and writes the payload length (big-endian).
    void Finish(uint8_t command);

    uint8_t *Data() { return m_buffer.data(); }
    const uint8_t *Data() const { return m_buffer.data(); }
    size_t Size() const { return kHeaderSize + m_payloadLength; }
    size_t PayloadLength() const { return m_payloadLength; }
    bool ok() const { return m_ok; }

private:
    bool Refuse();

    std::vector<uint8_t> m_buffer;
    size_t m_capacity;
    const char *m_kind;
    size_t m_payloadLength = 0;
    bool m_ok = true;
};

// One request: a datagram of at most 1024 bytes, as the engine's send
// buffer holds.
class Request : public PacketBuilder
{
public:
    explicit Request(const MacAddress &localMac) : PacketBuilder(localMac, kRequestBufferSize, "Request") {}
};

// One answer as a device sends it: at most as large as the wizard's
// receive buffer.
class Answer : public PacketBuilder
{
public:
    explicit Answer(const MacAddress &deviceMac) : PacketBuilder(deviceMac, kReceiveBufferSize, "Answer") {}
};

// One element seen by a TLV walk; `value` points into the walked payload.
struct Tlv
{
    uint8_t type = 0;
    uint8_t length = 0;
    const uint8_t *value = nullptr;
};

// Walks a TLV payload of `length` bytes: while at least two bytes remain,
// an element whose value runs past the end logs "  not enough bytes in
// buffer" and ends the walk; trailing single bytes are ignored.
class TlvWalker
{
public:
    TlvWalker(const uint8_t *payload, size_t length) : m_payload(payload), m_length(length) {}

    // The next complete element, or false when the walk has ended.
    bool Next(Tlv &element);

    // Complete elements handed out so far.
    int Count() const { return m_count; }
    // The walk ended on an element that ran past the payload end.
    bool Truncated() const { return m_truncated; }

private:
    const uint8_t *m_payload;
    size_t m_length;
    size_t m_offset = 0;
    int m_count = 0;
    bool m_truncated = false;
};

// Fixed-width values of an element. A value shorter than its width is
// refused (false, with one log line naming the type); bytes past the width
// are ignored. Integers are big-endian.
bool TlvU8(const Tlv &element, uint8_t &value);
bool TlvU16(const Tlv &element, uint16_t &value);
bool TlvU32(const Tlv &element, uint32_t &value);

// Copies a text value into `dest` (room for `capacity` bytes including the
// terminator), cutting it to capacity - 1 characters, and adds a zero.
void TlvText(const Tlv &element, char *dest, size_t capacity);

// What the acceptance checks need to know about the engine.
struct AcceptFacts
{
    std::vector<MacAddress> adapterMacs; // MAC of every open local socket
    MacAddress localMac{};
    MacAddress peerFilter = kBroadcastMac;
};

enum class Acceptance {
    Accepted,
    FailLength,
    FailMagic,
    FailVersion,
    FailRequest,
    FailDestination,
    FailTotalLength,
};

// Runs the header checks of a received datagram in their fixed order; the
// first failing check writes its one "TFormUDP::ProcRecvData() FAIL ..."
// line. Nothing else is logged and nothing is changed.
Acceptance CheckDatagram(const uint8_t *data, size_t size, const AcceptFacts &facts);

// Header fields of a datagram that passed CheckDatagram.
MacAddress HeaderMac(const uint8_t *data);
uint8_t HeaderCommand(const uint8_t *data);
uint16_t HeaderLength(const uint8_t *data);

// The C library's decimal conversion of a short text: leading blanks
// skipped, optional sign, digits up to the first non-digit, 0 without any.
int DecimalText(const char *text);

// One survey record's fields as a device sends them: the texts go as they
// are, cut to their widths (32, 3, 3) and padded with zeros.
struct SurveyRecordFields
{
    bool flag = true;
    std::string_view ssid;
    MacAddress bssid{};
    std::string_view signal;
    std::string_view channel;
    uint8_t encryption = 0;
    uint8_t authentication = 0;
    uint8_t status = 0;
    bool wps = false;
};

// Encodes one 49-byte survey record into `record`.
void EncodeSurveyRecord(const SurveyRecordFields &fields, uint8_t *record);

// Decodes one 49-byte survey record.
void DecodeSurveyRecord(const uint8_t *record, SurveyEntry &entry);

// Decodes every whole 49-byte record of a site-survey payload, in order;
// fewer than 49 remaining bytes are ignored.
std::vector<SurveyEntry> DecodeSurvey(const uint8_t *payload, size_t length);

// Packet dump: "[Tx] size=%d" for a sent packet, then the bytes as "%02X ",
// 16 a line, the last partial line included.
void LogPacket(const uint8_t *data, size_t size);
// Received form: "[Rx] %s:%d size=%d" with the sender's address and port.
void LogPacket(const char *senderAddress, uint16_t senderPort, const uint8_t *data, size_t size);

} // namespace Protocol
