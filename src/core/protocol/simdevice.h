#pragma once
// A simulated device: the device's side of the UDP protocol as the wizard
// relies on it, with a configuration that a read-back shows after every
// accepted write. It is pure logic: a datagram that reached the device goes
// in, the datagrams to send back come out, each with a delay; sockets and
// timers belong to the host (the devicesim tool on real sockets in the
// network lab, or the in-process fake network of the tests). The same
// object can play an access point or a bridge, answer WPS with a scripted
// stream of status events, report a site survey, and misbehave on purpose
// (lost, late or doubled answers, refused logins).

#include "protocol/datagramsocket.h"

#include <QByteArray>
#include <QJsonObject>
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
    QByteArray signal = "80";  // up to three ASCII characters, as sent
    QByteArray channel = "6";  // up to three ASCII characters, as sent
    uint8_t encryption = 0;    // 0 none .. 4 TKIP/AES
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
    QByteArray password = "tulip"; // the factory password
    uint8_t mode = 1;               // 1 access point, 2 wireless bridge
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
    uint8_t wpsResult = 1;           // result byte of a WPS request
    bool connectTimeoutAfterWps = false; // end the login with an event after the WPS stream
    int connectTimeoutMs = 0;        // > 0: end every login after this long

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

// One datagram the device sends.
struct SimOutput
{
    QByteArray datagram;
    int delayMs = 0;
    bool endsLogin = false; // a connection-timeout event: the host calls EndLogin when sending it
    uint64_t loginGeneration = 0;
};

class SimDevice
{
public:
    explicit SimDevice(SimDeviceConfig config);

    // Handles one datagram that reached the device; returns what to send
    // back (to the requester: by broadcast or unicast as the host decides).
    // Datagrams that are not requests for this device give nothing.
    std::vector<SimOutput> Handle(const QByteArray &datagram);

    // Ends the login if it is still the one of `generation`.
    void EndLogin(uint64_t generation);

    const SimDeviceConfig &Config() const { return config_; }
    bool LoggedIn() const { return loggedIn_; }
    // Requests seen per kind (answered or not).
    const std::map<SimKind, int> &Requests() const { return requests_; }
    // Number of state changes so far; a host dumps the state when it moves.
    uint64_t Revision() const { return revision_; }

    // The current state as JSON (for the state file of end-to-end tests).
    QJsonObject StateJson() const;

    // Answer builder shared with tests: header with `mac`, `command`, the
    // payload enciphered with `password` unless the command is discovery.
    static QByteArray BuildDatagram(const MacAddress &mac, uint8_t command, QByteArray payload,
                                    const QByteArray &password);
    // Appends one TLV (values over 255 bytes are cut).
    static void AppendTlv(QByteArray &payload, uint8_t type, const QByteArray &value);

private:
    std::vector<SimOutput> Answer(SimKind kind, uint8_t command, const QByteArray &payload);
    std::vector<SimOutput> HandleLogin(const QByteArray &payload);
    std::vector<SimOutput> HandleGetConfig(const QByteArray &payload);
    std::vector<SimOutput> HandleSetConfig(const QByteArray &payload);
    std::vector<SimOutput> HandleStationSet(const QByteArray &payload);
    std::vector<SimOutput> ResultAnswer(SimKind kind, uint8_t command, bool ok);
    void AppendWpsEvents(std::vector<SimOutput> &out);
    QByteArray ConfigPayload() const;
    QByteArray SurveyPayload() const;
    void Changed() { ++revision_; }

    SimDeviceConfig config_;
    bool loggedIn_ = false;
    bool silent_ = false; // gone quiet after a request of config_.silentFrom
    uint64_t loginGeneration_ = 0;
    std::map<SimKind, int> requests_;
    std::map<SimKind, int> dropped_;
    uint64_t revision_ = 0;
    QByteArray lastWpsPin_; // the PIN or network name of the last WPS PIN request
    int wpsRuns_ = 0;
};
