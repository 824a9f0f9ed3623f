// Screenshot walk: builds every window of the program as start-up does, but
// on the in-process fake network with one simulated access point (nothing
// is ever sent on a real interface), walks the wizard from the licence page
// to the success page and visits the pages off that path, saving one PNG
// per window and page into the folder given on the command line.
//
// Beside each picture it writes the window's widget tree as text (class,
// object name, geometry, visibility, text), so that two builds can be
// compared to the byte where a change must not alter what the user sees.
//
// Message boxes are answered without showing them (Yes/No questions with
// No, so the wizard is never left) and printed to standard error.

#include "app/globalvar.h"
#include "app/timing.h"
#include "controls/sortlistview.h"
#include "controls/trifacebtn.h"
#include "core/fakenetwork.h"
#include "framework/formprogress.h"
#include "framework/uiservices.h"
#include "messages/appmessage.h"
#include "pages/device/framedevlist.h"
#include "pages/device/framepassword.h"
#include "pages/device/framesetupmethod.h"
#include "pages/front/formautorun.h"
#include "pages/front/framelicense.h"
#include "pages/front/frametutorial.h"
#include "pages/wireless/formwpssurvey.h"
#include "shell/formmain.h"
#include "shell/startup.h"
#include "shell/toolkitsetup.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QVariant>
#include <cstdio>

namespace {

class QuietUi : public UiServices
{
public:
    int ShowMessageBox(const QString &text, const QString &title, MsgKind kind) override
    {
        std::fprintf(stderr, "message box [%s]: %s\n", qUtf8Printable(title), qUtf8Printable(text));
        return kind == MsgKind::YesNo ? MSG_RESULT_NO : MSG_RESULT_OK;
    }
    QString GetSaveFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return {};
    }
    bool Print(QWidget *, const QString &, const PrintPainter &) override { return false; }
    bool ShellOpen(const QString &, ShellVerb) override { return false; }
    bool HasAssociatedProgram(const QString &) override { return true; }
    bool TopLevelWindowExists(const QString &) override { return false; }
};

class Walk
{
public:
    explicit Walk(QString folder) : m_folder(std::move(folder)) {}

    void Save(QWidget *widget, const QString &name)
    {
        QCoreApplication::processEvents();
        const QString path =
            QStringLiteral("%1/%2-%3.png").arg(m_folder).arg(++m_count, 2, 10, QLatin1Char('0')).arg(name);
        if (widget->grab().save(path))
            std::printf("%s\n", qUtf8Printable(path));
        else
            std::fprintf(stderr, "FAIL saving %s\n", qUtf8Printable(path));
        QFile tree(QString(path).replace(QLatin1String(".png"), QLatin1String(".tree")));
        if (tree.open(QIODevice::WriteOnly | QIODevice::Truncate))
            tree.write(DumpTree(widget, 0).toUtf8());
    }

    static QString DumpTree(const QWidget *widget, int depth)
    {
        const QRect g = widget->geometry();
        QString line = QStringLiteral("%1%2 \"%3\" %4,%5 %6x%7%8%9")
                           .arg(QString(depth * 2, QLatin1Char(' ')),
                                QLatin1String(widget->metaObject()->className()), widget->objectName())
                           .arg(g.x())
                           .arg(g.y())
                           .arg(g.width())
                           .arg(g.height())
                           .arg(widget->isVisible() ? QString() : QStringLiteral(" hidden"),
                                widget->isEnabled() ? QString() : QStringLiteral(" disabled"));
        for (const char *name :
             {"text", "title", "windowTitle", "checked", "currentIndex", "accessibleName"}) {
            const QVariant value = widget->property(name);
            if (value.isValid() && !value.toString().isEmpty())
                line += QStringLiteral(" %1=%2").arg(
                    QLatin1String(name), value.toString().replace(QLatin1Char('\n'), QLatin1String("\\n")));
        }
        line += QLatin1Char('\n');
        for (const QObject *child : widget->children())
            if (const auto *w = qobject_cast<const QWidget *>(child))
                line += DumpTree(w, depth + 1);
        return line;
    }

