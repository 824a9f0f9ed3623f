#pragma once
// wizardctl apply PLAN.json: every device of a plan (ctlplan) brought to
// what its entry says, in the wizard's order (operating mode, then IP, then
// wireless), writing only what differs and verifying each write by its
// read-back; --dry-run reads and tells what would change. Also
// `show --all --json`, the backup of every device found that apply takes
// back. The devices run through the fleet runner; the results end in one
// table (or a JSON report). The return value is the exit code (CtlExit).

#include "ctloptions.h"

#include <QTextStream>

int Apply(const CtlOptions &o, QTextStream &out, QTextStream &err);
int ShowAll(const CtlOptions &o, QTextStream &out, QTextStream &err);
