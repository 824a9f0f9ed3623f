// Start-up with real processes: the single-instance guard on ShortName +
// "_Mutex", the refused copy's log line and exit code. In this process: the
// run after the guard, an exception while the windows are made or while the
// loop runs, and the tear-down that follows.
#include "app/globalvar.h"
#include "core/fakenetwork.h"
#include "core/logcapture.h"
#include "core/xserver.h"
#include "messages/appmessage.h"
#include "pages/front/formautorun.h"
#include "pages/wireless/formwpssurvey.h"
#include "platform/platform.h"
#include "protocol/formudp.h"
#include "skin/formres.h"
#include "ui/recordingui.h"
#include "ui/testsettings.h"
#include "wizard/formmain.h"
#include "wizard/startup.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <xcb/xcb.h>

// Texts in failure messages as text.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

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
    // The log's line about the settings file, read as it is written.
    QString SettingsLine() const
    {
        return QStringLiteral("IniFile %1/Setup.ini read as UTF-8").arg(m_dir.path());
    }

    void Start(const QStringList &arguments = {}, const QString &display = QString())
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"),
                   display.isEmpty() ? QStringLiteral("offscreen") : QStringLiteral("xcb"));
        if (!display.isEmpty())
            env.insert(QStringLiteral("DISPLAY"), display);
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

// A display that refuses the connection: a few more tries, then one line
// and status 1, never the toolkit's abort.
TEST(Startup, UnreachableDisplayIsTriedAgainThenReported)
{
    int number = 200;
    while (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)) ||
           QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
        ++number;
    const QString display = QStringLiteral(":%1").arg(number);
    ProgramCopy copy(Ini(UniqueName("display")));
    ASSERT_TRUE(copy.Ready());
    copy.Start({}, display);
    ASSERT_TRUE(copy.Process().waitForFinished(60000));
    EXPECT_EQ(copy.Process().exitStatus(), QProcess::NormalExit) << copy.Diagnosis();
    EXPECT_EQ(copy.Process().exitCode(), 1);
    const QString err = QString::fromLocal8Bit(copy.Process().readAllStandardError());
    EXPECT_TRUE(err.endsWith(
        QStringLiteral("setup-wizard: cannot connect to the graphical display %1\n").arg(display)))
        << err.toStdString();
    const QStringList lines = copy.LogLines();
    EXPECT_EQ(lines.filter(QStringLiteral("RunSetupWizard() running as")).size(), 5)
        << "each try found the lock free: " << lines.join(u'\n').toStdString();
    EXPECT_EQ(lines.filter(QStringLiteral("RunSetupWizard() FAIL display connection, try")).size(), 4);
    EXPECT_TRUE(
        lines.contains(QStringLiteral("RunSetupWizard() FAIL display connection, giving up after 5 tries")));
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
    EXPECT_EQ(second.LogLines(), QStringList({second.SettingsLine(), "FAIL another instance is running"}));
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
    EXPECT_EQ(second.LogLines(), QStringList({second.SettingsLine(), "FAIL another instance is running"}));
}

// ---------------------------------------------------------------------------
// The run after the guard, in this process (the test's QApplication stands
// in for the program's own).

enum class Fault {
    None,          // the menu closes normally
    BeforeWindows, // the factory throws before any window exists
    AfterWindows,  // the windows were made, then creation throws
    InLoop,        // an event handler throws while the loop runs (Qt warns and passes it on)
};

struct FaultRow
{
    const char *what;
    Fault fault;
    bool standard; // a std::exception (else an int)
    const char *logLine;
    const char *boxText;
};

void PrintTo(const FaultRow &row, std::ostream *os)
{
    *os << row.what;
}

class RunFailure : public ::testing::TestWithParam<FaultRow>
{
protected:
    void SetUp() override
    {
        m_quitOnLastClosed = QGuiApplication::quitOnLastWindowClosed();
        settings.Load();
        network.AddAdapter(FakeNetwork::MakeAdapter(
            QStringLiteral("eth0"), {0x02, 0x00, 0x00, 0x00, 0x00, 0x31},
            {{QStringLiteral("10.1.1.5"), QStringLiteral("255.255.255.0")}}, QStringLiteral("Test adapter")));
    }
    void TearDown() override { QGuiApplication::setQuitOnLastWindowClosed(m_quitOnLastClosed); }

    // Whether some holder has the program's lock now; a free lock is let go at once.
    static bool LockHeld()
    {
        return Platform::Current().TakeInstanceLock(g_Var.MutexName).status == InstanceStatus::AlreadyRunning;
    }

    [[noreturn]] static void Throw(const FaultRow &row)
    {
        if (row.standard)
            throw std::runtime_error("skin picture ImgBGMain unreadable");
        throw 42;
    }

