// The whole wizard as its users meet it: the unchanged setup-wizard binary,
// started inside the network lab against the simulated device, is played
// through its widgets by a scripted user (tests/driver, preloaded into the
// program) from the autorun menu and the licence page to the success page,
// with real clicks, typing and message-box answers. Each run then checks
// what the device really holds (the simulator's state file) and what the
// program wrote to its debug log, which is switched on the way users switch
// it on: an empty "<program>.Log" beside the program.
#include "core/toolrun.h"
#include "ui/lab.h"

#include "app/records.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

#include <csignal>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

// Texts in failure messages as text.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

// The simulator's arguments for one device on dev0 only, writing its state
// file (a macro, as the lab options are a braced list of literals).
#define LAB_DEVICE(keys)                                                                                     \
    {                                                                                                        \
        "--dev-args", "--state-file $LAB_DIR/state.json --device iface=dev0," keys                           \
    }

namespace {

// From the autorun menu through the licence (accepted) and both tutorial
// pages to the device list.
const char kToDeviceList[] = R"(
page FormAutorun
click BtnSetupWizard
page FrameLicense1
click ChkAccept
click BtnNext
page FrameTutorial1
click BtnNext
page FrameTutorial21
click BtnNext
page FrameDevList1
)";

// The device called NAME chosen and logged in to with PASSWORD.
QString LogIn(const QString &name, const QString &password)
{
    return QStringLiteral(R"(
row LvDevList %1
click BtnCfg
page FramePassword1
type EdtPassword "%2"
click BtnLogin
)")
        .arg(name, password);
}

// The access point's operating mode kept and its address left to DHCP, on
// to the wireless method, where `method` (RBtnManual or RBtnWPS) is chosen.
QString AccessPointByDhcp(const char *method)
{
    return QStringLiteral(R"(
page FrameWlModeSel1
checked RBtnAPMode
click BtnNext
page FrameSetupMethod1
click RBtnSetIPDHCP
click BtnNext
page FrameSetWlMethod1
click %1
click BtnNext
)")
        .arg(QLatin1String(method));
}

// The operating mode kept and a static address typed on the IP page, on to
// the wireless method, where `method` (RBtnManual or RBtnWPS) is chosen.
QString StaticAddress(const char *ip, const char *mask, const char *gateway, const char *method)
{
    return QStringLiteral(R"(
page FrameWlModeSel1
click BtnNext
page FrameSetupMethod1
click RBtnSetIP
click BtnNext
page FrameDevIPCfg1
type IPEditIP %1
type IPEditMask %2
type IPEditGateway %3
click BtnNext
page FrameSetWlMethod1
click %4
click BtnNext
)")
        .arg(QLatin1String(ip), QLatin1String(mask), QLatin1String(gateway), QLatin1String(method));
}

// WPS by push button from the WPS page, up to the device's answer.
const char kPushButton[] = R"(
page FrameWPSMethod1
click RBtnPBC
click BtnNext
)";

// The success page, left through Exit and its question; the autorun menu
// closes with the wizard and the program ends.
const char kFinish[] = R"(
page FrameSuccess1
expect LbSuccess1 Congratulations!
click BtnExit
message "Do you want to exit the Setup Wizard?" Yes
)";

struct Played
{
    int exitCode = -1;
    QString report; // the scripted user's account of the run
    QString log;    // the program's debug log
    QString output; // what the program printed
};

