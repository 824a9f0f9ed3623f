// The in-process network the engine's tests run on, and the simulated
// device that plays the other end both there and in the network lab. The
// device is driven with the wizard's own request builders and its answers
// are read with the wizard's own decoders, so both sides agree byte for
// byte before any engine test relies on them.
#include "core/fakenetwork.h"

#include "app/records.h"
#include "app/timing.h"
#include "protocol/packet.h"
#include "protocol/protocolcodec.h"
#include "protocol/rc4encry.h"

#include <QHostAddress>
#include <gtest/gtest.h>

using namespace Protocol;

namespace {

const MacAddress kPcMac0{0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
const MacAddress kPcMac1{0x00, 0x11, 0x22, 0x33, 0x44, 0x66};
const MacAddress kDevMac{0x02, 0x00, 0x4C, 0x00, 0x00, 0x01};

AdapterList TwoAdapters()
{
    return {FakeNetwork::MakeAdapter("eth0", kPcMac0, {{"0.0.0.0", "0.0.0.0"}, {"192.168.1.10", "255.255.255.0"}}),
            FakeNetwork::MakeAdapter("eth1", kPcMac1, {{"10.0.0.5", "255.0.0.0"}, {"10.0.0.6", "255.0.0.0"}})};
}

// A wizard-side socket that sends requests enciphered under `password` and
// keeps the answers it gets, deciphered.
class Client
{
public:
    Client(const QString &iface, const QString &ip)
    {
        socket_ = DatagramSocketFactory::Current().Create();
        EXPECT_TRUE(socket_->Open(iface, ip, kWizardPort));
        socket_->SetReadyCallback([this] {
            ReceivedDatagram d;
            if (socket_->Recv(d) > 0)
                received_.push_back(d);
        });
    }

    void Send(Request request, const QByteArray &password)
    {
        CipherPayload(std::string_view(password.constData(), size_t(password.size())), request.Data() + kHeaderSize,
                      request.PayloadLength());
        socket_->SendTo(QByteArray(reinterpret_cast<const char *>(request.Data()), int(request.Size())),
                        kDevicePort, "255.255.255.255");
    }

    // Waits for `count` datagrams; returns them all with their payloads
    // deciphered (except discovery's).
    std::vector<QByteArray> Answers(size_t count, const QByteArray &password, int timeoutMs = 1000)
    {
        FakeNetwork::WaitFor([&] { return received_.size() >= count; }, timeoutMs);
        std::vector<QByteArray> out;
        for (const ReceivedDatagram &d : received_) {
            QByteArray bytes = d.data;
            if (bytes.size() > int(kHeaderSize) && uint8_t(bytes[15]) != CMD_DISCOVER)
                CipherPayload(std::string_view(password.constData(), size_t(password.size())),
                              reinterpret_cast<uint8_t *>(bytes.data()) + kHeaderSize, bytes.size() - kHeaderSize);
            out.push_back(bytes);
        }
        return out;
    }

    std::vector<ReceivedDatagram> &Raw() { return received_; }
    void Clear() { received_.clear(); }

private:
    std::unique_ptr<DatagramSocket> socket_;
    std::vector<ReceivedDatagram> received_;
};

const uint8_t *Payload(const QByteArray &datagram)
{
    return reinterpret_cast<const uint8_t *>(datagram.constData()) + kHeaderSize;
}
size_t PayloadSize(const QByteArray &datagram)
{
    return size_t(datagram.size()) - kHeaderSize;
}

class FakeNetworkTest : public ::testing::Test
{
protected:
    void SetUp() override { net_.SetAdapters(TwoAdapters()); }
    FakeNetwork net_;
};

} // namespace

TEST_F(FakeNetworkTest, InstallsItselfAsBothSeamsForItsLifetime)
{
    EXPECT_EQ(&AdapterSource::Current(), static_cast<AdapterSource *>(&net_));
    EXPECT_EQ(&DatagramSocketFactory::Current(), static_cast<DatagramSocketFactory *>(&net_));
    {
        FakeNetwork inner;
        EXPECT_EQ(&AdapterSource::Current(), static_cast<AdapterSource *>(&inner));
    }
    EXPECT_NE(&AdapterSource::Current(), static_cast<AdapterSource *>(&net_)) << "restored to the real source";
    AdapterSource::SetCurrent(&net_);
    DatagramSocketFactory::SetCurrent(&net_);
}

TEST_F(FakeNetworkTest, AdapterListsAsConfigured)
{
    const auto list = net_.GetAdapters();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 2u);
    EXPECT_EQ((*list)[0].addresses[0].ip, "0.0.0.0");
    EXPECT_EQ((*list)[1].addresses.size(), 2u);
    net_.SetAdapterListFails(true);
    EXPECT_FALSE(net_.GetAdapters());
}

