#include "app/debug.h"

#include "app/processinfo.h"
#include "app/userplaces.h"
#include "app/utility.h"

#include <QFileInfo>
#include <QTime>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <string>

namespace {

std::mutex g_hookLock;
DebugTextHook g_hook;
std::atomic<bool> g_hasHook{false};

// Touch the process log during static initialisation so that logging is
// decided before start-up code runs.
[[maybe_unused]] CDebugLog &g_openAtLoad = DebugLog();

} // namespace

CDebugLog::CDebugLog(const QString &executablePath, StampSource stamp) : m_stamp(std::move(stamp))
{
    QString folder = FolderOf(executablePath);
    const QString base = FileBaseName(executablePath);
    m_prefix = QStringLiteral("<%1> ").arg(base);
    m_logFileName = ReplaceExtension(executablePath, QStringLiteral(".Log"));
    if (executablePath.isEmpty())
        return;

    // A log the user switched on in their own state folder comes first: an
    // installed program's folder is not the user's to write.
    const QString userLog = UserLogFile(base);
    if (!userLog.isEmpty() && QFileInfo::exists(userLog)) {
        m_logFileName = userLog;
        folder = FolderOf(userLog);
    } else if (!QFileInfo::exists(m_logFileName)) {
        return; // no log file: logging stays off for the whole run
    }

    m_file.Open(m_logFileName, ExclusiveFile::Mode::OpenExisting);
    for (int i = 0; !m_file.IsOpen() && i < 100; ++i) {
        m_logFileName = folder + QString::asprintf("%s_%03d.Log", base.toLocal8Bit().constData(), i);
        m_file.Open(m_logFileName, ExclusiveFile::Mode::CreateNew);
    }
    if (!m_file.IsOpen())
        return;
    if (!m_file.SeekToEnd()) {
        m_file.Close();
        return;
    }
    WriteRaw("\r\n", 2);
    WriteLine("== START LOG ==");
}

CDebugLog::~CDebugLog() = default;

void CDebugLog::WriteRaw(const char *bytes, size_t length)
{
    if (!m_file.IsOpen())
        return;
    std::lock_guard<std::mutex> guard(m_writeLock);
    m_file.Write(bytes, length);
}

void CDebugLog::WriteLine(const char *text)
{
    if (!m_file.IsOpen())
        return;
    const std::string line = FormatLine(m_stamp ? m_stamp() : Now(), text);
    WriteRaw(line.data(), line.size());
}

void CDebugLog::DebugOutput(const char *text)
{
    const QByteArray line = m_prefix.toLocal8Bit() + QByteArray(text ? text : "") + '\n';
    WriteDebuggerOutput(line);
}

LogStamp CDebugLog::Now()
{
    const QTime local = QTime::currentTime();
    LogStamp s;
    s.Hour = local.hour();
    s.Minute = local.minute();
    s.Second = local.second();
    s.Millisecond = local.msec();
    s.ThreadId = CurrentThreadId();
    return s;
}

std::string CDebugLog::FormatLine(const LogStamp &stamp, const char *text)
{
    char head[64];
    const int n = std::snprintf(head, sizeof(head), "(%02d:%02d:%02d:%03d 0x%lX) ", stamp.Hour, stamp.Minute,
                                stamp.Second, stamp.Millisecond, stamp.ThreadId);
    std::string line(head, n > 0 ? static_cast<size_t>(n) : 0);
    line += text ? text : "";
    line += "\r\n";
    return line;
}

CDebugLog &DebugLog()
{
    static CDebugLog log(RunningExecutablePath());
    return log;
}

bool DebugLogIsOn()
{
    return g_hasHook.load(std::memory_order_relaxed) || DebugLog().IsOn();
}

void SetDebugTextHook(DebugTextHook hook)
{
    std::lock_guard<std::mutex> guard(g_hookLock);
    g_hasHook = static_cast<bool>(hook);
    g_hook = std::move(hook);
}

namespace {
void Emit(CDebugLog &log, const char *text)
{
    if (g_hasHook.load(std::memory_order_relaxed)) {
        std::lock_guard<std::mutex> guard(g_hookLock);
        if (g_hook)
            g_hook(text);
    }
    log.WriteLine(text);
}
} // namespace

void DebugPrint(const char *format, ...)
{
    CDebugLog &log = DebugLog();
    if (!format || !DebugLogIsOn())
        return;
    char small[512] = {};
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(small, sizeof(small), format, args);
    va_end(args);
    if (n < 0) {
        // Formatting failed: write whatever text resulted.
        small[sizeof(small) - 1] = '\0';
        Emit(log, small);
    } else if (static_cast<size_t>(n) < sizeof(small)) {
        Emit(log, small);
    } else {
        std::string big(static_cast<size_t>(n) + 1, '\0');
        va_start(args, format);
        std::vsnprintf(big.data(), big.size(), format, args);
        va_end(args);
        Emit(log, big.c_str());
    }
}
