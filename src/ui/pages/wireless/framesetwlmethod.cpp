#include "pages/wireless/framesetwlmethod.h"

#include "app/globalvar.h"
#include "controls/trifacebtn.h"
#include "messages/appmessage.h"
#include "pages/wireless/wlpagedesign.h"
#include "wizard/timage.h"

#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

TFrameSetWlMethod::TFrameSetWlMethod(QWidget *parent) : TFrameBase(parent)
{
    setObjectName(QStringLiteral("FrameSetWlMethod1"));
    resize(WlDesign::PAGE_WIDTH, WlDesign::PAGE_HEIGHT);

    ImgBG = WlDesign::Background(this);
    GBoxSetWlMethod = WlDesign::Group(this, QStringLiteral("GBoxSetWlMethod"), QString());
    LbSetWlInfo = WlDesign::Label(GBoxSetWlMethod, QStringLiteral("LbSetWlInfo"),
                                  QStringLiteral("Wireless Configuration"), 16, 24, 400, 16);
    QFont heading = LbSetWlInfo->font();
    heading.setBold(true);
    LbSetWlInfo->setFont(heading);
    RBtnManual = WlDesign::Radio(GBoxSetWlMethod, QStringLiteral("RBtnManual"),
                                 QStringLiteral("Manual Setup"), 40, 56, 400);
    RBtnWPS = WlDesign::Radio(GBoxSetWlMethod, QStringLiteral("RBtnWPS"),
                              QStringLiteral("Wi-Fi Protected Setup (WPS)"), 40, 80, 400);
    RBtnManual->setChecked(true);
    LbSetWlMsg = WlDesign::Label(
        GBoxSetWlMethod, QStringLiteral("LbSetWlMsg"),
        QStringLiteral("Wi-Fi Protected Setup (WPS) adds a wireless client to the network by the press of a "
                       "button or by a PIN, without typing the network name or the security key."),
        40, 112, 480, 96);
    LbSetWlMsg->setWordWrap(true);
    LbSetWlMsg->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LbClickNext = WlDesign::Label(GBoxSetWlMethod, QStringLiteral("LbClickNext"),
                                  QStringLiteral("Click Next to continue"), 320, 228, 216, 13);
    LbClickNext->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    const WlDesign::WizardButtons buttons = WlDesign::StandardButtons(this);
    BtnExit = buttons.exit;
    BtnBack = buttons.back;
    BtnNext = buttons.next;
    connect(BtnExit, &QPushButton::clicked, this, &TFrameSetWlMethod::BtnExitClick);
    connect(BtnBack, &QPushButton::clicked, this, &TFrameSetWlMethod::BtnBackClick);
    connect(BtnNext, &QPushButton::clicked, this, &TFrameSetWlMethod::BtnNextClick);
}

void TFrameSetWlMethod::LoadPageTexts()
{
    SkinBackground(ImgBG);
    SkinButton(BtnExit);
    SkinButton(BtnBack);
    SkinButton(BtnNext);
    TFrameBase::LoadPageTexts();
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
        g_Var.WlMethod = 0;
    else if (RBtnManual->isChecked())
        g_Var.WlMethod = 1;
    PostWizardCommand(WIZARD_NEXT);
}
