// The input rules shared by the pages and the command-line client: the
// static address rules in their order, WEP keys, passphrases, PINs and
// names, and the read-back checks.
#include "app/validation.h"

#include "app/globalvar.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

const char *KeyName(const TextKey *key)
{
    return key ? key->Key : "valid";
}

struct AddressCase
{
    const char *ip;
    const char *mask;
    const char *gateway;
    const char *expected; // message key, or "valid"
};

class StaticAddress : public ::testing::TestWithParam<AddressCase>
{
};

TEST_P(StaticAddress, FirstFailingRuleGivesItsKey)
{
    const AddressCase &c = GetParam();
    const TextKey *key = CheckStaticAddress(AddressInput::FromText(c.ip), AddressInput::FromText(c.mask),
                                            AddressInput::FromText(c.gateway), {"10.77.0.1", "10.77.1.1"});
    EXPECT_STREQ(KeyName(key), c.expected) << c.ip << " / " << c.mask << " / " << c.gateway;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, StaticAddress,
    ::testing::Values(AddressCase{"192.168.10.100", "255.255.255.0", "192.168.10.1", "valid"},
                      AddressCase{"192.168.10.100", "255.255.255.0", "",
                                  "valid"}, // an empty gateway ends the checks
                      AddressCase{"10.1.2.3", "255.0.0.0", " ", "valid"},
                      AddressCase{"10.1.2.3", "255.0.0.0", "10.0.0.1", "valid"},
                      AddressCase{"192.168.1.129", "255.255.255.128", "192.168.1.130", "valid"},
                      // Rule 1: every octet present (and, typed, a number up to 255).
                      AddressCase{"", "255.255.255.0", "", "ErIPAddr"},
                      AddressCase{"192.168.10", "255.255.255.0", "", "ErIPAddr"},
                      AddressCase{"192.168..1", "255.255.255.0", "", "ErIPAddr"},
                      AddressCase{"192.168.1.256", "255.255.255.0", "", "ErIPAddr"},
                      AddressCase{"192.168.1.x", "255.255.255.0", "", "ErIPAddr"},
                      AddressCase{"1.2.3.4.5", "255.0.0.0", "", "ErIPAddr"},
                      // Rule 2: not 0, not loopback, below 224.0.0.0; checked before the mask.
                      AddressCase{"0.0.0.0", "", "", "ErIPAddr"},
                      AddressCase{"0.0.0.254", "255.255.255.0", "", "ErIPAddr"},
                      AddressCase{"0.1.2.3", "255.0.0.0", "", "ErIPAddr"},
                      AddressCase{"127.0.0.1", "255.0.0.0", "", "ErIPAddr"},
                      AddressCase{"127.0.0.1", "255.0.0.255", "", "ErIPAddr"},
                      AddressCase{"224.0.0.1", "255.255.255.0", "", "ErIPAddr"},
                      AddressCase{"239.1.2.3", "255.255.255.0", "", "ErIPAddr"},
                      AddressCase{"223.255.255.1", "255.255.255.0", "", "valid"},
                      // Rules 3 and 4: the mask.
                      AddressCase{"192.168.1.10", "", "", "ErSubnetMask"},
                      AddressCase{"192.168.1.10", "255.255.255", "", "ErSubnetMask"},
                      AddressCase{"192.168.1.10", "255.255.0.255", "", "ErSubnetMask"},
                      AddressCase{"192.168.1.10", "255.0.255.0", "", "ErSubnetMask"},
                      AddressCase{"192.168.1.10", "0.0.0.0", "", "ErSubnetMask"},
                      AddressCase{"192.168.1.10", "255.255.255.255", "", "ErSubnetMask"},
                      AddressCase{"192.168.1.10", "255.255.255.252", "", "valid"},
                      // Rule 5: host part neither all zeros nor all ones.
                      AddressCase{"192.168.1.0", "255.255.255.0", "", "ErIPAddr"},
                      AddressCase{"10.0.255.255", "255.255.0.0", "", "ErIPAddr"},
                      AddressCase{"192.168.1.127", "255.255.255.128", "", "ErIPAddr"},
                      // Rule 6: not the PC's own address.
                      AddressCase{"10.77.1.1", "255.255.255.0", "", "ErIPSameAsLocahost"},
                      // Rules 8 and 9: the gateway.
                      AddressCase{"192.168.1.10", "255.255.255.0", "192.168.2.1", "ErDefaultGateway"},
                      AddressCase{"192.168.1.10", "255.255.255.0", "192.168.1.0", "ErDefaultGateway"},
                      AddressCase{"192.168.1.10", "255.255.255.0", "192.168.1.255", "ErDefaultGateway"},
                      AddressCase{"192.168.1.10", "255.255.255.0", "192.168.1", "ErDefaultGateway"},
                      // The address rules come before the gateway's.
                      AddressCase{"192.168.1.0", "255.255.255.0", "10.0.0.1", "ErIPAddr"}));

