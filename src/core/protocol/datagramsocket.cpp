#include "protocol/datagramsocket.h"

#include "protocol/cudpsocket.h"

namespace {

DatagramSocketFactory *g_installed = nullptr;

} // namespace

DatagramSocketFactory &DatagramSocketFactory::Current()
{
    if (g_installed)
        return *g_installed;
    static CUDPSocketFactory real;
    return real;
}

void DatagramSocketFactory::SetCurrent(DatagramSocketFactory *factory)
{
    g_installed = factory;
}
