#include "pages/wireless/framewlprofband.h"

#include "controls/timage.h"
#include "controls/trifacebtn.h"
#include "framework/pagekit.h"
#include "messages/appmessage.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

TFrameWlProfBand::TFrameWlProfBand(QWidget *parent) : TFrameBase(parent)
{
    setObjectName(QStringLiteral("FrameWlProfBand1"));
    std::tie(ImgBG, GBoxWirelessBand) =
        PageKit::PageFrame(this, PageKit::SubPageHeight, "GBoxWirelessBand", PageKit::ContentBox,
                           QStringLiteral("Wireless Band"));
    LbBand =
        PageKit::Label(GBoxWirelessBand, "LbBand", QStringLiteral("Wireless Band:"), QRect(40, 64, 120, 13));
    CmbBand = PageKit::Combo(GBoxWirelessBand, "CmbBand", 168, 60, 300);

    std::tie(BtnExit, BtnBack, BtnNext) =
        PageKit::WizardButtons(this, &TFrameWlProfBand::BtnExitClick, &TFrameWlProfBand::BtnBackClick,
                               &TFrameWlProfBand::BtnNextClick, PageKit::Focus::Strong);
    SkinOnLoad(ImgBG, {BtnExit, BtnBack, BtnNext});
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
