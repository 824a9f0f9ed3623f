// The WPS page: its enabling rules and mode layouts, the bridge's own PIN,
// and whole WPS runs against the real engine on the in-process fake network
// with a simulated device that plays a scripted stream of status events,
// with every wait shrunk through Timing.
#include "app/debug.h"
#include "app/globalvar.h"
#include "app/timing.h"
#include "controls/sortlistview.h"
#include "controls/trifacebtn.h"
#include "framework/formprogress.h"
#include "messages/appmessage.h"
#include "pages/wireless/formwpssurvey.h"
#include "pages/wireless/framesitesurvey.h"
#include "pages/wireless/framewpsmethod.h"
#include "pages/wireless/framewpssitesurvey.h"
#include "protocol/formudp.h"
#include "simdevice.h"
#include "ui/enginepagetest.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

class WpsMethodTest : public SimDevicePageTest
{
protected:
    void SetUp() override
    {
        // 100 s become one real second: wide enough margins for a busy machine.
        Timing::SetScale(0.01);
        SimDevicePageTest::SetUp();
        config_.wpsIntervalMs = 1000;
        g_Var.DeviceMode = DEVICE_AP;
        std::memset(g_Var.ApClientPin, 0, sizeof g_Var.ApClientPin);
        TFrameWPSMethod::WpsStartTick = 0;
        TFrameWPSMethod::WpsStartSeen = false;
    }

    void TearDown() override
    {
        SimDevicePageTest::TearDown();
        g_Var.DeviceMode = DEVICE_AP;
    }

    // The device plays the mode the test chose.
    SimDevice &StartDevice()
    {
        config_.mode = uint8_t(g_Var.DeviceMode);
        return SimDevicePageTest::StartDevice();
    }

    std::unique_ptr<TFrameWPSMethod> EnteredPage() { return EnterPage<TFrameWPSMethod>(); }

    // Presses Connect and returns once the run is over.
    void Connect(TFrameWPSMethod &page)
    {
        // Keeps a broken run from hanging the test.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&page] {
            if (auto *progress = page.ProgressDialog())
                progress->done(99);
        });
        guard.start(20000);
        page.BtnNextClick();
        QCoreApplication::processEvents();
    }

    static int Count(const SimDevice &sim, SimKind kind)
    {
        const auto it = sim.Requests().find(kind);
        return it == sim.Requests().end() ? 0 : it->second;
    }
};

TEST(WpsStatusText, DeviceTableAndUnknownCodes)
{
    const std::pair<int, const char *> rows[] = {
        {0, "Not used"},
        {1, "Idle"},
        {2, "WSC Fail(Ignore this if Intel/Marvell registrar used)"},
        {3, "Start WSC Process"},
        {14, "Received M2D"},
        {27, "Processing EAP Response (ACK)"},
        {34, "Configured"},
        {38, "WAIT PINCODE"},
        {39, "Unknown"},
        {256, "Unknown"},
        {257, "PBC:TOO MANY AP"},
        {262, "PASSWORD_MISMATCH"},
        {264, "EAP_REQ_WRONG_VENDOR_TYPE"},
        {265, "Unknown"},
        {-1, "Unknown"},
    };
    for (const auto &[code, text] : rows)
        EXPECT_STREQ(TFrameWPSMethod::WpsStatusText(code), text) << code;
}

TEST_F(WpsMethodTest, ConnectFollowsMethodPinAndSsid)
{
    struct Row
    {
        int mode;
        bool pinMethod;
        const char *pin;
        const char *ssid;
        bool connect;
    };
    const Row rows[] = {
        {DEVICE_AP, false, "", "", true},
        {DEVICE_AP, true, "", "", false},
        {DEVICE_AP, true, "1234567", "", false},
        {DEVICE_AP, true, "12345670", "", true},
        {DEVICE_WBRIDGE, false, "", "", true},
        {DEVICE_WBRIDGE, true, "12345670", "", false},
        {DEVICE_WBRIDGE, true, "1234567", "Home", false},
        {DEVICE_WBRIDGE, true, "12345670", "Home", true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message()
                     << row.mode << " " << row.pinMethod << " " << row.pin << " " << row.ssid);
        g_Var.DeviceMode = row.mode;
        auto page = EnteredPage();
        (row.pinMethod ? page->RBtnPIN : page->RBtnPBC)->setChecked(true);
        page->EdtPIN->setText(QString::fromLatin1(row.pin));
        page->EdtSSID->setText(QString::fromLatin1(row.ssid));
        EXPECT_EQ(page->BtnNext->isEnabled(), row.connect);
        EXPECT_EQ(page->EdtPIN->isEnabled(), row.pinMethod);
        EXPECT_EQ(page->EdtSSID->isEnabled(), row.pinMethod);
        EXPECT_EQ(page->BtnSelect->isEnabled(), row.pinMethod);
    }
}

