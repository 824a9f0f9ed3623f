#include "app/processinfo.h"

#include <QCoreApplication>
#include <QFile>
#include <climits>
#include <cstdio>
#include <sys/syscall.h>
#include <unistd.h>

QString RunningExecutablePath()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof(buf) - 1);
    if (n <= 0)
        return QString();
    return QFile::decodeName(QByteArray(buf, static_cast<int>(n)));
}

unsigned long CurrentThreadId()
{
    return static_cast<unsigned long>(::syscall(SYS_gettid));
}

void WriteDebuggerOutput(const QByteArray &line)
{
    std::fputs(line.constData(), stderr);
}
