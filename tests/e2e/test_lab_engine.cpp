// The real engine (TFormUDP on CUDPSocket, adapters from the system) against
// the simulated device inside the network lab: discovery over both pc
// adapters, login, configuration read, every write with its read-back, WPS
// events, the site survey, a lost answer and a device port named at login.
// Every request goes out through pc0 and pc1, so a device attached to both
// links hears each request twice and answers twice; the engine keeps the
// first answer and ignores the second, as with a real device. A set answer
// does not say which request it belongs to, so the late second copy of one
// write's answer could pass for the answer to the next write: the tests
// that chain writes attach the device to dev0 only.
#include "core/appmessagerecorder.h"
#include "ui/lab.h"

#include "app/debug.h"
#include "app/devicestate.h"
#include "app/records.h"
#include "messages/appmessage.h"
#include "protocol/formudp.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QJsonArray>
#include <cstring>
#include <gtest/gtest.h>
#include <mutex>

namespace {

// Log lines of the run, through the log's test hook.
class Log
{
public:
    Log()
    {
        SetDebugTextHook([this](const char *text) {
            std::lock_guard<std::mutex> guard(lock_);
            lines_.emplace_back(text ? text : "");
        });
    }
    ~Log() { SetDebugTextHook({}); }
    std::vector<std::string> Lines()
    {
        std::lock_guard<std::mutex> guard(lock_);
        return lines_;
    }

private:
    std::mutex lock_;
    std::vector<std::string> lines_;
};

class LabEngine : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!Lab::Inside())
            return;
        state_.Password.clear();
        engine_ = std::make_unique<TFormUDP>(state_);
        engine_->SetNotifyTarget(&recorder_);
    }
    void TearDown() override { engine_.reset(); }

    // Runs the loop until the engine answers `kind` (reply or time-out);
    // returns that message.
    RecordedMessage WaitFor(int kind, int timeoutMs = 5000)
    {
        return recorder_.WaitForAnswer(kind, timeoutMs, seen_);
    }
    void Pump(int ms)
    {
        QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
    }

    std::vector<DeviceRecord> Discover()
    {
        EXPECT_TRUE(engine_->SendDiscover(700, true));
        EXPECT_EQ(WaitFor(REQ_DISCOVER), (RecordedMessage{UM_UDP_TIMEOUT, REQ_DISCOVER, 0}));
        std::vector<DeviceRecord> devices;
        engine_->GetDeviceList(devices);
        return devices;
    }

    // Discovers, selects the device named `name` and logs in with `password`;
    // returns the login result (-1 on time-out or when the device is missing).
    int Login(const char *name, const QString &password)
    {
        for (const DeviceRecord &d : Discover()) {
            if (std::strcmp(d.Name, name) == 0) {
                state_.SelectedDevice = d;
                state_.Password = password;
                engine_->SendLogin(2000);
                const RecordedMessage m = WaitFor(REQ_LOGIN);
                return m.id == UM_UDP_REPLY ? int(m.lParam) : -1;
            }
        }
        return -1;
    }

    // Sends a request through `send` and returns the engine's answer.
    RecordedMessage Request(int kind, const std::function<void()> &send, int timeoutMs = 5000)
    {
        send();
        return WaitFor(kind, timeoutMs);
    }

    QJsonObject DeviceState(int index = 0)
    {
        return Lab::ReadState()["devices"].toArray().at(index).toObject();
    }

    ::DeviceState state_; // the record the engine works on
    std::unique_ptr<TFormUDP> engine_;
    AppMessageRecorder recorder_;
    size_t seen_ = 0;
};

QString Dotted(uint32_t hostOrder)
{
    return QHostAddress(hostOrder).toString();
}

} // namespace