// Inside the lab: puts the program into a folder of its own with a settings
// file naming a licence, the licence and an empty log file, plays `script`
// against it and collects what the run left.
Played Play(const QString &script)
{
    Played played;
    const QString dir = Lab::Dir() + QStringLiteral("/wizard");
    QDir().mkpath(dir);
    const QString program = dir + QStringLiteral("/setup-wizard");
    QFile::remove(program);
    if (!QFile::copy(QStringLiteral(WIZARD_BINARY_DIR "/setup-wizard"), program)) {
        played.report = QStringLiteral("cannot copy the program");
        return played;
    }
    auto write = [&dir](const char *name, const QString &text) {
        QFile file(dir + QLatin1Char('/') + QLatin1String(name));
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(text.toUtf8());
    };
    write("setup-wizard.ini", QStringLiteral("[Product]\nLicense=license.txt\n"));
    write("license.txt", QStringLiteral("Use this wizard kindly.\n"));
    write("setup-wizard.Log", QString());
    write("script.txt", script);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(WIZARD_DRIVER_PATH));
    env.insert(QStringLiteral("WIZARD_DRIVER_SCRIPT"), dir + QStringLiteral("/script.txt"));
    env.insert(QStringLiteral("WIZARD_DRIVER_REPORT"), dir + QStringLiteral("/report.txt"));
    // The single-instance lock lives in the runtime folder: one per run.
    env.insert(QStringLiteral("TMPDIR"), dir);
    const QString runtime = dir + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    // The files beside the program are the ones played with: a settings
    // file or log in the tester's own folders must not take their place.
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_STATE_HOME"), dir + QStringLiteral("/state"));
    // A sanitizer build wants its runtime first; the preloaded user comes
    // before it and is harmless.
    QString asan = env.value(QStringLiteral("ASAN_OPTIONS"));
    env.insert(QStringLiteral("ASAN_OPTIONS"), (asan.isEmpty() ? QString() : asan + QLatin1Char(':')) +
                                                   QStringLiteral("verify_asan_link_order=0"));

    const ToolRun run = RunTool(program, {}, {.environment = env, .timeoutMs = 240000, .mergedOutput = true});
    played.output = run.err + run.out;
    played.exitCode = run.exitCode;
    auto read = [&dir](const char *name) {
        return Lab::ReadText(dir + QLatin1Char('/') + QLatin1String(name));
    };
    played.report = read("report.txt");
    played.log = read("setup-wizard.Log");
    // For comparing two builds' logs run by run.
    const QString keep = qEnvironmentVariable("WIZARD_KEEP_RUN_LOGS");
    if (!keep.isEmpty()) {
        const auto *test = ::testing::UnitTest::GetInstance()->current_test_info();
        static int serial = 0;
        QDir().mkpath(keep);
        QFile::copy(dir + QStringLiteral("/setup-wizard.Log"),
                    QStringLiteral("%1/%2-%3.Log").arg(keep, QLatin1String(test->name())).arg(++serial));
    }
    return played;
}

// The run went through every step and the program ended by itself.
void ExpectPlayedThrough(const Played &played)
{
    EXPECT_EQ(played.exitCode, 0) << played.output.toStdString();
    const QStringList lines = played.report.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty()) << "no report; output:\n" << played.output.toStdString();
    EXPECT_TRUE(lines.last().startsWith(QLatin1String("PASS")))
        << played.report.toStdString() << "\nthe end of the debug log:\n"
        << played.log.right(4000).toStdString();
}

// Lines of a debug log without their time and thread prefix.
QStringList LogLines(const QString &log)
{
    static const QRegularExpression prefix(QStringLiteral(R"(^\(\d\d:\d\d:\d\d:\d\d\d 0x[0-9A-F]+\) )"));
    QStringList lines;
    for (QString line : log.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        lines << line.remove(prefix);
    return lines;
}

QStringList LogLines(const Played &played)
{
    return LogLines(played.log);
}

using Lab::Device;

int Requests(const char *kind, int index = 0)
{
    return Device(index)[QStringLiteral("requests")].toObject()[QLatin1String(kind)].toInt();
}

QJsonObject Held(const char *part)
{
    return Device()[QLatin1String(part)].toObject();
}

} // namespace

