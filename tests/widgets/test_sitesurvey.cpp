// The site survey page and the WPS survey dialog, driven against the real
// engine on the in-process fake network with a simulated bridge: login when
// needed, the list's texts, icons, order and drawing, the three ways on,
// test mode, and the dialog that lists only WPS-capable networks.
#include "app/globalvar.h"
#include "app/timing.h"
#include "controls/paintpanel.h"
#include "controls/sortlistview.h"
#include "controls/trifacebtn.h"
#include "messages/appmessage.h"
#include "pages/wireless/formwpssurvey.h"
#include "pages/wireless/framesitesurvey.h"
#include "pages/wireless/framewpssitesurvey.h"
#include "protocol/formudp.h"
#include "simdevice.h"
#include "skin/formres.h"
#include "ui/enginepagetest.h"

#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QTest>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

namespace {

SimNetwork Net(const char *ssid, uint8_t lastBssid, const char *signal, const char *channel, uint8_t enc,
               uint8_t auth, uint8_t status, bool wps, bool flag = false)
{
    SimNetwork n;
    n.flag = flag;
    n.ssid = ssid;
    n.bssid = {0x00, 0x50, 0x43, 0x00, 0x00, lastBssid};
    n.signal = signal;
    n.channel = channel;
    n.encryption = enc;
    n.authentication = auth;
    n.status = status;
    n.wps = wps;
    return n;
}

std::vector<SimNetwork> FourNetworks()
{
    return {
        Net("Weak-Open", 0x01, "40", "6", 0, 0, 0, false),
        Net("Strong-WPA2PSK", 0x02, "80", "11", 3, 3, 1, true, true),
        Net("Shared", 0x03, "19", "1", 1, 1, 0, false),
        Net("Corp-WPA2", 0x04, "100", "36", 3, 6, 0, true),
    };
}

SurveyEntry Entry(const char *ssid, int signal, int channel, uint8_t lastBssid)
{
    SurveyEntry e;
    CopyToField(e.Ssid, QString::fromLatin1(ssid));
    e.Signal = signal;
    e.Channel = channel;
    e.Bssid = {0, 0, 0, 0, 0, lastBssid};
    return e;
}

std::vector<QString> Column(const TSortListView *list, int column)
{
    std::vector<QString> texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts.push_back(list->topLevelItem(i)->text(column));
    return texts;
}

QTreeWidgetItem *RowBySsid(TSortListView *list, const QString &ssid)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(SURVEY_COL_SSID) == ssid)
            return list->topLevelItem(i);
    return nullptr;
}

class SiteSurveyTest : public SimDevicePageTest
{
protected:
    void SetUp() override
    {
        // Waits shrink twenty-fold; a first paint of a window still fits in them.
        Timing::SetScale(0.05);
        SimDevicePageTest::SetUp();
        config_.mode = 2;
        config_.survey = FourNetworks();
        g_Var.WlMethod = static_cast<WirelessMethod>(-1);
    }

    // A page entered forward that has finished its first survey.
    std::unique_ptr<TFrameSiteSurvey> EnteredPage()
    {
        auto page = EnterPage<TFrameSiteSurvey>();
        // WPS comes on only when a survey has finished.
        EXPECT_TRUE(FakeNetwork::WaitFor([&] { return page->BtnWPS->isEnabled(); }, 3000));
        return page;
    }
};

TEST(SurveyListTexts, CodesIconsAndTheDialogsShorterAuthenticationTable)
{
    struct Row
    {
        int code;
        const char *encryption;
        const char *pageAuth;
        const char *dialogAuth;
    };
    const Row rows[] = {
        {0, "Not Use", "OPEN", "OPEN"},
        {1, "WEP", "", ""},
        {2, "TKIP", "WPA-PSK", "WPA-PSK"},
        {3, "AES", "WPA2-PSK", "WPA2-PSK"},
        {4, "TKIP/AES", "WPA-PSK/WPA2-PSK", "WPA-PSK/WPA2-PSK"},
        {5, "", "WPA", ""},
        {6, "", "WPA2", ""},
        {7, "", "WPA/WPA2", ""},
        {8, "", "", ""},
        {255, "", "", ""},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.code);
        EXPECT_EQ(SurveyEncryptionName(row.code), QString::fromLatin1(row.encryption));
        EXPECT_EQ(SurveyAuthenticationName(row.code), QString::fromLatin1(row.pageAuth));
        EXPECT_EQ(TFrameWPSSiteSurvey::AuthenticationText(row.code), QString::fromLatin1(row.dialogAuth));
    }

    const std::pair<int, int> signalIcons[] = {{0, 4},  {19, 4}, {20, 5},  {59, 6},
                                               {79, 7}, {80, 8}, {100, 8}, {-5, 4}};
    for (const auto &[signal, icon] : signalIcons)
        EXPECT_EQ(SurveyView::SignalIcon(signal), icon) << signal;

    struct IconRow
    {
        uint8_t status;
        uint8_t authentication;
        int icon;
    };
    for (const IconRow row : {IconRow{0, 0, 0}, IconRow{1, 0, 1}, IconRow{0, 1, 2}, IconRow{7, 3, 3}}) {
        SurveyEntry e;
        e.Status = row.status;
        e.Authentication = row.authentication;
        EXPECT_EQ(SurveyView::RowIcon(e), row.icon) << int(row.status) << "/" << int(row.authentication);
    }
}