TEST_F(FakeNetworkTest, GetLocalAdapterSkipsZeroAddresses)
{
    const AdapterList list = TwoAdapters();
    struct Case
    {
        QString asked;
        bool found;
        QString address, netmask;
        MacAddress mac;
    } cases[] = {
        {"", true, "192.168.1.10", "255.255.255.0", kPcMac0},
        {"10.0.0.6", true, "10.0.0.6", "255.0.0.0", kPcMac1},
        {"10.9.9.9", false, "10.9.9.9", "255.255.255.0", {}},
    };
    for (const Case &c : cases) {
        QString address = c.asked, netmask, gateway;
        MacAddress mac{};
        EXPECT_EQ(GetLocalAdapter(list, address, netmask, gateway, mac), c.found) << c.asked.toStdString();
        EXPECT_EQ(address, c.address);
        EXPECT_EQ(netmask, c.netmask) << "the first usable entry's mask when nothing matches";
        EXPECT_EQ(mac, c.mac);
    }
    QString address, netmask, gateway;
    MacAddress mac{};
    EXPECT_FALSE(GetLocalAdapter({FakeNetwork::MakeAdapter("x", kPcMac0, {{"0.0.0.0", "0.0.0.0"}})}, address,
                                 netmask, gateway, mac));
}

TEST(AdapterChoice, OnlyUpCarrierBroadcastNonLoopbackInterfacesAreUsed)
{
    struct Case
    {
        bool up, running, broadcast, loopback;
        const char *reason;
    } cases[] = {
        {true, true, true, false, ""},
        {false, false, true, false, "down"},
        {true, true, false, true, "loopback"},
        {true, false, true, false, "no carrier"},
        {true, true, false, false, "no broadcast"}, // a tunnel
    };
    for (const Case &c : cases) {
        InterfaceFacts facts;
        facts.up = c.up;
        facts.running = c.running;
        facts.broadcast = c.broadcast;
        facts.loopback = c.loopback;
        EXPECT_EQ(SkipReason(facts), QString::fromLatin1(c.reason));
    }
}

TEST_F(FakeNetworkTest, OpenFailsOnTakenPortOrUnknownAdapter)
{
    net_.TakePort("192.168.1.10", 5433);
    auto a = net_.Create();
    EXPECT_FALSE(a->Open("eth0", "192.168.1.10", 5433));
    EXPECT_TRUE(a->Open("eth1", "10.0.0.5", 5433));
    auto b = net_.Create();
    EXPECT_FALSE(b->Open("eth9", "10.0.0.9", 5433));
    EXPECT_EQ(net_.OpenSockets().size(), 1u);
    a.reset();
    EXPECT_TRUE(net_.OpenSockets().empty()) << "a destroyed socket leaves the network";
}

TEST_F(FakeNetworkTest, DeliveryIsAsynchronousAndPerSegment)
{
    Client c0("eth0", "192.168.1.10");
    Client c1("eth1", "10.0.0.5");
    net_.Inject("eth0", "first", "192.168.1.1");
    net_.Inject("eth0", "unicast-other", "192.168.1.1", 5432, "192.168.1.99");
    net_.Inject("eth0", "unicast-mine", "192.168.1.1", 5432, "192.168.1.10");
    net_.Inject("eth0", "other-port", "192.168.1.1", 5432, "255.255.255.255", 5434);
    EXPECT_TRUE(c0.Raw().empty()) << "nothing arrives before the event loop runs";
    FakeNetwork::WaitFor([&] { return c0.Raw().size() >= 2; });
    FakeNetwork::WaitFor([] { return false; }, 20);
    ASSERT_EQ(c0.Raw().size(), 2u);
    EXPECT_EQ(c0.Raw()[0].data, "first");
    EXPECT_EQ(c0.Raw()[0].senderAddress, "192.168.1.1");
    EXPECT_EQ(c0.Raw()[0].senderPort, 5432);
    EXPECT_EQ(c0.Raw()[1].data, "unicast-mine");
    EXPECT_TRUE(c1.Raw().empty()) << "another segment hears nothing";
}

