#include "protocol/nativeudp.h"

#include "app/debug.h"

#include <winsock2.h>
// winsock2.h first: it must come before windows.h, which the others include.
#include <mstcpip.h>
#include <mswsock.h>
#include <ws2tcpip.h>

namespace NativeUdp {

namespace {

bool g_loggedReceiveBuffer = false;
constexpr int kMaxDatagram = 65536;

// Winsock is started once for the process and cleaned up at its end.
struct WinsockSession
{
    bool started = false;
    WinsockSession()
    {
        WSADATA data{};
        started = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
        if (!started)
            DebugPrint("CUDPSocket::Open() FAIL WSAStartup()");
    }
    ~WinsockSession()
    {
        if (started)
            ::WSACleanup();
    }
};

bool WinsockStarted()
{
    static WinsockSession session;
    return session.started;
}

QString SystemText(int code)
{
    wchar_t *text = nullptr;
    const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                         FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, DWORD(code), 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    QString result = n && text ? QString::fromWCharArray(text, int(n)).trimmed() : QString();
    if (text)
        ::LocalFree(text);
    return QStringLiteral("%1 (WSA error %2)")
        .arg(result.isEmpty() ? QStringLiteral("socket error") : result)
        .arg(code);
}

OpenedSocket Fail(SOCKET s, QString &error)
{
    error = SystemText(::WSAGetLastError());
    if (s != INVALID_SOCKET)
        ::closesocket(s);
    return {};
}

bool ParseIPv4(const QString &text, in_addr &out)
{
    if (text.isEmpty()) {
        out.s_addr = htonl(INADDR_ANY);
        return true;
    }
    return ::inet_pton(AF_INET, text.toLatin1().constData(), &out) == 1;
}

QString DottedText(const in_addr &address)
{
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address, text, sizeof text);
    return QString::fromLatin1(text);
}

void EnlargeReceiveBuffer(SOCKET s)
{
    const int wanted = kReceiveBufferBytes;
    ::setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char *>(&wanted), sizeof wanted);
    int granted = 0;
    int length = sizeof granted;
    if (::getsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<char *>(&granted), &length) != 0)
        return;
    if (granted < wanted && !g_loggedReceiveBuffer) {
        g_loggedReceiveBuffer = true;
        DebugPrint("CUDPSocket::Open() receive buffer %d bytes granted of %d asked", granted, wanted);
    }
}

} // namespace

OpenedSocket Open(const QString &, const QString &address, uint16_t port, QString &error)
{
    if (!WinsockStarted()) {
        error = QStringLiteral("Winsock could not be started");
        return {};
    }
    in_addr adapterAddress{};
    if (!ParseIPv4(address, adapterAddress)) {
        DebugPrint("CUDPSocket::Open() FAIL address %s", qPrintable(address));
        error = QStringLiteral("not an IPv4 address: ") + address;
        return {};
    }
    const SOCKET s = ::WSASocketW(AF_INET, SOCK_DGRAM, IPPROTO_UDP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    if (s == INVALID_SOCKET)
        return Fail(s, error);
    const BOOL one = TRUE;
    if (::setsockopt(s, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char *>(&one), sizeof one) != 0)
        return Fail(s, error);
    EnlargeReceiveBuffer(s);
    // An ICMP "port unreachable" for an earlier send would otherwise fail
    // the next read with WSAECONNRESET.
    BOOL reportReset = FALSE;
    DWORD returned = 0;
    ::WSAIoctl(s, SIO_UDP_CONNRESET, &reportReset, sizeof reportReset, nullptr, 0, &returned, nullptr,
               nullptr);
    u_long nonBlocking = 1;
    if (::ioctlsocket(s, FIONBIO, &nonBlocking) != 0)
        return Fail(s, error);

    // The adapter's own address: Windows hands such a socket the broadcasts
    // arriving on that adapter as well, and its broadcasts leave there.
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr = adapterAddress;
    if (::bind(s, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0)
        return Fail(s, error);

    OpenedSocket opened;
    opened.handle = Handle(s);
    opened.boundIp = address;
    opened.boundPort = port;
    sockaddr_in bound{};
    int boundLength = sizeof bound;
    if (::getsockname(s, reinterpret_cast<sockaddr *>(&bound), &boundLength) == 0) {
        opened.boundIp = DottedText(bound.sin_addr);
        opened.boundPort = ntohs(bound.sin_port);
    }
    return opened;
}

void Close(Handle handle)
{
    if (handle != kNoSocket)
        ::closesocket(SOCKET(handle));
}

bool SendTo(Handle handle, const QByteArray &data, uint16_t port, const QString &address)
{
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    if (::inet_pton(AF_INET, address.toLatin1().constData(), &target.sin_addr) != 1)
        return false;
    const int sent = ::sendto(SOCKET(handle), data.constData(), int(data.size()), 0,
                              reinterpret_cast<const sockaddr *>(&target), sizeof target);
    return sent == data.size();
}

bool HasPending(Handle handle)
{
    char byte = 0;
    // A datagram longer than the byte peeked reports WSAEMSGSIZE: it waits all the same.
    return ::recv(SOCKET(handle), &byte, 1, MSG_PEEK) >= 0 || ::WSAGetLastError() == WSAEMSGSIZE;
}

int Read(Handle handle, std::deque<ReceivedDatagram> &queue, int most)
{
    static QByteArray area(kMaxDatagram, Qt::Uninitialized);
    int count = 0;
    while (count < most) {
        sockaddr_in sender{};
        int senderLength = sizeof sender;
        const int n = ::recvfrom(SOCKET(handle), area.data(), int(area.size()), 0,
                                 reinterpret_cast<sockaddr *>(&sender), &senderLength);
        if (n < 0)
            return count; // WSAEWOULDBLOCK: nothing more waiting
        ReceivedDatagram &datagram = queue.emplace_back();
        datagram.data = QByteArray(area.constData(), n);
        datagram.senderAddress = DottedText(sender.sin_addr);
        datagram.senderPort = ntohs(sender.sin_port);
        ++count;
    }
    return count;
}

} // namespace NativeUdp