TEST(SurveyListSort, KeysByColumnDirectionAndHeaderClicks)
{
    TFrameSiteSurvey page;
    TSortListView *list = page.SurveyList;
    SurveyView::Fill(list,
                     {Entry("bravo", 40, 11, 3), Entry("Alpha", 80, 2, 1), Entry("charlie", 40, 300, 2),
                      Entry("delta", 80, 1, 4)},
                     &SurveyAuthenticationName);
    // Declared order: signal, strongest first; equal signals keep their
    // arrival order (they compare equal).
    EXPECT_EQ(list->SortColunm(), SURVEY_COL_SIGNAL);
    EXPECT_FALSE(list->Increase());
    EXPECT_EQ(Column(list, SURVEY_COL_SSID), (std::vector<QString>{"Alpha", "delta", "bravo", "charlie"}));
    EXPECT_EQ(SurveyView::Compare(list, list->topLevelItem(0), list->topLevelItem(1)), 0);
    EXPECT_GT(SurveyView::Compare(list, list->topLevelItem(2), list->topLevelItem(0)), 0);

    struct Click
    {
        int column;
        bool increase;
        std::vector<QString> ssids;
    };
    const Click clicks[] = {
        {SURVEY_COL_SIGNAL, true, {"bravo", "charlie", "Alpha", "delta"}},
        {SURVEY_COL_SSID, true, {"Alpha", "bravo", "charlie", "delta"}}, // case-insensitive
        {SURVEY_COL_SSID, false, {"delta", "charlie", "bravo", "Alpha"}},
        {SURVEY_COL_CHANNEL, false, {"charlie", "bravo", "Alpha", "delta"}},
        {SURVEY_COL_BSSID, false, {"delta", "bravo", "charlie", "Alpha"}},
        // The icon column is skipped: neither the key nor the order moves.
        {SURVEY_COL_ICON, false, {"delta", "bravo", "charlie", "Alpha"}},
    };
    for (const Click &click : clicks) {
        SCOPED_TRACE(click.column);
        list->HeaderClicked(click.column);
        EXPECT_EQ(list->Increase(), click.increase);
        EXPECT_EQ(Column(list, SURVEY_COL_SSID), click.ssids);
    }
    EXPECT_EQ(list->SortColunm(), SURVEY_COL_BSSID);
}

TEST(SurveyListSort, ChannelComparesUnsigned)
{
    TFrameSiteSurvey page;
    TSortListView *list = page.SurveyList;
    list->SetSortColunm(SURVEY_COL_CHANNEL);
    list->SetIncrease(true);
    SurveyView::Fill(list, {Entry("minus", 10, -1, 1), Entry("six", 10, 6, 2)},
                     &SurveyAuthenticationName);
    EXPECT_EQ(Column(list, SURVEY_COL_SSID), (std::vector<QString>{"six", "minus"}));
}