TEST_F(FakeNetworkTest, SentDatagramsAreRecordedAndReachDevicesOnTheirSegment)
{
    FakeDevice &dev = net_.AddDevice({"192.168.1.1", {"eth0"}, 5432, false, 0, nullptr, {}, nullptr});
    auto s0 = net_.Create();
    auto s1 = net_.Create();
    ASSERT_TRUE(s0->Open("eth0", "192.168.1.10", 5433));
    ASSERT_TRUE(s1->Open("eth1", "10.0.0.5", 5433));
    s0->SetMac(kPcMac0);
    EXPECT_TRUE(s0->SendTo("a", 5432, "255.255.255.255"));
    EXPECT_TRUE(s1->SendTo("b", 5432, "255.255.255.255"));
    EXPECT_TRUE(s0->SendTo("c", 6000, "255.255.255.255"));
    static_cast<FakeSocket *>(s0.get())->SetSendFails(true);
    EXPECT_FALSE(s0->SendTo("d", 5432, "255.255.255.255"));
    ASSERT_EQ(net_.Sent().size(), 3u);
    EXPECT_EQ(net_.Sent()[0].interfaceName, "eth0");
    EXPECT_EQ(net_.Sent()[0].socketMac, kPcMac0);
    EXPECT_EQ(net_.Sent()[0].fromAddress, "192.168.1.10");
    ASSERT_EQ(dev.received.size(), 1u) << "only its segment and its port";
    EXPECT_EQ(dev.received[0].data, "a");
}

TEST_F(FakeNetworkTest, DelayedAnswersFollowTheScaledClock)
{
    const double saved = Timing::Scale();
    Timing::SetScale(0.01);
    net_.AddDevice({"192.168.1.1", {"eth0"}, 5432, false, 0,
                    [](const SentDatagram &) { return std::vector<FakeAnswer>{{"late", 3000}, {"early", 0}}; },
                    {}, nullptr});
    Client c("eth0", "192.168.1.10");
    c.Send(BuildDiscover(kPcMac0), {});
    const auto answers = c.Answers(2, {}, 1000);
    Timing::SetScale(saved);
    ASSERT_EQ(answers.size(), 2u) << "a 3-second answer arrives within a second at scale 0.01";
    EXPECT_EQ(answers[0], "early");
    EXPECT_EQ(answers[1], "late");
}

// ---------------------------------------------------------------------------
// The simulated device through the wizard's codec.

class SimDeviceTest : public FakeNetworkTest
{
protected:
    void SetUp() override
    {
        FakeNetworkTest::SetUp();
        config_.mac = kDevMac;
        config_.name = "AP-Lab";
        config_.survey = DefaultSurvey();
    }
    SimDevice &AddDevice(const QString &ip = "192.168.1.1")
    {
        return *net_.AddSimDevice(config_, {"eth0"}, ip).sim;
    }
    // Logs in with `password`; returns the result byte (-1 without answer).
    int Login(Client &c, const QByteArray &password)
    {
        c.Clear();
        c.Send(BuildLogin(kPcMac0, kDevMac), password);
        const auto answers = c.Answers(1, password, 300);
        if (answers.empty())
            return -1;
        return DecodeResult(Payload(answers[0]), PayloadSize(answers[0]), true).result;
    }
    SimDeviceConfig config_;
};

