// wizardctl, the real binary, against the simulated device inside the
// network lab: every subcommand, a wrong password, a lost answer recovered
// by the re-login, JSON output read back, and input the rules refuse
// sending nothing. The lab build of the client (wizardctl-test) reads
// WIZARDCTL_TIME_SCALE, so the product's waits (32 s for a write) pass in
// a fraction of the time with unchanged logic.
#include "core/toolrun.h"
#include "ui/lab.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

const char kMac[] = "02:00:4C:00:00:01"; // the simulator's default device

using Ctl = ToolRun;

// What a run gets besides its arguments: standard input and a password in
// the environment.
struct Given
{
    QByteArray input{};
    QString passwordVariable{}; // WIZARDCTL_PASSWORD, unset when empty
};

Ctl RunBinary(const QString &binary, const QStringList &arguments, const QString &scale,
              const Given &given = {})
{
    ToolStart start = WizardctlStart(scale);
    start.input = given.input;
    if (!given.passwordVariable.isEmpty())
        start.environment.insert(QStringLiteral("WIZARDCTL_PASSWORD"), given.passwordVariable);
    return RunTool(binary, arguments, start);
}

Ctl RunCtl(const QStringList &arguments, const Given &given = {})
{
    return RunBinary(WizardctlClient(), arguments, QStringLiteral("0.05"), given);
}

// Runs a device command for the simulator's default device.
Ctl RunFor(const QString &command, QStringList arguments = {}, const Given &given = {})
{
    arguments.prepend(QString::fromLatin1(kMac));
    arguments.prepend(QStringLiteral("--mac"));
    arguments.prepend(command);
    return RunCtl(arguments, given);
}

QJsonDocument Json(const Ctl &c)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(c.out.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << c;
    return doc;
}

using Lab::Device;

QJsonObject Requests()
{
    return Device()["requests"].toObject();
}

// The state after the client's closing logout has reached the device.
QJsonObject SettledRequests()
{
    QThread::msleep(300);
    return Requests();
}

} // namespace

TEST(LabWizardctl, DiscoverListsEveryDeviceWithTheAdapterItCameThrough)
{
    SKIP_WITHOUT_CLIENT();
    LAB_RUN_INSIDE({"--dev-args", "--device name=Alpha,mac=02:00:4C:00:00:0A,iface=dev0 "
                                  "--device name=Beta,mac=02:00:4C:00:00:0B,iface=dev1"});
    const Ctl c = RunCtl({"discover", "--wait", "600", "--json"});
    ASSERT_EQ(c.exitCode, 0) << c;
    const QJsonObject o = Json(c).object();
    EXPECT_EQ(o["adapters"].toArray().size(), 2);
    const QJsonArray devices = o["devices"].toArray();
    ASSERT_EQ(devices.size(), 2) << c;
    std::map<QString, QJsonObject> byName;
    for (const QJsonValue &d : devices)
        byName[d.toObject()["name"].toString()] = d.toObject();
    EXPECT_EQ(byName["Alpha"]["mac"].toString(), "02:00:4C:00:00:0A");
    EXPECT_EQ(byName["Alpha"]["ip"].toString(), "10.77.0.2");
    EXPECT_EQ(byName["Alpha"]["localIp"].toString(), "10.77.0.1");
    EXPECT_EQ(byName["Beta"]["ip"].toString(), "10.77.1.2");
    EXPECT_EQ(byName["Beta"]["localIp"].toString(), "10.77.1.1") << "the answer came through pc1";

    const Ctl text = RunCtl({"discover", "--wait", "600"});
    EXPECT_EQ(text.exitCode, 0) << text;
    EXPECT_TRUE(
        text.out.contains(QRegularExpression("Beta +02:00:4C:00:00:0B +10\\.77\\.1\\.2 +10\\.77\\.1\\.1")))
        << text;
}

TEST(LabWizardctl, NothingAnsweringNamesTheAdaptersAndTheCauses)
{
    SKIP_WITHOUT_CLIENT();
    LAB_RUN_INSIDE({"--no-sim"});
    const Ctl c = RunCtl({"discover", "--wait", "300"});
    EXPECT_EQ(c.exitCode, 2) << c;
    EXPECT_TRUE(c.err.contains("no device answered within 300 ms")) << c;
    EXPECT_TRUE(c.err.contains(QRegularExpression("pc0: +used, 10\\.77\\.0\\.1\n"))) << c;
    EXPECT_TRUE(c.err.contains(QRegularExpression("pc1: +used, 10\\.77\\.1\\.1\n"))) << c;
    EXPECT_TRUE(c.err.contains(QRegularExpression("lo: +skipped, loopback\n"))) << c;
    EXPECT_TRUE(c.err.contains("firewall")) << c;

    const Ctl show = RunFor("show");
    EXPECT_EQ(show.exitCode, 2) << show;
    EXPECT_TRUE(show.err.contains("no device 02:00:4C:00:00:01 answered")) << show;
}

