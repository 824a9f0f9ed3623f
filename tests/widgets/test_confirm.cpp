// The confirmation sub-page: the summary and its two layouts, the saved file
// (compared byte for byte), the printout (on the recording canvas and as a
// PDF read back with pdftotext), and whole writes against the real engine on
// the in-process fake network with a simulated device: accepted, refused,
// lost once (one re-login), lost twice, and the test mode.
#include "app/debug.h"
#include "app/globalvar.h"
#include "app/timing.h"
#include "framework/formprogress.h"
#include "messages/appmessage.h"
#include "pages/wireless/framewlprofconfirm.h"
#include "protocol/formudp.h"
#include "simdevice.h"
#include "ui/enginepagetest.h"
#include "ui/pagetest.h"
#include "ui/recordingui.h"
#include "ui/testsettings.h"
#include "ui/wirelesspagetest.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace {

class LogLines
{
public:
    LogLines()
    {
        SetDebugTextHook([this](const char *text) { lines.emplace_back(text); });
    }
    ~LogLines() { SetDebugTextHook({}); }
    int Count(const std::string &line) const { return int(std::count(lines.begin(), lines.end(), line)); }
    std::vector<std::string> lines;
};

// Starts from the built-in display names, then reads `ini` as the settings
// file (none when empty).
QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString DataFile(const char *name)
{
    return QStringLiteral(WIZARD_TEST_DATA "/summary/") + QString::fromLatin1(name);
}

// An access point with edited IP settings and a WPA2 passphrase.
void ApWpaProfile()
{
    g_Var.DeviceMode = DEVICE_AP;
    g_Var.WlMethod = WirelessMethod::Profile;
    g_Var.NewIpConfig.Ip = 0xC0A8010A;      // 192.168.1.10
    g_Var.NewIpConfig.Netmask = 0xFFFFFF00; // 255.255.255.0
    g_Var.NewIpConfig.Gateway = 0xC0A801FE; // 192.168.1.254
    WlConfigRecord &wl = g_Var.NewWlConfig;
    CopyToField(wl.Ssid, QStringLiteral("HomeNet"));
    wl.WirelessMode = WLMODE_BGN;
    wl.SecurityMode = SECMODE_WPAPSK;
    wl.WpaMode = WPAMODE_WPA2;
    wl.WpaCipher = WPACIPHER_AES;
    CopyToField(wl.Passphrase, QStringLiteral("correct horse battery"));
}

// A bridge joining a network picked on the site survey, with a WEP key.
void BridgeWepProfile()
{
    g_Var.DeviceMode = DEVICE_WBRIDGE;
    g_Var.WlMethod = WirelessMethod::Profile;
    WlConfigRecord &wl = g_Var.NewWlConfig;
    CopyToField(wl.Ssid, QStringLiteral("Upstream"));
    wl.WirelessMode = WLMODE_N;
    wl.SecurityMode = SECMODE_WEP;
    wl.WepKeyLen = WEPKEYLEN_128;
    wl.AuthMode = AUTHMODE_OPEN;
    CopyToField(wl.WepKey, QStringLiteral("00112233445566778899AABBCC"));
}

class ConfirmTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        UseSettings(settings, QByteArray());
        g_Var.NonWorking = false;
        ResetIpConfig(g_Var.NewIpConfig);
        ResetWlConfig(g_Var.NewWlConfig);
        page.LoadPageTexts();
        page.show();
        host.page = &page;
    }
    void TearDown() override
    {
        SetFormUDP(nullptr);
        engine.reset();
        net.reset();
        g_Var.NonWorking = false;
        Timing::SetScale(1.0);
        UseSettings(settings, QByteArray());
    }

    void Enter() { ASSERT_TRUE(page.CanEnter(nullptr, false, 0)); }
    QString Saved()
    {
        const QString path = settings->Folder() + QStringLiteral("summary.txt");
        ui.saveAnswers.push_back(path);
        page.BtnSave->click();
        return path;
    }

    // The engine on a fake segment with one simulated device; logged in as
    // the password page leaves it unless told otherwise.
    SimDevice &StartDevice(SimDeviceConfig config, bool logIn = true)
    {
        Timing::SetScale(0.01);
        net = std::make_unique<FakeNetwork>();
        const MacAddress pcMac{0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
        net->SetAdapters({FakeNetwork::MakeAdapter("eth0", pcMac, {{"192.168.1.10", "255.255.255.0"}})});
        config.mode = uint8_t(g_Var.DeviceMode);
        g_Var.Password = QStringLiteral("tulip");
        g_Var.SelectedDevice.Mac = config.mac;
        SimDevice &sim = *net->AddSimDevice(config, {"eth0"}).sim;
        engine = std::make_unique<TFormUDP>(g_Var);
        SetFormUDP(engine.get());
        // Discovery opens the sockets and lets the device's answers in.
        EXPECT_TRUE(engine->SendDiscover(0, true));
        if (logIn) {
            engine->SendLogin(5000);
            EXPECT_TRUE(FakeNetwork::WaitFor([this] { return engine->loggedIn(); }));
            QCoreApplication::processEvents();
        }
        return sim;
    }

    // Presses Next and returns once the write is over.
    void Write()
    {
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [this] {
            if (TFormProgress *progress = page.ProgressDialog())
                progress->done(99);
        });
        guard.start(20000);
        page.BtnNext->click();
        QCoreApplication::processEvents();
    }

    static int Count(const SimDevice &sim, SimKind kind)
    {
        const auto it = sim.Requests().find(kind);
        return it == sim.Requests().end() ? 0 : it->second;
    }

    std::unique_ptr<TestSettings> settings;
    RecordingUi ui;
    MainWindowRecorder host;
    TFrameWlProfConfirm page;
    std::unique_ptr<FakeNetwork> net;
    std::unique_ptr<TFormUDP> engine;
};

TEST_F(ConfirmTest, AccessPointSummaryShowsTheNetworkBlock)
{
    ApWpaProfile();
    Enter();
    EXPECT_TRUE(page.NetworkBlockShown());
    EXPECT_EQ(page.LblIP->text(), QStringLiteral("192.168.1.10"));
    EXPECT_EQ(page.LblMask->text(), QStringLiteral("255.255.255.0"));
    EXPECT_EQ(page.LblGateway->text(), QStringLiteral("192.168.1.254"));
    EXPECT_EQ(page.LblSecurity->text(), QStringLiteral("WPA-PSK"));
    EXPECT_EQ(page.LbInfo1->text(), QStringLiteral("WPA Mode:"));
    EXPECT_EQ(page.LblInfo2->text(), QStringLiteral("AES"));
    EXPECT_EQ(page.LblInfo3->text(), QStringLiteral("correct horse battery"));
    EXPECT_EQ(page.BtnNext->text(), QStringLiteral("Configure"));
    EXPECT_EQ(page.LbWirelessInfo->text(), QStringLiteral("Wireless Settings"));

    const int t = page.LbNetworkInfo->y();
    EXPECT_EQ(page.LbIP->y(), t + 19);
    EXPECT_EQ(page.LblGateway->y(), t + 55);
    EXPECT_EQ(page.LbWirelessInfo->y(), t + 73);
    const QLabel *rows[][2] = {
        {page.LbSSID, page.LblSSID},         {page.LbWirelessMode, page.LblWirelessMode},
        {page.LbSecurity, page.LblSecurity}, {page.LbInfo1, page.LblInfo1},
        {page.LbInfo2, page.LblInfo2},       {page.LbInfo3, page.LblInfo3}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(rows[i][0]->y(), t + 92 + 18 * i) << i;
        EXPECT_EQ(rows[i][1]->y(), rows[i][0]->y()) << i;
    }
}

