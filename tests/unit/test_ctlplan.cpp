// The plans of wizardctl apply: what show --json prints is read back as an
// entry, every fault is named with its line and key, and the changes from
// a device's configuration to the plan's, secrets masked.
#include "ctlplandiff.h"

#include "app/utility.h"
#include "app/validation.h"

#include <gtest/gtest.h>

namespace {

// An entry as show --json prints it for a static WPA2 access point.
const char kShown[] = R"({
    "device": {"ip": "10.77.0.2", "localIp": "10.77.0.1", "localMask": "255.255.255.0",
               "mac": "02:00:4C:00:00:01", "name": "AP-0001"},
    "deviceMode": {"code": 1, "name": "Access Point"},
    "ip": {"gateway": "0.0.0.0", "ip": "192.168.7.10", "ipMode": {"code": 0, "name": "Static"},
           "netmask": "255.255.255.0"},
    "wireless": {"authMode": {"code": 2, "name": "Auto"}, "channelList": [1, 2, 3], "extChannel": 0,
                 "securityMode": {"code": 2, "name": "WPA-PSK"}, "ssid": "Caf\u00e9-\u00ff", "ssidHex": "436166E92DFF",
                 "stdChannel": 11, "wepKeyLen": {"code": 0, "name": "64 bit"},
                 "wpaCipher": {"code": 1, "name": "AES"}, "wpaMode": {"code": 1, "name": "WPA2"},
                 "wpsPin": "12345670"}
})";

// Readable in a failure: the lines joined.
std::string Lines(const QStringList &list)
{
    return list.join('\n').toStdString();
}

std::string Faults(const Plan &plan)
{
    QStringList list;
    for (const PlanRemark &r : plan.faults)
        list << RemarkText("p", r);
    return Lines(list);
}

TEST(CtlPlan, ShowOutputIsAnEntryAndAListChoosesByMacOrName)
{
    const Plan one = ParsePlan(kShown, {});
    ASSERT_TRUE(one.faults.empty()) << Faults(one);
    ASSERT_EQ(one.entries.size(), 1u);
    const PlanEntry &e = one.entries[0];
    EXPECT_TRUE(e.hasMac);
    EXPECT_EQ(FormatMac(e.mac), "02:00:4C:00:00:01");
    EXPECT_EQ(e.deviceMode, DEVICE_AP);
    ASSERT_TRUE(e.ip && !e.ip->dhcp);
    EXPECT_EQ(IpToText(e.ip->record.Ip), "192.168.7.10");
    EXPECT_EQ(e.ip->record.Gateway, 0u) << "0.0.0.0 is no gateway";
    ASSERT_TRUE(e.wireless);
    EXPECT_EQ(e.wireless->ssid, QByteArray::fromHex("436166E92DFF"))
        << "the exact bytes, not the text's UTF-8";
    EXPECT_EQ(e.wireless->security, SECMODE_WPAPSK);
    EXPECT_EQ(e.wireless->wpaMode, WPAMODE_WPA2);
    EXPECT_FALSE(e.wireless->hasSecret);

    const Plan list = ParsePlan(R"([{"device": {"name": "Hall"}, "deviceMode": "bridge", "password": "s3cret",
                                      "ip": {"ipMode": "dhcp"}},
                                     {"device": {"mac": "02-00-4c-00-00-02"}, "wireless": {"ssid": "Up",
                                      "securityMode": "wep", "wepKeyLen": "128", "key": "abcdefghijklm"}}])",
                                {});
    ASSERT_TRUE(list.faults.empty()) << Faults(list);
    ASSERT_EQ(list.entries.size(), 2u);
    EXPECT_FALSE(list.entries[0].hasMac);
    EXPECT_EQ(list.entries[0].name, "Hall");
    EXPECT_EQ(list.entries[0].deviceMode, DEVICE_WBRIDGE);
    EXPECT_EQ(list.entries[0].password, "s3cret");
    EXPECT_TRUE(list.entries[0].ip->dhcp);
    EXPECT_EQ(list.entries[1].line, 3);
    EXPECT_EQ(list.entries[1].wireless->wepLength, WEPKEYLEN_128);
    EXPECT_TRUE(list.entries[1].wireless->hasSecret);
}

