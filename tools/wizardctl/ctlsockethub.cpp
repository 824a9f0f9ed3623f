#include "ctlsockethub.h"

#include "app/debug.h"
#include "protocol/packet.h"

#include <QMetaObject>
#include <QThread>
#include <algorithm>
#include <deque>

// ----- the turn -----

void LoginTurn::Take()
{
    std::unique_lock<std::mutex> lock(m_lock);
    const uint64_t ticket = m_nextTicket++;
    m_changed.wait(lock, [&] { return m_serving == ticket; });
}

void LoginTurn::Give()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        ++m_serving;
    }
    m_changed.notify_all();
}

uint64_t LoginTurn::Served() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_serving;
}

// ----- a view -----

// Lives in the thread of the session that created it (its engine's
// thread); the hub reaches it only through Deliver.
class SocketView : public DatagramSocket
{
public:
    SocketView(SocketHub &hub, const MacAddress &device) : m_hub(hub), m_device(device) {}
    ~SocketView() override { Close(); }

    bool Open(const QString &interfaceName, const QString &address, uint16_t port) override
    {
        Close();
        DatagramSocket *real = nullptr;
        QString error;
        const auto attach = [&] { real = m_hub.Attach(this, interfaceName, address, port, error); };
        if (QThread::currentThread() == m_hub.thread())
            attach();
        else
            QMetaObject::invokeMethod(&m_hub, attach, Qt::BlockingQueuedConnection);
        m_error = error;
        if (!real)
            return false;
        m_real = real;
        m_address = real->Address();
        m_port = real->Port();
        return true;
    }

    void Close() override
    {
        if (!m_real)
            return;
        m_hub.Detach(this);
        m_real = nullptr;
        m_port = 0;
        std::lock_guard<std::mutex> lock(m_queueLock);
        m_queue.clear();
    }

    bool IsOpen() const override { return m_real != nullptr; }

    bool SendTo(const QByteArray &data, uint16_t port, const QString &address) override
    {
        if (!m_real)
            return false;
        DatagramSocket *real = m_real;
        SocketHub *hub = &m_hub;
        // Sends keep their order: queued calls to one object run in the
        // order they were made.
        QMetaObject::invokeMethod(
            hub, [hub, real, data, port, address] { hub->Send(real, data, port, address); },
            Qt::QueuedConnection);
        return true;
    }

    int Recv(ReceivedDatagram &out) override
    {
        if (!m_real)
            return 0;
        std::lock_guard<std::mutex> lock(m_queueLock);
        if (m_queue.empty())
            return -1;
        ++m_reads;
        out = std::move(m_queue.front());
        m_queue.pop_front();
        return int(out.data.size());
    }

    bool HasPendingDatagram() const override
    {
        std::lock_guard<std::mutex> lock(m_queueLock);
        return m_real && !m_queue.empty();
    }

    void SetReadyCallback(std::function<void()> callback) override { m_callback = std::move(callback); }
    QString Address() const override { return m_address; }
    QString ErrorText() const override { return m_error; }
    uint16_t Port() const override { return m_port; }
    const MacAddress &Device() const { return m_device; }

    // From the hub's thread, under its route lock (so the view is alive):
    // queues the datagram and wakes the view's own thread.
    void Deliver(const ReceivedDatagram &datagram)
    {
        {
            std::lock_guard<std::mutex> lock(m_queueLock);
            m_queue.push_back(datagram);
            if (m_notifyScheduled)
                return;
            m_notifyScheduled = true;
        }
        const std::weak_ptr<bool> alive = m_alive;
        QMetaObject::invokeMethod(
            &m_context,
            [this, alive] {
                if (!alive.expired())
                    Notify();
            },
            Qt::QueuedConnection);
    }

private:
    // One callback per waiting datagram, as a real socket's readiness; the
    // callback may close or destroy the view.
    void Notify()
    {
        {
            std::lock_guard<std::mutex> lock(m_queueLock);
            m_notifyScheduled = false;
        }
        const std::weak_ptr<bool> alive = m_alive;
        while (m_real && m_callback && HasPendingDatagram()) {
            const uint64_t before = m_reads;
            const std::function<void()> callback = m_callback;
            callback();
            if (alive.expired() || m_reads == before)
                return;
        }
    }

