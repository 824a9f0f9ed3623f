#include "ctlsettings.h"

#include "app/utility.h"
#include "app/validation.h"

#include <cstring>

bool ChooseWord(const QString &text, const SettingWords &words, int &code)
{
    const QString lower = text.toLower();
    for (const SettingWord &w : words) {
        if (lower == QLatin1String(w.word)) {
            code = w.code;
            return true;
        }
    }
    return false;
}

StaticAddress CheckStatic(const QString &ip, const QString &mask, bool hasMask, const QString &gateway,
                          const QStringList &localAddresses)
{
    StaticAddress s;
    s.ipText = CorrectBroadcastAddress(ip);
    s.corrected = s.ipText != ip;
    const AddressInput address = AddressInput::FromText(s.ipText);
    s.maskText = mask;
    if (!hasMask) {
        s.maskText = ProposedMask(address);
        s.proposed = !s.maskText.isEmpty();
    }
    const AddressInput netmask = AddressInput::FromText(s.maskText);
    const AddressInput gw = AddressInput::FromText(gateway);
    s.fault = CheckStaticAddress(address, netmask, gw, localAddresses);
    if (s.fault == &MessageKey::ErSubnetMask)
        s.field = StaticAddress::Field::Mask;
    else if (s.fault == &MessageKey::ErDefaultGateway)
        s.field = StaticAddress::Field::Gateway;
    s.record.IpMode = IP_MODE_STATIC;
    s.record.Ip = address.Value();
    s.record.Netmask = netmask.Value();
    s.record.Gateway = gw.Value();
    return s;
}

WlConfigRecord NextWireless(const WirelessWanted &w, WlConfigRecord next, bool ap)
{
    SetSsid(next.Ssid, w.ssid);
    next.StdChannel = 0;
    next.ExtChannel = 0;
    next.WirelessMode = w.wirelessMode;
    next.SecurityMode = w.security;
    if (w.security == SECMODE_NONE) {
        next.AuthMode = AUTHMODE_OPEN;
        next.WepKeyLen = WEPKEYLEN_64;
        next.WepKeyIndex = 1;
        std::memset(next.WepKey, 0, sizeof(next.WepKey));
        next.WpaMode = WPAMODE_AUTO;
        next.WpaCipher = WPACIPHER_AUTO;
        std::memset(next.Passphrase, 0, sizeof(next.Passphrase));
    } else if (w.security == SECMODE_WEP) {
        next.WepKeyLen = w.wepLength;
        CopyToField(next.WepKey, WepKeyText(w.wepLength, w.key));
        next.AuthMode = w.auth >= 0 ? w.auth : (ap ? AUTHMODE_AUTO : AUTHMODE_OPEN);
    } else {
        next.WpaMode = w.wpaMode;
        next.WpaCipher = WpaCipherForMode(w.wpaMode);
        CopyToField(next.Passphrase, w.passphrase);
    }
    return next;
}

std::optional<QByteArray> BytesFromHex(const QString &hex)
{
    QByteArray digits;
    for (const QChar c : hex) {
        const char16_t u = c.unicode();
        if (u == u' ' || u == u':')
            continue;
        if (!((u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F')))
            return std::nullopt;
        digits.append(char(u));
    }
    if (digits.size() % 2 != 0)
        return std::nullopt;
    return QByteArray::fromHex(digits);
}
