// The wire format: header, TLV append and walk, acceptance checks with
// their log lines, the survey records and the packet dump.
#include "app/records.h"
#include "core/logcapture.h"
#include "protocol/packet.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace Protocol;

namespace {

using Bytes = std::vector<uint8_t>;

const MacAddress kLocalMac{0x02, 0x11, 0x22, 0x33, 0x44, 0x55};
const MacAddress kAdapterA{0x00, 0x0C, 0x29, 0xAA, 0x00, 0x01};
const MacAddress kAdapterB{0x00, 0x0C, 0x29, 0xAA, 0x00, 0x02};
const MacAddress kDevice{0x00, 0x1D, 0x73, 0x01, 0x02, 0x03};
const MacAddress kOtherDevice{0x00, 0x1D, 0x73, 0x09, 0x09, 0x09};

Bytes Header(const MacAddress &mac, uint8_t command, uint16_t length, uint8_t version = 2)
{
    Bytes bytes = {'S', 'W', 'P', '1', '2', '3', '4', '5', version};
    bytes.insert(bytes.end(), mac.begin(), mac.end());
    bytes.push_back(command);
    bytes.push_back(uint8_t(length >> 8));
    bytes.push_back(uint8_t(length));
    return bytes;
}

Bytes Datagram(const MacAddress &mac, uint8_t command, const Bytes &payload)
{
    Bytes bytes = Header(mac, command, uint16_t(payload.size()));
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    return bytes;
}

} // namespace

TEST(Packet, BuildHeaderWritesMagicVersionMacAndUnsetCommand)
{
    uint8_t packet[kHeaderSize + 2];
    std::memset(packet, 0xEE, sizeof packet);
    BuildHeader(packet, kLocalMac);
    const Bytes expected = {
        0x53, 0x57, 0x50, 0x31, 0x32, 0x33, 0x34, 0x35, // "SWP12345"
        0x02,                                           // version
        0x02, 0x11, 0x22, 0x33, 0x44, 0x55,             // sender MAC
        0x0A,                                           // command 10: not yet set
        0x00, 0x00,                                     // payload length
        0xEE, 0xEE,                                     // untouched
    };
    EXPECT_EQ(Bytes(packet, packet + sizeof packet), expected);
}

TEST(Packet, RequestAppendsTlvsAndFinishesLength)
{
    Request request(kLocalMac);
    request.AppendU8(0x30, 0x00);
    request.AppendU16(0x92, 0x1770);
    request.AppendU32(0x31, 0xC0A80A64);
    request.AppendText(0x50, "ab");
    request.AppendTlv(0x6B, nullptr, 0);
    request.Finish(CMD_SET_CONFIG);
    const Bytes payload = {
        0x30, 0x01, 0x00,                   // 1-byte value
        0x92, 0x02, 0x17, 0x70,             // 2-byte big-endian
        0x31, 0x04, 0xC0, 0xA8, 0x0A, 0x64, // 4-byte big-endian
        0x50, 0x02, 'a',  'b',              // text without terminator
        0x6B, 0x00,                         // empty value
    };
    EXPECT_TRUE(request.ok());
    EXPECT_EQ(Bytes(request.Data(), request.Data() + request.Size()),
              Datagram(kLocalMac, CMD_SET_CONFIG, payload));
}

// The request buffer is 1024 bytes: an element that would run past it is
// dropped whole, logged, and the request says so.
TEST(Packet, RequestRefusesAnElementThatDoesNotFit)
{
    LogCapture log;
    Request request(kLocalMac);
    const std::string text(255, 'x');
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(request.AppendText(0x50, text)); // 3 * 257 = 771 bytes
    EXPECT_FALSE(request.AppendText(0x50, text));    // 1028 > 1006
    EXPECT_FALSE(request.ok());
    EXPECT_EQ(request.PayloadLength(), 771u);
    EXPECT_TRUE(request.AppendText(0x50, std::string(233, 'y'))); // exactly to the end
    EXPECT_EQ(request.Size(), kRequestBufferSize);
    EXPECT_EQ(log.Lines().size(), 1u);
    // A text longer than 255 characters is cut so that the length byte and
    // the value agree.
    Request longText(kLocalMac);
    longText.AppendText(0x50, std::string(300, 'z'));
    EXPECT_EQ(longText.PayloadLength(), 257u);
    EXPECT_EQ(longText.Data()[kHeaderSize + 1], 255);
}

