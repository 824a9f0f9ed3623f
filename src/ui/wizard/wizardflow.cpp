#include "wizard/wizardflow.h"

#include "app/records.h"

namespace {

WizardStep Stay()
{
    return WizardStep{};
}

WizardStep Show(WizardPage target, bool isBack)
{
    WizardStep step;
    step.kind = WizardStep::Show;
    step.target = target;
    step.isBack = isBack;
    return step;
}

WizardStep Close(int result)
{
    WizardStep step;
    step.kind = WizardStep::Close;
    step.closeResult = result;
    return step;
}

bool IsAp(const WizardChoices &choices)
{
    return choices.DeviceMode == DEVICE_AP;
}

// The wireless part after the IP part: AP picks the wireless method, a
// bridge goes straight to the profile sequence.
WizardStep StartWireless(const WizardChoices &choices)
{
    WizardStep step = Show(IsAp(choices) ? WizardPage::SetWlMethod : WizardPage::WlProfile, false);
    step.startWireless = true;
    return step;
}

} // namespace

const char *WizardPageName(WizardPage page)
{
    switch (page) {
    case WizardPage::None:
        return "None";
    case WizardPage::Welcome:
        return "FrameWelcome1";
    case WizardPage::License:
        return "FrameLicense1";
    case WizardPage::Tutorial:
        return "FrameTutorial1";
    case WizardPage::Tutorial2:
        return "FrameTutorial21";
    case WizardPage::DevList:
        return "FrameDevList1";
    case WizardPage::Password:
        return "FramePassword1";
    case WizardPage::WlModeSel:
        return "FrameWlModeSel1";
    case WizardPage::SetupMethod:
        return "FrameSetupMethod1";
    case WizardPage::DevIPCfg:
        return "FrameDevIPCfg1";
    case WizardPage::SetWlMethod:
        return "FrameSetWlMethod1";
    case WizardPage::WPSMethod:
        return "FrameWPSMethod1";
    case WizardPage::Success:
        return "FrameSuccess1";
    case WizardPage::WlProfile:
        return "FrameWlProfile1";
    case WizardPage::AdhocMode:
        return "FrameAdhocMode1";
    case WizardPage::WlConfig:
        return "FrameWlConfig1";
    case WizardPage::SiteSurvey:
        return "FrameSiteSurvey1";
    }
    return "?";
}

WizardStep DecideNext(WizardPage current, const WizardChoices &choices, bool profileMoved)
{
    switch (current) {
    case WizardPage::None:
    case WizardPage::Welcome:
        return Show(WizardPage::License, false);
    case WizardPage::License:
        return Show(WizardPage::Tutorial, false);
    case WizardPage::Tutorial:
        return Show(WizardPage::Tutorial2, false);
    case WizardPage::Tutorial2:
        return Show(WizardPage::DevList, false);
    case WizardPage::DevList:
        return Show(WizardPage::Password, false);
    case WizardPage::Password:
        return Show(WizardPage::WlModeSel, false);
    case WizardPage::WlModeSel:
        return Show(IsAp(choices) ? WizardPage::SetupMethod : WizardPage::SiteSurvey, false);
    case WizardPage::SetupMethod:
        if (choices.SetupMethod == SETUP_METHOD_IP)
            return choices.SetIP ? Show(WizardPage::DevIPCfg, false) : StartWireless(choices);
        if (choices.SetupMethod == SETUP_METHOD_WIRELESS)
            return Show(IsAp(choices) ? WizardPage::SetWlMethod : WizardPage::WlProfile, false);
        return Stay();
    case WizardPage::DevIPCfg:
        return StartWireless(choices);
    case WizardPage::SetWlMethod:
        if (choices.WlMethod == 0)
            return Show(WizardPage::WPSMethod, false);
        if (choices.WlMethod == 1)
            return Show(IsAp(choices) ? WizardPage::WlProfile : WizardPage::SiteSurvey, false);
        return Stay();
    case WizardPage::SiteSurvey:
        if (choices.WlMethod == 1)
            return Show(WizardPage::WlProfile, false);
        if (choices.WlMethod == 0)
            return Show(WizardPage::WPSMethod, false);
        if (choices.WlMethod == 2)
            return Show(WizardPage::SetupMethod, false);
        return Stay();
    case WizardPage::WlProfile:
        return profileMoved ? Show(WizardPage::Success, false) : Stay();
    case WizardPage::WPSMethod:
        return Show(WizardPage::Success, false);
    case WizardPage::Success:
        return Show(WizardPage::SetupMethod, false);
    case WizardPage::AdhocMode:
    case WizardPage::WlConfig:
        return Stay();
    }
    return Stay();
}

WizardStep DecideBack(WizardPage current, const WizardChoices &choices, bool profileMoved)
{
    switch (current) {
    case WizardPage::License:
    case WizardPage::Tutorial:
        return Close(2);
    case WizardPage::Tutorial2:
        return Show(WizardPage::Tutorial, true);
    case WizardPage::DevList:
        return Show(WizardPage::Tutorial2, true);
    case WizardPage::Password:
    case WizardPage::WlModeSel:
        return Show(WizardPage::DevList, true);
    case WizardPage::SetupMethod:
        return Show(IsAp(choices) ? WizardPage::WlModeSel : WizardPage::SiteSurvey, true);
    case WizardPage::DevIPCfg:
        return Show(WizardPage::SetupMethod, true);
    case WizardPage::SetWlMethod:
        return Show(choices.SetIP ? WizardPage::DevIPCfg : WizardPage::SetupMethod, true);
    case WizardPage::SiteSurvey:
        return Show(WizardPage::WlModeSel, true);
    case WizardPage::WlProfile:
        if (!profileMoved)
            return Stay();
        if (IsAp(choices))
            return Show(WizardPage::SetWlMethod, true);
        if (choices.WlMethod == 1)
            return Show(WizardPage::SiteSurvey, true);
        if (choices.WlMethod == 2)
            return Show(choices.SetIP ? WizardPage::DevIPCfg : WizardPage::SetupMethod, true);
        return Stay();
    case WizardPage::WPSMethod:
        // In AP mode the wireless method page is entered as on first entry,
        // so that it resets its choice to manual setup.
        return IsAp(choices) ? Show(WizardPage::SetWlMethod, false) : Show(WizardPage::SiteSurvey, true);
    case WizardPage::Success:
        return Show(WizardPage::WlModeSel, true);
    case WizardPage::None:
    case WizardPage::Welcome:
    case WizardPage::AdhocMode:
    case WizardPage::WlConfig:
        return Stay();
    }
    return Stay();
}
