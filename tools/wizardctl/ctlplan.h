#pragma once
// What `wizardctl apply` is told to make of each device. A plan is a JSON
// document, one entry object or an array of them; the object `show --json`
// prints is an entry. Reading is pure: the text of the plan in, the entries
// checked with the wizard's input rules and every fault with its line and
// key out.

#include "ctlsettings.h"

#include "app/records.h"
#include "app/settingkeys.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

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