TEST(Packet, TlvWalk)
{
    struct Case
    {
        const char *name;
        Bytes payload;
        std::vector<std::pair<uint8_t, Bytes>> elements;
        bool truncated;
    };
    const Case cases[] = {
        {"empty payload", {}, {}, false},
        {"one byte", {0x91}, {}, false},
        {"zero-length element, then a single byte", {0x6B, 0x00, 0x91}, {{0x6B, {}}}, false},
        {"two elements",
         {0x91, 0x01, 0x01, 0x92, 0x02, 0x17, 0x70},
         {{0x91, {0x01}}, {0x92, {0x17, 0x70}}},
         false},
        {"last element runs past the end", {0x91, 0x01, 0x01, 0x50, 0x05, 'a', 'b'}, {{0x91, {0x01}}}, true},
        {"first element runs past the end", {0x50, 0x01}, {}, true},
    };
    for (const Case &c : cases) {
        LogCapture log;
        TlvWalker walker(c.payload.data(), c.payload.size());
        std::vector<std::pair<uint8_t, Bytes>> seen;
        Tlv element;
        while (walker.Next(element))
            seen.push_back({element.type, Bytes(element.value, element.value + element.length)});
        EXPECT_EQ(seen, c.elements) << c.name;
        EXPECT_EQ(walker.Truncated(), c.truncated) << c.name;
        EXPECT_EQ(walker.Count(), int(c.elements.size())) << c.name;
        const std::vector<std::string> expectedLog =
            c.truncated ? std::vector<std::string>{"  not enough bytes in buffer"}
                        : std::vector<std::string>{};
        EXPECT_EQ(log.Lines(), expectedLog) << c.name;
    }
}

TEST(Packet, FixedWidthValues)
{
    const Bytes value = {0x12, 0x34, 0x56, 0x78, 0x9A};
    uint8_t u8 = 0;
    uint16_t u16 = 0;
    uint32_t u32 = 0;
    Tlv wide{0x31, 5, value.data()};
    EXPECT_TRUE(TlvU32(wide, u32));
    EXPECT_EQ(u32, 0x12345678u); // bytes past the width ignored
    EXPECT_TRUE(TlvU16(wide, u16));
    EXPECT_EQ(u16, 0x1234);

    LogCapture log;
    Tlv narrow{0x31, 3, value.data()};
    EXPECT_FALSE(TlvU32(narrow, u32));
    EXPECT_EQ(u32, 0x12345678u); // untouched
    Tlv empty{0x60, 0, value.data()};
    EXPECT_FALSE(TlvU8(empty, u8));
    EXPECT_EQ(log.Lines().size(), 2u);

    char text[4];
    Tlv name{0x01, 5, reinterpret_cast<const uint8_t *>("abcde")};
    TlvText(name, text, sizeof text);
    EXPECT_STREQ(text, "abc");
}

TEST(Packet, AcceptanceChecks)
{
    AcceptFacts open;
    open.adapterMacs = {kAdapterA, kAdapterB};
    open.localMac = kLocalMac;
    AcceptFacts locked = open;
    locked.peerFilter = kDevice;

    Bytes badMagic = Datagram(kDevice, CMD_LOGIN, {});
    badMagic[3] = 'X';
    Bytes shortOne = Datagram(kDevice, CMD_DISCOVER, {});
    shortOne.pop_back();
    Bytes longPayload = Header(kDevice, CMD_GET_CONFIG, 10);
    longPayload.resize(longPayload.size() + 12, 0);

    struct Case
    {
        const char *name;
        Bytes datagram;
        const AcceptFacts &facts;
        Acceptance result;
        const char *line; // nullptr: accepted, nothing logged
    };
    const Case cases[] = {
        {"17 bytes", shortOne, open, Acceptance::FailLength, "TFormUDP::ProcRecvData() FAIL length"},
        {"magic", badMagic, open, Acceptance::FailMagic, "TFormUDP::ProcRecvData() FAIL magic word"},
        {"version 3", Header(kDevice, 0, 0, 3), open, Acceptance::FailVersion,
         "TFormUDP::ProcRecvData() FAIL version"},
        {"own broadcast on the second adapter", Datagram(kAdapterB, CMD_DISCOVER, {}), open,
         Acceptance::FailRequest, "TFormUDP::ProcRecvData() FAIL received a request"},
        {"own local MAC", Datagram(kLocalMac, CMD_DISCOVER, {}), open, Acceptance::FailRequest,
         "TFormUDP::ProcRecvData() FAIL received a request"},
        {"another device while logged in", Datagram(kOtherDevice, CMD_DISCOVER, {0x01, 0x01, 'B'}), locked,
         Acceptance::FailDestination, "TFormUDP::ProcRecvData() FAIL destination address doesn't match"},
        {"length 10 with 12 payload bytes", longPayload, open, Acceptance::FailTotalLength,
         "TFormUDP::ProcRecvData() FAIL total length"},
        {"length beyond the datagram", Header(kDevice, CMD_GET_CONFIG, 1), open, Acceptance::FailTotalLength,
         "TFormUDP::ProcRecvData() FAIL total length"},
        {"18 bytes, length 0", Datagram(kDevice, CMD_LOGOUT, {}), open, Acceptance::Accepted, nullptr},
        {"logged-in device", Datagram(kDevice, CMD_EVENT, {0x95, 0x00}), locked, Acceptance::Accepted,
         nullptr},
        {"any device before login", Datagram(kOtherDevice, CMD_DISCOVER, {}), open, Acceptance::Accepted,
         nullptr},
    };
    for (const Case &c : cases) {
        LogCapture log;
        EXPECT_EQ(CheckDatagram(c.datagram.data(), c.datagram.size(), c.facts), c.result) << c.name;
        const std::vector<std::string> expected =
            c.line ? std::vector<std::string>{c.line} : std::vector<std::string>{};
        EXPECT_EQ(log.Lines(), expected) << c.name;
    }
}

