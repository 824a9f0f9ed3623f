#include "ctllog.h"

#include "app/debug.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <unistd.h>

namespace {

void WriteAll(int fd, const std::string &text)
{
    // Write errors are ignored, as in the wizard: the log never disturbs the work.
    [[maybe_unused]] const ssize_t written = ::write(fd, text.data(), text.size());
}

} // namespace

CtlLogFile::~CtlLogFile()
{
    if (m_fd >= 0) {
        SetDebugTextHook({});
        ::close(m_fd);
    }
}

bool CtlLogFile::Open(const QString &path, QString &error)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = QStringLiteral("cannot open the log file %1: %2")
                    .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    // The same advisory lock the wizard takes on its log: two copies never
    // write into one file.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        error = QStringLiteral("the log file %1 is in use by another running copy").arg(path);
        return false;
    }
    m_fd = fd;
    WriteAll(m_fd, "\r\n");
    WriteAll(m_fd, CDebugLog::FormatLine(CDebugLog::Now(), "== START LOG =="));
    SetDebugTextHook([fd](const char *text) { WriteAll(fd, CDebugLog::FormatLine(CDebugLog::Now(), text)); });
    return true;
}
