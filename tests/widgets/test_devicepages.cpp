// The device access pages driven through their controls, with the real
// engine talking to simulated devices on the in-process fake network: the
// device list's search and selection, the login with its configuration
// read, the operating-mode change with its one re-login, the setup-method
// choices with the dynamic-address write, and the success page's buttons.
#include "app/debug.h"
#include "app/globalvar.h"
#include "controls/sortlistview.h"
#include "controls/trifacebtn.h"
#include "framework/devicewrite.h"
#include "messages/appmessage.h"
#include "pages/device/framedevlist.h"
#include "pages/device/framepassword.h"
#include "pages/device/framesetupmethod.h"
#include "pages/device/framesuccess.h"
#include "pages/device/framewlmodesel.h"
#include "protocol/rc4encry.h"
#include "ui/enginepagetest.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

const QString kErLogin = QStringLiteral("Unable to login the deivce.");

class DevicePagesTest : public BenchPageTest
{
protected:
    void SetUp() override
    {
        BenchPageTest::SetUp();
        g_Var.DeviceMode = DEVICE_AP;
        g_Var.SetupMethod = 0;
        g_Var.SelectedDevice = DeviceRecord{};
    }
};

// --------------------------------------------------------------------- design

// The settings file and the host address controls by name, so every page
// must carry its controls under their names, with the standard buttons in
// their places and the designed captions.
TEST_F(DevicePagesTest, PagesCarryTheirNamedControlsAndStandardButtons)
{
    struct Button
    {
        const char *name;
        const char *caption;
        int left;
    };
    struct Row
    {
        std::unique_ptr<TFrameBase> page;
        const char *groupBox;
        int groupLeft;
        std::vector<Button> buttons;
        std::vector<const char *> others;
    };
    std::vector<Row> rows;
    rows.push_back({std::make_unique<TFrameDevList>(),
                    "GBoxDevList",
                    12,
                    {{"BtnExit", "Exit", 24}, {"BtnBack", "Back", 389}, {"BtnCfg", "Configure", 492}},
                    {"LbDevListInfo", "LvDevList", "BtnRefresh", "PlSearch", "TimerSearch"}});
    rows.push_back({std::make_unique<TFramePassword>(),
                    "GBoxPassword",
                    24,
                    {{"BtnExit", "Exit", 24}, {"BtnBack", "Back", 389}, {"BtnLogin", "Login", 492}},
                    {"LbPassword", "EdtPassword", "LbDefPswd", "LbInfo1"}});
    rows.push_back({std::make_unique<TFrameWlModeSel>(),
                    "GBoxWlModeSel",
                    24,
                    {{"BtnExit", "Exit", 24}, {"BtnBack", "Back", 389}, {"BtnNext", "Next", 492}},
                    {"RBtnAPMode", "LbAPModeInfo", "Image1", "RBtnWirelessBridge", "LbWirelessBridgeInfo",
                     "Image2", "Label1"}});
    rows.push_back({std::make_unique<TFrameSetupMethod>(),
                    "GBoxSetupMethod",
                    12,
                    {{"BtnExit", "Exit", 24}, {"BtnBack", "Back", 389}, {"BtnNext", "Next", 492}},
                    {"LbCurrentIP", "LbIP", "LblIP", "LbMask", "LblMask", "LbGateway", "LblGateway",
                     "RBtnSetIPDHCP", "LbDHCPInfo", "RBtnSetIP", "LbSetIPInfo", "RBtnSetWireless",
                     "RBtnWebUI", "RBtnSetAdvance", "LbClickNext"}});
    rows.push_back({std::make_unique<TFrameSuccess>(),
                    "GBoxSuccess",
                    24,
                    {{"BtnExit", "Exit", 492}, {"BtnBack", "Back", 389}, {"BtnNext", "Next", 24}},
                    {"LbSuccess1", "LbSuccess2"}});
    for (const Row &row : rows) {
        const QString className = QString::fromLatin1(row.page->metaObject()->className());
        SCOPED_TRACE(className.toStdString());
        auto *background = row.page->findChild<QWidget *>(QStringLiteral("ImgBG"));
        ASSERT_NE(background, nullptr);
        EXPECT_EQ(background->geometry(), QRect(0, 0, 600, 324));
        auto *group = row.page->findChild<QWidget *>(QString::fromLatin1(row.groupBox));
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(group->pos(), QPoint(row.groupLeft, 16));
        for (const Button &button : row.buttons) {
            auto *widget = row.page->findChild<TTrifaceBtn *>(QString::fromLatin1(button.name));
            ASSERT_NE(widget, nullptr) << button.name;
            EXPECT_EQ(widget->text(), QString::fromLatin1(button.caption));
            EXPECT_EQ(widget->geometry(), QRect(button.left, 288, 85, 21)) << button.name;
        }
        for (const char *name : row.others)
            EXPECT_NE(row.page->findChild<QObject *>(QString::fromLatin1(name)), nullptr) << name;
    }
}

// ---------------------------------------------------------------- device list

class DevListTest : public DevicePagesTest
{
protected:
    QStringList Row(TFrameDevList &page, int row)
    {
        QTreeWidgetItem *item = page.LvDevList->topLevelItem(row);
        return item ? QStringList{item->text(0), item->text(1)} : QStringList{};
    }
    void Search(TFrameDevList &page, bool isBack = false)
    {
        page.CanEnter(nullptr, isBack, 0);
        ASSERT_TRUE(WaitUntil([&] { return !page.Searching(); }));
    }
    void ClickRow(TFrameDevList &page, int row)
    {
        QTreeWidgetItem *item = page.LvDevList->topLevelItem(row);
        ASSERT_NE(item, nullptr);
        QTest::mouseClick(page.LvDevList->viewport(), Qt::LeftButton, {},
                          page.LvDevList->visualItemRect(item).center());
    }
};

