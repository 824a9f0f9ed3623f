// The platform layer on Linux: the single-instance lock between copies of
// the program (in one process and across processes, with a dead owner's
// lock taken over), and the shell, association and window lookups through
// stand-in tools put first on PATH, so no real program is ever started.
#include "platform/linuxplatform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>

namespace {

QString UniqueName(const char *tag)
{
    return QStringLiteral("WizardTest_%1_%2_Mutex").arg(tag).arg(QCoreApplication::applicationPid());
}

// Writes an executable shell script.
void WriteScript(const QString &path, const QByteArray &body)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n" + body);
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QByteArray WaitForFile(const QString &path)
{
    for (int i = 0; i < 200; ++i) {
        QFile file(path);
        if (file.exists() && file.open(QIODevice::ReadOnly)) {
            const QByteArray text = file.readAll();
            if (text.endsWith('\n'))
                return text;
        }
        QThread::msleep(10);
    }
    return {};
}

// Puts `dir` first on PATH for the life of the object.
class PathPrefix
{
public:
    explicit PathPrefix(const QString &dir) : saved_(qgetenv("PATH"))
    {
        qputenv("PATH", dir.toLocal8Bit() + ':' + saved_);
    }
    ~PathPrefix() { qputenv("PATH", saved_); }

private:
    QByteArray saved_;
};

class EnvVar
{
public:
    EnvVar(const char *name, const QByteArray &value) : name_(name), had_(qEnvironmentVariableIsSet(name)), saved_(qgetenv(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~EnvVar()
    {
        if (had_)
            qputenv(name_, saved_);
        else
            qunsetenv(name_);
    }

private:
    const char *name_;
    bool had_;
    QByteArray saved_;
};

} // namespace

TEST(PlatformLock, SameNameIsRefusedOtherNamesAreNot)
{
    LinuxPlatform platform;
    const QString a = UniqueName("A");
    const QString b = UniqueName("B");

    InstanceGuard first = platform.TakeInstanceLock(a);
    ASSERT_EQ(first.status, InstanceStatus::Acquired);
    ASSERT_TRUE(first.lock);

    InstanceGuard second = platform.TakeInstanceLock(a);
    EXPECT_EQ(second.status, InstanceStatus::AlreadyRunning);
    EXPECT_FALSE(second.lock);

    InstanceGuard other = platform.TakeInstanceLock(b);
    EXPECT_EQ(other.status, InstanceStatus::Acquired);

    // Releasing the first copy's lock lets the next copy start.
    first.lock.reset();
    InstanceGuard again = platform.TakeInstanceLock(a);
    EXPECT_EQ(again.status, InstanceStatus::Acquired);
}

TEST(PlatformLock, FileNameFollowsTheMutexName)
{
    const QString temp = QDir::tempPath() + QLatin1Char('/');
    EXPECT_EQ(LinuxPlatform::LockFilePath(QStringLiteral("QRZ-517MXB_Mutex")), temp + "QRZ-517MXB_Mutex.lock");
    EXPECT_EQ(LinuxPlatform::LockFilePath(QStringLiteral("_Mutex")), temp + "_Mutex.lock");
    EXPECT_EQ(LinuxPlatform::LockFilePath(QStringLiteral("a/b\\c")), temp + "a_b_c.lock");
}

// Runs in a child process started by the cross-process tests: takes the
// lock named in WIZARD_LOCK_CHILD, reports it and waits to be killed.
TEST(PlatformLockChild, HoldLock)
{
    const QString name = qEnvironmentVariable("WIZARD_LOCK_CHILD");
    if (name.isEmpty())
        GTEST_SKIP() << "only run as the child of the cross-process lock tests";
    LinuxPlatform platform;
    InstanceGuard guard = platform.TakeInstanceLock(name);
    printf(guard.status == InstanceStatus::Acquired ? "LOCKED\n" : "REFUSED\n");
    fflush(stdout);
    QThread::sleep(30);
}

class PlatformLockProcess : public ::testing::Test
{
protected:
    void StartChild(const QString &name)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("WIZARD_LOCK_CHILD"), name);
        child_.setProcessEnvironment(env);
        child_.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--gtest_filter=PlatformLockChild.HoldLock")});
        ASSERT_TRUE(child_.waitForStarted(5000));
        QByteArray out;
        while (!out.contains("LOCKED") && !out.contains("REFUSED") && child_.waitForReadyRead(10000))
            out += child_.readAllStandardOutput();
        ASSERT_TRUE(out.contains("LOCKED")) << out.constData();
    }
    void TearDown() override
    {
        if (child_.state() != QProcess::NotRunning) {
            child_.kill();
            child_.waitForFinished(5000);
        }
    }
    QProcess child_;
};