TEST_F(SiteSurveyTest, EntryLogsInFirstThenListsTheNetworksWithTextsAndIcons)
{
    SimDevice &sim = StartDevice();
    ASSERT_FALSE(bench_->engine->loggedIn());
    WaitRecorder waits;
    auto page = EnteredPage();
    EXPECT_EQ(sim.Requests().at(SimKind::Login), 1);
    EXPECT_EQ(sim.Requests().at(SimKind::SiteSurvey), 1);
    EXPECT_EQ(waits.Waits(), (std::vector<RecordedWait>{{REQ_LOGIN, 5000}, {REQ_SITE_SURVEY, 7000}}));

    TSortListView *list = page->SurveyList;
    ASSERT_EQ(list->topLevelItemCount(), 4);
    EXPECT_EQ(Column(list, SURVEY_COL_SSID),
              (std::vector<QString>{"Corp-WPA2", "Strong-WPA2PSK", "Weak-Open", "Shared"}));

    QTreeWidgetItem *strong = RowBySsid(list, "Strong-WPA2PSK");
    ASSERT_NE(strong, nullptr);
    EXPECT_EQ(strong->text(SURVEY_COL_ICON), QString());
    EXPECT_EQ(strong->text(SURVEY_COL_CHANNEL), "11");
    EXPECT_EQ(strong->text(SURVEY_COL_SIGNAL), "80%");
    EXPECT_EQ(strong->text(SURVEY_COL_ENCRYPTION), "AES");
    EXPECT_EQ(strong->text(SURVEY_COL_AUTHENTICATION), "WPA2-PSK");
    EXPECT_EQ(strong->text(SURVEY_COL_BSSID), "00:50:43:00:00:02");
    EXPECT_EQ(strong->data(SURVEY_COL_ICON, SURVEY_ICON_ROLE).toInt(), 3);
    EXPECT_EQ(strong->data(SURVEY_COL_SIGNAL, SURVEY_ICON_ROLE).toInt(), 8);

    QTreeWidgetItem *shared = RowBySsid(list, "Shared");
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared->text(SURVEY_COL_AUTHENTICATION), QString());
    EXPECT_EQ(shared->data(SURVEY_COL_ICON, SURVEY_ICON_ROLE).toInt(), 2);
    EXPECT_EQ(shared->data(SURVEY_COL_SIGNAL, SURVEY_ICON_ROLE).toInt(), 4);
    EXPECT_EQ(RowBySsid(list, "Corp-WPA2")->text(SURVEY_COL_AUTHENTICATION), "WPA2");

    EXPECT_TRUE(page->BtnWPS->isEnabled());
    EXPECT_FALSE(page->BtnNext->isEnabled());
    EXPECT_TRUE(page->PlSearch->isHidden());

    list->setCurrentItem(strong);
    EXPECT_TRUE(page->BtnNext->isEnabled());
}

TEST_F(SiteSurveyTest, EmptySurveyLeavesConnectOffAndWpsOn)
{
    config_.survey.clear();
    StartDevice();
    auto page = EnteredPage();
    EXPECT_EQ(page->SurveyList->topLevelItemCount(), 0);
    EXPECT_TRUE(page->BtnWPS->isEnabled());
    EXPECT_FALSE(page->BtnNext->isEnabled());
}

TEST_F(SiteSurveyTest, RefusedLoginStartsNoSurvey)
{
    config_.refuseLogins = true;
    SimDevice &sim = StartDevice();
    auto page = std::make_unique<TFrameSiteSurvey>();
    host_.page = page.get();
    page->CanEnter(nullptr, false, 0);
    EXPECT_TRUE(FakeNetwork::WaitFor([&] { return sim.Requests().count(SimKind::Login) > 0; }));
    FakeNetwork::WaitFor([] { return false; }, 200);
    EXPECT_EQ(sim.Requests().count(SimKind::SiteSurvey), 0u);
}

TEST_F(SiteSurveyTest, ButtonsRecordTheWayOnAndTheChosenNetwork)
{
    config_.survey.push_back(Net("Caf\xE9-\xFF", 0x05, "30", "3", 0, 0, 0, false)); // not UTF-8
    StartDevice();
    auto page = EnteredPage();
    TSortListView *list = page->SurveyList;

    // Connect without a selection does nothing.
    page->BtnNextClick();
    QCoreApplication::processEvents();
    EXPECT_TRUE(host_.Commands().empty());
    EXPECT_EQ(g_Var.WlMethod, WirelessMethod::Profile);

    list->setCurrentItem(RowBySsid(list, "Strong-WPA2PSK"));
    page->BtnNextClick();
    QCoreApplication::processEvents();
    EXPECT_EQ(host_.Commands(), (std::vector<int>{WIZARD_NEXT}));
    EXPECT_STREQ(g_Var.SelectedAp.Ssid, "Strong-WPA2PSK");
    EXPECT_TRUE(g_Var.SelectedAp.Flag);
    EXPECT_EQ(g_Var.SelectedAp.Authentication, 3);
    // A name that is not UTF-8 is listed in Windows-1252 and chosen with its bytes.
    list->setCurrentItem(RowBySsid(list, QString::fromUtf8("Caf\u00e9-\u00ff")));
    page->BtnNextClick();
    QCoreApplication::processEvents();
    EXPECT_EQ(SsidBytes(g_Var.SelectedAp.Ssid), QByteArray("Caf\xE9-\xFF"));

    // Coming back clears the choice and runs a new survey; WPS without a
    // selection still moves on with the cleared entry.
    host_.Clear();
    page->CanEnter(nullptr, true, 0);
    EXPECT_EQ(g_Var.SelectedAp, SurveyEntry{});
    FakeNetwork::WaitFor([&] { return page->BtnWPS->isEnabled(); }, 3000);
    page->BtnWPSClick();
    page->BtnManualClick();
    page->BtnBackClick();
    page->BtnExitClick();
    QCoreApplication::processEvents();
    EXPECT_EQ(host_.Commands(), (std::vector<int>{WIZARD_NEXT, WIZARD_NEXT, WIZARD_BACK, WIZARD_EXIT}));
    EXPECT_EQ(g_Var.WlMethod, WirelessMethod::Manual);
    EXPECT_EQ(g_Var.SelectedAp, SurveyEntry{});
}