TEST_F(DevListTest, ForwardEntrySearchesAndListsDevicesInAnswerOrder)
{
    SimDeviceConfig second = SimConfig(2, "Zeta");
    second.delayMs = 300; // answers after the first
    bench.AddDevice(SimConfig(1, "Office AP"));
    bench.AddDevice(second, QStringLiteral("192.168.1.2"));
    auto page = MakePage<TFrameDevList>();

    WaitRecorder waits;
    page->CanEnter(nullptr, false, 0);
    EXPECT_TRUE(page->Searching());
    EXPECT_TRUE(page->PlSearch->isVisibleTo(page.get()));
    EXPECT_FALSE(page->BtnRefresh->isEnabled());
    ASSERT_TRUE(WaitUntil([&] { return !page->Searching(); }));

    EXPECT_FALSE(page->PlSearch->isVisibleTo(page.get()));
    EXPECT_TRUE(page->BtnRefresh->isEnabled());
    EXPECT_FALSE(page->BtnCfg->isEnabled());
    ASSERT_EQ(page->LvDevList->topLevelItemCount(), 2);
    EXPECT_EQ(Row(*page, 0), (QStringList{"Office AP", "02:00:4C:00:00:01"}));
    EXPECT_EQ(Row(*page, 1), (QStringList{"Zeta", "02:00:4C:00:00:02"}));
    ASSERT_NE(page->RowRecord(1), nullptr);
    EXPECT_EQ(page->RowRecord(1)->DeviceIp, 0xC0A80102u);
    EXPECT_EQ(page->RowRecord(1)->LocalIp, 0xC0A80164u);
    // The discovery's 4 s and the search's upper bound of 10 s.
    EXPECT_EQ(waits.Waits(), (std::vector<RecordedWait>{{REQ_DISCOVER, 4000}, {REQ_DISCOVER, 10000}}));
}

TEST_F(DevListTest, BackEntryKeepsRowsAndSelectionAndForwardEntryStartsAfresh)
{
    bench.AddDevice(SimConfig(1, "A"));
    bench.AddDevice(SimConfig(2, "B"), QStringLiteral("192.168.1.2"));
    auto page = MakePage<TFrameDevList>();
    page->show();
    Search(*page);
    ASSERT_EQ(page->LvDevList->topLevelItemCount(), 2);
    ClickRow(*page, 1);
    EXPECT_TRUE(page->BtnCfg->isEnabled());

    page->CanEnter(nullptr, true, 0);
    EXPECT_FALSE(page->Searching());
    EXPECT_EQ(page->LvDevList->topLevelItemCount(), 2);
    ASSERT_EQ(page->LvDevList->selectedItems().size(), 1);
    EXPECT_EQ(page->LvDevList->indexOfTopLevelItem(page->LvDevList->selectedItems().first()), 1);
    EXPECT_EQ(bench.Requests(SimKind::Discover), 1);

    page->CanEnter(nullptr, false, 0);
    EXPECT_EQ(page->LvDevList->topLevelItemCount(), 0);
    EXPECT_FALSE(page->BtnCfg->isEnabled());
    ASSERT_TRUE(WaitUntil([&] { return !page->Searching(); }));
    EXPECT_EQ(page->LvDevList->topLevelItemCount(), 2);
    EXPECT_EQ(bench.Requests(SimKind::Discover), 2);
}

TEST_F(DevListTest, DeviceAnsweringTwiceIsListedOnce)
{
    SimDeviceConfig config = SimConfig(1, "Twice");
    config.answerTwice = true;
    bench.AddDevice(config);
    auto page = MakePage<TFrameDevList>();
    Search(*page);
    EXPECT_EQ(page->LvDevList->topLevelItemCount(), 1);
}

TEST_F(DevListTest, EmptyNameGivesAnEmptyFirstColumn)
{
    bench.AddDevice(SimConfig(5, ""));
    auto page = MakePage<TFrameDevList>();
    Search(*page);
    ASSERT_EQ(page->LvDevList->topLevelItemCount(), 1);
    EXPECT_EQ(Row(*page, 0), (QStringList{"", "02:00:4C:00:00:05"}));
}

TEST_F(DevListTest, LostTimeoutMessageIsCoveredByTheSearchTimer)
{
    bench.AddDevice(SimConfig(1, "A"));
    auto page = MakePage<TFrameDevList>();
    main.page = nullptr; // the engine's time-out never reaches the page
    page->CanEnter(nullptr, false, 0);
    ASSERT_TRUE(bench.WaitIdle());
    EXPECT_TRUE(page->Searching());
    ASSERT_TRUE(WaitUntil([&] { return !page->Searching(); }));
    EXPECT_EQ(page->LvDevList->topLevelItemCount(), 1);
}

TEST_F(DevListTest, ClickOnEmptySpaceDisablesConfigure)
{
    bench.AddDevice(SimConfig(1, "A"));
    auto page = MakePage<TFrameDevList>();
    page->show();
    Search(*page);
    ClickRow(*page, 0);
    EXPECT_TRUE(page->BtnCfg->isEnabled());
    QWidget *viewport = page->LvDevList->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(20, viewport->height() - 5));
    EXPECT_TRUE(page->LvDevList->selectedItems().isEmpty());
    EXPECT_FALSE(page->BtnCfg->isEnabled());
    page->BtnCfg->click(); // disabled: nothing happens
    EXPECT_TRUE(Commands().empty());
}