    // Makes the real windows on the fake network, notes each one's going
    // (with "+lock" while the guard is still held) and arranges the fault.
    std::unique_ptr<WizardWindows> MakeWindows(const FaultRow &row)
    {
        if (row.fault == Fault::BeforeWindows)
            Throw(row);
        auto windows = std::make_unique<WizardWindows>(&network, &network);
        const auto watch = [this](QObject *window, const char *name) {
            created.append(window);
            QObject::connect(window, &QObject::destroyed, [this, name] {
                gone << QString::fromLatin1(name) + (LockHeld() ? QStringLiteral("+lock") : QString());
            });
        };
        watch(windows->Res(), "FormRes");
        watch(windows->Autorun(), "FormAutorun");
        watch(windows->Main(), "FormMain");
        watch(windows->Udp(), "FormUDP");
        watch(windows->WpsSurvey(), "FormWPSSurvey");
        switch (row.fault) {
        case Fault::AfterWindows:
            Throw(row);
        case Fault::InLoop:
            QTimer::singleShot(0, windows->Autorun(), [row] { Throw(row); });
            break;
        case Fault::None:
            QTimer::singleShot(0, windows->Autorun(), [menu = windows->Autorun()] { menu->close(); });
            break;
        case Fault::BeforeWindows:
            break;
        }
        return windows;
    }

    TestSettings settings{"[Product]\nShortName=" + UniqueName("run").toUtf8() +
                          "\nAppTitle=Failing Wizard\nMsgTitle=Some Message Title\n"};
    FakeNetwork network;
    RecordingUi ui;
    LogCapture log;
    QList<QPointer<QObject>> created;
    QStringList gone;

private:
    bool m_quitOnLastClosed = true;
};

TEST_P(RunFailure, IsShownThenTheSkinTheGuardAndTheWindowsGo)
{
    const FaultRow &row = GetParam();
    InstanceGuard guard = Platform::Current().TakeInstanceLock(g_Var.MutexName);
    ASSERT_EQ(guard.status, InstanceStatus::Acquired);

    bool lockHeldDuringBox = false;
    int windowsDuringBox = -1;
    ui.onMessageBox = [&](const RecordedBox &) {
        lockHeldDuringBox = LockHeld();
        windowsDuringBox =
            int(std::count_if(created.begin(), created.end(), [](const auto &w) { return !w.isNull(); }));
    };

    const int result = RunWizardWindows(std::move(guard), [&] { return MakeWindows(row); });

    EXPECT_EQ(result, 0);
    std::vector<std::string> failures;
    for (const std::string &line : log.Lines()) {
        if (line.rfind("RunSetupWizard() FAIL", 0) == 0)
            failures.push_back(line);
    }
    if (row.fault == Fault::None) {
        EXPECT_TRUE(failures.empty());
        EXPECT_TRUE(ui.boxes.isEmpty());
    } else {
        EXPECT_EQ(failures, std::vector<std::string>({row.logLine}));
        ASSERT_EQ(ui.boxes.size(), 1);
        EXPECT_EQ(ui.boxes[0].text, QString::fromLatin1(row.boxText));
        EXPECT_EQ(ui.boxes[0].title, QStringLiteral("Failing Wizard"));
        EXPECT_EQ(ui.boxes[0].kind, MsgKind::Information);
        // The box comes before the tear-down; only windows the loop ran
        // with are still there to be torn down.
        EXPECT_TRUE(lockHeldDuringBox);
        EXPECT_EQ(windowsDuringBox, row.fault == Fault::InLoop ? 5 : 0);
    }
    // No display name for the toolkit to append to the window titles.
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());

    // Everything is released: the guard can be taken again and no window or
    // registration is left.
    EXPECT_FALSE(LockHeld());
    for (const QPointer<QObject> &window : created)
        EXPECT_TRUE(window.isNull());
    EXPECT_EQ(MainWindow(), nullptr);
    EXPECT_EQ(FormMain(), nullptr);
    EXPECT_EQ(FormUDP(), nullptr);
    if (row.fault == Fault::None || row.fault == Fault::InLoop) {
        // The program's own tear-down: the skin store while the guard is
        // held, then the guard, then the windows from the last made.
        EXPECT_EQ(gone, QStringList({"FormRes+lock", "FormWPSSurvey", "FormUDP", "FormMain", "FormAutorun"}));
    } else if (row.fault == Fault::AfterWindows) {
        EXPECT_EQ(gone.size(), 5);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RunFailure,
    ::testing::Values(FaultRow{"menu closed", Fault::None, true, "", ""},
                      FaultRow{"std exception before the windows", Fault::BeforeWindows, true,
                               "RunSetupWizard() FAIL exception skin picture ImgBGMain unreadable",
                               "skin picture ImgBGMain unreadable"},
                      FaultRow{"other exception before the windows", Fault::BeforeWindows, false,
                               "RunSetupWizard() FAIL exception", ""},
                      FaultRow{"std exception after the windows", Fault::AfterWindows, true,
                               "RunSetupWizard() FAIL exception skin picture ImgBGMain unreadable",
                               "skin picture ImgBGMain unreadable"},
                      FaultRow{"std exception in the loop", Fault::InLoop, true,
                               "RunSetupWizard() FAIL exception skin picture ImgBGMain unreadable",
                               "skin picture ImgBGMain unreadable"},
                      FaultRow{"other exception in the loop", Fault::InLoop, false,
                               "RunSetupWizard() FAIL exception", ""}));

