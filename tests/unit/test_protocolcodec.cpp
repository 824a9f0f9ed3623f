// Request payloads byte for byte, answer decoding into the records, with
// the log lines each decoded field writes, and the answers a device builds.
#include "app/records.h"
#include "core/logcapture.h"
#include "protocol/protocolcodec.h"
#include "protocol/rc4encry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace Protocol;

namespace {

using Bytes = std::vector<uint8_t>;

const MacAddress kLocalMac{0x02, 0x11, 0x22, 0x33, 0x44, 0x55};
const MacAddress kDevice{0x00, 0x1D, 0x73, 0x01, 0x02, 0x03};

Bytes Header(uint8_t command, size_t length, const MacAddress &mac = kLocalMac)
{
    Bytes header = {'S', 'W', 'P', '1', '2', '3', '4', '5', 0x02}; // magic, version
    header.insert(header.end(), mac.begin(), mac.end());
    header.insert(header.end(), {command, uint8_t(length >> 8), uint8_t(length)});
    return header;
}

Bytes Whole(const PacketBuilder &request)
{
    return Bytes(request.Data(), request.Data() + request.Size());
}

Bytes Payload(const PacketBuilder &request)
{
    return Bytes(request.Data() + kHeaderSize, request.Data() + request.Size());
}

Bytes Text(const std::string &text)
{
    return {text.begin(), text.end()};
}

Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes &part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

WlConfigRecord Wireless(const char *ssid, int security)
{
    WlConfigRecord config;
    std::strcpy(config.Ssid, ssid);
    config.WirelessMode = WLMODE_BGN;
    config.SecurityMode = security;
    config.AuthMode = AUTHMODE_SHARED;
    config.WepKeyIndex = 3;
    std::strcpy(config.WepKey, "0123456789");
    config.WpaMode = WPAMODE_WPA2;
    config.WpaCipher = WPACIPHER_AES;
    std::strcpy(config.Passphrase, "passphrase");
    return config;
}

} // namespace

TEST(ProtocolCodec, EmptyRequests)
{
    struct Case
    {
        Request request;
        uint8_t command;
    };
    const Case cases[] = {
        {BuildDiscover(kLocalMac), CMD_DISCOVER},
        {BuildLogout(kLocalMac), CMD_LOGOUT},
        {BuildSiteSurvey(kLocalMac), CMD_SITE_SURVEY},
        {BuildStationGetConfig(kLocalMac), CMD_STATION_GET_CONFIG},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Whole(c.request), Header(c.command, 0)) << int(c.command);
}

TEST(ProtocolCodec, LoginRequestIs120Bytes)
{
    const Request request = BuildLogin(kLocalMac, kDevice);
    const Bytes expected = Cat({
        Header(CMD_LOGIN, 102),
        {0x02, 0x06, 0x00, 0x1D, 0x73, 0x01, 0x02, 0x03}, // DEV_MAC: the chosen device
        {0x90, 0x5C},                                     // TLVTYPE_OTHER_AUTH, 92 characters
        Text("QRZ-517MXB Setup is requesting entry. Passphrase block for the wizard handshake. Keep in ok."),
    });
    EXPECT_EQ(request.Size(), 120u);
    EXPECT_EQ(Whole(request), expected);
}