TEST_F(DevListTest, HeaderClicksDoNotReorderRows)
{
    SimDeviceConfig second = SimConfig(2, "Alpha");
    second.delayMs = 300;
    bench.AddDevice(SimConfig(1, "Zulu"));
    bench.AddDevice(second, QStringLiteral("192.168.1.2"));
    auto page = MakePage<TFrameDevList>();
    page->show();
    Search(*page);
    QHeaderView *header = page->LvDevList->header();
    for (int column : {0, 0, 1}) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 10, header->height() / 2));
        EXPECT_EQ(Row(*page, 0).value(0), QStringLiteral("Zulu"));
        EXPECT_EQ(Row(*page, 1).value(0), QStringLiteral("Alpha"));
    }
}

TEST_F(DevListTest, ConfigureTakesTheDeviceAndResetsTheFourRecords)
{
    bench.AddDevice(SimConfig(1, "A"));
    bench.AddDevice(SimConfig(2, "B"), QStringLiteral("192.168.1.2"));
    auto page = MakePage<TFrameDevList>();
    page->show();
    Search(*page);
    ClickRow(*page, 1);
    g_Var.CurIpConfig = {0, 1, 2, 3, 4, 5};
    g_Var.NewIpConfig = {0, 6, 7, 8, 9, 10};
    CopyToField(g_Var.CurWlConfig.Ssid, QStringLiteral("old"));
    g_Var.NewWlConfig.SecurityMode = SECMODE_WEP;

    page->BtnCfg->click();
    EXPECT_EQ(Commands(), std::vector<int>{WIZARD_NEXT});
    EXPECT_EQ(g_Var.SelectedDevice, *page->RowRecord(1));
    EXPECT_EQ(FieldText(g_Var.SelectedDevice.Name), QStringLiteral("B"));
    const IpConfigRecord reset{IP_MODE_DHCP, 0, 0, 0, 0, 0};
    EXPECT_EQ(g_Var.CurIpConfig, reset);
    EXPECT_EQ(g_Var.NewIpConfig, reset);
    EXPECT_EQ(FieldText(g_Var.CurWlConfig.Ssid), QStringLiteral("wireless"));
    EXPECT_EQ(g_Var.NewWlConfig.SecurityMode, SECMODE_NONE);
}

TEST_F(DevListTest, TestModeEnablesConfigureWithoutADevice)
{
    g_Var.NonWorking = true;
    g_Var.SelectedDevice.DeviceIp = 0x0A000001;
    g_Var.CurIpConfig.Ip = 99;
    auto page = MakePage<TFrameDevList>();
    Search(*page);
    EXPECT_EQ(page->LvDevList->topLevelItemCount(), 0);
    EXPECT_TRUE(page->BtnCfg->isEnabled());
    page->BtnCfg->click();
    EXPECT_EQ(Commands(), std::vector<int>{WIZARD_NEXT});
    EXPECT_EQ(g_Var.SelectedDevice.DeviceIp, 0x0A000001u);
    EXPECT_EQ(g_Var.CurIpConfig.Ip, 0u);
}

// Whether anything darker than the list's white is drawn in its empty area.
bool ViewportHasText(TSortListView *list)
{
    const QImage image = list->viewport()->grab().toImage();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128)
                return true;
        }
    }
    return false;
}

TEST_F(DevListTest, EmptySearchShowsTheHintUntilRowsArriveOrRefresh)
{
    const QString hint =
        QStringLiteral("No device answered. Check that the device is switched on and connected "
                       "to this computer, then click Refresh. A firewall on this computer must "
                       "let UDP port 5433 in.");
    auto page = MakePage<TFrameDevList>();
    page->show();
    Search(*page);
    EXPECT_EQ(page->LvDevList->EmptyText(), hint);
    EXPECT_TRUE(ViewportHasText(page->LvDevList));

    page->BtnRefresh->click();
    EXPECT_TRUE(page->Searching());
    EXPECT_EQ(page->LvDevList->EmptyText(), QString());
    EXPECT_FALSE(ViewportHasText(page->LvDevList)) << "gone while the new search runs";
    ASSERT_TRUE(WaitUntil([&] { return !page->Searching(); }));
    EXPECT_EQ(page->LvDevList->EmptyText(), hint);

    bench.AddDevice(SimConfig(1, "A"));
    page->BtnRefresh->click();
    ASSERT_TRUE(WaitUntil([&] { return !page->Searching(); }));
    EXPECT_EQ(page->LvDevList->topLevelItemCount(), 1);
    EXPECT_EQ(page->LvDevList->EmptyText(), QString());
    EXPECT_TRUE(ui.boxes.isEmpty()) << "the hint is no message box";
}

TEST_F(DevListTest, ExitAndBackPostTheirCommands)
{
    auto page = MakePage<TFrameDevList>();
    page->BtnExit->click();
    page->BtnBack->click();
    EXPECT_EQ(Commands(), (std::vector<int>{WIZARD_EXIT, WIZARD_BACK}));
}

// ------------------------------------------------------------------- password

class PasswordTest : public DevicePagesTest
{
protected:
    // Discovers the first device and selects it, as the device list does.
    void SelectDevice()
    {
        const std::vector<DeviceRecord> devices = bench.Discover();
        ASSERT_FALSE(devices.empty());
        g_Var.SelectedDevice = devices.front();
        main.Clear();
    }
};

