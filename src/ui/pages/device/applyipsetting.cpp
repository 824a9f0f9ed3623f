#include "pages/device/applyipsetting.h"

#include "app/debug.h"
#include "protocol/devicewaits.h"

ApplyIpSetting::ApplyIpSetting()
    : m_write({
          .name = "ApplyIPSetting()",
          .kinds = {REQ_IP_SETTING},
          .send = [](TFormUDP &engine) { engine.SendIPSetting(DeviceWait::Setting); },
          .settleBeforeReadBack = DeviceWait::SettleAfterSetting,
      })
{
}

bool ApplyIpSetting::Run(QWidget *page)
{
    const ProgressResult result = m_write.Run(page);
    if (result != ProgressResult::Success)
        DebugPrint("ApplyIPSetting() FAIL result %d", int(result));
    return result == ProgressResult::Success;
}
