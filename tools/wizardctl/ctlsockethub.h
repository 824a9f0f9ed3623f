#pragma once
// The sockets of a parallel run. Many sessions talk to many devices at
// once, but the computer has one wizard port per adapter: the hub opens one
// real socket per adapter, once, in the thread that made it (the main
// thread), and hands every session a socket factory whose sockets are
// views of the real ones. A view's Open attaches it to the real socket of
// the same adapter, address and port; its SendTo goes out through that
// socket (queued to the hub's thread); its Recv pops the view's own queue.
// Every datagram a real socket receives goes to the views of the session
// whose device has the MAC in the datagram's header, queued to the thread
// the view lives in. Our own broadcasts coming back and answers of devices
// no session works with are dropped, each with one log line.
//
// The hub also owns the run's login turn (see LoginTurn) and a fixed copy
// of the adapter list, taken once, so that every session's engine chooses
// the same adapters and the same local MAC without asking the system from
// many threads.

#include "protocol/datagramsocket.h"
#include "protocol/iphelp.h"

#include <QObject>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

class SocketHub;
class SocketView;

// After a login the requests name no device: they are broadcast and
// enciphered with the password, so two devices logged in at once from this
// computer with the same password would both take a write meant for one
// of them. The sessions of a run therefore log in one at a time: a session
// takes the turn before its login and gives it back after its logout.
// Waiters are served in the order they asked (a ticket lock), so no
// session starves. Thread-safe.
class LoginTurn
{
public:
    void Take();
    void Give();
    // Turns given so far (tests).
    uint64_t Served() const;

private:
    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    uint64_t m_nextTicket = 0;
    uint64_t m_serving = 0;
};

// What one session of a run is handed: the views of the shared sockets,
// routed to its device, the run's adapter list and its login turn.
class SessionLink : public DatagramSocketFactory
{
public:
    SessionLink(SocketHub &hub, const MacAddress &device) : m_hub(hub), m_device(device) {}
    std::unique_ptr<DatagramSocket> Create() override;
    AdapterSource &Adapters();
    LoginTurn &Turn();
    const MacAddress &Device() const { return m_device; }

private:
    SocketHub &m_hub;
    MacAddress m_device;
};

class SocketHub : public QObject
{
public:
    // Real sockets come from `real`; the adapter list is read from
    // `adapters` now, once.
    explicit SocketHub(DatagramSocketFactory &real = DatagramSocketFactory::Current(),
                       AdapterSource &adapters = AdapterSource::Current());
    // Closes the real sockets; every view must be gone by then.
    ~SocketHub() override;
    SocketHub(const SocketHub &) = delete;
    SocketHub &operator=(const SocketHub &) = delete;

    LoginTurn &Turn() { return m_turn; }
    AdapterSource &Adapters() { return m_adapters; }
    // Real sockets opened so far (tests).
    int RealSocketCount() const;

private:
    friend class SocketView;
    struct Shared
    {
        std::unique_ptr<DatagramSocket> socket; // null: the open failed
        QString error;
    };
    struct Route
    {
        SocketView *view;
        DatagramSocket *real;
        MacAddress device;
    };
    class FixedAdapters : public AdapterSource
    {
    public:
        std::optional<AdapterList> GetAdapters() override { return list; }
        std::optional<AdapterList> list;
    };

    // In the hub's thread: the real socket for the key, opened on first
    // use; null with the system's text when it cannot be opened.
    DatagramSocket *Attach(SocketView *view, const QString &interfaceName, const QString &address,
                           uint16_t port, QString &error);
    // From any thread; no datagram reaches the view afterwards.
    void Detach(SocketView *view);
    void Send(DatagramSocket *real, const QByteArray &data, uint16_t port, const QString &address);
    void OnReadable(DatagramSocket *real);

    DatagramSocketFactory &m_real;
    FixedAdapters m_adapters;
    LoginTurn m_turn;
    std::map<QString, Shared> m_shared; // by interface, address and port; the hub's thread only
    mutable std::mutex m_routeLock;     // guards m_routes and every delivery into a view
    std::vector<Route> m_routes;
};
