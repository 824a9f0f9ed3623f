#include "ctlapply.h"

#include "ctlfleet.h"
#include "ctlplandiff.h"
#include "ctlreport.h"
#include "ctlsession.h"
#include "ctlsteps.h"
#include "ctlwrite.h"

#include "app/debug.h"
#include "app/utility.h"
#include "app/validation.h"
#include "protocol/devicewaits.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
#include <functional>

namespace {

// ----- one device -----

struct Outcome
{
    int code = CTL_EXIT_OK;
    QString result;              // "unchanged", "verified", "would change", or the failure's name
    std::vector<Change> changes; // written and verified, or (dry run) to be written
    QString error;
    qint64 ms = 0;
};

QString FailureName(int code)
{
    switch (code) {
    case CTL_EXIT_INVALID:
        return QStringLiteral("invalid");
    case CTL_EXIT_NO_DEVICE:
        return QStringLiteral("not found");
    case CTL_EXIT_NOT_VERIFIED:
        return QStringLiteral("not verified");
    case CTL_EXIT_NO_ANSWER:
        return QStringLiteral("no answer");
    case CTL_EXIT_LOGIN:
        return QStringLiteral("login refused");
    case CTL_EXIT_UNKNOWN_STATE:
        return QStringLiteral("unknown state");
    case CTL_EXIT_INTERRUPTED:
        return QStringLiteral("stopped");
    default:
        return QStringLiteral("failed");
    }
}

void Fail(Outcome &outcome, int code, const QString &error)
{
    outcome.code = code;
    outcome.result = FailureName(code);
    outcome.error = error;
}

// Finds the device, logs in and reads its whole configuration, as Reach
// does for one device, with the texts kept for the results table. `found`
// gets the device's record.
int ReachForJob(CtlSession &s, FleetStatus &status, const MacAddress &mac, const QString &password,
                QString &error, DeviceRecord *found = nullptr)
{
    switch (ReachDevice(s, mac, password, Read::Config, found,
                        [&status](const QString &step) { status.Say(step); })) {
    case Reached::Done:
        return CTL_EXIT_OK;
    case Reached::NoAdapter:
        error = QStringLiteral("no network adapter could be opened");
        return CTL_EXIT_NO_DEVICE;
    case Reached::NotFound:
        error = QStringLiteral("the device did not answer within %1 ms").arg(kFindWait);
        return CTL_EXIT_NO_DEVICE;
    case Reached::Refused:
        error = QStringLiteral("the device refused the login: wrong password?");
        return CTL_EXIT_LOGIN;
    case Reached::Silent:
        error = QStringLiteral("the device did not answer the login");
        return CTL_EXIT_NO_ANSWER;
    case Reached::Unread:
        break;
    }
    error = QStringLiteral("the device did not answer the configuration request");
    return CTL_EXIT_NO_ANSWER;
}

// One write with its read-back; CTL_EXIT_OK when the device then reports
// what `holds` looks for. A lost answer to the write is met by the
// read-back first, as for the single-device commands.
int WriteStep(CtlSession &s, FleetStatus &status, int kind, int waitMs, const CtlSession::Send &send,
              const QString &what, int settleMs, const std::function<bool()> &holds, QString &error)
{
    status.Say(QStringLiteral("writing the ") + what);
    const CtlSession::Checker check = [&] { return CheckWrite(s, settleMs, holds); };
    const CtlSession::Write w = s.WriteWithRetry(kind, waitMs, send, check);
    if (const QString failure = WriteFailure(w, what); !failure.isEmpty()) {
        error = failure;
        return CTL_EXIT_NO_ANSWER;
    }
    if (w == CtlSession::Write::Verified)
        return CTL_EXIT_OK;
    status.Say(QStringLiteral("reading back the ") + what);
    switch (check()) {
    case CtlSession::Check::Holds:
        return CTL_EXIT_OK;
    case CtlSession::Check::Differs:
        error = QStringLiteral("not verified: the device does not report the %1 written").arg(what);
        return CTL_EXIT_NOT_VERIFIED;
    case CtlSession::Check::NoAnswer:
        break;
    }
    error = what + QStringLiteral(" ") + kUnknownStateText;
    return CTL_EXIT_UNKNOWN_STATE;
}

void Append(std::vector<Change> &to, const std::vector<Change> &more)
{
    to.insert(to.end(), more.begin(), more.end());
}

// What a dry run says of the wireless settings when the mode changes first:
// the device then reports the other mode's settings.
Change AfterModeChange(const WirelessWanted &w)
{
    return {"wireless", QStringLiteral("(compared after the mode change)"),
            SsidText(w.ssid) + QStringLiteral(", ") + SecurityModeName(w.security)};
}

// What an apply would write to a device that reported `state`, with the
// operating mode `mode` after the plan.
std::vector<Change> WouldChange(const PlanEntry &e, const DeviceState &state, int mode)
{
    std::vector<Change> changes = ModeChanges(state.DeviceMode, mode);
    if (e.ip)
        Append(changes, IpChanges(state.CurIpConfig, NextIp(*e.ip, state.CurIpConfig)));
    if (e.wireless && mode != state.DeviceMode)
        changes.push_back(AfterModeChange(*e.wireless));
    else if (e.wireless)
        Append(changes, WirelessChanges(state.CurWlConfig,
                                        NextWireless(*e.wireless, state.CurWlConfig, mode == DEVICE_AP)));
    return changes;
}

Outcome ApplyEntry(CtlSession &s, FleetStatus &status, const PlanEntry &e, const MacAddress &mac,
                   const CtlOptions &o)
{
    Outcome outcome;
    QString error;
    if (const int rc = ReachForJob(s, status, mac, e.password.value_or(o.password), error)) {
        Fail(outcome, rc, error);
        return outcome;
    }
    DeviceState &state = s.State();
    const int mode = e.deviceMode.value_or(state.DeviceMode);
    const bool modeChanges = mode != state.DeviceMode;
    // Checked before anything is written to the device.
    if (const std::optional<PlanRemark> fault = WirelessFault(e, mode, state.CurWlConfig, modeChanges)) {
        Fail(outcome, CTL_EXIT_INVALID,
             RemarkText(QFileInfo(o.planFile).fileName(), *fault) + QStringLiteral("; nothing written"));
        return outcome;
    }
    if (o.dryRun) {
        outcome.changes = WouldChange(e, state, mode);
        outcome.result =
            outcome.changes.empty() ? QStringLiteral("unchanged") : QStringLiteral("would change");
        return outcome;
    }

    // The operating mode page's order: the mode, its read-back, then the
    // pause the device needs before the next request.
    const auto step = [&](std::vector<Change> changes, int kind, int waitMs, const CtlSession::Send &send,
                          const QString &what, int settleMs, const std::function<bool()> &holds) {
        // Ctrl-C: the write in flight was finished and verified; no new one.
        if (status.StopRequested()) {
            Fail(outcome, CTL_EXIT_INTERRUPTED, QStringLiteral("stopped before the %1 (Ctrl-C)").arg(what));
            return false;
        }
        if (const int rc = WriteStep(s, status, kind, waitMs, send, what, settleMs, holds, error)) {
            Fail(outcome, rc, error);
            return false;
        }
        Append(outcome.changes, changes);
        return true;
    };
    if (modeChanges) {
        const std::vector<Change> changes = ModeChanges(state.DeviceMode, mode);
        state.DeviceMode = mode;
        if (!step(
                changes, REQ_SET_MODE, CtlSession::kSetModeWait,
                [&](int wait) { s.Engine().SendSetMode(wait, mode); }, QStringLiteral("operating mode"), 0,
                [&] { return state.DeviceMode == mode; }))
            return outcome;
        s.Settle(DeviceWait::SettleAfterSetMode);
    }
    if (e.ip) {
        const IpConfigRecord next = NextIp(*e.ip, state.CurIpConfig);
        const std::vector<Change> changes = IpChanges(state.CurIpConfig, next);
        state.NewIpConfig = next;
        if (!changes.empty() &&
            !step(
                changes, REQ_IP_SETTING, CtlSession::kSetWait,
                [&](int wait) { s.Engine().SendIPSetting(wait); }, QStringLiteral("IP settings"),
                CtlSession::kSettleDelay, [&] { return IpConfigHolds(next, state.CurIpConfig); }))
            return outcome;
    }
    if (e.wireless) {
        const bool ap = state.DeviceMode == DEVICE_AP;
        const WlConfigRecord next = NextWireless(*e.wireless, state.CurWlConfig, ap);
        const std::vector<Change> changes = WirelessChanges(state.CurWlConfig, next);
        state.NewWlConfig = next;
        if (!changes.empty() &&
            !step(
                changes, ap ? REQ_WL_SETTING : REQ_WL_STATION_SETTING, CtlSession::kSetWait,
                [&](int wait) {
                    if (ap)
                        s.Engine().SendWlSetting(wait);
                    else
                        s.Engine().SendWlStationSetting(wait);
                },
                ap ? QStringLiteral("wireless settings") : QStringLiteral("wireless profile"),
                CtlSession::kSettleDelay, [&] { return WlConfigHolds(next, state.CurWlConfig); }))
            return outcome;
    }
    outcome.result = outcome.changes.empty() ? QStringLiteral("unchanged") : QStringLiteral("verified");
    return outcome;
}

// ----- the plan's devices -----

// An entry and the device it chooses.
struct Target
{
    const PlanEntry *entry = nullptr;
    QString label; // the device column
    MacAddress mac{};
    bool found = false;
    Outcome outcome;
};

QString Label(const DeviceRecord &d)
{
    return FieldText(d.Name) + u' ' + FormatMac(d.Mac);
}

// Which device each entry means, from one discovery for all of them.
void Choose(std::vector<Target> &targets, const std::vector<DeviceRecord> &devices)
{
    std::map<MacAddress, int> taken; // device: the line of the entry that chose it
    for (Target &t : targets) {
        const PlanEntry &e = *t.entry;
        std::vector<const DeviceRecord *> matches;
        for (const DeviceRecord &d : devices)
            if (e.hasMac ? d.Mac == e.mac : FieldText(d.Name) == e.name)
                matches.push_back(&d);
        t.label = e.hasMac ? FormatMac(e.mac) : e.name;
        if (matches.empty()) {
            Fail(t.outcome, CTL_EXIT_NO_DEVICE,
                 e.hasMac ? QStringLiteral("no device with this MAC answered within %1 ms").arg(kFindWait)
                          : QStringLiteral("no device named \"%1\" answered within %2 ms")
                                .arg(e.name)
                                .arg(kFindWait));
            continue;
        }
        if (matches.size() > 1) {
            QStringList macs;
            for (const DeviceRecord *d : matches)
                macs << FormatMac(d->Mac);
            Fail(t.outcome, CTL_EXIT_INVALID,
                 QStringLiteral("%1 devices are named \"%2\" (%3): choose by device.mac")
                     .arg(matches.size())
                     .arg(e.name, macs.join(QStringLiteral(", "))));
            continue;
        }
        t.label = Label(*matches.front());
        t.mac = matches.front()->Mac;
        const auto [it, first] = taken.emplace(t.mac, e.line);
        if (!first) {
            Fail(t.outcome, CTL_EXIT_INVALID,
                 QStringLiteral("the entry at line %1 chooses this device too").arg(it->second));
            continue;
        }
        t.found = true;
    }
}

QString Seconds(qint64 ms)
{
    return QString::number(double(ms) / 1000.0, 'f', 1) + QStringLiteral(" s");
}

void PrintTable(QTextStream &out, const std::vector<Target> &targets)
{
    int width = 6;
    for (const Target &t : targets)
        width = std::max(width, int(t.label.size()));
    out << QStringLiteral("%1 %2 %3 %4\n")
               .arg(QStringLiteral("DEVICE"), -width)
               .arg(QStringLiteral("RESULT"), -13)
               .arg(QStringLiteral("TIME"), 7)
               .arg(QStringLiteral("CHANGES"));
    for (const Target &t : targets) {
        QStringList changes;
        for (const Change &c : t.outcome.changes)
            changes << ChangeText(c);
        out << QStringLiteral("%1 %2 %3 %4\n")
                   .arg(t.label, -width)
                   .arg(t.outcome.result, -13)
                   .arg(Seconds(t.outcome.ms), 7)
                   .arg(changes.isEmpty() ? QStringLiteral("-") : changes.join(QStringLiteral("; ")));
    }
}

QJsonObject OutcomeJson(const Target &t)
{
    QJsonArray changes;
    for (const Change &c : t.outcome.changes) {
        if (c.secret)
            changes.append(QJsonObject{{"key", c.key}, {"changed", true}});
        else
            changes.append(QJsonObject{{"key", c.key}, {"from", c.from}, {"to", c.to}});
    }
    QJsonObject o{{"device", t.label},          {"line", t.entry->line}, {"result", t.outcome.result},
                  {"exitCode", t.outcome.code}, {"changes", changes},    {"ms", t.outcome.ms}};
    if (t.found)
        o["mac"] = FormatMac(t.mac);
    if (!t.outcome.error.isEmpty())
        o["error"] = t.outcome.error;
    return o;
}

// The one discovery that tells which devices there are; its session is
// gone before the devices' own start. It ends once every device of
// `wanted` answered; empty `wanted` (a plan that names a device by name,
// which must be heard out, since a second device of that name makes the
// choice ambiguous) waits the whole window. False (with the explanation
// printed) when no adapter could be opened.
bool FindAll(const CtlOptions &o, QTextStream &out, QTextStream &err, std::vector<DeviceRecord> &devices,
             int &rc, const std::vector<MacAddress> &wanted = {})
{
    CtlOptions plain = o;
    plain.json = false; // the diagnosis must not stand in for the report
    CtlSession session;
    const auto enough = [&](const std::vector<DeviceRecord> &found) {
        return !wanted.empty() && std::all_of(wanted.begin(), wanted.end(), [&](const MacAddress &mac) {
            return std::any_of(found.begin(), found.end(),
                               [&](const DeviceRecord &d) { return d.Mac == mac; });
        });
    };
    if (!session.Discover(kFindWait, enough)) {
        rc = NoAdapter(session, plain, out, err, {});
        return false;
    }
    devices = session.Devices();
    if (devices.empty()) {
        err << "wizardctl: no device answered within " << kFindWait << " ms.\n";
        ExplainSilence(session.Engine(), plain, out, err);
    }
    return true;
}

// A device stopped by Ctrl-C makes the run "stopped"; otherwise the first
// failure in the order of the plan gives the exit code.
int ExitCode(const std::vector<Target> &targets)
{
    for (const Target &t : targets)
        if (t.outcome.code == CTL_EXIT_INTERRUPTED)
            return CTL_EXIT_INTERRUPTED;
    for (const Target &t : targets)
        if (t.outcome.code != CTL_EXIT_OK)
            return t.outcome.code;
    return CTL_EXIT_OK;
}

} // namespace

