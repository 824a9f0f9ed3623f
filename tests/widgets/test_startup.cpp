// Start-up with real processes: the single-instance guard on ShortName +
// "_Mutex", the refused copy's log line and exit code. In this process: the
// run after the guard, an exception while the windows are made or while the
// loop runs, and the tear-down that follows.
#include "app/globalvar.h"
#include "controls/sortlistview.h"
#include "core/fakenetwork.h"
#include "core/logcapture.h"
#include "core/xserver.h"
#include "messages/appmessage.h"
#include "pages/device/framedevlist.h"
#include "pages/front/formautorun.h"
#include "pages/wireless/formwpssurvey.h"
#include "pages/wireless/framesitesurvey.h"
#include "pages/wireless/framewlprofconfirm.h"
#include "pages/wireless/framewlprofile.h"
#include "pages/wireless/framewpssitesurvey.h"
#include "platform/platform.h"
#include "protocol/formudp.h"
#include "shell/formmain.h"
#include "shell/startup.h"
#include "shell/toolkitsetup.h"
#include "skin/formres.h"
#include "ui/recordingui.h"
#include "ui/testsettings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QTreeWidget>
#include <QWindow>
#include <algorithm>
#include <cstring>
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

// ---------------------------------------------------------------------------
// What the toolkit gets before the windows: the designed font and its own
// translations.

// Registers the font only where the system has none: a second call, as on a
// system with its own Tahoma, leaves the toolkit alone; so does a folder
// without the files.
TEST(DesignFont, RegisteredOnceFromTheWineFontsAndNeverOverASystemTahoma)
{
    QTemporaryDir empty;
    const DesignFontStatus first = RegisterDesignFont(empty.path());
    if (first == DesignFontStatus::SystemHasIt)
        GTEST_SKIP() << "a Tahoma is there already (the system's own, or registered earlier in this process)";
    EXPECT_EQ(first, DesignFontStatus::NotFound);
    ASSERT_EQ(RegisterDesignFont(), DesignFontStatus::Registered)
        << "no Tahoma in " << DefaultDesignFontFolder().toStdString()
        << " (scripts/install-deps installs fonts-wine)";
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("Tahoma"), 8)).family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(RegisterDesignFont(), DesignFontStatus::SystemHasIt);
}

struct Misfit
{
    QString where;
    QString text;
    int width;
    int room;
};

inline void PrintTo(const Misfit &m, std::ostream *os)
{
    *os << m.where.toStdString() << " \"" << m.text.toStdString() << "\" " << m.width << " px in " << m.room;
}

// A header caption gets the room the header's own layout gives it (less
// the sort arrow on the sorted column).
void CheckHeader(const QString &where, TSortListView *list, std::vector<Misfit> &out)
{
    const QFontMetrics metrics(list->header()->font());
    for (int column = 0; column < list->columnCount(); ++column) {
        const QString caption = list->headerItem()->text(column);
        const QSize arrow = column == list->SortColunm() ? list->IncBMP().size() : QSize();
        const Qt::Alignment align =
            Qt::Alignment(list->headerItem()->textAlignment(column)) & Qt::AlignHorizontal_Mask;
        const QSize size(metrics.horizontalAdvance(caption), metrics.height());
        const int room = LayoutHeaderItem(QRect(0, 0, list->columnWidth(column), list->header()->height()),
                                          arrow, size, align ? align : Qt::AlignLeft)
                             .textRect.width();
        if (size.width() > room)
            out.push_back({where + QStringLiteral(" header"), caption, size.width(), room});
    }
}

// A survey cell's text is drawn 5 px inside both edges of its column, after
// the cell's icon and one pixel when it has one.
void CheckSurveyCells(const QString &where, TSortListView *list, std::vector<Misfit> &out)
{
    const QFontMetrics metrics(list->font());
    const int iconWidth = FormRes()->ImgsType().Width();
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem *item = list->topLevelItem(row);
        for (int column = 0; column < list->columnCount(); ++column) {
            const bool icon = item->data(column, SURVEY_ICON_ROLE).isValid();
            const int room = list->columnWidth(column) - 10 - (icon ? iconWidth + 1 : 0);
            const int width = metrics.horizontalAdvance(item->text(column));
            if (width > room)
                out.push_back({where, item->text(column), width, room});
        }
    }
}

// Networks as a survey reports them. Left out: authentication 4
// ("WPA-PSK/WPA2-PSK"), which the designed 80 px column cuts in any font.
std::vector<SurveyEntry> SampleNetworks()
{
    struct Sample
    {
        const char *ssid;
        uint8_t bssid[6];
        int signal, channel;
        uint8_t encryption, authentication;
    };
    const Sample samples[] = {
        {"Cafe Guest WiFi", {0x02, 0x5A, 0x00, 0x00, 0x00, 0x01}, 100, 11, 0, 0},
        {"HomeNet-2.4", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}, 64, 6, 4, 3},
        {"Office", {0xC8, 0x3A, 0x35, 0x0B, 0x62, 0x90}, 38, 165, 1, 7},
        {"Lab-AP", {0xA0, 0xB1, 0xC2, 0xD3, 0xE4, 0xF5}, 9, 1, 3, 2},
        {"Upstream", {0x02, 0x5A, 0x00, 0x00, 0x00, 0x02}, 80, 13, 2, 6},
        {"Printer", {0x02, 0x5A, 0x00, 0x00, 0x00, 0x03}, 55, 36, 3, 5},
    };
    std::vector<SurveyEntry> entries;
    for (const Sample &sample : samples) {
        SurveyEntry entry;
        std::strncpy(entry.Ssid, sample.ssid, sizeof(entry.Ssid) - 1);
        std::copy(std::begin(sample.bssid), std::end(sample.bssid), entry.Bssid.begin());
        entry.Signal = sample.signal;
        entry.Channel = sample.channel;
        entry.Encryption = sample.encryption;
        entry.Authentication = sample.authentication;
        entry.Wps = true;
        entries.push_back(entry);
    }
    return entries;
}

