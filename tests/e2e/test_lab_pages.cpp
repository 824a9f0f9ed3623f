// The wizard's pages driven through their controls, as a user would, with
// the real engine (TFormUDP on real sockets, adapters from the system)
// against the simulated device inside the network lab: the device search,
// the login with its configuration read, the operating-mode changes, the
// dynamic and the static address writes, an access-point profile written
// from the confirmation page, a bridge joining a network chosen in the site
// survey, a network name that is not UTF-8 kept through both of those, and a
// WPS push-button run. Every write is
// checked twice: in what the engine reads back and in the simulator's state
// file, which is what the device really holds. The device sits on dev0 only,
// so each request is answered once although it leaves through both pc
// adapters (a second answer to a write could pass for the next write's).
#include "ui/lab.h"

#include "app/globalvar.h"
#include "app/records.h"
#include "app/timing.h"
#include "controls/sortlistview.h"
#include "controls/trifacebtn.h"
#include "framework/formprogress.h"
#include "messages/appmessage.h"
#include "pages/device/framedevipcfg.h"
#include "pages/device/framedevlist.h"
#include "pages/device/frameipeditrect.h"
#include "pages/device/framepassword.h"
#include "pages/device/framesetupmethod.h"
#include "pages/device/framewlmodesel.h"
#include "pages/wireless/framesitesurvey.h"
#include "pages/wireless/framewlprofconfirm.h"
#include "pages/wireless/framewlprofssid.h"
#include "pages/wireless/framewpsmethod.h"
#include "protocol/formudp.h"
#include "ui/pagetest.h"
#include "ui/recordingui.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>

// The simulator's arguments for one device on dev0 only, writing its state
// file (a macro, as the lab options are a braced list of literals).
#define LAB_DEVICE(keys)                                                                                     \
    {                                                                                                        \
        "--dev-args", "--state-file $LAB_DIR/state.json --device iface=dev0," keys                           \
    }

