// The platform layer on Linux: the single-instance lock between copies of
// the program (in one process and across processes, with a dead owner's
// lock taken over) in a folder of the user's own, the shell and association
// lookups through stand-in tools put first on PATH, so no real program is
// ever started, and the window lookup on a private X server.
#include "core/envvar.h"
#include "core/xserver.h"
#include "platform/linuxplatform.h"
#include "platform/x11windows.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <xcb/xcb.h>

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

xcb_atom_t Atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return atom;
}

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

TEST(PlatformLock, LivesInAFolderOfTheUsersOwn)
{
    QTemporaryDir tmp; // stands for the temporary folder
    ASSERT_TRUE(tmp.isValid());
    EnvVar tmpdir("TMPDIR", QFile::encodeName(tmp.path()));
    QDir(tmp.path()).mkdir("runtime");
    QFile::setPermissions(tmp.filePath("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDir(tmp.path()).mkdir("open");
    ::chmod(QFile::encodeName(tmp.filePath("open")).constData(), 0777);
    const QString fallback = tmp.path() + QStringLiteral("/setup-wizard-%1").arg(::geteuid());

    struct Case
    {
        const char *what;
        QByteArray runtime; // null: unset
        QString folder;
    } cases[] = {
        {"runtime folder", QFile::encodeName(tmp.filePath("runtime")), tmp.filePath("runtime")},
        {"no runtime folder", QByteArray(), fallback},
        {"runtime folder others may write to", QFile::encodeName(tmp.filePath("open")), fallback},
        {"relative runtime folder", "runtime", fallback},
    };
    for (const Case &c : cases) {
        EnvVar runtime("XDG_RUNTIME_DIR", c.runtime);
        EXPECT_EQ(LinuxPlatform::LockFolder(), c.folder) << c.what;
    }
    EnvVar runtime("XDG_RUNTIME_DIR", QByteArray());
    EXPECT_EQ(LinuxPlatform::LockFilePath(QStringLiteral("a/b\\c")), fallback + "/a_b_c.lock");
    struct stat info = {};
    ASSERT_EQ(::stat(QFile::encodeName(fallback).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    // A lock file of a live copy in the shared temporary folder itself (the
    // old place, or another user's prank) stops no one.
    const QString name = UniqueName("Shared");
    QFile planted(tmp.filePath(name + ".lock"));
    ASSERT_TRUE(planted.open(QIODevice::WriteOnly));
    planted.write(QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
                  QCoreApplication::applicationName().toUtf8() + '\n' + QSysInfo::machineHostName().toUtf8() +
                  '\n');
    planted.close();
    LinuxPlatform platform;
    EXPECT_EQ(platform.TakeInstanceLock(name).status, InstanceStatus::Acquired);

    // Names taken by something not private to this user are passed over.
    QDir().rmdir(fallback);
    QFile taken(fallback);
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.close();
    QDir().mkdir(fallback + "-1");
    ::chmod(QFile::encodeName(fallback + "-1").constData(), 0755);
    EXPECT_EQ(LinuxPlatform::LockFolder(), fallback + "-2");
    InstanceGuard guard = platform.TakeInstanceLock(name);
    EXPECT_EQ(guard.status, InstanceStatus::Acquired);
    EXPECT_TRUE(QFile::exists(fallback + "-2/" + name + ".lock"));
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

namespace {

// A top-level window on `c` with the given title properties (null: not set).
xcb_window_t MakeWindow(xcb_connection_t *c, const char *netName, const char *wmName)
{
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 10, 10, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    if (netName)
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, Atom(c, "_NET_WM_NAME"), Atom(c, "UTF8_STRING"),
                            8, uint32_t(strlen(netName)), netName);
    if (wmName)
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                            uint32_t(strlen(wmName)), wmName);
    return window;
}

xcb_connection_t *g_connection = nullptr;
xcb_connection_t *TestConnection()
{
    return g_connection;
}

} // namespace

TEST(PlatformWindows, TitlesOverTheXConnection)
{
    LinuxPlatform platform;
    LinuxPlatform::SetX11ConnectionSource(nullptr);
    EXPECT_FALSE(platform.FindWindowByTitle(QString())) << "no connection, no windows";
    EXPECT_TRUE(X11TopLevelWindowTitles(nullptr).isEmpty());

    PrivateXServer server;
    if (!server.Unavailable().isEmpty())
        GTEST_SKIP() << server.Unavailable().toStdString();
    xcb_connection_t *c = xcb_connect(server.Display().toLatin1().constData(), nullptr);
    ASSERT_EQ(xcb_connection_has_error(c), 0);
    const std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t *)> closer(c, &xcb_disconnect);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;

    MakeWindow(c, "Say \xe2\x80\x9chi\xe2\x80\x9d", "Say hi");
    const xcb_window_t installer = MakeWindow(c, nullptr, "Adobe Reader 7.0.5 - Setup");
    // A _NET_WM_NAME that is not UTF-8 text does not hide WM_NAME.
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, installer, Atom(c, "_NET_WM_NAME"), XCB_ATOM_STRING, 8, 3,
                        "odd");
    MakeWindow(c, nullptr, nullptr);
    const xcb_window_t gone = MakeWindow(c, "Gone", nullptr);
    xcb_destroy_window(c, gone);

    // No window manager: the root's children, in stacking order.
    EXPECT_EQ(X11TopLevelWindowTitles(c), QStringList({QString::fromUtf8("Say \xe2\x80\x9chi\xe2\x80\x9d"),
                                                       "Adobe Reader 7.0.5 - Setup", ""}));

    // With a window manager's client list only its clients count; a window
    // destroyed meanwhile is passed over without an error left queued.
    const xcb_window_t clients[] = {installer, gone};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, Atom(c, "_NET_CLIENT_LIST"), XCB_ATOM_WINDOW, 32, 2,
                        clients);
    EXPECT_EQ(X11TopLevelWindowTitles(c), QStringList({"Adobe Reader 7.0.5 - Setup"}));
    xcb_generic_event_t *event = xcb_poll_for_event(c);
    EXPECT_EQ(event, nullptr) << "event or error " << (event ? int(event->response_type) : 0);
    free(event);

    g_connection = c;
    LinuxPlatform::SetX11ConnectionSource(&TestConnection);
    EXPECT_TRUE(platform.FindWindowByTitle("Adobe Reader 7.0.5 - Setup"));
    EXPECT_FALSE(platform.FindWindowByTitle("Adobe Reader"));
    LinuxPlatform::SetX11ConnectionSource(nullptr);
}