TEST_F(SiteSurveyTest, TestModeUsesTheSampleNetworkWithoutAnyDevice)
{
    // No device answers: the survey times out.
    bench_ = std::make_unique<EngineBench>();
    bench_->Discover();
    g_Var.NonWorking = true;
    auto page = std::make_unique<TFrameSiteSurvey>();
    host_.page = page.get();
    page->CanEnter(nullptr, false, 0);
    ASSERT_TRUE(FakeNetwork::WaitFor([&] { return page->BtnNext->isEnabled(); }, 3000));
    EXPECT_TRUE(page->BtnWPS->isEnabled());

    const SurveyEntry sample = TFrameSiteSurvey::NonWorkingEntry();
    EXPECT_STREQ(sample.Ssid, "NonWorkingTestMode");
    EXPECT_EQ(std::memcmp(sample.Bssid.data(), "123456", 6), 0);
    EXPECT_EQ(sample.Signal, 80);
    EXPECT_EQ(sample.Status, 1);
    EXPECT_TRUE(sample.Wps);

    struct Row
    {
        void (TFrameSiteSurvey::*click)();
        WirelessMethod wlMethod;
    };
    for (const Row row : {Row{&TFrameSiteSurvey::BtnNextClick, WirelessMethod::Profile},
                          Row{&TFrameSiteSurvey::BtnWPSClick, WirelessMethod::Wps}}) {
        g_Var.SelectedAp = SurveyEntry{};
        host_.Clear();
        (page.get()->*row.click)();
        QCoreApplication::processEvents();
        EXPECT_EQ(g_Var.WlMethod, row.wlMethod);
        EXPECT_EQ(g_Var.SelectedAp, sample);
        EXPECT_EQ(host_.Commands(), (std::vector<int>{WIZARD_NEXT}));
    }
}

TEST_F(SiteSurveyTest, RowsAreDrawnOnStripesWithTheSelectionBox)
{
    config_.survey = {Net("one", 1, "90", "1", 0, 0, 0, false), Net("two", 2, "50", "1", 0, 0, 0, false)};
    StartDevice();
    auto page = EnteredPage();
    TSortListView *list = page->SurveyList;
    page->resize(600, 324);
    page->show();
    list->setCurrentItem(list->topLevelItem(0));

    const QImage shot = list->viewport()->grab().toImage();
    const QRect row0 = list->visualItemRect(list->topLevelItem(0));
    const QRect row1 = list->visualItemRect(list->topLevelItem(1));
    const int x = list->header()->sectionViewportPosition(SURVEY_COL_BSSID) + 100; // past the text
    // Selected first row: the light blue fill inside its outline.
    EXPECT_EQ(QColor(shot.pixel(x, row0.center().y())), QColor(229, 236, 248));
    EXPECT_EQ(QColor(shot.pixel(x, row0.top())), QColor(152, 181, 226));
    // The second row lies on an odd stripe, the third stripe (no row) on white.
    EXPECT_EQ(QColor(shot.pixel(x, row1.center().y())), QColor(255, 255, 225));
    const int third = row1.bottom() + row1.height() / 2;
    if (third < shot.height()) {
        EXPECT_EQ(QColor(shot.pixel(x, third)), QColor(Qt::white));
    }
    // Below the last row the stripes go on, one row high.
    const int fourth = row1.bottom() + row1.height() + row1.height() / 2;
    if (fourth < shot.height()) {
        EXPECT_EQ(QColor(shot.pixel(x, fourth)), QColor(255, 255, 225));
    }
}

