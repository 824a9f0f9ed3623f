#pragma once
// The device records the wizard keeps: one discovered device, the device's
// IP and wireless settings, one network seen by the site survey, and the
// value codes of their enumerated fields with the display names the pages
// show for them. The records are plain values of fixed width so that they
// are copied and compared as whole records; texts are zero-terminated
// character arrays as the device sends them. Addresses are IPv4 in host
// byte order.

#include "app/macaddress.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

// Operating modes (DeviceMode).
inline constexpr int DEVICE_AP = 1;      // access point
inline constexpr int DEVICE_WBRIDGE = 2; // wireless bridge, shown as "AP Client"

// Setup stages (SetupMethod).
inline constexpr int SETUP_METHOD_IP = 0;       // IP settings (dynamic or static)
inline constexpr int SETUP_METHOD_WIRELESS = 1; // wireless settings
inline constexpr int SETUP_METHOD_ADVANCED = 2; // advanced (the device's web interface)

// How the wireless side is set up (WlMethod). The values are the stored
// codes; a value outside these leads nowhere (the wizard stays).
enum class WirelessMethod : int32_t {
    Wps = 0,     // Wi-Fi Protected Setup
    Profile = 1, // the wireless profile sequence (Connect on the survey)
    Manual = 2,  // the survey's Manual: on through the setup-method page
};

// WPS methods (WpsMethod): 1 push button, any other value PIN.
inline constexpr int WPS_METHOD_PBC = 1;
inline constexpr int WPS_METHOD_PIN = 2;

// IpConfigRecord::IpMode.
inline constexpr int IP_MODE_STATIC = 0;
inline constexpr int IP_MODE_DHCP = 1;

// WlConfigRecord::SecurityMode.
inline constexpr int SECMODE_NONE = 0;
inline constexpr int SECMODE_WEP = 1;
inline constexpr int SECMODE_WPAPSK = 2;

// WlConfigRecord::AuthMode (WEP authentication).
inline constexpr int AUTHMODE_OPEN = 0;
inline constexpr int AUTHMODE_SHARED = 1;
inline constexpr int AUTHMODE_AUTO = 2;

// WlConfigRecord::WepKeyLen.
inline constexpr int WEPKEYLEN_64 = 0;
inline constexpr int WEPKEYLEN_128 = 1;

// WlConfigRecord::WpaMode.
inline constexpr int WPAMODE_WPA = 0;
inline constexpr int WPAMODE_WPA2 = 1;
inline constexpr int WPAMODE_AUTO = 2;

// WlConfigRecord::WpaCipher.
inline constexpr int WPACIPHER_TKIP = 0;
inline constexpr int WPACIPHER_AES = 1;
inline constexpr int WPACIPHER_AUTO = 2;

// WlConfigRecord::WirelessMode.
inline constexpr int WLMODE_BG = 0;
inline constexpr int WLMODE_B = 1;
inline constexpr int WLMODE_A = 2;
inline constexpr int WLMODE_ABG = 3;
inline constexpr int WLMODE_G = 4;
inline constexpr int WLMODE_ABGN = 5;
inline constexpr int WLMODE_N = 6;
inline constexpr int WLMODE_GN = 7;
inline constexpr int WLMODE_AN = 8;
inline constexpr int WLMODE_BGN = 9;
inline constexpr int WLMODE_COUNT = 10;

// SurveyEntry::Encryption.
inline constexpr int SURVEY_ENC_NONE = 0;
inline constexpr int SURVEY_ENC_WEP = 1;
inline constexpr int SURVEY_ENC_TKIP = 2;
inline constexpr int SURVEY_ENC_AES = 3;
inline constexpr int SURVEY_ENC_TKIP_AES = 4;

// SurveyEntry::Authentication.
inline constexpr int SURVEY_AUTH_OPEN = 0;
inline constexpr int SURVEY_AUTH_SHARED = 1;
inline constexpr int SURVEY_AUTH_WPAPSK = 2;
inline constexpr int SURVEY_AUTH_WPA2PSK = 3;
inline constexpr int SURVEY_AUTH_WPAPSK_WPA2PSK = 4;
inline constexpr int SURVEY_AUTH_WPA = 5;
inline constexpr int SURVEY_AUTH_WPA2 = 6;
inline constexpr int SURVEY_AUTH_WPA_WPA2 = 7;

// Text capacities (characters, without the terminator).
inline constexpr int DEVICE_NAME_MAX = 33;
inline constexpr int SSID_MAX = 32;
inline constexpr int WEPKEY_MAX = 127;
inline constexpr int PASSPHRASE_MAX = 127;
inline constexpr int AP_CLIENT_PIN_MAX = 11;
inline constexpr int CHANNEL_LIST_SIZE = 256;

// One discovered device.
struct DeviceRecord
{
    uint32_t LocalIp = 0;   // local adapter that received the discovery answer
    uint32_t LocalMask = 0; // that adapter's netmask
    uint32_t DeviceIp = 0;  // source address of the answer
    MacAddress Mac{};
    char Name[34] = {}; // zero-terminated, at most 33 characters

    bool operator==(const DeviceRecord &) const = default;
};