TEST(AddressHelpers, BroadcastCorrectionAndMaskProposal)
{
    EXPECT_EQ(CorrectBroadcastAddress("192.168.0.255"), "192.168.0.254");
    EXPECT_EQ(CorrectBroadcastAddress("192.168.0.25"), "192.168.0.25");
    EXPECT_EQ(CorrectBroadcastAddress("255.255.255.1"), "255.255.255.1");
    EXPECT_EQ(CorrectBroadcastAddress("nodots"), "nodots");
    // An empty octet is refused as it stands, not filled in.
    EXPECT_EQ(CorrectBroadcastAddress("...255"), "...255");
    // The corrected address then passes the rules with a /24 mask.
    EXPECT_EQ(CheckStaticAddress(AddressInput::FromText(CorrectBroadcastAddress("192.168.0.255")),
                                 AddressInput::FromText("255.255.255.0"), AddressInput{}, {}),
              nullptr);

    EXPECT_EQ(ProposedMask(AddressInput::FromText("10.0.0.1")), "255.0.0.0");
    EXPECT_EQ(ProposedMask(AddressInput::FromText("127.9.9.9")), "255.0.0.0");
    EXPECT_EQ(ProposedMask(AddressInput::FromText("128.0.0.1")), "255.255.0.0");
    EXPECT_EQ(ProposedMask(AddressInput::FromText("172.16.0.1")), "255.255.0.0");
    EXPECT_EQ(ProposedMask(AddressInput::FromText("191.255.0.1")), "255.255.0.0");
    EXPECT_EQ(ProposedMask(AddressInput::FromText("192.168.1.1")), "255.255.255.0");
    EXPECT_EQ(ProposedMask(AddressInput::FromText("223.1.1.1")), "255.255.255.0");
    EXPECT_EQ(ProposedMask(AddressInput::FromText("")), "");
    EXPECT_EQ(ProposedMask(AddressInput::FromText(".1.2.3")), "");

    const AddressInput a = AddressInput::FromText(" 10 . 1.2.3");
    EXPECT_TRUE(a.IsComplete());
    EXPECT_EQ(a.Value(), 0x0A010203u);
    EXPECT_EQ(a.Text(), "10.1.2.3");
    EXPECT_TRUE(AddressInput::FromText("").IsEmpty());
    EXPECT_FALSE(AddressInput::FromText("1.2.3.4.5").IsEmpty());
}

struct KeyCase
{
    int length;
    const char *key;
    const char *expected;
    const char *stored; // WepKeyText for a valid key
};

TEST(WepKey, LengthsFormatsAndMessages)
{
    const KeyCase cases[] = {
        {WEPKEYLEN_64, "a!b c", "valid", "a!b c"},
        {WEPKEYLEN_64, "0123456789", "valid", "0123456789"},
        {WEPKEYLEN_64, "abcdef0123", "valid", "ABCDEF0123"},
        {WEPKEYLEN_64, "ABCDEF0123", "valid", "ABCDEF0123"},
        {WEPKEYLEN_64, "abcdefghij", "ER_WEP64Hex", ""},
        {WEPKEYLEN_64, "1234567", "ER_WEP64", ""},
        {WEPKEYLEN_64, "", "ER_WEP64", ""},
        {WEPKEYLEN_64, "0123456789A", "ER_WEP64", ""},
        {WEPKEYLEN_128, "thirteen-char", "valid", "thirteen-char"},
        {WEPKEYLEN_128, "0123456789abcdef0123456789", "valid", "0123456789ABCDEF0123456789"},
        {WEPKEYLEN_128, "0123456789abcdef012345678g", "ER_WEP128Hex", ""},
        {WEPKEYLEN_128, "01234567890123456789", "ER_WEP128", ""},
        {WEPKEYLEN_128, "abcde", "ER_WEP128", ""},
        {WEPKEYLEN_128, "0123456789", "ER_WEP128", ""},
        {WEPKEYLEN_128, "", "ER_WEP128", ""},
        {7, "abcde", "ER_WEPKey", ""},
        // Outside printable ASCII: the length rule's message, whatever the
        // length ("äöx" is 5 bytes, five "ä" are 10).
        {WEPKEYLEN_64, "\xC3\xA4\xC3\xB6x", "ER_WEP64", ""},
        {WEPKEYLEN_64, "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4", "ER_WEP64", ""},
        {WEPKEYLEN_64, "abc\tx", "ER_WEP64", ""},
        {WEPKEYLEN_128, "twelve-chars\t", "ER_WEP128", ""},
        {WEPKEYLEN_128, "0123456789ab\x7F", "ER_WEP128", ""},
    };
    for (const KeyCase &c : cases) {
        const QString key = QString::fromUtf8(c.key);
        EXPECT_STREQ(KeyName(CheckWepKey(c.length, key)), c.expected) << c.key;
        EXPECT_EQ(WepKeyText(c.length, key), QString::fromUtf8(c.stored)) << c.key;
    }
}

