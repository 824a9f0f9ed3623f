#pragma once
// Adapter seam: the list of local network adapters with their IPv4
// addresses, from which the engine opens one socket per adapter and picks
// its own MAC. The product reads the operating system's list (QtAdapterSource);
// tests install fixed lists.

#include "protocol/datagramsocket.h"

#include <QString>
#include <optional>
#include <vector>

struct AdapterAddress
{
    QString ip;      // dotted IPv4; "0.0.0.0" entries are skipped by the users
    QString netmask; // dotted IPv4
};

struct AdapterEntry
{
    QString name;        // the interface name the socket binds to ("eth0")
    QString description; // shown in the log
    MacBytes mac{};
    std::vector<AdapterAddress> addresses; // in the platform's order
    std::vector<QString> gateways;         // dotted IPv4, possibly empty
};

using AdapterList = std::vector<AdapterEntry>;

class AdapterSource
{
public:
    virtual ~AdapterSource() = default;

    // The adapters in a stable order, or no list when the platform cannot
    // give one. Asked anew for every use.
    virtual std::optional<AdapterList> GetAdapters() = 0;

    // The source in use: the operating system's unless a test installed one.
    static AdapterSource &Current();

    // Installs `source` (not owned), or restores the real one with nullptr.
    static void SetCurrent(AdapterSource *source);
};

// The operating system's adapters through QNetworkInterface: every
// interface that is up, can broadcast and is not a loopback, in interface
// index order, with its IPv4 entries; gateways from the kernel's routing
// table where it can be read.
class QtAdapterSource : public AdapterSource
{
public:
    std::optional<AdapterList> GetAdapters() override;
};

// Finds a local adapter address. Walks the adapters and their addresses in
// order, skipping 0.0.0.0. With `address` empty it takes the first address:
// sets address, netmask, the adapter's first gateway (empty if none) and
// MAC, and returns true. With an address given it fills netmask, gateway
// and MAC of the adapter holding exactly that address and returns true.
// With no match it fills netmask and gateway of the first address (if any)
// and returns false; `mac` is then left alone.
bool GetLocalAdapter(const AdapterList &adapters, QString &address, QString &netmask, QString &gateway,
                     MacBytes &mac);