namespace {

const QString kErLogin = QStringLiteral("Unable to login the deivce.");
const QString kErSameAsLocal = QStringLiteral("The IP Address is the same as local host IP.");

QString Dotted(uint32_t hostOrder)
{
    return QHostAddress(hostOrder).toString();
}

uint32_t Address(const char *dotted)
{
    return QHostAddress(QString::fromLatin1(dotted)).toIPv4Address();
}

class LabPages : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!Lab::Inside())
            return;
        // A tenth of product time: the engine still waits 300 ms and more for
        // an answer that crosses the veth pair in well under a millisecond,
        // while the pages' fixed pauses (3 s, 10 s) shrink to a fraction.
        Timing::SetScale(0.1);
        g_Var.NonWorking = false;
        g_Var.Password = QStringLiteral("tulip");
        g_Var.DeviceMode = DEVICE_AP;
        g_Var.SetupMethod = 0;
        g_Var.SelectedDevice = DeviceRecord{};
        ResetIpConfig(g_Var.CurIpConfig);
        ResetIpConfig(g_Var.NewIpConfig);
        ResetWlConfig(g_Var.CurWlConfig);
        ResetWlConfig(g_Var.NewWlConfig);
        TFrameWPSMethod::WpsStartTick = 0;
        TFrameWPSMethod::WpsStartSeen = false;
        engine = std::make_unique<TFormUDP>(g_Var);
        SetFormUDP(engine.get());
    }
    void TearDown() override
    {
        main.page = nullptr;
        SetFormUDP(nullptr);
        engine.reset();
        Timing::SetScale(1.0);
    }

    template <class Page> std::unique_ptr<Page> MakePage()
    {
        auto page = std::make_unique<Page>();
        page->LoadPageTexts();
        main.page = page.get();
        return page;
    }
    std::vector<int> Commands()
    {
        FlushPosted();
        return main.Commands();
    }
    QJsonObject Device() { return Lab::ReadState()[QStringLiteral("devices")].toArray().at(0).toObject(); }
    int Requests(const char *kind)
    {
        return Device()[QStringLiteral("requests")].toObject()[QLatin1String(kind)].toInt();
    }

    // The device list page: a forward entry searches; the row named `name`
    // is clicked and Configure pressed. False when the device is not listed.
    bool ChooseDevice(const QString &name)
    {
        auto list = MakePage<TFrameDevList>();
        list->show();
        list->CanEnter(nullptr, false, 0);
        if (!WaitUntil([&] { return !list->Searching(); }, 10000)) {
            ADD_FAILURE() << "the search did not end";
            return false;
        }
        for (int row = 0; row < list->LvDevList->topLevelItemCount(); ++row) {
            QTreeWidgetItem *item = list->LvDevList->topLevelItem(row);
            if (item->text(0) != name)
                continue;
            QTest::mouseClick(list->LvDevList->viewport(), Qt::LeftButton, {},
                              list->LvDevList->visualItemRect(item).center());
            main.Clear();
            list->BtnCfg->click();
            const bool next = Commands() == std::vector<int>{WIZARD_NEXT};
            main.page = nullptr;
            return next;
        }
        main.page = nullptr;
        return false;
    }

    // The password page: `password` typed and Login pressed. True when the
    // page moved on.
    bool LogIn(const QString &password)
    {
        auto page = MakePage<TFramePassword>();
        page->CanEnter(nullptr, false, 0);
        page->Entered(nullptr, false, 0);
        page->EdtPassword->setText(password);
        main.Clear();
        page->BtnLogin->click();
        const bool next = Commands() == std::vector<int>{WIZARD_NEXT};
        main.page = nullptr;
        return next;
    }

    // Search, choice and login with the factory password, as a user does.
    void Connect(const QString &name)
    {
        ASSERT_TRUE(ChooseDevice(name));
        ASSERT_TRUE(LogIn(QStringLiteral("tulip")));
        ASSERT_TRUE(engine->loggedIn());
        ui.Clear();
        main.Clear();
    }

    // The new wireless profile: what the device holds, changed to `ssid`
    // with WPA2-PSK (AES), 802.11b/g/n and `passphrase`.
    void UseWpa2Profile(const QString &ssid, const QString &passphrase)
    {
        g_Var.NewWlConfig = g_Var.CurWlConfig;
        WlConfigRecord &wl = g_Var.NewWlConfig;
        CopyToField(wl.Ssid, ssid);
        wl.WirelessMode = WLMODE_BGN;
        wl.SecurityMode = SECMODE_WPAPSK;
        wl.WpaMode = WPAMODE_WPA2;
        wl.WpaCipher = WPACIPHER_AES;
        CopyToField(wl.Passphrase, passphrase);
    }

    // Presses a button that runs a device write under the page's progress
    // dialog; a write that hangs is ended after 20 s so the run cannot stall.
    template <class Page> void PressUnderGuard(Page &page, const std::function<void()> &press)
    {
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&page] {
            if (TFormProgress *progress = page.ProgressDialog())
                progress->done(99);
        });
        guard.start(20000);
        press();
        guard.stop();
    }

    RecordingUi ui;
    MainWindowRecorder main;
    std::unique_ptr<TFormUDP> engine;
};

// ----------------------------------------------------------- device pages