TEST(WizardRuns, AccessPointWithDynamicAddressAndWpaPassphrase)
{
    LAB_RUN_INSIDE(LAB_DEVICE("name=Run-AP,mode=ap,dhcp=0,wl-ssid=Factory,wl-security=0"));
    const Played played = Play(kToDeviceList + LogIn(QStringLiteral("Run-AP"), QStringLiteral("tulip")) +
                               AccessPointByDhcp("RBtnManual") + R"(
page FrameWlProfSSID1
expect EdtSSID Factory
type EdtSSID Lab-Home
click BtnNext
page FrameWlProfWlMode1
click BtnNext
page FrameWlProfSecurity1
choose CmbSecurity WPA-PSK
click BtnNext
page FrameWlProfPSK1
choose CmbWPAMode "WPA2 Only"
type EdtPassphrase "correct horse battery"
click BtnNext
page FrameWlProfConfirm1
expect LblSSID Lab-Home
expect LblSecurity WPA-PSK
click BtnNext
)" + kFinish);
    ExpectPlayedThrough(played);

    EXPECT_TRUE(Held("ip")[QStringLiteral("dhcp")].toBool());
    const QJsonObject wl = Held("wireless");
    EXPECT_EQ(wl[QStringLiteral("ssid")].toString(), QStringLiteral("Lab-Home"));
    EXPECT_EQ(wl[QStringLiteral("securityMode")].toInt(), SECMODE_WPAPSK);
    EXPECT_EQ(wl[QStringLiteral("wpaMode")].toInt(), WPAMODE_WPA2);
    EXPECT_EQ(wl[QStringLiteral("passphrase")].toString(), QStringLiteral("correct horse battery"));
    EXPECT_EQ(Device()[QStringLiteral("mode")].toInt(), DEVICE_AP);
    EXPECT_EQ(Requests("set-mode"), 0) << "the mode was already the access point's";
    EXPECT_EQ(Requests("set-ip"), 1);
    EXPECT_EQ(Requests("set-wl"), 1);
    EXPECT_EQ(Requests("login"), 1);
    EXPECT_FALSE(Device()[QStringLiteral("loggedIn")].toBool()) << "the program logs out as it ends";

    const QStringList log = LogLines(played);
    EXPECT_EQ(log.count(QStringLiteral("TFormUDP::SendLogin()")), 1);
    EXPECT_EQ(log.count(QStringLiteral("TFormUDP::SendIPSetting()")), 1);
    EXPECT_EQ(log.count(QStringLiteral("TFormUDP::SendWlSetting()")), 1);
    EXPECT_EQ(log.count(QStringLiteral("TFormUDP::SendLogout()")), 1);
    EXPECT_TRUE(log.contains(QStringLiteral("  WL_SSID=Lab-Home"))) << "the read-back after the write";
}