TEST(ProtocolCodec, ShortSetAndGetRequests)
{
    struct Case
    {
        const char *name;
        Request request;
        uint8_t command;
        Bytes payload;
    };
    const Case cases[] = {
        {"get-config", BuildGetConfig(kLocalMac), CMD_GET_CONFIG, {0x93, 0x01, 0x00}},
        {"get-mode", BuildGetMode(kLocalMac), CMD_GET_CONFIG, {0x00, 0x01, 0x00}},
        {"set-mode bridge", BuildSetMode(kLocalMac, DEVICE_WBRIDGE), CMD_SET_CONFIG, {0x00, 0x01, 0x02}},
        {"set-mode low byte", BuildSetMode(kLocalMac, 0x101), CMD_SET_CONFIG, {0x00, 0x01, 0x01}},
        {"WPS push button", BuildWpsPbc(kLocalMac), CMD_SET_CONFIG, {0x6B, 0x00}},
        {"WPS PIN, four digits", BuildWpsPinEnrollee(kLocalMac, 1234), CMD_SET_CONFIG,
         Cat({{0x6C, 0x08}, Text("00001234")})},
        {"WPS PIN, eight digits", BuildWpsPinEnrollee(kLocalMac, 12345670), CMD_SET_CONFIG,
         Cat({{0x6C, 0x08}, Text("12345670")})},
        {"WPS PIN, bridge form", BuildWpsPinSsid(kLocalMac, "upstream"), CMD_SET_CONFIG,
         Cat({{0x6C, 0x08}, Text("upstream")})},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Whole(c.request), Cat({Header(c.command, c.payload.size()), c.payload})) << c.name;
    EXPECT_EQ(BuildWpsPbc(kLocalMac).Size(), 20u);
    EXPECT_EQ(BuildWpsPinEnrollee(kLocalMac, 7).Size(), 28u);
}

TEST(ProtocolCodec, IpSetting)
{
    IpConfigRecord dhcp;
    dhcp.IpMode = IP_MODE_DHCP;
    dhcp.Ip = 0xC0A80A64; // ignored with DHCP
    const Request dynamic = BuildIpSetting(kLocalMac, dhcp);
    EXPECT_EQ(dynamic.Size(), 21u);
    EXPECT_EQ(Payload(dynamic), (Bytes{0x30, 0x01, 0x01}));

    IpConfigRecord fixed;
    fixed.IpMode = IP_MODE_STATIC;
    fixed.Ip = 0xC0A80A64;      // 192.168.10.100
    fixed.Netmask = 0xFFFFFF00; // 255.255.255.0
    fixed.Gateway = 0xC0A80A01; // 192.168.10.1
    fixed.Dns1 = 0x08080808;    // never sent
    const Bytes expected = {
        0x30, 0x01, 0x00,                   // IP_MODE static
        0x31, 0x04, 0xC0, 0xA8, 0x0A, 0x64, // LAN_IP
        0x32, 0x04, 0xFF, 0xFF, 0xFF, 0x00, // LAN_NETMASK
        0x33, 0x04, 0xC0, 0xA8, 0x0A, 0x01, // LAN_GATEWAY
    };
    const Request request = BuildIpSetting(kLocalMac, fixed);
    EXPECT_EQ(Whole(request), Cat({Header(CMD_SET_CONFIG, 21), expected}));
}