TEST_F(LabPages, SearchFindsTheDeviceAndLoginReadsItsConfiguration)
{
    LAB_RUN_INSIDE(
        LAB_DEVICE("name=Lab-AP,mac=02:00:4C:00:00:21,password=s3cret,ip=192.168.5.5,"
                   "netmask=255.255.255.0,gateway=192.168.5.254,dhcp=0,wl-ssid=LabNet,wl-channel=6"));
    ASSERT_TRUE(ChooseDevice(QStringLiteral("Lab-AP")));
    EXPECT_EQ(FieldText(g_Var.SelectedDevice.Name), QStringLiteral("Lab-AP"));
    EXPECT_EQ(g_Var.SelectedDevice.Mac[5], 0x21);
    EXPECT_EQ(Dotted(g_Var.SelectedDevice.LocalIp), QStringLiteral("10.77.0.1")) << "answered through pc0";
    EXPECT_EQ(Requests("discover"), 1);

    // The factory password is not this device's: one message, the page stays.
    EXPECT_FALSE(LogIn(QStringLiteral("tulip")));
    EXPECT_EQ(ui.BoxTexts(), QStringList{kErLogin});
    EXPECT_FALSE(engine->loggedIn());
    EXPECT_EQ(Requests("get-config"), 0);
    EXPECT_FALSE(Device()[QStringLiteral("loggedIn")].toBool());

    ui.Clear();
    ASSERT_TRUE(LogIn(QStringLiteral("s3cret")));
    EXPECT_TRUE(ui.boxes.isEmpty());
    EXPECT_TRUE(engine->loggedIn());
    EXPECT_TRUE(Device()[QStringLiteral("loggedIn")].toBool());
    EXPECT_EQ(Requests("login"), 2);
    EXPECT_EQ(Requests("get-config"), 1);
    EXPECT_EQ(g_Var.DeviceMode, DEVICE_AP);
    EXPECT_EQ(g_Var.CurIpConfig.IpMode, IP_MODE_STATIC);
    EXPECT_EQ(Dotted(g_Var.CurIpConfig.Ip), QStringLiteral("192.168.5.5"));
    EXPECT_EQ(Dotted(g_Var.CurIpConfig.Netmask), QStringLiteral("255.255.255.0"));
    EXPECT_EQ(Dotted(g_Var.CurIpConfig.Gateway), QStringLiteral("192.168.5.254"));
    EXPECT_EQ(FieldText(g_Var.CurWlConfig.Ssid), QStringLiteral("LabNet"));
    EXPECT_EQ(g_Var.CurWlConfig.StdChannel, 6);
}

TEST_F(LabPages, BehindAFirewallTheEmptyListSaysWhatToCheck)
{
    // The device answers, but the pc namespace drops inbound UDP 5433.
    LAB_RUN_INSIDE({"--pc-firewall", "--dev-args", "--state-file $LAB_DIR/state.json --device iface=dev0,name=Fw-AP"});
    auto list = MakePage<TFrameDevList>();
    list->show();
    list->CanEnter(nullptr, false, 0);
    ASSERT_TRUE(WaitUntil([&] { return !list->Searching(); }, 10000));
    EXPECT_EQ(list->LvDevList->topLevelItemCount(), 0);
    EXPECT_TRUE(list->LvDevList->EmptyText().startsWith(QStringLiteral("No device answered.")));
    EXPECT_TRUE(list->LvDevList->EmptyText().contains(QStringLiteral("UDP port 5433")));
    EXPECT_GE(Requests("discover"), 1) << "the device heard the search";
    EXPECT_TRUE(ui.boxes.isEmpty());
    main.page = nullptr;
}

TEST_F(LabPages, OperatingModeGoesToBridgeAndBackToAccessPoint)
{
    LAB_RUN_INSIDE(LAB_DEVICE("name=Mode-AP,mode=ap"));
    Connect(QStringLiteral("Mode-AP"));
    struct Step
    {
        int from;
        int to;
    };
    int setModes = 0;
    for (const Step step : {Step{DEVICE_AP, DEVICE_WBRIDGE}, Step{DEVICE_WBRIDGE, DEVICE_AP}}) {
        SCOPED_TRACE(step.to);
        auto page = MakePage<TFrameWlModeSel>();
        g_Var.DeviceMode = 0;
        // A forward entry asks the device for its mode and shows it.
        page->CanEnter(nullptr, false, 0);
        page->Entered(nullptr, false, 0);
        ASSERT_TRUE(WaitUntil([&] { return engine->Pending() == REQ_NONE && g_Var.DeviceMode != 0; }));
        FlushPosted();
        EXPECT_EQ(g_Var.DeviceMode, step.from);
        EXPECT_EQ(page->RBtnAPMode->isChecked(), step.from == DEVICE_AP);
        EXPECT_EQ(page->RBtnWirelessBridge->isChecked(), step.from == DEVICE_WBRIDGE);

        (step.to == DEVICE_AP ? page->RBtnAPMode : page->RBtnWirelessBridge)->click();
        main.Clear();
        page->BtnNext->click();
        ++setModes;
        EXPECT_EQ(Commands(), std::vector<int>{WIZARD_NEXT});
        EXPECT_TRUE(ui.boxes.isEmpty()) << ui.BoxTexts().join('|').toStdString();
        EXPECT_EQ(g_Var.DeviceMode, step.to) << "read back from the device";
        EXPECT_EQ(Device()[QStringLiteral("mode")].toInt(), step.to);
        EXPECT_EQ(Requests("set-mode"), setModes);
        main.page = nullptr;
    }
    EXPECT_EQ(Requests("get-mode"), 2);
    EXPECT_EQ(Requests("logout"), 0) << "no write needed a second attempt";
}

