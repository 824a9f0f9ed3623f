#pragma once
// The subcommands of wizardctl. Each runs the sequence the wizard's pages
// run for the same step (find the device, log in, read the configuration,
// check the input with the pages' rules, write with one re-login on a
// time-out, read back) and prints the outcome: plain text for people,
// JSON where asked. Results go to `out`, diagnostics to `err`; the return
// value is the exit code (CtlExit).

#include "ctloptions.h"

#include <QTextStream>

int RunCommand(const CtlOptions &options, QTextStream &out, QTextStream &err);
