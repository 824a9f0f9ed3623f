#include "protocol/packet.h"

#include "app/debug.h"
#include "app/records.h"

#include <algorithm>
#include <cstring>

namespace Protocol {

bool ByteReader::ReadU8(uint8_t &value)
{
    if (Remaining() < 1) {
        m_ok = false;
        return false;
    }
    value = m_data[m_pos++];
    return true;
}

bool ByteReader::ReadU16(uint16_t &value)
{
    if (Remaining() < 2) {
        m_ok = false;
        return false;
    }
    value = static_cast<uint16_t>((m_data[m_pos] << 8) | m_data[m_pos + 1]);
    m_pos += 2;
    return true;
}

bool ByteReader::ReadU32(uint32_t &value)
{
    if (Remaining() < 4) {
        m_ok = false;
        return false;
    }
    value = (uint32_t(m_data[m_pos]) << 24) | (uint32_t(m_data[m_pos + 1]) << 16) |
            (uint32_t(m_data[m_pos + 2]) << 8) | uint32_t(m_data[m_pos + 3]);
    m_pos += 4;
    return true;
}

bool ByteReader::ReadBytes(uint8_t *out, size_t count)
{
    if (Remaining() < count) {
        m_ok = false;
        return false;
    }
    if (count > 0)
        std::memcpy(out, m_data + m_pos, count);
    m_pos += count;
    return true;
}

bool ByteReader::Skip(size_t count)
{
    if (Remaining() < count) {
        m_ok = false;
        return false;
    }
    m_pos += count;
    return true;
}

bool ByteWriter::WriteU8(uint8_t value)
{
    if (Room() < 1) {
        m_ok = false;
        return false;
    }
    m_data[m_pos++] = value;
    return true;
}

bool ByteWriter::WriteU16(uint16_t value)
{
    if (Room() < 2) {
        m_ok = false;
        return false;
    }
    m_data[m_pos] = uint8_t(value >> 8);
    m_data[m_pos + 1] = uint8_t(value);
    m_pos += 2;
    return true;
}

bool ByteWriter::WriteU32(uint32_t value)
{
    if (Room() < 4) {
        m_ok = false;
        return false;
    }
    for (int i = 0; i < 4; ++i)
        m_data[m_pos + i] = uint8_t(value >> (24 - 8 * i));
    m_pos += 4;
    return true;
}

bool ByteWriter::WriteBytes(const uint8_t *bytes, size_t count)
{
    if (Room() < count) {
        m_ok = false;
        return false;
    }
    if (count > 0)
        std::memcpy(m_data + m_pos, bytes, count);
    m_pos += count;
    return true;
}

void BuildHeader(uint8_t *packet, const MacAddress &mac)
{
    ByteWriter writer(packet, kHeaderSize);
    writer.WriteBytes(reinterpret_cast<const uint8_t *>(kMagic.data()), kMagic.size());
    writer.WriteU8(kVersion);
    writer.WriteBytes(mac.data(), mac.size());
    writer.WriteU8(CMD_UNSET);
    writer.WriteU16(0);
}

PacketBuilder::PacketBuilder(const MacAddress &mac, size_t capacity, const char *kind)
    : m_buffer(kHeaderSize), m_capacity(capacity), m_kind(kind)
{
    BuildHeader(m_buffer.data(), mac);
}

bool PacketBuilder::Refuse()
{
    m_ok = false;
    return false;
}

bool PacketBuilder::AppendTlv(uint8_t type, const uint8_t *value, size_t length)
{
    if (length > 255 || m_capacity - Size() < length + 2) {
        DebugPrint("%s::AppendTlv() FAIL TLV=0x%X length %zu does not fit", m_kind, type, length);
        return Refuse();
    }
    m_buffer.resize(Size() + length + 2);
    ByteWriter writer(m_buffer.data() + Size(), length + 2);
    writer.WriteU8(type);
    writer.WriteU8(uint8_t(length));
    writer.WriteBytes(value, length);
    m_payloadLength += writer.Position();
    return true;
}

bool PacketBuilder::AppendU8(uint8_t type, uint8_t value)
{
    return AppendTlv(type, &value, 1);
}

bool PacketBuilder::AppendU16(uint8_t type, uint16_t value)
{
    const uint8_t bytes[2] = {uint8_t(value >> 8), uint8_t(value)};
    return AppendTlv(type, bytes, sizeof bytes);
}

bool PacketBuilder::AppendU32(uint8_t type, uint32_t value)
{
    const uint8_t bytes[4] = {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8),
                              uint8_t(value)};
    return AppendTlv(type, bytes, sizeof bytes);
}