TEST_F(LabEngine, DiscoveryOverTwoAdaptersFindsEachDeviceOnce)
{
    LAB_RUN_INSIDE(
        {"--dev-args", "--device name=Alpha,mac=02:00:4C:00:00:0A --device name=Beta,mac=02:00:4C:00:00:0B"});
    const std::vector<DeviceRecord> devices = Discover();
    ASSERT_EQ(engine_->SocketCount(), 2) << "one socket per pc adapter";
    ASSERT_EQ(devices.size(), 2u) << "each device answered through both adapters, and is listed once";
    std::set<std::string> names;
    for (const DeviceRecord &d : devices) {
        names.insert(d.Name);
        // The record keeps the adapter of the first answer, and the address
        // on that same link.
        const QString local = Dotted(d.LocalIp);
        EXPECT_TRUE(local == "10.77.0.1" || local == "10.77.1.1") << local.toStdString();
        EXPECT_EQ(Dotted(d.DeviceIp), local.left(local.size() - 1) + "2");
        EXPECT_EQ(Dotted(d.LocalMask), "255.255.255.0");
        EXPECT_EQ(d.Mac[0], 0x02);
    }
    EXPECT_EQ(names, (std::set<std::string>{"Alpha", "Beta"}));
}

TEST_F(LabEngine, LoginWithRightAndWrongPassword)
{
    LAB_RUN_INSIDE({"--dev-args", "--device name=Gate,password=s3cret,iface=dev0"});
    EXPECT_EQ(Login("Gate", "tulip"), 0) << "the factory password is not this device's";
    EXPECT_FALSE(engine_->loggedIn());
    EXPECT_EQ(engine_->PeerFilter(), Protocol::kBroadcastMac);
    EXPECT_EQ(Login("Gate", "s3cret"), 1);
    EXPECT_TRUE(engine_->loggedIn());
    EXPECT_EQ(engine_->PeerFilter(), state_.SelectedDevice.Mac);
}

TEST_F(LabEngine, GetConfigFillsTheCurrentRecords)
{
    LAB_RUN_INSIDE(
        {"--dev-args",
         "--device name=Cfg,mode=bridge,ip=192.168.5.5,netmask=255.255.0.0,gateway=192.168.5.254,"
         "st-ssid=Upstream,st-channel=11,st-security=1,st-auth=1,st-wepkey=abcde,wps-pin=11223344"});
    ASSERT_EQ(Login("Cfg", "tulip"), 1);
    EXPECT_EQ(Request(REQ_GET_CONFIG, [&] { engine_->SendGetConfig(3000); }),
              (RecordedMessage{UM_UDP_REPLY, REQ_GET_CONFIG, 1}));
    EXPECT_EQ(state_.DeviceMode, DEVICE_WBRIDGE);
    EXPECT_EQ(state_.CurIpConfig.IpMode, IP_MODE_STATIC);
    EXPECT_EQ(Dotted(state_.CurIpConfig.Ip), "192.168.5.5");
    EXPECT_EQ(Dotted(state_.CurIpConfig.Netmask), "255.255.0.0");
    EXPECT_EQ(Dotted(state_.CurIpConfig.Gateway), "192.168.5.254");
    EXPECT_STREQ(state_.CurWlConfig.Ssid, "Upstream");
    EXPECT_EQ(state_.CurWlConfig.StdChannel, 11);
    EXPECT_EQ(state_.CurWlConfig.SecurityMode, SECMODE_WEP);
    EXPECT_EQ(state_.CurWlConfig.AuthMode, AUTHMODE_SHARED);
    EXPECT_EQ(state_.CurWlConfig.WepKeyLen, WEPKEYLEN_64);
    EXPECT_EQ(state_.CurWlConfig.WpsPin, 11223344u);
    EXPECT_EQ(std::strlen(reinterpret_cast<const char *>(state_.CurWlConfig.ChannelList)), 11u);

    state_.DeviceMode = 0;
    EXPECT_EQ(Request(REQ_GET_CONFIG, [&] { engine_->SendGetMode(3000); }),
              (RecordedMessage{UM_UDP_REPLY, REQ_GET_CONFIG, 1}));
    EXPECT_EQ(state_.DeviceMode, DEVICE_WBRIDGE);
}