TEST_F(ConfirmTest, BridgeSummaryHidesTheNetworkBlockUnlessReachedByManualSetup)
{
    BridgeWepProfile();
    Enter();
    EXPECT_FALSE(page.NetworkBlockShown());
    for (const QLabel *label : {page.LbNetworkInfo, page.LbIP, page.LblIP, page.LbMask, page.LblMask,
                                page.LbGateway, page.LblGateway})
        EXPECT_TRUE(label->isHidden()) << label->objectName().toStdString();
    EXPECT_EQ(page.BtnNext->text(), QStringLiteral("Connect"));
    EXPECT_EQ(page.LbWirelessInfo->text(), QStringLiteral("Wireless Profile"));
    EXPECT_EQ(page.LbInfo1->text(), QStringLiteral("WEP Key Length:"));
    EXPECT_EQ(page.LblInfo1->text(), QStringLiteral("128 bit"));
    EXPECT_EQ(page.LbInfo2->text(), QStringLiteral("Authentication:"));
    EXPECT_EQ(page.LbInfo3->text(), QStringLiteral("Key:"));

    const int t = page.LbNetworkInfo->y();
    EXPECT_EQ(page.LbWirelessInfo->y(), t);
    EXPECT_EQ(page.LbSSID->y(), t + 19);
    EXPECT_EQ(page.LblSecurity->y(), t + 55);
    EXPECT_EQ(page.LbInfo3->y(), t + 109);

    // Manual set-up from the site survey edited the IP settings too.
    g_Var.WlMethod = WirelessMethod::Manual;
    Enter();
    EXPECT_TRUE(page.NetworkBlockShown());
    EXPECT_EQ(page.LbWirelessInfo->y(), t + 73);
}

TEST_F(ConfirmTest, TextsComeFromThePagesSection)
{
    UseSettings(settings,
                "[TFrameWlProfConfirm]\r\nBtnNext_AP=Apply\r\nLbWirelessInfo_AP=Radio\r\nLbKey=Secret:\r\n"
                "LbWPAMode=Mode:\r\nLbCipher=Cipher:\r\n");
    ApWpaProfile();
    Enter();
    EXPECT_EQ(page.BtnNext->text(), QStringLiteral("Apply"));
    EXPECT_EQ(page.LbWirelessInfo->text(), QStringLiteral("Radio"));
    EXPECT_EQ(page.LbInfo1->text(), QStringLiteral("Mode:"));
    EXPECT_EQ(page.LbInfo2->text(), QStringLiteral("Cipher:"));
    EXPECT_EQ(page.LbInfo3->text(), QStringLiteral("Secret:"));
}

TEST_F(ConfirmTest, BackwardEntryKeepsTheSummary)
{
    ApWpaProfile();
    Enter();
    CopyToField(g_Var.NewWlConfig.Ssid, QStringLiteral("Changed"));
    ASSERT_TRUE(page.CanEnter(nullptr, true, 0));
    EXPECT_EQ(page.LblSSID->text(), QStringLiteral("HomeNet"));
}

TEST_F(ConfirmTest, SavedFilesMatchTheExpectedBytes)
{
    struct
    {
        const char *file;
        void (*profile)();
    } const rows[] = {
        {"ap_wpapsk.txt", ApWpaProfile},
        {"bridge_wep.txt", BridgeWepProfile},
        {"bridge_none.txt",
         [] {
             g_Var.DeviceMode = DEVICE_WBRIDGE;
             g_Var.WlMethod = WirelessMethod::Profile;
             CopyToField(g_Var.NewWlConfig.Ssid, QStringLiteral("Cafe"));
             g_Var.NewWlConfig.WirelessMode = WLMODE_BG;
             g_Var.NewWlConfig.SecurityMode = SECMODE_NONE;
         }},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.file);
        ResetWlConfig(g_Var.NewWlConfig);
        row.profile();
        Enter();
        const QString path = Saved();
        const QByteArray expected = ReadAll(DataFile(row.file));
        ASSERT_FALSE(expected.isEmpty());
        EXPECT_EQ(ReadAll(path), expected);
    }
    ASSERT_EQ(ui.saves.size(), 3);
    EXPECT_EQ(ui.saves[0].defaultSuffix, QStringLiteral("txt"));
    EXPECT_TRUE(ui.saves[0].filter.startsWith(QStringLiteral("Text File")));
}