// The first run again by keyboard alone: Return presses each page's primary
// button, the focus lands where a keyboard user needs it, and Escape leaves.
TEST(WizardRuns, KeyboardOnlyAccessPointWithWpaPassphrase)
{
    LAB_RUN_INSIDE(LAB_DEVICE("name=Run-Keys,mode=ap,dhcp=0,wl-ssid=Factory,wl-security=0"));
    const Played played = Play(QStringLiteral(R"(
nomouse
page FormAutorun
focus BtnSetupWizard
key Return
page FrameLicense1
focus ChkAccept
key Space
checked ChkAccept
key Return
page FrameTutorial1
focus BtnNext
key Return
page FrameTutorial21
focus BtnNext
key Return
page FrameDevList1
focus LvDevList
listed LvDevList Run-Keys
key Down
key Return
page FramePassword1
focus EdtPassword
keys tulip
key Return
page FrameWlModeSel1
focus RBtnAPMode
key Return
page FrameSetupMethod1
focus RBtnSetIPDHCP
key Return
page FrameSetWlMethod1
focus RBtnManual
key Return
page FrameWlProfSSID1
focus EdtSSID
expect EdtSSID Factory
key Ctrl+A
keys Lab-Keys
key Return
page FrameWlProfWlMode1
focus CmbMode
key Return
page FrameWlProfSecurity1
focus CmbSecurity
key End
expect CmbSecurity WPA-PSK
key Return
page FrameWlProfPSK1
focus EdtPassphrase
keys "keyboard only passphrase"
key Shift+Tab
focus CmbWPAMode
key Home
key Down
expect CmbWPAMode "WPA2 Only"
key Return
page FrameWlProfConfirm1
focus BtnNext
expect LblSSID Lab-Keys
key Return
page FrameSuccess1
focus FrameSuccess1
key Return
key Escape
box "Do you want to exit the Setup Wizard?"
key Return
)"));
    ExpectPlayedThrough(played);

    const QJsonObject wl = Held("wireless");
    EXPECT_EQ(wl[QStringLiteral("ssid")].toString(), QStringLiteral("Lab-Keys"));
    EXPECT_EQ(wl[QStringLiteral("securityMode")].toInt(), SECMODE_WPAPSK);
    EXPECT_EQ(wl[QStringLiteral("wpaMode")].toInt(), WPAMODE_WPA2);
    EXPECT_EQ(wl[QStringLiteral("passphrase")].toString(), QStringLiteral("keyboard only passphrase"));
    EXPECT_TRUE(Held("ip")[QStringLiteral("dhcp")].toBool());
    EXPECT_EQ(Requests("set-wl"), 1);
}

TEST(WizardRuns, AccessPointWithStaticAddressAndWep128HexKey)
{
    LAB_RUN_INSIDE(LAB_DEVICE("name=Run-Static,mode=ap,dhcp=1,wl-ssid=Factory"));
    const Played played =
        Play(kToDeviceList + LogIn(QStringLiteral("Run-Static"), QStringLiteral("tulip")) +
             StaticAddress("192.168.20.30", "255.255.255.0", "192.168.20.1", "RBtnManual") + R"(
page FrameWlProfSSID1
type EdtSSID Lab-WEP
click BtnNext
page FrameWlProfWlMode1
choose CmbMode "2.4GHz 802.11 b/g mixed mode"
click BtnNext
page FrameWlProfSecurity1
choose CmbSecurity WEP
click BtnNext
page FrameWlProfWEP1
choose CmbWEP "128 bit"
type EdtKey1 0123456789abcdef0123456789
click BtnNext
page FrameWlProfConfirm1
expect LblSSID Lab-WEP
expect LblSecurity WEP
click BtnNext
)" + kFinish);
    ExpectPlayedThrough(played);

    const QJsonObject ip = Held("ip");
    EXPECT_FALSE(ip[QStringLiteral("dhcp")].toBool());
    EXPECT_EQ(ip[QStringLiteral("ip")].toString(), QStringLiteral("192.168.20.30"));
    EXPECT_EQ(ip[QStringLiteral("netmask")].toString(), QStringLiteral("255.255.255.0"));
    EXPECT_EQ(ip[QStringLiteral("gateway")].toString(), QStringLiteral("192.168.20.1"));
    const QJsonObject wl = Held("wireless");
    EXPECT_EQ(wl[QStringLiteral("ssid")].toString(), QStringLiteral("Lab-WEP"));
    EXPECT_EQ(wl[QStringLiteral("wirelessMode")].toInt(), WLMODE_BG);
    EXPECT_EQ(wl[QStringLiteral("securityMode")].toInt(), SECMODE_WEP);
    EXPECT_EQ(wl[QStringLiteral("wepKeyLen")].toInt(), WEPKEYLEN_128);
    EXPECT_EQ(wl[QStringLiteral("wepKey")].toString(), QStringLiteral("0123456789ABCDEF0123456789"))
        << "hexadecimal keys are kept in upper case";
    EXPECT_EQ(Requests("set-ip"), 1);
    EXPECT_EQ(Requests("set-wl"), 1);

    const QStringList log = LogLines(played);
    EXPECT_EQ(log.count(QStringLiteral("TFormUDP::SendIPSetting()")), 1);
    EXPECT_EQ(log.count(QStringLiteral("TFormUDP::SendWlSetting()")), 1);
    EXPECT_TRUE(log.contains(QStringLiteral("  LAN_IP=C0A8141E"))) << "192.168.20.30 read back";
}

TEST(WizardRuns, BridgeJoinsASurveyedNetworkWithWpa2)
{
    LAB_RUN_INSIDE(LAB_DEVICE("name=Run-Bridge,mode=ap,dhcp=1,st-ssid=Before"));
    const Played played =
        Play(kToDeviceList + LogIn(QStringLiteral("Run-Bridge"), QStringLiteral("tulip")) + R"(
page FrameWlModeSel1
checked RBtnAPMode
click RBtnWirelessBridge
click BtnNext
page FrameSiteSurvey1
row SurveyList Office-AES
click BtnNext
page FrameWlProfSSID1
expect EdtSSID Office-AES
click BtnNext
page FrameWlProfWlMode1
click BtnNext
page FrameWlProfSecurity1
expect CmbSecurity WPA-PSK
click BtnNext
page FrameWlProfPSK1
choose CmbWPAMode "WPA2 Only"
type EdtPassphrase "upstream passphrase"
click BtnNext
page FrameWlProfConfirm1
expect LblSSID Office-AES
click BtnNext
)" + kFinish);
    ExpectPlayedThrough(played);

    EXPECT_EQ(Device()[QStringLiteral("mode")].toInt(), DEVICE_WBRIDGE);
    const QJsonObject station = Held("station");
    EXPECT_EQ(station[QStringLiteral("ssid")].toString(), QStringLiteral("Office-AES"));
    EXPECT_EQ(station[QStringLiteral("securityMode")].toInt(), SECMODE_WPAPSK);
    EXPECT_EQ(station[QStringLiteral("wpaMode")].toInt(), WPAMODE_WPA2);
    EXPECT_EQ(station[QStringLiteral("passphrase")].toString(), QStringLiteral("upstream passphrase"));
    EXPECT_NE(Held("wireless")[QStringLiteral("ssid")].toString(), QStringLiteral("Office-AES"));
    EXPECT_EQ(Requests("set-mode"), 1);
    EXPECT_EQ(Requests("site-survey"), 1);
    EXPECT_EQ(Requests("set-station"), 1);
    EXPECT_EQ(Requests("set-wl"), 0);

    const QStringList log = LogLines(played);
    EXPECT_EQ(log.count(QStringLiteral("TFormUDP::SendSetMode()")), 1);
    EXPECT_EQ(log.count(QStringLiteral("TFormUDP::SendSiteSurvey()")), 1);
    EXPECT_EQ(log.count(QStringLiteral("TFormUDP::SendWlStationSetting()")), 1);
}

TEST(WizardRuns, AccessPointWpsWithTheStationPin)
{
    LAB_RUN_INSIDE(LAB_DEVICE("name=Run-Pin,mode=ap,dhcp=1"));
    const Played played = Play(kToDeviceList + LogIn(QStringLiteral("Run-Pin"), QStringLiteral("tulip")) +
                               AccessPointByDhcp("RBtnWPS") + R"(
page FrameWPSMethod1
click RBtnPIN
type EdtPIN 12345670
click BtnNext
)" + kFinish);
    ExpectPlayedThrough(played);

    EXPECT_EQ(Requests("wps-pin"), 1);
    EXPECT_EQ(Requests("wps-pbc"), 0);
    EXPECT_EQ(Device()[QStringLiteral("lastWpsPin")].toString(), QStringLiteral("12345670"));
    EXPECT_EQ(Device()[QStringLiteral("wpsRuns")].toInt(), 1);
    EXPECT_EQ(Requests("set-ip"), 0) << "the device already takes its address by DHCP";

    const QStringList log = LogLines(played);
    EXPECT_EQ(log.count(QStringLiteral("TFormUDP::SendWPSPIN()")), 1);
    EXPECT_GE(log.count(QStringLiteral("TFormUDP::RecvEvent()")), 1);
}

TEST(WizardRuns, BridgeWpsPushButtonFromTheSurvey)
{
    LAB_RUN_INSIDE(LAB_DEVICE("name=Run-Pbc,mode=bridge,dhcp=1"));
    const Played played = Play(kToDeviceList + LogIn(QStringLiteral("Run-Pbc"), QStringLiteral("tulip")) + R"(
page FrameWlModeSel1
checked RBtnWirelessBridge
click BtnNext
page FrameSiteSurvey1
click BtnWPS
)" + kPushButton + kFinish);
    ExpectPlayedThrough(played);

    EXPECT_EQ(Device()[QStringLiteral("mode")].toInt(), DEVICE_WBRIDGE);
    EXPECT_EQ(Requests("set-mode"), 0);
    EXPECT_EQ(Requests("wps-pbc"), 1);
    EXPECT_EQ(Requests("wps-pin"), 0);
    EXPECT_EQ(Device()[QStringLiteral("wpsRuns")].toInt(), 1);

    const QStringList log = LogLines(played);
    EXPECT_EQ(log.count(QStringLiteral("TFormUDP::SendWPSPBC()")), 1);
}

TEST(WizardRuns, WrongPasswordThenTheRightOne)
{
    LAB_RUN_INSIDE(LAB_DEVICE("name=Run-Pass,mode=ap,dhcp=1,password=s3cret"));
    const Played played =
        Play(kToDeviceList + LogIn(QStringLiteral("Run-Pass"), QStringLiteral("tulip")) + R"(
message "Unable to login the deivce." OK
page FramePassword1
type EdtPassword s3cret
click BtnLogin
)" + AccessPointByDhcp("RBtnWPS") +
             kPushButton + kFinish);
    ExpectPlayedThrough(played);

    EXPECT_EQ(Requests("login"), 2);
    EXPECT_EQ(Requests("get-config"), 2) << "read once after the login and once after the WPS run";
    EXPECT_EQ(Requests("wps-pbc"), 1);

    const QStringList log = LogLines(played);
    EXPECT_EQ(log.count(QStringLiteral("TFormUDP::SendLogin()")), 2);
    // The answer to the first login cannot be read with the wrong password.
    static const QRegularExpression failed(QStringLiteral(R"(^TFramePassword::BtnLoginClick\(\) FAIL .*)"));
    const qsizetype refused = log.indexOf(failed);
    const qsizetype accepted = log.indexOf(QStringLiteral("  Result=1"));
    ASSERT_GE(refused, 0);
    EXPECT_GT(accepted, refused);
}

