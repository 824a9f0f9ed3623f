#include "protocol/cudpsocket.h"

#include "app/debug.h"
#include "messages/appmessage.h"

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Read event, as the readiness notification carries it in its low half.
constexpr int kReadEvent = 1;

bool g_loggedBindFallback = false;
bool g_loggedReceiveBuffer = false;

// A burst of answers (a thousand devices answering one discovery at once)
// must fit while the GUI thread is busy elsewhere.
constexpr int kReceiveBufferBytes = 4 * 1024 * 1024;

// Asks for kReceiveBufferBytes: beyond net.core.rmem_max where the process
// may (SO_RCVBUFFORCE), else up to that cap. A capped size is logged once.
void EnlargeReceiveBuffer(int fd)
{
    const int wanted = kReceiveBufferBytes;
    if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &wanted, sizeof wanted) != 0)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &wanted, sizeof wanted);
    int reported = 0;
    socklen_t length = sizeof reported;
    if (::getsockopt(fd, SOL_SOCKET, SO_RCVBUF, &reported, &length) != 0)
        return;
    // The kernel reports twice the size set (its bookkeeping share).
    const int granted = reported / 2;
    if (granted < wanted && !g_loggedReceiveBuffer) {
        g_loggedReceiveBuffer = true;
        DebugPrint("CUDPSocket::Open() receive buffer %d bytes granted of %d asked (net.core.rmem_max)", granted,
                   wanted);
    }
}

bool ParseIPv4(const QString &text, in_addr &out)
{
    if (text.isEmpty()) {
        out.s_addr = htonl(INADDR_ANY);
        return true;
    }
    return inet_pton(AF_INET, text.toLatin1().constData(), &out) == 1;
}

// Closes `fd` keeping the failure's text; returns -1.
int Fail(int fd, QString &error)
{
    error = QString::fromLocal8Bit(std::strerror(errno));
    if (fd >= 0)
        ::close(fd);
    return -1;
}

// Creates the native socket: options, device binding, bind. Returns the
// descriptor, or -1 with the system's text of the failure in `error`;
// `boundToDevice` tells which binding was used.
int CreateNativeSocket(const QString &interfaceName, const QString &address, uint16_t port, bool &boundToDevice,
                       QString &error)
{
    boundToDevice = false;
    in_addr adapterAddress{};
    if (!ParseIPv4(address, adapterAddress)) {
        DebugPrint("CUDPSocket::Open() FAIL address %s", qPrintable(address));
        error = QStringLiteral("not an IPv4 address: ") + address;
        return -1;
    }
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_UDP);
    if (fd < 0)
        return Fail(fd, error);
    const int one = 1;
    if (::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof one) != 0)
        return Fail(fd, error);
    EnlargeReceiveBuffer(fd);
    // Several sockets (and copies of the program in other namespaces) share
    // port 5433 on the any-address, one per interface.
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);

    in_addr bindAddress = adapterAddress;
    if (!interfaceName.isEmpty()) {
        const QByteArray name = interfaceName.toLocal8Bit();
        if (::setsockopt(fd, SOL_SOCKET, SO_BINDTODEVICE, name.constData(), socklen_t(name.size())) == 0) {
            boundToDevice = true;
            bindAddress.s_addr = htonl(INADDR_ANY);
        } else if (adapterAddress.s_addr == htonl(INADDR_ANY)) {
            // An adapter without an address has nothing else to bind: a
            // socket on the any-address of every interface would broadcast
            // wherever the routing table points.
            const int code = errno;
            DebugPrint("CUDPSocket::Open() FAIL SO_BINDTODEVICE(%s) (%s)", name.constData(), std::strerror(code));
            errno = code;
            return Fail(fd, error);
        } else if (!g_loggedBindFallback) {
            g_loggedBindFallback = true;
            DebugPrint("CUDPSocket::Open() SO_BINDTODEVICE(%s) refused (%s), binding the adapter address: "
                       "broadcast answers will not arrive",
                       name.constData(), std::strerror(errno));
        }
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr = bindAddress;
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0)
        return Fail(fd, error);
    return fd;
}