TEST_F(SimDeviceTest, DiscoveryAnswersInClearWithNameAndMac)
{
    AddDevice();
    Client c("eth0", "192.168.1.10");
    c.Send(BuildDiscover(kPcMac0), {});
    const auto answers = c.Answers(1, {});
    ASSERT_EQ(answers.size(), 1u);
    const auto *bytes = reinterpret_cast<const uint8_t *>(answers[0].constData());
    EXPECT_EQ(CheckDatagram(bytes, answers[0].size(), AcceptFacts{{kPcMac0}, kPcMac0, kBroadcastMac}),
              Acceptance::Accepted);
    EXPECT_EQ(HeaderMac(bytes), kDevMac);
    EXPECT_EQ(HeaderCommand(bytes), CMD_DISCOVER);
    DeviceRecord record;
    EXPECT_TRUE(DecodeDiscover(Payload(answers[0]), PayloadSize(answers[0]), record));
    EXPECT_STREQ(record.Name, "AP-Lab");
    EXPECT_EQ(c.Raw()[0].senderAddress, "192.168.1.1");
}

TEST_F(SimDeviceTest, LoginChecksPasswordMacAndRefusal)
{
    struct Case
    {
        const char *what;
        QByteArray password;
        bool refuse;
        bool ignoreGarbled;
        int result; // -1: no answer
    } cases[] = {
        {"factory password", "tulip", false, false, 1},
        {"wrong password", "tulipx", false, false, 0},
        {"empty password uses the default key", "", false, false, 0},
        {"refusing device", "tulip", true, false, 0},
        {"garbled login ignored", "wrong", false, true, -1},
    };
    for (const Case &c : cases) {
        FakeNetwork net;
        net.SetAdapters(TwoAdapters());
        SimDeviceConfig config = config_;
        config.refuseLogins = c.refuse;
        config.garbledLoginIgnored = c.ignoreGarbled;
        SimDevice &sim = *net.AddSimDevice(config, {"eth0"}).sim;
        Client client("eth0", "192.168.1.10");
        EXPECT_EQ(Login(client, c.password), c.result) << c.what;
        EXPECT_EQ(sim.LoggedIn(), c.result == 1) << c.what;
    }
}

TEST_F(SimDeviceTest, LoginForAnotherDeviceWithTheSamePasswordIsNotAnswered)
{
    SimDevice &sim = AddDevice();
    Client c("eth0", "192.168.1.10");
    c.Send(BuildLogin(kPcMac0, MacAddress{2, 0, 0x4C, 0, 0, 9}), "tulip");
    EXPECT_TRUE(c.Answers(1, "tulip", 100).empty());
    EXPECT_FALSE(sim.LoggedIn());
}

TEST_F(SimDeviceTest, OtherPortIsNamedInTheLoginAnswer)
{
    config_.otherPort = 6000;
    AddDevice();
    Client c("eth0", "192.168.1.10");
    c.Send(BuildLogin(kPcMac0, kDevMac), "tulip");
    const auto answers = c.Answers(1, "tulip");
    ASSERT_EQ(answers.size(), 1u);
    const ResultAnswer r = DecodeResult(Payload(answers[0]), PayloadSize(answers[0]), true);
    EXPECT_EQ(r.result, 1);
    EXPECT_TRUE(r.hasPort);
    EXPECT_EQ(r.port, 6000);
}

TEST_F(SimDeviceTest, RequestsWithoutLoginAreNotAnswered)
{
    AddDevice();
    Client c("eth0", "192.168.1.10");
    c.Send(BuildGetConfig(kPcMac0), "tulip");
    c.Send(BuildLogout(kPcMac0), "tulip");
    EXPECT_TRUE(c.Answers(1, "tulip", 100).empty());
}

