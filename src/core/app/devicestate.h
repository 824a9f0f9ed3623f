#pragma once
// What the wizard knows about the device it configures: the chosen device,
// the password (login and payload cipher key), the operating mode, the
// client PIN and the current and new IP and wireless settings. The protocol
// engine works on one such record, handed to it: it sends the new settings
// from it and decodes the device's answers into it. The program's record
// is g_Var, which the pages share; wizardctl keeps one per session.

#include "app/records.h"

#include <QString>
#include <cstdint>

struct DeviceState
{
    QString Password; // the login password and the payload cipher key
    DeviceRecord SelectedDevice;
    int32_t DeviceMode = 0;     // DEVICE_AP or DEVICE_WBRIDGE
    char ApClientPin[12] = {};  // zero-terminated, at most 11 characters
    IpConfigRecord CurIpConfig; // as read from the device
    IpConfigRecord NewIpConfig; // as to be written
    WlConfigRecord CurWlConfig;
    WlConfigRecord NewWlConfig;
};
