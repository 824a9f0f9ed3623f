#pragma once
// The write of NewIpConfig to the device, shared by the setup-method page
// (switch to a dynamic address) and the IP configuration page (static
// values). It runs under the progress dialog: log in first when the engine
// is not logged in, send the setting, wait 3000 ms for the device to take
// its new address, read the configuration back. A setting that times out is
// answered once by a logout without waiting, a fresh login and a repeat; a
// second time-out, a refused answer or a missing answer ends it as failure.

class AppMessage;
class TFormProgress;
class QWidget;

class ApplyIpSetting
{
public:
    // Runs the sequence modally over `page`; true exactly when the dialog
    // ended with result 1.
    bool Run(QWidget *page);

    // The owning page's window procedure hands every engine message here;
    // messages that arrive while no dialog is open are ignored.
    void HandleMessage(const AppMessage &message);

    // The open progress dialog, or nullptr.
    TFormProgress *FormProgress = nullptr;
    // The one re-login a time-out may still use.
    bool RetryLogin = false;

private:
    void StartAction();
    void Close(int result);
};