// IP settings. The Cur/New pair is compared as a whole record, the name
// servers included (an edit of Dns1 alone makes the pair differ).
struct IpConfigRecord
{
    int32_t IpMode = 0; // IP_MODE_DHCP or IP_MODE_STATIC
    uint32_t Ip = 0;
    uint32_t Netmask = 0;
    uint32_t Gateway = 0;
    uint32_t Dns1 = 0; // edited by the IP page, never sent
    uint32_t Dns2 = 0; // edited by the IP page, never sent

    bool operator==(const IpConfigRecord &) const = default;
};

// Wireless settings.
struct WlConfigRecord
{
    char Ssid[33] = {};                          // zero-terminated, at most 32 characters
    uint8_t StdChannel = 0;                      // 0 automatic
    uint8_t ExtChannel = 0;                      // sent only when StdChannel is not 0
    uint8_t ChannelList[CHANNEL_LIST_SIZE] = {}; // one channel per byte, zero-terminated
    int32_t WirelessMode = 0;                    // WLMODE_*; never decoded from the device
    int32_t SecurityMode = 0;                    // SECMODE_*
    int32_t AuthMode = 0;                        // AUTHMODE_*
    int32_t WepKeyLen = 0;                       // WEPKEYLEN_*
    int32_t WepKeyIndex = 0;                     // reset to 1; the wire always carries index 0
    char WepKey[128] = {};                       // zero-terminated
    int32_t WpaMode = 0;                         // WPAMODE_*
    int32_t WpaCipher = 0;                       // WPACIPHER_*
    char Passphrase[128] = {};                   // zero-terminated
    uint32_t WpsPin = 0;                         // the device's WPS PIN as reported
    uint32_t EnrolleePin = 0;                    // the client PIN entered on the WPS page

    bool operator==(const WlConfigRecord &) const = default;
};

// One network seen by the device's site survey.
struct SurveyEntry
{
    bool Flag = false;
    char Ssid[33] = {}; // zero-terminated, at most 32 characters
    MacAddress Bssid{};
    int32_t Signal = 0; // percent
    int32_t Channel = 0;
    uint8_t Encryption = 0;     // SURVEY_ENC_*
    uint8_t Authentication = 0; // SURVEY_AUTH_*
    uint8_t Status = 0;         // carried through for the row icon
    bool Wps = false;

    bool operator==(const SurveyEntry &) const = default;
};

// IpMode DHCP, all five addresses 0.
void ResetIpConfig(IpConfigRecord &config);

// The defaults of new wireless settings: Ssid from section "Setting", key
// "SSID" (default "wireless"), cut to 32 characters; AuthMode Auto, WPA
// mode and cipher Auto, WepKeyIndex 1, everything else empty or 0.
// WirelessMode is left as it was.
void ResetWlConfig(WlConfigRecord &config);

// Copies `text` into a fixed zero-terminated field of `size` bytes, cut to
// size - 1 bytes of its UTF-8 form without splitting a character.
void CopyToField(char *field, int size, const QString &text);
void CopyToField(char *field, int size, const char *text);

// The text of a zero-terminated field of `size` bytes (a missing
// terminator ends the text at the field's end).
QString FieldText(const char *field, int size);

template <int N> void CopyToField(char (&field)[N], const QString &text)
{
    CopyToField(field, N, text);
}
template <int N> QString FieldText(const char (&field)[N])
{
    return FieldText(field, N);
}

// Network names are up to 32 bytes of any value, and many networks use
// names that are not UTF-8. The wizard keeps the device's bytes as they are
// and only turns them into text to show them, so a name the user leaves
// alone goes back to the device unchanged. (A name with a zero byte inside
// cannot be held: the fields end at the first zero.)

// The bytes of a network name field: up to its first zero, at most 32.
QByteArray SsidBytes(const char (&field)[SSID_MAX + 1]);

// The text shown for a network name: its bytes as UTF-8 when they are valid
// UTF-8, else as Windows-1252 (every byte shows as one character).
QString SsidText(const QByteArray &bytes);
inline QString SsidText(const char (&field)[SSID_MAX + 1])
{
    return SsidText(SsidBytes(field));
}

// The bytes to write for a name the user was shown as `original`: the
// original bytes when the text is still what they show as, otherwise the
// UTF-8 form of the text (which may exceed 32 bytes; the caller checks).
QByteArray SsidFromText(const QString &shown, const QByteArray &original);

// Stores a name's bytes in a field, cut to 32 bytes.
void SetSsid(char (&field)[SSID_MAX + 1], const QByteArray &bytes);

// Display names of the value codes, as read from section "String" into
// g_Var at start-up. An unknown code gives an empty text.
QString SecurityModeName(int code);
QString AuthModeName(int code);
QString WepKeyLenName(int code);
QString WpaModeName(int code);
QString WpaCipherName(int code);
QString WirelessModeName(int code);

// The fixed texts the survey lists show for a network's encryption and
// authentication codes ("Not Use", "WEP", ...; authentication 1 is blank).
// An unknown code gives an empty text. (The WPS survey dialog names only
// authentication codes 0 to 4; it blanks the others itself.)
QString SurveyEncryptionName(int code);
QString SurveyAuthenticationName(int code);