TEST_F(LabPages, SetupMethodWritesTheDynamicAddress)
{
    LAB_RUN_INSIDE(
        LAB_DEVICE("name=Dhcp-AP,ip=192.168.7.7,netmask=255.255.255.0,gateway=192.168.7.1,dhcp=0"));
    Connect(QStringLiteral("Dhcp-AP"));
    ASSERT_EQ(g_Var.CurIpConfig.IpMode, IP_MODE_STATIC);
    ASSERT_FALSE(Device()[QStringLiteral("ip")].toObject()[QStringLiteral("dhcp")].toBool());

    auto page = MakePage<TFrameSetupMethod>();
    page->CanEnter(nullptr, false, 0);
    EXPECT_EQ(page->LblIP->text(), QStringLiteral("192.168.7.7"));
    EXPECT_EQ(page->LblGateway->text(), QStringLiteral("192.168.7.1"));
    ASSERT_TRUE(page->RBtnSetIPDHCP->isChecked());
    page->BtnNext->click();

    EXPECT_EQ(Commands(), std::vector<int>{WIZARD_NEXT});
    EXPECT_TRUE(ui.boxes.isEmpty()) << ui.BoxTexts().join('|').toStdString();
    EXPECT_EQ(g_Var.NewIpConfig.IpMode, IP_MODE_DHCP);
    EXPECT_EQ(g_Var.CurIpConfig.IpMode, IP_MODE_DHCP) << "read back from the device";
    EXPECT_TRUE(Device()[QStringLiteral("ip")].toObject()[QStringLiteral("dhcp")].toBool());
    EXPECT_EQ(Requests("set-ip"), 1);
    EXPECT_EQ(Requests("get-config"), 2);
}

TEST_F(LabPages, IpConfigurationWritesTheStaticAddress)
{
    LAB_RUN_INSIDE(
        LAB_DEVICE("name=Static-AP,ip=192.168.7.7,netmask=255.255.255.0,gateway=192.168.7.1,dhcp=1"));
    Connect(QStringLiteral("Static-AP"));

    auto method = MakePage<TFrameSetupMethod>();
    method->CanEnter(nullptr, false, 0);
    method->RBtnSetIP->click();
    method->BtnNext->click();
    ASSERT_EQ(Commands(), std::vector<int>{WIZARD_NEXT});
    EXPECT_EQ(g_Var.SetupMethod, SETUP_METHOD_IP);
    main.Clear();

    auto page = MakePage<TFrameDevIPCfg>();
    page->CanEnter(nullptr, false, 0);
    page->RBtnStatic->click();
    // This PC's own lab address is refused before anything is sent: the
    // engine knows it from the real adapter the device answered through.
    page->IPEditIP->SetAddress(QStringLiteral("10.77.0.1"));
    page->IPEditMask->SetAddress(QStringLiteral("255.255.255.0"));
    page->IPEditGateway->SetAddress(QString());
    page->BtnNext->click();
    EXPECT_EQ(ui.BoxTexts(), QStringList{kErSameAsLocal});
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(Requests("set-ip"), 0);

    ui.Clear();
    page->IPEditIP->SetAddress(QStringLiteral("192.168.20.30"));
    page->IPEditMask->SetAddress(QStringLiteral("255.255.255.0"));
    page->IPEditGateway->SetAddress(QStringLiteral("192.168.20.1"));
    page->BtnNext->click();
    EXPECT_EQ(Commands(), std::vector<int>{WIZARD_NEXT});
    EXPECT_TRUE(ui.boxes.isEmpty()) << ui.BoxTexts().join('|').toStdString();
    EXPECT_EQ(Requests("set-ip"), 1);

    // The read-back.
    EXPECT_EQ(g_Var.CurIpConfig.IpMode, IP_MODE_STATIC);
    EXPECT_EQ(g_Var.CurIpConfig.Ip, Address("192.168.20.30"));
    EXPECT_EQ(g_Var.CurIpConfig.Netmask, Address("255.255.255.0"));
    EXPECT_EQ(g_Var.CurIpConfig.Gateway, Address("192.168.20.1"));
    // What the device holds.
    const QJsonObject ip = Device()[QStringLiteral("ip")].toObject();
    EXPECT_FALSE(ip[QStringLiteral("dhcp")].toBool());
    EXPECT_EQ(ip[QStringLiteral("ip")].toString(), QStringLiteral("192.168.20.30"));
    EXPECT_EQ(ip[QStringLiteral("netmask")].toString(), QStringLiteral("255.255.255.0"));
    EXPECT_EQ(ip[QStringLiteral("gateway")].toString(), QStringLiteral("192.168.20.1"));
}