TEST(ProtocolCodec, WirelessSettings)
{
    WlConfigRecord automatic = Wireless("home", SECMODE_NONE);
    automatic.ExtChannel = 2; // not sent with automatic channel choice
    WlConfigRecord fixedChannel = Wireless("home", SECMODE_NONE);
    fixedChannel.StdChannel = 6;
    fixedChannel.ExtChannel = 2;

    const Bytes ssid = {0x50, 0x04, 'h', 'o', 'm', 'e'};
    const Bytes modeNone = {0x54, 0x01, 0x09, 0x60, 0x01, 0x00};
    const Bytes wep = Cat({{0x54, 0x01, 0x09, 0x60, 0x01, 0x01}, // WL_MODE, WL_SECURITY_MODE WEP
                           {0x61, 0x01, 0x01},                   // WL_AUTH_MODE shared
                           {0x63, 0x0A},
                           Text("0123456789"),   // WL_WEPKEY, 10 characters
                           {0x67, 0x01, 0x00}}); // WL_WEPKEY_INDEX 0, whatever the record holds
    const Bytes wpa = Cat({{0x54, 0x01, 0x09, 0x60, 0x01, 0x02}, // WL_SECURITY_MODE WPA
                           {0x68, 0x01, 0x01},                   // WL_WPA_MODE WPA2
                           {0x69, 0x01, 0x01},                   // WL_WPA_CIPHER AES
                           {0x6A, 0x0A},
                           Text("passphrase")});

    struct Case
    {
        const char *name;
        Request request;
        uint8_t command;
        Bytes payload;
    };
    const Case cases[] = {
        {"automatic channel, no security", BuildWlSetting(kLocalMac, automatic), CMD_SET_CONFIG,
         Cat({ssid, {0x53, 0x01, 0x00}, modeNone})},
        {"channel 6 with extension 2", BuildWlSetting(kLocalMac, fixedChannel), CMD_SET_CONFIG,
         Cat({ssid, {0x53, 0x01, 0x06, 0x52, 0x01, 0x02}, modeNone})},
        {"WEP", BuildWlSetting(kLocalMac, Wireless("home", SECMODE_WEP)), CMD_SET_CONFIG,
         Cat({ssid, {0x53, 0x01, 0x00}, wep})},
        {"WPA", BuildWlSetting(kLocalMac, Wireless("home", SECMODE_WPAPSK)), CMD_SET_CONFIG,
         Cat({ssid, {0x53, 0x01, 0x00}, wpa})},
        {"unknown security sends no block", BuildWlSetting(kLocalMac, Wireless("home", 7)), CMD_SET_CONFIG,
         Cat({ssid, {0x53, 0x01, 0x00, 0x54, 0x01, 0x09, 0x60, 0x01, 0x07}})},
        {"station, no security", BuildWlStationSetting(kLocalMac, fixedChannel), CMD_STATION_SET_CONFIG,
         Cat({ssid, {0x59, 0x01, 0x01}, modeNone})},
        {"station, WEP", BuildWlStationSetting(kLocalMac, Wireless("home", SECMODE_WEP)),
         CMD_STATION_SET_CONFIG, Cat({ssid, {0x59, 0x01, 0x01}, wep})},
        {"station, WPA", BuildWlStationSetting(kLocalMac, Wireless("home", SECMODE_WPAPSK)),
         CMD_STATION_SET_CONFIG, Cat({ssid, {0x59, 0x01, 0x01}, wpa})},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Whole(c.request), Cat({Header(c.command, c.payload.size()), c.payload})) << c.name;

    // An unterminated 33-byte SSID field: a name is at most 32 bytes, so
    // both requests send the first 32.
    WlConfigRecord wide = Wireless("", SECMODE_NONE);
    std::memset(wide.Ssid, 'S', sizeof wide.Ssid);
    for (const Request &request : {BuildWlSetting(kLocalMac, wide), BuildWlStationSetting(kLocalMac, wide)}) {
        const Bytes payload = Payload(request);
        ASSERT_GE(payload.size(), 35u);
        EXPECT_EQ(payload[0], 0x50);
        EXPECT_EQ(payload[1], 32);
        EXPECT_EQ(Bytes(payload.begin() + 2, payload.begin() + 34), Bytes(32, 'S'));
    }
}

TEST(ProtocolCodec, ResultAnswers)
{
    struct Case
    {
        const char *name;
        Bytes payload;
        bool readPort;
        int result;
        bool hasPort;
        uint16_t port;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"login with port",
         {0x91, 0x01, 0x01, 0x92, 0x02, 0x17, 0x70},
         true,
         1,
         true,
         6000,
         {"  Result=1", "  Port=6000"}},
        {"refused login", {0x91, 0x01, 0x00}, true, 0, false, 0, {"  Result=0"}},
        {"set answer ignores a port",
         {0x92, 0x02, 0x17, 0x70, 0x91, 0x01, 0x05},
         false,
         5,
         false,
         0,
         {"  Result=5"}},
        {"no result element", {0x01, 0x02, 'x', 'y'}, true, 0, false, 0, {}},
        {"empty payload", {}, false, 0, false, 0, {}},
        {"result before a broken element",
         {0x91, 0x01, 0x01, 0x92, 0x09, 0x00},
         true,
         1,
         false,
         0,
         {"  Result=1", "  not enough bytes in buffer"}},
    };
    for (const Case &c : cases) {
        LogCapture log;
        const ResultAnswer answer = DecodeResult(c.payload.data(), c.payload.size(), c.readPort);
        EXPECT_EQ(answer.result, c.result) << c.name;
        EXPECT_EQ(answer.hasPort, c.hasPort) << c.name;
        EXPECT_EQ(answer.port, c.port) << c.name;
        EXPECT_EQ(log.Lines(), c.log) << c.name;
    }
}

