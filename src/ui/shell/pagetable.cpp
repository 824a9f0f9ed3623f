#include "shell/pagetable.h"

#include "pages/device/framedevipcfg.h"
#include "pages/device/framedevlist.h"
#include "pages/device/framepassword.h"
#include "pages/device/framesetupmethod.h"
#include "pages/device/framesuccess.h"
#include "pages/device/framewlmodesel.h"
#include "pages/front/framelicense.h"
#include "pages/front/frametutorial.h"
#include "pages/front/frametutorial2.h"
#include "pages/front/framewelcome.h"
#include "pages/wireless/frameadhocmode.h"
#include "pages/wireless/framesetwlmethod.h"
#include "pages/wireless/framesitesurvey.h"
#include "pages/wireless/framewlconfig.h"
#include "pages/wireless/framewlprofile.h"
#include "pages/wireless/framewpsmethod.h"

#include <algorithm>

namespace {

using P = WizardPage;
using C = const WizardChoices &;

template <typename Page> TFrameBase *Make(QWidget *owner)
{
    return new Page(owner);
}

// Fixed neighbours.
template <P target> WizardStep Forward(C, bool)
{
    return ShowStep(target, false);
}
template <P target> WizardStep Backward(C, bool)
{
    return ShowStep(target, true);
}
WizardStep Stay(C, bool)
{
    return StayStep();
}
// Back on the first pages ends the wizard's showing: the menu comes back.
WizardStep ToMenu(C, bool)
{
    return CloseStep(2);
}

bool IsAp(C choices)
{
    return choices.DeviceMode == DEVICE_AP;
}

// The wireless part after the IP part: AP picks the wireless method, a
// bridge goes straight to the profile sequence.
WizardStep StartWireless(C choices, bool)
{
    WizardStep step = ShowStep(IsAp(choices) ? P::SetWlMethod : P::WlProfile, false);
    step.startWireless = true;
    return step;
}

WizardStep NextFromModeSel(C choices, bool)
{
    return ShowStep(IsAp(choices) ? P::SetupMethod : P::SiteSurvey, false);
}

WizardStep NextFromSetupMethod(C choices, bool profileMoved)
{
    if (choices.SetupMethod == SETUP_METHOD_IP)
        return choices.SetIP ? ShowStep(P::DevIPCfg, false) : StartWireless(choices, profileMoved);
    if (choices.SetupMethod == SETUP_METHOD_WIRELESS)
        return ShowStep(IsAp(choices) ? P::SetWlMethod : P::WlProfile, false);
    return StayStep();
}

WizardStep NextFromSetWlMethod(C choices, bool)
{
    if (choices.WlMethod == WirelessMethod::Wps)
        return ShowStep(P::WPSMethod, false);
    if (choices.WlMethod == WirelessMethod::Profile)
        return ShowStep(IsAp(choices) ? P::WlProfile : P::SiteSurvey, false);
    return StayStep();
}

WizardStep NextFromSiteSurvey(C choices, bool)
{
    switch (choices.WlMethod) {
    case WirelessMethod::Profile:
        return ShowStep(P::WlProfile, false);
    case WirelessMethod::Wps:
        return ShowStep(P::WPSMethod, false);
    case WirelessMethod::Manual:
        return ShowStep(P::SetupMethod, false);
    }
    return StayStep();
}

WizardStep NextFromProfile(C, bool profileMoved)
{
    return profileMoved ? ShowStep(P::Success, false) : StayStep();
}

WizardStep BackFromSetupMethod(C choices, bool)
{
    return ShowStep(IsAp(choices) ? P::WlModeSel : P::SiteSurvey, true);
}

WizardStep BackFromSetWlMethod(C choices, bool)
{
    return ShowStep(choices.SetIP ? P::DevIPCfg : P::SetupMethod, true);
}

WizardStep BackFromProfile(C choices, bool profileMoved)
{
    if (!profileMoved)
        return StayStep();
    if (IsAp(choices))
        return ShowStep(P::SetWlMethod, true);
    if (choices.WlMethod == WirelessMethod::Profile)
        return ShowStep(P::SiteSurvey, true);
    if (choices.WlMethod == WirelessMethod::Manual)
        return ShowStep(choices.SetIP ? P::DevIPCfg : P::SetupMethod, true);
    return StayStep();
}

// In AP mode the wireless method page is entered as on first entry, so that
// it resets its choice to manual setup.
WizardStep BackFromWps(C choices, bool)
{
    return IsAp(choices) ? ShowStep(P::SetWlMethod, false) : ShowStep(P::SiteSurvey, true);
}

// clang-format off
const PageEntry kPages[] = {
    {.id = P::Welcome, .create = Make<TFrameWelcome>, .objectName = "FrameWelcome1",
     .next = Forward<P::License>, .back = Stay},
    {.id = P::License, .create = Make<TFrameLicense>, .objectName = "FrameLicense1",
     .next = Forward<P::Tutorial>, .back = ToMenu},
    {.id = P::Tutorial, .create = Make<TFrameTutorial>, .objectName = "FrameTutorial1",
     .next = Forward<P::Tutorial2>, .back = ToMenu},
    {.id = P::DevList, .create = Make<TFrameDevList>, .objectName = "FrameDevList1",
     .next = Forward<P::Password>, .back = Backward<P::Tutorial2>},
    {.id = P::Password, .create = Make<TFramePassword>, .objectName = "FramePassword1",
     .next = Forward<P::WlModeSel>, .back = Backward<P::DevList>, .height = 323},
    {.id = P::SetupMethod, .create = Make<TFrameSetupMethod>, .objectName = "FrameSetupMethod1",
     .next = NextFromSetupMethod, .back = BackFromSetupMethod},
    {.id = P::DevIPCfg, .create = Make<TFrameDevIPCfg>, .objectName = "FrameDevIPCfg1",
     .next = StartWireless, .back = Backward<P::SetupMethod>},
    {.id = P::SetWlMethod, .create = Make<TFrameSetWlMethod>, .objectName = "FrameSetWlMethod1",
     .next = NextFromSetWlMethod, .back = BackFromSetWlMethod},
    {.id = P::WPSMethod, .create = Make<TFrameWPSMethod>, .objectName = "FrameWPSMethod1",
     .next = Forward<P::Success>, .back = BackFromWps},
    {.id = P::Success, .create = Make<TFrameSuccess>, .objectName = "FrameSuccess1",
     .next = Forward<P::SetupMethod>, .back = Backward<P::WlModeSel>},
    {.id = P::WlProfile, .create = Make<TFrameWlProfile>, .objectName = "FrameWlProfile1",
     .next = NextFromProfile, .back = BackFromProfile},
    {.id = P::AdhocMode, .create = Make<TFrameAdhocMode>, .objectName = "FrameAdhocMode1",
     .next = Stay, .back = Stay},
    {.id = P::WlModeSel, .create = Make<TFrameWlModeSel>, .objectName = "FrameWlModeSel1",
     .next = NextFromModeSel, .back = Backward<P::DevList>},
    {.id = P::WlConfig, .create = Make<TFrameWlConfig>, .objectName = "FrameWlConfig1",
     .next = Stay, .back = Stay},
    {.id = P::SiteSurvey, .create = Make<TFrameSiteSurvey>, .objectName = "FrameSiteSurvey1",
     .next = NextFromSiteSurvey, .back = Backward<P::WlModeSel>},
    {.id = P::Tutorial2, .create = Make<TFrameTutorial2>, .objectName = "FrameTutorial21",
     .next = Forward<P::DevList>, .back = Backward<P::Tutorial>},
};
// clang-format on

} // namespace

std::span<const PageEntry> WizardPages()
{
    return kPages;
}

const PageEntry *FindWizardPage(WizardPage id)
{
    const auto it = std::find_if(std::begin(kPages), std::end(kPages), [id](const PageEntry &e) { return e.id == id; });
    return it == std::end(kPages) ? nullptr : &*it;
}
