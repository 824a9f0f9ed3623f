// wizardctl apply against twenty simulated devices in the lab, checked
// against the simulators' state: a plan with one fault sends nothing, a dry
// run writes nothing, an apply writes each device and a second one writes
// nothing anywhere, a backup by show --all --json restores factory-fresh
// devices, and a device that falls silent mid-write fails alone. The test
// starts its simulators itself, so that the fresh ones can replace the
// configured ones within one lab.
#include "core/toolrun.h"
#include "ui/lab.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

ToolRun Ctl(const QStringList &arguments)
{
    return RunTool(WizardctlClient(), arguments, WizardctlStart());
}

QString Mac(int i)
{
    return QStringLiteral("02:00:4C:00:00:%1").arg(i, 2, 16, QLatin1Char('0')).toUpper();
}

void Write(const QString &path, const QByteArray &text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

// Simulated devices in the lab's device namespace, for as long as it lives.
class Simulators
{
public:
    // `devices`: one object of device keys each; every device on dev0.
    explicit Simulators(QJsonArray devices) { Start(devices); }
    void Start(QJsonArray devices)
    {
        for (qsizetype i = 0; i < devices.size(); ++i) {
            QJsonObject d = devices[i].toObject();
            d["iface"] = "dev0";
            devices[i] = d;
        }
        const QString config = Lab::Dir() + "/devices.json";
        Write(config, QJsonDocument(QJsonObject{{"devices", devices}}).toJson());
        const QString ready = Lab::Dir() + "/ready";
        QFile::remove(ready);
        // The simulator writes its state file (with a sync) for every datagram
        // of every device: on a disk that outlasts the scaled waits.
        ASSERT_TRUE(m_dir.isValid());
        // A pipe nobody reads would stop the simulator once it is full.
        m_sim.setStandardOutputFile(Lab::Dir() + "/sim.log", QIODevice::Append);
        m_sim.setStandardErrorFile(Lab::Dir() + "/sim.log", QIODevice::Append);
        m_sim.start("ip", {"netns", "exec", qEnvironmentVariable("LAB_DEV_NS"),
                           WIZARD_BINARY_DIR "/tools/devicesim/devicesim", "--config", config, "--state-file",
                           m_dir.filePath("state.json"), "--ready-file", ready});
        for (int i = 0; i < 100 && !QFileInfo::exists(ready); ++i)
            QThread::msleep(50);
        EXPECT_TRUE(QFileInfo::exists(ready)) << Lab::ReadText(Lab::Dir() + "/sim.log").toStdString();
    }
    ~Simulators()
    {
        m_sim.kill();
        m_sim.waitForFinished(5000);
    }
    Simulators(const Simulators &) = delete;
    Simulators &operator=(const Simulators &) = delete;

    // The state of every device once the client's closing logout is in.
    QJsonArray State() const
    {
        QThread::msleep(300);
        const QString text = Lab::ReadText(m_dir.filePath("state.json"));
        return QJsonDocument::fromJson(text.toUtf8())["devices"].toArray();
    }

private:
    QTemporaryDir m_dir{QStringLiteral("/dev/shm/wizardctl-apply-XXXXXX")};
    QProcess m_sim;
};

QJsonArray Fleet(int count, const QJsonObject &extra = {}, int extraAt = 0)
{
    QJsonArray devices;
    for (int i = 1; i <= count; ++i) {
        QJsonObject d{{"mac", Mac(i)}, {"name", QStringLiteral("AP-%1").arg(i, 4, 10, QLatin1Char('0'))}};
        if (i == extraAt)
            for (auto it = extra.begin(); it != extra.end(); ++it)
                d[it.key()] = it.value();
        devices.append(d);
    }
    return devices;
}

// Mixed entries: every fourth device a bridge, odd ones static, every
// third WEP (128 bit), the others WPA2-PSK. Entry 5 chooses by name.
QJsonArray MixedPlan(int count)
{
    QJsonArray plan;
    for (int i = 1; i <= count; ++i) {
        const bool bridge = i % 4 == 0;
        QJsonObject wireless{{"ssid", QStringLiteral("Net-%1").arg(i)}};
        if (i % 3 == 0) {
            wireless["securityMode"] = "wep";
            wireless["wepKeyLen"] = "128";
            wireless["key"] = QStringLiteral("abcdefghijkl%1").arg(i % 10);
            wireless["authMode"] = bridge ? "open" : "shared";
        } else {
            wireless["securityMode"] = "wpa-psk";
            wireless["wpaMode"] = "wpa2";
            wireless["passphrase"] = QStringLiteral("passphrase-%1").arg(i);
        }
        const QJsonObject ip = i % 2 ? QJsonObject{{"ipMode", "static"},
                                                   {"ip", QStringLiteral("192.168.50.%1").arg(10 + i)},
                                                   {"netmask", "255.255.255.0"},
                                                   {"gateway", "192.168.50.1"}}
                                     : QJsonObject{{"ipMode", "dhcp"}};
        const QJsonObject device = i == 5 ? QJsonObject{{"name", "AP-0005"}} : QJsonObject{{"mac", Mac(i)}};
        plan.append(QJsonObject{{"device", device},
                                {"deviceMode", bridge ? "bridge" : "ap"},
                                {"ip", ip},
                                {"wireless", wireless}});
    }
    return plan;
}

int Writes(const QJsonArray &state)
{
    int n = 0;
    for (const QJsonValue &d : state)
        for (const char *kind : {"set-mode", "set-ip", "set-wl", "set-station"})
            n += d["requests"].toObject()[kind].toInt();
    return n;
}

// What a device holds, without its counters.
QJsonObject Held(const QJsonValue &device)
{
    QJsonObject o = device.toObject();
    for (const char *key : {"requests", "loggedIn", "silent"})
        o.remove(key);
    return o;
}

} // namespace