TEST_F(SimDeviceTest, GetConfigDecodesIntoTheWizardRecords)
{
    config_.wireless.ssid = "Lab-Net";
    config_.wireless.securityMode = 2;
    config_.wireless.wpaMode = 2;
    config_.wireless.wpaCipher = 1;
    config_.wireless.passphrase = "secret-pass";
    AddDevice();
    Client c("eth0", "192.168.1.10");
    ASSERT_EQ(Login(c, "tulip"), 1);
    c.Clear();
    c.Send(BuildGetConfig(kPcMac0), "tulip");
    const auto answers = c.Answers(1, "tulip");
    ASSERT_EQ(answers.size(), 1u);
    IpConfigRecord ip;
    WlConfigRecord wl;
    int mode = 0;
    const WalkSummary walk = DecodeGetConfig(Payload(answers[0]), PayloadSize(answers[0]), {ip, wl, mode});
    EXPECT_FALSE(walk.truncated);
    EXPECT_EQ(walk.unknown, 0);
    EXPECT_EQ(mode, 1);
    EXPECT_EQ(ip.IpMode, 0);
    EXPECT_EQ(ip.Ip, 0xC0A80101u);
    EXPECT_EQ(ip.Netmask, 0xFFFFFF00u);
    EXPECT_EQ(ip.Gateway, 0xC0A801FEu);
    EXPECT_STREQ(wl.Ssid, "Lab-Net");
    EXPECT_STREQ(reinterpret_cast<const char *>(wl.ChannelList), "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b");
    EXPECT_EQ(wl.StdChannel, 6);
    EXPECT_EQ(wl.SecurityMode, 2);
    EXPECT_EQ(wl.WpaMode, 2);
    EXPECT_EQ(wl.WpaCipher, 1);
    EXPECT_EQ(wl.WpsPin, 12345670u);
    EXPECT_STREQ(wl.Passphrase, "") << "the passphrase is never read back";

    c.Clear();
    c.Send(BuildGetMode(kPcMac0), "tulip");
    const auto modeAnswer = c.Answers(1, "tulip");
    ASSERT_EQ(modeAnswer.size(), 1u);
    EXPECT_EQ(PayloadSize(modeAnswer[0]), 3u) << "get-mode answers the mode alone";
}

TEST_F(SimDeviceTest, EveryWriteChangesTheDeviceAndTheReadBackShowsIt)
{
    SimDevice &sim = AddDevice();
    Client c("eth0", "192.168.1.10");
    ASSERT_EQ(Login(c, "tulip"), 1);

    IpConfigRecord ip;
    ip.IpMode = 0;
    ip.Ip = 0xC0A80A64;
    ip.Netmask = 0xFFFFFF00;
    ip.Gateway = 0xC0A80A01;
    WlConfigRecord wep;
    std::strcpy(wep.Ssid, "WEP-Net");
    wep.StdChannel = 11;
    wep.ExtChannel = 2;
    wep.WirelessMode = 4;
    wep.SecurityMode = 1;
    wep.AuthMode = 2;
    std::strcpy(wep.WepKey, "0123456789");
    WlConfigRecord badWpa;
    std::strcpy(badWpa.Ssid, "Short-Key");
    badWpa.SecurityMode = 2;
    std::strcpy(badWpa.Passphrase, "short");
    WlConfigRecord upstream;
    std::strcpy(upstream.Ssid, "Upstream");
    upstream.SecurityMode = 2;
    upstream.WpaMode = 1;
    upstream.WpaCipher = 1;
    std::strcpy(upstream.Passphrase, "long enough key");

    struct Step
    {
        const char *what;
        Request request;
        int result;
    } steps[] = {
        {"static IP", BuildIpSetting(kPcMac0, ip), 1},
        {"WEP access point", BuildWlSetting(kPcMac0, wep), 1},
        {"passphrase too short", BuildWlSetting(kPcMac0, badWpa), 0},
        {"bridge mode", BuildSetMode(kPcMac0, 2), 1},
        {"mode 7 does not exist", BuildSetMode(kPcMac0, 7), 0},
        {"upstream network", BuildWlStationSetting(kPcMac0, upstream), 1},
    };
    for (Step &step : steps) {
        c.Clear();
        c.Send(step.request, "tulip");
        const auto answers = c.Answers(1, "tulip");
        ASSERT_EQ(answers.size(), 1u) << step.what;
        EXPECT_EQ(DecodeResult(Payload(answers[0]), PayloadSize(answers[0]), false).result, step.result)
            << step.what;
    }
    const QJsonObject state = sim.StateJson();
    EXPECT_EQ(state["ip"].toObject()["ip"].toString(), "192.168.10.100");
    EXPECT_EQ(state["ip"].toObject()["gateway"].toString(), "192.168.10.1");
    const QJsonObject wl = state["wireless"].toObject();
    EXPECT_EQ(wl["ssid"].toString(), "WEP-Net");
    EXPECT_EQ(wl["stdChannel"].toInt(), 11);
    EXPECT_EQ(wl["extChannel"].toInt(), 2);
    EXPECT_EQ(wl["wirelessMode"].toInt(), 4);
    EXPECT_EQ(wl["wepKey"].toString(), "0123456789");
    EXPECT_EQ(wl["wepKeyLen"].toInt(), 0);
    EXPECT_EQ(state["mode"].toInt(), 2);
    EXPECT_EQ(state["station"].toObject()["ssid"].toString(), "Upstream");

    // In bridge mode the read-back reports the upstream network.
    c.Clear();
    c.Send(BuildGetConfig(kPcMac0), "tulip");
    const auto answers = c.Answers(1, "tulip");
    ASSERT_EQ(answers.size(), 1u);
    IpConfigRecord readIp;
    WlConfigRecord readWl;
    int mode = 0;
    DecodeGetConfig(Payload(answers[0]), PayloadSize(answers[0]), {readIp, readWl, mode});
    EXPECT_EQ(mode, 2);
    EXPECT_EQ(readIp.Ip, 0xC0A80A64u);
    EXPECT_STREQ(readWl.Ssid, "Upstream");
    EXPECT_EQ(readWl.WpaMode, 1);
}

