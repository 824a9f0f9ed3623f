#pragma once
// The product's UDP socket for one adapter, made by the system's calls in
// nativeudp_*. On Linux a socket bound to a unicast address never sees
// broadcasts, and a device on another subnet can only answer by broadcast,
// so the socket is made with SO_REUSEADDR, SO_BROADCAST and SO_BINDTODEVICE
// (the adapter's interface name) and bound to 0.0.0.0:port. It then
// receives unicast and broadcast answers arriving through that adapter, and
// its own broadcasts leave through it. Where the kernel refuses
// SO_BINDTODEVICE the socket binds the adapter address instead (unicast
// answers only) and says so once in the log. An adapter without an IPv4
// address gets the same interface-bound socket with the ip text "0.0.0.0";
// it has no fall-back. On Windows (Winsock 2) the socket is bound to the
// adapter's address, where Windows delivers broadcasts too.
//
// A thousand devices may answer one discovery at once. Every socket asks
// for a 4 MiB receive buffer, and a readiness notification (a
// QSocketNotifier on the GUI thread) takes every waiting datagram of every
// open socket out of the kernel in batches (recvmmsg on Linux) before handing them
// to the callbacks one by one, taking in again every few datagrams, so
// the kernel's buffers stay short also where it caps their size.

#include "protocol/datagramsocket.h"

#include <deque>
#include <memory>

class QSocketNotifier;

class CUDPSocket : public DatagramSocket
{
public:
    CUDPSocket();
    ~CUDPSocket() override;
    CUDPSocket(const CUDPSocket &) = delete;
    CUDPSocket &operator=(const CUDPSocket &) = delete;

    bool Open(const QString &interfaceName, const QString &address, uint16_t port) override;
    void Close() override;
    bool IsOpen() const override;
    bool SendTo(const QByteArray &data, uint16_t port, const QString &address) override;
    int Recv(ReceivedDatagram &out) override;
    bool HasPendingDatagram() const override;
    void SetReadyCallback(std::function<void()> callback) override;
    QString Address() const override { return ip_; }
    QString ErrorText() const override { return error_; }
    uint16_t Port() const override { return port_; }

    // Whether the open socket is tied to its interface (false: bound to the
    // adapter address after the kernel refused, or opened without a name).
    bool BoundToDevice() const { return boundToDevice_; }

private:
    void OnReadable();
    // Moves what the kernel holds for this socket into the queue.
    void Pull();
    // Pull for every open socket.
    void PullAll();
    // The read notification's window procedure: hands the queued datagrams
    // to the callback, one call each, each announced by the notification's
    // two log lines (OnUMSocket's and its own).
    void WndProc();
    void ScheduleWndProc();

    intptr_t fd_ = -1; // NativeUdp::Handle
    std::unique_ptr<QSocketNotifier> notifier_;
    std::deque<ReceivedDatagram> queue_; // read from the kernel, not yet handed over
    std::function<void()> callback_;
    QString ip_;
    QString error_;
    uint16_t port_ = 0;
    bool boundToDevice_ = false;
    bool inCallback_ = false;
    bool dispatchPending_ = false;
    uint64_t reads_ = 0;
    // Expires with the object, so a notification loop notices when the
    // callback destroyed the socket it was called for.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

class CUDPSocketFactory : public DatagramSocketFactory
{
public:
    std::unique_ptr<DatagramSocket> Create() override;
};