TEST(LabWizardctl, BehindAFirewallTheDiagnosisNamesTheAdaptersAndThePort)
{
    SKIP_WITHOUT_CLIENT();
    LAB_RUN_INSIDE({"--pc-firewall", "--pc-no-addr"});
    const Ctl c = RunCtl({"discover", "--wait", "300"});
    EXPECT_EQ(c.exitCode, 2) << c;
    EXPECT_TRUE(c.err.contains(QRegularExpression("pc0: +used, no IPv4 address\n"))) << c;
    EXPECT_TRUE(c.err.contains(QRegularExpression("pc1: +used, 10\\.77\\.1\\.1\n"))) << c;
    for (const char *text :
         {"UDP port 5433", "sudo firewall-cmd --add-port=5433/udp", "sudo ufw allow 5433/udp"})
        EXPECT_TRUE(c.err.contains(text)) << text << "\n" << c;

    // The same facts for scripts; a device command says it too.
    const Ctl json = RunFor("show", {"--json"});
    EXPECT_EQ(json.exitCode, 2) << json;
    const QJsonObject o = Json(json).object();
    std::map<QString, QJsonObject> byName;
    for (const QJsonValue &i : o["interfaces"].toArray())
        byName[i.toObject()["name"].toString()] = i.toObject();
    EXPECT_EQ(
        byName["pc0"],
        (QJsonObject{{"name", "pc0"}, {"used", true}, {"ip", "0.0.0.0"}, {"reason", "no IPv4 address"}}));
    EXPECT_EQ(byName["lo"]["reason"].toString(), "loopback");
    EXPECT_EQ(o["hint"].toObject()["port"].toInt(), 5433);
    EXPECT_EQ(o["hint"].toObject()["ufw"].toString(), "sudo ufw allow 5433/udp");
}

TEST(LabWizardctl, OverALinkWithoutAnAddressDiscoverShowAndSetIpWork)
{
    SKIP_WITHOUT_CLIENT();
    // The simulator answers by unicast, except to a request from 0.0.0.0.
    LAB_RUN_INSIDE({"--pc-no-addr", "--dev-args",
                    "--reply unicast --state-file $LAB_DIR/state.json --device name=Cable,iface=dev0"});
    Ctl c = RunCtl({"discover", "--wait", "600", "--json"});
    ASSERT_EQ(c.exitCode, 0) << c;
    const QJsonObject o = Json(c).object();
    ASSERT_EQ(o["devices"].toArray().size(), 1) << c;
    const QJsonObject device = o["devices"].toArray().at(0).toObject();
    EXPECT_EQ(device["name"].toString(), "Cable");
    EXPECT_EQ(device["localIp"].toString(), "0.0.0.0");
    EXPECT_TRUE(o["adapters"].toArray().contains(QJsonObject{{"name", "pc0"}, {"ip", "0.0.0.0"}})) << c;

    c = RunFor("show");
    ASSERT_EQ(c.exitCode, 0) << c;
    EXPECT_TRUE(c.out.contains("Local adapter    0.0.0.0")) << c;

    c = RunFor("set-ip", {"--ip", "10.77.0.60", "--mask", "255.255.255.0"});
    ASSERT_EQ(c.exitCode, 0) << c;
    EXPECT_TRUE(c.out.endsWith("verified\n")) << c;
    EXPECT_EQ(Device()["ip"].toObject()["ip"].toString(), "10.77.0.60");
}

TEST(LabWizardctl, AThousandDevicesAreAllListedForAnUnprivilegedUserOnBusyCores)
{
    SKIP_WITHOUT_CLIENT();
    LAB_RUN_INSIDE({"--dev-count", "1000"});
    // A folder every user can reach, with the client in it.
    QTemporaryDir dir(QStringLiteral("/tmp/labctl-XXXXXX"));
    ASSERT_TRUE(dir.isValid());
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                          QFileDevice::ExeOther);
    const QString client = dir.filePath("wizardctl");
    ASSERT_TRUE(QFile::copy(WizardctlClient(), client));
    // Two busy loops, one per core, for the whole run.
    std::vector<std::unique_ptr<QProcess>> busy;
    for (int i = 0; i < 2; ++i) {
        busy.push_back(std::make_unique<QProcess>());
        busy.back()->start("sh", {"-c", "while :; do :; done"});
        ASSERT_TRUE(busy.back()->waitForStarted());
    }
    std::vector<int> counts;
    for (int run = 0; run < 10; ++run) {
        const Ctl c = RunBinary("runuser", {"-u", "nobody", "--", client, "discover", "--wait", "1000"},
                                QStringLiteral("1"));
        ASSERT_EQ(c.exitCode, 0) << c.err.toStdString();
        counts.push_back(int(c.out.count(u'\n')) - 1); // without the title line
    }
    for (const auto &p : busy)
        p->kill();
    EXPECT_EQ(counts, std::vector<int>(10, 1000));
}

