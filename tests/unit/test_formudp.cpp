// The protocol engine on the in-process fake network: sockets per adapter,
// request tracking, answers, time-outs, the login's effects and the lists.
#include "app/devicestate.h"
#include "app/messagebox.h"
#include "app/timing.h"
#include "core/appmessagerecorder.h"
#include "core/fakenetwork.h"
#include "core/logcapture.h"
#include "messages/appmessage.h"
#include "protocol/formudp.h"
#include "protocol/protocolcodec.h"
#include "protocol/rc4encry.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

using namespace Protocol;

namespace {

class BoxRecorder : public MessageBoxService
{
public:
    std::vector<QString> texts;
    int ShowMessageBox(const QString &text, const QString &, MsgKind) override
    {
        texts.push_back(text);
        return MSG_RESULT_OK;
    }
};

const MacAddress kMacA{0x00, 0x0C, 0x29, 0xAA, 0x00, 0x01};
const MacAddress kMacB{0x00, 0x0C, 0x29, 0xAA, 0x00, 0x02};
const MacAddress kDevice{0x00, 0x1D, 0x73, 0x01, 0x02, 0x03};
const MacAddress kOtherDevice{0x00, 0x1D, 0x73, 0x09, 0x09, 0x09};
const QString kDeviceIp = QStringLiteral("10.77.0.2");

class FormUdpTest : public ::testing::Test
{
protected:
    // An answer as the device sends it: every payload except discovery's
    // enciphered with the current password.
    QByteArray Answer(const MacAddress &mac, uint8_t command, std::vector<uint8_t> payload) const
    {
        std::vector<uint8_t> bytes(kHeaderSize);
        BuildHeader(bytes.data(), mac);
        bytes[kOffCommand] = command;
        bytes[kOffLength] = uint8_t(payload.size() >> 8);
        bytes[kOffLength + 1] = uint8_t(payload.size());
        if (command != CMD_DISCOVER) {
            const QByteArray key = state.Password.toUtf8();
            CipherPayload(std::string_view(key.constData(), size_t(key.size())), payload.data(),
                          payload.size());
        }
        bytes.insert(bytes.end(), payload.begin(), payload.end());
        return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
    }

    // The clear payload of a request the engine sent.
    std::vector<uint8_t> ClearPayload(const QByteArray &datagram) const
    {
        std::vector<uint8_t> payload(datagram.begin() + kHeaderSize, datagram.end());
        const QByteArray key = state.Password.toUtf8();
        CipherPayload(std::string_view(key.constData(), size_t(key.size())), payload.data(), payload.size());
        return payload;
    }

    void SetUp() override
    {
        Timing::SetScale(0.01);
        state.Password = QStringLiteral("admin");
        state.SelectedDevice.Mac = kDevice;
        state.CurIpConfig = IpConfigRecord{};
        state.CurWlConfig = WlConfigRecord{};
        std::memset(state.ApClientPin, 0, sizeof state.ApClientPin);
        SetMessageBoxService(&boxes);
        net.SetAdapters({FakeNetwork::MakeAdapter("eth0", kMacA, {{"10.77.0.1", "255.255.255.0"}}),
                         FakeNetwork::MakeAdapter("eth1", kMacB, {{"192.168.5.1", "255.255.0.0"}})});
    }
    void TearDown() override
    {
        engine.reset();
        SetMessageBoxService(nullptr);
        Timing::SetScale(1.0);
    }

    TFormUDP &Engine()
    {
        if (!engine) {
            engine = std::make_unique<TFormUDP>(state, &net, &net);
            engine->SetNotifyTarget(&recorder);
        }
        return *engine;
    }

    // Discovery with re-initialisation, then the network's record cleared.
    void Open()
    {
        ASSERT_TRUE(Engine().SendDiscover(0, true));
        net.ClearSent();
    }

    void Deliver(const QByteArray &datagram, const QString &iface = "eth0", const QString &from = kDeviceIp)
    {
        net.Inject(iface, datagram, from, 5432);
        Settle();
    }

