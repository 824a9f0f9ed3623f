#pragma once
// One conversation of wizardctl with a device through the wizard's engine
// (TFormUDP, unchanged), on the session's own device-state record: the
// chosen device, its password and the settings read and to be written live
// there, so sessions never share state. The engine posts its answers to a small receiver
// object set as its notify target; the session waits for them in local
// event loops, so the code reads as the sequence the pages run: discover,
// log in, read, write with one re-login on a time-out, read back.
// Waits are the pages' own (product milliseconds through Timing).
// A session of a parallel run is handed a link (ctlsockethub.h): its
// engine then works on views of the run's shared sockets, and the session
// logs in only while it holds the run's login turn.

#include "app/devicestate.h"
#include "app/records.h"
#include "protocol/formudp.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QObject>
#include <deque>
#include <functional>
#include <memory>

class SessionLink;

class CtlReceiver : public QObject
{
public:
    struct Message
    {
        int id;
        intptr_t wParam;
        intptr_t lParam;
    };
    bool event(QEvent *event) override;
    std::deque<Message> messages;
};

class CtlSession
{
public:
    // Waits of the pages (product milliseconds).
    static constexpr int kLoginWait = 5000;
    static constexpr int kGetConfigWait = 15000;
    static constexpr int kGetModeWait = 3000;
    static constexpr int kSetWait = 32000;
    static constexpr int kSetModeWait = 28000;
    static constexpr int kWpsWait = 10000;
    static constexpr int kSurveyWait = 7000;
    static constexpr int kStationWait = 3000;
    static constexpr int kSettleDelay = 3000; // after an accepted IP or wireless write
    static constexpr int kLogoutWait = 500;

    // `link` (not owned) must outlive the session; null: the engine's own
    // sockets and no turn, as for a single device.
    explicit CtlSession(SessionLink *link = nullptr);
    ~CtlSession();
    CtlSession(const CtlSession &) = delete;
    CtlSession &operator=(const CtlSession &) = delete;

    TFormUDP &Engine() { return *m_engine; }
    DeviceState &State() { return m_state; }

    // Opens a socket on every adapter and broadcasts a discovery request;
    // collects answers for `waitMs`, or until the device with `stopAt`
    // answers. False when no adapter could be opened (nothing was sent).
    bool Discover(int waitMs, const MacAddress *stopAt = nullptr);
    std::vector<DeviceRecord> Devices() const;

    struct Answer
    {
        bool timedOut = false;
        intptr_t result = 0;
    };
    // Calls `send` (one engine send operation of `kind`) and waits for its
    // reply or time-out. Device events that arrive meanwhile are kept.
    Answer Request(int kind, const std::function<void()> &send);

    enum class Login { Accepted, Refused, NoAnswer };
    // State().SelectedDevice and State().Password must be set. With a link
    // it first takes the login turn, and gives it back when the login fails.
    Login LogIn();
    // Logs out, waiting up to kLogoutWait for the answer; true when it came.
    // With a link the turn is given back afterwards.
    bool LogOut();
    // The one place for a pause between exchanges (settle delays). With a
    // link a logged-in session logs out and gives the turn away for the
    // wait, then logs in again.
    void Settle(int productMs);

    // The pages' write sequence: with `retryLogin` set, a time-out is met by
    // a logout without waiting, a fresh login and one repeat. A login
    // that fails on the way ends it.
    enum class Write { Accepted, Refused, NoAnswer, LoginFailed };
    Write WriteWithRetry(int kind, const std::function<void()> &send);

    // Waits until `deadline` for a device event; false when none came.
    bool NextEvent(CtlReceiver::Message &event, const QDeadlineTimer &deadline);
    // Drops the events received so far (they came before a WPS run was
    // accepted); each is logged.
    void DropEvents(const char *who);

private:
    // One turn of the event loop: the posted events, else a wait for the next event.
    void WaitForEvents(QEventLoop &loop);
    void TakeTurn();
    void GiveTurn();
    SessionLink *m_link;
    bool m_hasTurn = false;
    DeviceState m_state; // before the engine, which works on it to its end
    std::unique_ptr<CtlReceiver> m_receiver;
    std::unique_ptr<TFormUDP> m_engine;
    std::deque<CtlReceiver::Message> m_events;
};
