#include "protocol/cudpsocket.h"

#include "app/debug.h"
#include "wizard/core/appmessage.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QUdpSocket>

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

    auto socket = std::make_unique<QUdpSocket>();
    if (!socket->setSocketDescriptor(fd, QAbstractSocket::BoundState, QIODevice::ReadWrite)) {
        DebugPrint("WSAAsyncSelect() failed.");
        error_ = socket->errorString();
        ::close(fd);
        return false;
    }
    DebugPrint("WSAAsyncSelect() OK");
    QObject::connect(socket.get(), &QUdpSocket::readyRead, socket.get(), [this] { OnReadyRead(); });
    socket_ = std::move(socket);
    // Empty stands for "any address"; an adapter without an address keeps
    // the "0.0.0.0" it was opened with.
    ip_ = address.isEmpty() && boundIp == QLatin1String("0.0.0.0") ? QString() : boundIp;
    buffer_.resize(65536);
    port_ = boundPort;
    boundToDevice_ = boundToDevice;
    return true;
}

void CUDPSocket::Close()
{
    if (!socket_)
        return;
    socket_->disconnect();
    socket_->close();
    if (inCallback_) {
        // Closed or destroyed from inside its own notification: the
        // QUdpSocket is still emitting, so it goes once control is back in
        // the event loop.
        socket_.release()->deleteLater();
    } else {
        socket_.reset();
    }
    port_ = 0;
    boundToDevice_ = false;
}

bool CUDPSocket::IsOpen() const
{
    return socket_ != nullptr;
}

bool CUDPSocket::SendTo(const QByteArray &data, uint16_t port, const QString &address)
{
    if (!socket_)
        return false;
    const QHostAddress target(address);
    if (target.isNull())
        return false;
    return socket_->writeDatagram(data, target, port) == data.size();
}

int CUDPSocket::Recv(ReceivedDatagram &out)
{
    if (!socket_)
        return 0;
    try {
        if (!socket_->hasPendingDatagrams())
            return -1;
        // Into the buffer kept for the socket's life: a burst of answers
        // costs no allocation beyond each datagram's own bytes.
        QHostAddress sender;
        quint16 senderPort = 0;
        const qint64 count = socket_->readDatagram(buffer_.data(), qint64(buffer_.size()), &sender, &senderPort);
        ++reads_;
        if (count < 0)
            return -1;
        out.data = QByteArray(buffer_.data(), qsizetype(count));
        bool ok = false;
        const quint32 v4 = sender.toIPv4Address(&ok);
        out.senderAddress = ok ? QHostAddress(v4).toString() : sender.toString();
        out.senderPort = senderPort;
        return static_cast<int>(count);
    } catch (...) {
        DebugPrint("CUDPSocket::Recv() exception");
        return -1;
    }
}

bool CUDPSocket::HasPendingDatagram() const
{
    return socket_ && socket_->hasPendingDatagrams();
}

void CUDPSocket::SetReadyCallback(std::function<void()> callback)
{
    callback_ = std::move(callback);
}

void CUDPSocket::OnReadyRead()
{
    const std::weak_ptr<bool> alive = alive_;
    while (socket_ && callback_ && socket_->hasPendingDatagrams()) {
        if (DebugLogIsOn()) { // the MAC text is not made for every datagram of a burst
            const intptr_t handle = socket_->socketDescriptor();
            DebugPrint("CUDPSocket::OnUMSocket(%s) %x %x", qPrintable(MacText(Mac())), unsigned(handle),
                       kReadEvent);
            DebugPrint("CUDPSocket::WndProc()aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa "
                       "%d, %d, %d, %d",
                       UM_SOCKET_NOTIFY, UM_SOCKET_NOTIFY, int(handle), kReadEvent);
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
    }
}

std::unique_ptr<DatagramSocket> CUDPSocketFactory::Create()
{
    return std::make_unique<CUDPSocket>();
}