TEST_F(LabEngine, EveryWriteChangesTheDeviceAndTheReadBackShowsIt)
{
    LAB_RUN_INSIDE({"--dev-args", "--state-file $LAB_DIR/state.json --device name=Rw,iface=dev0"});
    ASSERT_EQ(Login("Rw", "tulip"), 1);

    state_.NewIpConfig = {};
    state_.NewIpConfig.IpMode = IP_MODE_STATIC;
    state_.NewIpConfig.Ip = QHostAddress("192.168.10.100").toIPv4Address();
    state_.NewIpConfig.Netmask = QHostAddress("255.255.255.0").toIPv4Address();
    state_.NewIpConfig.Gateway = QHostAddress("192.168.10.1").toIPv4Address();
    EXPECT_EQ(Request(REQ_IP_SETTING, [&] { engine_->SendIPSetting(3000); }),
              (RecordedMessage{UM_UDP_REPLY, REQ_IP_SETTING, 1}));

    state_.NewWlConfig = {};
    std::strcpy(state_.NewWlConfig.Ssid, "Lab-AP");
    state_.NewWlConfig.StdChannel = 6;
    state_.NewWlConfig.ExtChannel = 2;
    state_.NewWlConfig.WirelessMode = WLMODE_GN;
    state_.NewWlConfig.SecurityMode = SECMODE_WPAPSK;
    state_.NewWlConfig.WpaMode = WPAMODE_AUTO;
    state_.NewWlConfig.WpaCipher = WPACIPHER_AUTO;
    std::strcpy(state_.NewWlConfig.Passphrase, "correct horse");
    EXPECT_EQ(Request(REQ_WL_SETTING, [&] { engine_->SendWlSetting(3000); }),
              (RecordedMessage{UM_UDP_REPLY, REQ_WL_SETTING, 1}));

    EXPECT_EQ(Request(REQ_GET_CONFIG, [&] { engine_->SendGetConfig(3000); }),
              (RecordedMessage{UM_UDP_REPLY, REQ_GET_CONFIG, 1}));
    EXPECT_EQ(Dotted(state_.CurIpConfig.Ip), "192.168.10.100");
    EXPECT_EQ(Dotted(state_.CurIpConfig.Gateway), "192.168.10.1");
    EXPECT_STREQ(state_.CurWlConfig.Ssid, "Lab-AP");
    EXPECT_EQ(state_.CurWlConfig.StdChannel, 6);
    EXPECT_EQ(state_.CurWlConfig.ExtChannel, 2);
    EXPECT_EQ(state_.CurWlConfig.SecurityMode, SECMODE_WPAPSK);
    EXPECT_EQ(state_.CurWlConfig.WpaMode, WPAMODE_AUTO);
    EXPECT_EQ(state_.CurWlConfig.WpaCipher, WPACIPHER_AUTO);
    QJsonObject wl = DeviceState()["wireless"].toObject();
    EXPECT_EQ(wl["passphrase"].toString(), "correct horse") << "what is never read back arrived all the same";
    EXPECT_EQ(wl["wirelessMode"].toInt(), WLMODE_GN);

    EXPECT_EQ(Request(REQ_SET_MODE, [&] { engine_->SendSetMode(3000, DEVICE_WBRIDGE); }),
              (RecordedMessage{UM_UDP_REPLY, REQ_SET_MODE, 1}));
    state_.NewWlConfig = {};
    std::strcpy(state_.NewWlConfig.Ssid, "Upstream-Net");
    state_.NewWlConfig.WirelessMode = WLMODE_BGN;
    state_.NewWlConfig.SecurityMode = SECMODE_WEP;
    state_.NewWlConfig.AuthMode = AUTHMODE_AUTO;
    std::strcpy(state_.NewWlConfig.WepKey, "0123456789ABCDEF0123456789");
    EXPECT_EQ(Request(REQ_WL_STATION_SETTING, [&] { engine_->SendWlStationSetting(3000); }),
              (RecordedMessage{UM_UDP_REPLY, REQ_WL_STATION_SETTING, 1}));
    EXPECT_EQ(Request(REQ_GET_CONFIG, [&] { engine_->SendGetConfig(3000); }),
              (RecordedMessage{UM_UDP_REPLY, REQ_GET_CONFIG, 1}));
    EXPECT_EQ(state_.DeviceMode, DEVICE_WBRIDGE);
    EXPECT_STREQ(state_.CurWlConfig.Ssid, "Upstream-Net");
    EXPECT_EQ(state_.CurWlConfig.SecurityMode, SECMODE_WEP);
    EXPECT_EQ(state_.CurWlConfig.AuthMode, AUTHMODE_AUTO);
    EXPECT_EQ(state_.CurWlConfig.WepKeyLen, WEPKEYLEN_128);
    const QJsonObject state = DeviceState();
    EXPECT_EQ(state["mode"].toInt(), DEVICE_WBRIDGE);
    EXPECT_EQ(state["station"].toObject()["wepKey"].toString(), "0123456789ABCDEF0123456789");

    // A write the device refuses reports result 0 and changes nothing.
    std::strcpy(state_.NewWlConfig.WepKey, "123");
    EXPECT_EQ(Request(REQ_WL_STATION_SETTING, [&] { engine_->SendWlStationSetting(3000); }),
              (RecordedMessage{UM_UDP_REPLY, REQ_WL_STATION_SETTING, 0}));
    EXPECT_EQ(DeviceState()["station"].toObject()["wepKey"].toString(), "0123456789ABCDEF0123456789");
}