    // Lets every posted message and due delivery run.
    static void Settle(int ms = 30)
    {
        FakeNetwork::WaitFor([] { return false; }, ms);
    }

    void LogIn(std::vector<uint8_t> answer = {0x91, 0x01, 0x01})
    {
        Engine().SendLogin(5000);
        Deliver(Answer(kDevice, CMD_LOGIN, std::move(answer)));
        ASSERT_TRUE(Engine().loggedIn());
        recorder.messages.clear();
        net.ClearSent();
    }

    DeviceState state; // the record the engine works on
    FakeNetwork net;
    AppMessageRecorder recorder;
    BoxRecorder boxes;
    std::unique_ptr<TFormUDP> engine;
};

} // namespace

TEST_F(FormUdpTest, OneSocketPerAdapterOnItsFirstUsableAddress)
{
    net.SetAdapters({
        FakeNetwork::MakeAdapter("eth0", kMacA, {{"0.0.0.0", "0.0.0.0"}, {"192.168.0.5", "255.255.255.0"}},
                                 "First"),
        FakeNetwork::MakeAdapter("eth1", kMacB,
                                 {{"10.77.0.1", "255.255.255.0"}, {"10.77.0.9", "255.255.255.0"}}, "Second"),
        FakeNetwork::MakeAdapter("eth2", {0x00, 0x0C, 0x29, 0xAA, 0x00, 0x03},
                                 {{"10.1.1.1", "255.0.0.0"}, {"10.1.1.2", "255.0.0.0"}}, "Third"),
    });
    net.TakePort("10.1.1.1", 5433);
    LogCapture log;
    ASSERT_TRUE(Engine().SendDiscover(4000, true));

    ASSERT_EQ(Engine().SocketCount(), 3);
    EXPECT_EQ(Engine().Socket(0)->Address(), "192.168.0.5");
    EXPECT_EQ(Engine().Socket(1)->Address(), "10.77.0.1");
    EXPECT_EQ(Engine().Socket(2)->Address(), "10.1.1.2"); // port taken on the first address
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Engine().Socket(i)->Port(), 5433);
    EXPECT_TRUE(log.Contains("Addr=00:0C:29:AA:00:01, IP=192.168.0.5, Iface=First"));
    EXPECT_TRUE(log.Contains("Addr=00:0C:29:AA:00:03, IP=10.1.1.1, Iface=Third"));
    EXPECT_TRUE(log.Contains("Addr=00:0C:29:AA:00:03, IP=10.1.1.2, Iface=Third"));
    EXPECT_FALSE(log.Contains("Addr=00:0C:29:AA:00:02, IP=10.77.0.9, Iface=Second"));
    for (const std::string &line : log.Lines())
        EXPECT_EQ(line.find("0.0.0.0"), std::string::npos) << line;

    // One copy per socket, each with its adapter's MAC, to the broadcast
    // address on the device port; the log shows the local MAC.
    ASSERT_EQ(net.Sent().size(), 3u);
    for (const SentDatagram &sent : net.Sent()) {
        EXPECT_EQ(sent.toAddress, "255.255.255.255");
        EXPECT_EQ(sent.toPort, 5432);
        ASSERT_EQ(sent.data.size(), 18);
        EXPECT_EQ(HeaderMac(reinterpret_cast<const uint8_t *>(sent.data.constData())), sent.socketMac);
        EXPECT_EQ(HeaderCommand(reinterpret_cast<const uint8_t *>(sent.data.constData())), CMD_DISCOVER);
    }
    EXPECT_EQ(net.Sent()[0].socketMac, kMacA);
    EXPECT_EQ(net.Sent()[1].socketMac, kMacB);
    EXPECT_EQ(Engine().Pending(), REQ_DISCOVER);
}