TEST(ProtocolCodec, DiscoverAnswer)
{
    struct Case
    {
        const char *name;
        Bytes payload;
        bool complete;
        std::string deviceName;
    };
    const Case cases[] = {
        {"named", Cat({{0x01, 0x05}, Text("AP-01")}), true, "AP-01"},
        {"empty payload", {}, false, ""},
        {"only an unlisted element", {0x7F, 0x01, 0x00}, true, ""},
        {"name cut to 33", Cat({{0x01, 40}, Text(std::string(40, 'n'))}), true, std::string(33, 'n')},
        {"broken first element", {0x01, 0x05, 'A'}, false, ""},
    };
    for (const Case &c : cases) {
        DeviceRecord record;
        EXPECT_EQ(DecodeDiscover(c.payload.data(), c.payload.size(), record), c.complete) << c.name;
        EXPECT_EQ(std::string(record.Name), c.deviceName) << c.name;
    }
}

TEST(ProtocolCodec, GetConfigAnswerFillsTheRecordsAndLogsEachField)
{
    const Bytes payload = Cat({
        {0x00, 0x01, 0x02},                   // DEVICE_MODE bridge
        {0x30, 0x01, 0x05},                   // IP_MODE, non-zero = DHCP
        {0x31, 0x04, 0xC0, 0xA8, 0x0A, 0x64}, // LAN_IP
        {0x32, 0x04, 0xFF, 0xFF, 0xFF, 0x00}, // LAN_NETMASK
        {0x33, 0x04, 0xC0, 0xA8, 0x0A, 0x01}, // LAN_GATEWAY
        {0x50, 0x04},
        Text("home"),                                    // WL_SSID
        {0x51, 0x0B, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, // WL_CH_LIST
        {0x52, 0x01, 0x02},                              // WL_EXT_CH
        {0x53, 0x01, 0x06},                              // WL_STD_CH
        {0x60, 0x01, 0x02},                              // WL_SECURITY_MODE
        {0x61, 0x01, 0x01},                              // WL_AUTH_MODE
        {0x62, 0x01, 0x01},                              // WL_WEPKEY_LEN
        {0x67, 0x01, 0x03},                              // WL_WEPKEY_INDEX, logged only
        {0x68, 0x01, 0x00},                              // WL_WPA_MODE
        {0x69, 0x01, 0xFF},                              // WL_WPA_CIPHER, widened unsigned
        {0x6C, 0x04, 0x01, 0x2D, 0x68, 0x7E},            // WL_WPS_PIN 19753086
        {0x63, 0x03},
        Text("key"),        // WL_WEPKEY: never decoded
        {0x54, 0x01, 0x04}, // WL_MODE: never decoded
    });
    IpConfigRecord ip;
    WlConfigRecord wl;
    std::strcpy(wl.Ssid, "wireless");
    wl.ChannelList[20] = 99;
    wl.WirelessMode = WLMODE_N;
    wl.WepKeyIndex = 1;
    int deviceMode = DEVICE_AP;

    LogCapture log;
    const WalkSummary summary = DecodeGetConfig(payload.data(), payload.size(), {ip, wl, deviceMode});
    const std::vector<std::string> expected = {
        "  DEVICE_MODE=0x02",
        "  IP_MODE=1",
        "  LAN_IP=C0A80A64",
        "  LAN_NETMASK=FFFFFF00",
        "  LAN_GATEWAY=C0A80A01",
        "  WL_SSID=home",
        "  WL_CH_LIST=(11)  1 2 3 4 5 6 7 8 9 10 11",
        "  WL_EXT_CH=2",
        "  WL_STD_CH=6",
        "  WL_SECURITY_MODE=2",
        "  WL_AUTH_MODE=1",
        "  WL_WEPKEY_LEN=1",
        "  WL_WEPKEY_INDEX=3",
        "  WL_WPA_MODE=0",
        "  WL_WPA_CIPHER=255",
        "  WL_WPS_PIN=0x012D687E",
        "  TLV=0x63",
        "  TLV=0x54",
    };
    EXPECT_EQ(log.Lines(), expected);
    EXPECT_EQ(summary.elements, 18);
    EXPECT_EQ(summary.unknown, 2);
    EXPECT_FALSE(summary.truncated);

    EXPECT_EQ(deviceMode, DEVICE_WBRIDGE);
    EXPECT_EQ(ip.IpMode, 1);
    EXPECT_EQ(ip.Ip, 0xC0A80A64u);
    EXPECT_EQ(ip.Netmask, 0xFFFFFF00u);
    EXPECT_EQ(ip.Gateway, 0xC0A80A01u);
    EXPECT_STREQ(wl.Ssid, "home");
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(wl.ChannelList[i], i + 1);
    EXPECT_EQ(wl.ChannelList[11], 0);
    EXPECT_EQ(wl.ChannelList[20], 0); // the whole list is replaced
    EXPECT_EQ(wl.ExtChannel, 2);
    EXPECT_EQ(wl.StdChannel, 6);
    EXPECT_EQ(wl.SecurityMode, 2);
    EXPECT_EQ(wl.AuthMode, 1);
    EXPECT_EQ(wl.WepKeyLen, 1);
    EXPECT_EQ(wl.WepKeyIndex, 1);
    EXPECT_EQ(wl.WpaMode, 0);
    EXPECT_EQ(wl.WpaCipher, 255);
    EXPECT_EQ(wl.WpsPin, 19753086u);
    EXPECT_STREQ(wl.WepKey, "");
    EXPECT_EQ(wl.WirelessMode, WLMODE_N);
}

TEST(ProtocolCodec, GetConfigAnswerEdgeCases)
{
    struct Case
    {
        const char *name;
        Bytes payload;
        std::string ssid;
        int ipMode;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"no SSID keeps the default", {0x30, 0x01, 0x00}, "wireless", 0, {"  IP_MODE=0"}},
        {"later element overwrites",
         Cat({{0x50, 0x01}, Text("a"), {0x50, 0x01}, Text("b")}),
         "b",
         1,
         {"  WL_SSID=a", "  WL_SSID=b"}},
        {"SSID bytes that are not UTF-8 kept as they are",
         Cat({{0x50, 0x06, 0x43, 0x61, 0x66, 0xE9, 0x2D, 0xFF}}),
         "Caf\xE9-\xFF",
         1,
         {"  WL_SSID=Caf\xE9-\xFF"}},
        {"SSID cut to 32",
         Cat({{0x50, 40}, Text(std::string(40, 's'))}),
         std::string(32, 's'),
         1,
         {"  WL_SSID=" + std::string(32, 's')}},
        {"broken element ends the walk",
         {0x30, 0x01, 0x00, 0x50, 0x08, 'x'},
         "wireless",
         0,
         {"  IP_MODE=0", "  not enough bytes in buffer"}},
        {"short fixed-width element refused",
         {0x31, 0x02, 0xC0, 0xA8, 0x30, 0x01, 0x00},
         "wireless",
         0,
         {"  TLV=0x31 FAIL length 2, 4 expected", "  IP_MODE=0"}},
    };
    for (const Case &c : cases) {
        IpConfigRecord ip;
        ip.IpMode = 1;
        WlConfigRecord wl;
        std::strcpy(wl.Ssid, "wireless");
        int deviceMode = DEVICE_AP;
        LogCapture log;
        DecodeGetConfig(c.payload.data(), c.payload.size(), {ip, wl, deviceMode});
        EXPECT_EQ(std::string(wl.Ssid), c.ssid) << c.name;
        EXPECT_EQ(ip.IpMode, c.ipMode) << c.name;
        EXPECT_EQ(ip.Ip, 0u) << c.name;
        EXPECT_EQ(log.Lines(), c.log) << c.name;
    }
}

