#include "pages/wireless/frameadhocmode.h"

#include "controls/timage.h"
#include "controls/trifacebtn.h"
#include "framework/pagekit.h"
#include "messages/appmessage.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFrameAdhocMode::TFrameAdhocMode(QWidget *parent) : TFrameBase(parent)
{
    setObjectName(QStringLiteral("FrameAdhocMode1"));
    std::tie(ImgBG, GBoxAdhocMode) = PageKit::PageFrame(this, PageKit::PageHeight, "GBoxAdhocMode",
                                                        PageKit::ContentBox, QStringLiteral("Adhoc Mode"));
    LbAdhocInfo =
        PageKit::Label(GBoxAdhocMode, "LbAdhocInfo", QStringLiteral("Add your SSID and select your Channel:"),
                       QRect(16, 32, 400, 13));
    LbSSID = PageKit::Label(GBoxAdhocMode, "LbSSID", QStringLiteral("SSID:"), QRect(40, 68, 100, 13));
    EdtSSID = PageKit::Edit(GBoxAdhocMode, "EdtSSID", 148, 64, 240, 32);
    LbChannel =
        PageKit::Label(GBoxAdhocMode, "LbChannel", QStringLiteral("Channel:"), QRect(40, 100, 100, 13));
    CmbChannel = PageKit::Combo(GBoxAdhocMode, "CmbChannel", 148, 96, 120);

    std::tie(BtnExit, BtnBack, BtnNext) =
        PageKit::WizardButtons(this, &TFrameAdhocMode::BtnExitClick, &TFrameAdhocMode::BtnBackClick,
                               &TFrameAdhocMode::BtnNextClick, PageKit::Focus::Strong);
    SkinOnLoad(ImgBG, {BtnExit, BtnBack, BtnNext});
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
