#include "core/logcapture.h"

#include "app/debug.h"
#include "app/utility.h"

#include <QFile>
#include <climits>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// The log switches itself on only when its file exists when the program
// loads. A test program that captures the log creates (and empties) its
// own log file before any ordinary static initialiser runs, so the log
// opens it and every line can be read back.
__attribute__((constructor(101))) void CreateTestLogFile()
{
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
    if (n <= 0)
        return;
    const QString logFile = ReplaceExtension(QFile::decodeName(QByteArray(buf, int(n))), QStringLiteral(".Log"));
    const int fd = ::open(QFile::encodeName(logFile).constData(), O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC, 0644);
    if (fd >= 0)
        ::close(fd);
}

qint64 LogSize()
{
    return QFile(DebugLog().LogFileName()).size();
}

qint64 g_start = 0;

} // namespace

LogCapture::LogCapture()
{
    if (!DebugLogIsOn())
        ADD_FAILURE() << "the log is off; captured lines will be missing";
    g_start = LogSize();
}

LogCapture::~LogCapture() = default;

void LogCapture::Clear()
{
    g_start = LogSize();
}

std::vector<std::string> LogCapture::Lines() const
{
    std::vector<std::string> lines;
    QFile file(DebugLog().LogFileName());
    if (!file.open(QIODevice::ReadOnly) || !file.seek(g_start))
        return lines;
    const QByteArray text = file.readAll();
    for (const QByteArray &raw : text.split('\n')) {
        QByteArray line = raw;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;
        // "(hh:mm:ss:mmm 0xTID) text": keep the text.
        const qsizetype close = line.indexOf(") ");
        lines.push_back(close >= 0 && line.startsWith('(') ? line.mid(close + 2).toStdString() : line.toStdString());
    }
    return lines;
}

bool LogCapture::Contains(const std::string &line) const
{
    return Count(line) > 0;
}

int LogCapture::Count(const std::string &line) const
{
    int count = 0;
    for (const std::string &l : Lines())
        count += l == line ? 1 : 0;
    return count;
}