TEST_F(PasswordTest, EntryShowsTheStoredPasswordAndTheFactoryHint)
{
    auto page = MakePage<TFramePassword>();
    g_Var.Password = QStringLiteral("secret");
    page->CanEnter(nullptr, false, 0);
    EXPECT_EQ(page->EdtPassword->text(), QStringLiteral("secret"));
    EXPECT_EQ(page->LbDefPswd->text(), QStringLiteral("( default password : tulip )"));
    page->EdtPassword->setText(QStringLiteral("typed"));
    page->LbDefPswd->setText(QStringLiteral("changed"));
    page->CanEnter(nullptr, true, 0);
    EXPECT_EQ(page->EdtPassword->text(), QStringLiteral("typed"));
    EXPECT_EQ(page->LbDefPswd->text(), QStringLiteral("( default password : tulip )"));
    EXPECT_EQ(page->EdtPassword->echoMode(), QLineEdit::Password);
}

TEST_F(PasswordTest, SeventeenthCharacterCannotBeTyped)
{
    auto page = MakePage<TFramePassword>();
    page->EdtPassword->clear();
    QTest::keyClicks(page->EdtPassword, QStringLiteral("abcdefghijklmnopq"));
    EXPECT_EQ(page->EdtPassword->text(), QStringLiteral("abcdefghijklmnop"));
}

TEST_F(PasswordTest, LoginReadsTheConfigurationAndMovesOn)
{
    SimDeviceConfig config = SimConfig(1);
    config.ip = 0xC0A8010A;
    bench.AddDevice(config);
    SelectDevice();
    auto page = MakePage<TFramePassword>();
    page->EdtPassword->setText(QStringLiteral("tulip"));
    WaitRecorder waits;
    page->BtnLogin->click();
    EXPECT_EQ(waits.Waits(), (std::vector<RecordedWait>{{REQ_LOGIN, 5000}, {REQ_GET_CONFIG, 15000}}));
    EXPECT_EQ(Commands(), std::vector<int>{WIZARD_NEXT});
    EXPECT_TRUE(bench.engine->loggedIn());
    EXPECT_EQ(bench.Requests(SimKind::GetConfig), 1);
    EXPECT_EQ(g_Var.CurIpConfig.Ip, 0xC0A8010Au);
    EXPECT_TRUE(ui.boxes.isEmpty());
    EXPECT_EQ(page->ProgressDialog(), nullptr);
}

TEST_F(PasswordTest, EmptyPasswordIsStoredAndUsedAsTheDefaultKey)
{
    SimDeviceConfig config = SimConfig(1);
    config.password = QByteArray(Protocol::kDefaultCipherKey.data(), int(Protocol::kDefaultCipherKey.size()));
    bench.AddDevice(config);
    SelectDevice();
    auto page = MakePage<TFramePassword>();
    page->EdtPassword->clear();
    page->BtnLogin->click();
    EXPECT_EQ(g_Var.Password, QString());
    EXPECT_EQ(Commands(), std::vector<int>{WIZARD_NEXT});
    EXPECT_EQ(bench.Requests(SimKind::GetConfig), 1);
}

TEST_F(PasswordTest, FailedLoginShowsTheMessageAndKeepsThePage)
{
    struct Row
    {
        const char *what;
        bool refuse;
        const char *devicePassword;
        SimKind drop;
        int configReads;
    };
    const Row rows[] = {
        {"refused (result 0)", true, "tulip", SimKind::Unknown, 0},
        {"wrong password", false, "other", SimKind::Unknown, 0},
        {"login not answered", false, "tulip", SimKind::Login, 0},
        {"configuration not answered", false, "tulip", SimKind::GetConfig, 1},
    };
    for (const Row &row : rows) {
        for (bool nonWorking : {false, true}) {
            SCOPED_TRACE(std::string(row.what) + (nonWorking ? " in test mode" : ""));
            EngineBench local; // a fresh device for each case
            SimDeviceConfig config = SimConfig(1);
            config.refuseLogins = row.refuse;
            config.password = row.devicePassword;
            if (row.drop != SimKind::Unknown)
                config.dropFirst[row.drop] = 1;
            local.AddDevice(config);
            const std::vector<DeviceRecord> devices = local.Discover();
            ASSERT_EQ(devices.size(), 1u);
            g_Var.SelectedDevice = devices.front();
            g_Var.NonWorking = nonWorking;
            ui.Clear();
            main.Clear();

            TFramePassword page;
            page.LoadPageTexts();
            main.page = &page;
            page.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
            page.activateWindow();
            page.EdtPassword->setText(QStringLiteral("tulip"));
            page.BtnLogin->setFocus();
            page.BtnLogin->click();

            EXPECT_EQ(ui.BoxTexts(), QStringList{kErLogin});
            EXPECT_EQ(local.Requests(SimKind::GetConfig), row.configReads);
            EXPECT_EQ(page.focusWidget(), page.EdtPassword);
            EXPECT_EQ(Commands(), nonWorking ? std::vector<int>{WIZARD_NEXT} : std::vector<int>{});
            EXPECT_EQ(g_Var.Password, QStringLiteral("tulip"));
            main.page = nullptr;
        }
    }
}

