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

bool CtlSession::Discover(int waitMs, const MacAddress *stopAt)
{
    m_receiver->messages.clear();
    if (!m_engine->SendDiscover(waitMs, true))
        return false;
    QEventLoop loop;
    for (;;) {
        WaitForEvents(loop);
        for (const CtlReceiver::Message &m : m_receiver->messages) {
            if (m.id == UM_UDP_TIMEOUT && m.wParam == REQ_DISCOVER) {
                m_receiver->messages.clear();
                return true;
            }
        }
        if (stopAt) {
            for (const DeviceRecord &d : Devices()) {
                if (d.Mac == *stopAt)
                    return true; // the next request replaces the discovery wait
            }
        }
    }
}

std::vector<DeviceRecord> CtlSession::Devices() const
{
    std::vector<DeviceRecord> list;
    m_engine->GetDeviceList(list);
    return list;
}

CtlSession::Answer CtlSession::Request(int kind, const std::function<void()> &send)
{
    send();
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

CtlSession::Login CtlSession::LogIn()
{
    TakeTurn();
    const Answer a = Request(REQ_LOGIN, [this] { m_engine->SendLogin(kLoginWait); });
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
    const bool answered = !Request(REQ_LOGOUT, [this] { m_engine->SendLogout(kLogoutWait); }).timedOut;
    // Unanswered, the logout goes once more and the engine ends the login
    // on its side.
    if (!answered)
        m_engine->SendLogout(0);
    GiveTurn();
    return answered;
}

void CtlSession::Settle(int productMs)
{
    if (!m_link || !m_engine->loggedIn()) {
        GiveTurn();
        ProcessDelay(unsigned(std::max(productMs, 0)));
        return;
    }
    LogOut();
    ProcessDelay(unsigned(std::max(productMs, 0)));
    if (LogIn() != Login::Accepted)
        DebugPrint("CtlSession::Settle() FAIL the login after the wait");
}

CtlSession::Write CtlSession::WriteWithRetry(int kind, const std::function<void()> &send)
{
    bool retryLogin = true;
    for (;;) {
        if (!m_engine->loggedIn()) {
            // The device dropped the login (a connection time-out event).
            if (!retryLogin)
                return Write::LoginFailed;
            retryLogin = false;
            if (LogIn() != Login::Accepted)
                return Write::LoginFailed;
        }
        const Answer a = Request(kind, send);
        if (!a.timedOut) {
            if (a.result == 0)
                DebugPrint("CtlSession::WriteWithRetry() FAIL request %d refused", kind);
            return a.result != 0 ? Write::Accepted : Write::Refused;
        }
        if (!retryLogin) {
            DebugPrint("CtlSession::WriteWithRetry() FAIL request %d not answered after the re-login", kind);
            return Write::NoAnswer;
        }
        retryLogin = false;
        DebugPrint("CtlSession::WriteWithRetry() request %d not answered: log in again", kind);
        m_engine->SendLogout(0);
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
