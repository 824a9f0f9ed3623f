#include "app/validation.h"

#include "app/utility.h"

#include <cstring>

namespace {

// An octet text: blanks around it are ignored; empty when nothing else is
// left; otherwise one to three decimal digits with a value up to 255.
enum class Octet { Empty, Number, Malformed };

Octet ReadOctet(const QString &text, uint32_t &value)
{
    const QString t = text.trimmed();
    value = 0;
    if (t.isEmpty())
        return Octet::Empty;
    if (t.size() > 3)
        return Octet::Malformed;
    for (QChar c : t) {
        if (c < u'0' || c > u'9')
            return Octet::Malformed;
        value = value * 10 + uint32_t(c.unicode() - u'0');
    }
    return value <= 255 ? Octet::Number : Octet::Malformed;
}

bool IsPowerOfTwo(uint32_t v)
{
    return v != 0 && (v & (v - 1)) == 0;
}

// Rule 2 of the address rules: a unicast address a device may take; a
// first octet of 0 ("this network") or 127 (loopback) is none.
bool UsableAddress(uint32_t ip)
{
    return (ip >> 24) != 0 && ip < 0xE0000000u && (ip >> 24) != 127;
}

} // namespace

AddressInput AddressInput::FromText(const QString &text)
{
    AddressInput in;
    if (text.trimmed().isEmpty())
        return in;
    const QStringList parts = text.split(u'.');
    if (parts.size() > 4)
        in.malformed = true;
    for (int i = 0; i < 4 && i < parts.size(); ++i)
        in.Octets[size_t(i)] = parts[i];
    return in;
}

bool AddressInput::IsEmpty() const
{
    for (const QString &o : Octets) {
        if (!o.trimmed().isEmpty())
            return false;
    }
    return !malformed;
}

bool AddressInput::IsComplete() const
{
    if (malformed)
        return false;
    uint32_t v;
    for (const QString &o : Octets) {
        if (ReadOctet(o, v) != Octet::Number)
            return false;
    }
    return true;
}

uint32_t AddressInput::Value() const
{
    uint32_t address = 0;
    for (const QString &o : Octets) {
        uint32_t v;
        if (ReadOctet(o, v) != Octet::Number)
            v = 0;
        address = (address << 8) | v;
    }
    return address;
}

QString AddressInput::Text() const
{
    if (IsEmpty())
        return QString();
    QStringList parts;
    for (const QString &o : Octets)
        parts << o.trimmed();
    return parts.join(u'.');
}

QString CorrectBroadcastAddress(const QString &ipText)
{
    // An address with an empty octet is refused as it stands.
    if (!AddressInput::FromText(ipText).IsComplete())
        return ipText;
    const int dot = ipText.lastIndexOf(u'.');
    if (dot < 0)
        return ipText;
    bool ok = false;
    const int last = ipText.mid(dot + 1).trimmed().toInt(&ok);
    if (!ok || last != 255)
        return ipText;
    QString corrected = ipText.trimmed();
    corrected.back() = u'4';
    return corrected;
}

QString ProposedMask(const AddressInput &ip)
{
    uint32_t first;
    if (ip.malformed || ReadOctet(ip.Octets[0], first) != Octet::Number)
        return QString();
    if (first < 128)
        return QStringLiteral("255.0.0.0");
    if (first < 192)
        return QStringLiteral("255.255.0.0");
    return QStringLiteral("255.255.255.0");
}

const TextKey *CheckStaticAddress(const AddressInput &ip, const AddressInput &mask,
                                  const AddressInput &gateway, const QStringList &localAddresses)
{
    if (!ip.IsComplete())
        return &MessageKey::ErIPAddr;
    const uint32_t address = ip.Value();
    if (!UsableAddress(address))
        return &MessageKey::ErIPAddr;
    if (!mask.IsComplete())
        return &MessageKey::ErSubnetMask;
    const uint32_t netmask = mask.Value();
    // Contiguous one-bits from the top: the two's complement is a power of
    // two; 0 and all ones are refused on their own.
    if (netmask == 0 || netmask == 0xFFFFFFFFu || !IsPowerOfTwo(~netmask + 1))
        return &MessageKey::ErSubnetMask;
    const uint32_t host = address & ~netmask;
    if (host == 0 || host == (~netmask))
        return &MessageKey::ErIPAddr;
    for (const QString &local : localAddresses) {
        uint32_t own;
        if (ParseIpv4(local, own) && own == address)
            return &MessageKey::ErIPSameAsLocahost;
    }
    if (gateway.IsEmpty())
        return nullptr;
    if (!gateway.IsComplete())
        return &MessageKey::ErDefaultGateway;
    const uint32_t gw = gateway.Value();
    if ((gw & netmask) != (address & netmask) || (gw & ~netmask) == 0 || (gw | netmask) == 0xFFFFFFFFu)
        return &MessageKey::ErDefaultGateway;
    return nullptr;
}