// Logged in to one device, Back to the kept list, the other device chosen:
// the second login must hear the second device although the first one's
// login had locked the engine onto it.
TEST(WizardRuns, SecondDeviceAfterBackFromTheFirst)
{
    LAB_RUN_INSIDE({"--dev-args",
                    "--state-file $LAB_DIR/state.json"
                    " --device iface=dev0,name=Run-First,mac=02:00:4C:00:00:0A,mode=ap,dhcp=1"
                    " --device iface=dev0,name=Run-Second,mac=02:00:4C:00:00:0B,mode=ap,dhcp=1"});
    const Played played =
        Play(kToDeviceList + LogIn(QStringLiteral("Run-First"), QStringLiteral("tulip")) + R"(
page FrameWlModeSel1
click BtnBack
page FrameDevList1
listed LvDevList Run-First
)" + LogIn(QStringLiteral("Run-Second"), QStringLiteral("tulip")) +
             AccessPointByDhcp("RBtnWPS") + kPushButton + kFinish);
    ExpectPlayedThrough(played);

    EXPECT_EQ(Requests("login", 0), 1);
    EXPECT_EQ(Requests("wps-pbc", 0), 0);
    EXPECT_FALSE(Device(0)[QStringLiteral("loggedIn")].toBool()) << "Back logged out of the first";
    EXPECT_EQ(Requests("login", 1), 1);
    EXPECT_EQ(Requests("wps-pbc", 1), 1);
    EXPECT_EQ(Device(1)[QStringLiteral("wpsRuns")].toInt(), 1);

    const QStringList log = LogLines(played);
    EXPECT_EQ(log.count(QStringLiteral("TFormUDP::SendDiscover()")), 1) << "the list was kept";
    EXPECT_EQ(log.count(QStringLiteral("TFormUDP::SendLogin()")), 2);
    EXPECT_FALSE(
        log.contains(QStringLiteral("TFormUDP::ProcRecvData() FAIL destination address doesn't match")));
}

