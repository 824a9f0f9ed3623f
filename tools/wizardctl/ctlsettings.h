#pragma once
// The settings a command asks a device to take, shared by the set-*
// commands and `apply`: the words that stand for coded settings, the
// static-address check with the IP page's corrections, the wireless record
// to write, and network names in hex.
// Pure: text in, records and the first broken rule out.

#include "app/records.h"
#include "app/settingkeys.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <span>
#include <vector>

// The words the set-* options and the plans take for a coded setting, each
// with the code it stands for (a code may have several words).
struct SettingWord
{
    const char *word;
    int code;
};
using SettingWords = std::span<const SettingWord>;
inline constexpr SettingWord kDeviceModeWords[] = {
    {"ap", DEVICE_AP}, {"bridge", DEVICE_WBRIDGE}, {"apclient", DEVICE_WBRIDGE}};
inline constexpr SettingWord kSecurityWords[] = {
    {"none", SECMODE_NONE}, {"wep", SECMODE_WEP}, {"wpa-psk", SECMODE_WPAPSK}, {"wpapsk", SECMODE_WPAPSK}};
inline constexpr SettingWord kWepLengthWords[] = {{"64", WEPKEYLEN_64}, {"128", WEPKEYLEN_128}};
inline constexpr SettingWord kAuthWords[] = {
    {"open", AUTHMODE_OPEN}, {"shared", AUTHMODE_SHARED}, {"auto", AUTHMODE_AUTO}};
inline constexpr SettingWord kWpaModeWords[] = {
    {"wpa", WPAMODE_WPA}, {"wpa2", WPAMODE_WPA2}, {"auto", WPAMODE_AUTO}};
// The code `text` stands for among `words`, in any case; false when none.
bool ChooseWord(const QString &text, const SettingWords &words, int &code);

// A static address as typed, after the IP page's broadcast correction and
// mask proposal, with the first rule it breaks (nullptr: valid).
struct StaticAddress
{
    enum class Field { Ip, Mask, Gateway };
    IpConfigRecord record{}; // IpMode static with the address, mask and gateway
    QString ipText, maskText;
    bool corrected = false; // x.x.x.255 became x.x.x.254
    bool proposed = false;  // no mask given: the class's mask
    const TextKey *fault = nullptr;
    Field field = Field::Ip; // where the fault is
};
StaticAddress CheckStatic(const QString &ip, const QString &mask, bool hasMask, const QString &gateway,
                          const QStringList &localAddresses);

// The wireless settings asked for, by the options of set-wireless or by a
// plan entry.
struct WirelessWanted
{
    QByteArray ssid{};
    int wirelessMode = WLMODE_BGN; // the profile pages' default
    int security = SECMODE_NONE;
    int wepLength = WEPKEYLEN_64;
    QString key{}; // WEP
    int auth = -1; // -1: Auto on an access point, Open on a bridge
    int wpaMode = WPAMODE_AUTO;
    QString passphrase{};
    bool hasSecret = false; // the key or passphrase of `security` is given
};
// The record to write: the device's `current` one with the network, mode
// and security asked for (the channel left to the device).
WlConfigRecord NextWireless(const WirelessWanted &w, WlConfigRecord current, bool ap);

// The bytes of a hex text (blanks and colons allowed between pairs);
// nullopt when it is not pairs of hex digits.
std::optional<QByteArray> BytesFromHex(const QString &hex);
