#include "pages/wireless/framewlprofssid.h"

#include "pages/wireless/wlpagedesign.h"
#include "wizard/core/appmessage.h"
#include "wizard/timage.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFrameWlProfSSID::TFrameWlProfSSID(QWidget *parent) : TFrameBase(parent)
{
    setObjectName(QStringLiteral("FrameWlProfSSID1"));
    resize(WlDesign::PAGE_WIDTH, WlDesign::SUBPAGE_HEIGHT);

    ImgBG = WlDesign::Background(this);
    GBoxSSID = WlDesign::Group(this, QStringLiteral("GBoxSSID"), QStringLiteral("Wireless Network"));
    LbSSID = WlDesign::Label(GBoxSSID, QStringLiteral("LbSSID"), QStringLiteral("SSID:"), 40, 64, 120);
    EdtSSID = WlDesign::Edit(GBoxSSID, QStringLiteral("EdtSSID"), 168, 60, 260, 32);

    const WlDesign::WizardButtons buttons = WlDesign::StandardButtons(this);
    BtnExit = buttons.exit;
    BtnBack = buttons.back;
    BtnNext = buttons.next;
    connect(BtnExit, &QPushButton::clicked, this, &TFrameWlProfSSID::BtnExitClick);
    connect(BtnBack, &QPushButton::clicked, this, &TFrameWlProfSSID::BtnBackClick);
    connect(BtnNext, &QPushButton::clicked, this, &TFrameWlProfSSID::BtnNextClick);
}

void TFrameWlProfSSID::LoadPageTexts()
{
    SkinBackground(ImgBG);
    SkinButton(BtnExit);
    SkinButton(BtnBack);
    SkinButton(BtnNext);
    TFrameBase::LoadPageTexts();
}

bool TFrameWlProfSSID::CanEnter(TFrameBase *fromPage, bool isBack, int param)
{
    return TFrameBase::CanEnter(fromPage, isBack, param);
}

void TFrameWlProfSSID::Entered(TFrameBase *fromPage, bool isBack, int param)
{
    TFrameBase::Entered(fromPage, isBack, param);
}

void TFrameWlProfSSID::BtnExitClick()
{
    PostWizardCommand(WIZARD_EXIT);
}

void TFrameWlProfSSID::BtnBackClick()
{
    PostWizardCommand(WIZARD_BACK);
}

void TFrameWlProfSSID::BtnNextClick()
{
    PostWizardCommand(WIZARD_NEXT);
}