TEST_F(ConfirmTest, SaveReplacesOldContentAndSkipsWhatCannotBeWritten)
{
    const QString path = settings->Folder() + QStringLiteral("summary.txt");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(4096, 'x'));
    }
    BridgeWepProfile();
    Enter();
    Saved();
    EXPECT_EQ(ReadAll(path), ReadAll(DataFile("bridge_wep.txt")));

    // Cancelled: nothing written.
    const QByteArray before = ReadAll(path);
    ApWpaProfile();
    Enter();
    page.BtnSave->click();
    EXPECT_EQ(ReadAll(path), before);

    // A folder that does not exist: no message, no file.
    const QString missing = settings->Folder() + QStringLiteral("no/such/folder/summary.txt");
    ui.saveAnswers.push_back(missing);
    page.BtnSave->click();
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_TRUE(ui.boxes.isEmpty());
    EXPECT_FALSE(page.SaveSummary(missing));

    // A new file holds the key in clear text: for the owner only.
    const QString fresh = settings->Folder() + QStringLiteral("fresh.txt");
    EXPECT_TRUE(page.SaveSummary(fresh));
    EXPECT_EQ(QFile::permissions(fresh), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ReadUser | QFileDevice::WriteUser);
}

TEST_F(ConfirmTest, PrintoutFollowsThePositionRules)
{
    ApWpaProfile();
    Enter();
    page.BtnPrint->click();
    ASSERT_EQ(ui.prints.size(), 1);
    const QList<PrintedText> &texts = ui.prints[0].texts;
    ASSERT_EQ(texts.size(), 11);
    const QStringList expected = {QStringLiteral("Network Settings"),
                                  QStringLiteral("IP Address: 192.168.1.10"),
                                  QStringLiteral("Subnet: 255.255.255.0"),
                                  QStringLiteral("Gateway: 192.168.1.254"),
                                  QStringLiteral("Wireless Settings"),
                                  QStringLiteral("SSID HomeNet"),
                                  QStringLiteral("Wireless Mode: 2.4GHz 802.11 b/g/n mixed mode"),
                                  QStringLiteral("Security Mode: WPA-PSK"),
                                  QStringLiteral("WPA Mode: WPA2 Only"),
                                  QStringLiteral("Cipher Type: AES"),
                                  QStringLiteral("Key: correct horse battery")};
    for (int i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(texts[i].text.trimmed(), expected[i]);
        EXPECT_EQ(texts[i].pointSize, 10.0);
    }
    EXPECT_EQ(texts[0].position.x(), 100);
    EXPECT_EQ(texts[4].position.x(), 100);
    for (int i : {2, 3, 5, 6, 7, 8, 9, 10})
        EXPECT_EQ(texts[i].position.x(), 200) << i;
    // One line height between lines of a block, 100 more before a block.
    const qreal step = texts[3].position.y() - texts[2].position.y();
    EXPECT_GT(step, 0);
    EXPECT_NEAR(texts[1].position.y() - texts[0].position.y(), step, 0.01);
    EXPECT_NEAR(texts[10].position.y() - texts[9].position.y(), step, 0.01);
    EXPECT_NEAR(texts[4].position.y() - texts[3].position.y(), step + 100, 0.01);
}