int Apply(const CtlOptions &o, QTextStream &out, QTextStream &err)
{
    QFile file(o.planFile);
    if (!file.open(QIODevice::ReadOnly)) {
        err << "wizardctl: cannot read the plan " << o.planFile << ": " << file.errorString() << '\n';
        return CTL_EXIT_INVALID;
    }
    const QString name = QFileInfo(o.planFile).fileName();
    const Plan plan = ParsePlan(file.readAll(), LocalAddresses());
    for (const PlanRemark &note : plan.notes)
        err << "wizardctl: " << RemarkText(name, note) << '\n';
    if (!plan.faults.empty()) {
        for (const PlanRemark &fault : plan.faults)
            err << "wizardctl: " << RemarkText(name, fault) << '\n';
        err << "Nothing was sent.\n";
        return CTL_EXIT_INVALID;
    }

    std::vector<DeviceRecord> devices;
    int rc = CTL_EXIT_OK;
    std::vector<MacAddress> wanted;
    for (const PlanEntry &e : plan.entries) {
        if (!e.hasMac) {
            wanted.clear();
            break;
        }
        wanted.push_back(e.mac);
    }
    if (!FindAll(o, out, err, devices, rc, wanted))
        return rc;
    std::vector<Target> targets(plan.entries.size());
    for (size_t i = 0; i < targets.size(); ++i)
        targets[i].entry = &plan.entries[i];
    Choose(targets, devices);

    std::vector<FleetJob> jobs;
    for (Target &t : targets) {
        if (!t.found)
            continue;
        jobs.push_back({t.label, t.mac, [&t, &o](CtlSession &session, FleetStatus &status) {
                            QElapsedTimer clock;
                            clock.start();
                            t.outcome = ApplyEntry(session, status, *t.entry, t.mac, o);
                            t.outcome.ms = clock.elapsed();
                            status.Say(t.outcome.result);
                        }});
    }
    const FleetRun run = RunFleet(jobs, o.jobs, err);
    size_t job = 0;
    for (Target &t : targets) {
        if (!t.found)
            continue;
        if (job >= run.started.size() || !run.started[job])
            Fail(t.outcome, CTL_EXIT_INTERRUPTED, QStringLiteral("not started (Ctrl-C)"));
        ++job;
    }

    rc = ExitCode(targets);
    if (o.json) {
        QJsonArray list;
        for (const Target &t : targets)
            list.append(OutcomeJson(t));
        PrintJson(out, QJsonDocument(QJsonObject{{"dryRun", o.dryRun}, {"exitCode", rc}, {"devices", list}}));
    } else {
        PrintTable(out, targets);
    }
    for (const Target &t : targets)
        if (!t.outcome.error.isEmpty())
            err << "wizardctl: " << t.label << ": " << t.outcome.error << '\n';
    return rc;
}

