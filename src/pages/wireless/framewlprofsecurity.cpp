#include "pages/wireless/framewlprofsecurity.h"

#include "pages/wireless/wlpagedesign.h"
#include "wizard/core/appmessage.h"
#include "wizard/timage.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

TFrameWlProfSecurity::TFrameWlProfSecurity(QWidget *parent) : TFrameBase(parent)
{
    setObjectName(QStringLiteral("FrameWlProfSecurity1"));
    resize(WlDesign::PAGE_WIDTH, WlDesign::SUBPAGE_HEIGHT);

    ImgBG = WlDesign::Background(this);
    GBoxSecurity = WlDesign::Group(this, QStringLiteral("GBoxSecurity"), QStringLiteral("Wireless Security"));
    LbSecurity = WlDesign::Label(GBoxSecurity, QStringLiteral("LbSecurity"), QStringLiteral("Security Mode:"), 40, 64, 120);
    CmbSecurity = WlDesign::Combo(GBoxSecurity, QStringLiteral("CmbSecurity"), 168, 60, 260);

    const WlDesign::WizardButtons buttons = WlDesign::StandardButtons(this);
    BtnExit = buttons.exit;
    BtnBack = buttons.back;
    BtnNext = buttons.next;
    connect(BtnExit, &QPushButton::clicked, this, &TFrameWlProfSecurity::BtnExitClick);
    connect(BtnBack, &QPushButton::clicked, this, &TFrameWlProfSecurity::BtnBackClick);
    connect(BtnNext, &QPushButton::clicked, this, &TFrameWlProfSecurity::BtnNextClick);
}

void TFrameWlProfSecurity::LoadPageTexts()
{
    SkinBackground(ImgBG);
    SkinButton(BtnExit);
    SkinButton(BtnBack);
    SkinButton(BtnNext);
    TFrameBase::LoadPageTexts();
}

bool TFrameWlProfSecurity::CanEnter(TFrameBase *fromPage, bool isBack, int param)
{
    return TFrameBase::CanEnter(fromPage, isBack, param);
}

void TFrameWlProfSecurity::BtnExitClick()
{
    PostWizardCommand(WIZARD_EXIT);
}

void TFrameWlProfSecurity::BtnBackClick()
{
    PostWizardCommand(WIZARD_BACK);
}

void TFrameWlProfSecurity::BtnNextClick()
{
    PostWizardCommand(WIZARD_NEXT);
}