    // Grabs the progress dialog the first time one is on screen.
    void WatchProgress()
    {
        auto *timer = new QTimer(qApp);
        timer->setInterval(5);
        QObject::connect(timer, &QTimer::timeout, timer, [this, timer] {
            for (QWidget *window : QApplication::topLevelWidgets()) {
                if (qobject_cast<TFormProgress *>(window) && window->isVisible()) {
                    Save(window, QStringLiteral("FormProgress"));
                    timer->deleteLater();
                    return;
                }
            }
        });
        timer->start();
    }

    int Count() const { return m_count; }

private:
    QString m_folder;
    int m_count = 0;
};

// Lets the event loop run until `done` or `ms` milliseconds pass.
bool Settle(const std::function<bool()> &done, int ms)
{
    return FakeNetwork::WaitFor(done, ms);
}

void Next(TFormMain *wizard)
{
    SendAppMessage(wizard, UM_WIZARD_COMMAND, WIZARD_NEXT, 0);
    QCoreApplication::sendPostedEvents();
}

// A medium with a licence and the default texts.
void WriteMedium(const QString &folder)
{
    QFile ini(folder + QStringLiteral("/Setup.ini"));
    if (ini.open(QIODevice::WriteOnly))
        ini.write("[Product]\nLicense=License.txt\nAppTitle=Setup Wizard\n");
    QFile license(folder + QStringLiteral("/License.txt"));
    if (license.open(QIODevice::WriteOnly))
        license.write(
            "END-USER LICENSE AGREEMENT\r\n\r\nPlease read the following terms carefully before "
            "you set up the device.\r\n\r\n1. Grant of licence. ...\r\n2. Limited warranty. ...\r\n");
}

// The autorun menu, the licence and the tutorials.
void WalkFront(Walk &walk, TFormAutorun *menu, TFormMain *wizard)
{
    menu->show();
    Settle([] { return false; }, 100);
    walk.Save(menu, QStringLiteral("FormAutorun"));
    menu->BtnUGClick();
    walk.Save(menu, QStringLiteral("FormAutorun-UserGuide"));
    menu->BtnUGClick();

    // The wizard, shown without a nested loop so the walk can drive it.
    menu->hide();
    wizard->show();
    QCoreApplication::sendPostedEvents();
    walk.Save(wizard, QStringLiteral("FrameLicense1"));
    wizard->PageOf<TFrameLicense>()->ChkAccept->setChecked(true);
    Next(wizard);
    walk.Save(wizard, QStringLiteral("FrameTutorial1"));
    // What a keyboard user sees: the corner marks of the focus on Next.
    wizard->activateWindow();
    Settle([wizard] { return wizard->isActiveWindow(); }, 2000);
    wizard->PageOf<TFrameTutorial>()->BtnNext->setFocus(Qt::TabFocusReason);
    walk.Save(wizard, QStringLiteral("FrameTutorial1-keyboard-focus"));
    Next(wizard);
    walk.Save(wizard, QStringLiteral("FrameTutorial21"));
    Next(wizard);
}

// The device list, the login and the operating mode.
void WalkDevice(Walk &walk, TFormMain *wizard)
{
    TFrameDevList *list = wizard->PageOf<TFrameDevList>();
    Settle([list] { return !list->Searching(); }, 20000);
    walk.Save(wizard, QStringLiteral("FrameDevList1"));
    if (list->LvDevList->topLevelItemCount() > 0)
        list->LvDevList->setCurrentItem(list->LvDevList->topLevelItem(0));
    walk.Save(wizard, QStringLiteral("FrameDevList1-selected"));
    list->BtnCfg->click();
    QCoreApplication::sendPostedEvents();

    walk.Save(wizard, QStringLiteral("FramePassword1"));
    wizard->PageOf<TFramePassword>()->EdtPassword->setText(QStringLiteral("tulip"));
    walk.WatchProgress();
    wizard->PageOf<TFramePassword>()->BtnLogin->click();
    Settle([wizard] { return wizard->CurrentPage() != wizard->Page(WizardPage::Password); }, 20000);
    QCoreApplication::sendPostedEvents();
    Settle([] { return false; }, 200);
    walk.Save(wizard, QStringLiteral("FrameWlModeSel1"));
}