    SocketHub &m_hub;
    MacAddress m_device;
    DatagramSocket *m_real = nullptr; // owned by the hub
    QString m_address;
    QString m_error;
    uint16_t m_port = 0;
    std::function<void()> m_callback;
    mutable std::mutex m_queueLock;
    std::deque<ReceivedDatagram> m_queue;
    bool m_notifyScheduled = false;
    uint64_t m_reads = 0;
    QObject m_context; // made in the view's thread: queued calls run there
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

// ----- the link -----

std::unique_ptr<DatagramSocket> SessionLink::Create()
{
    return std::make_unique<SocketView>(m_hub, m_device);
}

AdapterSource &SessionLink::Adapters()
{
    return m_hub.Adapters();
}

LoginTurn &SessionLink::Turn()
{
    return m_hub.Turn();
}

// ----- the hub -----

SocketHub::SocketHub(DatagramSocketFactory &real, AdapterSource &adapters) : m_real(real)
{
    m_adapters.list = adapters.GetAdapters();
}

SocketHub::~SocketHub()
{
    for (auto &[key, shared] : m_shared) {
        if (shared.socket) {
            shared.socket->SetReadyCallback({});
            shared.socket->Close();
        }
    }
}

int SocketHub::RealSocketCount() const
{
    return int(std::count_if(m_shared.begin(), m_shared.end(),
                             [](const auto &entry) { return entry.second.socket != nullptr; }));
}

DatagramSocket *SocketHub::Attach(SocketView *view, const QString &interfaceName, const QString &address,
                                  uint16_t port, QString &error)
{
    const QString key = interfaceName + u'|' + address + u'|' + QString::number(port);
    auto it = m_shared.find(key);
    if (it == m_shared.end()) {
        Shared shared;
        shared.socket = m_real.Create();
        if (shared.socket) {
            // The first session's engine set what the adapter stands for.
            shared.socket->SetMac(view->Mac());
            shared.socket->SetNetmask(view->Netmask());
            if (shared.socket->Open(interfaceName, address, port)) {
                DatagramSocket *raw = shared.socket.get();
                shared.socket->SetReadyCallback([this, raw] { OnReadable(raw); });
            } else {
                shared.error = shared.socket->ErrorText();
                shared.socket.reset();
            }
        }
        it = m_shared.emplace(key, std::move(shared)).first;
    }
    error = it->second.error;
    DatagramSocket *real = it->second.socket.get();
    if (real) {
        std::lock_guard<std::mutex> lock(m_routeLock);
        m_routes.push_back({view, real, view->Device()});
    }
    return real;
}

void SocketHub::Detach(SocketView *view)
{
    std::lock_guard<std::mutex> lock(m_routeLock);
    std::erase_if(m_routes, [view](const Route &r) { return r.view == view; });
}

void SocketHub::Send(DatagramSocket *real, const QByteArray &data, uint16_t port, const QString &address)
{
    real->SendTo(data, port, address);
}

void SocketHub::OnReadable(DatagramSocket *real)
{
    ReceivedDatagram datagram;
    if (real->Recv(datagram) <= 0)
        return;
    if (datagram.data.size() < qsizetype(Protocol::kHeaderSize)) {
        DebugPrint("SocketHub: dropped a datagram of %d bytes", int(datagram.data.size()));
        return;
    }
    const MacAddress mac = Protocol::HeaderMac(reinterpret_cast<const uint8_t *>(datagram.data.constData()));
    bool delivered = false;
    {
        std::lock_guard<std::mutex> lock(m_routeLock);
        for (const Route &r : m_routes) {
            if (r.real == real && r.device == mac) {
                r.view->Deliver(datagram);
                delivered = true;
            }
        }
    }
    if (delivered)
        return;
    const bool ours = std::any_of(m_shared.begin(), m_shared.end(), [&mac](const auto &entry) {
        return entry.second.socket && entry.second.socket->Mac() == mac;
    });
    if (ours)
        DebugPrint("SocketHub: dropped our own request");
    else
        DebugPrint("SocketHub: dropped a datagram of %s, a device no session works with",
                   qPrintable(FormatMac(mac)));
}