TEST_F(PasswordTest, EngineMessagesWithoutADialogAreIgnored)
{
    auto page = MakePage<TFramePassword>();
    SendAppMessage(page.get(), UM_UDP_REPLY, REQ_LOGIN, 1);
    SendAppMessage(page.get(), UM_UDP_REPLY, REQ_GET_CONFIG, 1);
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(bench.engine->Pending(), REQ_NONE);
}

// ------------------------------------------------------------ operating mode

class WlModeSelTest : public DevicePagesTest
{
protected:
    // A logged-in device in `mode`; the page loaded and entered forward, its
    // get-mode answer delivered.
    std::unique_ptr<TFrameWlModeSel> EnterWithDevice(uint8_t mode, SimDeviceConfig config = SimConfig(1))
    {
        config.mode = mode;
        bench.AddDevice(config);
        EXPECT_TRUE(bench.Login());
        main.Clear();
        auto page = MakePage<TFrameWlModeSel>();
        page->CanEnter(nullptr, false, 0);
        page->Entered(nullptr, false, 0);
        EXPECT_TRUE(bench.WaitIdle());
        return page;
    }
};

TEST_F(WlModeSelTest, LoadingStartsAsAccessPoint)
{
    g_Var.DeviceMode = DEVICE_WBRIDGE;
    TFrameWlModeSel page;
    page.RBtnWirelessBridge->setChecked(true);
    page.LoadPageTexts();
    EXPECT_EQ(g_Var.DeviceMode, DEVICE_AP);
    EXPECT_TRUE(page.RBtnAPMode->isChecked());
}

TEST_F(WlModeSelTest, ShowingTheModeLogsItAndSetsTheRadios)
{
    struct Row
    {
        int mode;
        const char *line;
        bool apChecked; // after starting from the bridge radio
    };
    const Row rows[] = {
        {DEVICE_AP, "g_Var.DeviceMode DEVICE_AP", true},
        {DEVICE_WBRIDGE, "g_Var.DeviceMode DEVICE_WBRIDGE", false},
        {7, "g_Var.DeviceMode != DEVICE_AP, DEVICE_WBRIDGE", false},
    };
    auto page = MakePage<TFrameWlModeSel>();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.line);
        page->RBtnWirelessBridge->setChecked(true);
        g_Var.DeviceMode = row.mode;
        LogCapture log;
        page->Entered(nullptr, true, 0);
        EXPECT_EQ(log.Lines(), std::vector<std::string>{row.line});
        EXPECT_EQ(page->RBtnAPMode->isChecked(), row.apChecked);
        EXPECT_EQ(page->RBtnWirelessBridge->isChecked(), !row.apChecked);
    }
}

TEST_F(WlModeSelTest, NextWithoutAChangeSendsNothing)
{
    auto page = EnterWithDevice(DEVICE_AP);
    EXPECT_TRUE(page->RBtnAPMode->isChecked());
    main.Clear();
    page->BtnNext->click();
    EXPECT_EQ(Commands(), std::vector<int>{WIZARD_NEXT});
    EXPECT_EQ(bench.Requests(SimKind::SetMode), 0);
    EXPECT_EQ(bench.engine->Pending(), REQ_NONE);
}

TEST_F(WlModeSelTest, GetModeAnswerUpdatesTheRadiosEvenAfterAClick)
{
    bench.AddDevice([] {
        SimDeviceConfig config = SimConfig(1);
        config.mode = DEVICE_WBRIDGE;
        return config;
    }());
    ASSERT_TRUE(bench.Login());
    auto page = MakePage<TFrameWlModeSel>();
    page->CanEnter(nullptr, false, 0);
    page->Entered(nullptr, false, 0);
    EXPECT_TRUE(page->RBtnAPMode->isChecked()); // nothing known yet
    page->RBtnAPMode->click();
    ASSERT_TRUE(bench.WaitIdle());
    EXPECT_EQ(bench.Requests(SimKind::GetMode), 1);
    EXPECT_EQ(g_Var.DeviceMode, DEVICE_WBRIDGE);
    EXPECT_TRUE(page->RBtnWirelessBridge->isChecked());
    EXPECT_FALSE(page->RBtnAPMode->isChecked());
    // Back from a later page: no new question to the device.
    page->CanEnter(nullptr, true, 0);
    EXPECT_EQ(bench.engine->Pending(), REQ_NONE);
}

TEST_F(WlModeSelTest, ChangedModeIsWrittenAndReadBack)
{
    auto page = EnterWithDevice(DEVICE_AP);
    main.Clear();
    page->RBtnWirelessBridge->click();
    page->BtnNext->click();
    EXPECT_EQ(Commands(), std::vector<int>{WIZARD_NEXT});
    EXPECT_EQ(bench.Requests(SimKind::SetMode), 1);
    EXPECT_EQ(bench.Requests(SimKind::GetConfig), 1);
    EXPECT_EQ(g_Var.DeviceMode, DEVICE_WBRIDGE);
    EXPECT_EQ(bench.network.Devices().front()->sim->Config().mode, DEVICE_WBRIDGE);
    EXPECT_TRUE(ui.boxes.isEmpty());
}