TEST_F(WpsMethodTest, PinEditTakesDigitsOnly)
{
    auto page = EnteredPage();
    page->RBtnPIN->setChecked(true);
    QTest::keyClicks(page->EdtPIN, "12ab34-56 7890");
    EXPECT_EQ(page->EdtPIN->text(), "12345678");
    EXPECT_TRUE(page->BtnNext->isEnabled());
}

TEST_F(WpsMethodTest, EntryLaysThePageOutForTheMode)
{
    CopyToField(g_Var.SelectedAp.Ssid, QStringLiteral("Upstream"));
    struct Row
    {
        int mode;
        const char *ssidCaption;
        const char *pinCaption;
        const char *ssid;
        int pinRow; // rows of 23 pixels below RBtnPIN
    };
    for (const Row row : {Row{DEVICE_AP, "Wireless Device SSID:", "Wireless Device PIN:", "", 1},
                          Row{DEVICE_WBRIDGE, "AP SSID:", "Device PIN:", "Upstream", 2}}) {
        SCOPED_TRACE(row.mode);
        g_Var.DeviceMode = row.mode;
        auto page = EnteredPage();
        const bool bridge = row.mode != DEVICE_AP;
        const int p = page->RBtnPIN->y();
        EXPECT_TRUE(page->RBtnPBC->isChecked());
        EXPECT_EQ(page->LbSSID->text(), row.ssidCaption);
        EXPECT_EQ(page->LbDevPIN->text(), row.pinCaption);
        EXPECT_EQ(page->LbPBCInfo->text(), QString());
        EXPECT_EQ(page->EdtSSID->text(), row.ssid);
        EXPECT_EQ(page->BtnNext->text(), "Connect");

        EXPECT_EQ(!page->LbSSID->isHidden(), bridge);
        EXPECT_EQ(!page->EdtSSID->isHidden(), bridge);
        EXPECT_EQ(!page->BtnSelect->isHidden(), bridge);
        EXPECT_EQ(page->EdtSSID->y(), p + 23);
        EXPECT_EQ(page->BtnSelect->y(), p + 41);
        EXPECT_EQ(page->LbDevPIN->y(), p + 23 * row.pinRow);
        EXPECT_EQ(page->EdtPIN->y(), p + 23 * row.pinRow);
        EXPECT_EQ(page->LbPINInfo->y(), p + 23 * (row.pinRow + 1));
        EXPECT_EQ(page->EdtPIN->isHidden(), bridge);
        EXPECT_EQ(page->LbDevPINCode->isHidden(), !bridge);
        if (bridge) {
            EXPECT_EQ(page->LbDevPINCode->pos(), page->EdtPIN->pos());
        }
    }
}

TEST_F(WpsMethodTest, BridgeShowsTheDevicesOwnPinOnceItArrives)
{
    g_Var.DeviceMode = DEVICE_WBRIDGE;
    SimDevice &sim = StartDevice();
    ASSERT_TRUE(bench_->Login());
    CopyToField(g_Var.SelectedAp.Ssid, QStringLiteral("Upstream"));

    auto page = EnteredPage();
    page->RBtnPIN->setChecked(true);
    // Until the device answers there is no PIN, so Connect stays off.
    EXPECT_FALSE(page->BtnNext->isEnabled());
    ASSERT_TRUE(FakeNetwork::WaitFor([&] { return page->LbDevPINCode->text() == "87654321"; }));
    EXPECT_EQ(Count(sim, SimKind::StationGetConfig), 1);
    EXPECT_EQ(page->EdtPIN->text(), "87654321");
    EXPECT_TRUE(page->BtnNext->isEnabled());
    page->EdtSSID->clear();
    EXPECT_FALSE(page->BtnNext->isEnabled());
}