// Datagrams read per system call, and the most a socket keeps read but not
// yet handed to its callback (beyond that the kernel's buffer holds them).
constexpr int kBatch = 16;
constexpr size_t kMaxQueued = 65536;
constexpr size_t kMaxDatagram = 65536;

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
    bool boundToDevice = false;
    error_.clear();
    const int fd = CreateNativeSocket(interfaceName, address, port, boundToDevice, error_);
    if (fd < 0)
        return false;

    sockaddr_in bound{};
    socklen_t boundLength = sizeof bound;
    uint16_t boundPort = port;
    QString boundIp = address;
    if (::getsockname(fd, reinterpret_cast<sockaddr *>(&bound), &boundLength) == 0) {
        boundPort = ntohs(bound.sin_port);
        // Bound to the any-address on a device, the socket still stands for
        // its adapter's address; only a plain bind reports its own.
        if (!boundToDevice) {
            char text[INET_ADDRSTRLEN] = {};
            inet_ntop(AF_INET, &bound.sin_addr, text, sizeof text);
            boundIp = QString::fromLatin1(text);
        }
    }

    fd_ = fd;
    notifier_ = std::make_unique<QSocketNotifier>(qintptr(fd), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { OnReadable(); });
    DebugPrint("WSAAsyncSelect() OK");
    g_openSockets.push_back(this);
    // Empty stands for "any address"; an adapter without an address keeps
    // the "0.0.0.0" it was opened with.
    ip_ = address.isEmpty() && boundIp == QLatin1String("0.0.0.0") ? QString() : boundIp;
    port_ = boundPort;
    boundToDevice_ = boundToDevice;
    return true;
}

void CUDPSocket::Close()
{
    if (fd_ < 0)
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
    ::close(fd_);
    fd_ = -1;
    queue_.clear();
    port_ = 0;
    boundToDevice_ = false;
    dispatchPending_ = false;
}

bool CUDPSocket::IsOpen() const
{
    return fd_ >= 0;
}

bool CUDPSocket::SendTo(const QByteArray &data, uint16_t port, const QString &address)
{
    if (fd_ < 0)
        return false;
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    if (inet_pton(AF_INET, address.toLatin1().constData(), &target.sin_addr) != 1)
        return false;
    const ssize_t sent = ::sendto(fd_, data.constData(), size_t(data.size()), MSG_DONTWAIT,
                                  reinterpret_cast<const sockaddr *>(&target), sizeof target);
    return sent == data.size();
}

int CUDPSocket::Recv(ReceivedDatagram &out)
{
    if (fd_ < 0)
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
    if (fd_ < 0)
        return false;
    if (!queue_.empty())
        return true;
    char byte = 0;
    return ::recv(fd_, &byte, 0, MSG_PEEK | MSG_DONTWAIT) >= 0;
}

void CUDPSocket::SetReadyCallback(std::function<void()> callback)
{
    callback_ = std::move(callback);
}

void CUDPSocket::Pull()
{
    // One batch area for every socket: only the GUI thread reads.
    static std::vector<char> area(size_t(kBatch) * kMaxDatagram);
    while (fd_ >= 0 && queue_.size() < kMaxQueued) {
        mmsghdr messages[kBatch] = {};
        iovec parts[kBatch];
        sockaddr_in senders[kBatch];
        for (int i = 0; i < kBatch; ++i) {
            parts[i] = {area.data() + size_t(i) * kMaxDatagram, kMaxDatagram};
            messages[i].msg_hdr.msg_iov = &parts[i];
            messages[i].msg_hdr.msg_iovlen = 1;
            messages[i].msg_hdr.msg_name = &senders[i];
            messages[i].msg_hdr.msg_namelen = sizeof senders[i];
        }
        const int count = ::recvmmsg(fd_, messages, kBatch, MSG_DONTWAIT, nullptr);
        if (count <= 0)
            return; // nothing more waiting (or an error the next read reports)
        for (int i = 0; i < count; ++i) {
            ReceivedDatagram &datagram = queue_.emplace_back();
            datagram.data = QByteArray(static_cast<const char *>(parts[i].iov_base), qsizetype(messages[i].msg_len));
            char text[INET_ADDRSTRLEN] = {};
            inet_ntop(AF_INET, &senders[i].sin_addr, text, sizeof text);
            datagram.senderAddress = QString::fromLatin1(text);
            datagram.senderPort = ntohs(senders[i].sin_port);
        }
        if (count < kBatch)
            return;
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
            socket->ScheduleDispatch();
    }
}

void CUDPSocket::ScheduleDispatch()
{
    if (dispatchPending_ || !notifier_)
        return;
    dispatchPending_ = true;
    QTimer::singleShot(0, notifier_.get(), [this, alive = std::weak_ptr<bool>(alive_)] {
        if (alive.expired())
            return;
        dispatchPending_ = false;
        Dispatch();
    });
}

void CUDPSocket::OnReadable()
{
    PullAll();
    Dispatch();
}

void CUDPSocket::Dispatch()
{
    const std::weak_ptr<bool> alive = alive_;
    int handed = 0;
    while (fd_ >= 0 && callback_ && !queue_.empty()) {
        if (DebugLogIsOn()) { // the MAC text is not made for every datagram of a burst
            DebugPrint("CUDPSocket::OnUMSocket(%s) %x %x", qPrintable(MacText(Mac())), unsigned(fd_), kReadEvent);
            DebugPrint("CUDPSocket::WndProc()aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa "
                       "%d, %d, %d, %d",
                       UM_SOCKET_NOTIFY, UM_SOCKET_NOTIFY, fd_, kReadEvent);
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