// The waits the page hands to the engine: the mode's read of 3 s, the
// write's 28 s twice around the re-login's 5 s, the read-back's 15 s and
// the device's 3 s to settle.
TEST_F(WlModeSelTest, WaitsOfEachRequest)
{
    SimDeviceConfig config = SimConfig(1);
    config.mode = DEVICE_AP;
    config.dropFirst[SimKind::SetMode] = 1;
    bench.AddDevice(config);
    ASSERT_TRUE(bench.Login());
    auto page = MakePage<TFrameWlModeSel>();
    WaitRecorder waits;
    page->CanEnter(nullptr, false, 0);
    ASSERT_TRUE(bench.WaitIdle());
    page->RBtnWirelessBridge->click();
    page->BtnNext->click();
    EXPECT_EQ(waits.Waits(), (std::vector<RecordedWait>{{REQ_GET_CONFIG, 3000},
                                                        {REQ_SET_MODE, 28000},
                                                        {REQ_LOGIN, 5000},
                                                        {REQ_SET_MODE, 28000},
                                                        {REQ_GET_CONFIG, 15000},
                                                        {REQ_NONE, 3000}}));
}

// The device acknowledged the mode but its configuration never came back:
// it holds the new mode, and so does DeviceMode.
TEST_F(WlModeSelTest, AcknowledgedModeStaysWhenTheReadBackTimesOut)
{
    SimDeviceConfig config = SimConfig(1);
    config.dropFirst[SimKind::GetConfig] = 9;
    auto page = EnterWithDevice(DEVICE_AP, config);
    main.Clear();
    page->RBtnWirelessBridge->click();
    page->BtnNext->click();
    EXPECT_EQ(bench.Requests(SimKind::SetMode), 1);
    EXPECT_EQ(ui.BoxTexts(), QStringList{kErConnect});
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(g_Var.DeviceMode, DEVICE_WBRIDGE);
}

TEST_F(WlModeSelTest, SetModeTimeoutsGetOneReloginAndOneMessage)
{
    struct Row
    {
        int dropped;
        bool succeeds;
    };
    for (const Row row : {Row{1, true}, Row{2, false}}) {
        SCOPED_TRACE(row.dropped);
        EngineBench local;
        SimDeviceConfig config = SimConfig(1);
        config.mode = DEVICE_AP;
        config.dropFirst[SimKind::SetMode] = row.dropped;
        local.AddDevice(config);
        ASSERT_TRUE(local.Login());
        ui.Clear();
        main.Clear();
        g_Var.DeviceMode = DEVICE_AP;
        TFrameWlModeSel page;
        page.LoadPageTexts();
        main.page = &page;
        page.RBtnWirelessBridge->setChecked(true);
        int boxesDuringWait = -1;
        ui.onMessageBox = [&](const RecordedBox &) { boxesDuringWait = local.Requests(SimKind::SetMode); };
        page.BtnNext->click();

        EXPECT_EQ(local.Requests(SimKind::SetMode), 2);
        EXPECT_EQ(local.Requests(SimKind::Login), 2); // the first and the one re-login
        EXPECT_EQ(local.Requests(SimKind::Logout), 0);
        if (row.succeeds) {
            EXPECT_TRUE(ui.boxes.isEmpty());
            EXPECT_EQ(g_Var.DeviceMode, DEVICE_WBRIDGE);
            EXPECT_EQ(Commands(), std::vector<int>{WIZARD_NEXT});
        } else {
            EXPECT_EQ(ui.BoxTexts(), QStringList{kErConnect});
            EXPECT_EQ(boxesDuringWait, 2); // shown after the second time-out
            EXPECT_TRUE(Commands().empty());
            // The device kept its mode and the page its choice, so Next
            // tries the write again rather than moving on.
            EXPECT_EQ(g_Var.DeviceMode, DEVICE_AP);
            EXPECT_TRUE(page.RBtnWirelessBridge->isChecked());
            ui.onMessageBox = nullptr;
            page.BtnNext->click();
            EXPECT_EQ(local.Requests(SimKind::SetMode), 3);
            EXPECT_EQ(g_Var.DeviceMode, DEVICE_WBRIDGE);
            EXPECT_EQ(Commands(), std::vector<int>{WIZARD_NEXT});
        }
        ui.onMessageBox = nullptr;
        main.page = nullptr;
    }
}

TEST_F(WlModeSelTest, SilentDeviceFailsAfterOneLoginAndTestModeMovesOn)
{
    auto page = EnterWithDevice(DEVICE_AP);
    g_Var.NonWorking = true;
    main.Clear();
    // Logged out and the device gone quiet: the page logs in first, the
    // login times out and the change is given up.
    bench.engine->SendLogout(0);
    page->RBtnWirelessBridge->setChecked(true);
    bench.network.Devices().front()->sim.reset();
    page->BtnNext->click();
    EXPECT_EQ(ui.BoxTexts(), QStringList{kErConnect});
    EXPECT_EQ(Commands(), std::vector<int>{WIZARD_NEXT});
    EXPECT_EQ(g_Var.DeviceMode, DEVICE_WBRIDGE); // test mode goes on in the chosen mode
}

TEST_F(WlModeSelTest, BackLogsOutWithoutWaiting)
{
    auto page = EnterWithDevice(DEVICE_AP);
    main.Clear();
    page->BtnBack->click();
    EXPECT_FALSE(bench.engine->loggedIn());
    EXPECT_EQ(bench.engine->Pending(), REQ_NONE);
    EXPECT_EQ(Commands(), std::vector<int>{WIZARD_BACK});
    EXPECT_TRUE(WaitUntil([&] { return bench.Requests(SimKind::Logout) == 1; }));
    FlushPosted();
    EXPECT_TRUE(main.EngineMessages().empty()); // nothing waited for, nothing reported
}

// --------------------------------------------------------------- setup method