TEST(LabWizardctlApply, TwentyDevicesOnceThenNothingAndABackupRestoresFreshDevices)
{
    SKIP_WITHOUT_CLIENT();
    LAB_RUN_INSIDE({"--no-sim"});
    const QString planFile = Lab::Dir() + "/plan.json";
    QElapsedTimer clock;
    clock.start();
    QJsonArray backup;
    QJsonArray configured;
    {
        Simulators sims(Fleet(20));
        const QJsonArray fresh = sims.State();

        // One value the rules refuse: nothing reaches any device.
        QJsonArray bad = MixedPlan(20);
        QJsonObject entry = bad[12].toObject();
        QJsonObject wireless = entry["wireless"].toObject();
        wireless["passphrase"] = "short";
        entry["wireless"] = wireless;
        bad[12] = entry;
        const QByteArray badText = QJsonDocument(bad).toJson();
        Write(planFile, badText);
        const int line = int(badText.left(badText.indexOf("\"short\"")).count('\n')) + 1;
        ToolRun c = Ctl({"apply", planFile});
        EXPECT_EQ(c.exitCode, 1) << c;
        EXPECT_TRUE(c.err.contains(QStringLiteral("plan.json:%1: wireless.passphrase: ").arg(line))) << c;
        EXPECT_EQ(sims.State(), fresh) << "no request at all";

        Write(planFile, QJsonDocument(MixedPlan(20)).toJson());
        c = Ctl({"apply", planFile, "--dry-run"});
        EXPECT_EQ(c.exitCode, 0) << c;
        EXPECT_EQ(c.out.count(" would change "), 20) << c;
        EXPECT_TRUE(c.out.contains("ip.ip 192.168.1.1 -> 192.168.50.11")) << c;
        EXPECT_TRUE(c.out.contains("wireless.passphrase changed")) << c;
        EXPECT_FALSE(c.out.contains("passphrase-")) << "secrets are not shown\n" << c;
        EXPECT_EQ(Writes(sims.State()), 0);

        c = Ctl({"apply", planFile});
        ASSERT_EQ(c.exitCode, 0) << c;
        EXPECT_EQ(c.out.count(" verified "), 20) << c;
        configured = sims.State();
        for (int i = 1; i <= 20; ++i) {
            const QJsonObject d = configured[i - 1].toObject();
            const QJsonObject wl = d[i % 4 == 0 ? "station" : "wireless"].toObject();
            EXPECT_EQ(d["mode"].toInt(), i % 4 == 0 ? 2 : 1) << i;
            EXPECT_EQ(d["ip"]["dhcp"].toBool(), i % 2 == 0) << i;
            if (i % 2) {
                EXPECT_EQ(d["ip"]["ip"].toString(), QStringLiteral("192.168.50.%1").arg(10 + i)) << i;
            }
            EXPECT_EQ(wl["ssid"].toString(), QStringLiteral("Net-%1").arg(i)) << i;
            EXPECT_EQ(wl["securityMode"].toInt(), i % 3 == 0 ? 1 : 2) << i;
            EXPECT_EQ(i % 3 == 0 ? wl["wepKey"].toString() : wl["passphrase"].toString(),
                      i % 3 == 0 ? QStringLiteral("abcdefghijkl%1").arg(i % 10)
                                 : QStringLiteral("passphrase-%1").arg(i))
                << i;
        }

        c = Ctl({"apply", planFile, "--json"});
        EXPECT_EQ(c.exitCode, 0) << c;
        const QJsonArray report = QJsonDocument::fromJson(c.out.toUtf8())["devices"].toArray();
        ASSERT_EQ(report.size(), 20) << c;
        for (const QJsonValue &r : report)
            EXPECT_EQ(r["result"].toString(), "unchanged") << c;
        EXPECT_EQ(Writes(sims.State()), Writes(configured)) << "a second apply writes nothing";

        c = Ctl({"show", "--all", "--json"});
        ASSERT_EQ(c.exitCode, 0) << c;
        backup = QJsonDocument::fromJson(c.out.toUtf8()).array();
        ASSERT_EQ(backup.size(), 20) << c;
    }

    // Factory-fresh devices take the backup, with the secrets a device never reports.
    Simulators sims(Fleet(20));
    const QJsonArray plan = MixedPlan(20);
    for (qsizetype i = 0; i < backup.size(); ++i) {
        QJsonObject entry = backup[i].toObject();
        const int n = entry["device"].toObject()["mac"].toString().right(2).toInt(nullptr, 16);
        QJsonObject wireless = entry["wireless"].toObject();
        for (const char *secret : {"key", "passphrase"})
            if (plan[n - 1]["wireless"].toObject().contains(secret))
                wireless[secret] = plan[n - 1]["wireless"].toObject()[secret];
        entry["wireless"] = wireless;
        backup[i] = entry;
    }
    Write(planFile, QJsonDocument(backup).toJson());
    const ToolRun c = Ctl({"apply", planFile});
    ASSERT_EQ(c.exitCode, 0) << c;
    const QJsonArray restored = sims.State();
    ASSERT_EQ(restored.size(), 20);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(Held(restored[i]), Held(configured[i])) << i;
    std::cout << "twenty devices, one after another: " << clock.elapsed() << " ms for the whole test\n";
}

