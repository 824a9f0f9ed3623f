#pragma once
// Runs one job per device, several at once, each in its own thread with
// its own session (own device-state record, engine and cipher key) on
// views of one shared socket per adapter (ctlsockethub.h). The sessions
// log in one at a time (the login turn), so a broadcast request reaches
// only the device it is meant for; exchanges take milliseconds and settle
// delays seconds, so the devices still run almost fully in parallel. A
// failing job stops nobody else.
//
// While it runs, the progress stream shows what each device is doing: on a
// terminal one line per running device, redrawn in place at most ten times
// a second (finished devices keep their last line above them); otherwise
// plain "label: text" lines, one each time a device's step changes.
//
// Ctrl-C asks the jobs to stop: no further job starts, and each running
// job finishes the write in flight and its verification, checking
// StopRequested() before each new write. A second Ctrl-C ends the program
// as usual.

#include "ctlsession.h"

#include <QString>
#include <QTextStream>
#include <functional>
#include <vector>

inline constexpr int kDefaultJobs = 8;

class FleetStatus // thread-safe; one per job
{
public:
    virtual ~FleetStatus() = default;
    virtual void Say(const QString &text) = 0; // the device line's current step
    virtual bool StopRequested() const = 0;    // Ctrl-C seen: start no further write
};

struct FleetJob
{
    QString label;  // the device column, e.g. "AP-0001 02:00:4C:00:00:01"
    MacAddress mac; // answers with this MAC in the header go to this job's session
    // Runs in its own thread. It writes its result only into its own slot
    // and prints nothing to stdout or stderr itself.
    std::function<void(CtlSession &session, FleetStatus &status)> run;
};

struct FleetRun
{
    std::vector<bool> started;
    bool interrupted = false;
};

// At most `parallel` jobs at once (values below 1 count as 1). Returns when
// every job started has ended.
FleetRun RunFleet(std::vector<FleetJob> &jobs, int parallel, QTextStream &progress);
