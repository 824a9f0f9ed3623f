#include "simrules.h"

#include "app/utility.h"
#include "protocol/packet.h"

using namespace Protocol;

namespace {

bool IsHex(const QByteArray &text)
{
    return IsHexText(QString::fromLatin1(text));
}

// The elements a write named, for the checks across elements.
struct Seen
{
    bool stdChannel = false;
    bool extChannel = false;
    bool wepKey = false;
    bool psk = false;
};

// A one-byte mode element within `max`.
bool TakeMode(uint8_t value, uint8_t max, uint8_t &field)
{
    if (value > max)
        return false;
    field = value;
    return true;
}

bool TakeWepKey(const QByteArray &key, SimWireless &next)
{
    const int n = int(key.size());
    if (n == 5 || n == 13)
        next.wepKeyLen = n == 5 ? 0 : 1;
    else if ((n == 10 || n == 26) && IsHex(key))
        next.wepKeyLen = n == 10 ? 0 : 1;
    else
        return false;
    next.wepKey = key;
    return true;
}

bool TakePassphrase(const QByteArray &psk, SimWireless &next)
{
    if (psk.size() < 8 || psk.size() > 64 || (psk.size() == 64 && !IsHex(psk)))
        return false;
    next.passphrase = psk;
    return true;
}

// Takes one element into `next`; false when the device refuses its value.
bool Take(const SimElement &e, SimWireless &next, Seen &seen)
{
    const uint8_t b = e.value.isEmpty() ? 0 : static_cast<uint8_t>(e.value[0]);
    switch (e.type) {
    case WL_SSID:
        if (e.value.isEmpty() || e.value.size() > 32)
            return false;
        next.ssid = e.value;
        return true;
    case WL_STD_CH:
        seen.stdChannel = true;
        next.stdChannel = b;
        return true;
    case WL_EXT_CH:
        seen.extChannel = true;
        next.extChannel = b;
        return true;
    case WL_MODE:
        return TakeMode(b, 9, next.wirelessMode);
    case WL_SECURITY_MODE:
        return TakeMode(b, 2, next.securityMode);
    case WL_AUTH_MODE:
        return TakeMode(b, 2, next.authMode);
    case WL_WEPKEY:
        seen.wepKey = true;
        return TakeWepKey(e.value, next);
    case WL_WEPKEY_INDEX:
        next.wepKeyIndex = b;
        return true;
    case WL_WPA_MODE:
        return TakeMode(b, 2, next.wpaMode);
    case WL_WPA_CIPHER:
        return TakeMode(b, 2, next.wpaCipher);
    case WL_WPA_PSK:
        seen.psk = true;
        return TakePassphrase(e.value, next);
    default:
        return true;
    }
}

} // namespace

std::vector<SimElement> SimElements(const QByteArray &payload)
{
    std::vector<SimElement> elements;
    TlvWalker walker(reinterpret_cast<const uint8_t *>(payload.constData()), size_t(payload.size()));
    Tlv t;
    while (walker.Next(t))
        elements.push_back({t.type, QByteArray(reinterpret_cast<const char *>(t.value), t.length)});
    return elements;
}

bool ApplyWireless(const std::vector<SimElement> &elements, SimWireless &profile)
{
    SimWireless next = profile;
    Seen seen;
    for (const SimElement &e : elements) {
        if (!Take(e, next, seen))
            return false;
    }
    if (next.securityMode == 1 && !seen.wepKey)
        return false;
    if (next.securityMode == 2 && !seen.psk)
        return false;
    // Automatic channel: no extension channel is sent, none is kept.
    if (seen.stdChannel && !seen.extChannel)
        next.extChannel = 0;
    profile = next;
    return true;
}