// --------------------------------------------------------- wireless pages

TEST_F(LabPages, ConfirmationPageWritesAnAccessPointWpaProfile)
{
    LAB_RUN_INSIDE(LAB_DEVICE("name=Wl-AP,mode=ap,wl-ssid=Factory,wl-security=0"));
    Connect(QStringLiteral("Wl-AP"));
    ASSERT_EQ(g_Var.DeviceMode, DEVICE_AP);

    g_Var.WlMethod = WirelessMethod::Profile;
    g_Var.NewIpConfig = g_Var.CurIpConfig;
    UseWpa2Profile(QStringLiteral("Lab-Home"), QStringLiteral("correct horse battery"));
    g_Var.NewWlConfig.StdChannel = 11;

    auto page = MakePage<TFrameWlProfConfirm>();
    page->show();
    ASSERT_TRUE(page->CanEnter(nullptr, false, 0));
    EXPECT_EQ(page->LblSSID->text(), QStringLiteral("Lab-Home"));
    PressUnderGuard(*page, [&] { page->BtnNext->click(); });

    EXPECT_EQ(Commands(), std::vector<int>{WIZARD_NEXT});
    EXPECT_TRUE(ui.boxes.isEmpty()) << ui.BoxTexts().join('|').toStdString();
    EXPECT_EQ(Requests("set-wl"), 1);
    EXPECT_EQ(Requests("set-station"), 0);
    EXPECT_EQ(Requests("get-config"), 2) << "the login's read and the read-back";
    // The read-back.
    EXPECT_EQ(FieldText(g_Var.CurWlConfig.Ssid), QStringLiteral("Lab-Home"));
    EXPECT_EQ(g_Var.CurWlConfig.StdChannel, 11);
    EXPECT_EQ(g_Var.CurWlConfig.SecurityMode, SECMODE_WPAPSK);
    EXPECT_EQ(g_Var.CurWlConfig.WpaMode, WPAMODE_WPA2);
    EXPECT_EQ(g_Var.CurWlConfig.WpaCipher, WPACIPHER_AES);
    // What the device holds, the passphrase included (it is never read back).
    const QJsonObject held = Device()[QStringLiteral("wireless")].toObject();
    EXPECT_EQ(held[QStringLiteral("ssid")].toString(), QStringLiteral("Lab-Home"));
    EXPECT_EQ(held[QStringLiteral("stdChannel")].toInt(), 11);
    EXPECT_EQ(held[QStringLiteral("wirelessMode")].toInt(), WLMODE_BGN);
    EXPECT_EQ(held[QStringLiteral("securityMode")].toInt(), SECMODE_WPAPSK);
    EXPECT_EQ(held[QStringLiteral("wpaMode")].toInt(), WPAMODE_WPA2);
    EXPECT_EQ(held[QStringLiteral("wpaCipher")].toInt(), WPACIPHER_AES);
    EXPECT_EQ(held[QStringLiteral("passphrase")].toString(), QStringLiteral("correct horse battery"));
    EXPECT_NE(Device()[QStringLiteral("station")].toObject()[QStringLiteral("ssid")].toString(),
              QStringLiteral("Lab-Home"))
        << "the upstream profile is not the access point's";
}

