#pragma once
// The wizardctl commands that write to the device: the IP settings, the
// operating mode, the wireless settings and a WPS run. Each checks its input
// with the pages' rules before anything is sent, writes with one re-login
// on a time-out and reads the settings back. The return value is the exit
// code (CtlExit).

#include "ctloptions.h"

#include <QStringList>
#include <QTextStream>

// The computer's own addresses, which a static address must not take.
QStringList LocalAddresses();

int SetIp(const CtlOptions &o, QTextStream &out, QTextStream &err);
int SetMode(const CtlOptions &o, QTextStream &out, QTextStream &err);
int SetWireless(const CtlOptions &o, QTextStream &out, QTextStream &err);
int Wps(const CtlOptions &o, QTextStream &out, QTextStream &err);