TEST_F(PlatformLockProcess, SecondCopyIsRefusedWhileTheFirstRuns)
{
    const QString name = UniqueName("Proc");
    StartChild(name);
    LinuxPlatform platform;
    EXPECT_EQ(platform.TakeInstanceLock(name).status, InstanceStatus::AlreadyRunning);
    EXPECT_EQ(platform.TakeInstanceLock(name + "_other").status, InstanceStatus::Acquired);
}

TEST_F(PlatformLockProcess, LockOfADeadCopyIsTakenOver)
{
    const QString name = UniqueName("Dead");
    StartChild(name);
    // Killed without any chance to clean up: the lock file stays behind.
    child_.kill();
    ASSERT_TRUE(child_.waitForFinished(5000));
    ASSERT_TRUE(QFile::exists(LinuxPlatform::LockFilePath(name)));
    LinuxPlatform platform;
    InstanceGuard guard = platform.TakeInstanceLock(name);
    EXPECT_EQ(guard.status, InstanceStatus::Acquired);
}

TEST(PlatformShell, OpenAndExploreStartTheOpenerOnlyForWhatExists)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString record = dir.filePath("opened.txt");
    const QString opener = dir.filePath("opener");
    WriteScript(opener, "echo \"$1\" >> '" + record.toLocal8Bit() + "'\n");
    QFile doc(dir.filePath("guide.pdf"));
    ASSERT_TRUE(doc.open(QIODevice::WriteOnly));
    doc.close();
    QDir(dir.path()).mkdir("QIG");

    LinuxPlatform platform;
    platform.SetOpenCommand(opener);

    struct Case
    {
        const char *what;
        bool explore;
        QString target;
        bool result;
        QString opened; // empty: nothing may be started
    } cases[] = {
        {"address", false, "http://192.168.1.1/", true, "http://192.168.1.1/"},
        {"existing file", false, dir.filePath("guide.pdf"), true, dir.filePath("guide.pdf")},
        {"missing file", false, dir.filePath("missing.pdf"), false, {}},
        {"empty", false, {}, false, {}},
        {"folder", true, dir.filePath("QIG"), true, dir.filePath("QIG")},
        {"missing folder", true, dir.filePath("NoSuchFolder"), false, {}},
        {"file as folder", true, dir.filePath("guide.pdf"), false, {}},
    };
    for (const Case &c : cases) {
        QFile::remove(record);
        const bool ok = c.explore ? platform.ShellExplore(c.target) : platform.ShellOpen(c.target);
        EXPECT_EQ(ok, c.result) << c.what;
        if (c.opened.isEmpty()) {
            QThread::msleep(50);
            EXPECT_FALSE(QFile::exists(record)) << c.what;
        } else {
            EXPECT_EQ(WaitForFile(record), c.opened.toLocal8Bit() + '\n') << c.what;
        }
    }
}

