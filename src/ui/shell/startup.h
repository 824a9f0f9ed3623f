#pragma once
// The program's start-up and tear-down: settings first, then the guard
// against a second running copy, then the windows (skin store, autorun menu,
// wizard window, protocol engine, WPS survey dialog), then the event loop;
// afterwards the skin store, the guard and the windows go in that order.
// The screenshot tool builds the same windows through WizardWindows.

#include <QString>
#include <functional>
#include <memory>

class AdapterSource;
class DatagramSocketFactory;
struct InstanceGuard;
class TFormAutorun;
class TFormMain;
class TFormRes;
class TFormUDP;
class TFormWPSSurvey;

// Every window of the program, created in the program's order and
// registered with their global accessors (FormRes, MainWindow, FormMain,
// FormUDP). Destruction unregisters them and destroys the skin store first,
// then the remaining windows from the last created to the first.
class WizardWindows
{
public:
    // Null seams are the installed ones (the real network in the product).
    explicit WizardWindows(DatagramSocketFactory *sockets = nullptr, AdapterSource *adapters = nullptr);
    ~WizardWindows();
    WizardWindows(const WizardWindows &) = delete;
    WizardWindows &operator=(const WizardWindows &) = delete;

    // Destroys the skin store now (the first step of the tear-down).
    void ReleaseSkin();

    TFormRes *Res() const { return m_res.get(); }
    TFormAutorun *Autorun() const { return m_autorun.get(); }
    TFormMain *Main() const { return m_main.get(); }
    TFormUDP *Udp() const { return m_udp.get(); }
    TFormWPSSurvey *WpsSurvey() const { return m_wpsSurvey.get(); }

private:
    std::unique_ptr<TFormRes> m_res;
    std::unique_ptr<TFormAutorun> m_autorun;
    std::unique_ptr<TFormMain> m_main;
    std::unique_ptr<TFormUDP> m_udp;
    std::unique_ptr<TFormWPSSurvey> m_wpsSurvey;
};

// Makes the program's windows; the product makes a plain WizardWindows.
using WindowsFactory = std::function<std::unique_ptr<WizardWindows>()>;

// The run once the guard is held and the application object exists: makes
// the windows with `makeWindows`, shows the
// autorun menu and runs the event loop until the menu closes. An exception
// escaping any of that ends the loop; it is logged ("RunSetupWizard() FAIL
// exception ...") and its text shown in an information box titled AppTitle
// through the UI services the caller installed. Then, also after an
// exception, the skin store goes, then the guard, then the windows.
// Returns 0.
int RunWizardWindows(InstanceGuard guard, const WindowsFactory &makeWindows);

// The whole run of the program; returns the process exit code (always 0).
// Reads the settings, takes the single-instance guard on MutexName (a
// second copy logs "FAIL another instance is running" and returns), creates
// the application object, gives the toolkit the designed font and its own
// translations (toolkitsetup.h), installs the product UI services, creates
// the windows, shows the autorun menu and runs the event loop until the
// menu closes. An exception escaping the windows or the loop is shown in an
// error box and ends the loop.
int RunSetupWizard(int &argc, char **argv);
