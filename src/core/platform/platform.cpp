#include "platform/platform.h"

#ifdef Q_OS_WIN
#include "platform/windowsplatform.h"
using SystemPlatform = WindowsPlatform;
#else
#include "platform/linuxplatform.h"
using SystemPlatform = LinuxPlatform;
#endif

namespace {

Platform *g_installed = nullptr;

} // namespace

Platform &Platform::Current()
{
    if (g_installed)
        return *g_installed;
    static SystemPlatform real;
    return real;
}

void Platform::SetCurrent(Platform *platform)
{
    g_installed = platform;
}