TEST_F(FormUdpTest, AdapterWithoutAnAddressGetsOneSocketOnTheAnyAddress)
{
    net.SetAdapters({FakeNetwork::MakeAdapter("eth0", kMacA, {}, "Cable"),
                     FakeNetwork::MakeAdapter("eth1", kMacB, {{"192.168.5.1", "255.255.0.0"}})});
    FakeDevice device;
    device.ip = kDeviceIp;
    device.interfaceNames = {"eth0"};
    device.respond = [this](const SentDatagram &) {
        return std::vector<FakeAnswer>{FakeAnswer(Answer(kDevice, CMD_DISCOVER, {0x01, 0x01, 'C'}))};
    };
    net.AddDevice(std::move(device));
    LogCapture log;
    ASSERT_TRUE(Engine().SendDiscover(4000, true));
    Settle();

    ASSERT_EQ(Engine().SocketCount(), 2);
    EXPECT_EQ(Engine().Socket(0)->Address(), "0.0.0.0");
    EXPECT_EQ(Engine().Socket(0)->Netmask(), "0.0.0.0");
    EXPECT_TRUE(log.Contains("Addr=00:0C:29:AA:00:01, IP=0.0.0.0, Iface=Cable (no IPv4 address)"));
    EXPECT_EQ(net.Sent().size(), 2u) << "the request goes out on both";
    ASSERT_EQ(Engine().AdapterOutcomes().size(), 2u);
    EXPECT_EQ(Engine().AdapterOutcomes()[0].ip, "0.0.0.0");
    std::vector<DeviceRecord> devices;
    Engine().GetDeviceList(devices);
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].LocalIp, 0u);
    EXPECT_EQ(devices[0].LocalMask, 0u);
    EXPECT_EQ(Engine().LocalIP(), "0.0.0.0");
}

TEST_F(FormUdpTest, DiscoveryFailsWithoutAdapters)
{
    struct Case
    {
        const char *name;
        bool listFails;
        AdapterList adapters;
    };
    const Case cases[] = {
        {"no adapter list", true, {}},
        {"only 0.0.0.0", false, {FakeNetwork::MakeAdapter("eth0", kMacA, {{"0.0.0.0", "0.0.0.0"}})}},
    };
    for (const Case &c : cases) {
        net.SetAdapterListFails(c.listFails);
        net.SetAdapters(c.adapters);
        boxes.texts.clear();
        LogCapture log;
        EXPECT_FALSE(Engine().SendDiscover(4000, true)) << c.name;
        EXPECT_TRUE(log.Contains("TFormUDP::SendDiscover() FAIL init interface")) << c.name;
        EXPECT_TRUE(boxes.texts.empty()) << c.name << ": the caller tells the user";
        EXPECT_TRUE(net.Sent().empty()) << c.name;
        EXPECT_EQ(Engine().Pending(), REQ_NONE) << c.name;
    }
}

TEST_F(FormUdpTest, LocalMacIsTheFirstAdaptersWithAnAddress)
{
    net.SetAdapters({FakeNetwork::MakeAdapter("eth0", kMacA, {{"0.0.0.0", "0.0.0.0"}}),
                     FakeNetwork::MakeAdapter("eth1", kMacB, {{"10.77.0.1", "255.255.255.0"}})});
    EXPECT_EQ(TFormUDP(state, &net, &net).LocalMac(), kMacB);
    // Without an adapter that has an address (none with one, or no list at
    // all): the C library's generator, seeded with the time, gives six bytes.
    const auto seeded = [](std::time_t seed) {
        std::srand(unsigned(seed));
        MacAddress mac{};
        for (uint8_t &byte : mac)
            byte = uint8_t(std::rand() % 256);
        return mac;
    };
    for (const bool listFails : {false, true}) {
        SCOPED_TRACE(listFails);
        net.SetAdapters({FakeNetwork::MakeAdapter("eth0", kMacA, {{"0.0.0.0", "0.0.0.0"}})});
        net.SetAdapterListFails(listFails);
        const std::time_t before = std::time(nullptr);
        const MacAddress mac = TFormUDP(state, &net, &net).LocalMac();
        const std::time_t after = std::time(nullptr);
        EXPECT_TRUE(mac == seeded(before) || mac == seeded(after));
        EXPECT_NE(mac, MacAddress{});
        EXPECT_NE(mac, kMacA);
    }
}