TEST_F(SimDeviceTest, WpsAnswersThenSendsTheStatusStreamInOrder)
{
    config_.wpsIntervalMs = 1;
    config_.connectTimeoutAfterWps = true;
    SimDevice &sim = AddDevice();
    Client c("eth0", "192.168.1.10");
    ASSERT_EQ(Login(c, "tulip"), 1);
    c.Clear();
    c.Send(BuildWpsPbc(kPcMac0), "tulip");
    const size_t expected = 1 + config_.wpsEvents.size() + 1;
    const auto answers = c.Answers(expected, "tulip", 2000);
    ASSERT_EQ(answers.size(), expected);
    EXPECT_EQ(DecodeResult(Payload(answers[0]), PayloadSize(answers[0]), false).result, 1);
    std::vector<int32_t> statuses;
    bool timeout = false;
    for (size_t i = 1; i < answers.size(); ++i) {
        EXPECT_EQ(uint8_t(answers[i][15]), CMD_EVENT);
        const EventAnswer e = DecodeEvent(Payload(answers[i]), PayloadSize(answers[i]));
        statuses.insert(statuses.end(), e.wpsStatus.begin(), e.wpsStatus.end());
        timeout = timeout || e.connectTimeout;
    }
    EXPECT_EQ(statuses, config_.wpsEvents);
    EXPECT_EQ(statuses.front(), 3);
    EXPECT_EQ(statuses.back(), 34);
    EXPECT_TRUE(timeout);
    EXPECT_FALSE(sim.LoggedIn()) << "the connection-timeout event ended the login";
}

TEST_F(SimDeviceTest, WpsPinFormsAndStationPin)
{
    config_.wpsEvents = {};
    SimDevice &sim = AddDevice();
    Client c("eth0", "192.168.1.10");
    ASSERT_EQ(Login(c, "tulip"), 1);
    struct Case
    {
        const char *what;
        Request request;
        int result;
    } cases[] = {
        {"enrollee PIN with leading zeros", BuildWpsPinEnrollee(kPcMac0, 1234), 1},
        {"a network name is no PIN for an access point", BuildWpsPinSsid(kPcMac0, "Upstream"), 0},
    };
    for (Case &k : cases) {
        c.Clear();
        c.Send(k.request, "tulip");
        const auto answers = c.Answers(1, "tulip");
        ASSERT_EQ(answers.size(), 1u) << k.what;
        EXPECT_EQ(DecodeResult(Payload(answers[0]), PayloadSize(answers[0]), false).result, k.result) << k.what;
    }
    EXPECT_EQ(sim.StateJson()["lastWpsPin"].toString(), "00001234");

    c.Clear();
    c.Send(BuildStationGetConfig(kPcMac0), "tulip");
    const auto answers = c.Answers(1, "tulip");
    ASSERT_EQ(answers.size(), 1u);
    char pin[12] = {};
    DecodeStationGetConfig(Payload(answers[0]), PayloadSize(answers[0]), pin, sizeof pin);
    EXPECT_STREQ(pin, "87654321");
}