TEST(WepKey, SpecificMessagesFallBackToTheGeneralText)
{
    // Without a settings file the four specific keys show the ER_WEPKey text.
    EXPECT_EQ(MessageText(*CheckWepKey(WEPKEYLEN_128, "x")),
              "You have entered an incorrect WEP key. Please try again.");
}

TEST(Passphrase, LengthAndHexRules)
{
    const std::pair<QString, const char *> cases[] = {
        {"", "ER_PSKKey"},
        {"1234567", "ER_PSKKey"},
        {"12345678", "valid"},
        {QString(63, u'~'), "valid"},
        {QString("Mixed Case ") + QString(52, u'z'), "valid"},
        {QString(64, u'a'), "valid"},
        {QString("0123456789abcdefABCDEF0123456789abcdefABCDEF0123456789abcdef0123"), "valid"},
        {QString(63, u'a') + u'g', "ER_PSKKeyHex"},
        {QString(65, u'a'), "ER_PSKKey"},
        // Outside printable ASCII: the length rule's message.
        {QString(30, QChar(0x20AC)), "ER_PSKKey"},
        // 32 two-byte characters: 64 bytes, still not the hexadecimal rule.
        {QString(31, QChar(0xE9)), "ER_PSKKey"},
        {QString(32, QChar(0xE9)), "ER_PSKKey"},
        {QString(10, u'a') + QChar(0xE4), "ER_PSKKey"},
        {QString(63, u'a') + QChar(0xE4), "ER_PSKKey"},
        {QString("pass\nword"), "ER_PSKKey"},
        {QString("abcde\x01fghi"), "ER_PSKKey"},
    };
    for (const auto &[text, expected] : cases)
        EXPECT_STREQ(KeyName(CheckPassphrase(text)), expected) << text.size();
    EXPECT_EQ(MessageText(MessageKey::ER_PSKKey),
              "Passphrase should be between 8 to 63 charachers in ASCII format.");
}

TEST(PinAndSsid, Rules)
{
    EXPECT_EQ(CheckWpsPin("12345670"), nullptr);
    EXPECT_EQ(CheckWpsPin("00000001"), nullptr);
    for (const char *bad : {"", "1234567", "123456789", "1234567a", " 1234567", "+1234567"})
        EXPECT_STREQ(KeyName(CheckWpsPin(bad)), "ER_PIN_Code") << bad;

    EXPECT_STREQ(KeyName(CheckSsid("")), "ER_Empty_SSID");
    EXPECT_STREQ(KeyName(CheckSsid("", MessageKey::ER_SSID)), "ER_SSID");
    EXPECT_EQ(CheckSsid(QString(32, u's')), nullptr);
    EXPECT_STREQ(KeyName(CheckSsid(QString(33, u's'))), "ER_SSID_Long");
    // 11 characters of three bytes: 33 bytes would be cut by the record field.
    EXPECT_STREQ(KeyName(CheckSsid(QString(11, QChar(0x20AC)))), "ER_SSID_Long");
    EXPECT_EQ(CheckSsid(QString(10, QChar(0x20AC))), nullptr);
    // The pages name a name too long with their own key.
    EXPECT_STREQ(KeyName(CheckSsid(QString(20, QChar(0xE9)), MessageKey::ER_Empty_SSID, MessageKey::ER_SSID)),
                 "ER_SSID");

    // The WPS page: an access point checks the PIN typed; a bridge only has
    // its own PIN to wait for, and the name of the access point to join.
    const struct
    {
        bool bridge;
        const char *pin;
        QByteArray ssid;
        const char *expected;
    } wps[] = {
        {false, "12345670", "", "valid"},
        {false, "", "Home", "ER_PIN_Code"},
        {false, "1234567", "", "ER_PIN_Code"},
        {true, "87654321", "Home", "valid"},
        {true, "PIN-TEXT", QByteArray(32, 's'), "valid"},
        {true, "", "Home", "ER_PIN_Code"},
        {true, "87654321", "", "ER_SSID"},
        {true, "87654321", QByteArray(33, 's'), "ER_SSID"},
    };
    for (const auto &c : wps)
        EXPECT_STREQ(KeyName(CheckWpsPinMethod(c.bridge, c.pin, c.ssid)), c.expected) << c.bridge << c.pin;
}

