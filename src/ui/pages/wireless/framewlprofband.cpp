#include "pages/wireless/framewlprofband.h"

#include "controls/trifacebtn.h"
#include "messages/appmessage.h"
#include "pages/wireless/wlpagedesign.h"
#include "wizard/timage.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

TFrameWlProfBand::TFrameWlProfBand(QWidget *parent) : TFrameBase(parent)
{
    setObjectName(QStringLiteral("FrameWlProfBand1"));
    resize(WlDesign::PAGE_WIDTH, WlDesign::SUBPAGE_HEIGHT);

    ImgBG = WlDesign::Background(this);
    GBoxWirelessBand =
        WlDesign::Group(this, QStringLiteral("GBoxWirelessBand"), QStringLiteral("Wireless Band"));
    LbBand = WlDesign::Label(GBoxWirelessBand, QStringLiteral("LbBand"), QStringLiteral("Wireless Band:"), 40,
                             64, 120);
    CmbBand = WlDesign::Combo(GBoxWirelessBand, QStringLiteral("CmbBand"), 168, 60, 300);

    const WlDesign::WizardButtons buttons = WlDesign::StandardButtons(this);
    BtnExit = buttons.exit;
    BtnBack = buttons.back;
    BtnNext = buttons.next;
    connect(BtnExit, &QPushButton::clicked, this, &TFrameWlProfBand::BtnExitClick);
    connect(BtnBack, &QPushButton::clicked, this, &TFrameWlProfBand::BtnBackClick);
    connect(BtnNext, &QPushButton::clicked, this, &TFrameWlProfBand::BtnNextClick);
}

void TFrameWlProfBand::LoadPageTexts()
{
    SkinBackground(ImgBG);
    SkinButton(BtnExit);
    SkinButton(BtnBack);
    SkinButton(BtnNext);
    TFrameBase::LoadPageTexts();
}

void TFrameWlProfBand::BtnExitClick()
{
    PostWizardCommand(WIZARD_EXIT);
}

void TFrameWlProfBand::BtnBackClick()
{
    PostWizardCommand(WIZARD_BACK);
}

void TFrameWlProfBand::BtnNextClick()
{
    PostWizardCommand(WIZARD_NEXT);
}