TEST_F(LabEngine, WpsPushButtonYieldsTheStatusEventsInOrder)
{
    LAB_RUN_INSIDE({"--dev-args", "--device name=Wps,iface=dev0,wps-interval=20"});
    ASSERT_EQ(Login("Wps", "tulip"), 1);
    const size_t before = recorder_.messages.size();
    EXPECT_EQ(Request(REQ_WPS_PBC, [&] { engine_->SendWPSPBC(3000); }),
              (RecordedMessage{UM_UDP_REPLY, REQ_WPS_PBC, 1}));
    std::vector<int32_t> expected{3};
    for (int code = 10; code <= 26; ++code)
        expected.push_back(code);
    expected.push_back(34);
    std::vector<int32_t> statuses;
    QDeadlineTimer deadline(5000);
    while (statuses.size() < expected.size() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
        statuses.clear();
        for (size_t i = before; i < recorder_.messages.size(); ++i) {
            if (recorder_.messages[i].id == UM_UDP_EVENT) {
                EXPECT_EQ(recorder_.messages[i].wParam, UDP_EVENT_WPS_STATUS);
                statuses.push_back(int32_t(recorder_.messages[i].lParam));
            }
        }
    }
    EXPECT_EQ(statuses, expected);
}

TEST_F(LabEngine, ConnectionTimeoutEventEndsTheLogin)
{
    LAB_RUN_INSIDE({"--dev-args", "--device name=Drop,iface=dev0,connect-timeout=300"});
    ASSERT_EQ(Login("Drop", "tulip"), 1);
    EXPECT_TRUE(engine_->loggedIn());
    Pump(1000);
    EXPECT_FALSE(engine_->loggedIn());
    EXPECT_EQ(Request(REQ_GET_CONFIG, [&] { engine_->SendGetConfig(500); }),
              (RecordedMessage{UM_UDP_TIMEOUT, REQ_GET_CONFIG, 0}))
        << "the device no longer answers without a login";
}

