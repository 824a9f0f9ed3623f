#pragma once
// DeviceWrite: a page's write to the device under the progress dialog. The
// page describes its request; the flow sends it (logging in first when the
// engine is not logged in), answers its first time-out with one fresh login
// and a repeat, and once the device has accepted it and settled reads the
// configuration back, whose answer ends the run with success. A refusal, a
// second time-out, a refused or unanswered login and an unanswered read-back
// end it with failure. The page hands every engine message to the flow,
// which acts on them only while its dialog is on screen: a dialog that has
// ended is hidden at once, but Run returns only when the handlers running
// inside it have finished, and nothing of theirs may end it a second time.

#include "framework/formprogress.h"
#include "protocol/formudp.h"

#include <functional>
#include <vector>

class AppMessage;
class QWidget;
class TFrameBase;
struct TextKey;

class DeviceWrite
{
public:
    // Why the flow ended a run with failure (the dialog's own time limit is
    // not among them).
    enum class Failure {
        NotLoggedIn,  // the one login was used up before the write went out
        LoginRefused, // REQ_LOGIN answered with 0
        Refused,      // the write answered with 0
        Unanswered,   // the write timed out a second time
        TimedOut,     // the login or the read-back timed out
    };

    struct Steps
    {
        // The start step as log lines name it ("<name> FAIL no engine").
        const char *name = "";
        // The request kinds that answer the write.
        std::vector<int> kinds = {};
        // Sends the write. Empty when the login itself is the write: it is
        // then sent whether or not the engine is logged in, and its
        // acceptance leads straight to the read-back.
        std::function<void(TFormUDP &)> send = {};
        // The re-login drops the old login first (without waiting).
        bool logoutBeforeRelogin = true;
        // Pauses before the read-back and after its answer.
        int settleBeforeReadBack = 0;
        int settleAfterReadBack = 0;
        // Takes over after an accepted write instead of the read-back: the
        // page then ends the run with ReadBack or Finish itself.
        std::function<void()> accepted = {};
        // The read-back has come and the run is about to succeed.
        std::function<void()> readBack = {};
        // The flow is ending the run with failure; `kind` is the request
        // concerned (REQ_LOGIN for NotLoggedIn).
        std::function<void(Failure, int kind)> failed = {};
    };

    explicit DeviceWrite(Steps steps);

    // Runs the write modally over `page` with its one re-login; returns how
    // the dialog ended.
    ProgressResult Run(QWidget *page);

    // Runs the write for `page` and answers its end as the pages do:
    // success posts Next; failure logs "<failLog> FAIL result <n>", shows
    // `message`, runs `afterMessage` and in test mode posts Next anyway.
    // True on success.
    bool RunForPage(TFrameBase &page, const char *failLog, const TextKey &message,
                    const std::function<void()> &afterMessage = {});

    // Takes the engine's answers and time-outs while the dialog is on
    // screen; false for every other message and at every other time.
    bool HandleMessage(const AppMessage &message);

    // Pauses `settleMs`, then reads the configuration back; false (nothing
    // sent) when the run ended during the pause.
    bool ReadBack(int settleMs);
    // Ends the run with `result`; nothing when its dialog has already ended.
    void Finish(ProgressResult result);

    // The dialog while Run holds it, else nullptr.
    TFormProgress *Dialog() const { return m_dialog; }
    // The dialog is on screen: the run is still going.
    bool Open() const;
    // The one re-login is still there.
    bool RetryLogin() const { return m_retryLogin; }
    // The device accepted this run's write.
    bool WriteAccepted() const { return m_writeAccepted; }

private:
    void Start();
    void Answered(int kind, bool accepted);
    void TimedOut(int kind);
    void Fail(Failure why, int kind);
    bool IsWrite(int kind) const;
    // The engine; a missing one ends the run with failure.
    TFormUDP *Engine();

    Steps m_steps;
    TFormProgress *m_dialog = nullptr;
    bool m_retryLogin = false;
    bool m_writeAccepted = false;
};
