#pragma once
// Transport seam of the protocol engine. The engine reaches the devices
// through one datagram socket per local adapter and never creates a socket
// itself: it asks the current DatagramSocketFactory. The product's factory
// makes CUDPSocket objects on real UDP sockets; tests install an in-process
// fake network instead, so no test ever touches a real interface.
//
// Everything runs on the GUI thread. A socket reports readiness through its
// callback, once per datagram waiting to be read; the callback is expected
// to read exactly one datagram with Recv (as the engine's UDPSocketRead
// does), and is called again while more remain.

#include "app/macaddress.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

// One datagram taken from a socket.
struct ReceivedDatagram
{
    QByteArray data;
    QString senderAddress; // dotted IPv4
    uint16_t senderPort = 0;
};

class DatagramSocket
{
public:
    virtual ~DatagramSocket() = default;

    // Opens a UDP socket for one adapter: broadcast enabled, bound to `port`
    // so that it receives the datagrams arriving through the adapter named
    // `interfaceName` (unicast to `address` and broadcasts alike), and so
    // that its broadcasts leave through that adapter. An empty `address`
    // means any address. Returns false when any step fails; the socket is
    // then closed. Opening an open socket closes it first.
    virtual bool Open(const QString &interfaceName, const QString &address, uint16_t port) = 0;

    // Stops notifications and closes the socket; harmless when closed.
    virtual void Close() = 0;

    virtual bool IsOpen() const = 0;

    // Sends one datagram to address:port. False when the socket is closed
    // or the send reports an error.
    virtual bool SendTo(const QByteArray &data, uint16_t port, const QString &address) = 0;

    // Reads one pending datagram into `out`. Returns its byte count, 0 when
    // the socket is closed, -1 on error or when nothing is waiting.
    virtual int Recv(ReceivedDatagram &out) = 0;

    // True while at least one datagram waits to be read.
    virtual bool HasPendingDatagram() const = 0;

    // The function called on the GUI thread for every datagram waiting to
    // be read (see the file comment). Replaces an earlier one; an empty
    // function stops the notifications.
    virtual void SetReadyCallback(std::function<void()> callback) = 0;

    // The local IPv4 address in dotted form that the socket stands for (the
    // adapter's address even when the socket itself listens on any address);
    // empty for any address. The engine reports it as LocalIP.
    virtual QString Address() const = 0;

    // The system's text for why the last Open failed; empty after a
    // successful one.
    virtual QString ErrorText() const { return {}; }

    // The local UDP port, 0 when closed.
    virtual uint16_t Port() const = 0;

    // The adapter this socket belongs to. Kept for the engine, which writes
    // the MAC into each copy of a request and reads the netmask into the
    // device records; the socket itself does not use them.
    const MacAddress &Mac() const { return mac_; }
    void SetMac(const MacAddress &mac) { mac_ = mac; }
    const QString &Netmask() const { return netmask_; }
    void SetNetmask(const QString &netmask) { netmask_ = netmask; }

private:
    MacAddress mac_{};
    QString netmask_;
};

class DatagramSocketFactory
{
public:
    virtual ~DatagramSocketFactory() = default;

    // A new, closed socket.
    virtual std::unique_ptr<DatagramSocket> Create() = 0;

    // The factory in use: the real one unless a test installed another.
    static DatagramSocketFactory &Current();

    // Installs `factory` (not owned; it must outlive its use), or restores
    // the real factory with nullptr.
    static void SetCurrent(DatagramSocketFactory *factory);
};