bool PacketBuilder::AppendText(uint8_t type, std::string_view text)
{
    const size_t length = std::min<size_t>(text.size(), 255);
    return AppendTlv(type, reinterpret_cast<const uint8_t *>(text.data()), length);
}

bool PacketBuilder::AppendRaw(const uint8_t *bytes, size_t count)
{
    if (m_capacity - Size() < count) {
        DebugPrint("%s::AppendRaw() FAIL %zu bytes do not fit", m_kind, count);
        return Refuse();
    }
    m_buffer.insert(m_buffer.end(), bytes, bytes + count);
    m_payloadLength += count;
    return true;
}

void PacketBuilder::Finish(uint8_t command)
{
    ByteWriter writer(m_buffer.data() + kOffCommand, 3);
    writer.WriteU8(command);
    writer.WriteU16(uint16_t(m_payloadLength));
}

bool TlvWalker::Next(Tlv &element)
{
    if (m_truncated || m_length - m_offset < 2)
        return false;
    ByteReader reader(m_payload + m_offset, m_length - m_offset);
    uint8_t type = 0;
    uint8_t length = 0;
    reader.ReadU8(type);
    reader.ReadU8(length);
    if (reader.Remaining() < length) {
        DebugPrint("  not enough bytes in buffer");
        m_truncated = true;
        return false;
    }
    element.type = type;
    element.length = length;
    element.value = reader.Current();
    m_offset += size_t(length) + 2;
    ++m_count;
    return true;
}

namespace {

bool WideEnough(const Tlv &element, size_t width)
{
    if (element.length >= width)
        return true;
    DebugPrint("  TLV=0x%X FAIL length %d, %zu expected", element.type, element.length, width);
    return false;
}

} // namespace

bool TlvU8(const Tlv &element, uint8_t &value)
{
    if (!WideEnough(element, 1))
        return false;
    return ByteReader(element.value, element.length).ReadU8(value);
}

bool TlvU16(const Tlv &element, uint16_t &value)
{
    if (!WideEnough(element, 2))
        return false;
    return ByteReader(element.value, element.length).ReadU16(value);
}

bool TlvU32(const Tlv &element, uint32_t &value)
{
    if (!WideEnough(element, 4))
        return false;
    return ByteReader(element.value, element.length).ReadU32(value);
}

void TlvText(const Tlv &element, char *dest, size_t capacity)
{
    if (capacity == 0)
        return;
    const size_t count = std::min<size_t>(element.length, capacity - 1);
    if (count > 0)
        std::memcpy(dest, element.value, count);
    dest[count] = '\0';
}

Acceptance CheckDatagram(const uint8_t *data, size_t size, const AcceptFacts &facts)
{
    if (size < kHeaderSize) {
        DebugPrint("TFormUDP::ProcRecvData() FAIL length");
        return Acceptance::FailLength;
    }
    if (std::memcmp(data, kMagic.data(), kMagic.size()) != 0) {
        DebugPrint("TFormUDP::ProcRecvData() FAIL magic word");
        return Acceptance::FailMagic;
    }
    if (data[kOffVersion] != kVersion) {
        DebugPrint("TFormUDP::ProcRecvData() FAIL version");
        return Acceptance::FailVersion;
    }
    const MacAddress mac = HeaderMac(data);
    // Our own broadcast comes back on every adapter that shares the segment.
    if (std::find(facts.adapterMacs.begin(), facts.adapterMacs.end(), mac) != facts.adapterMacs.end() ||
        mac == facts.localMac) {
        DebugPrint("TFormUDP::ProcRecvData() FAIL received a request");
        return Acceptance::FailRequest;
    }
    if (facts.peerFilter != kBroadcastMac && mac != facts.peerFilter) {
        DebugPrint("TFormUDP::ProcRecvData() FAIL destination address doesn't match");
        return Acceptance::FailDestination;
    }
    if (kHeaderSize + HeaderLength(data) != size) {
        DebugPrint("TFormUDP::ProcRecvData() FAIL total length");
        return Acceptance::FailTotalLength;
    }
    return Acceptance::Accepted;
}

MacAddress HeaderMac(const uint8_t *data)
{
    MacAddress mac;
    std::memcpy(mac.data(), data + kOffMac, mac.size());
    return mac;
}

