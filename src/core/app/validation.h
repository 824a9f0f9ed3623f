#pragma once
// The input rules the wizard applies before anything is written to the
// device: static IP address, mask and gateway; WEP keys; WPA passphrases;
// WPS PINs; network names. Pure functions shared by the pages and the
// command-line client. Each check returns the message key (section
// "Message") of the first rule that fails, or nullptr when the input is
// valid; show it with ShowMessage(*key) or MessageText(*key).
//
// WEP keys and WPA passphrases are printable ASCII (0x20 to 0x7E), so their
// lengths are character counts; a key holding anything else draws the
// message of the length rule. Network names are counted in bytes of their
// UTF-8 form, which is what the device receives, so that a name can never be
// cut short silently by its fixed record field.
//
// Also the read-back checks: whether the configuration read after a write
// holds what was written.

#include "app/records.h"
#include "app/settingkeys.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

// Keys of the command-line client's own messages: the pages keep to the
// keys of the settings file (a name too long draws ER_SSID there).
namespace ValidationKey {
inline constexpr TextKey ER_SSID_Long{SECTION_MESSAGE, "ER_SSID_Long",
                                      "The SSID must not be longer than 32 characters."};
} // namespace ValidationKey

// An IPv4 address as the four octet texts of an address field. An octet
// that holds nothing but blanks is empty; one that is not a number from 0
// to 255 makes the address malformed (the address edit cannot hold one, a
// typed command line can).
struct AddressInput
{
    std::array<QString, 4> Octets;

    // Splits a dotted text: "10.0.0.1" gives four octets; "" gives four
    // empty octets; a text with fewer than four parts leaves the rest
    // empty; more than four parts make the address malformed.
    static AddressInput FromText(const QString &text);

    // Every octet empty (the field was left blank).
    bool IsEmpty() const;
    // Every octet holds a number from 0 to 255.
    bool IsComplete() const;
    // The address in host order, first octet most significant; empty or
    // malformed octets count as 0.
    uint32_t Value() const;
    // The dotted text of the octets as typed ("" when IsEmpty).
    QString Text() const;

    bool malformed = false;
};

// The broadcast correction of the IP page: a dotted text of four complete
// octets whose last is 255 gets "4" for its last character (x.x.x.255
// becomes x.x.x.254). Anything else, an address with an empty octet among
// it, is returned unchanged.
QString CorrectBroadcastAddress(const QString &ipText);

// The mask the IP page proposes for an address whose mask was left empty:
// 255.0.0.0 below 128 in the first octet, 255.255.0.0 below 192,
// 255.255.255.0 otherwise. Empty when the first octet has no value.
QString ProposedMask(const AddressInput &ip);

// The static address rules, in the IP page's order: IP octets complete;
// IP first octet neither 0 nor 127, below 224.0.0.0; mask octets complete; mask neither
// 0 nor all ones and contiguous; host part neither all zeros nor all ones
// (ErIPAddr, ErSubnetMask); the IP not one of `localAddresses` (dotted
// texts: the PC's own addresses, ErIPSameAsLocahost); an entirely empty
// gateway is valid; otherwise gateway octets complete, gateway in the IP's
// subnet with a host part that is not all zeros, and gateway OR mask not
// all ones (ErDefaultGateway).
const TextKey *CheckStaticAddress(const AddressInput &ip, const AddressInput &mask,
                                  const AddressInput &gateway, const QStringList &localAddresses);

// Every character is printable ASCII (0x20 to 0x7E); true for "".
bool IsPrintableAscii(const QString &text);

// The WEP key rules for a key length code (WEPKEYLEN_64 or WEPKEYLEN_128):
// printable ASCII of exactly 5 or 13 characters, or exactly 10 or 26
// hexadecimal digits. Failing keys: ER_WEP64Hex / ER_WEP128Hex when the
// hexadecimal length was right but a character is not a hexadecimal digit;
// ER_WEP64 / ER_WEP128 for any other length or a character outside
// printable ASCII; ER_WEPKey for any other length code. (The specific keys fall
// back to the ER_WEPKey text when the settings file does not name them.)
const TextKey *CheckWepKey(int lengthCode, const QString &key);

// The key as it is stored for a valid key: ASCII as typed, hexadecimal in
// upper case. Empty for a key CheckWepKey refuses.
QString WepKeyText(int lengthCode, const QString &key);

// The passphrase rules: 8 to 63 printable ASCII characters, or 64
// hexadecimal digits (ER_PSKKeyHex for 64 characters that are not all
// hexadecimal, ER_PSKKey for any other length or a character outside
// printable ASCII).
const TextKey *CheckPassphrase(const QString &passphrase);

// The cipher that goes with a WPA mode: WPA only TKIP, WPA2 only AES, any
// other mode TKIP and AES.
int WpaCipherForMode(int wpaMode);

// A WPS enrollee PIN: exactly eight decimal digits (ER_PIN_Code).
const TextKey *CheckWpsPin(const QString &pin);

// A network name: not empty (`emptyKey`: ER_Empty_SSID on the profile,
// ER_SSID on the WPS page), at most 32 bytes (`longKey`: ER_SSID_Long for
// the command-line client, ER_SSID on the pages).
const TextKey *CheckSsid(const QString &ssid, const TextKey &emptyKey = MessageKey::ER_Empty_SSID,
                         const TextKey &longKey = ValidationKey::ER_SSID_Long);
// The same rules on a name's bytes as they go to the device.
const TextKey *CheckSsidBytes(const QByteArray &ssid, const TextKey &emptyKey = MessageKey::ER_Empty_SSID,
                              const TextKey &longKey = ValidationKey::ER_SSID_Long);

// The PIN method of the WPS page. An access point takes the enrollee PIN
// typed (CheckWpsPin). A bridge joins with its own PIN, read from the
// device, which must have arrived (ER_PIN_Code), and names the access point
// to join (`ssid`, its bytes as they go to the device): empty or over 32
// bytes, ER_SSID.
const TextKey *CheckWpsPinMethod(bool bridge, const QString &pin, const QByteArray &ssid);

// Read-back checks: whether the configuration read after a write holds the
// values written. IP: the address mode, and for a static address the
// address, mask and gateway (the name servers are never sent). Wireless:
// the network name and security mode, with the WEP authentication and key
// length, or the WPA mode and cipher, of the security written. The key, the
// passphrase and the wireless mode are never part of the device's answer,
// and channel 0 asks the device to choose, so those are not compared.
bool IpConfigHolds(const IpConfigRecord &written, const IpConfigRecord &readBack);
bool WlConfigHolds(const WlConfigRecord &written, const WlConfigRecord &readBack);