TEST(WpaCipher, FollowsTheMode)
{
    EXPECT_EQ(WpaCipherForMode(WPAMODE_WPA), WPACIPHER_TKIP);
    EXPECT_EQ(WpaCipherForMode(WPAMODE_WPA2), WPACIPHER_AES);
    EXPECT_EQ(WpaCipherForMode(WPAMODE_AUTO), WPACIPHER_AUTO);
    EXPECT_EQ(WpaCipherForMode(-1), WPACIPHER_AUTO);
}

TEST(ReadBack, IpConfigHolds)
{
    IpConfigRecord written{};
    written.IpMode = IP_MODE_STATIC;
    written.Ip = 0xC0A80A64;
    written.Netmask = 0xFFFFFF00;
    written.Gateway = 0xC0A80A01;
    IpConfigRecord read = written;
    read.Dns1 = 0x08080808; // never sent, never compared
    EXPECT_TRUE(IpConfigHolds(written, read));
    read.Gateway = 0;
    EXPECT_FALSE(IpConfigHolds(written, read));
    read = written;
    read.IpMode = IP_MODE_DHCP;
    EXPECT_FALSE(IpConfigHolds(written, read));

    IpConfigRecord dhcp{};
    dhcp.IpMode = IP_MODE_DHCP;
    read.IpMode = 5; // any non-zero mode is DHCP; the device's own address may be anything
    EXPECT_TRUE(IpConfigHolds(dhcp, read));
    read.IpMode = IP_MODE_STATIC;
    EXPECT_FALSE(IpConfigHolds(dhcp, read));
}

TEST(ReadBack, WlConfigHoldsComparesWhatTheDeviceReports)
{
    WlConfigRecord written{};
    std::strcpy(written.Ssid, "Lab-AP");
    written.SecurityMode = SECMODE_WPAPSK;
    written.WpaMode = WPAMODE_WPA2;
    written.WpaCipher = WPACIPHER_AES;
    std::strcpy(written.Passphrase, "secret-passphrase");
    written.WirelessMode = WLMODE_BGN;

    WlConfigRecord read{};
    std::strcpy(read.Ssid, "Lab-AP");
    read.SecurityMode = SECMODE_WPAPSK;
    read.WpaMode = WPAMODE_WPA2;
    read.WpaCipher = WPACIPHER_AES;
    read.StdChannel = 6;             // the device chose a channel
    read.AuthMode = AUTHMODE_SHARED; // not part of WPA settings
    EXPECT_TRUE(WlConfigHolds(written, read)) << "passphrase and wireless mode are never read back";

    WlConfigRecord other = read;
    std::strcpy(other.Ssid, "Lab-AP2");
    EXPECT_FALSE(WlConfigHolds(written, other));
    other = read;
    other.WpaCipher = WPACIPHER_AUTO;
    EXPECT_FALSE(WlConfigHolds(written, other));
    other = read;
    other.SecurityMode = SECMODE_NONE;
    EXPECT_FALSE(WlConfigHolds(written, other));

    written.SecurityMode = SECMODE_WEP;
    written.AuthMode = AUTHMODE_SHARED;
    written.WepKeyLen = WEPKEYLEN_128;
    other = read;
    other.SecurityMode = SECMODE_WEP;
    other.AuthMode = AUTHMODE_SHARED;
    other.WepKeyLen = WEPKEYLEN_64;
    EXPECT_FALSE(WlConfigHolds(written, other));
    other.WepKeyLen = WEPKEYLEN_128;
    EXPECT_TRUE(WlConfigHolds(written, other));
}

} // namespace
