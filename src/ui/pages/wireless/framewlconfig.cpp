#include "pages/wireless/framewlconfig.h"

#include "controls/timage.h"
#include "controls/trifacebtn.h"
#include "framework/pagekit.h"
#include "messages/appmessage.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

TFrameWlConfig::TFrameWlConfig(QWidget *parent) : TFrameBase(parent)
{
    setObjectName(QStringLiteral("FrameWlConfig1"));
    std::tie(ImgBG, GBoxWlConfig) =
        PageKit::PageFrame(this, PageKit::PageHeight, "GBoxWlConfig", PageKit::ContentBox,
                           QStringLiteral("Wireless Configuration"));
    RBtnInfrastructure = PageKit::Radio(GBoxWlConfig, "RBtnInfrastructure", QStringLiteral("Infrastructure"),
                                        QRect(24, 32, 300, 17));
    RBtnInfrastructure->setChecked(true);
    LbInfrastructure = PageKit::Label(GBoxWlConfig, "LbInfrastructure",
                                      QStringLiteral("The wireless clients connect through an access point."),
                                      QRect(44, 54, 480, 32), PageKit::Wrapped);
    RBtnAdhoc = PageKit::Radio(GBoxWlConfig, "RBtnAdhoc", QStringLiteral("Adhoc"), QRect(24, 100, 300, 17));
    LbAdhoc = PageKit::Label(GBoxWlConfig, "LbAdhoc",
                             QStringLiteral("The wireless clients connect directly to each other, without an "
                                            "access point."),
                             QRect(44, 122, 480, 32), PageKit::Wrapped);

    std::tie(BtnExit, BtnBack, BtnNext) =
        PageKit::WizardButtons(this, &TFrameWlConfig::BtnExitClick, &TFrameWlConfig::BtnBackClick,
                               &TFrameWlConfig::BtnNextClick, PageKit::Focus::Strong);
    SkinOnLoad(ImgBG, {BtnExit, BtnBack, BtnNext});
}

void TFrameWlConfig::BtnExitClick()
{
    PostWizardCommand(WIZARD_EXIT);
}

void TFrameWlConfig::BtnBackClick()
{
    PostWizardCommand(WIZARD_BACK);
}

void TFrameWlConfig::BtnNextClick()
{
    PostWizardCommand(WIZARD_NEXT);
}
