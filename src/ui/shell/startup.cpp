#include "shell/startup.h"

#include "app/debug.h"
#include "app/globalvar.h"
#include "framework/uiservices.h"
#include "messages/appmessage.h"
#include "pages/front/formautorun.h"
#include "pages/wireless/formwpssurvey.h"
#include "platform/platform.h"
#include "protocol/formudp.h"
#include "shell/displayretry.h"
#include "shell/formmain.h"
#include "shell/toolkitsetup.h"
#include "skin/formres.h"

#include <QApplication>
#include <exception>
#include <optional>
#include <utility>

WizardWindows::WizardWindows(DatagramSocketFactory *sockets, AdapterSource *adapters)
{
    m_res = std::make_unique<TFormRes>(g_Var.ExePath, *g_Var.SettingsStore);
    SetFormRes(m_res.get());

    // The autorun menu comes first: it is the main window everything posts to.
    m_autorun = std::make_unique<TFormAutorun>();
    SetMainWindow(m_autorun.get());
    m_main = std::make_unique<TFormMain>();
    SetFormMain(m_main.get());
    m_autorun->SetWizard(m_main.get());
    m_udp = std::make_unique<TFormUDP>(g_Var, sockets, adapters);
    SetFormUDP(m_udp.get());
    m_wpsSurvey = std::make_unique<TFormWPSSurvey>();
}

WizardWindows::~WizardWindows()
{
    ReleaseSkin();
    m_wpsSurvey.reset();
    SetFormUDP(nullptr);
    // The engine logs out of a logged-in device and closes its sockets.
    m_udp.reset();
    SetFormMain(nullptr);
    m_main.reset();
    SetMainWindow(nullptr);
    m_autorun.reset();
}

void WizardWindows::ReleaseSkin()
{
    if (!m_res)
        return;
    SetFormRes(nullptr);
    m_res.reset();
}

int RunSetupWizard(int &argc, char **argv)
{
    if (!g_Var.ReadSettings())
        return 0;

    InstanceGuard guard = Platform::Current().TakeInstanceLock(g_Var.MutexName);
    if (guard.status == InstanceStatus::Failed) {
        DebugPrint("FAIL CreateMutex()");
        return 0;
    }
    if (guard.status == InstanceStatus::AlreadyRunning) {
        DebugPrint("FAIL another instance is running");
        return 0;
    }

    DebugPrint("RunSetupWizard() running as %s", qUtf8Printable(g_Var.MutexName));

    std::optional<DisplayRetry> retry(std::in_place, argc, argv, [&guard] { guard.lock.reset(); });
    QApplication app(argc, argv);
    retry.reset();
    RegisterDesignFont();
    LoadToolkitTranslations();
    SetUiServices(nullptr);
    return RunWizardWindows(std::move(guard), [] { return std::make_unique<WizardWindows>(); });
}

int RunWizardWindows(InstanceGuard guard, const WindowsFactory &makeWindows)
{
    std::unique_ptr<WizardWindows> windows;
    try {
        // AppTitle reaches the task bar as the windows' own titles. No
        // application display name: the toolkit would append it to every
        // window and message-box title, which must be the settings texts.
        QApplication::setQuitOnLastWindowClosed(false);

        windows = makeWindows();
        QObject::connect(windows->Autorun(), &TFormAutorun::Closed, qApp, &QCoreApplication::quit);
        windows->Autorun()->show();
        QApplication::exec();
    } catch (const std::exception &error) {
        DebugPrint("RunSetupWizard() FAIL exception %s", error.what());
        Ui()->ShowMessageBox(QString::fromLocal8Bit(error.what()), g_Var.AppTitle, MsgKind::Information);
    } catch (...) {
        DebugPrint("RunSetupWizard() FAIL exception");
        Ui()->ShowMessageBox(QString(), g_Var.AppTitle, MsgKind::Information);
    }

    if (windows)
        windows->ReleaseSkin();
    guard.lock.reset();
    windows.reset();
    return 0;
}
