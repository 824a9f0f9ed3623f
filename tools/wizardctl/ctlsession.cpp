#include "ctlsession.h"

#include "ctlsockethub.h"

#include "app/debug.h"
#include "app/timing.h"
#include "app/utility.h"
#include "messages/appmessage.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>

bool CtlReceiver::event(QEvent *event)
{
    if (event->type() != AppMessage::eventType())
        return QObject::event(event);
    const auto *m = static_cast<AppMessage *>(event);
    messages.push_back({m->id, m->wParam, m->lParam});
    return true;
}

void CtlSession::WaitForEvents(QEventLoop &loop)
{
    // The Windows event dispatcher hands over posted events only before it
    // blocks and then goes on waiting: a posted answer would sit handled
    // until some other event came. Posted events go first, and the wait
    // starts only when none of them was for the session.
    const size_t before = m_receiver->messages.size();
    QCoreApplication::sendPostedEvents();
    if (m_receiver->messages.size() == before)
        loop.processEvents(QEventLoop::WaitForMoreEvents);
}

CtlSession::CtlSession(SessionLink *link)
    : m_link(link), m_receiver(std::make_unique<CtlReceiver>()),
      m_engine(std::make_unique<TFormUDP>(m_state, link, link ? &link->Adapters() : nullptr))
{
    m_engine->SetNotifyTarget(m_receiver.get());
}

CtlSession::~CtlSession()
{
    // The next session of a run may log in only once this device has
    // let go of the login.
    if (m_link && m_engine->loggedIn())
        LogOut();
    // The engine logs out of a logged-in device on its way out.
    m_engine.reset();
    GiveTurn();
}

void CtlSession::TakeTurn()
{
    if (!m_link || m_hasTurn)
        return;
    m_link->Turn().Take();
    m_hasTurn = true;
}

void CtlSession::GiveTurn()
{
    if (!m_hasTurn)
        return;
    m_hasTurn = false;
    m_link->Turn().Give();
}

namespace {

// Product milliseconds since `start` (the tick count runs at the pace of the
// product's waits).
int Since(uint32_t start)
{
    return int(Timing::TickCount() - start);
}

} // namespace

bool CtlSession::Discover(int waitMs, const MacAddress *stopAt, int count)
{
    return Discover(waitMs, [&](const std::vector<DeviceRecord> &devices) {
        if (count > 0 && int(devices.size()) >= count)
            return true;
        return stopAt && std::any_of(devices.begin(), devices.end(),
                                     [&](const DeviceRecord &d) { return d.Mac == *stopAt; });
    });
}

bool CtlSession::Discover(int waitMs, const Enough &enough)
{
    m_receiver->messages.clear();
    const uint32_t start = Timing::TickCount();
    const auto found = [&] { return enough && enough(Devices()); };
    QEventLoop loop;
    for (bool first = true;; first = false) {
        const int left = waitMs - Since(start);
        if (!first && left <= 0)
            return true;
        // Only the first broadcast opens the sockets and clears the list: the
        // answers to all of them are merged.
        if (!m_engine->SendDiscover(std::clamp(left, 1, kRetryInterval), first))
            return false;
        for (bool over = false; !over;) {
            WaitForEvents(loop);
            over = std::any_of(m_receiver->messages.begin(), m_receiver->messages.end(),
                               [](const CtlReceiver::Message &m) {
                                   return m.id == UM_UDP_TIMEOUT && m.wParam == REQ_DISCOVER;
                               });
            m_receiver->messages.clear();
            if (found())
                return true; // the next request replaces the discovery wait
        }
    }
}

std::vector<DeviceRecord> CtlSession::Devices() const
{
    std::vector<DeviceRecord> list;
    m_engine->GetDeviceList(list);
    return list;
}

CtlSession::Answer CtlSession::Attempt(int kind, int wait, const Send &send)
{
    send(wait);
    QEventLoop loop;
    for (;;) {
        while (!m_receiver->messages.empty()) {
            const CtlReceiver::Message m = m_receiver->messages.front();
            m_receiver->messages.pop_front();
            if (m.id == UM_UDP_EVENT) {
                m_events.push_back(m);
            } else if ((m.id == UM_UDP_REPLY || m.id == UM_UDP_TIMEOUT) && m.wParam == kind) {
                Answer a;
                a.timedOut = m.id == UM_UDP_TIMEOUT;
                a.result = m.lParam;
                return a;
            } else {
                DebugPrint("CtlSession::Request() ignore 0x%X %d, %d while waiting for %d", m.id,
                           int(m.wParam), int(m.lParam), kind);
            }
        }
        // The engine answers every waited request with exactly one reply or
        // time-out, so this wait always ends.
        WaitForEvents(loop);
    }
}

CtlSession::Answer CtlSession::Request(int kind, int waitMs, const Send &send, int every)
{
    const uint32_t start = Timing::TickCount();
    for (;;) {
        // A repeat replaces the pending request, so a late answer to an
        // earlier one still ends the wait.
        const Answer a = Attempt(kind, std::clamp(waitMs - Since(start), 1, every), send);
        if (!a.timedOut)
            return a;
        if (Since(start) >= waitMs) {
            DebugPrint("CtlSession::Request() FAIL request %d not answered within %d ms", kind, waitMs);
            return a;
        }
        DebugPrint("CtlSession::Request() request %d not answered: again", kind);
    }
}