TEST_F(FormUdpTest, SameDeviceThroughTwoAdaptersIsOneRecord)
{
    FakeDevice device;
    device.ip = kDeviceIp;
    device.interfaceNames = {"eth0", "eth1"};
    device.respond = [this](const SentDatagram &) {
        return std::vector<FakeAnswer>{
            FakeAnswer(Answer(kDevice, CMD_DISCOVER, {0x01, 0x04, 'A', 'P', '-', '1'}))};
    };
    net.AddDevice(std::move(device));
    LogCapture log;
    ASSERT_TRUE(Engine().SendDiscover(4000, true));
    Settle();

    std::vector<DeviceRecord> devices;
    Engine().GetDeviceList(devices);
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_STREQ(devices[0].Name, "AP-1");
    EXPECT_EQ(devices[0].LocalIp, 0x0A4D0001u);   // 10.77.0.1: the adapter of the first answer
    EXPECT_EQ(devices[0].LocalMask, 0xFFFFFF00u); // its netmask
    EXPECT_EQ(devices[0].DeviceIp, 0x0A4D0002u);
    EXPECT_EQ(devices[0].Mac, kDevice);
    EXPECT_EQ(log.Count("  already exist"), 1);
    EXPECT_TRUE(log.Contains("  DevName=AP-1"));
    EXPECT_TRUE(recorder.messages.empty()); // answers post nothing; the wait runs on
    EXPECT_EQ(Engine().Pending(), REQ_DISCOVER);

    // The caller's list gets copies appended.
    Engine().GetDeviceList(devices);
    EXPECT_EQ(devices.size(), 2u);
}

TEST_F(FormUdpTest, DiscoveryAnswers)
{
    struct Case
    {
        const char *name;
        int wait;
        std::vector<uint8_t> payload;
        size_t records;
        bool ignored;
    };
    const Case cases[] = {
        {"empty payload adds nothing", 4000, {}, 0, false},
        {"unlisted element adds an empty name", 4000, {0x7F, 0x01, 0x00}, 1, false},
        {"not waited: ignored", 0, {0x01, 0x01, 'X'}, 0, true},
    };
    for (const Case &c : cases) {
        engine.reset();
        ASSERT_TRUE(Engine().SendDiscover(c.wait, true)) << c.name;
        LogCapture log;
        Deliver(Answer(kDevice, CMD_DISCOVER, c.payload));
        std::vector<DeviceRecord> devices;
        Engine().GetDeviceList(devices);
        ASSERT_EQ(devices.size(), c.records) << c.name;
        if (c.records) {
            EXPECT_STREQ(devices[0].Name, "") << c.name;
        }
        EXPECT_EQ(log.Contains("  ignore data"), c.ignored) << c.name;
    }
}

TEST_F(FormUdpTest, WaitEndsInOneTimeoutAndLateAnswersAreIgnored)
{
    Open();
    ASSERT_TRUE(Engine().SendDiscover(4000, false));
    LogCapture log;
    ASSERT_TRUE(FakeNetwork::WaitFor([this] { return !recorder.messages.empty(); }));
    Settle();
    EXPECT_EQ(recorder.messages, (std::vector<RecordedMessage>{{UM_UDP_TIMEOUT, REQ_DISCOVER, 0}}));
    EXPECT_TRUE(log.Contains("TFormUDP::TimerWaitTimer() 1"));
    EXPECT_EQ(Engine().Pending(), REQ_NONE);

    Deliver(Answer(kDevice, CMD_DISCOVER, {0x01, 0x01, 'X'}));
    std::vector<DeviceRecord> devices;
    Engine().GetDeviceList(devices);
    EXPECT_TRUE(devices.empty());
    EXPECT_TRUE(log.Contains("  ignore data"));
}

TEST_F(FormUdpTest, ZeroWaitNeverTimesOut)
{
    Open();
    Engine().SendGetConfig(15000);
    Engine().SendLogout(0); // replaces the waited request
    Settle(15000 * 0.01 * 2);
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(Engine().Pending(), REQ_NONE);
    EXPECT_FALSE(Engine().Waiting());
}