TEST(PlatformShell, AnExecutableIsStartedItself)
{
    QTemporaryDir dir;
    const QString marker = dir.filePath("ran.txt");
    const QString installer = dir.filePath("setup.sh");
    WriteScript(installer, "echo ran > '" + marker.toLocal8Bit() + "'\n");
    LinuxPlatform platform;
    platform.SetOpenCommand(dir.filePath("never-started"));
    EXPECT_TRUE(platform.ShellOpen(installer));
    EXPECT_EQ(WaitForFile(marker), QByteArray("ran\n"));
}

TEST(PlatformShell, FindExecutableAsksForTheFileTypesDefault)
{
    QTemporaryDir dir;
    WriteScript(dir.filePath("xdg-mime"), "[ \"$1 $2 $3\" = \"query default application/pdf\" ] && echo viewer.desktop\n"
                                          "exit 0\n");
    QFile pdf(dir.filePath("guide.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::WriteOnly));
    pdf.write("%PDF-1.4\n");
    pdf.close();
    QFile text(dir.filePath("notes.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("plain\n");
    text.close();

    PathPrefix path(dir.path());
    LinuxPlatform platform;
    EXPECT_EQ(platform.FindExecutable(dir.filePath("guide.pdf")), "viewer.desktop");
    EXPECT_EQ(platform.FindExecutable(dir.filePath("notes.txt")), QString()) << "no association";
    EXPECT_EQ(platform.FindExecutable(dir.filePath("missing.pdf")), QString()) << "no file";
}

TEST(PlatformWindows, TitlesFromWmctrlOrXprop)
{
    QTemporaryDir dir;
    PathPrefix path(dir.path());
    LinuxPlatform platform;
    {
        EnvVar display("DISPLAY", QByteArray());
        EXPECT_FALSE(platform.FindWindowByTitle("anything")) << "no display, no windows";
    }
    EnvVar display("DISPLAY", ":99");

    // Without either tool nothing is found.
    const QByteArray savedPath = qgetenv("PATH");
    qputenv("PATH", dir.path().toLocal8Bit());
    EXPECT_FALSE(platform.FindWindowByTitle("Adobe Reader 7.0.5 - Setup"));
    qputenv("PATH", dir.path().toLocal8Bit() + ':' + savedPath);

    WriteScript(dir.filePath("xprop"),
                "case \"$*\" in\n"
                "  \"-root _NET_CLIENT_LIST\") echo '_NET_CLIENT_LIST(WINDOW): window id # 0x1200003, 0x1400007' ;;\n"
                "  \"-id 0x1200003 _NET_WM_NAME\") echo '_NET_WM_NAME(UTF8_STRING) = \"Say \\\"hi\\\"\"' ;;\n"
                "  \"-id 0x1400007 _NET_WM_NAME\") echo '_NET_WM_NAME:  not found.' ;;\n"
                "  \"-id 0x1400007 WM_NAME\") echo 'WM_NAME(STRING) = \"Adobe Reader 7.0.5 - Setup\"' ;;\n"
                "esac\n");
    EXPECT_EQ(LinuxPlatform::TopLevelWindowTitles(), QStringList({"Say \"hi\"", "Adobe Reader 7.0.5 - Setup"}));
    EXPECT_TRUE(platform.FindWindowByTitle("Adobe Reader 7.0.5 - Setup"));
    EXPECT_FALSE(platform.FindWindowByTitle("Adobe Reader"));

    // wmctrl, when installed, is asked first; titles keep their blanks.
    WriteScript(dir.filePath("wmctrl"), "printf '0x01c00003  0 host Setup  Wizard\\n0x01c00009 -1 N/A \\n'\n");
    EXPECT_EQ(LinuxPlatform::TopLevelWindowTitles(), QStringList({"Setup  Wizard", ""}));
    EXPECT_TRUE(platform.FindWindowByTitle("Setup  Wizard"));
    EXPECT_TRUE(platform.FindWindowByTitle("")) << "an untitled window matches an empty title";
    EXPECT_FALSE(platform.FindWindowByTitle("Adobe Reader 7.0.5 - Setup"));
}
