// Start-up with real processes: the single-instance guard on ShortName +
// "_Mutex", the refused copy's log line and exit code.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

// One copy of the program in a folder of its own with its settings file and
// an (empty, so logging is on) log file beside it.
class ProgramCopy
{
public:
    explicit ProgramCopy(const QByteArray &ini)
    {
        m_exe = m_dir.path() + QStringLiteral("/Setup");
        m_ok = QFile::copy(QStringLiteral(WIZARD_BINARY_DIR "/setup-wizard"), m_exe);
        QFile settings(m_dir.path() + QStringLiteral("/Setup.ini"));
        m_ok = m_ok && settings.open(QIODevice::WriteOnly) && settings.write(ini) == ini.size();
        settings.close();
        QFile log(LogPath());
        m_ok = m_ok && log.open(QIODevice::WriteOnly);
    }
    ~ProgramCopy()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    bool Ready() const { return m_ok; }
    QString LogPath() const { return m_dir.path() + QStringLiteral("/Setup.Log"); }

    void Start(const QStringList &arguments = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_process.setProcessEnvironment(env);
        m_process.start(m_exe, arguments);
        m_process.waitForStarted(30000);
    }
    QProcess &Process() { return m_process; }

    // What a failed run left behind, for the failure message.
    std::string Diagnosis()
    {
        return QStringLiteral("state %1 exit %2 error %3 stderr: %4 log: %5")
            .arg(int(m_process.state()))
            .arg(m_process.exitCode())
            .arg(m_process.errorString(), QString::fromLocal8Bit(m_process.readAllStandardError()),
                 LogLines().join(QLatin1String(" | ")))
            .toStdString();
    }

    // The texts of the log's lines (time stamps cut off), header excluded.
    QStringList LogLines() const
    {
        QFile log(LogPath());
        if (!log.open(QIODevice::ReadOnly))
            return {};
        QStringList lines;
        for (const QByteArray &raw : log.readAll().split('\n')) {
            QString line = QString::fromUtf8(raw).trimmed();
            const int stamp = line.indexOf(QLatin1String(") "));
            if (line.isEmpty() || stamp < 0)
                continue;
            line = line.mid(stamp + 2);
            if (line != QLatin1String("== START LOG =="))
                lines << line;
        }
        return lines;
    }

    // Waits until the copy holds its guard and built its windows.
    bool WaitRunning(int ms = 60000)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            if (!LogLines().filter(QStringLiteral("RunSetupWizard() running as")).isEmpty())
                return !m_process.waitForFinished(200);
            // Doubles as the pause between looks at the log.
            if (m_process.waitForFinished(50))
                return false;
        }
        return false;
    }

private:
    QTemporaryDir m_dir;
    QString m_exe;
    bool m_ok = false;
    QProcess m_process;
};

QByteArray Ini(const QString &shortName)
{
    return "[Product]\nShortName=" + shortName.toUtf8() + "\n";
}

QString UniqueName(const char *tag)
{
    return QStringLiteral("H5Test-%1-%2").arg(QLatin1String(tag)).arg(QCoreApplication::applicationPid());
}

TEST(Startup, VersionOption)
{
    ProgramCopy copy("");
    ASSERT_TRUE(copy.Ready());
    copy.Start({QStringLiteral("--version")});
    ASSERT_TRUE(copy.Process().waitForFinished(60000));
    EXPECT_EQ(copy.Process().exitCode(), 0);
    EXPECT_EQ(copy.Process().readAllStandardOutput(), QByteArray("setup-wizard 1.0.0\n"));
}

TEST(Startup, SecondCopyWithTheSameShortNameIsRefused)
{
    const QString name = UniqueName("same");
    ProgramCopy first(Ini(name));
    ProgramCopy second(Ini(name));
    ASSERT_TRUE(first.Ready() && second.Ready());
    first.Start();
    ASSERT_TRUE(first.WaitRunning()) << first.Diagnosis();
    EXPECT_TRUE(first.LogLines().contains(QStringLiteral("RunSetupWizard() running as %1_Mutex").arg(name)));

    second.Start();
    ASSERT_TRUE(second.Process().waitForFinished(60000));
    EXPECT_EQ(second.Process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.Process().exitCode(), 0);
    EXPECT_EQ(second.LogLines(), QStringList({"FAIL another instance is running"}));
    // The running copy is left alone.
    EXPECT_FALSE(first.Process().waitForFinished(100));
}

TEST(Startup, DifferentShortNamesRunSideBySide)
{
    ProgramCopy first(Ini(UniqueName("one")));
    ProgramCopy second(Ini(UniqueName("two")));
    ASSERT_TRUE(first.Ready() && second.Ready());
    first.Start();
    ASSERT_TRUE(first.WaitRunning()) << first.Diagnosis();
    second.Start();
    ASSERT_TRUE(second.WaitRunning()) << second.Diagnosis();
    EXPECT_FALSE(first.Process().waitForFinished(100));
    EXPECT_TRUE(second.LogLines().filter(QStringLiteral("FAIL")).isEmpty());
}

TEST(Startup, EmptyShortNameGivesTheBareSuffix)
{
    ProgramCopy first(Ini(QString()));
    ProgramCopy second(Ini(QString()));
    ASSERT_TRUE(first.Ready() && second.Ready());
    first.Start();
    const bool running = first.WaitRunning();
    if (!running && !first.LogLines().filter(QStringLiteral("FAIL another instance")).isEmpty())
        GTEST_SKIP() << "another program on this machine holds _Mutex";
    ASSERT_TRUE(running) << first.Diagnosis();
    EXPECT_TRUE(first.LogLines().contains(QStringLiteral("RunSetupWizard() running as _Mutex")));
    second.Start();
    ASSERT_TRUE(second.Process().waitForFinished(60000));
    EXPECT_EQ(second.Process().exitCode(), 0);
    EXPECT_EQ(second.LogLines(), QStringList({"FAIL another instance is running"}));
}

} // namespace