// The filled list on screen: each row holds its whole 16 x 16 icons (the
// next row does not paint over them), and grid lines close every row and
// column.
TEST_F(SiteSurveyTest, FilledListKeepsEachIconInItsRowWithGridLines)
{
    config_.survey = {Net("one", 1, "90", "1", 3, 3, 1, false), Net("two", 2, "50", "1", 0, 0, 0, false),
                      Net("three", 3, "10", "1", 2, 2, 0, false)};
    StartDevice();
    auto page = EnteredPage();
    TSortListView *list = page->SurveyList;
    page->resize(600, 324);
    page->show();
    list->clearSelection();
    const QImage shot = list->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const TImageList &icons = FormRes()->ImgsType();
    const QColor grid(192, 192, 192);
    ASSERT_EQ(list->topLevelItemCount(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const QTreeWidgetItem *item = list->topLevelItem(i);
        const QRect row = list->visualItemRect(item);
        ASSERT_GE(row.height(), icons.Height() + 1);
        for (int column : {int(SURVEY_COL_ICON), int(SURVEY_COL_SIGNAL)}) {
            // The icon as the list draws it, over the row's stripe.
            QImage expected(icons.Width(), icons.Height(), QImage::Format_RGB32);
            expected.fill(i % 2 ? QColor(255, 255, 225) : QColor(Qt::white));
            QPainter painter(&expected);
            icons.Draw(painter, 0, 0, item->data(column, SURVEY_ICON_ROLE).toInt());
            painter.end();
            const int left = list->header()->sectionViewportPosition(column) + 2;
            EXPECT_EQ(shot.copy(left, row.top(), icons.Width(), icons.Height()), expected) << column;
        }
        const int x = list->header()->sectionViewportPosition(SURVEY_COL_BSSID) + 100; // past the text
        EXPECT_EQ(QColor(shot.pixel(x, row.bottom())), grid);
        const int edge = list->header()->sectionViewportPosition(SURVEY_COL_SSID) - 1;
        EXPECT_EQ(QColor(shot.pixel(edge, row.center().y())), grid);
    }
}

TEST_F(SiteSurveyTest, WpsDialogListsOnlyWpsNetworksAndReturnsTheChoice)
{
    StartDevice();
    struct Row
    {
        const char *select; // nullptr: no selection
        bool pressSelect;
        int result;
        const char *ssid;
    };
    const Row rows[] = {
        {"Corp-WPA2", true, 1, "Corp-WPA2"},
        {nullptr, true, 1, ""},
        {"Strong-WPA2PSK", false, 2, "Strong-WPA2PSK"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.result);
        TFormWPSSurvey dialog;
        host_.page = dialog.FrameWPSSiteSurvey1;
        TSortListView *list = dialog.FrameWPSSiteSurvey1->SurveyList;
        bool checked = false;
        WhenReady(
            &dialog, [&] { return list->topLevelItemCount() > 0; },
            [&] {
                EXPECT_EQ(Column(list, SURVEY_COL_SSID),
                          (std::vector<QString>{"Corp-WPA2", "Strong-WPA2PSK"}));
                // WPA2 (6) has no text here, unlike on the page.
                EXPECT_EQ(Column(list, SURVEY_COL_AUTHENTICATION),
                          (std::vector<QString>{QString(), "WPA2-PSK"}));
                if (row.select)
                    list->setCurrentItem(RowBySsid(list, row.select));
                checked = true;
                QTest::mouseClick(row.pressSelect ? dialog.BtnSelect : dialog.BtnCancel, Qt::LeftButton);
            });
        EXPECT_EQ(dialog.ShowCentered(nullptr), row.result);
        EXPECT_TRUE(checked);
        EXPECT_EQ(dialog.SelectedSsid(), QByteArray(row.ssid));
    }
}

TEST_F(SiteSurveyTest, DialogSurveyTimeOutShowsWhatTheEngineHoldsAndReenablesRefresh)
{
    StartDevice();
    // A first survey fills the engine's list, the second one is lost.
    auto page = EnteredPage();
    bench_->network.Devices().front()->respond = nullptr;

    TFrameWPSSiteSurvey frame;
    host_.page = &frame;
    frame.BtnRefreshClick();
    EXPECT_FALSE(frame.BtnRefresh->isEnabled());
    EXPECT_FALSE(frame.PlSearch->isHidden());
    ASSERT_TRUE(FakeNetwork::WaitFor([&] { return frame.BtnRefresh->isEnabled(); }, 3000));
    EXPECT_TRUE(frame.PlSearch->isHidden());
    EXPECT_EQ(Column(frame.SurveyList, SURVEY_COL_SSID),
              (std::vector<QString>{"Corp-WPA2", "Strong-WPA2PSK"}));
}

} // namespace
