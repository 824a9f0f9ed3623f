#pragma once
// A simulated device: the device's side of the UDP protocol as the wizard
// relies on it, with a configuration that a read-back shows after every
// accepted write. It is pure logic: a datagram that reached the device goes
// in, the datagrams to send back come out, each with a delay; sockets and
// timers belong to the host (the devicesim tool on real sockets in the
// network lab, or the in-process fake network of the tests). The same
// object can play an access point or a bridge, answer WPS with a scripted
// stream of status events, report a site survey, and misbehave on purpose
// (lost, late or doubled answers, refused logins).

#include "protocol/protocolcodec.h"
#include "simconfig.h"
#include "simrules.h"

#include <QByteArray>
#include <QJsonObject>
#include <cstdint>
#include <map>
#include <vector>

// One datagram the device sends.
struct SimOutput
{
    QByteArray datagram;
    int delayMs = 0;
    bool endsLogin = false; // a connection-timeout event: the host calls EndLogin when sending it
    uint64_t loginGeneration = 0;
};

class SimDevice
{
public:
    explicit SimDevice(SimDeviceConfig config);

    // Handles one datagram that reached the device; returns what to send
    // back (to the requester: by broadcast or unicast as the host decides).
    // Datagrams that are not requests for this device give nothing.
    std::vector<SimOutput> Handle(const QByteArray &datagram);

    // Ends the login if it is still the one of `generation`.
    void EndLogin(uint64_t generation);

    const SimDeviceConfig &Config() const { return config_; }
    bool LoggedIn() const { return loggedIn_; }
    // Requests seen per kind (answered or not).
    const std::map<SimKind, int> &Requests() const { return requests_; }
    // Number of state changes so far; a host dumps the state when it moves.
    uint64_t Revision() const { return revision_; }

    // The current state as JSON (for the state file of end-to-end tests).
    QJsonObject StateJson() const;

private:
    // The answer sealed with the device's password, unless a fault takes it;
    // doubled when the device answers twice.
    std::vector<SimOutput> Send(SimKind kind, Protocol::Answer answer);
    std::vector<SimOutput> Result(SimKind kind, uint8_t command, bool ok);
    std::vector<SimOutput> HandleLogin(const QByteArray &payload);
    std::vector<SimOutput> HandleLoggedIn(uint8_t command, const QByteArray &payload);
    std::vector<SimOutput> HandleGetConfig(const QByteArray &payload);
    std::vector<SimOutput> HandleSetConfig(const QByteArray &payload);
    std::vector<SimOutput> SetMode(uint8_t mode);
    std::vector<SimOutput> SetIp(const std::vector<SimElement> &elements);
    std::vector<SimOutput> WpsPin(const QByteArray &pin);
    std::vector<SimOutput> HandleStationSet(const QByteArray &payload);
    void AppendWpsEvents(std::vector<SimOutput> &out);
    QByteArray Sealed(Protocol::Answer answer) const;
    Protocol::ConfigAnswer ConfigFields() const;
    void Changed() { ++revision_; }

    SimDeviceConfig config_;
    bool loggedIn_ = false;
    bool silent_ = false; // gone quiet after a request of config_.silentFrom
    uint64_t loginGeneration_ = 0;
    std::map<SimKind, int> requests_;
    std::map<SimKind, int> dropped_;
    uint64_t revision_ = 0;
    QByteArray lastWpsPin_; // the PIN or network name of the last WPS PIN request
    int wpsRuns_ = 0;
};