int ShowAll(const CtlOptions &o, QTextStream &out, QTextStream &err)
{
    std::vector<DeviceRecord> devices;
    int rc = CTL_EXIT_OK;
    if (!FindAll(o, out, err, devices, rc))
        return rc;
    if (devices.empty())
        return CTL_EXIT_NO_DEVICE;
    struct Read
    {
        int code = CTL_EXIT_OK;
        QString error;
        QJsonObject json;
    };
    std::vector<Read> reads(devices.size());
    std::vector<FleetJob> jobs;
    for (size_t i = 0; i < devices.size(); ++i) {
        jobs.push_back({Label(devices[i]), devices[i].Mac, [&, i](CtlSession &session, FleetStatus &status) {
                            DeviceRecord found;
                            reads[i].code = ReachForJob(session, status, devices[i].Mac, o.password,
                                                        reads[i].error, &found);
                            if (reads[i].code == CTL_EXIT_OK)
                                reads[i].json = ConfigJson(found, session.State());
                        }});
    }
    const FleetRun run = RunFleet(jobs, o.jobs, err);
    QJsonArray list;
    for (size_t i = 0; i < devices.size(); ++i) {
        if (i >= run.started.size() || !run.started[i])
            reads[i] = {CTL_EXIT_INTERRUPTED, QStringLiteral("not read (Ctrl-C)"), {}};
        if (reads[i].code == CTL_EXIT_OK) {
            list.append(reads[i].json);
            continue;
        }
        err << "wizardctl: " << Label(devices[i]) << ": " << reads[i].error << '\n';
        if (rc == CTL_EXIT_OK)
            rc = reads[i].code;
    }
    PrintJson(out, QJsonDocument(list));
    return rc;
}