TEST_F(SimDeviceTest, SurveyDecodesEveryNetwork)
{
    AddDevice();
    Client c("eth0", "192.168.1.10");
    ASSERT_EQ(Login(c, "tulip"), 1);
    c.Clear();
    c.Send(BuildSiteSurvey(kPcMac0), "tulip");
    const auto answers = c.Answers(1, "tulip");
    ASSERT_EQ(answers.size(), 1u);
    const std::vector<SurveyEntry> entries = DecodeSurvey(Payload(answers[0]), PayloadSize(answers[0]));
    const std::vector<SimNetwork> networks = DefaultSurvey();
    ASSERT_EQ(entries.size(), networks.size());
    std::set<int> encryptions, authentications;
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(QByteArray(entries[i].Ssid), networks[i].ssid.left(32)) << i;
        EXPECT_EQ(entries[i].Signal, networks[i].signal.trimmed().toInt()) << i;
        EXPECT_EQ(entries[i].Channel, networks[i].channel.toInt()) << i;
        EXPECT_EQ(entries[i].Wps, networks[i].wps) << i;
        EXPECT_EQ(entries[i].Bssid[5], networks[i].bssid[5]) << i;
        encryptions.insert(entries[i].Encryption);
        authentications.insert(entries[i].Authentication);
    }
    EXPECT_EQ(encryptions, (std::set<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(authentications, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(std::strlen(entries[8].Ssid), 32u) << "a 32-character name has no terminator on the wire";
}

TEST_F(SimDeviceTest, FaultsDropDelayAndDouble)
{
    config_.dropFirst[SimKind::GetConfig] = 1;
    config_.answerTwice = true;
    SimDevice &sim = AddDevice();
    Client c("eth0", "192.168.1.10");
    c.Send(BuildLogin(kPcMac0, kDevMac), "tulip");
    EXPECT_EQ(c.Answers(2, "tulip").size(), 2u) << "every answer twice";
    c.Clear();
    c.Send(BuildGetConfig(kPcMac0), "tulip");
    EXPECT_TRUE(c.Answers(1, "tulip", 100).empty()) << "the first get-config answer is lost";
    c.Send(BuildGetConfig(kPcMac0), "tulip");
    EXPECT_EQ(c.Answers(2, "tulip").size(), 2u);
    EXPECT_EQ(sim.Requests().at(SimKind::GetConfig), 2);
}

TEST_F(SimDeviceTest, SilentFromAKindAnswersNothingFromThatRequestOn)
{
    config_.silentFrom = SimKind::GetConfig;
    SimDevice &sim = AddDevice();
    Client c("eth0", "192.168.1.10");
    c.Send(BuildLogin(kPcMac0, kDevMac), "tulip");
    EXPECT_EQ(c.Answers(1, "tulip").size(), 1u) << "answers before the fault";
    c.Clear();
    c.Send(BuildGetConfig(kPcMac0), "tulip");
    EXPECT_TRUE(c.Answers(1, "tulip", 100).empty());
    EXPECT_EQ(sim.Requests().at(SimKind::GetConfig), 1) << "the request itself still arrived";
    // From then on nothing is answered, not even a search or a new login.
    c.Send(BuildDiscover(kPcMac0), {});
    c.Send(BuildLogin(kPcMac0, kDevMac), "tulip");
    EXPECT_TRUE(c.Answers(1, "tulip", 100).empty());
    EXPECT_EQ(sim.Requests().count(SimKind::Discover), 0u);
}

TEST_F(SimDeviceTest, UnicastRepliesGoToTheSenderOnly)
{
    FakeDevice &dev = net_.AddSimDevice(config_, {"eth0"});
    dev.unicastReplies = true;
    Client mine("eth0", "192.168.1.10");
    auto other = net_.Create();
    ASSERT_TRUE(other->Open("eth0", "192.168.1.11", 5433));
    int otherGot = 0;
    other->SetReadyCallback([&] {
        ReceivedDatagram d;
        other->Recv(d);
        ++otherGot;
    });
    mine.Send(BuildDiscover(kPcMac0), {});
    EXPECT_EQ(mine.Answers(1, {}).size(), 1u);
    EXPECT_EQ(otherGot, 0);
}