TEST_F(FormUdpTest, LoginReplacingGetConfigIgnoresTheLateAnswer)
{
    Open();
    Engine().SendGetConfig(15000);
    Engine().SendLogin(5000);
    LogCapture log;
    Deliver(Answer(kDevice, CMD_GET_CONFIG, {0x50, 0x01, 'x'}));
    EXPECT_TRUE(log.Contains("  ignore data"));
    EXPECT_STREQ(state.CurWlConfig.Ssid, "");
    EXPECT_EQ(Engine().Pending(), REQ_LOGIN);

    Deliver(Answer(kDevice, CMD_LOGIN, {0x91, 0x01, 0x01}));
    EXPECT_EQ(recorder.messages, (std::vector<RecordedMessage>{{UM_UDP_REPLY, REQ_LOGIN, 1}}));
    EXPECT_TRUE(Engine().loggedIn());
    EXPECT_EQ(Engine().PeerFilter(), kDevice);
    EXPECT_EQ(Engine().Pending(), REQ_NONE);
    EXPECT_FALSE(Engine().Waiting());
}

TEST_F(FormUdpTest, LoginRequestCarriesTheDeviceAndThePhrase)
{
    Open();
    Engine().SendLogin(5000);
    ASSERT_EQ(net.Sent().size(), 2u);
    const std::vector<uint8_t> payload = ClearPayload(net.Sent()[0].data);
    const Request expected = BuildLogin(Engine().LocalMac(), kDevice);
    EXPECT_EQ(payload,
              std::vector<uint8_t>(expected.Data() + kHeaderSize, expected.Data() + expected.Size()));
    EXPECT_EQ(net.Sent()[0].data.size(), 120);
}

TEST_F(FormUdpTest, RefusedLoginKeepsTheFilterOpen)
{
    Open();
    Engine().SendLogin(5000);
    Deliver(Answer(kDevice, CMD_LOGIN, {0x91, 0x01, 0x00}));
    EXPECT_EQ(recorder.messages, (std::vector<RecordedMessage>{{UM_UDP_REPLY, REQ_LOGIN, 0}}));
    EXPECT_FALSE(Engine().loggedIn());
    EXPECT_EQ(Engine().PeerFilter(), kBroadcastMac);
}

TEST_F(FormUdpTest, LoginAnswerFromAnotherMacIsRefused)
{
    Open();
    Engine().SendLogin(5000);
    LogCapture log;
    Deliver(Answer(kOtherDevice, CMD_LOGIN, {0x91, 0x01, 0x01}));
    EXPECT_TRUE(log.Contains("  FAIL login answer from another MAC"));
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_FALSE(Engine().loggedIn());
    EXPECT_EQ(Engine().Pending(), REQ_LOGIN);
    EXPECT_TRUE(Engine().Waiting());

    // The selected device's own answer still completes the login.
    Deliver(Answer(kDevice, CMD_LOGIN, {0x91, 0x01, 0x01}));
    EXPECT_EQ(recorder.messages, (std::vector<RecordedMessage>{{UM_UDP_REPLY, REQ_LOGIN, 1}}));
    EXPECT_EQ(Engine().PeerFilter(), kDevice);
}

TEST_F(FormUdpTest, PortFromTheLoginAnswerUntilTheNextLoginOrDiscovery)
{
    Open();
    LogIn({0x91, 0x01, 0x01, 0x92, 0x02, 0x17, 0x70}); // port 6000
    EXPECT_EQ(Engine().DevicePort(), 6000);
    Engine().SendGetConfig(15000);
    Engine().SendIPSetting(32000);
    Engine().SendLogout(0);
    for (const SentDatagram &sent : net.Sent())
        EXPECT_EQ(sent.toPort, 6000);
    net.ClearSent();
    Engine().SendLogin(5000);
    EXPECT_EQ(net.Sent().front().toPort, 5432);

    LogIn({0x91, 0x01, 0x01, 0x92, 0x02, 0x17, 0x70});
    Engine().SendDiscover(4000, false);
    EXPECT_EQ(net.Sent().front().toPort, 5432);
    EXPECT_EQ(Engine().DevicePort(), 5432);
}