TEST(WizardRuns, DeviceStopsAnsweringDuringTheWirelessWrite)
{
    LAB_RUN_INSIDE(LAB_DEVICE("name=Run-Gone,mode=ap,dhcp=1,silent-from=set-wl"));
    const Played played = Play(kToDeviceList + LogIn(QStringLiteral("Run-Gone"), QStringLiteral("tulip")) +
                               AccessPointByDhcp("RBtnManual") + R"(
page FrameWlProfSSID1
type EdtSSID Lab-Gone
click BtnNext
page FrameWlProfWlMode1
click BtnNext
page FrameWlProfSecurity1
choose CmbSecurity None
click BtnNext
page FrameWlProfConfirm1
click BtnNext
message "Unable to connect to the device." OK
click BtnExit
message "Do you want to exit the Setup Wizard?" Yes
)");
    ExpectPlayedThrough(played);

    EXPECT_TRUE(Device()[QStringLiteral("silent")].toBool());
    EXPECT_EQ(Requests("set-wl"), 1);
    EXPECT_EQ(Requests("login"), 1) << "the re-login found no one";

    const QStringList log = LogLines(played);
    EXPECT_EQ(log.count(QStringLiteral("TFormUDP::SendWlSetting()")), 1);
    EXPECT_EQ(log.count(QStringLiteral("TFormUDP::SendLogin()")), 2) << "exactly one re-login";
}

