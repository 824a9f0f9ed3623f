#pragma once
// The system's UDP socket calls behind CUDPSocket, one implementation per
// system. CUDPSocket keeps what is the same everywhere (the queue of read
// datagrams, the readiness notifier, handing datagrams to the engine); this
// unit makes, reads and closes the socket itself.
//
// Linux: SO_BINDTODEVICE on the any-address, so a socket sees the unicast
// and broadcast answers of its interface, with the adapter address as
// fall-back; batched reads with recvmmsg.
// Windows (Winsock 2): bound to the adapter's address, to which Windows
// delivers broadcast answers too; an unconfigured link has an automatic
// 169.254 address there, so every adapter has one to bind.

#include "protocol/datagramsocket.h"

#include <QString>
#include <cstdint>
#include <deque>

namespace NativeUdp {

using Handle = intptr_t; // a descriptor, or a SOCKET on Windows
inline constexpr Handle kNoSocket = -1;

// A burst of answers (a thousand devices answering one discovery at once)
// must fit while the GUI thread is busy elsewhere.
inline constexpr int kReceiveBufferBytes = 4 * 1024 * 1024;

struct OpenedSocket
{
    Handle handle = kNoSocket;
    bool boundToDevice = false; // tied to its interface (Linux only)
    QString boundIp;            // the bound address in dotted form
    uint16_t boundPort = 0;
};

// Creates a non-blocking UDP socket with the broadcast option and a receive
// buffer of kReceiveBufferBytes for the adapter `interfaceName` with
// `address` (empty: any address) and binds it to `port`. On failure the
// handle is kNoSocket and `error` holds the system's text.
OpenedSocket Open(const QString &interfaceName, const QString &address, uint16_t port, QString &error);

void Close(Handle handle);

// One datagram to address:port; false when the send reports an error.
bool SendTo(Handle handle, const QByteArray &data, uint16_t port, const QString &address);

// True while at least one datagram waits in the system.
bool HasPending(Handle handle);

// Appends up to `most` waiting datagrams to `queue` without blocking and
// returns how many; fewer than `most` means nothing more was waiting.
int Read(Handle handle, std::deque<ReceivedDatagram> &queue, int most);

} // namespace NativeUdp