TEST_F(FormUdpTest, PeerFilterAfterLogin)
{
    Open();
    LogIn();
    Engine().SendGetConfig(15000);
    LogCapture log;
    Deliver(Answer(kOtherDevice, CMD_GET_CONFIG, {0x50, 0x01, 'x'}));
    EXPECT_EQ(log.Lines(),
              (std::vector<std::string>{"Local IP:10.77.0.1",
                                        "TFormUDP::ProcRecvData() FAIL destination address doesn't match"}));
    EXPECT_EQ(Engine().Pending(), REQ_GET_CONFIG);
    EXPECT_TRUE(Engine().Waiting());
    EXPECT_TRUE(recorder.messages.empty());

    // Still dropped after a logout: the other device cannot answer a new
    // login. The next discovery opens the filter.
    Engine().SendLogout(0);
    Engine().SendLogin(5000);
    log.Clear();
    Deliver(Answer(kOtherDevice, CMD_LOGIN, {0x91, 0x01, 0x01}));
    EXPECT_TRUE(log.Contains("TFormUDP::ProcRecvData() FAIL destination address doesn't match"));
    EXPECT_FALSE(Engine().loggedIn());
    EXPECT_EQ(Engine().Pending(), REQ_LOGIN);

    // Back to the list and the other device chosen: its login answer gets
    // through, and the filter then holds the other device.
    state.SelectedDevice.Mac = kOtherDevice;
    Engine().SendLogin(5000);
    Deliver(Answer(kDevice, CMD_LOGIN, {0x91, 0x01, 0x01}));
    EXPECT_FALSE(Engine().loggedIn()) << "only the chosen device may answer the login";
    Deliver(Answer(kOtherDevice, CMD_LOGIN, {0x91, 0x01, 0x01}));
    EXPECT_TRUE(Engine().loggedIn());
    EXPECT_EQ(Engine().PeerFilter(), kOtherDevice);
    // Still logged in when the first device is chosen again: that login is
    // ended first, then the first device may answer.
    state.SelectedDevice.Mac = kDevice;
    log.Clear();
    Engine().SendLogin(5000);
    EXPECT_EQ(log.Count("TFormUDP::SendLogout()"), 1);
    Deliver(Answer(kDevice, CMD_LOGIN, {0x91, 0x01, 0x01}));
    EXPECT_EQ(Engine().PeerFilter(), kDevice);
    EXPECT_TRUE(Engine().loggedIn());

    Engine().SendDiscover(4000, false);
    log.Clear();
    Deliver(Answer(kOtherDevice, CMD_DISCOVER, {0x01, 0x01, 'B'}));
    std::vector<DeviceRecord> devices;
    Engine().GetDeviceList(devices);
    EXPECT_EQ(devices.size(), 1u);
}

TEST_F(FormUdpTest, OwnBroadcastComingBackIsDropped)
{
    Open();
    Engine().SendDiscover(4000, false);
    LogCapture log;
    // The copy sent through eth1 arrives on eth0 as well.
    Deliver(Answer(kMacB, CMD_DISCOVER, {}));
    Deliver(Answer(Engine().LocalMac(), CMD_DISCOVER, {}));
    EXPECT_EQ(log.Count("TFormUDP::ProcRecvData() FAIL received a request"), 2);
}

