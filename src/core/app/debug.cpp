#include "app/debug.h"

#include "app/userplaces.h"
#include "app/utility.h"

#include <QFile>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

QString RunningExecutable()
{
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
    if (n <= 0)
        return QString();
    return QFile::decodeName(QByteArray(buf, static_cast<int>(n)));
}

// Opens `path` for writing and takes the exclusive lock that tells running
// copies apart. -1 when either fails. A file it creates is for the owner
// only: the log holds packets and keys in clear text.
int OpenLocked(const QString &path, int extraFlags)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDWR | O_CLOEXEC | extraFlags, 0600);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

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

    auto exists = [](const QString &path) {
        struct stat st;
        return ::stat(QFile::encodeName(path).constData(), &st) == 0;
    };
    // A log the user switched on in their own state folder comes first: an
    // installed program's folder is not the user's to write.
    const QString userLog = UserLogFile(base);
    if (!userLog.isEmpty() && exists(userLog)) {
        m_logFileName = userLog;
        folder = FolderOf(userLog);
    } else if (!exists(m_logFileName)) {
        return; // no log file: logging stays off for the whole run
    }

    m_fd = OpenLocked(m_logFileName, 0);
    for (int i = 0; m_fd < 0 && i < 100; ++i) {
        m_logFileName = folder + QString::asprintf("%s_%03d.Log", base.toLocal8Bit().constData(), i);
        m_fd = OpenLocked(m_logFileName, O_CREAT | O_EXCL);
    }
    if (m_fd < 0)
        return;

    errno = 0;
    if (::lseek(m_fd, 0, SEEK_END) == static_cast<off_t>(-1) && errno != 0) {
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    WriteRaw("\r\n", 2);
    WriteLine("== START LOG ==");
}

CDebugLog::~CDebugLog()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void CDebugLog::WriteRaw(const char *bytes, size_t length)
{
    if (m_fd < 0)
        return;
    std::lock_guard<std::mutex> guard(m_writeLock);
    // Write errors are ignored: the log must never disturb the program.
    [[maybe_unused]] const ssize_t written = ::write(m_fd, bytes, length);
}

void CDebugLog::WriteLine(const char *text)
{
    if (m_fd < 0)
        return;
    const std::string line = FormatLine(m_stamp ? m_stamp() : Now(), text);
    WriteRaw(line.data(), line.size());
}

void CDebugLog::DebugOutput(const char *text)
{
    const QByteArray line = m_prefix.toLocal8Bit() + QByteArray(text ? text : "") + '\n';
    std::fputs(line.constData(), stderr);
}

LogStamp CDebugLog::Now()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local{};
    localtime_r(&ts.tv_sec, &local);
    LogStamp s;
    s.Hour = local.tm_hour;
    s.Minute = local.tm_min;
    s.Second = local.tm_sec;
    s.Millisecond = static_cast<int>(ts.tv_nsec / 1000000);
    s.ThreadId = static_cast<unsigned long>(::syscall(SYS_gettid));
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
    static CDebugLog log(RunningExecutable());
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