CtlSession::Login CtlSession::LogIn()
{
    TakeTurn();
    const Answer a = Request(REQ_LOGIN, kLoginWait, [this](int wait) { m_engine->SendLogin(wait); });
    if (a.timedOut) {
        DebugPrint("CtlSession::LogIn() FAIL no answer");
        // The answer alone may have been lost: the device may hold the
        // login, so it is ended before another device may log in.
        if (m_link)
            LogOut();
        return Login::NoAnswer;
    }
    if (a.result == 0) {
        DebugPrint("CtlSession::LogIn() FAIL refused");
        GiveTurn();
        return Login::Refused;
    }
    return Login::Accepted;
}

bool CtlSession::LogOut()
{
    const Answer a = Request(REQ_LOGOUT, kLogoutWait, [this](int wait) { m_engine->SendLogout(wait); });
    if (a.timedOut) {
        DebugPrint("CtlSession::LogOut() no answer within %d ms", kLogoutWait);
        // In a run of many devices a device left logged in would take the
        // next device's requests too: the logout goes once more (and the
        // engine ends the login on its side) before the turn passes on.
        if (m_link)
            m_engine->SendLogout(0);
    }
    GiveTurn();
    return !a.timedOut;
}

void CtlSession::Settle(int productMs)
{
    if (productMs <= 0)
        return;
    if (!m_link || !m_engine->loggedIn()) {
        GiveTurn();
        ProcessDelay(unsigned(productMs));
        return;
    }
    LogOut();
    ProcessDelay(unsigned(productMs));
    if (LogIn() != Login::Accepted)
        DebugPrint("CtlSession::Settle() FAIL the login after the wait");
}

CtlSession::Write CtlSession::WriteRound(int kind, int waitMs, const Send &send, const Checker &check)
{
    const uint32_t start = Timing::TickCount();
    for (;;) {
        const int left = waitMs - Since(start);
        if (left <= 0)
            return Write::NoAnswer;
        const Answer a = Attempt(kind, check ? std::min(left, kRetryInterval) : left, send);
        if (!a.timedOut) {
            if (a.result == 0)
                DebugPrint("CtlSession::WriteWithRetry() FAIL request %d refused", kind);
            return a.result != 0 ? Write::Accepted : Write::Refused;
        }
        // A device without the login answers nothing, the check included.
        if (!check || !m_engine->loggedIn())
            return Write::NoAnswer;
        DebugPrint("CtlSession::WriteWithRetry() request %d not answered: read back", kind);
        switch (check()) {
        case Check::Holds:
            DebugPrint("CtlSession::WriteWithRetry() the device holds the values: the answer was lost");
            return Write::Verified;
        case Check::NoAnswer:
            return Write::NoAnswer;
        case Check::Differs:
            DebugPrint("CtlSession::WriteWithRetry() the device does not hold the values: again");
            break;
        }
    }
}

CtlSession::Write CtlSession::WriteWithRetry(int kind, int waitMs, const Send &send, const Checker &check)
{
    bool relogged = false; // the one fresh login is used
    for (;;) {
        if (!m_engine->loggedIn()) {
            // The device dropped the login (a connection time-out event).
            if (relogged)
                return Write::LoginFailed;
            relogged = true;
            if (LogIn() != Login::Accepted)
                return Write::LoginFailed;
        }
        const Write w = WriteRound(kind, waitMs, send, check);
        if (w != Write::NoAnswer)
            return w;
        if (relogged) {
            DebugPrint("CtlSession::WriteWithRetry() FAIL request %d not answered after the re-login", kind);
            return Write::NoAnswer;
        }
        relogged = true;
        DebugPrint("CtlSession::WriteWithRetry() request %d not answered: log in again", kind);
        // A logout still on its way would end the new login.
        if (m_engine->loggedIn())
            LogOut();
        if (LogIn() != Login::Accepted)
            return Write::LoginFailed;
    }
}

bool CtlSession::NextEvent(CtlReceiver::Message &event, const QDeadlineTimer &deadline)
{
    // Wakes the wait below when the time is up and nothing else happens.
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(int(std::max<qint64>(deadline.remainingTime(), 0)));
    QEventLoop loop;
    for (;;) {
        while (!m_receiver->messages.empty()) {
            const CtlReceiver::Message m = m_receiver->messages.front();
            m_receiver->messages.pop_front();
            if (m.id == UM_UDP_EVENT)
                m_events.push_back(m);
            else
                DebugPrint("CtlSession::NextEvent() ignore 0x%X %d, %d", m.id, int(m.wParam), int(m.lParam));
        }
        if (!m_events.empty()) {
            event = m_events.front();
            m_events.pop_front();
            return true;
        }
        if (deadline.hasExpired())
            return false;
        WaitForEvents(loop);
    }
}

void CtlSession::DropEvents(const char *who)
{
    for (const CtlReceiver::Message &m : m_events)
        DebugPrint("%s ignore UM_UDP_EVENT %d, %d", who, int(m.wParam), int(m.lParam));
    m_events.clear();
}