TEST_F(ConfirmTest, BridgePrintoutHasNoNetworkBlockAndCancelPrintsNothing)
{
    BridgeWepProfile();
    Enter();
    ui.printAnswers.push_back(false);
    page.BtnPrint->click();
    ASSERT_EQ(ui.prints.size(), 1);
    EXPECT_TRUE(ui.prints[0].texts.isEmpty());

    page.BtnPrint->click();
    ASSERT_EQ(ui.prints.size(), 2);
    const QList<PrintedText> &texts = ui.prints[1].texts;
    ASSERT_EQ(texts.size(), 7);
    EXPECT_EQ(texts[0].text, QStringLiteral("Wireless Profile"));
    EXPECT_EQ(texts[6].text, QStringLiteral("Key: 00112233445566778899AABBCC"));
}

TEST_F(ConfirmTest, PdfPrintoutHoldsTheLines)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed; the PDF printout is not checked";
    ApWpaProfile();
    Enter();
    ui.printPdfPath = settings->Folder() + QStringLiteral("summary.pdf");
    page.BtnPrint->click();
    QProcess process;
    process.start(pdftotext, {QStringLiteral("-layout"), ui.printPdfPath, QStringLiteral("-")});
    ASSERT_TRUE(process.waitForFinished(20000));
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    for (const char *line :
         {"Network Settings", "IP Address: 192.168.1.10", "Subnet: 255.255.255.0", "Gateway: 192.168.1.254",
          "Wireless Settings", "SSID HomeNet", "Wireless Mode: 2.4GHz 802.11 b/g/n mixed mode",
          "Security Mode: WPA-PSK", "WPA Mode: WPA2 Only", "Cipher Type: AES", "Key: correct horse battery"})
        EXPECT_TRUE(text.contains(QString::fromLatin1(line))) << line << "\n" << text.toStdString();
}

// ---- writes ----

TEST_F(ConfirmTest, AccessPointAndBridgeWritesUseTheirRequests)
{
    for (const bool accessPoint : {true, false}) {
        SCOPED_TRACE(accessPoint);
        host.Clear();
        ResetWlConfig(g_Var.NewWlConfig);
        accessPoint ? ApWpaProfile() : BridgeWepProfile();
        SimDevice &sim = StartDevice(SimDeviceConfig{});
        Enter();
        LogLines log;
        Write();
        EXPECT_EQ(host.Commands(), std::vector<int>{WIZARD_NEXT});
        EXPECT_TRUE(ui.boxes.isEmpty());
        EXPECT_EQ(log.Count("DEVICE_AP"), accessPoint ? 1 : 0);
        EXPECT_EQ(log.Count("not DEVICE_AP"), accessPoint ? 0 : 1);
        EXPECT_EQ(Count(sim, SimKind::SetWireless), accessPoint ? 1 : 0);
        EXPECT_EQ(Count(sim, SimKind::SetStation), accessPoint ? 0 : 1);
        EXPECT_EQ(Count(sim, SimKind::GetConfig), 1);
        const SimWireless &written = accessPoint ? sim.Config().wireless : sim.Config().station;
        EXPECT_EQ(written.ssid, accessPoint ? QByteArray("HomeNet") : QByteArray("Upstream"));
        EXPECT_EQ(accessPoint ? written.passphrase : written.wepKey,
                  accessPoint ? QByteArray("correct horse battery")
                              : QByteArray("00112233445566778899AABBCC"));
        SetFormUDP(nullptr);
        engine.reset();
        net.reset();
    }
}