// At the default settings, with the designed font registered as at start,
// no header or cell of the three lists and no label of the confirmation
// page needs more room than its column or box gives it.
TEST(DesignFont, DesignedTextsFitTheirColumnsAndBoxes)
{
    TestSettings settings;
    settings.Load();
    FakeNetwork network;
    RecordingUi ui;
    RegisterDesignFont();
    WizardWindows windows(&network, &network);
    QCoreApplication::removePostedEvents(windows.Main());
    std::vector<Misfit> misfits;

    TSortListView *devices = windows.Main()->PageOf<TFrameDevList>()->LvDevList;
    for (const char *name : {"AP-0001", "QRZ-517MXB Office 2nd floor West"}) {
        for (const char *mac : {"02:00:4C:00:00:01", "C8:3A:35:0B:62:90"})
            new QTreeWidgetItem(devices, {QString::fromLatin1(name), QString::fromLatin1(mac)});
    }
    devices->ensurePolished();
    devices->doItemsLayout();
    CheckHeader(QStringLiteral("device list"), devices, misfits);
    for (int column = 0; column < devices->columnCount(); ++column) {
        // The toolkit draws these cells: the width its item drawing asks for.
        const int needed = static_cast<QAbstractItemView *>(devices)->sizeHintForColumn(column);
        if (needed > devices->columnWidth(column))
            misfits.push_back({QStringLiteral("device list column"), devices->headerItem()->text(column),
                               needed, devices->columnWidth(column)});
    }

    const std::vector<SurveyEntry> entries = SampleNetworks();
    const std::pair<QString, TSortListView *> surveys[] = {
        {QStringLiteral("site survey"), windows.Main()->PageOf<TFrameSiteSurvey>()->SurveyList},
        {QStringLiteral("WPS survey dialog"), windows.WpsSurvey()->FrameWPSSiteSurvey1->SurveyList}};
    SurveyView::Fill(surveys[0].second, entries, &SurveyAuthenticationName);
    SurveyView::Fill(surveys[1].second, entries, &TFrameWPSSiteSurvey::AuthenticationText);
    for (const auto &[where, list] : surveys) {
        CheckHeader(where, list, misfits);
        CheckSurveyCells(where, list, misfits);
    }

    TFrameWlProfConfirm *confirm = windows.Main()->PageOf<TFrameWlProfile>()->FrameWlProfConfirm1;
    confirm->LoadPageTexts();
    for (const bool wep : {false, true}) {
        g_Var.DeviceMode = DEVICE_AP;
        g_Var.WlMethod = WirelessMethod::Profile;
        g_Var.NewIpConfig.Ip = 0xC0A8010A;
        g_Var.NewIpConfig.Netmask = 0xFFFFFF00;
        g_Var.NewIpConfig.Gateway = 0xC0A801FE;
        WlConfigRecord &wl = g_Var.NewWlConfig;
        CopyToField(wl.Ssid, QStringLiteral("QRZ-517MXB Office 2nd floor"));
        wl.WirelessMode = WLMODE_ABGN;
        wl.SecurityMode = wep ? SECMODE_WEP : SECMODE_WPAPSK;
        wl.WepKeyLen = WEPKEYLEN_128;
        wl.AuthMode = AUTHMODE_AUTO;
        wl.WpaMode = WPAMODE_AUTO;
        wl.WpaCipher = WPACIPHER_AUTO;
        CopyToField(wl.WepKey, QStringLiteral("00112233445566778899AABBCC"));
        CopyToField(wl.Passphrase, QStringLiteral("correct horse battery staple"));
        ASSERT_TRUE(confirm->CanEnter(nullptr, false, 0));
        for (QLabel *label : confirm->findChildren<QLabel *>()) {
            if (label->isHidden() || label->wordWrap() || label->text().isEmpty())
                continue;
            const int width = label->fontMetrics().horizontalAdvance(label->text());
            if (width > label->contentsRect().width())
                misfits.push_back({QStringLiteral("confirmation ") + label->objectName(), label->text(),
                                   width, label->contentsRect().width()});
        }
    }
    ResetIpConfig(g_Var.NewIpConfig);
    ResetWlConfig(g_Var.NewWlConfig);

    EXPECT_TRUE(misfits.empty()) << ::testing::PrintToString(misfits);
}

// The toolkit's catalogue for the user's language gives the product's
// message boxes their standard buttons in that language.
TEST(ToolkitTranslations, GermanStandardButtons)
{
    ASSERT_TRUE(LoadToolkitTranslations(QLocale(QLocale::German, QLocale::Germany)))
        << "no qtbase_de.qm (scripts/install-deps installs qt6-translations-l10n)";
    SetUiServices(nullptr);
    QStringList buttons;
    for (const MsgKind kind : {MsgKind::YesNo, MsgKind::Information}) {
        QTimer::singleShot(0, [&buttons] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            for (QAbstractButton *button : box->buttons())
                buttons << button->text();
            box->buttons().constLast()->click();
        });
        Ui()->ShowMessageBox(QStringLiteral("Text"), QStringLiteral("Title"), kind);
    }
    for (QTranslator *translator : qApp->findChildren<QTranslator *>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    std::sort(buttons.begin(), buttons.end());
    EXPECT_EQ(buttons, QStringList({"&Ja", "&Nein", "OK"}));
}

} // namespace