TEST(ProtocolCodec, EventAnswer)
{
    struct Case
    {
        const char *name;
        Bytes payload;
        bool connectTimeout;
        std::vector<int32_t> status;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"timeout and configured",
         {0x95, 0x00, 0x96, 0x04, 0x00, 0x00, 0x00, 0x22},
         true,
         {34},
         {"  TLVTYPE_OTHER_CONNECTTIMEOUT", "  TLVTYPE_OTHER_WPS_STATUS 34"}},
        {"negative status passes unchanged",
         {0x96, 0x04, 0xFF, 0xFF, 0xFF, 0xFE},
         false,
         {-2},
         {"  TLVTYPE_OTHER_WPS_STATUS -2"}},
        {"unknown code passes unchanged",
         {0x96, 0x04, 0x00, 0x00, 0x01, 0x08},
         false,
         {264},
         {"  TLVTYPE_OTHER_WPS_STATUS 264"}},
        {"unlisted type", {0x42, 0x01, 0x00}, false, {}, {"  TLV=0x42"}},
    };
    for (const Case &c : cases) {
        LogCapture log;
        const EventAnswer answer = DecodeEvent(c.payload.data(), c.payload.size());
        EXPECT_EQ(answer.connectTimeout, c.connectTimeout) << c.name;
        EXPECT_EQ(answer.wpsStatus, c.status) << c.name;
        EXPECT_EQ(log.Lines(), c.log) << c.name;
    }
}

