#include "protocol/nativeudp.h"

#include "app/debug.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace NativeUdp {

namespace {

bool g_loggedBindFallback = false;
bool g_loggedReceiveBuffer = false;

// Datagrams read per system call.
constexpr int kBatch = 16;
constexpr size_t kMaxDatagram = 65536;

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
        DebugPrint("CUDPSocket::Open() receive buffer %d bytes granted of %d asked (net.core.rmem_max)",
                   granted, wanted);
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

// Closes `fd` keeping the failure's text.
OpenedSocket Fail(int fd, QString &error)
{
    error = QString::fromLocal8Bit(std::strerror(errno));
    if (fd >= 0)
        ::close(fd);
    return {};
}

} // namespace

OpenedSocket Open(const QString &interfaceName, const QString &address, uint16_t port, QString &error)
{
    in_addr adapterAddress{};
    if (!ParseIPv4(address, adapterAddress)) {
        DebugPrint("CUDPSocket::Open() FAIL address %s", qPrintable(address));
        error = QStringLiteral("not an IPv4 address: ") + address;
        return {};
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

    OpenedSocket opened;
    in_addr bindAddress = adapterAddress;
    if (!interfaceName.isEmpty()) {
        const QByteArray name = interfaceName.toLocal8Bit();
        if (::setsockopt(fd, SOL_SOCKET, SO_BINDTODEVICE, name.constData(), socklen_t(name.size())) == 0) {
            opened.boundToDevice = true;
            bindAddress.s_addr = htonl(INADDR_ANY);
        } else if (adapterAddress.s_addr == htonl(INADDR_ANY)) {
            // An adapter without an address has nothing else to bind: a
            // socket on the any-address of every interface would broadcast
            // wherever the routing table points.
            const int code = errno;
            DebugPrint("CUDPSocket::Open() FAIL SO_BINDTODEVICE(%s) (%s)", name.constData(),
                       std::strerror(code));
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

    opened.handle = fd;
    opened.boundPort = port;
    opened.boundIp = address;
    sockaddr_in bound{};
    socklen_t boundLength = sizeof bound;
    if (::getsockname(fd, reinterpret_cast<sockaddr *>(&bound), &boundLength) == 0) {
        opened.boundPort = ntohs(bound.sin_port);
        // Bound to the any-address on a device, the socket still stands for
        // its adapter's address; only a plain bind reports its own.
        if (!opened.boundToDevice) {
            char text[INET_ADDRSTRLEN] = {};
            inet_ntop(AF_INET, &bound.sin_addr, text, sizeof text);
            opened.boundIp = QString::fromLatin1(text);
        }
    }
    return opened;
}

void Close(Handle handle)
{
    if (handle >= 0)
        ::close(int(handle));
}

bool SendTo(Handle handle, const QByteArray &data, uint16_t port, const QString &address)
{
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    if (inet_pton(AF_INET, address.toLatin1().constData(), &target.sin_addr) != 1)
        return false;
    const ssize_t sent = ::sendto(int(handle), data.constData(), size_t(data.size()), MSG_DONTWAIT,
                                  reinterpret_cast<const sockaddr *>(&target), sizeof target);
    return sent == data.size();
}

bool HasPending(Handle handle)
{
    char byte = 0;
    return ::recv(int(handle), &byte, 0, MSG_PEEK | MSG_DONTWAIT) >= 0;
}

int Read(Handle handle, std::deque<ReceivedDatagram> &queue, int most)
{
    // One batch area for every socket: only the GUI thread reads.
    static std::vector<char> area(size_t(kBatch) * kMaxDatagram);
    int total = 0;
    while (total < most) {
        const int wanted = std::min(kBatch, most - total);
        mmsghdr messages[kBatch] = {};
        iovec parts[kBatch];
        sockaddr_in senders[kBatch];
        for (int i = 0; i < wanted; ++i) {
            parts[i] = {area.data() + size_t(i) * kMaxDatagram, kMaxDatagram};
            messages[i].msg_hdr.msg_iov = &parts[i];
            messages[i].msg_hdr.msg_iovlen = 1;
            messages[i].msg_hdr.msg_name = &senders[i];
            messages[i].msg_hdr.msg_namelen = sizeof senders[i];
        }
        const int count = ::recvmmsg(int(handle), messages, unsigned(wanted), MSG_DONTWAIT, nullptr);
        if (count <= 0)
            return total; // nothing more waiting (or an error the next read reports)
        for (int i = 0; i < count; ++i) {
            ReceivedDatagram &datagram = queue.emplace_back();
            datagram.data =
                QByteArray(static_cast<const char *>(parts[i].iov_base), qsizetype(messages[i].msg_len));
            char text[INET_ADDRSTRLEN] = {};
            inet_ntop(AF_INET, &senders[i].sin_addr, text, sizeof text);
            datagram.senderAddress = QString::fromLatin1(text);
            datagram.senderPort = ntohs(senders[i].sin_port);
        }
        total += count;
        if (count < wanted)
            return total;
    }
    return total;
}

} // namespace NativeUdp
