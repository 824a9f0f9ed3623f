#pragma once
// Adapter seam: the list of local network adapters with their IPv4
// addresses, from which the engine opens one socket per adapter and picks
// its own MAC. The product reads the operating system's list (SystemAdapterSource);
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
    MacAddress mac{};
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

// One interface of the machine as the operating system reports it, usable
// or not: what the adapter list is chosen from and what wizardctl explains
// when nothing answered.
struct InterfaceFacts
{
    QString name;
    bool up = false;
    bool running = false; // carrier
    bool broadcast = false;
    bool loopback = false;
    std::vector<QString> ipv4; // dotted, in the platform's order
};

// Every interface of the machine, in interface index order.
std::vector<InterfaceFacts> ListInterfaces();

// Why an interface is never used ("down", "loopback", "no carrier", "no
// broadcast"), or an empty text for an interface that gets a socket.
QString SkipReason(const InterfaceFacts &facts);

// The operating system's adapters: every interface that SkipReason lets
// through (up, carrier, broadcast, not a loopback), in the system's order,
// with its IPv4 entries and gateways.
// Linux (iphelp_linux.cpp): QNetworkInterface in interface index order; an
// adapter with no IPv4 address at all comes with an empty address list (a
// cable straight to a device, no DHCP answer); gateways from the kernel's
// routing table where it can be read.
// Windows (iphelp_win.cpp): GetAdaptersAddresses; tunnels and point-to-point
// links count as "no broadcast", a link without connection as "no carrier";
// an adapter without an IPv4 address cannot be bound there and is left out
// (Windows gives an unconfigured link an automatic 169.254 address).
class SystemAdapterSource : public AdapterSource
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
                     MacAddress &mac);
