#pragma once
// The product's UDP socket for one adapter, on QUdpSocket. On Linux a socket
// bound to a unicast address never sees broadcasts, and a device on another
// subnet can only answer by broadcast, so the socket is made natively with
// SO_REUSEADDR, SO_BROADCAST and SO_BINDTODEVICE (the adapter's interface
// name), bound to 0.0.0.0:port and handed to QUdpSocket. It then receives
// unicast and broadcast answers arriving through that adapter, and its own
// broadcasts leave through it. Where the kernel refuses SO_BINDTODEVICE the
// socket binds the adapter address instead (unicast answers only) and says
// so once in the log. An adapter without an IPv4 address gets the same
// interface-bound socket with the ip text "0.0.0.0"; it has no fall-back.
// Every socket asks for a 4 MiB receive buffer, so that a burst of answers
// waits in the kernel while the GUI thread drains it.

#include "protocol/datagramsocket.h"

#include <memory>
#include <vector>

class QUdpSocket;

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
    void OnReadyRead();

    std::unique_ptr<QUdpSocket> socket_;
    std::function<void()> callback_;
    QString ip_;
    QString error_;
    std::vector<char> buffer_; // one datagram, read in place
    uint16_t port_ = 0;
    bool boundToDevice_ = false;
    bool inCallback_ = false;
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
