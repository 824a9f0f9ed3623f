#pragma once
// The steps every wizardctl command is made of, in the pages' order: find
// the device and log in (Reach), say why a write did not go through, read
// the settings back and give the verdict on them. Each prints its own
// outcome and returns an exit code (CtlExit) or a plain fact.

#include "ctloptions.h"
#include "ctlsession.h"

#include <QJsonObject>
#include <QTextStream>
#include <functional>

inline constexpr int kFindWait = 4000; // the device list page's search time

// What Reach reads after the login.
enum class Read {
    Nothing,
    Config, // the whole configuration, as the password page
    Mode,   // the operating mode only, as the operating-mode page on entry
};

// No adapter could be opened for the discovery: the message the wizard
// shows, then the explanation (with `extra` in the JSON form).
int NoAdapter(CtlSession &session, const CtlOptions &o, QTextStream &out, QTextStream &err,
              const QJsonObject &extra);

// How far finding the device, logging in and reading came.
enum class Reached {
    Done,
    NoAdapter, // no adapter could be opened for the discovery
    NotFound,  // the device did not answer the discovery
    Refused,   // the login was refused
    Silent,    // the login was not answered
    Unread,    // the configuration request was not answered
};
// The sequence of the device list and password pages, printing nothing:
// finds the device `mac` (the discovery ends at its answer), starts afresh
// for it with `password` as "Configure" does, logs in and reads what `read`
// says. `step` hears each stage's name; `found` gets the device's record.
Reached ReachDevice(CtlSession &session, const MacAddress &mac, const QString &password, Read read,
                    DeviceRecord *found = nullptr, const std::function<void(const QString &)> &step = {});

// ReachDevice for o.mac with o.password, each failure explained on `err`
// (when nothing answered, with the diagnosis). CTL_EXIT_OK or the failure.
int Reach(CtlSession &session, const CtlOptions &o, QTextStream &out, QTextStream &err, Read read,
          DeviceRecord *found = nullptr);

// Why a write did not go through, as one sentence without its full stop
// ("the device refused the IP settings"); empty when it went through.
QString WriteFailure(CtlSession::Write w, const QString &what);
// The outcome of a write that did not go through, explained on `err`.
int WriteFailed(QTextStream &err, CtlSession::Write w, const QString &what);

// Settles for `settleMs`, then reads the configuration. False when the
// device did not answer.
bool ReadBack(CtlSession &session, int settleMs);

// The read-back of a write: whether it answered and then `holds`.
CtlSession::Check CheckWrite(CtlSession &session, int settleMs, const std::function<bool()> &holds);

inline constexpr char kUnknownStateText[] =
    "written; the device did not answer the read-back, so its state is unknown";

// After a write went through: says so, reads back with `check` (unless the
// write's own check already did), prints the values read with `print` and
// gives the verdict (the last line: verified, not verified, state unknown).
int Verify(QTextStream &out, QTextStream &err, CtlSession::Write w, const QString &what,
           const CtlSession::Checker &check, const std::function<void()> &print);
