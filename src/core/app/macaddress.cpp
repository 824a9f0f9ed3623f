#include "app/macaddress.h"

QString FormatMac(const MacAddress &mac)
{
    return QString::asprintf("%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
}
