#pragma once
// One conversation of wizardctl with a device through the wizard's engine
// (TFormUDP, unchanged), on the session's own device-state record: the
// chosen device, its password and the settings read and to be written live
// there, so sessions never share state. The engine posts its answers to a small receiver
// object set as its notify target; the session waits for them in local
// event loops, so the code reads as the sequence the pages run: discover,
// log in, read, write, read back.
// Unlike the pages, which send each request once and wait out its whole
// wait, the session sends an unanswered request again every
// kRetryInterval: a device answers within milliseconds, so one lost
// datagram must not cost the whole wait or end the command. The pages'
// waits (DeviceWait, product milliseconds through Timing) stay the bound of
// each exchange.
// A session of a parallel run is handed a link (ctlsockethub.h): its
// engine then works on views of the run's shared sockets, and the session
// logs in only while it holds the run's login turn.

#include "app/devicestate.h"
#include "app/records.h"
#include "protocol/devicewaits.h"
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
    // The pages' waits, by the names the commands use (product milliseconds).
    static constexpr int kLoginWait = DeviceWait::Login;
    static constexpr int kGetConfigWait = DeviceWait::GetConfig;
    static constexpr int kGetModeWait = DeviceWait::GetMode;
    static constexpr int kSetWait = DeviceWait::Setting;
    static constexpr int kSetModeWait = DeviceWait::SetMode;
    static constexpr int kWpsWait = DeviceWait::Wps;
    static constexpr int kSurveyWait = DeviceWait::SiteSurvey;
    static constexpr int kStationWait = DeviceWait::StationGetConfig;
    static constexpr int kSettleDelay = DeviceWait::SettleAfterSetting;
    // How soon an unanswered request goes out again (product milliseconds).
    static constexpr int kRetryInterval = 1000;
    // How long a logout waits for its answer before the next login: a
    // logout that arrives after that login would end it.
    static constexpr int kLogoutWait = 500;

    // `link` (not owned) must outlive the session; null: the engine's own
    // sockets and no turn, as for a single device.
    explicit CtlSession(SessionLink *link = nullptr);
    ~CtlSession();
    CtlSession(const CtlSession &) = delete;
    CtlSession &operator=(const CtlSession &) = delete;

    TFormUDP &Engine() { return *m_engine; }
    DeviceState &State() { return m_state; }

    // Opens a socket on every adapter and broadcasts a discovery request,
    // again every kRetryInterval; collects the answers of all broadcasts for
    // `waitMs`, or until the device with `stopAt` answered, or `count`
    // devices did (0: no count). False when no adapter could be opened
    // (nothing was sent).
    bool Discover(int waitMs, const MacAddress *stopAt = nullptr, int count = 0);
    // The same, ended as soon as `enough` says so of the devices found.
    using Enough = std::function<bool(const std::vector<DeviceRecord> &devices)>;
    bool Discover(int waitMs, const Enough &enough);
    std::vector<DeviceRecord> Devices() const;

    struct Answer
    {
        bool timedOut = false;
        intptr_t result = 0;
    };
    // Calls `send` (one engine send operation of `kind`, with the engine
    // wait it is given) every `every` product milliseconds until the reply
    // comes or `waitMs` ran out. Device events that arrive meanwhile are kept.
    using Send = std::function<void(int wait)>;
    Answer Request(int kind, int waitMs, const Send &send, int every = kRetryInterval);

    // Logs in, repeated as any request; a refusal is final at once.
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

    // What the settings read back show after a write whose answer was lost.
    enum class Check { Holds, Differs, NoAnswer };
    using Checker = std::function<Check()>;
    // A write: sent again every kRetryInterval within `waitMs`, but only
    // after `check` found that the device does not hold the values yet
    // (Verified: it does; the answer was lost). Without `check` the write
    // is sent once with the whole wait. When the device dropped the login,
    // or the write and its check stay unanswered, there is one fresh login
    // (after the logout's answer) and one more round. A login that fails on
    // the way ends it.
    enum class Write { Accepted, Verified, Refused, NoAnswer, LoginFailed };
    Write WriteWithRetry(int kind, int waitMs, const Send &send, const Checker &check = {});

    // Waits until `deadline` for a device event; false when none came.
    bool NextEvent(CtlReceiver::Message &event, const QDeadlineTimer &deadline);
    // Drops the events received so far (they came before a WPS run was
    // accepted); each is logged.
    void DropEvents(const char *who);

private:
    // One send of `kind` with engine wait `wait`: its reply or time-out.
    Answer Attempt(int kind, int wait, const Send &send);
    // The write's attempts within `waitMs`; NoAnswer sends the caller to
    // the fresh login.
    Write WriteRound(int kind, int waitMs, const Send &send, const Checker &check);
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
