#pragma once
// The simulated devices on real sockets: one socket per interface of the
// namespace (and per extra port a device names at login), every datagram
// handed to the devices attached to that interface, their answers sent
// back out of the same interface after their delays, by broadcast to
// 255.255.255.255:5433 or unicast to the sender. The state file is
// rewritten after every change.

#include "simoptions.h"

#include <QObject>
#include <memory>
#include <vector>

class DatagramSocket;

class SimHost : public QObject
{
public:
    explicit SimHost(SimHostOptions options);
    ~SimHost() override;

    // Opens the sockets; false when none could be opened.
    bool Start(QString &error);

private:
    struct Listener
    {
        QString interfaceName;
        std::unique_ptr<DatagramSocket> socket;
    };

    void OnReadable(Listener *listener);
    void Send(Listener *listener, size_t deviceIndex, const SimOutput &output, const QString &toAddress,
              uint16_t toPort);
    void DumpState();

    SimHostOptions options_;
    std::vector<SimDevice> devices_;
    std::vector<std::unique_ptr<Listener>> listeners_;
    std::vector<uint64_t> dumpedRevisions_;
};