bool IsPrintableAscii(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return false;
    }
    return true;
}

const TextKey *CheckWepKey(int lengthCode, const QString &key)
{
    if (lengthCode != WEPKEYLEN_64 && lengthCode != WEPKEYLEN_128)
        return &MessageKey::ER_WEPKey;
    const int max = lengthCode == WEPKEYLEN_128 ? 26 : 10;
    const bool ascii = IsPrintableAscii(key);
    const int n = ascii ? int(key.size()) : -1;
    if (n == max / 2)
        return nullptr;
    if (n == max && IsHexText(key))
        return nullptr;
    if (lengthCode == WEPKEYLEN_64)
        return n == max ? &MessageKey::ER_WEP64Hex : &MessageKey::ER_WEP64;
    return n == max ? &MessageKey::ER_WEP128Hex : &MessageKey::ER_WEP128;
}

QString WepKeyText(int lengthCode, const QString &key)
{
    if (CheckWepKey(lengthCode, key))
        return QString();
    const int max = lengthCode == WEPKEYLEN_128 ? 26 : 10;
    return key.size() == max ? key.toUpper() : key;
}

const TextKey *CheckPassphrase(const QString &passphrase)
{
    if (!IsPrintableAscii(passphrase))
        return &MessageKey::ER_PSKKey;
    const qsizetype n = passphrase.size();
    if (n == 64)
        return IsHexText(passphrase) ? nullptr : &MessageKey::ER_PSKKeyHex;
    if (n >= 8 && n <= 63)
        return nullptr;
    return &MessageKey::ER_PSKKey;
}

int WpaCipherForMode(int wpaMode)
{
    if (wpaMode == WPAMODE_WPA)
        return WPACIPHER_TKIP;
    if (wpaMode == WPAMODE_WPA2)
        return WPACIPHER_AES;
    return WPACIPHER_AUTO;
}

const TextKey *CheckWpsPin(const QString &pin)
{
    if (pin.size() != 8)
        return &MessageKey::ER_PIN_Code;
    for (QChar c : pin) {
        if (c < u'0' || c > u'9')
            return &MessageKey::ER_PIN_Code;
    }
    return nullptr;
}

const TextKey *CheckSsid(const QString &ssid, const TextKey &emptyKey, const TextKey &longKey)
{
    return CheckSsidBytes(ssid.toUtf8(), emptyKey, longKey);
}

const TextKey *CheckSsidBytes(const QByteArray &ssid, const TextKey &emptyKey, const TextKey &longKey)
{
    if (ssid.isEmpty())
        return &emptyKey;
    if (ssid.size() > SSID_MAX)
        return &longKey;
    return nullptr;
}

const TextKey *CheckWpsPinMethod(bool bridge, const QString &pin, const QByteArray &ssid)
{
    if (!bridge)
        return CheckWpsPin(pin);
    // The bridge's PIN is the device's own: it is not sent, only awaited.
    if (pin.isEmpty())
        return &MessageKey::ER_PIN_Code;
    return CheckSsidBytes(ssid, MessageKey::ER_SSID, MessageKey::ER_SSID);
}

bool IpConfigHolds(const IpConfigRecord &written, const IpConfigRecord &readBack)
{
    if ((written.IpMode != 0) != (readBack.IpMode != 0))
        return false;
    if (written.IpMode != 0)
        return true;
    return written.Ip == readBack.Ip && written.Netmask == readBack.Netmask &&
           written.Gateway == readBack.Gateway;
}

bool WlConfigHolds(const WlConfigRecord &written, const WlConfigRecord &readBack)
{
    if (std::strncmp(written.Ssid, readBack.Ssid, sizeof(written.Ssid)) != 0)
        return false;
    if (written.SecurityMode != readBack.SecurityMode)
        return false;
    if (written.SecurityMode == SECMODE_WEP)
        return written.AuthMode == readBack.AuthMode && written.WepKeyLen == readBack.WepKeyLen;
    if (written.SecurityMode == SECMODE_WPAPSK)
        return written.WpaMode == readBack.WpaMode && written.WpaCipher == readBack.WpaCipher;
    return true;
}