TEST_F(LabPages, BridgeJoinsTheNetworkChosenInTheSiteSurvey)
{
    LAB_RUN_INSIDE(LAB_DEVICE("name=Wl-Bridge,mode=bridge,st-ssid=Before"));
    Connect(QStringLiteral("Wl-Bridge"));
    ASSERT_EQ(g_Var.DeviceMode, DEVICE_WBRIDGE);

    // The survey page surveys on entry and lists what the device sees.
    auto survey = MakePage<TFrameSiteSurvey>();
    survey->show();
    ASSERT_TRUE(survey->CanEnter(nullptr, false, 0));
    QTreeWidgetItem *chosen = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (int row = 0; row < survey->SurveyList->topLevelItemCount() && !chosen; ++row) {
                QTreeWidgetItem *item = survey->SurveyList->topLevelItem(row);
                for (int column = 0; column < item->columnCount(); ++column) {
                    if (item->text(column) == QLatin1String("Office-AES"))
                        chosen = item;
                }
            }
            return chosen != nullptr && engine->Pending() == REQ_NONE;
        },
        10000));
    EXPECT_EQ(Requests("site-survey"), 1);
    QTest::mouseClick(survey->SurveyList->viewport(), Qt::LeftButton, {},
                      survey->SurveyList->visualItemRect(chosen).center());
    main.Clear();
    survey->BtnNext->click(); // "Connect"
    EXPECT_EQ(Commands(), std::vector<int>{WIZARD_NEXT});
    EXPECT_EQ(g_Var.WlMethod, WirelessMethod::Profile);
    EXPECT_EQ(FieldText(g_Var.SelectedAp.Ssid), QStringLiteral("Office-AES"));
    main.page = nullptr;
    main.Clear();

    // The profile the sequence builds from that choice, written as the
    // bridge's upstream profile.
    UseWpa2Profile(FieldText(g_Var.SelectedAp.Ssid), QStringLiteral("upstream passphrase"));

    auto page = MakePage<TFrameWlProfConfirm>();
    page->show();
    ASSERT_TRUE(page->CanEnter(nullptr, false, 0));
    PressUnderGuard(*page, [&] { page->BtnNext->click(); });

    EXPECT_EQ(Commands(), std::vector<int>{WIZARD_NEXT});
    EXPECT_TRUE(ui.boxes.isEmpty()) << ui.BoxTexts().join('|').toStdString();
    EXPECT_EQ(Requests("set-station"), 1);
    EXPECT_EQ(Requests("set-wl"), 0);
    EXPECT_EQ(FieldText(g_Var.CurWlConfig.Ssid), QStringLiteral("Office-AES")) << "read back from the device";
    const QJsonObject held = Device()[QStringLiteral("station")].toObject();
    EXPECT_EQ(held[QStringLiteral("ssid")].toString(), QStringLiteral("Office-AES"));
    EXPECT_EQ(held[QStringLiteral("securityMode")].toInt(), SECMODE_WPAPSK);
    EXPECT_EQ(held[QStringLiteral("wpaMode")].toInt(), WPAMODE_WPA2);
    EXPECT_EQ(held[QStringLiteral("passphrase")].toString(), QStringLiteral("upstream passphrase"));
}