TEST(Packet, HeaderFields)
{
    const Bytes datagram = Datagram(kDevice, CMD_STATION_GET_CONFIG, Bytes(300, 0));
    EXPECT_EQ(HeaderMac(datagram.data()), kDevice);
    EXPECT_EQ(HeaderCommand(datagram.data()), CMD_STATION_GET_CONFIG);
    EXPECT_EQ(HeaderLength(datagram.data()), 300);
}

TEST(Packet, DecimalTextFollowsTheCLibraryRules)
{
    const std::pair<const char *, int> cases[] = {
        {"85", 85}, {"100", 100}, {"   ", 0}, {"", 0},    {" 7", 7}, {"-3", -3},
        {"+4", 4},  {"12a", 12},  {"a12", 0}, {"\t9", 9}, {"0", 0},  {"- 1", 0},
    };
    for (const auto &[text, value] : cases)
        EXPECT_EQ(DecimalText(text), value) << '"' << text << '"';
}

namespace {

Bytes SurveyRecord(uint8_t flag, const std::string &ssid, const char *signal, const char *channel,
                   uint8_t enc, uint8_t auth, uint8_t status, uint8_t wps)
{
    Bytes record(kSurveyRecordSize, 0);
    record[0] = flag;
    std::memcpy(&record[1], ssid.data(), std::min<size_t>(ssid.size(), 32));
    const uint8_t bssid[6] = {0x00, 0x1D, 0x73, 0xAB, 0xCD, 0xEF};
    std::memcpy(&record[33], bssid, 6);
    std::memcpy(&record[39], signal, 3);
    std::memcpy(&record[42], channel, 3);
    record[45] = enc;
    record[46] = auth;
    record[47] = status;
    record[48] = wps;
    return record;
}

} // namespace

TEST(Packet, SurveyRecordDecode)
{
    const std::string full(32, 'N');
    Bytes payload = SurveyRecord(1, "home", "85\0", "11\0", 3, 2, 7, 1);
    const Bytes second = SurveyRecord(0, full, "   ", "6  ", 0, 0, 0, 0);
    payload.insert(payload.end(), second.begin(), second.end());

    const std::vector<SurveyEntry> entries = DecodeSurvey(payload.data(), payload.size());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_TRUE(entries[0].Flag);
    EXPECT_STREQ(entries[0].Ssid, "home");
    EXPECT_EQ(entries[0].Bssid, (MacAddress{0x00, 0x1D, 0x73, 0xAB, 0xCD, 0xEF}));
    EXPECT_EQ(entries[0].Signal, 85);
    EXPECT_EQ(entries[0].Channel, 11);
    EXPECT_EQ(entries[0].Encryption, 3);
    EXPECT_EQ(entries[0].Authentication, 2);
    EXPECT_EQ(entries[0].Status, 7);
    EXPECT_TRUE(entries[0].Wps);

    EXPECT_FALSE(entries[1].Flag);
    EXPECT_EQ(std::string(entries[1].Ssid), full); // 32 characters, still terminated
    EXPECT_EQ(entries[1].Signal, 0);               // three blanks
    EXPECT_EQ(entries[1].Channel, 6);
    EXPECT_FALSE(entries[1].Wps);
}

TEST(Packet, SurveyCountsWholeRecordsOnly)
{
    const Bytes payload(2 * kSurveyRecordSize + 5, 0x20);
    const std::pair<size_t, size_t> cases[] = {{0, 0}, {48, 0}, {49, 1}, {97, 1}, {98, 2}, {103, 2}};
    for (const auto &[length, count] : cases)
        EXPECT_EQ(DecodeSurvey(payload.data(), length).size(), count) << length << " bytes";
}

TEST(Packet, LogPacketDumpsSixteenBytesALine)
{
    Bytes datagram = Datagram(kDevice, CMD_LOGIN, {0x91, 0x01, 0x01});
    {
        LogCapture log;
        LogPacket(datagram.data(), datagram.size());
        const std::vector<std::string> expected = {
            "[Tx] size=21",
            "53 57 50 31 32 33 34 35 02 00 1D 73 01 02 03 01 ",
            "00 03 91 01 01 ",
        };
        EXPECT_EQ(log.Lines(), expected);
    }
    {
        LogCapture log;
        LogPacket("10.77.0.2", 5432, datagram.data(), 16);
        const std::vector<std::string> expected = {
            "[Rx] 10.77.0.2:5432 size=16",
            "53 57 50 31 32 33 34 35 02 00 1D 73 01 02 03 01 ",
        };
        EXPECT_EQ(log.Lines(), expected);
    }
}
