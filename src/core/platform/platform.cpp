#include "platform/platform.h"

#include "platform/linuxplatform.h"

namespace {

Platform *g_installed = nullptr;

} // namespace

Platform &Platform::Current()
{
    if (g_installed)
        return *g_installed;
    static LinuxPlatform real;
    return real;
}

void Platform::SetCurrent(Platform *platform)
{
    g_installed = platform;
}