class SetupMethodTest : public DevicePagesTest
{
protected:
    // A logged-in device with a static address, its configuration read.
    std::unique_ptr<TFrameSetupMethod> EnterWithDevice(SimDeviceConfig config = SimConfig(1))
    {
        config.dhcp = false;
        bench.AddDevice(config);
        EXPECT_TRUE(bench.Login());
        EXPECT_TRUE(bench.ReadConfig());
        main.Clear();
        auto page = MakePage<TFrameSetupMethod>();
        page->CanEnter(nullptr, false, 0);
        return page;
    }
};

TEST_F(SetupMethodTest, ForwardEntryPreselectsDynamicAndBackEntryKeepsTheChoice)
{
    auto page = MakePage<TFrameSetupMethod>();
    page->CanEnter(nullptr, false, 0);
    EXPECT_TRUE(page->RBtnSetIPDHCP->isChecked());
    EXPECT_EQ(page->BtnNext->text(), QStringLiteral("Configure"));
    page->RBtnSetIP->click();
    EXPECT_EQ(page->BtnNext->text(), QStringLiteral("Next"));
    page->CanEnter(nullptr, true, 0);
    EXPECT_TRUE(page->RBtnSetIP->isChecked());
    EXPECT_EQ(page->BtnNext->text(), QStringLiteral("Next"));
    page->RBtnSetIPDHCP->click();
    EXPECT_EQ(page->BtnNext->text(), QStringLiteral("Configure"));
    page->RBtnSetIP->click();
    page->CanEnter(nullptr, false, 0);
    EXPECT_TRUE(page->RBtnSetIPDHCP->isChecked());
    EXPECT_FALSE(page->RBtnSetWireless->isVisibleTo(page.get()));
    EXPECT_FALSE(page->RBtnWebUI->isVisibleTo(page.get()));
    EXPECT_FALSE(page->RBtnSetAdvance->isVisibleTo(page.get()));
}

TEST_F(SetupMethodTest, CurrentAddressValues)
{
    struct Row
    {
        uint32_t ip, mask, gateway;
        const char *shown[3];
    };
    const Row rows[] = {
        {0xC0A80101, 0xFFFFFF00, 0xC0A801FE, {"192.168.1.1", "255.255.255.0", "192.168.1.254"}},
        {0xC0A80101, 0xFFFFFF00, 0, {"192.168.1.1", "255.255.255.0", ""}},
        {0x0A000001, 0xFF000000, 0xFFFFFFFF, {"10.0.0.1", "255.0.0.0", ""}},
        {0, 0, 0, {"0.0.0.0", "0.0.0.0", ""}},
    };
    auto page = MakePage<TFrameSetupMethod>();
    for (const Row &row : rows) {
        g_Var.CurIpConfig = {IP_MODE_STATIC, row.ip, row.mask, row.gateway, 0, 0};
        page->CanEnter(nullptr, true, 0);
        EXPECT_EQ(page->LblIP->text(), QString::fromLatin1(row.shown[0]));
        EXPECT_EQ(page->LblMask->text(), QString::fromLatin1(row.shown[1]));
        EXPECT_EQ(page->LblGateway->text(), QString::fromLatin1(row.shown[2]));
    }
}

TEST_F(SetupMethodTest, DeviceAlreadyOnDynamicMovesOnWithoutARequest)
{
    // Logged in, so a request would reach the network.
    bench.AddDevice(SimConfig(1));
    ASSERT_TRUE(bench.Login());
    bench.network.ClearSent();
    auto page = MakePage<TFrameSetupMethod>();
    g_Var.CurIpConfig = {IP_MODE_DHCP, 0xC0A80101, 0xFFFFFF00, 0, 0, 0};
    g_Var.SetupMethod = 1;
    page->CanEnter(nullptr, false, 0);
    page->BtnNext->click();
    EXPECT_EQ(Commands(), std::vector<int>{WIZARD_NEXT});
    EXPECT_EQ(g_Var.SetupMethod, SETUP_METHOD_IP);
    EXPECT_EQ(g_Var.NewIpConfig, g_Var.CurIpConfig);
    EXPECT_TRUE(bench.network.Sent().empty());
}

TEST_F(SetupMethodTest, DynamicIsWrittenWithReadBackAndOneRetry)
{
    struct Row
    {
        int dropped;
        bool nonWorking;
        bool succeeds;
    };
    for (const Row row :
         {Row{0, false, true}, Row{1, false, true}, Row{2, false, false}, Row{2, true, false}}) {
        SCOPED_TRACE(row.dropped);
        EngineBench local;
        SimDeviceConfig config = SimConfig(1);
        config.dhcp = false;
        config.dropFirst[SimKind::SetIp] = row.dropped;
        local.AddDevice(config);
        ASSERT_TRUE(local.Login());
        ASSERT_TRUE(local.ReadConfig());
        ASSERT_EQ(g_Var.CurIpConfig.IpMode, IP_MODE_STATIC);
        g_Var.NonWorking = row.nonWorking;
        ui.Clear();
        main.Clear();
        TFrameSetupMethod page;
        page.LoadPageTexts();
        main.page = &page;
        page.CanEnter(nullptr, false, 0);
        WaitRecorder waits;
        page.BtnNext->click();
        if (row.dropped == 1) {
            EXPECT_EQ(waits.Waits(), kIpWriteWithOneRelogin);
        }

        EXPECT_EQ(local.Requests(SimKind::SetIp), row.dropped == 0 ? 1 : 2);
        EXPECT_EQ(local.Requests(SimKind::Logout), row.dropped == 0 ? 0 : 1);
        EXPECT_EQ(local.Requests(SimKind::Login), row.dropped == 0 ? 1 : 2);
        EXPECT_EQ(g_Var.NewIpConfig.IpMode, IP_MODE_DHCP);
        if (row.succeeds) {
            EXPECT_TRUE(ui.boxes.isEmpty());
            EXPECT_EQ(local.Requests(SimKind::GetConfig), 2); // the read-back
            EXPECT_EQ(g_Var.CurIpConfig.IpMode, IP_MODE_DHCP);
            EXPECT_EQ(Commands(), std::vector<int>{WIZARD_NEXT});
        } else {
            EXPECT_EQ(ui.BoxTexts(), QStringList{kErConnect});
            EXPECT_EQ(Commands(), row.nonWorking ? std::vector<int>{WIZARD_NEXT} : std::vector<int>{});
        }
        main.page = nullptr;
    }
}

