#include "pages/wireless/frameadhocmode.h"

#include "controls/trifacebtn.h"
#include "messages/appmessage.h"
#include "pages/wireless/wlpagedesign.h"
#include "wizard/timage.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFrameAdhocMode::TFrameAdhocMode(QWidget *parent) : TFrameBase(parent)
{
    setObjectName(QStringLiteral("FrameAdhocMode1"));
    resize(WlDesign::PAGE_WIDTH, WlDesign::PAGE_HEIGHT);

    ImgBG = WlDesign::Background(this);
    GBoxAdhocMode = WlDesign::Group(this, QStringLiteral("GBoxAdhocMode"), QStringLiteral("Adhoc Mode"));
    LbAdhocInfo = WlDesign::Label(GBoxAdhocMode, QStringLiteral("LbAdhocInfo"),
                                  QStringLiteral("Add your SSID and select your Channel:"), 16, 32, 400);
    LbSSID = WlDesign::Label(GBoxAdhocMode, QStringLiteral("LbSSID"), QStringLiteral("SSID:"), 40, 68, 100);
    EdtSSID = WlDesign::Edit(GBoxAdhocMode, QStringLiteral("EdtSSID"), 148, 64, 240, 32);
    LbChannel =
        WlDesign::Label(GBoxAdhocMode, QStringLiteral("LbChannel"), QStringLiteral("Channel:"), 40, 100, 100);
    CmbChannel = WlDesign::Combo(GBoxAdhocMode, QStringLiteral("CmbChannel"), 148, 96, 120);

    const WlDesign::WizardButtons buttons = WlDesign::StandardButtons(this);
    BtnExit = buttons.exit;
    BtnBack = buttons.back;
    BtnNext = buttons.next;
    connect(BtnExit, &QPushButton::clicked, this, &TFrameAdhocMode::BtnExitClick);
    connect(BtnBack, &QPushButton::clicked, this, &TFrameAdhocMode::BtnBackClick);
    connect(BtnNext, &QPushButton::clicked, this, &TFrameAdhocMode::BtnNextClick);
}

void TFrameAdhocMode::LoadPageTexts()
{
    SkinBackground(ImgBG);
    SkinButton(BtnExit);
    SkinButton(BtnBack);
    SkinButton(BtnNext);
    TFrameBase::LoadPageTexts();
}

void TFrameAdhocMode::BtnExitClick()
{
    PostWizardCommand(WIZARD_EXIT);
}

void TFrameAdhocMode::BtnBackClick()
{
    PostWizardCommand(WIZARD_BACK);
}

void TFrameAdhocMode::BtnNextClick()
{
    PostWizardCommand(WIZARD_NEXT);
}
