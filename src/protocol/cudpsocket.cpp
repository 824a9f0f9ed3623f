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

bool ParseIPv4(const QString &text, in_addr &out)
{
    if (text.isEmpty()) {
        out.s_addr = htonl(INADDR_ANY);
        return true;
    }
    return inet_pton(AF_INET, text.toLatin1().constData(), &out) == 1;
}

// Creates the native socket: options, device binding, bind. Returns the
// descriptor or -1; `boundToDevice` tells which binding was used.
int CreateNativeSocket(const QString &interfaceName, const QString &address, uint16_t port, bool &boundToDevice)
{
    boundToDevice = false;
    in_addr adapterAddress{};
    if (!ParseIPv4(address, adapterAddress)) {
        DebugPrint("CUDPSocket::Open() FAIL address %s", qPrintable(address));
        return -1;
    }
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_UDP);
    if (fd < 0)
        return -1;
    const int one = 1;
    if (::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof one) != 0) {
        ::close(fd);
        return -1;
    }
    // Several sockets (and copies of the program in other namespaces) share
    // port 5433 on the any-address, one per interface.
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);

    in_addr bindAddress = adapterAddress;
    if (!interfaceName.isEmpty()) {
        const QByteArray name = interfaceName.toLocal8Bit();
        if (::setsockopt(fd, SOL_SOCKET, SO_BINDTODEVICE, name.constData(), socklen_t(name.size())) == 0) {
            boundToDevice = true;
            bindAddress.s_addr = htonl(INADDR_ANY);
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
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0) {
        ::close(fd);
        return -1;
    }
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
    const int fd = CreateNativeSocket(interfaceName, address, port, boundToDevice);
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
        ::close(fd);
        return false;
    }
    DebugPrint("WSAAsyncSelect() OK");
    QObject::connect(socket.get(), &QUdpSocket::readyRead, socket.get(), [this] { OnReadyRead(); });
    socket_ = std::move(socket);
    ip_ = boundIp == QLatin1String("0.0.0.0") ? QString() : boundIp;
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
        QNetworkDatagram datagram = socket_->receiveDatagram(65536);
        ++reads_;
        if (!datagram.isValid())
            return -1;
        out.data = datagram.data();
        const QHostAddress sender = datagram.senderAddress();
        bool ok = false;
        const quint32 v4 = sender.toIPv4Address(&ok);
        out.senderAddress = ok ? QHostAddress(v4).toString() : sender.toString();
        out.senderPort = static_cast<uint16_t>(datagram.senderPort());
        return static_cast<int>(out.data.size());
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
        const intptr_t handle = socket_->socketDescriptor();
        DebugPrint("CUDPSocket::OnUMSocket(%s) %x %x", qPrintable(MacText(Mac())), unsigned(handle), kReadEvent);
        DebugPrint("CUDPSocket::WndProc()aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa "
                   "%d, %d, %d, %d",
                   UM_SOCKET_NOTIFY, UM_SOCKET_NOTIFY, int(handle), kReadEvent);
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