TEST_F(ConfirmTest, WriteReactionRows)
{
    const QString erConnect = QStringLiteral("Unable to connect to the device.");
    struct Row
    {
        const char *name;
        bool loggedIn;    // the engine is still logged in from the password page
        int dropSettings; // wireless-setting answers the device loses
        int dropReadBack; // configuration answers it loses
        bool refuseLogins;
        bool badMode; // a wireless mode the device refuses (result 0)
        bool nonWorking;
        std::vector<int> commands;
        int boxes;
        int pageLogins; // logins the page itself asked for
        int logouts;
        int settings;
        int readBacks;
    };
    const Row rows[] = {
        {"accepted", true, 0, 0, false, false, false, {WIZARD_NEXT}, 0, 0, 0, 1, 1},
        {"not logged in: the page logs in first",
         false,
         0,
         0,
         false,
         false,
         false,
         {WIZARD_NEXT},
         0,
         1,
         0,
         1,
         1},
        {"lost once: one re-login", true, 1, 0, false, false, false, {WIZARD_NEXT}, 0, 1, 1, 2, 1},
        {"lost twice", true, 2, 0, false, false, false, {}, 1, 1, 1, 2, 0},
        {"lost twice in test mode", true, 2, 0, false, false, true, {WIZARD_NEXT}, 1, 1, 1, 2, 0},
        {"not logged in, then lost: no second login", false, 1, 0, false, false, false, {}, 1, 1, 0, 1, 0},
        {"refused", true, 0, 0, false, true, false, {}, 1, 0, 0, 1, 0},
        {"login refused", false, 0, 0, true, false, false, {}, 1, 1, 0, 0, 0},
        {"read-back lost", true, 0, 1, false, false, false, {}, 1, 0, 0, 1, 1},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ui.Clear();
        host.Clear();
        ResetWlConfig(g_Var.NewWlConfig);
        ApWpaProfile();
        if (row.badMode)
            g_Var.NewWlConfig.WirelessMode = 10;
        g_Var.NonWorking = row.nonWorking;
        SimDeviceConfig config;
        config.dropFirst[SimKind::SetWireless] = row.dropSettings;
        config.dropFirst[SimKind::GetConfig] = row.dropReadBack;
        config.refuseLogins = row.refuseLogins;
        SimDevice &sim = StartDevice(config, row.loggedIn);
        const int loginsBefore = Count(sim, SimKind::Login);
        Enter();
        WaitRecorder waits;
        Write();
        if (row.loggedIn && row.dropSettings == 1) {
            // The write's 32 s twice around the re-login's 5 s, the device's
            // 3 s to settle and the read-back's 15 s.
            EXPECT_EQ(waits.Waits(), (std::vector<RecordedWait>{{REQ_WL_SETTING, 32000},
                                                                {REQ_LOGIN, 5000},
                                                                {REQ_WL_SETTING, 32000},
                                                                {REQ_NONE, 3000},
                                                                {REQ_GET_CONFIG, 15000}}));
        }
        EXPECT_EQ(host.Commands(), row.commands);
        ASSERT_EQ(ui.boxes.size(), row.boxes);
        if (row.boxes) {
            EXPECT_EQ(ui.boxes[0].text, erConnect);
        }
        EXPECT_EQ(Count(sim, SimKind::Login) - loginsBefore, row.pageLogins);
        EXPECT_EQ(Count(sim, SimKind::Logout), row.logouts);
        EXPECT_EQ(Count(sim, SimKind::SetWireless), row.settings);
        EXPECT_EQ(Count(sim, SimKind::GetConfig), row.readBacks);
        EXPECT_EQ(page.ProgressDialog(), nullptr);
        SetFormUDP(nullptr);
        engine.reset();
        net.reset();
    }
}

TEST_F(ConfirmTest, ReadBackWaitsThreeSecondsAfterTheAcceptedWrite)
{
    ApWpaProfile();
    StartDevice(SimDeviceConfig{});
    Timing::SetScale(0.05);
    Enter();
    std::optional<uint32_t> accepted;
    std::optional<uint32_t> readBack;
    SetDebugTextHook([&](const char *text) {
        const std::string line(text);
        if (line == "TFormUDP::RecvSetConfig()" && !accepted)
            accepted = Timing::TickCount();
        if (line == "TFormUDP::SendGetConfig()" && !readBack)
            readBack = Timing::TickCount();
    });
    Write();
    SetDebugTextHook({});
    ASSERT_TRUE(accepted.has_value());
    ASSERT_TRUE(readBack.has_value());
    // Tick counts run on product time; allow for timer slack.
    EXPECT_GE(*readBack - *accepted, 2900u);
    EXPECT_LT(*readBack - *accepted, 6000u);
}

} // namespace