TEST_F(WpsMethodTest, EmptyPinOrSsidIsRefusedWithItsMessage)
{
    struct Row
    {
        int mode;
        const char *pin;
        const char *message;
    };
    for (const Row row :
         {Row{DEVICE_AP, "", "Invaild PIN Code"}, Row{DEVICE_WBRIDGE, "87654321", "Invaild SSID"}}) {
        g_Var.DeviceMode = row.mode;
        auto page = EnteredPage();
        page->RBtnPIN->setChecked(true);
        page->EdtPIN->setText(QString::fromLatin1(row.pin));
        page->EdtSSID->clear();
        ui_.Clear();
        page->BtnNextClick();
        EXPECT_EQ(ui_.BoxTexts(), QStringList{QString::fromLatin1(row.message)});
        EXPECT_EQ(page->ProgressDialog(), nullptr);
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(host_.Commands().empty());
}

// Whole runs: the device accepts the request and then reports the scripted
// statuses, one every wpsIntervalMs.
TEST_F(WpsMethodTest, RunsEndByTheDevicesStatusReports)
{
    struct Row
    {
        const char *name;
        int mode;
        bool pin;
        std::vector<int32_t> events;
        int intervalMs;
        uint8_t wpsResult;
        bool statusThreeEarlier; // a status 3 seen in an earlier run of this program
        bool success;
        bool readsConfig;
        const char *logLine;
    };
    const Row rows[] = {
        {"AP push button, configured",
         DEVICE_AP,
         false,
         {3, 10, 11, 34},
         1000,
         1,
         false,
         true,
         true,
         nullptr},
        {"AP PIN, configured", DEVICE_AP, true, {3, 34}, 1000, 1, false, true, true, nullptr},
        {"bridge, configured: no read-back",
         DEVICE_WBRIDGE,
         false,
         {3, 34},
         1000,
         1,
         false,
         true,
         false,
         nullptr},
        {"idle 55 s after start",
         DEVICE_AP,
         false,
         {3, 1},
         55000,
         1,
         false,
         true,
         true,
         "TFrameWPSMethod::RecvWPSStatus 1=Idle"},
        {"idle 120 s after start",
         DEVICE_AP,
         false,
         {3, 0, 0, 1},
         40000,
         1,
         false,
         false,
         false,
         "TFrameWPSMethod::RecvWPSStatus 1=Idle"},
        {"idle without any start", DEVICE_AP, false, {1}, 1000, 1, false, false, false, nullptr},
        {"idle, start only in an earlier run", DEVICE_AP, false, {1}, 1000, 1, true, false, false, nullptr},
        {"WSC failure",
         DEVICE_AP,
         false,
         {3, 2},
         1000,
         1,
         false,
         false,
         false,
         "TFrameWPSMethod::RecvWPSStatus 2=WSC Fail(Ignore this if Intel/Marvell registrar used)"},
        {"refused request", DEVICE_AP, false, {3, 34}, 1000, 0, false, false, false, nullptr},
        {"no final status in 180 s",
         DEVICE_AP,
         false,
         {3, 12},
         1000,
         1,
         false,
         false,
         false,
         "TFrameWPSMethod::TimerTimeroutTimer"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        g_Var.DeviceMode = row.mode;
        config_.wpsEvents = row.events;
        config_.wpsIntervalMs = row.intervalMs;
        config_.wpsResult = row.wpsResult;
        SimDevice &sim = StartDevice();
        if (row.statusThreeEarlier) {
            TFrameWPSMethod::WpsStartSeen = true;
            TFrameWPSMethod::WpsStartTick = Timing::TickCount() - 200000;
        }
        LogCapture log;
        auto page = EnteredPage();
        if (row.pin) {
            page->RBtnPIN->setChecked(true);
            page->EdtPIN->setText("01234567");
        }
        const int configReadsBefore = Count(sim, SimKind::GetConfig);
        ui_.Clear();
        host_.Clear();
        Connect(*page);

        EXPECT_EQ(g_Var.WpsMethod, row.pin ? 0 : 1);
        if (row.pin) {
            EXPECT_EQ(g_Var.NewWlConfig.EnrolleePin, 1234567u);
        }
        EXPECT_EQ(Count(sim, row.pin ? SimKind::WpsPin : SimKind::WpsPbc), 1);
        EXPECT_EQ(Count(sim, SimKind::GetConfig) - configReadsBefore, row.readsConfig ? 1 : 0);
        EXPECT_EQ(host_.Commands(), row.success ? std::vector<int>{WIZARD_NEXT} : std::vector<int>{});
        EXPECT_EQ(ui_.BoxTexts(), row.success ? QStringList{} : QStringList{kErConnect});
        EXPECT_FALSE(page->WpsWatching());
        EXPECT_FALSE(page->TimerTimerout->isActive());
        if (row.logLine) {
            EXPECT_TRUE(log.Contains(row.logLine)) << row.logLine;
        }
        TearDown();
    }
}

// Two runs in one program: the first run's status 3 does not open the idle
// window of the second, which has none of its own.
TEST_F(WpsMethodTest, EachRunSeesOnlyItsOwnStartStatus)
{
    config_.wpsEvents = {3, 2};
    StartDevice();
    auto first = EnteredPage();
    Connect(*first);
    EXPECT_EQ(ui_.BoxTexts(), QStringList{kErConnect});
    first.reset();
    bench_.reset();
    config_.wpsEvents = {1};
    SimDevice &sim = StartDevice();
    auto second = EnteredPage();
    ui_.Clear();
    host_.Clear();
    LogCapture log;
    Connect(*second);
    EXPECT_TRUE(log.Contains("TFrameWPSMethod::RecvWPSStatus 1=Idle"));
    EXPECT_EQ(Count(sim, SimKind::GetConfig), 0);
    EXPECT_EQ(ui_.BoxTexts(), QStringList{kErConnect});
    EXPECT_TRUE(host_.Commands().empty());
}

// The waits the page hands to the engine and its own timers: the login's
// 5 s, the WPS request's 10 s, the 180 s limit, then 10 s after
// "Configured" or 25 s after "Idle" before the read-back's 15 s; a bridge
// first asks for its own PIN with 3 s.
TEST_F(WpsMethodTest, WaitsOfEachRequest)
{
    const RecordedWait login{REQ_LOGIN, 5000}, wps{REQ_WPS_PBC, 10000}, limit{REQ_NONE, 180000},
        readBack{REQ_GET_CONFIG, 15000};
    struct Row
    {
        int mode;
        std::vector<int32_t> events;
        std::vector<RecordedWait> waits;
    };
    const Row rows[] = {
        // The limit is the time-out timer's interval from creation on, and
        // set again when the device accepts the request.
        {DEVICE_AP, {3, 34}, {limit, login, wps, limit, {REQ_NONE, 10000}, readBack}},
        {DEVICE_AP, {3, 1}, {limit, login, wps, limit, {REQ_NONE, 25000}, readBack}},
        {DEVICE_WBRIDGE, {3, 34}, {limit, {REQ_STATION_GET_CONFIG, 3000}, login, wps, limit}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.events.back());
        SetUp();
        g_Var.DeviceMode = row.mode;
        config_.wpsEvents = row.events;
        StartDevice();
        WaitRecorder waits;
        auto page = EnteredPage();
        Connect(*page);
        EXPECT_EQ(host_.Commands(), std::vector<int>{WIZARD_NEXT});
        EXPECT_EQ(waits.Waits(), row.waits);
        TearDown();
    }
}

TEST_F(WpsMethodTest, BridgePinRunSendsTheUpstreamSsid)
{
    // A typed name goes as UTF-8; the surveyed access point's name left as
    // shown goes with its own bytes (here not UTF-8).
    const struct
    {
        const char *typed;
        QByteArray sent;
    } rows[] = {{"Upstream-AP", "Upstream-AP"}, {nullptr, "Caf\xE9-\xFF"}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.sent.constData());
        SetUp();
        g_Var.DeviceMode = DEVICE_WBRIDGE;
        config_.wpsEvents = {3, 34};
        SetSsid(g_Var.SelectedAp.Ssid, "Caf\xE9-\xFF");
        SimDevice &sim = StartDevice();
        ASSERT_TRUE(bench_->Login());
        auto page = EnteredPage();
        EXPECT_EQ(page->EdtSSID->text(), QString::fromUtf8("Caf\u00e9-\u00ff"));
        ASSERT_TRUE(FakeNetwork::WaitFor([&] { return page->EdtPIN->text() == "87654321"; }));
        page->RBtnPIN->setChecked(true);
        if (row.typed)
            page->EdtSSID->setText(row.typed);
        Connect(*page);
        EXPECT_EQ(Count(sim, SimKind::WpsPin), 1);
        EXPECT_EQ(sim.StateJson()["lastWpsPinHex"].toString(),
                  QString::fromLatin1(row.sent.toHex().toUpper()));
        EXPECT_EQ(SsidBytes(g_Var.NewWlConfig.Ssid), row.sent);
        EXPECT_EQ(g_Var.WpsMethod, 0);
        EXPECT_EQ(host_.Commands(), std::vector<int>{WIZARD_NEXT});
        TearDown();
    }
}

TEST_F(WpsMethodTest, TestModeMovesOnAfterAFailedRun)
{
    g_Var.NonWorking = true;
    config_.wpsEvents = {2};
    StartDevice();
    auto page = EnteredPage();
    Connect(*page);
    EXPECT_EQ(ui_.BoxTexts(), QStringList{kErConnect});
    EXPECT_EQ(host_.Commands(), std::vector<int>{WIZARD_NEXT});
}

TEST_F(WpsMethodTest, UnansweredRequestIsRepeatedOnceAfterAFreshLogin)
{
    struct Row
    {
        int dropped;
        bool success;
        int requests;
    };
    for (const Row row : {Row{1, true, 2}, Row{2, false, 2}}) {
        SCOPED_TRACE(row.dropped);
        SetUp();
        config_.wpsEvents = {3, 34};
        config_.dropFirst[SimKind::WpsPbc] = row.dropped;
        SimDevice &sim = StartDevice();
        // Already logged in: the run's one re-login is left for the time-out.
        ASSERT_TRUE(bench_->Login());
        auto page = EnteredPage();
        Connect(*page);
        EXPECT_EQ(Count(sim, SimKind::WpsPbc), row.requests);
        EXPECT_EQ(Count(sim, SimKind::Logout), 1);
        EXPECT_EQ(Count(sim, SimKind::Login), 2);
        EXPECT_EQ(host_.Commands(), row.success ? std::vector<int>{WIZARD_NEXT} : std::vector<int>{});
        TearDown();
    }
}

TEST_F(WpsMethodTest, EventsBeforeTheDeviceAcceptedAreOnlyLogged)
{
    config_.wpsEvents = {3, 34};
    StartDevice();
    auto page = EnteredPage();
    LogCapture log;
    bool injected = false;
    // Right when the request leaves, before its answer: a failure report
    // must not end the run.
    bench_->network.SetSendHook([&](const SentDatagram &) {
        if (injected || !log.Contains("TFormUDP::SendWPSPBC()"))
            return;
        injected = true;
        SendAppMessage(page.get(), UM_UDP_EVENT, UDP_EVENT_WPS_STATUS, 2);
    });
    Connect(*page);
    // The hook sees this test's locals: gone before the engine's last logout.
    bench_->network.SetSendHook(nullptr);
    EXPECT_TRUE(injected);
    EXPECT_TRUE(log.Contains("TFrameWPSMethod::WndProc ignore UM_UDP_EVENT 150, 2"));
    EXPECT_FALSE(log.Contains(
        "TFrameWPSMethod::RecvWPSStatus 2=WSC Fail(Ignore this if Intel/Marvell registrar used)"));
    EXPECT_EQ(host_.Commands(), std::vector<int>{WIZARD_NEXT});

    // With no run under way, events and answers are ignored without a trace.
    log.Clear();
    SendAppMessage(page.get(), UM_UDP_EVENT, UDP_EVENT_WPS_STATUS, 34);
    SendAppMessage(page.get(), UM_UDP_TIMEOUT, REQ_WPS_PBC, 0);
    EXPECT_TRUE(log.Lines().empty());
}

TEST_F(WpsMethodTest, SurveyDialogFillsTheSsidOnSelectOnly)
{
    // No long waits here; the first paint of the dialog must fit in the
    // engine's.
    Timing::SetScale(0.05);
    g_Var.DeviceMode = DEVICE_WBRIDGE;
    SimNetwork wps;
    wps.ssid = "WPS-AP";
    wps.signal = "70";
    wps.wps = true;
    SimNetwork plain;
    plain.ssid = "Plain-AP";
    plain.signal = "90";
    config_.survey = {plain, wps};
    StartDevice();
    auto page = EnteredPage();
    page->RBtnPIN->setChecked(true);
    page->EdtSSID->setText("Typed");

    for (const bool select : {false, true}) {
        SCOPED_TRACE(select);
        bool seen = false;
        // The engine's answers reach the dialog through the page.
        auto filled = [&] {
            TFormWPSSurvey *dialog = page->SurveyDialog();
            return dialog && dialog->FrameWPSSiteSurvey1->SurveyList->topLevelItemCount() > 0;
        };
        WhenReady(page.get(), filled, [&] {
            TFormWPSSurvey *dialog = page->SurveyDialog();
            ASSERT_NE(dialog, nullptr);
            TSortListView *list = dialog->FrameWPSSiteSurvey1->SurveyList;
            EXPECT_EQ(list->topLevelItemCount(), 1);
            if (list->topLevelItemCount() > 0)
                list->setCurrentItem(list->topLevelItem(0));
            seen = true;
            (select ? dialog->BtnSelect : dialog->BtnCancel)->click();
        });
        page->BtnSelectClick();
        EXPECT_TRUE(seen);
        EXPECT_EQ(page->SurveyDialog(), nullptr);
        EXPECT_EQ(page->EdtSSID->text(), select ? "WPS-AP" : "Typed");
    }
}

} // namespace