TEST(LabWizardctlApply, ADeviceSilentMidWriteFailsAloneWhileTheOthersAreVerified)
{
    SKIP_WITHOUT_CLIENT();
    LAB_RUN_INSIDE({"--no-sim"});
    Simulators sims(Fleet(5, {{"silent-from", "set-ip"}}, 3));
    QJsonArray plan;
    for (int i = 1; i <= 5; ++i)
        plan.append(QJsonObject{{"device", QJsonObject{{"mac", Mac(i)}}},
                                {"ip", QJsonObject{{"ip", QStringLiteral("10.20.0.%1").arg(i)}}}});
    const QString planFile = Lab::Dir() + "/plan.json";
    Write(planFile, QJsonDocument(plan).toJson());
    const ToolRun c = Ctl({"apply", planFile});
    EXPECT_EQ(c.exitCode, 4) << c;
    EXPECT_EQ(c.out.count(" verified "), 4) << c;
    EXPECT_TRUE(c.out.contains(QStringLiteral("AP-0003 %1 no answer").arg(Mac(3)))) << c;
    const QJsonArray state = sims.State();
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(state[i - 1]["ip"]["ip"].toString(), QStringLiteral("10.20.0.%1").arg(i))
            << i << " (the silent one took its write before it fell silent)";
}
