#include "pages/device/applyipsetting.h"

#include "app/debug.h"
#include "app/utility.h"
#include "messages/appmessage.h"
#include "protocol/formudp.h"
#include "wizard/formprogress.h"

#include <memory>

bool ApplyIpSetting::Run(QWidget *page)
{
    RetryLogin = true;
    auto dialog = std::make_unique<TFormProgress>();
    dialog->OnProcess = [this] { StartAction(); };
    FormProgress = dialog.get();
    const int result = dialog->Execute(page);
    FormProgress = nullptr;
    if (result != 1)
        DebugPrint("ApplyIPSetting() FAIL result %d", result);
    return result == 1;
}

void ApplyIpSetting::StartAction()
{
    TFormUDP *engine = FormUDP();
    if (engine->loggedIn()) {
        engine->SendIPSetting(32000);
    } else if (RetryLogin) {
        RetryLogin = false;
        engine->SendLogin(5000);
    } else {
        Close(2);
    }
}

void ApplyIpSetting::Close(int result)
{
    if (FormProgress)
        FormProgress->done(result);
}

void ApplyIpSetting::HandleMessage(const AppMessage &message)
{
    if (!FormProgress)
        return;
    TFormUDP *engine = FormUDP();
    if (message.id == UM_UDP_REPLY) {
        switch (message.wParam) {
        case REQ_IP_SETTING:
            if (message.lParam != 0) {
                // The device restarts its network side; give it time before
                // asking for the configuration it ended up with.
                ProcessDelay(3000);
                engine->SendGetConfig(15000);
            } else {
                Close(2);
            }
            break;
        case REQ_LOGIN:
            if (message.lParam != 0)
                StartAction();
            else
                Close(2);
            break;
        case REQ_GET_CONFIG:
            Close(1);
            break;
        default:
            break;
        }
    } else if (message.id == UM_UDP_TIMEOUT) {
        switch (message.wParam) {
        case REQ_IP_SETTING:
            if (RetryLogin) {
                RetryLogin = false;
                engine->SendLogout(0);
                engine->SendLogin(5000);
            } else {
                Close(2);
            }
            break;
        case REQ_LOGIN:
        case REQ_GET_CONFIG:
            Close(2);
            break;
        default:
            break;
        }
    }
}