TEST(LabWizardctl, ShowPrintsTheWholeConfigurationWithCodesAndNames)
{
    SKIP_WITHOUT_CLIENT();
    LAB_RUN_INSIDE(
        {"--dev-args",
         "--device name=Cfg,mode=bridge,ip=192.168.5.5,netmask=255.255.0.0,gateway=192.168.5.254,"
         "st-ssid-hex=436166E92DFF,st-channel=11,st-security=1,st-auth=1,st-wepkey=abcde,wps-pin=11223344"});
    const Ctl c = RunFor("show", {"--json"});
    ASSERT_EQ(c.exitCode, 0) << c;
    const QJsonObject o = Json(c).object();
    EXPECT_EQ(o["device"].toObject()["name"].toString(), "Cfg");
    EXPECT_EQ(o["deviceMode"].toObject()["code"].toInt(), 2);
    EXPECT_EQ(o["deviceMode"].toObject()["name"].toString(), "AP Client");
    const QJsonObject ip = o["ip"].toObject();
    EXPECT_EQ(ip["ipMode"].toObject()["name"].toString(), "Static");
    EXPECT_EQ(ip["ip"].toString(), "192.168.5.5");
    EXPECT_EQ(ip["netmask"].toString(), "255.255.0.0");
    EXPECT_EQ(ip["gateway"].toString(), "192.168.5.254");
    const QJsonObject wl = o["wireless"].toObject();
    // A name that is not UTF-8: shown in Windows-1252, and its exact bytes.
    EXPECT_EQ(wl["ssid"].toString(), QString::fromUtf8("Caf\u00e9-\u00ff"));
    EXPECT_EQ(wl["ssidHex"].toString(), "436166E92DFF");
    EXPECT_EQ(wl["stdChannel"].toInt(), 11);
    EXPECT_EQ(wl["channelList"].toArray().size(), 11);
    EXPECT_EQ(wl["securityMode"].toObject(), (QJsonObject{{"code", 1}, {"name", "WEP"}}));
    EXPECT_EQ(wl["authMode"].toObject(), (QJsonObject{{"code", 1}, {"name", "Shared"}}));
    EXPECT_EQ(wl["wepKeyLen"].toObject(), (QJsonObject{{"code", 0}, {"name", "64 bit"}}));
    EXPECT_EQ(wl["wpsPin"].toString(), "11223344");

    const Ctl text = RunFor("show");
    ASSERT_EQ(text.exitCode, 0) << text;
    for (const char *line : {"Operating mode   AP Client", "IP Address       192.168.5.5", "Wireless Profile",
                             "Security Mode    WEP", "Authentication   Shared", "WEP Key Length   64 bit"})
        EXPECT_TRUE(text.out.contains(line)) << line << "\n" << text;
}