TEST(CtlPlan, EveryFaultIsNamedWithItsLineAndKey)
{
    struct Case
    {
        const char *plan;
        QStringList faults;
    };
    const Case cases[] = {
        {"{\"device\": {\"mac\": \"02:00:4C:00:00:01\"},\n \"wireless\": {\"ssid\": \"x\",\n"
         " \"securityMode\": \"wpa-psk\",\n \"passphrase\": \"short\"}}",
         {"p:4: wireless.passphrase: Passphrase should be between 8 to 63 charachers in ASCII format. "
          "[ER_PSKKey]"}},
        // Every fault of a plan at once, in the order of the lines.
        {"[{\"device\": {\"mac\": \"nope\"}},\n {\"device\": {\"name\": \"A\"}, \"colour\": 1,\n"
         "  \"ip\": {\"ip\": \"127.0.0.1\"}},\n {\"device\": {}, \"deviceMode\": \"hub\"}]",
         {"p:1: device.mac: \"nope\" is not a MAC address", "p:2: colour: unknown key",
          "p:3: ip.ip: The IP Address entered is invalid. [ErIPAddr]", "p:4: device: needs mac or name",
          "p:4: deviceMode: takes one of ap (1), bridge (2)"}},
        {"{\"device\": {\"name\": \"A\"},\n \"wireless\": {\"ssid\": \"Other\", \"ssidHex\": \"4142\"}}",
         {"p:2: wireless.ssid: names another network than ssidHex (\"AB\"): give one"}},
        {"{\"device\": {\"name\": \"A\"},\n \"deviceMode\": {\"code\": 1,\n \"name\": \"AP Client\"}}",
         {"p:3: deviceMode.name: \"AP Client\" is not the name of code 1: change both or give one"}},
        {"{\"device\": {\"name\": \"A\"}, \"deviceMode\": \"bridge\",\n \"wireless\": {\"ssid\": \"x\", "
         "\"securityMode\": \"wep\",\n \"authMode\": \"auto\", \"key\": \"abcde\"}}",
         {"p:3: wireless.authMode: an AP Client authenticates with open or shared only"}},
        {"{\"device\": {\"name\": \"A\"},\n \"wireless\": {\"ssid\": \"x\", \"key\": \"abcde\"},\n"
         " \"password\": \"seventeen-chars!!\"}",
         {"p:2: wireless.key: goes with securityMode wep",
          "p:3: password: the password has at most 16 characters"}},
        {"[{\"device\": {\"mac\": \"02:00:4C:00:00:01\"}},\n {\"device\": {\"mac\": \"02:00:4c:00:00:01\"}}]",
         {"p:2: device.mac: the entry at line 1 chooses this device too"}},
        {"{\"device\": {\"name\": \"A\"},\n \"device\": {\"name\": \"B\"}}", {"p:2: device: given twice"}},
        {"{\"device\": {\"name\": \"A\"},\n \"ip\": {\"ipMode\": \"static\"\n \"ip\": \"1.2.3.4\"}}",
         {"p:3: not JSON: unterminated object"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Faults(ParsePlan(c.plan, {})), Lines(c.faults)) << c.plan;
}

TEST(CtlPlan, ChangesGoFromTheDeviceToThePlanWithSecretsMasked)
{
    WlConfigRecord current{};
    SetSsid(current.Ssid, "Old");
    current.SecurityMode = SECMODE_WPAPSK;
    current.WpaMode = WPAMODE_AUTO;
    current.WpaCipher = WPACIPHER_AUTO;
    current.StdChannel = 6;
    WirelessWanted w{.ssid = "Old", .security = SECMODE_WPAPSK, .wpaMode = WPAMODE_AUTO};
    const auto texts = [](const std::vector<Change> &changes) {
        QStringList list;
        for (const Change &c : changes)
            list << ChangeText(c);
        return Lines(list);
    };
    // Unchanged when every reported field matches: the channel is the device's choice.
    EXPECT_EQ(texts(WirelessChanges(current, NextWireless(w, current, true))), "");
    PlanEntry entry;
    entry.wireless = w;
    entry.secretKey = "wireless.passphrase";
    EXPECT_FALSE(WirelessFault(entry, DEVICE_AP, current, false)) << "nothing to write, nothing wiped";

    w.wpaMode = WPAMODE_WPA2;
    entry.wireless = w;
    EXPECT_EQ(texts(WirelessChanges(current, NextWireless(w, current, true))),
              Lines({"wireless.wpaMode WPA or WPA2 -> WPA2 Only", "wireless.wpaCipher TKIP and AES -> AES",
                     "wireless.passphrase changed"}));
    const std::optional<PlanRemark> fault = WirelessFault(entry, DEVICE_AP, current, false);
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->key, "wireless.passphrase") << "writing without it would wipe the device's";

    IpConfigRecord ip{};
    ip.IpMode = IP_MODE_DHCP;
    ip.Ip = 0x0A000005;
    PlanIp wanted{.dhcp = false, .record = {.Ip = 0x0A000006, .Netmask = 0xFF000000}};
    EXPECT_EQ(
        texts(IpChanges(ip, NextIp(wanted, ip))),
        Lines({"ip.ipMode DHCP -> Static", "ip.ip 10.0.0.5 -> 10.0.0.6", "ip.netmask 0.0.0.0 -> 255.0.0.0"}));
    EXPECT_EQ(texts(IpChanges(ip, NextIp({.dhcp = true}, ip))), "") << "a DHCP address is the server's";
    EXPECT_EQ(texts(ModeChanges(DEVICE_AP, DEVICE_WBRIDGE)), "deviceMode Access Point -> AP Client");
}

} // namespace
