#pragma once
// The diagnostic log. Logging is switched on by a file named like the
// executable with the extension ".Log" beside it, or on Linux in the user's
// state folder (app/userplaces.h), which comes first; without either file
// nothing is written and a DebugPrint costs only its formatting. Every unit
// writes through DebugPrint.
//
// Each run that logs begins with an empty line and "== START LOG =="; each
// line reads "(hh:mm:ss:mmm 0xTID) text" followed by CR LF, with the local
// time and the calling thread's id in upper-case hexadecimal. A log file
// that another running copy holds (ExclusiveFile) sends this
// copy to a fresh numbered file beside it ("Setup_000.Log", "Setup_001.Log"
// ...) in the same folder, so two copies never write into one file.

#include "app/exclusivefile.h"

#include <QString>
#include <cstddef>
#include <functional>
#include <mutex>

// Formats with printf rules and writes one time-stamped line. A formatting
// failure is swallowed and whatever text resulted is written.
// MinGW's printf checks follow the C library of Windows unless told the
// formats are the C99 ones this project uses (__USE_MINGW_ANSI_STDIO).
#ifdef __MINGW32__
#define WIZARD_PRINTF_FORMAT gnu_printf
#else
#define WIZARD_PRINTF_FORMAT printf
#endif
void DebugPrint(const char *format, ...) __attribute__((format(WIZARD_PRINTF_FORMAT, 1, 2)));

// Whether the process log writes anything; hot paths (packet dumps) skip
// their formatting when it does not.
bool DebugLogIsOn();

// Test seam: `hook` receives the text of every DebugPrint (without time
// stamp), whether or not the log file is on; while a hook is installed
// DebugLogIsOn() is true. An empty hook removes it.
using DebugTextHook = std::function<void(const char *text)>;
void SetDebugTextHook(DebugTextHook hook);

// The time stamp of one line: local time and the writing thread.
struct LogStamp
{
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Millisecond = 0;
    unsigned long ThreadId = 0;
};

class CDebugLog
{
public:
    using StampSource = std::function<LogStamp()>;

    // Opens the log of the executable at `executablePath` (decided once:
    // on when "<path without extension>.Log" exists). `stamp` replaces the
    // clock and thread id (tests); empty means the real ones.
    explicit CDebugLog(const QString &executablePath, StampSource stamp = {});
    ~CDebugLog();

    CDebugLog(const CDebugLog &) = delete;
    CDebugLog &operator=(const CDebugLog &) = delete;

    // Writes the bytes as they are, in one piece, when logging is on.
    void WriteRaw(const char *bytes, size_t length);
    // Writes `text` as one time-stamped line.
    void WriteLine(const char *text);
    // Sends Prefix + text to the debugger output (the standard error stream
    // on Linux, OutputDebugString on Windows); nothing in the program calls it.
    void DebugOutput(const char *text);

    bool IsOn() const { return m_file.IsOpen(); }
    QString LogFileName() const { return m_logFileName; }
    QString Prefix() const { return m_prefix; }

    // The real local time and thread id.
    static LogStamp Now();
    // The line for `text` as WriteLine writes it.
    static std::string FormatLine(const LogStamp &stamp, const char *text);

private:
    QString m_logFileName;
    QString m_prefix;
    ExclusiveFile m_file;
    std::mutex m_writeLock;
    StampSource m_stamp;
};

// The process log, opened beside the running executable the first time it
// is used (which is before main: the log exists before start-up code runs).
CDebugLog &DebugLog();
