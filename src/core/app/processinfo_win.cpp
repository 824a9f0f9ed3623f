#include "app/processinfo.h"

#include <QDir>
#include <vector>
#include <windows.h>

QString RunningExecutablePath()
{
    // Long paths are allowed: the buffer grows until the name fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
        if (n == 0)
            return QString();
        if (n < buffer.size())
            return QDir::fromNativeSeparators(QString::fromWCharArray(buffer.data(), int(n)));
        buffer.resize(buffer.size() * 2);
    }
}

unsigned long CurrentThreadId()
{
    return ::GetCurrentThreadId();
}

void WriteDebuggerOutput(const QByteArray &line)
{
    ::OutputDebugStringA(line.constData());
}
