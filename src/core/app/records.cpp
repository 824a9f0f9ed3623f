#include "app/records.h"

#include "app/globalvar.h"
#include "app/inifile.h"

#include <algorithm>
#include <cstring>

void ResetIpConfig(IpConfigRecord &config)
{
    config = IpConfigRecord{};
    config.IpMode = IP_MODE_DHCP;
}

void ResetWlConfig(WlConfigRecord &config)
{
    const int32_t wirelessMode = config.WirelessMode;
    config = WlConfigRecord{};
    config.WirelessMode = wirelessMode;
    // Only the first 32 characters of the configured name are a network name.
    CopyToField(config.Ssid, ReadText(SettingKey::SSID).left(SSID_MAX));
    config.AuthMode = AUTHMODE_AUTO;
    config.WepKeyLen = WEPKEYLEN_64;
    config.WepKeyIndex = 1;
    config.WpaMode = WPAMODE_AUTO;
    config.WpaCipher = WPACIPHER_AUTO;
}

void CopyToField(char *field, int size, const char *text)
{
    if (!field || size <= 0)
        return;
    std::memset(field, 0, static_cast<size_t>(size));
    if (!text)
        return;
    size_t n = std::strlen(text);
    const auto room = static_cast<size_t>(size - 1);
    if (n > room) {
        n = room;
        // Step back over UTF-8 continuation bytes so no character is split.
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
            --n;
    }
    std::memcpy(field, text, n);
}

void CopyToField(char *field, int size, const QString &text)
{
    CopyToField(field, size, text.toUtf8().constData());
}

QString FieldText(const char *field, int size)
{
    if (!field || size <= 0)
        return QString();
    const void *end = std::memchr(field, 0, static_cast<size_t>(size));
    const qsizetype n = end ? static_cast<const char *>(end) - field : size;
    return QString::fromUtf8(field, n);
}

QByteArray SsidBytes(const char (&field)[SSID_MAX + 1])
{
    return QByteArray(field, static_cast<qsizetype>(strnlen(field, SSID_MAX)));
}

QString SsidText(const QByteArray &bytes)
{
    return IniFile::DecodeText(bytes);
}

QByteArray SsidFromText(const QString &shown, const QByteArray &original)
{
    return shown == SsidText(original) ? original : shown.toUtf8();
}

void SetSsid(char (&field)[SSID_MAX + 1], const QByteArray &bytes)
{
    std::memset(field, 0, sizeof field);
    std::memcpy(field, bytes.constData(), static_cast<size_t>(std::min<qsizetype>(bytes.size(), SSID_MAX)));
}

namespace {
QString Pick(int code, std::initializer_list<const QString *> names)
{
    if (code < 0 || code >= static_cast<int>(names.size()))
        return QString();
    return *names.begin()[code];
}
} // namespace

QString SecurityModeName(int code)
{
    return Pick(code, {&g_Var.SecurityNone, &g_Var.SecurityWEP, &g_Var.SecurityWPAPSK});
}

QString AuthModeName(int code)
{
    return Pick(code, {&g_Var.AuthenOpen, &g_Var.AuthenShared, &g_Var.AuthenAuto});
}

QString WepKeyLenName(int code)
{
    return Pick(code, {&g_Var.WEP64, &g_Var.WEP128});
}

QString WpaModeName(int code)
{
    return Pick(code, {&g_Var.WPA_WPA, &g_Var.WPA_WPA2, &g_Var.WPA_WPAAuto});
}

QString WpaCipherName(int code)
{
    return Pick(code, {&g_Var.CipherTKIP, &g_Var.CipherAES, &g_Var.CipherAuto});
}

QString WirelessModeName(int code)
{
    return Pick(code,
                {&g_Var.WirlessMode_BG, &g_Var.WirlessMode_B, &g_Var.WirlessMode_A, &g_Var.WirlessMode_ABG,
                 &g_Var.WirlessMode_G, &g_Var.WirlessMode_ABGN, &g_Var.WirlessMode_N, &g_Var.WirlessMode_GN,
                 &g_Var.WirlessMode_AN, &g_Var.WirlessMode_BGN});
}

QString SurveyEncryptionName(int code)
{
    static const char *const names[] = {"Not Use", "WEP", "TKIP", "AES", "TKIP/AES"};
    return code >= 0 && code < 5 ? QString::fromLatin1(names[code]) : QString();
}

QString SurveyAuthenticationName(int code)
{
    static const char *const names[] = {"OPEN", "",     "WPA-PSK", "WPA2-PSK", "WPA-PSK/WPA2-PSK",
                                        "WPA",  "WPA2", "WPA/WPA2"};
    return code >= 0 && code < 8 ? QString::fromLatin1(names[code]) : QString();
}