TEST_F(FormUdpTest, GetConfigAnswerFillsGVar)
{
    Open();
    LogIn();
    state.DeviceMode = DEVICE_AP;
    Engine().SendGetConfig(15000);
    Deliver(Answer(
        kDevice, CMD_GET_CONFIG,
        {0x00, 0x01, 0x02, 0x30, 0x01, 0x00, 0x31, 0x04, 0xC0, 0xA8, 0x0A, 0x64, 0x50, 0x02, 'h', 'i'}));
    EXPECT_EQ(recorder.messages, (std::vector<RecordedMessage>{{UM_UDP_REPLY, REQ_GET_CONFIG, 1}}));
    EXPECT_EQ(state.DeviceMode, DEVICE_WBRIDGE);
    EXPECT_EQ(state.CurIpConfig.IpMode, 0);
    EXPECT_EQ(state.CurIpConfig.Ip, 0xC0A80A64u);
    EXPECT_STREQ(state.CurWlConfig.Ssid, "hi");
}

TEST_F(FormUdpTest, SetAnswersReportTheirKindAndResult)
{
    Open();
    LogIn();
    struct Case
    {
        const char *name;
        std::function<void(TFormUDP &)> send;
        uint8_t answerCommand;
        int kind;
    };
    const Case cases[] = {
        {"IP", [](TFormUDP &e) { e.SendIPSetting(32000); }, CMD_SET_CONFIG, REQ_IP_SETTING},
        {"wireless", [](TFormUDP &e) { e.SendWlSetting(32000); }, CMD_SET_CONFIG, REQ_WL_SETTING},
        {"station", [](TFormUDP &e) { e.SendWlStationSetting(32000); }, CMD_STATION_SET_CONFIG,
         REQ_WL_STATION_SETTING},
        {"mode", [](TFormUDP &e) { e.SendSetMode(28000, DEVICE_AP); }, CMD_SET_CONFIG, REQ_SET_MODE},
        {"PBC", [](TFormUDP &e) { e.SendWPSPBC(10000); }, CMD_SET_CONFIG, REQ_WPS_PBC},
        {"PIN", [](TFormUDP &e) { e.SendWPSPIN(10000, WpsPinForm::UpstreamSsid); }, CMD_SET_CONFIG,
         REQ_WPS_PIN},
    };
    for (const Case &c : cases) {
        recorder.messages.clear();
        c.send(Engine());
        Deliver(Answer(kDevice, c.answerCommand, {0x91, 0x01, 0x01}));
        EXPECT_EQ(recorder.messages, (std::vector<RecordedMessage>{{UM_UDP_REPLY, c.kind, 1}})) << c.name;
        EXPECT_EQ(Engine().Pending(), REQ_NONE) << c.name;
        EXPECT_FALSE(Engine().Waiting()) << c.name;
    }
    // No result element reports failure.
    recorder.messages.clear();
    Engine().SendIPSetting(32000);
    Deliver(Answer(kDevice, CMD_SET_CONFIG, {}));
    EXPECT_EQ(recorder.messages, (std::vector<RecordedMessage>{{UM_UDP_REPLY, REQ_IP_SETTING, 0}}));
}

TEST_F(FormUdpTest, SetAnswerWhileGetConfigIsPendingIsIgnored)
{
    Open();
    LogIn();
    Engine().SendGetConfig(15000);
    LogCapture log;
    Deliver(Answer(kDevice, CMD_SET_CONFIG, {0x91, 0x01, 0x01}));
    EXPECT_EQ(log.Count("  ignore data"), 1);
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(Engine().Pending(), REQ_GET_CONFIG);
}

TEST_F(FormUdpTest, ConnectTimeoutAndWpsStatusEvent)
{
    Open();
    LogIn();
    Engine().SendGetConfig(15000);
    Deliver(Answer(kDevice, CMD_EVENT, {0x95, 0x00, 0x96, 0x04, 0x00, 0x00, 0x00, 0x22}));
    EXPECT_FALSE(Engine().loggedIn());
    EXPECT_EQ(recorder.messages, (std::vector<RecordedMessage>{{UM_UDP_EVENT, 150, 34}}));
    EXPECT_EQ(Engine().Pending(), REQ_GET_CONFIG); // events leave the request alone
    EXPECT_TRUE(Engine().Waiting());
}

