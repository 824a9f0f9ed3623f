#include "pages/wireless/framewlprofwlmode.h"

#include "app/globalvar.h"
#include "controls/trifacebtn.h"
#include "messages/appmessage.h"
#include "pages/wireless/wlpagedesign.h"
#include "skin/widgethelpers.h"
#include "wizard/timage.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

TFrameWlProfWlMode::TFrameWlProfWlMode(QWidget *parent) : TFrameBase(parent)
{
    setObjectName(QStringLiteral("FrameWlProfWlMode1"));
    resize(WlDesign::PAGE_WIDTH, WlDesign::SUBPAGE_HEIGHT);

    ImgBG = WlDesign::Background(this);
    GBoxWlMode = WlDesign::Group(this, QStringLiteral("GBoxWlMode"), QStringLiteral("Wireless Mode"));
    LbMode =
        WlDesign::Label(GBoxWlMode, QStringLiteral("LbMode"), QStringLiteral("Wireless Mode:"), 40, 64, 120);
    CmbMode = WlDesign::Combo(GBoxWlMode, QStringLiteral("CmbMode"), 168, 60, 260);

    const WlDesign::WizardButtons buttons = WlDesign::StandardButtons(this);
    BtnExit = buttons.exit;
    BtnBack = buttons.back;
    BtnNext = buttons.next;
    connect(BtnExit, &QPushButton::clicked, this, &TFrameWlProfWlMode::BtnExitClick);
    connect(BtnBack, &QPushButton::clicked, this, &TFrameWlProfWlMode::BtnBackClick);
    connect(BtnNext, &QPushButton::clicked, this, &TFrameWlProfWlMode::BtnNextClick);
}

void TFrameWlProfWlMode::LoadPageTexts()
{
    SkinBackground(ImgBG);
    SkinButton(BtnExit);
    SkinButton(BtnBack);
    SkinButton(BtnNext);
    // The modes the device offers, b/g/n first.
    CmbMode->clear();
    for (int code : {WLMODE_BGN, WLMODE_BG, WLMODE_N})
        WlDesign::AddCodeItem(CmbMode, WirelessModeName(code), code);
    TFrameBase::LoadPageTexts();
}

bool TFrameWlProfWlMode::CanEnter(TFrameBase *fromPage, bool isBack, int param)
{
    if (!isBack)
        SelectComboByValue(CmbMode, WLMODE_BGN);
    return TFrameBase::CanEnter(fromPage, isBack, param);
}

void TFrameWlProfWlMode::BtnExitClick()
{
    PostWizardCommand(WIZARD_EXIT);
}

void TFrameWlProfWlMode::BtnBackClick()
{
    PostWizardCommand(WIZARD_BACK);
}

void TFrameWlProfWlMode::BtnNextClick()
{
    g_Var.NewWlConfig.WirelessMode = SelectedComboValue(CmbMode, WLMODE_BGN);
    PostWizardCommand(WIZARD_NEXT);
}
