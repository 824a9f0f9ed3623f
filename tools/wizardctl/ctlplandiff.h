#pragma once
// What `apply` would change on a device: the plan entry's records set
// against the configuration the device reported, each difference as a
// "from -> to" change (keys and passphrases only as "changed"), and why an
// entry's wireless settings cannot be written to that device. Keys and
// passphrases are never reported by a device, so the wireless settings
// count as unchanged when every field the device reports matches.

#include "ctlplan.h"

struct Change
{
    QString key; // "ip.ip", "wireless.passphrase", ...
    QString from, to;
    bool secret = false; // a key or passphrase: shown only as "changed"
};
QString ChangeText(const Change &change);

std::vector<Change> ModeChanges(int from, int to);
// Empty when `current` already holds `wanted`.
std::vector<Change> IpChanges(const IpConfigRecord &current, const IpConfigRecord &wanted);
std::vector<Change> WirelessChanges(const WlConfigRecord &current, const WlConfigRecord &wanted);

// The IP settings to write for `ip`: the device's current ones with the
// mode and, for a static address, the address, mask and gateway.
IpConfigRecord NextIp(const PlanIp &ip, IpConfigRecord current);

// Why an entry's wireless settings cannot be written to a device working
// (after the plan's mode change, if any) in `mode`, whose reported settings
// are `current`; empty when they can. `modeChanges`: the device will report
// another profile after the change, so it cannot be compared beforehand.
std::optional<PlanRemark> WirelessFault(const PlanEntry &entry, int mode, const WlConfigRecord &current,
                                        bool modeChanges);
