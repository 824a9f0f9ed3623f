#include "pages/wireless/framesetwlmethod.h"

#include "app/globalvar.h"
#include "controls/timage.h"
#include "controls/trifacebtn.h"
#include "framework/pagekit.h"
#include "messages/appmessage.h"

#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

TFrameSetWlMethod::TFrameSetWlMethod(QWidget *parent) : TFrameBase(parent)
{
    setObjectName(QStringLiteral("FrameSetWlMethod1"));
    std::tie(ImgBG, GBoxSetWlMethod) =
        PageKit::PageFrame(this, PageKit::PageHeight, "GBoxSetWlMethod", PageKit::ContentBox);
    LbSetWlInfo = PageKit::Label(GBoxSetWlMethod, "LbSetWlInfo", QStringLiteral("Wireless Configuration"),
                                 QRect(16, 24, 400, 16), PageKit::Bold);
    RBtnManual =
        PageKit::Radio(GBoxSetWlMethod, "RBtnManual", QStringLiteral("Manual Setup"), QRect(40, 56, 400, 17));
    RBtnWPS = PageKit::Radio(GBoxSetWlMethod, "RBtnWPS", QStringLiteral("Wi-Fi Protected Setup (WPS)"),
                             QRect(40, 80, 400, 17));
    RBtnManual->setChecked(true);
    LbSetWlMsg = PageKit::Label(
        GBoxSetWlMethod, "LbSetWlMsg",
        QStringLiteral("Wi-Fi Protected Setup (WPS) adds a wireless client to the network by the press of a "
                       "button or by a PIN, without typing the network name or the security key."),
        QRect(40, 112, 480, 96), PageKit::Wrapped);
    LbClickNext = PageKit::ClickNextLabel(GBoxSetWlMethod, QRect(320, 228, 216, 13));

    std::tie(BtnExit, BtnBack, BtnNext) =
        PageKit::WizardButtons(this, &TFrameSetWlMethod::BtnExitClick, &TFrameSetWlMethod::BtnBackClick,
                               &TFrameSetWlMethod::BtnNextClick, PageKit::Focus::Strong);
    SkinOnLoad(ImgBG, {BtnExit, BtnBack, BtnNext});
}

bool TFrameSetWlMethod::CanEnter(TFrameBase *fromPage, bool isBack, int param)
{
    // A Back keeps what the user left; a forward entry starts again from the
    // manual choice and the explanation of the current mode.
    if (!isBack) {
        RBtnManual->setChecked(true);
        LbSetWlMsg->setText(ReadText(g_Var.DeviceMode == DEVICE_AP ? StringKey::SetWlMethod_AP_MODE_MSG
                                                                   : StringKey::SetWlMethod_BRIDGE_MODE_MSG));
    }
    return TFrameBase::CanEnter(fromPage, isBack, param);
}

void TFrameSetWlMethod::BtnExitClick()
{
    PostWizardCommand(WIZARD_EXIT);
}

void TFrameSetWlMethod::BtnBackClick()
{
    PostWizardCommand(WIZARD_BACK);
}

void TFrameSetWlMethod::BtnNextClick()
{
    if (RBtnWPS->isChecked())
        g_Var.WlMethod = WirelessMethod::Wps;
    else if (RBtnManual->isChecked())
        g_Var.WlMethod = WirelessMethod::Profile;
    PostWizardCommand(WIZARD_NEXT);
}
