#include "pages/wireless/framewlconfig.h"

#include "controls/trifacebtn.h"
#include "messages/appmessage.h"
#include "pages/wireless/wlpagedesign.h"
#include "wizard/timage.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

TFrameWlConfig::TFrameWlConfig(QWidget *parent) : TFrameBase(parent)
{
    setObjectName(QStringLiteral("FrameWlConfig1"));
    resize(WlDesign::PAGE_WIDTH, WlDesign::PAGE_HEIGHT);

    ImgBG = WlDesign::Background(this);
    GBoxWlConfig =
        WlDesign::Group(this, QStringLiteral("GBoxWlConfig"), QStringLiteral("Wireless Configuration"));
    RBtnInfrastructure = WlDesign::Radio(GBoxWlConfig, QStringLiteral("RBtnInfrastructure"),
                                         QStringLiteral("Infrastructure"), 24, 32, 300);
    RBtnInfrastructure->setChecked(true);
    LbInfrastructure = WlDesign::Label(
        GBoxWlConfig, QStringLiteral("LbInfrastructure"),
        QStringLiteral("The wireless clients connect through an access point."), 44, 54, 480, 32);
    LbInfrastructure->setWordWrap(true);
    LbInfrastructure->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    RBtnAdhoc =
        WlDesign::Radio(GBoxWlConfig, QStringLiteral("RBtnAdhoc"), QStringLiteral("Adhoc"), 24, 100, 300);
    LbAdhoc =
        WlDesign::Label(GBoxWlConfig, QStringLiteral("LbAdhoc"),
                        QStringLiteral("The wireless clients connect directly to each other, without an "
                                       "access point."),
                        44, 122, 480, 32);
    LbAdhoc->setWordWrap(true);
    LbAdhoc->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    const WlDesign::WizardButtons buttons = WlDesign::StandardButtons(this);
    BtnExit = buttons.exit;
    BtnBack = buttons.back;
    BtnNext = buttons.next;
    connect(BtnExit, &QPushButton::clicked, this, &TFrameWlConfig::BtnExitClick);
    connect(BtnBack, &QPushButton::clicked, this, &TFrameWlConfig::BtnBackClick);
    connect(BtnNext, &QPushButton::clicked, this, &TFrameWlConfig::BtnNextClick);
}

void TFrameWlConfig::LoadPageTexts()
{
    SkinBackground(ImgBG);
    SkinButton(BtnExit);
    SkinButton(BtnBack);
    SkinButton(BtnNext);
    TFrameBase::LoadPageTexts();
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