TEST_F(LabEngine, SiteSurveyDecodesEveryEntry)
{
    LAB_RUN_INSIDE({"--dev-args", "--device name=Survey,mode=bridge"});
    ASSERT_EQ(Login("Survey", "tulip"), 1);
    EXPECT_EQ(Request(REQ_SITE_SURVEY, [&] { engine_->SendSiteSurvey(3000); }),
              (RecordedMessage{UM_UDP_REPLY, REQ_SITE_SURVEY, 0}));
    std::vector<SurveyEntry> all, wps;
    engine_->GetSurveyList(all);
    engine_->GetWpsSurveyList(wps);
    ASSERT_EQ(all.size(), 10u);
    EXPECT_EQ(wps.size(), 4u);
    std::set<int> encryptions, authentications;
    for (const SurveyEntry &e : all) {
        encryptions.insert(e.Encryption);
        authentications.insert(e.Authentication);
    }
    EXPECT_EQ(encryptions, (std::set<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(authentications, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_STREQ(all[0].Ssid, "Open-Garden");
    EXPECT_EQ(all[0].Signal, 85);
    EXPECT_EQ(all[3].Signal, 100);
    EXPECT_EQ(all[7].Channel, 149);
    EXPECT_EQ(std::strlen(all[8].Ssid), 32u);
    EXPECT_EQ(all[9].Signal, 0) << "a field of blanks reads as 0";

    EXPECT_EQ(Request(REQ_STATION_GET_CONFIG, [&] { engine_->SendStationGetConfig(3000); }),
              (RecordedMessage{UM_UDP_REPLY, REQ_STATION_GET_CONFIG, 1}));
    EXPECT_STREQ(state_.ApClientPin, "87654321");
}

TEST_F(LabEngine, ALostAnswerGivesExactlyOneTimeout)
{
    LAB_RUN_INSIDE({"--dev-args", "--device name=Lossy,iface=dev0,drop-get-config=1"});
    ASSERT_EQ(Login("Lossy", "tulip"), 1);
    const size_t before = recorder_.messages.size();
    EXPECT_EQ(Request(REQ_GET_CONFIG, [&] { engine_->SendGetConfig(400); }),
              (RecordedMessage{UM_UDP_TIMEOUT, REQ_GET_CONFIG, 0}));
    Pump(800);
    int timeouts = 0, replies = 0;
    for (size_t i = before; i < recorder_.messages.size(); ++i) {
        timeouts += recorder_.messages[i].id == UM_UDP_TIMEOUT;
        replies += recorder_.messages[i].id == UM_UDP_REPLY;
    }
    EXPECT_EQ(timeouts, 1);
    EXPECT_EQ(replies, 0);
    EXPECT_EQ(engine_->Pending(), REQ_NONE);
    EXPECT_EQ(Request(REQ_GET_CONFIG, [&] { engine_->SendGetConfig(2000); }),
              (RecordedMessage{UM_UDP_REPLY, REQ_GET_CONFIG, 1}))
        << "the repeated request is answered";
}

TEST_F(LabEngine, DevicePortNamedAtLoginCarriesTheFollowingRequests)
{
    LAB_RUN_INSIDE({"--dev-args", "--device name=Ported,iface=dev0,port=6000"});
    ASSERT_EQ(Login("Ported", "tulip"), 1);
    EXPECT_EQ(engine_->DevicePort(), 6000);
    EXPECT_EQ(Request(REQ_GET_CONFIG, [&] { engine_->SendGetConfig(2000); }),
              (RecordedMessage{UM_UDP_REPLY, REQ_GET_CONFIG, 1}));
    engine_->SendDiscover(0, false);
    EXPECT_EQ(engine_->DevicePort(), 5432);
}

TEST_F(LabEngine, TheLogShowsEveryRequestAndAnswerDumped)
{
    LAB_RUN_INSIDE({"--dev-args", "--device name=Logged,iface=dev0"});
    Log log;
    ASSERT_EQ(Login("Logged", "tulip"), 1);
    EXPECT_EQ(Request(REQ_GET_CONFIG, [&] { engine_->SendGetConfig(2000); }),
              (RecordedMessage{UM_UDP_REPLY, REQ_GET_CONFIG, 1}));
    const std::vector<std::string> lines = log.Lines();
    auto count = [&](const std::string &prefix) {
        return std::count_if(lines.begin(), lines.end(),
                             [&](const std::string &l) { return l.rfind(prefix, 0) == 0; });
    };
    // Discovery, login and get-config: three requests, each dumped once
    // (before it is copied to both sockets); three answers (discovery, login,
    // get-config) from the device on dev0.
    EXPECT_EQ(count("[Tx] size=18"), 1);
    EXPECT_EQ(count("[Tx] size=120"), 1);
    EXPECT_EQ(count("[Tx] size=21"), 1);
    EXPECT_EQ(count("[Rx] 10.77.0.2:5432 size="), 3);
    EXPECT_EQ(count("TFormUDP::SendDiscover()"), 1);
    EXPECT_EQ(count("TFormUDP::SendLogin()"), 1);
    EXPECT_EQ(count("TFormUDP::SendGetConfig()"), 1);
    EXPECT_EQ(count("TFormUDP::RecvDiscover()"), 1);
    EXPECT_EQ(count("TFormUDP::RecvLogin()"), 1);
    EXPECT_EQ(count("TFormUDP::RecvGetConfig()"), 1);
    EXPECT_EQ(count("  DevName=Logged"), 1);
    EXPECT_EQ(count("WSAAsyncSelect() OK"), 2);
    EXPECT_EQ(count("Local IP:10.77.0.1"), 3);
    // The login request's dump shows the authentication phrase in clear:
    // its bytes 4 to 19 ("517MXB Setup is ") fill the third dump line.
    const std::string phrase = "35 31 37 4D 58 42 20 53 65 74 75 70 20 69 73 20";
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                            [&](const std::string &l) { return l.find(phrase) != std::string::npos; }));
}
