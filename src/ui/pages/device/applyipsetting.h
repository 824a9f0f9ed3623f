#pragma once
// The write of NewIpConfig to the device, shared by the setup-method page
// (switch to a dynamic address) and the IP configuration page (static
// values): a DeviceWrite of SendIPSetting whose read-back waits for the
// device to take its new address.

#include "framework/devicewrite.h"

class AppMessage;
class QWidget;

class ApplyIpSetting
{
public:
    ApplyIpSetting();

    // Runs the write modally over `page`; true exactly when it succeeded.
    bool Run(QWidget *page);

    // The owning page's window procedure hands every engine message here;
    // messages that arrive while no dialog is open are ignored.
    void HandleMessage(const AppMessage &message) { m_write.HandleMessage(message); }

private:
    DeviceWrite m_write;
};