TEST_F(SetupMethodTest, WebInterfaceChoiceOpensTheDeviceAddressAndStays)
{
    auto page = EnterWithDevice();
    page->RBtnWebUI->setChecked(true);
    page->BtnNext->click();
    ASSERT_EQ(ui.shells.size(), 1);
    EXPECT_EQ(ui.shells[0].target, QStringLiteral("http://192.168.1.1/"));
    EXPECT_EQ(ui.shells[0].verb, ShellVerb::Open);
    EXPECT_TRUE(Commands().empty());
}

TEST_F(SetupMethodTest, OtherChoicesStoreTheirSetupMethod)
{
    auto page = EnterWithDevice();
    const IpConfigRecord current = g_Var.CurIpConfig;

    g_Var.NewIpConfig = {};
    page->RBtnSetIP->click();
    page->BtnNext->click();
    EXPECT_EQ(g_Var.SetupMethod, SETUP_METHOD_IP);
    EXPECT_EQ(g_Var.NewIpConfig, current);

    g_Var.NewIpConfig = {};
    g_Var.NewWlConfig = {};
    page->RBtnSetWireless->setChecked(true);
    page->BtnNext->click();
    EXPECT_EQ(g_Var.SetupMethod, SETUP_METHOD_WIRELESS);
    EXPECT_EQ(g_Var.NewIpConfig, current);
    EXPECT_EQ(g_Var.NewWlConfig, g_Var.CurWlConfig);

    page->RBtnSetAdvance->setChecked(true);
    page->BtnNext->click();
    EXPECT_EQ(g_Var.SetupMethod, SETUP_METHOD_ADVANCED);

    EXPECT_EQ(Commands(), (std::vector<int>{WIZARD_NEXT, WIZARD_NEXT, WIZARD_NEXT}));
    EXPECT_EQ(bench.Requests(SimKind::SetIp), 0);
}

// --------------------------------------------------------------- device write

// Hands the engine's messages to a write flow, as a page's handler does.
class WriteHost : public QObject
{
public:
    explicit WriteHost(DeviceWrite &write) : m_write(write) {}
    bool event(QEvent *event) override
    {
        if (event->type() != AppMessage::eventType())
            return QObject::event(event);
        m_write.HandleMessage(*static_cast<AppMessage *>(event));
        return true;
    }

private:
    DeviceWrite &m_write;
};

// The write flow's rules that no page run reaches: a missing engine, and a
// run that ended (as by the dialog's time limit) while one of its handlers
// was still going, which must not end it a second time with success.
TEST_F(DevicePagesTest, DeviceWriteEndsOnceAndWithoutAnEngine)
{
    bench.AddDevice(SimConfig(1));
    const std::vector<DeviceRecord> devices = bench.Discover();
    ASSERT_FALSE(devices.empty());
    g_Var.SelectedDevice = devices.front();
    struct Row
    {
        const char *what;
        bool engine;
        int configReads;
    };
    for (const Row row : {Row{"no engine", false, 0}, Row{"ended during the read-back", true, 1}}) {
        SCOPED_TRACE(row.what);
        DeviceWrite *running = nullptr;
        DeviceWrite write({.name = "Probe()", .readBack = [&] { running->Finish(ProgressResult::Failure); }});
        running = &write;
        WriteHost host(write);
        main.page = &host;
        std::vector<std::string> log;
        SetDebugTextHook([&](const char *text) { log.emplace_back(text); });
        SetFormUDP(row.engine ? bench.engine.get() : nullptr);
        const ProgressResult result = write.Run(nullptr);
        SetFormUDP(bench.engine.get());
        SetDebugTextHook({});
        EXPECT_EQ(int(result), int(ProgressResult::Failure));
        EXPECT_EQ(std::count(log.begin(), log.end(), "Probe() FAIL no engine"), row.engine ? 0 : 1);
        EXPECT_EQ(bench.Requests(SimKind::GetConfig), row.configReads);
        main.page = nullptr;
    }
}

// -------------------------------------------------------------------- success

TEST_F(DevicePagesTest, SuccessPageOffersExitAndBackOnly)
{
    auto page = MakePage<TFrameSuccess>();
    EXPECT_FALSE(page->BtnNext->isVisibleTo(page.get()));
    EXPECT_EQ(page->BtnExit->geometry(), QRect(492, 288, 85, 21));
    EXPECT_EQ(page->LbSuccess1->text(), QStringLiteral("Congratulations!"));
    page->BtnExit->click();
    page->BtnBack->click();
    page->BtnNext->click();
    EXPECT_EQ(Commands(), (std::vector<int>{WIZARD_EXIT, WIZARD_BACK, WIZARD_NEXT}));
}

} // namespace
