#include "framework/devicewrite.h"

#include "app/debug.h"
#include "app/globalvar.h"
#include "app/utility.h"
#include "framework/framebase.h"
#include "messages/appmessage.h"
#include "protocol/devicewaits.h"

#include <algorithm>
#include <utility>

DeviceWrite::DeviceWrite(Steps steps) : m_steps(std::move(steps))
{
}

ProgressResult DeviceWrite::Run(QWidget *page)
{
    m_retryLogin = true;
    m_writeAccepted = false;
    TFormProgress dialog;
    dialog.Tag = 0;
    dialog.OnProcess = [this] { Start(); };
    m_dialog = &dialog;
    const ProgressResult result = dialog.Execute(page);
    m_dialog = nullptr;
    return result;
}

bool DeviceWrite::RunForPage(TFrameBase &page, const char *failLog, const TextKey &message,
                             const std::function<void()> &afterMessage)
{
    const ProgressResult result = Run(&page);
    if (result == ProgressResult::Success) {
        page.PostWizardCommand(WIZARD_NEXT);
        return true;
    }
    DebugPrint("%s FAIL result %d", failLog, int(result));
    ShowMessage(message);
    if (afterMessage)
        afterMessage();
    if (g_Var.NonWorking)
        page.PostWizardCommand(WIZARD_NEXT);
    return false;
}

bool DeviceWrite::Open() const
{
    return m_dialog && m_dialog->isVisible();
}

bool DeviceWrite::IsWrite(int kind) const
{
    return std::find(m_steps.kinds.begin(), m_steps.kinds.end(), kind) != m_steps.kinds.end();
}

TFormUDP *DeviceWrite::Engine()
{
    TFormUDP *engine = FormUDP();
    if (!engine) {
        DebugPrint("%s FAIL no engine", m_steps.name);
        Finish(ProgressResult::Failure);
    }
    return engine;
}

void DeviceWrite::Start()
{
    TFormUDP *engine = Engine();
    if (!engine)
        return;
    if (!m_steps.send) {
        engine->SendLogin(DeviceWait::Login);
    } else if (engine->loggedIn()) {
        m_steps.send(*engine);
    } else if (m_retryLogin) {
        m_retryLogin = false;
        engine->SendLogin(DeviceWait::Login);
    } else {
        Fail(Failure::NotLoggedIn, REQ_LOGIN);
    }
}

bool DeviceWrite::HandleMessage(const AppMessage &message)
{
    if (!Open())
        return false;
    if (message.id == UM_UDP_REPLY)
        Answered(int(message.wParam), message.lParam != 0);
    else if (message.id == UM_UDP_TIMEOUT)
        TimedOut(int(message.wParam));
    else
        return false;
    return true;
}

void DeviceWrite::Answered(int kind, bool accepted)
{
    if (IsWrite(kind)) {
        m_writeAccepted = accepted;
        if (!accepted)
            Fail(Failure::Refused, kind);
        else if (m_steps.accepted)
            m_steps.accepted();
        else
            ReadBack(m_steps.settleBeforeReadBack);
    } else if (kind == REQ_LOGIN) {
        if (!accepted)
            Fail(Failure::LoginRefused, kind);
        else if (m_steps.send)
            Start();
        else
            ReadBack(0);
    } else if (kind == REQ_GET_CONFIG) {
        if (m_steps.settleAfterReadBack > 0)
            ProcessDelay(unsigned(m_steps.settleAfterReadBack));
        if (m_steps.readBack)
            m_steps.readBack();
        Finish(ProgressResult::Success);
    }
}

void DeviceWrite::TimedOut(int kind)
{
    if (IsWrite(kind)) {
        if (!m_retryLogin) {
            Fail(Failure::Unanswered, kind);
            return;
        }
        m_retryLogin = false;
        TFormUDP *engine = Engine();
        if (!engine)
            return;
        if (m_steps.logoutBeforeRelogin)
            engine->SendLogout(DeviceWait::Logout);
        engine->SendLogin(DeviceWait::Login);
    } else if (kind == REQ_LOGIN || kind == REQ_GET_CONFIG) {
        Fail(Failure::TimedOut, kind);
    }
}

bool DeviceWrite::ReadBack(int settleMs)
{
    if (settleMs > 0)
        ProcessDelay(unsigned(settleMs));
    if (!Open())
        return false;
    if (TFormUDP *engine = Engine())
        engine->SendGetConfig(DeviceWait::GetConfig);
    return true;
}

void DeviceWrite::Fail(Failure why, int kind)
{
    if (m_steps.failed)
        m_steps.failed(why, kind);
    Finish(ProgressResult::Failure);
}

void DeviceWrite::Finish(ProgressResult result)
{
    if (Open())
        m_dialog->Close(result);
}