TEST(ProtocolCodec, StationAnswer)
{
    char pin[12];
    std::memset(pin, 'z', sizeof pin);
    const Bytes eight = Cat({{0x6C, 0x08}, Text("12345670"), {0x7E, 0x00}});
    LogCapture log;
    DecodeStationGetConfig(eight.data(), eight.size(), pin, sizeof pin);
    EXPECT_STREQ(pin, "12345670");
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{"  AP Client PIN Code = 12345670", "  TLV=0x7E"}));

    const Bytes longPin = Cat({{0x6C, 0x0F}, Text("123456789012345")});
    DecodeStationGetConfig(longPin.data(), longPin.size(), pin, sizeof pin);
    EXPECT_STREQ(pin, "12345678901"); // at most 11 characters kept
}

// The device's side: every answer byte for byte, with the device's MAC in
// the header; texts cut to 255, survey fields to their widths.
TEST(ProtocolCodec, DeviceAnswers)
{
    struct Case
    {
        const char *name;
        Answer answer;
        uint8_t command;
        Bytes payload;
    };
    const ConfigAnswer config{.deviceMode = 2,
                              .ipMode = 1,
                              .ip = 0xC0A80A64,
                              .netmask = 0xFFFFFF00,
                              .gateway = 0xC0A80A01,
                              .ssid = std::string_view("a\0b", 3),
                              .channels = "\x01\x06",
                              .extChannel = 1,
                              .stdChannel = 6,
                              .securityMode = 2,
                              .authMode = 1,
                              .wepKeyLen = 1,
                              .wepKeyIndex = 3,
                              .wpaMode = 2,
                              .wpaCipher = 1,
                              .wpsPin = 19753086};
    const SurveyRecordFields network{.flag = true,
                                     .ssid = "Net",
                                     .bssid = {1, 2, 3, 4, 5, 6},
                                     .signal = "12345",
                                     .channel = "",
                                     .encryption = 3,
                                     .authentication = 4,
                                     .status = 1,
                                     .wps = true};
    const Case cases[] = {
        {"discover", BuildDiscoverAnswer(kDevice, "AP-1"), CMD_DISCOVER, Cat({{0x01, 0x04}, Text("AP-1")})},
        {"long name", BuildDiscoverAnswer(kDevice, std::string(300, 'n')), CMD_DISCOVER,
         Cat({{0x01, 0xFF}, Text(std::string(255, 'n'))})},
        {"refused", BuildResultAnswer(kDevice, CMD_SET_CONFIG, false), CMD_SET_CONFIG, {0x91, 0x01, 0x00}},
        {"logout", BuildResultAnswer(kDevice, CMD_LOGOUT, true), CMD_LOGOUT, {0x91, 0x01, 0x01}},
        {"login", BuildLoginAnswer(kDevice, 0), CMD_LOGIN, {0x91, 0x01, 0x01}},
        {"login, port",
         BuildLoginAnswer(kDevice, 0x1770),
         CMD_LOGIN,
         {0x91, 0x01, 0x01, 0x92, 0x02, 0x17, 0x70}},
        {"mode", BuildModeAnswer(kDevice, 2), CMD_GET_CONFIG, {0x00, 0x01, 0x02}},
        {"config", BuildConfigAnswer(kDevice, config), CMD_GET_CONFIG,
         Cat({{0x00, 0x01, 0x02, 0x30, 0x01, 0x01},
              {0x31, 0x04, 0xC0, 0xA8, 0x0A, 0x64, 0x32, 0x04, 0xFF, 0xFF, 0xFF, 0x00, 0x33, 0x04, 0xC0, 0xA8,
               0x0A, 0x01},
              {0x50, 0x03, 'a', 0x00, 'b', 0x51, 0x02, 0x01, 0x06},
              {0x52, 0x01, 0x01, 0x53, 0x01, 0x06, 0x60, 0x01, 0x02, 0x61, 0x01, 0x01, 0x62, 0x01, 0x01},
              {0x67, 0x01, 0x03, 0x68, 0x01, 0x02, 0x69, 0x01, 0x01, 0x6C, 0x04, 0x01, 0x2D, 0x68, 0x7E}})},
        {"station", BuildStationGetConfigAnswer(kDevice, "87654321"), CMD_STATION_GET_CONFIG,
         Cat({{0x6C, 0x08}, Text("87654321")})},
        {"survey", BuildSiteSurveyAnswer(kDevice, {network}), CMD_SITE_SURVEY,
         Cat({{0x01}, Text("Net"), Bytes(29, 0), {1, 2, 3, 4, 5, 6}, Text("123"), {0, 0, 0}, {3, 4, 1, 1}})},
        {"connect timeout", BuildConnectTimeoutEvent(kDevice), CMD_EVENT, {0x95, 0x00}},
        {"wps status", BuildWpsStatusEvent(kDevice, -2), CMD_EVENT, {0x96, 0x04, 0xFF, 0xFF, 0xFF, 0xFE}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Whole(c.answer), Cat({Header(c.command, c.payload.size(), kDevice), c.payload})) << c.name;

    // A survey larger than a datagram keeps the records that fit.
    LogCapture log;
    const Answer full = BuildSiteSurveyAnswer(kDevice, std::vector<SurveyRecordFields>(2000, network));
    EXPECT_EQ(full.PayloadLength(), 1337 * kSurveyRecordSize);
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"Answer::AppendRaw() FAIL 49 bytes do not fit"});

    // Sealed: discovery stays clear, everything else is enciphered.
    Answer discover = BuildDiscoverAnswer(kDevice, "AP-1");
    const Bytes clear = Whole(discover);
    SealAnswer(discover, "tulip");
    EXPECT_EQ(Whole(discover), clear);
    Answer result = BuildResultAnswer(kDevice, CMD_LOGIN, true);
    Bytes expected = Whole(result);
    CipherPayload("tulip", expected.data() + kHeaderSize, expected.size() - kHeaderSize);
    SealAnswer(result, "tulip");
    EXPECT_EQ(Whole(result), expected);
    EXPECT_NE(Payload(result), (Bytes{0x91, 0x01, 0x01}));
}