TEST_F(FormUdpTest, SiteSurveyListsAndWpsCopies)
{
    Open();
    LogIn();
    std::vector<uint8_t> payload;
    for (int i = 0; i < 3; ++i) {
        std::vector<uint8_t> record(kSurveyRecordSize, 0);
        record[1] = uint8_t('a' + i);
        std::memcpy(&record[39], "70", 2);
        record[48] = i == 1 ? 1 : 0;
        payload.insert(payload.end(), record.begin(), record.end());
    }
    Engine().SendSiteSurvey(7000);
    Deliver(Answer(kDevice, CMD_SITE_SURVEY, payload));
    EXPECT_EQ(recorder.messages, (std::vector<RecordedMessage>{{UM_UDP_REPLY, REQ_SITE_SURVEY, 0}}));
    std::vector<SurveyEntry> all, wps;
    Engine().GetSurveyList(all);
    Engine().GetWpsSurveyList(wps);
    ASSERT_EQ(all.size(), 3u);
    ASSERT_EQ(wps.size(), 1u);
    EXPECT_STREQ(wps[0].Ssid, "b");
    EXPECT_EQ(all[2].Signal, 70);

    // A timed-out survey keeps the previous list; a short answer empties it.
    Engine().SendSiteSurvey(7000);
    ASSERT_TRUE(FakeNetwork::WaitFor([this] { return recorder.messages.size() == 2; }));
    all.clear();
    Engine().GetSurveyList(all);
    EXPECT_EQ(all.size(), 3u);
    Engine().SendSiteSurvey(7000);
    Deliver(Answer(kDevice, CMD_SITE_SURVEY, std::vector<uint8_t>(48, 0)));
    all.clear();
    Engine().GetSurveyList(all);
    EXPECT_TRUE(all.empty());
}

TEST_F(FormUdpTest, StationPin)
{
    Open();
    LogIn();
    Engine().SendStationGetConfig(3000);
    Deliver(Answer(kDevice, CMD_STATION_GET_CONFIG, {0x6C, 0x08, '1', '2', '3', '4', '5', '6', '7', '0'}));
    EXPECT_EQ(recorder.messages, (std::vector<RecordedMessage>{{UM_UDP_REPLY, REQ_STATION_GET_CONFIG, 1}}));
    EXPECT_STREQ(state.ApClientPin, "12345670");
}

TEST_F(FormUdpTest, LogoutAnswerEndsTheLogin)
{
    Open();
    LogIn();
    Engine().SendLogout(3000);
    Deliver(Answer(kDevice, CMD_LOGOUT, {0x91, 0x01, 0x01}));
    EXPECT_EQ(recorder.messages, (std::vector<RecordedMessage>{{UM_UDP_REPLY, REQ_LOGOUT, 1}}));
    EXPECT_FALSE(Engine().loggedIn());
}

TEST_F(FormUdpTest, DestructionLogsOutFirst)
{
    Open();
    LogIn();
    LogCapture log;
    engine.reset();
    ASSERT_EQ(net.Sent().size(), 2u); // one logout per adapter
    EXPECT_EQ(HeaderCommand(reinterpret_cast<const uint8_t *>(net.Sent()[0].data.constData())), CMD_LOGOUT);
    EXPECT_TRUE(log.Contains("TFormUDP::SendLogout()"));
    EXPECT_TRUE(net.OpenSockets().empty());
}

TEST_F(FormUdpTest, ReceivedDatagramIsDumpedInClearWithItsSender)
{
    Open();
    Engine().SendLogin(5000);
    LogCapture log;
    Deliver(Answer(kDevice, CMD_LOGIN, {0x91, 0x01, 0x01}), "eth1", "192.168.5.7");
    const std::vector<std::string> expected = {
        "Local IP:192.168.5.1",
        "[Rx] 192.168.5.7:5432 size=21",
        "53 57 50 31 32 33 34 35 02 00 1D 73 01 02 03 01 ",
        "00 03 91 01 01 ",
        "TFormUDP::RecvLogin()",
        "  Result=1",
    };
    EXPECT_EQ(log.Lines(), expected);
    EXPECT_EQ(Engine().LocalIP(), "192.168.5.1");
}