TEST(WizardRuns, StaticAddressAndWpsOverALinkWithoutAnAddress)
{
    // A PC cabled straight to the device with no DHCP answer: pc0 has no
    // address, so everything travels by broadcast from 0.0.0.0 (the
    // simulator would answer by unicast otherwise).
    LAB_RUN_INSIDE(
        {"--pc-no-addr", "--dev-args",
         "--state-file $LAB_DIR/state.json --reply unicast --device iface=dev0,name=Run-Cable,mode=ap"});
    const Played played =
        Play(kToDeviceList + LogIn(QStringLiteral("Run-Cable"), QStringLiteral("tulip")) +
             StaticAddress("10.77.0.50", "255.255.255.0", "10.77.0.254", "RBtnWPS") + kPushButton + kFinish);
    ExpectPlayedThrough(played);

    EXPECT_EQ(Held("ip")[QStringLiteral("ip")].toString(), QStringLiteral("10.77.0.50"));
    EXPECT_EQ(Requests("set-ip"), 1);
    EXPECT_EQ(Requests("wps-pbc"), 1);
    const QStringList log = LogLines(played);
    EXPECT_TRUE(log.filter(QRegularExpression(QStringLiteral(
                               "^Addr=.*, IP=0\\.0\\.0\\.0, Iface=pc0 \\(no IPv4 address\\)$")))
                    .size() >= 1)
        << log.filter(QStringLiteral("Addr=")).join(u'\n').toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("Local IP:0.0.0.0")));
}

// ---------------------------------------------------------------------------
// One wizard per user: copies of the real program started as two users
// (runuser), each user with a runtime folder of its own, all with the same
// settings, beside a shared sticky temporary folder such as /tmp.

namespace {

const char kShortName[] = "Users-Lab";

// The folders the copies share: the temporary folder and one runtime folder
// per user, under a folder every user may pass through.
struct UserFolders
{
    UserFolders() : base(QDir::tempPath() + QStringLiteral("/wizard-users-XXXXXX"))
    {
        ::chmod(QFile::encodeName(base.path()).constData(), 0755);
        tmp = base.path() + QStringLiteral("/tmp");
        QDir().mkdir(tmp);
        ::chmod(QFile::encodeName(tmp).constData(), 01777);
    }
    // The runtime folder of `user` (made on first use, 0700, the user's).
    QString Runtime(const passwd &user)
    {
        const QString folder = base.path() + QStringLiteral("/run-") + QString::fromLocal8Bit(user.pw_name);
        if (QDir().mkdir(folder) &&
            (::chown(QFile::encodeName(folder).constData(), user.pw_uid, user.pw_gid) != 0 ||
             ::chmod(QFile::encodeName(folder).constData(), 0700) != 0))
            return QString(); // a folder the user cannot own is no runtime folder
        return folder;
    }
    QTemporaryDir base;
    QString tmp;
};

class UserCopy
{
public:
    UserCopy(UserFolders &folders, const char *user, const char *tag) : m_user(user)
    {
        const passwd *account = ::getpwnam(user);
        if (!account)
            return;
        const QString dir = folders.base.path() + QLatin1Char('/') + QLatin1String(tag);
        QDir().mkdir(dir);
        m_program = dir + QStringLiteral("/setup-wizard");
        m_log = dir + QStringLiteral("/setup-wizard.Log");
        QFile::copy(QStringLiteral(WIZARD_BINARY_DIR "/setup-wizard"), m_program);
        QFile ini(dir + QStringLiteral("/setup-wizard.ini"));
        if (ini.open(QIODevice::WriteOnly))
            ini.write(QByteArray("[Product]\nShortName=") + kShortName + '\n');
        QFile log(m_log);
        if (log.open(QIODevice::WriteOnly))
            log.close();
        bool owned = true;
        for (const QString &path : {dir, m_log})
            owned =
                owned && ::chown(QFile::encodeName(path).constData(), account->pw_uid, account->pw_gid) == 0;
        m_runtime = folders.Runtime(*account);
        m_tmp = folders.tmp;
        m_ok = owned && !m_runtime.isEmpty() && QFileInfo(m_program).isExecutable();
    }
    ~UserCopy()
    {
        // runuser hands the signal on to the program and waits for it.
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(10000))
                m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    bool Start()
    {
        if (!m_ok)
            return false;
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(QStringLiteral("runuser"),
                        {QStringLiteral("-u"), m_user, QStringLiteral("--"), QStringLiteral("env"),
                         QStringLiteral("XDG_RUNTIME_DIR=") + m_runtime, QStringLiteral("TMPDIR=") + m_tmp,
                         QStringLiteral("HOME=") + QFileInfo(m_program).path(),
                         QStringLiteral("QT_QPA_PLATFORM=offscreen"), m_program});
        return m_process.waitForStarted(10000);
    }
    // Until the copy holds the lock and made its windows; false when it ended.
    bool WaitRunning()
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 60000) {
            if (Log().contains(QStringLiteral("RunSetupWizard() running as %1_Mutex").arg(kShortName)))
                return true;
            if (m_process.waitForFinished(50))
                return false;
        }
        return false;
    }
    bool Running() { return !m_process.waitForFinished(100); }
    int WaitEnd()
    {
        if (!m_process.waitForFinished(60000))
            return -1;
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }
    // The lines about the lock (start-up failures and the running copy's).
    QStringList Log()
    {
        QFile file(m_log);
        QStringList lines;
        if (file.open(QIODevice::ReadOnly)) {
            for (const QString &line : LogLines(QString::fromUtf8(file.readAll()))) {
                if (line.contains(QLatin1String("FAIL")) ||
                    line.startsWith(QLatin1String("RunSetupWizard()")))
                    lines << line;
            }
        }
        return lines;
    }
    QString LockFile() const
    {
        return m_runtime + QLatin1Char('/') + kShortName + QStringLiteral("_Mutex.lock");
    }
    std::string Output() { return QString::fromLocal8Bit(m_process.readAll()).toStdString(); }

