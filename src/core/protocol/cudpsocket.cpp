#include "protocol/cudpsocket.h"

#include "app/debug.h"
#include "messages/appmessage.h"

#include "protocol/nativeudp.h"

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>

namespace {

// Read event, as the readiness notification carries it in its low half.
constexpr int kReadEvent = 1;

// Datagrams taken from the system per read, and the most a socket keeps
// read but not yet handed to its callback (beyond that the system's buffer
// holds them).
constexpr int kBatch = 16;
constexpr size_t kMaxQueued = 65536;

// The open sockets of the program, all on the GUI thread: a burst on one
// adapter must not keep the others from being read.
std::vector<CUDPSocket *> g_openSockets;

} // namespace

CUDPSocket::CUDPSocket() = default;

CUDPSocket::~CUDPSocket()
{
    Close();
}

bool CUDPSocket::Open(const QString &interfaceName, const QString &address, uint16_t port)
{
    Close();
    error_.clear();
    const NativeUdp::OpenedSocket opened = NativeUdp::Open(interfaceName, address, port, error_);
    if (opened.handle == NativeUdp::kNoSocket)
        return false;

    fd_ = opened.handle;
    notifier_ = std::make_unique<QSocketNotifier>(qintptr(fd_), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { OnReadable(); });
    DebugPrint("WSAAsyncSelect() OK");
    g_openSockets.push_back(this);
    // Empty stands for "any address"; an adapter without an address keeps
    // the "0.0.0.0" it was opened with.
    ip_ = address.isEmpty() && opened.boundIp == QLatin1String("0.0.0.0") ? QString() : opened.boundIp;
    port_ = opened.boundPort;
    boundToDevice_ = opened.boundToDevice;
    return true;
}

void CUDPSocket::Close()
{
    if (fd_ == NativeUdp::kNoSocket)
        return;
    g_openSockets.erase(std::remove(g_openSockets.begin(), g_openSockets.end(), this), g_openSockets.end());
    notifier_->setEnabled(false);
    notifier_->disconnect();
    if (inCallback_) {
        // Closed or destroyed from inside its own notification: the
        // notifier is still emitting, so it goes once control is back in
        // the event loop.
        notifier_.release()->deleteLater();
    } else {
        notifier_.reset();
    }
    NativeUdp::Close(fd_);
    fd_ = NativeUdp::kNoSocket;
    queue_.clear();
    port_ = 0;
    boundToDevice_ = false;
    dispatchPending_ = false;
}

bool CUDPSocket::IsOpen() const
{
    return fd_ != NativeUdp::kNoSocket;
}

bool CUDPSocket::SendTo(const QByteArray &data, uint16_t port, const QString &address)
{
    return fd_ != NativeUdp::kNoSocket && NativeUdp::SendTo(fd_, data, port, address);
}

int CUDPSocket::Recv(ReceivedDatagram &out)
{
    if (fd_ == NativeUdp::kNoSocket)
        return 0;
    try {
        if (queue_.empty())
            Pull();
        if (queue_.empty())
            return -1;
        ++reads_;
        out = std::move(queue_.front());
        queue_.pop_front();
        return static_cast<int>(out.data.size());
    } catch (...) {
        DebugPrint("CUDPSocket::Recv() exception");
        return -1;
    }
}

bool CUDPSocket::HasPendingDatagram() const
{
    if (fd_ == NativeUdp::kNoSocket)
        return false;
    if (!queue_.empty())
        return true;
    return NativeUdp::HasPending(fd_);
}

void CUDPSocket::SetReadyCallback(std::function<void()> callback)
{
    callback_ = std::move(callback);
}

void CUDPSocket::Pull()
{
    while (fd_ != NativeUdp::kNoSocket && queue_.size() < kMaxQueued) {
        if (NativeUdp::Read(fd_, queue_, kBatch) < kBatch)
            return; // nothing more waiting (or an error the next read reports)
    }
}

void CUDPSocket::PullAll()
{
    for (CUDPSocket *socket : g_openSockets) {
        const bool had = !socket->queue_.empty();
        socket->Pull();
        // Another socket's datagrams taken from the kernel: its notifier
        // will not fire for them, so it is handed them from the event loop.
        if (socket != this && !had && !socket->queue_.empty())
            socket->ScheduleWndProc();
    }
}

void CUDPSocket::ScheduleWndProc()
{
    if (dispatchPending_ || !notifier_)
        return;
    dispatchPending_ = true;
    QTimer::singleShot(0, notifier_.get(), [this, alive = std::weak_ptr<bool>(alive_)] {
        if (alive.expired())
            return;
        dispatchPending_ = false;
        WndProc();
    });
}

void CUDPSocket::OnReadable()
{
    PullAll();
    WndProc();
}

void CUDPSocket::WndProc()
{
    const std::weak_ptr<bool> alive = alive_;
    int handed = 0;
    while (fd_ != NativeUdp::kNoSocket && callback_ && !queue_.empty()) {
        if (DebugLogIsOn()) { // the MAC text is not made for every datagram of a burst
            DebugPrint("CUDPSocket::OnUMSocket(%s) %x %x", qPrintable(FormatMac(Mac())), unsigned(fd_),
                       kReadEvent);
            DebugPrint(
                "CUDPSocket::WndProc()aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa "
                "%d, %d, %d, %d",
                UM_SOCKET_NOTIFY, UM_SOCKET_NOTIFY, int(fd_), kReadEvent);
        }
        const uint64_t readsBefore = reads_;
        inCallback_ = true;
        auto callback = callback_; // the callback may replace itself
        callback();
        if (alive.expired())
            return;
        inCallback_ = false;
        // A callback that did not read would be called forever.
        if (reads_ == readsBefore)
            break;
        // Every kernel buffer stays short while a burst is handed over.
        if (++handed % 32 == 0)
            PullAll();
    }
}

std::unique_ptr<DatagramSocket> CUDPSocketFactory::Create()
{
    return std::make_unique<CUDPSocket>();
}