// ---------------------------------------------------------------------------
// Window titles as the X server holds them. Started on the offscreen
// platform, the test runs itself again on a private X server.

// `window`'s _NET_WM_NAME and WM_NAME, as "net | wm", read over the
// toolkit's own connection.
QString XTitles(QWidget *window)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *c = x11 ? x11->connection() : nullptr;
    if (!c)
        return QStringLiteral("no X connection");
    auto atom = [c](const char *name) {
        xcb_intern_atom_reply_t *reply =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return value;
    };
    auto text = [c, window](xcb_atom_t property) {
        xcb_get_property_reply_t *reply =
            xcb_get_property_reply(c,
                                   xcb_get_property(c, 0, xcb_window_t(window->winId()), property,
                                                    XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
                                   nullptr);
        const QString value =
            reply ? QString::fromUtf8(static_cast<const char *>(xcb_get_property_value(reply)),
                                      xcb_get_property_value_length(reply))
                  : QStringLiteral("(none)");
        free(reply);
        return value;
    };
    return text(atom("_NET_WM_NAME")) + QStringLiteral(" | ") + text(XCB_ATOM_WM_NAME);
}

TEST(StartupX11, WindowAndMessageBoxTitlesAreTheSettingsTexts)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        PrivateXServer server;
        if (!server.Unavailable().isEmpty())
            GTEST_SKIP() << server.Unavailable().toStdString();
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), server.Display());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(
            QCoreApplication::applicationFilePath(),
            {QStringLiteral("--gtest_filter=StartupX11.WindowAndMessageBoxTitlesAreTheSettingsTexts")});
        ASSERT_TRUE(child.waitForFinished(60000)) << child.readAll().toStdString();
        EXPECT_EQ(child.exitCode(), 0) << child.readAll().toStdString();
        return;
    }

    TestSettings settings("[Product]\nShortName=" + UniqueName("x11").toUtf8() +
                          "\nAppTitle=Setup\nMsgTitle=Some Message Title\n");
    settings.Load();
    FakeNetwork network;
    SetUiServices(nullptr); // the product's own message box
    InstanceGuard guard = Platform::Current().TakeInstanceLock(g_Var.MutexName);
    ASSERT_EQ(guard.status, InstanceStatus::Acquired);

    QStringList seen;
    RunWizardWindows(std::move(guard), [&] {
        auto windows = std::make_unique<WizardWindows>(&network, &network);
        QWidget *menu = windows->Autorun();
        QWidget *main = windows->Main();
        QWidget *survey = windows->WpsSurvey();
        QTimer::singleShot(0, menu, [&seen, menu, main, survey] {
            main->show();
            survey->show();
            // Read once the box is up, then answer it.
            auto *poll = new QTimer(menu);
            QObject::connect(poll, &QTimer::timeout, menu, [&seen, poll, main, survey] {
                QMessageBox *box = nullptr;
                for (QWidget *window : QApplication::topLevelWidgets()) {
                    if (auto *found = qobject_cast<QMessageBox *>(window); found && found->isVisible())
                        box = found;
                }
                if (!box || !box->windowHandle() || !box->windowHandle()->isExposed())
                    return;
                poll->stop();
                seen << XTitles(main) << XTitles(survey) << XTitles(box);
                box->close();
            });
            poll->start(20);
            Ui()->ShowMessageBox(QStringLiteral("Some text"), g_Var.MsgTitle, MsgKind::Information);
            // Quitting asks every visible window to close, and the wizard
            // window refuses; it goes first, as when the user leaves it.
            main->hide();
            survey->hide();
            menu->close();
        });
        return windows;
    });
    EXPECT_EQ(seen, QStringList({"Setup | Setup", "WPS AP site survey | WPS AP site survey",
                                 "Some Message Title | Some Message Title"}));
}

} // namespace