private:
    QString m_user, m_program, m_log, m_runtime, m_tmp;
    bool m_ok = false;
    QProcess m_process;
};

} // namespace

TEST(WizardRuns, EachUserRunsOneCopy)
{
    LAB_RUN_INSIDE({"--no-sim"});
    if (!::getpwnam("nobody") || !::getpwnam("daemon"))
        GTEST_SKIP() << "needs the accounts nobody and daemon";
    UserFolders folders;
    // A lock left in the shared temporary folder under the program's name by
    // someone else (here root), naming a live process.
    QFile planted(folders.tmp + QLatin1Char('/') + kShortName + QStringLiteral("_Mutex.lock"));
    ASSERT_TRUE(planted.open(QIODevice::WriteOnly));
    planted.write(QByteArray::number(::getpid()) + "\nsetup-wizard\n" + QSysInfo::machineHostName().toUtf8() +
                  '\n');
    planted.close();

    UserCopy first(folders, "nobody", "nobody-1");
    UserCopy other(folders, "daemon", "daemon-1");
    UserCopy second(folders, "nobody", "nobody-2");
    UserCopy after(folders, "nobody", "nobody-3");
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(first.WaitRunning()) << first.Output();
    ASSERT_TRUE(other.Start());
    EXPECT_TRUE(other.WaitRunning()) << "another user's copy runs beside it: " << other.Output();

    ASSERT_TRUE(second.Start());
    EXPECT_EQ(second.WaitEnd(), 0);
    EXPECT_EQ(second.Log(), QStringList({"FAIL another instance is running"})) << second.Output();
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(other.Running());

    // The first copy crashes; its lock stays behind and is taken over.
    QFile lock(first.LockFile());
    ASSERT_TRUE(lock.open(QIODevice::ReadOnly));
    const pid_t pid = lock.readLine().trimmed().toInt();
    lock.close();
    ASSERT_GT(pid, 0);
    ASSERT_EQ(::kill(pid, SIGKILL), 0);
    EXPECT_NE(first.WaitEnd(), 0) << "the copy died";
    ASSERT_TRUE(QFile::exists(first.LockFile()));
    ASSERT_TRUE(after.Start());
    EXPECT_TRUE(after.WaitRunning()) << after.Output();
}
