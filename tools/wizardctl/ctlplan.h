#pragma once
// What `wizardctl apply` is told to make of each device, and the pieces it
// shares with the set-* commands: the static-address check with the IP
// page's corrections, and the wireless record to write. A plan is a JSON
// document, one entry object or an array of them; the object `show --json`
// prints is an entry. Everything here is pure: the text of the plan and the
// configuration a device reported in, faults and records out. Keys and
// passphrases are never reported by a device, so the wireless settings
// count as unchanged when every field the device reports matches.

#include "app/records.h"
#include "app/settingkeys.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// ----- shared with set-ip and set-wireless -----

// A static address as typed, after the IP page's broadcast correction and
// mask proposal, with the first rule it breaks (nullptr: valid).
struct StaticAddress
{
    enum class Field { Ip, Mask, Gateway };
    IpConfigRecord record{}; // IpMode static with the address, mask and gateway
    QString ipText, maskText;
    bool corrected = false; // x.x.x.255 became x.x.x.254
    bool proposed = false;  // no mask given: the class's mask
    const TextKey *fault = nullptr;
    Field field = Field::Ip; // where the fault is
};
StaticAddress CheckStatic(const QString &ip, const QString &mask, bool hasMask, const QString &gateway,
                          const QStringList &localAddresses);

// The wireless settings asked for, by the options of set-wireless or by a
// plan entry.
struct WirelessWanted
{
    QByteArray ssid{};
    int wirelessMode = WLMODE_BGN; // the profile pages' default
    int security = SECMODE_NONE;
    int wepLength = WEPKEYLEN_64;
    QString key{}; // WEP
    int auth = -1; // -1: Auto on an access point, Open on a bridge
    int wpaMode = WPAMODE_AUTO;
    QString passphrase{};
    bool hasSecret = false; // the key or passphrase of `security` is given
};
// The record to write: the device's `current` one with the network, mode
// and security asked for (the channel left to the device).
WlConfigRecord NextWireless(const WirelessWanted &w, WlConfigRecord current, bool ap);

// The bytes of a hex text (blanks and colons allowed between pairs);
// nullopt when it is not pairs of hex digits.
std::optional<QByteArray> BytesFromHex(const QString &hex);

// ----- the plan -----

// A fault or a note at a line of the plan, for the key it concerns
// ("wireless.passphrase").
struct PlanRemark
{
    int line = 0;
    QString key;
    QString text;
};
// "plan.json:14: wireless.passphrase: text"
QString RemarkText(const QString &file, const PlanRemark &remark);

struct PlanIp
{
    bool dhcp = false;
    IpConfigRecord record{}; // static: the address, mask and gateway
};

struct PlanEntry
{
    int line = 0; // where the entry starts
    bool hasMac = false;
    MacAddress mac{};
    QString name; // chooses the device when no MAC is given
    std::optional<QString> password;
    std::optional<int> deviceMode;
    std::optional<PlanIp> ip;
    std::optional<WirelessWanted> wireless;
    int wirelessLine = 0;
    QString secretKey; // "wireless.key" or "wireless.passphrase": what `security` needs
};

struct Plan
{
    std::vector<PlanEntry> entries;
    std::vector<PlanRemark> faults; // any: nothing may be sent
    std::vector<PlanRemark> notes;  // corrections made, as set-ip announces them
};

// Reads and checks a whole plan with the wizard's input rules.
Plan ParsePlan(const QByteArray &text, const QStringList &localAddresses);

// ----- what differs -----

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
