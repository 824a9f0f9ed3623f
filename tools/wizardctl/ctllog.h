#pragma once
// The --log option: the wizard's debug log (every request and answer, the
// clear packet dumps, the engine's failures) appended to a file the user
// names, in the wizard's own format: an empty line and "== START LOG =="
// for each run, then one time-stamped line per DebugPrint. A file that
// another running copy holds is refused rather than shared; a file it
// creates is for its owner only (the log holds keys in clear text).

#include "app/exclusivefile.h"

#include <QString>

class CtlLogFile
{
public:
    CtlLogFile() = default;
    ~CtlLogFile();
    CtlLogFile(const CtlLogFile &) = delete;
    CtlLogFile &operator=(const CtlLogFile &) = delete;

    // Opens (creating it when missing) and starts routing every DebugPrint
    // line to it. False with a reason when the file cannot be written.
    bool Open(const QString &path, QString &error);

private:
    ExclusiveFile m_file;
};
