#include "protocol/datagramsocket.h"

#include "protocol/cudpsocket.h"

namespace {

DatagramSocketFactory *g_installed = nullptr;

} // namespace

QString MacText(const MacBytes &mac)
{
    return QString::asprintf("%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
}

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