uint8_t HeaderCommand(const uint8_t *data)
{
    return data[kOffCommand];
}

uint16_t HeaderLength(const uint8_t *data)
{
    return static_cast<uint16_t>((data[kOffLength] << 8) | data[kOffLength + 1]);
}

int DecimalText(const char *text)
{
    const char *p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = (*p++ == '-');
    long value = 0;
    // Survey fields hold at most three digits; the bound only keeps a longer
    // text from overflowing.
    while (*p >= '0' && *p <= '9' && value < 100000000L)
        value = value * 10 + (*p++ - '0');
    return int(negative ? -value : value);
}

namespace {

void WriteField(ByteWriter &writer, std::string_view text, size_t width)
{
    const size_t count = std::min(text.size(), width);
    writer.WriteBytes(reinterpret_cast<const uint8_t *>(text.data()), count);
    for (size_t i = count; i < width; ++i)
        writer.WriteU8(0);
}

} // namespace

void EncodeSurveyRecord(const SurveyRecordFields &fields, uint8_t *record)
{
    ByteWriter writer(record, kSurveyRecordSize);
    writer.WriteU8(fields.flag ? 1 : 0);
    WriteField(writer, fields.ssid, 32);
    writer.WriteBytes(fields.bssid.data(), fields.bssid.size());
    WriteField(writer, fields.signal, 3);
    WriteField(writer, fields.channel, 3);
    writer.WriteU8(fields.encryption);
    writer.WriteU8(fields.authentication);
    writer.WriteU8(fields.status);
    writer.WriteU8(fields.wps ? 1 : 0);
}

void DecodeSurveyRecord(const uint8_t *record, SurveyEntry &entry)
{
    ByteReader reader(record, kSurveyRecordSize);
    uint8_t byte = 0;
    reader.ReadU8(byte);
    entry.Flag = byte != 0;
    // 32 SSID bytes into a 33-byte zeroed field: a full-width name keeps
    // all 32 characters and still ends in a zero.
    std::memset(entry.Ssid, 0, sizeof entry.Ssid);
    reader.ReadBytes(reinterpret_cast<uint8_t *>(entry.Ssid), 32);
    reader.ReadBytes(entry.Bssid.data(), entry.Bssid.size());
    char number[4] = {};
    reader.ReadBytes(reinterpret_cast<uint8_t *>(number), 3);
    entry.Signal = DecimalText(number);
    std::memset(number, 0, sizeof number);
    reader.ReadBytes(reinterpret_cast<uint8_t *>(number), 3);
    entry.Channel = DecimalText(number);
    reader.ReadU8(entry.Encryption);
    reader.ReadU8(entry.Authentication);
    reader.ReadU8(entry.Status);
    reader.ReadU8(byte);
    entry.Wps = byte != 0;
}

std::vector<SurveyEntry> DecodeSurvey(const uint8_t *payload, size_t length)
{
    std::vector<SurveyEntry> entries;
    for (size_t offset = 0; length - offset >= kSurveyRecordSize; offset += kSurveyRecordSize) {
        SurveyEntry entry;
        DecodeSurveyRecord(payload + offset, entry);
        entries.push_back(entry);
    }
    return entries;
}

namespace {

void LogPacketBytes(const uint8_t *data, size_t size)
{
    static const char kHex[] = "0123456789ABCDEF";
    char line[16 * 3 + 1];
    for (size_t start = 0; start < size; start += 16) {
        const size_t count = std::min<size_t>(16, size - start);
        for (size_t i = 0; i < count; ++i) {
            line[i * 3] = kHex[data[start + i] >> 4];
            line[i * 3 + 1] = kHex[data[start + i] & 0x0F];
            line[i * 3 + 2] = ' ';
        }
        line[count * 3] = '\0';
        DebugPrint("%s", line);
    }
}

} // namespace

void LogPacket(const uint8_t *data, size_t size)
{
    if (!DebugLogIsOn())
        return;
    DebugPrint("[Tx] size=%d", int(size));
    LogPacketBytes(data, size);
}

void LogPacket(const char *senderAddress, uint16_t senderPort, const uint8_t *data, size_t size)
{
    if (!DebugLogIsOn())
        return;
    DebugPrint("[Rx] %s:%d size=%d", senderAddress, int(senderPort), int(size));
    LogPacketBytes(data, size);
}

} // namespace Protocol