TEST(LabWizardctl, WrongPasswordIsALoginFailure)
{
    SKIP_WITHOUT_CLIENT();
    LAB_RUN_INSIDE(
        {"--dev-args", "--state-file $LAB_DIR/state.json --device name=Gate,password=s3cret,iface=dev0"});
    Ctl c = RunFor("show");
    EXPECT_EQ(c.exitCode, 5) << c;
    EXPECT_TRUE(c.err.contains("refused the login: wrong password?")) << c;
    c = RunFor("set-mode", {"bridge"});
    EXPECT_EQ(c.exitCode, 5) << c;
    EXPECT_EQ(Device()["mode"].toInt(), 1) << "nothing was written";
    c = RunFor("show", {"--password", "s3cret"});
    EXPECT_EQ(c.exitCode, 0) << c;

    // The password kept off the command line, where every user can read it.
    QTemporaryDir dir;
    const QString right = dir.filePath("right"), wrong = dir.filePath("wrong");
    for (const auto &[path, text] : {std::pair{right, "s3cret\r\nignored\n"}, std::pair{wrong, "tulip"}}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    const struct
    {
        QStringList arguments{};
        Given given{};
        int exitCode;
    } sources[] = {
        {.arguments = {"--password-file", right}, .exitCode = 0},
        {.arguments = {"--password-file", wrong}, .exitCode = 5},
        {.arguments = {"--password", "-"}, .given = {.input = "s3cret\n"}, .exitCode = 0},
        {.arguments = {"--password", "-"}, .given = {.input = "tulip\n"}, .exitCode = 5},
        {.given = {.passwordVariable = "s3cret"}, .exitCode = 0},
        {.given = {.passwordVariable = "tulip"}, .exitCode = 5},
        // An option before the variable.
        {.arguments = {"--password-file", right}, .given = {.passwordVariable = "tulip"}, .exitCode = 0},
        {.arguments = {"--password", "tulip"}, .given = {.passwordVariable = "s3cret"}, .exitCode = 5},
    };
    for (const auto &source : sources) {
        c = RunFor("show", source.arguments, source.given);
        EXPECT_EQ(c.exitCode, source.exitCode)
            << source.arguments.join(' ').toStdString()
            << " WIZARDCTL_PASSWORD=" << source.given.passwordVariable.toStdString() << "\n"
            << c;
    }
}

TEST(LabWizardctl, ADeviceThatIgnoresAWrongPasswordIsAlsoALoginFailure)
{
    SKIP_WITHOUT_CLIENT();
    LAB_RUN_INSIDE({"--dev-args", "--device name=Quiet,password=s3cret,garbled-login=ignore,iface=dev0"});
    const Ctl c = RunFor("show", {"--password", "tulip"});
    EXPECT_EQ(c.exitCode, 4) << "silence is no refusal\n" << c;
    EXPECT_TRUE(c.err.contains("did not answer the login")) << c;
}

TEST(LabWizardctl, LostAnswersToDiscoveryAndLoginAreAskedAgain)
{
    SKIP_WITHOUT_CLIENT();
    LAB_RUN_INSIDE({"--dev-args", "--state-file $LAB_DIR/state.json"
                                  " --device name=D0,mac=02:00:4C:00:00:0A,iface=dev0,drop-discover=1"
                                  " --device name=D1,mac=02:00:4C:00:00:0B,iface=dev0,drop-login=1"
                                  " --device name=D2,mac=02:00:4C:00:00:0C,iface=dev0,silent-from=login"
                                  " --device name=D3,mac=02:00:4C:00:00:0D,iface=dev0,refuse-login"});
    // D0 first: every discovery takes its one lost answer.
    const struct
    {
        int device;
        int exitCode;
        const char *text;
        int logins;
    } cases[] = {
        {0, 0, "", 1},
        {1, 0, "", 2},
        {2, 4, "did not answer the login within 5000 ms", 1},
        {3, 5, "refused the login: wrong password?", 1}, // a refusal is never asked again
    };
    for (const auto &k : cases) {
        const QString mac = QStringLiteral("02:00:4C:00:00:0%1").arg(QChar(u'A' + k.device));
        const Ctl c = RunCtl({"show", "--mac", mac});
        EXPECT_EQ(c.exitCode, k.exitCode) << c;
        EXPECT_TRUE(c.err.contains(k.text)) << k.text << "\n" << c;
        QThread::msleep(300);
        EXPECT_EQ(Device(k.device)["requests"].toObject()["login"].toInt(), k.logins) << c;
    }

    // The discovery ends at the count, long before its window.
    QElapsedTimer clock;
    clock.start();
    const Ctl c = RunCtl({"discover", "--wait", "60000", "--count", "1"});
    EXPECT_EQ(c.exitCode, 0) << c;
    EXPECT_LT(clock.elapsed(), 1500) << "the window is 3 s at this time scale\n" << c;
}

TEST(LabWizardctl, SetIpStaticThenDhcpIsVerifiedByTheReadBack)
{
    SKIP_WITHOUT_CLIENT();
    LAB_RUN_INSIDE({"--dev-args", "--state-file $LAB_DIR/state.json --device name=Rw,iface=dev0"});
    Ctl c =
        RunFor("set-ip", {"--ip", "192.168.10.255", "--mask", "255.255.255.0", "--gateway", "192.168.10.1"});
    ASSERT_EQ(c.exitCode, 0) << c;
    EXPECT_TRUE(c.err.contains("using 192.168.10.254")) << "the broadcast correction is announced\n" << c;
    EXPECT_TRUE(c.out.endsWith("verified\n")) << c;
    QJsonObject ip = Device()["ip"].toObject();
    EXPECT_EQ(ip["ip"].toString(), "192.168.10.254");
    EXPECT_EQ(ip["netmask"].toString(), "255.255.255.0");
    EXPECT_EQ(ip["gateway"].toString(), "192.168.10.1");
    EXPECT_FALSE(ip["dhcp"].toBool());

    // The same values again: nothing is written.
    const int writes = SettledRequests()["set-ip"].toInt();
    c = RunFor("set-ip", {"--ip", "192.168.10.254", "--mask", "255.255.255.0", "--gateway", "192.168.10.1"});
    EXPECT_EQ(c.exitCode, 0) << c;
    EXPECT_TRUE(c.out.contains("nothing written")) << c;
    EXPECT_EQ(SettledRequests()["set-ip"].toInt(), writes);

    c = RunFor("set-ip", {"--dhcp"});
    ASSERT_EQ(c.exitCode, 0) << c;
    EXPECT_TRUE(c.out.contains("Address mode     DHCP")) << c;
    EXPECT_TRUE(Device()["ip"].toObject()["dhcp"].toBool());
}

TEST(LabWizardctl, ALostWriteAnswerIsCheckedByReadingBack)
{
    SKIP_WITHOUT_CLIENT();
    // The set-mode device loses the write's answer and the read-backs of the
    // check too: a fresh login, then the write again.
    LAB_RUN_INSIDE({"--dev-args", "--state-file $LAB_DIR/state.json"
                                  " --device name=D0,mac=02:00:4C:00:00:0A,iface=dev0,drop-set-ip=1"
                                  " --device name=D1,mac=02:00:4C:00:00:0B,iface=dev0,delay=120"
                                  " --device name=D2,mac=02:00:4C:00:00:0C,iface=dev0,drop-set-mode=1,"
                                  "drop-get-config=20"});
    const QString log = Lab::Dir() + "/ctl.Log";
    const struct
    {
        int device;
        QStringList arguments;
        const char *request;
        int writes;
        int logins;
    } cases[] = {
        {0, {"set-ip", "--ip", "10.9.8.7", "--mask", "255.0.0.0"}, "set-ip", 1, 1},
        // Every answer comes after the next attempt went out (the logins are not counted).
        {1, {"set-ip", "--ip", "10.9.8.7", "--mask", "255.0.0.0"}, "set-ip", 1, 0},
        {2, {"set-mode", "bridge", "--log", log}, "set-mode", 2, 2},
    };
    for (const auto &k : cases) {
        QStringList arguments = k.arguments;
        arguments.insert(1, QStringLiteral("--mac"));
        arguments.insert(2, QStringLiteral("02:00:4C:00:00:0%1").arg(QChar(u'A' + k.device)));
        const Ctl c = RunCtl(arguments);
        EXPECT_EQ(c.exitCode, 0) << c;
        EXPECT_TRUE(c.out.endsWith("\nverified\n")) << c;
        QThread::msleep(300);
        const QJsonObject requests = Device(k.device)["requests"].toObject();
        EXPECT_EQ(requests[k.request].toInt(), k.writes) << c;
        if (k.logins) {
            EXPECT_EQ(requests["login"].toInt(), k.logins) << c;
        }
    }

    // The logout's answer comes before the fresh login, which a late logout would end.
    const QString text = Lab::ReadText(log);
    ASSERT_FALSE(text.isEmpty());
    EXPECT_TRUE(text.startsWith("\r\n(")) << text.left(200).toStdString();
    EXPECT_TRUE(text.contains(") == START LOG ==\r\n"));
    const qsizetype logout = text.indexOf("TFormUDP::SendLogout()");
    const qsizetype answer = text.indexOf("TFormUDP::RecvLogout()", logout);
    const qsizetype login = text.indexOf("TFormUDP::SendLogin()", logout);
    const qsizetype again = text.indexOf("TFormUDP::SendSetMode()", login);
    EXPECT_GT(logout, 0);
    EXPECT_GT(answer, logout);
    EXPECT_GT(login, answer);
    EXPECT_GT(again, login);
}

TEST(LabWizardctl, TwoLostAnswersEndWithoutSuccess)
{
    SKIP_WITHOUT_CLIENT();
    LAB_RUN_INSIDE({"--dev-args", "--state-file $LAB_DIR/state.json --device "
                                  "name=Lossy,iface=dev0,drop-set-mode=2,drop-get-config=100"});
    const Ctl c = RunFor("set-mode", {"bridge"});
    EXPECT_EQ(c.exitCode, 4) << c;
    EXPECT_TRUE(c.err.contains("also not after a fresh login")) << c;
    EXPECT_TRUE(c.err.contains("Unable to connect to the device.")) << c;
}

TEST(LabWizardctl, ALostReadBackIsAskedAgainAndSilenceLeavesTheStateUnknown)
{
    SKIP_WITHOUT_CLIENT();
    // The mode is asked on its own first; the full read after the write is the first.
    LAB_RUN_INSIDE({"--dev-args",
                    "--state-file $LAB_DIR/state.json"
                    " --device name=D0,mac=02:00:4C:00:00:0A,iface=dev0,drop-get-config=1"
                    " --device name=D1,mac=02:00:4C:00:00:0B,iface=dev0,silent-from=get-config"});
    const struct
    {
        int device;
        int exitCode;
        const char *last;
        const char *text;
    } cases[] = {
        {0, 0, "\nverified\n", ""},
        {1, 7, "\nstate unknown\n",
         "wizardctl: written; the device did not answer the read-back, so its state is unknown\n"},
    };
    for (const auto &k : cases) {
        const QString mac = QStringLiteral("02:00:4C:00:00:0%1").arg(QChar(u'A' + k.device));
        const Ctl c = RunCtl({"set-mode", "--mac", mac, "bridge"});
        EXPECT_EQ(c.exitCode, k.exitCode) << c;
        EXPECT_TRUE(c.out.endsWith(k.last)) << c;
        EXPECT_TRUE(c.err.contains(k.text)) << c;
        EXPECT_EQ(Device(k.device)["mode"].toInt(), 2) << "the write itself went through";
    }
}

TEST(LabWizardctl, TheProductBuildHasNoTimeSeam)
{
    const QString product = QStringLiteral(WIZARD_BINARY_DIR "/tools/wizardctl/wizardctl");
    if (!QFileInfo(product).isExecutable())
        GTEST_SKIP() << "the client " << product.toStdString()
                     << " is not built (build the target wizardctl)";
    LAB_RUN_INSIDE({"--dev-args", "--device iface=dev0"});
    QElapsedTimer clock;
    clock.start();
    const Ctl c = RunBinary(product, {"discover", "--wait", "1000"}, QStringLiteral("0.001"));
    EXPECT_EQ(c.exitCode, 0) << c;
    EXPECT_GE(clock.elapsed(), 950) << "the installed client ignores WIZARDCTL_TIME_SCALE";
    EXPECT_TRUE(c.out.contains("AP-0001")) << c;
}

TEST(LabWizardctl, SetModeAndWirelessOnBothModes)
{
    SKIP_WITHOUT_CLIENT();
    LAB_RUN_INSIDE({"--dev-args", "--state-file $LAB_DIR/state.json --device name=Wl,iface=dev0"});
    Ctl c = RunFor("set-wireless", {"--ssid", "Lab-AP", "--mode", "7", "--security", "wep", "--wep-length",
                                    "128", "--key", "0123456789abcdef0123456789", "--auth", "shared"});
    ASSERT_EQ(c.exitCode, 0) << c;
    EXPECT_TRUE(c.out.endsWith("verified\n")) << c;
    QJsonObject wl = Device()["wireless"].toObject();
    EXPECT_EQ(wl["ssid"].toString(), "Lab-AP");
    EXPECT_EQ(wl["wepKey"].toString(), "0123456789ABCDEF0123456789") << "hexadecimal keys go in upper case";
    EXPECT_EQ(wl["wirelessMode"].toInt(), 7);
    EXPECT_EQ(wl["stdChannel"].toInt(), 0) << "the channel is left to the device";

    c = RunFor("set-mode", {"bridge"});
    ASSERT_EQ(c.exitCode, 0) << c;
    EXPECT_TRUE(c.out.contains("Read back: AP Client")) << c;
    EXPECT_EQ(Device()["mode"].toInt(), 2);
    c = RunFor("set-mode", {"bridge"});
    EXPECT_EQ(c.exitCode, 0) << c;
    EXPECT_TRUE(c.out.contains("nothing written")) << c;

    // A bridge writes the upstream profile and takes no Auto authentication.
    const QJsonObject before = SettledRequests();
    c = RunFor("set-wireless", {"--ssid", "Up", "--security", "wep", "--key", "abcde", "--auth", "auto"});
    EXPECT_EQ(c.exitCode, 1) << c;
    EXPECT_EQ(SettledRequests()["set-station"].toInt(), before["set-station"].toInt()) << "nothing written";
    c = RunFor("set-wireless", {"--ssid-hex", "436166E92DFF", "--security", "wpa-psk", "--wpa-mode", "wpa2",
                                "--passphrase", "correct horse battery"});
    ASSERT_EQ(c.exitCode, 0) << c;
    EXPECT_TRUE(c.out.contains("Cipher Type      AES")) << c;
    EXPECT_TRUE(c.out.endsWith("verified\n")) << c;
    const QJsonObject station = Device()["station"].toObject();
    EXPECT_EQ(station["ssidHex"].toString(), "436166E92DFF") << "the bytes given, not their UTF-8 reading";
    EXPECT_EQ(station["passphrase"].toString(), "correct horse battery");
    EXPECT_EQ(Device()["wireless"].toObject()["ssid"].toString(), "Lab-AP")
        << "the access point's own is kept";
}

TEST(LabWizardctl, InvalidInputSendsNothing)
{
    SKIP_WITHOUT_CLIENT();
    LAB_RUN_INSIDE({"--dev-args", "--state-file $LAB_DIR/state.json --device name=Strict,iface=dev0"});
    ASSERT_EQ(RunFor("show").exitCode, 0);
    const QJsonObject before = SettledRequests();
    ASSERT_EQ(before["login"].toInt(), 1);

    struct Case
    {
        QStringList arguments;
        const char *text;
    };
    const Case cases[] = {
        {{"set-ip", "--ip", "127.0.0.1", "--mask", "255.0.0.0"}, "The IP Address entered is invalid."},
        {{"set-ip", "--ip", "192.168.1.10", "--mask", "255.255.0.255"},
         "The Subnet Mask entered is invalid."},
        {{"set-ip", "--ip", "10.77.0.1", "--mask", "255.255.255.0"},
         "The IP Address is the same as local host IP."},
        {{"set-ip", "--ip", "192.168.1.10", "--mask", "255.255.255.0", "--gateway", "192.168.2.1"},
         "The Default Gateway entered is invalid."},
        {{"set-wireless", "--ssid", ""}, "No SSID"},
        {{"set-wireless", "--ssid", QString(33, u's')}, "longer than 32"},
        {{"set-wireless", "--ssid-hex", QString(66, u'A')}, "longer than 32"},
        {{"set-wireless", "--ssid-hex", "436100"}, "cannot hold a 00 byte"},
        {{"set-wireless", "--ssid", "x", "--security", "wep", "--key", "1234567"}, "incorrect WEP key"},
        {{"set-wireless", "--ssid", "x", "--security", "wpa-psk", "--passphrase", "short"},
         "Passphrase should be between 8 to 63 charachers in ASCII format."},
        {{"set-wireless", "--ssid", "x", "--security", "wpa-psk", "--passphrase", QString(64, u'z')},
         "Passphrase should be 64 hex digits."},
        // Keys are printable ASCII: "\u00e4\u00f6x" is no 5-character key, whatever its bytes.
        {{"set-wireless", "--ssid", "x", "--security", "wep", "--key",
          QString::fromUtf8("\xC3\xA4\xC3\xB6x")},
         "incorrect WEP key"},
        {{"set-wireless", "--ssid", "x", "--security", "wpa-psk", "--passphrase",
          QString::fromUtf8("caf\xC3\xA9 au lait")},
         "Passphrase should be between 8 to 63 charachers in ASCII format."},
        {{"wps", "--pin", "1234567"}, "Invaild PIN Code"},
        {{"set-ip", "--ip", "1.2.3.4", "--dhcp"}, "either --dhcp or --ip"},
        {{"show", "--password", "x", "--password-file", "/etc/hostname"}, "two ways of giving one password"},
        {{"show", "--password-file", "/nonexistent/password"}, "cannot read the password from /nonexistent"},
        {{"show", "--password", "-"}, "at most 16 characters"}, // standard input: 17 characters
        {{"show", "--password", QString(17, u'p')}, "at most 16 characters"},
    };
    for (const Case &k : cases) {
        QStringList arguments = k.arguments;
        arguments.insert(1, QStringLiteral("--mac"));
        arguments.insert(2, QString::fromLatin1(kMac));
        const Ctl c = RunCtl(arguments, {QByteArray(17, 'p') + '\n', {}});
        EXPECT_EQ(c.exitCode, 1) << arguments.join(' ').toStdString() << "\n" << c;
        EXPECT_TRUE(c.err.contains(k.text)) << k.text << "\n" << c;
    }
    EXPECT_EQ(SettledRequests(), before) << "no request reached the device";
}

TEST(LabWizardctl, WpsFollowsTheStatusToSuccessOrFailure)
{
    SKIP_WITHOUT_CLIENT();
    LAB_RUN_INSIDE(
        {"--dev-args", "--state-file $LAB_DIR/state.json --device name=Wps,iface=dev0,wps-interval=20"});
    Ctl c = RunFor("wps", {"--pbc"});
    ASSERT_EQ(c.exitCode, 0) << c;
    EXPECT_TRUE(c.out.contains("status 3: Start WSC Process")) << c;
    EXPECT_TRUE(c.out.contains("status 34: Configured")) << c;
    EXPECT_TRUE(c.out.contains("WPS succeeded. The device now reports:")) << "an access point reads back\n"
                                                                          << c;

    c = RunFor("wps", {"--pin", "01234567"});
    ASSERT_EQ(c.exitCode, 0) << c;
    EXPECT_EQ(Device()["lastWpsPin"].toString(), "01234567");
    EXPECT_EQ(Device()["wpsRuns"].toInt(), 2);

    c = RunFor("wps", {"--ssid", "Somewhere"});
    EXPECT_EQ(c.exitCode, 1) << "an access point does not join by PIN\n" << c;
}

TEST(LabWizardctl, WpsReportedFailureEndsWithExitSix)
{
    SKIP_WITHOUT_CLIENT();
    LAB_RUN_INSIDE({"--dev-args", "--device name=Fail,iface=dev0,wps-interval=20,wps-events=3:10:2"});
    const Ctl c = RunFor("wps", {"--pbc"});
    EXPECT_EQ(c.exitCode, 6) << c;
    EXPECT_TRUE(c.err.contains("the device reported a failure")) << c;
}

TEST(LabWizardctl, WpsIdleSoonAfterTheStartReadsBack)
{
    SKIP_WITHOUT_CLIENT();
    LAB_RUN_INSIDE({"--dev-args", "--device name=Idle,iface=dev0,wps-interval=20,wps-events=3:10:1"});
    const Ctl c = RunFor("wps", {"--pbc"});
    EXPECT_EQ(c.exitCode, 0) << c;
    EXPECT_TRUE(c.out.contains("status 1: Idle")) << c;
    EXPECT_TRUE(c.out.contains("WPS succeeded")) << c;
}

TEST(LabWizardctl, BridgeJoinsByItsOwnPinAndListsTheSurvey)
{
    SKIP_WITHOUT_CLIENT();
    LAB_RUN_INSIDE(
        {"--dev-args",
         "--state-file $LAB_DIR/state.json --device name=Br,mode=bridge,iface=dev0,wps-interval=20"});
    Ctl c = RunFor("station-pin");
    ASSERT_EQ(c.exitCode, 0) << c;
    EXPECT_EQ(c.out, "87654321\n");

    c = RunFor("survey", {"--json"});
    ASSERT_EQ(c.exitCode, 0) << c;
    const QJsonArray all = Json(c).array();
    ASSERT_EQ(all.size(), 10);
    for (const QJsonValue &e : all)
        EXPECT_EQ(e["ssidHex"].toString(),
                  QString::fromLatin1(e["ssid"].toString().toUtf8().toHex().toUpper()));
    for (int i = 1; i < all.size(); ++i)
        EXPECT_GE(all[i - 1].toObject()["signal"].toInt(), all[i].toObject()["signal"].toInt())
            << "strongest first";
    EXPECT_EQ(all[0].toObject()["signal"].toInt(), 100);
    EXPECT_EQ(all[0].toObject()["authentication"].toObject()["name"].toString(), "WPA2-PSK");
    c = RunFor("survey", {"--wps-only", "--json"});
    ASSERT_EQ(c.exitCode, 0) << c;
    const QJsonArray wps = Json(c).array();
    EXPECT_EQ(wps.size(), 4);
    for (const QJsonValue &e : wps)
        EXPECT_TRUE(e.toObject()["wps"].toBool());

    c = RunFor("wps", {"--pin", "12345670"});
    EXPECT_EQ(c.exitCode, 1) << "a bridge joins with its own PIN\n" << c;
    c = RunFor("wps", {"--ssid", "Office-AES"});
    ASSERT_EQ(c.exitCode, 0) << c;
    EXPECT_TRUE(c.out.contains("Enter the device PIN 87654321 at the access point \"Office-AES\"")) << c;
    EXPECT_TRUE(c.out.contains("WPS succeeded.")) << c;
    EXPECT_EQ(Device()["lastWpsPin"].toString(), "Office-AES") << "the bridge form carries the network name";
}

TEST(LabWizardctl, EverySubcommandHasHelp)
{
    SKIP_WITHOUT_CLIENT();
    // No network needed: help is printed before anything is opened.
    for (const char *command :
         {"discover", "show", "set-ip", "set-mode", "set-wireless", "wps", "survey", "station-pin"}) {
        const Ctl c = RunCtl({command, "--help"});
        EXPECT_EQ(c.exitCode, 0) << command;
        EXPECT_TRUE(c.out.startsWith(QStringLiteral("Usage: wizardctl %1").arg(command))) << c;
    }
    const Ctl overview = RunCtl({"--help"});
    EXPECT_TRUE(overview.out.contains("Exit codes:")) << overview;
    EXPECT_TRUE(overview.out.contains("  7  written, but the device did not answer the read-back"))
        << overview;
    EXPECT_TRUE(overview.out.contains("WIZARDCTL_PASSWORD")) << overview;

    // No command: the overview on the error stream and a usage failure.
    const Ctl none = RunCtl({});
    EXPECT_EQ(none.exitCode, 1) << none;
    EXPECT_TRUE(none.out.isEmpty()) << none;
    EXPECT_TRUE(none.err.startsWith("Usage: wizardctl COMMAND")) << none;
    const Ctl version = RunCtl({"--version"});
    EXPECT_EQ(version.exitCode, 0) << version;
    EXPECT_TRUE(QRegularExpression("^wizardctl \\d+\\.\\d+\\.\\d+\\n$").match(version.out).hasMatch())
        << version;
}
