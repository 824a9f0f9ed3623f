#include "pages/wireless/framewlprofwlmode.h"

#include "app/globalvar.h"
#include "controls/timage.h"
#include "controls/trifacebtn.h"
#include "framework/pagekit.h"
#include "messages/appmessage.h"
#include "skin/widgethelpers.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

TFrameWlProfWlMode::TFrameWlProfWlMode(QWidget *parent) : TFrameBase(parent)
{
    setObjectName(QStringLiteral("FrameWlProfWlMode1"));
    std::tie(ImgBG, GBoxWlMode) = PageKit::PageFrame(this, PageKit::SubPageHeight, "GBoxWlMode",
                                                     PageKit::ContentBox, QStringLiteral("Wireless Mode"));
    LbMode = PageKit::Label(GBoxWlMode, "LbMode", QStringLiteral("Wireless Mode:"), QRect(40, 64, 120, 13));
    CmbMode = PageKit::Combo(GBoxWlMode, "CmbMode", 168, 60, 260);

    std::tie(BtnExit, BtnBack, BtnNext) =
        PageKit::WizardButtons(this, &TFrameWlProfWlMode::BtnExitClick, &TFrameWlProfWlMode::BtnBackClick,
                               &TFrameWlProfWlMode::BtnNextClick, PageKit::Focus::Strong);
    SkinOnLoad(ImgBG, {BtnExit, BtnBack, BtnNext});
}

void TFrameWlProfWlMode::LoadPageTexts()
{
    // The modes the device offers, b/g/n first.
    CmbMode->clear();
    for (int code : {WLMODE_BGN, WLMODE_BG, WLMODE_N})
        PageKit::AddCodeItem(CmbMode, WirelessModeName(code), code);
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