// A network name that is not UTF-8 ("Caf\xE9-\xFF", shown "Café-ÿ") goes back
// byte for byte: the access point's own name kept on the SSID page, and the
// upstream network a bridge joins from the site survey.
TEST_F(LabPages, NetworkNameBytesComeBackUnchangedInBothFlows)
{
    const QString config = Lab::WriteConfig("pages-name-bytes", R"({"interfaces": ["dev0"], "devices": [
        {"name": "Cafe-AP", "mac": "02:00:4C:00:00:01", "mode": "ap", "wl-ssid-hex": "436166E92DFF"},
        {"name": "Cafe-Bridge", "mac": "02:00:4C:00:00:02", "mode": "bridge", "st-ssid": "Before",
         "survey": [{"ssid-hex": "436166E92DFF", "signal": "90"}, {"ssid": "Other", "signal": "50"}]}]})");
    LAB_RUN_INSIDE({"--dev-args", "--state-file $LAB_DIR/state.json --config " + config});
    const QString shown = QString::fromUtf8("Caf\u00e9-\u00ff");
    const QByteArray bytes("Caf\xE9-\xFF");
    for (const bool bridge : {false, true}) {
        SCOPED_TRACE(bridge ? "bridge" : "access point");
        Connect(bridge ? QStringLiteral("Cafe-Bridge") : QStringLiteral("Cafe-AP"));
        g_Var.NewWlConfig = g_Var.CurWlConfig;
        g_Var.WlMethod = WirelessMethod::Profile;
        if (bridge) {
            auto survey = MakePage<TFrameSiteSurvey>();
            survey->show();
            ASSERT_TRUE(survey->CanEnter(nullptr, false, 0));
            ASSERT_TRUE(WaitUntil([&] { return survey->SurveyList->topLevelItemCount() == 2; }, 10000));
            QTreeWidgetItem *row = survey->SurveyList->topLevelItem(0); // strongest first
            ASSERT_EQ(row->text(SURVEY_COL_SSID), shown);
            survey->SurveyList->setCurrentItem(row);
            survey->BtnNextClick(); // "Connect"
            main.page = nullptr;
        }
        auto ssid = MakePage<TFrameWlProfSSID>();
        ASSERT_TRUE(ssid->CanEnter(nullptr, false, 0));
        EXPECT_EQ(ssid->EdtSSID->text(), shown);
        ssid->BtnNextClick();
        auto page = MakePage<TFrameWlProfConfirm>();
        page->show();
        ASSERT_TRUE(page->CanEnter(nullptr, false, 0));
        EXPECT_EQ(page->LblSSID->text(), shown);
        FlushPosted();
        main.Clear();
        PressUnderGuard(*page, [&] { page->BtnNext->click(); });
        EXPECT_EQ(Commands(), std::vector<int>{WIZARD_NEXT});
        EXPECT_EQ(SsidBytes(g_Var.CurWlConfig.Ssid), bytes) << "read back";
        const QJsonObject device =
            Lab::ReadState()[QStringLiteral("devices")].toArray().at(bridge ? 1 : 0).toObject();
        const QJsonObject held =
            device[bridge ? QStringLiteral("station") : QStringLiteral("wireless")].toObject();
        EXPECT_EQ(held[QStringLiteral("ssidHex")].toString().toStdString(), "436166E92DFF");
        main.page = nullptr;
    }
}

TEST_F(LabPages, WpsPushButtonInAccessPointModeSucceeds)
{
    LAB_RUN_INSIDE(LAB_DEVICE("name=Wps-AP,mode=ap"));
    Connect(QStringLiteral("Wps-AP"));

    auto page = MakePage<TFrameWPSMethod>();
    ASSERT_TRUE(page->CanEnter(nullptr, false, 0));
    PressUnderGuard(*page, [&] { page->BtnNextClick(); });

    EXPECT_EQ(g_Var.WpsMethod, 1) << "push button";
    EXPECT_EQ(Commands(), std::vector<int>{WIZARD_NEXT});
    EXPECT_TRUE(ui.boxes.isEmpty()) << ui.BoxTexts().join('|').toStdString();
    EXPECT_FALSE(page->WpsWatching());
    EXPECT_TRUE(TFrameWPSMethod::WpsStartSeen) << "the device's status 3 arrived";
    EXPECT_EQ(Requests("wps-pbc"), 1);
    EXPECT_EQ(Requests("wps-pin"), 0);
    EXPECT_EQ(Device()[QStringLiteral("wpsRuns")].toInt(), 1);
    EXPECT_EQ(Requests("get-config"), 2) << "the login's read and the one after the run";
}

} // namespace
