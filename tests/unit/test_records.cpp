// The device records: their resets, whole-record comparison, the fixed
// text fields and the display names of the value codes.
#include "app/globalvar.h"
#include "app/records.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>

namespace {

class RecordsTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void UseIni(const QByteArray &bytes)
    {
        QFile f(dir.filePath("Setup.ini"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        g_Var.ReadSettings(dir.filePath("Setup.exe"));
    }
    QTemporaryDir dir;
};

TEST_F(RecordsTest, IpRecordsCompareAsAWhole)
{
    IpConfigRecord cur, next;
    cur.Dns2 = 9;
    ResetIpConfig(cur);
    EXPECT_EQ(cur, (IpConfigRecord{IP_MODE_DHCP, 0, 0, 0, 0, 0}));
    cur.IpMode = IP_MODE_STATIC;
    cur.Ip = 0xC0A80A64;
    next = cur;
    EXPECT_TRUE(next == cur);
    // A name server alone makes the records differ although it is never sent.
    next.Dns1 = 0x08080808;
    EXPECT_FALSE(next == cur);
    next = cur;
    next.Dns2 = 1;
    EXPECT_FALSE(next == cur);
}

TEST_F(RecordsTest, ResetWlConfigDefaults)
{
    UseIni("");
    WlConfigRecord r;
    std::memset(static_cast<void *>(&r), 0x5A, sizeof r);
    r.WirelessMode = WLMODE_GN;
    ResetWlConfig(r);
    EXPECT_STREQ(r.Ssid, "wireless");
    EXPECT_EQ(r.StdChannel, 0);
    EXPECT_EQ(r.ExtChannel, 0);
    for (uint8_t ch : r.ChannelList)
        ASSERT_EQ(ch, 0);
    EXPECT_EQ(r.WirelessMode, WLMODE_GN); // left as it was
    EXPECT_EQ(r.SecurityMode, SECMODE_NONE);
    EXPECT_EQ(r.AuthMode, AUTHMODE_AUTO);
    EXPECT_EQ(r.WepKeyLen, WEPKEYLEN_64);
    EXPECT_EQ(r.WepKeyIndex, 1);
    EXPECT_STREQ(r.WepKey, "");
    EXPECT_EQ(r.WpaMode, WPAMODE_AUTO);
    EXPECT_EQ(r.WpaCipher, WPACIPHER_AUTO);
    EXPECT_STREQ(r.Passphrase, "");
    EXPECT_EQ(r.WpsPin, 0u);
    EXPECT_EQ(r.EnrolleePin, 0u);
    // The whole text fields are cleared, not just their first byte.
    for (char c : r.WepKey)
        ASSERT_EQ(c, 0);
}

TEST_F(RecordsTest, ResetWlConfigSsidFromTheFile)
{
    const struct
    {
        QByteArray value;
        QString ssid;
    } rows[] = {
        {"Home", "Home"},
        {QByteArray(40, 'n'), QString(32, u'n')},
        {QByteArray(32, 'x'), QString(32, u'x')},
        {"\"  quoted  \"", "  quoted  "},
        // The field holds 32 bytes: a two-byte character that would end
        // past them is left out whole.
        {QByteArray(31, 'a') + "\xc3\xa9z", QString(31, u'a')},
        {QByteArray(30, 'a') + "\xc3\xa9z", QString(30, u'a') + QString::fromUtf8("é")},
    };
    for (const auto &r : rows) {
        UseIni("[Setting]\nSSID=" + r.value + "\n");
        WlConfigRecord w;
        ResetWlConfig(w);
        EXPECT_EQ(FieldText(w.Ssid), r.ssid) << r.value.constData();
        EXPECT_EQ(w.Ssid[32], '\0');
    }
}

TEST(Records, FixedTextFields)
{
    char field[6];
    CopyToField(field, QStringLiteral("abcdefgh"));
    EXPECT_STREQ(field, "abcde");
    CopyToField(field, QStringLiteral("ab"));
    EXPECT_EQ(std::memcmp(field, "ab\0\0\0\0", 6), 0);
    // A character that does not fit whole is left out, not split.
    CopyToField(field, QString::fromUtf8("abcdé"));
    EXPECT_STREQ(field, "abcd");
    CopyToField(field, 6, static_cast<const char *>(nullptr));
    EXPECT_STREQ(field, "");

    const char full[4] = {'w', 'x', 'y', 'z'}; // no terminator
    EXPECT_EQ(FieldText(full), "wxyz");
    const char shorter[4] = {'a', 0, 'c', 0};
    EXPECT_EQ(FieldText(shorter), "a");
}

TEST(Records, NetworkNamesKeepTheirBytes)
{
    const struct
    {
        QByteArray bytes;
        QString shown;
    } rows[] = {
        {"Home", "Home"},
        {"Caf\xC3\xA9", QString::fromUtf8("Caf\u00e9")},         // valid UTF-8
        {"Caf\xE9-\xFF", QString::fromUtf8("Caf\u00e9-\u00ff")}, // not UTF-8: Windows-1252
        {"\x80\x8D\x9F", QString::fromUtf8("\u20ac\u008d\u0178")},
        {QByteArray(32, '\xE9'), QString(32, QChar(0xE9))},
    };
    for (const auto &r : rows) {
        SurveyEntry e;
        SetSsid(e.Ssid, r.bytes);
        EXPECT_EQ(SsidBytes(e.Ssid), r.bytes);
        EXPECT_EQ(SsidText(e.Ssid), r.shown);
        // Left as shown the bytes stay; a changed text goes as UTF-8.
        EXPECT_EQ(SsidFromText(r.shown, r.bytes), r.bytes);
        EXPECT_EQ(SsidFromText(r.shown + u'!', r.bytes), (r.shown + u'!').toUtf8());
    }
    WlConfigRecord w;
    SetSsid(w.Ssid, QByteArray(40, 'n'));
    EXPECT_EQ(SsidBytes(w.Ssid), QByteArray(32, 'n'));
}

TEST_F(RecordsTest, DisplayNamesFollowTheStringTable)
{
    UseIni("[String]\nSecurityWEP=Wep!\nWirlessMode_AN=a/n only\n");
    EXPECT_EQ(SecurityModeName(SECMODE_NONE), "None");
    EXPECT_EQ(SecurityModeName(SECMODE_WEP), "Wep!");
    EXPECT_EQ(SecurityModeName(SECMODE_WPAPSK), "WPA-PSK");
    EXPECT_EQ(SecurityModeName(3), "");
    EXPECT_EQ(AuthModeName(AUTHMODE_SHARED), "Shared");
    EXPECT_EQ(WepKeyLenName(WEPKEYLEN_128), "128 bit");
    EXPECT_EQ(WpaModeName(WPAMODE_AUTO), "WPA or WPA2");
    EXPECT_EQ(WpaCipherName(WPACIPHER_AES), "AES");
    EXPECT_EQ(WirelessModeName(WLMODE_BG), "2.4GHz 802.11 b/g mixed mode");
    EXPECT_EQ(WirelessModeName(WLMODE_AN), "a/n only");
    EXPECT_EQ(WirelessModeName(WLMODE_BGN), "2.4GHz 802.11 b/g/n mixed mode");
    EXPECT_EQ(WirelessModeName(WLMODE_COUNT), "");
    EXPECT_EQ(WirelessModeName(-1), "");
    g_Var.SecurityWEP = "WEP";
    g_Var.WirlessMode_AN = "2.4GHz 802.11 a/n mixed mode";
}

} // namespace