// The access point's path from the setup method to the end.
void WalkAccessPoint(Walk &walk, TFormMain *wizard)
{
    g_Var.DeviceMode = DEVICE_AP;
    Next(wizard);
    walk.Save(wizard, QStringLiteral("FrameSetupMethod1"));
    g_Var.SetupMethod = SETUP_METHOD_IP;
    wizard->PageOf<TFrameSetupMethod>()->RBtnSetIP->setChecked(true);
    Next(wizard);
    walk.Save(wizard, QStringLiteral("FrameDevIPCfg1"));
    Next(wizard);
    walk.Save(wizard, QStringLiteral("FrameSetWlMethod1"));
    g_Var.WlMethod = WirelessMethod::Profile;
    Next(wizard);
    for (int inner = 1; inner <= 8 && wizard->CurrentPage() == wizard->Page(WizardPage::WlProfile); ++inner) {
        walk.Save(wizard, QStringLiteral("FrameWlProfile1-%1").arg(inner));
        Next(wizard);
    }
    if (wizard->CurrentPage() == wizard->Page(WizardPage::Success))
        walk.Save(wizard, QStringLiteral("FrameSuccess1"));
}

void WalkOffThePath(Walk &walk, TFormMain *wizard)
{
    // Pages off the access-point path.
    g_Var.WlMethod = WirelessMethod::Wps;
    wizard->ShowPage(wizard->Page(WizardPage::WPSMethod), false, 0);
    walk.Save(wizard, QStringLiteral("FrameWPSMethod1"));
    g_Var.DeviceMode = DEVICE_WBRIDGE;
    wizard->ShowPage(wizard->Page(WizardPage::SiteSurvey), false, 0);
    Settle([] { return false; }, 3000);
    walk.Save(wizard, QStringLiteral("FrameSiteSurvey1"));
    for (WizardPage id : {WizardPage::Welcome, WizardPage::AdhocMode, WizardPage::WlConfig}) {
        TFrameBase *page = wizard->Page(id);
        wizard->ShowPage(page, false, 0);
        walk.Save(wizard, page->objectName());
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: wizard-screenshots OUTPUT-FOLDER\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The pages as the program draws them: in their designed font.
    RegisterDesignFont();
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(folder);

    QTemporaryDir medium;
    WriteMedium(medium.path());
    g_Var.ReadSettings(medium.path() + QStringLiteral("/Setup"));
    Timing::SetScale(0.2);

    QuietUi ui;
    SetUiServices(&ui);
    FakeNetwork network;
    network.AddAdapter(
        FakeNetwork::MakeAdapter(QStringLiteral("eth0"), {0x02, 0x00, 0x00, 0x00, 0x00, 0x64},
                                 {{QStringLiteral("192.168.1.100"), QStringLiteral("255.255.255.0")}},
                                 QStringLiteral("Simulated adapter")));
    SimDeviceConfig device;
    device.survey.push_back(SimNetwork{});
    device.survey.back().ssid = "Neighbour";
    device.survey.back().wps = true;
    network.AddSimDevice(device, {QStringLiteral("eth0")});

    // Give up rather than hang on a page that waits for something.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        std::fprintf(stderr, "FAIL screenshot walk took too long\n");
        std::_Exit(1);
    });
    watchdog.start(180000);

    Walk walk(folder);
    {
        WizardWindows windows(&network, &network);
        TFormAutorun *menu = windows.Autorun();
        TFormMain *wizard = windows.Main();
        WalkFront(walk, menu, wizard);
        WalkDevice(walk, wizard);
        WalkAccessPoint(walk, wizard);
        WalkOffThePath(walk, wizard);
        wizard->hide();

        TFormWPSSurvey *survey = windows.WpsSurvey();
        survey->show();
        Settle([] { return false; }, 3000);
        walk.Save(survey, QStringLiteral("FormWPSSurvey"));
        survey->hide();

        TFormProgress progress;
        progress.show();
        walk.Save(&progress, QStringLiteral("FormProgress-idle"));
        progress.Close(ProgressResult::Failure);
    }
    SetUiServices(nullptr);
    std::printf("%d pictures in %s\n", walk.Count(), qUtf8Printable(folder));
    return walk.Count() > 0 ? 0 : 1;
}
