#pragma once
// What a simulated device is: its identity, addresses and wireless
// profiles, the networks its survey reports, its WPS status stream and the
// faults it plays. The devicesim tool fills it from its command line, the
// tests set it field by field; the device's logic (simdevice) only reads it
// and keeps its own copy up to date with every accepted write.

#include "app/macaddress.h"
#include "protocol/datagramsocket.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <map>
#include <vector>

// One network the simulated device reports in its site survey.
struct SimNetwork
{
    bool flag = true;
    QByteArray ssid; // at most 32 bytes go on the wire
    MacAddress bssid{};
    QByteArray signal = "80";   // up to three ASCII characters, as sent
    QByteArray channel = "6";   // up to three ASCII characters, as sent
    uint8_t encryption = 0;     // 0 none .. 4 TKIP/AES
    uint8_t authentication = 0; // 0 open .. 7 WPA/WPA2
    uint8_t status = 0;
    bool wps = false;
};

// A wireless profile: the access point's own network, or in bridge mode the
// upstream network it joins.
struct SimWireless
{
    QByteArray ssid = "Wireless";
    QByteArray channels; // one channel number per byte
    uint8_t stdChannel = 6;
    uint8_t extChannel = 0;
    uint8_t wirelessMode = 9;
    uint8_t securityMode = 0;
    uint8_t authMode = 0;
    uint8_t wepKeyLen = 0;
    uint8_t wepKeyIndex = 0;
    QByteArray wepKey;
    uint8_t wpaMode = 1;
    uint8_t wpaCipher = 1;
    QByteArray passphrase;
};

// The request kinds the device tells apart; fault options name them.
enum class SimKind {
    Discover,
    Login,
    Logout,
    GetConfig,
    GetMode,
    SetIp,
    SetWireless,
    SetMode,
    WpsPbc,
    WpsPin,
    SetStation,
    SiteSurvey,
    StationGetConfig,
    Unknown,
};
QString SimKindName(SimKind kind);
// The kind for a name as SimKindName gives it; Unknown when none matches.
SimKind SimKindFromName(const QString &name);

struct SimDeviceConfig
{
    MacAddress mac{0x02, 0x00, 0x4C, 0x00, 0x00, 0x01};
    QByteArray name = "AP-0001";
    QByteArray password = "tulip";   // the factory password
    uint8_t mode = 1;                // 1 access point, 2 wireless bridge
    std::vector<QString> interfaces; // empty: every interface of the host
    uint16_t otherPort = 0;          // non-zero: named in the login answer

    // IP settings (host order).
    bool dhcp = false;
    uint32_t ip = 0xC0A80101;      // 192.168.1.1
    uint32_t netmask = 0xFFFFFF00; // 255.255.255.0
    uint32_t gateway = 0xC0A801FE; // 192.168.1.254

    SimWireless wireless; // the access point's network
    SimWireless station;  // the upstream network in bridge mode
    uint32_t wpsPin = 12345670;
    QByteArray clientPin = "87654321";

    std::vector<SimNetwork> survey;
    std::vector<int32_t> wpsEvents{3, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 34};
    int wpsIntervalMs = 100;
    uint8_t wpsResult = 1;               // result byte of a WPS request
    bool connectTimeoutAfterWps = false; // end the login with an event after the WPS stream
    int connectTimeoutMs = 0;            // > 0: end every login after this long

    // Faults.
    std::map<SimKind, int> dropFirst; // answers of a kind to lose, counted down
    int delayMs = 0;                  // every answer this late
    bool answerTwice = false;
    bool refuseLogins = false;
    bool garbledLoginIgnored = false; // a login the device cannot read: no answer instead of result 0
    // Not Unknown: the first request of this kind still takes effect, then
    // the device answers nothing more (switched off or unplugged mid-way).
    SimKind silentFrom = SimKind::Unknown;
};

// The survey the device reports unless configured otherwise: every
// encryption and authentication code, with and without WPS, a 32-character
// name and an empty one.
std::vector<SimNetwork> DefaultSurvey();
// Channels 1 to 11.
QByteArray DefaultChannels();
