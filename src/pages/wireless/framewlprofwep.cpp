#include "pages/wireless/framewlprofwep.h"

#include "pages/wireless/wlpagedesign.h"
#include "wizard/core/appmessage.h"
#include "wizard/timage.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFrameWlProfWEP::TFrameWlProfWEP(QWidget *parent) : TFrameBase(parent)
{
    setObjectName(QStringLiteral("FrameWlProfWEP1"));
    resize(WlDesign::PAGE_WIDTH, WlDesign::SUBPAGE_HEIGHT);

    ImgBG = WlDesign::Background(this);
    GBoxWEP = WlDesign::Group(this, QStringLiteral("GBoxWEP"), QStringLiteral("Wireless Security"));
    LbWEP = WlDesign::Label(GBoxWEP, QStringLiteral("LbWEP"), QStringLiteral("WEP Key Length:"), 40, 48, 120);
    CmbWEP = WlDesign::Combo(GBoxWEP, QStringLiteral("CmbWEP"), 168, 44, 160);
    LbWEPKey = WlDesign::Label(GBoxWEP, QStringLiteral("LbWEPKey"), QStringLiteral("WEP Key:"), 40, 84, 120);
    EdtKey1 = WlDesign::Edit(GBoxWEP, QStringLiteral("EdtKey1"), 168, 80, 260, 10);
    LbAuthen = WlDesign::Label(GBoxWEP, QStringLiteral("LbAuthen"), QStringLiteral("Authentication:"), 40, 120, 120);
    CmbAuthen = WlDesign::Combo(GBoxWEP, QStringLiteral("CmbAuthen"), 168, 116, 160);

    const WlDesign::WizardButtons buttons = WlDesign::StandardButtons(this);
    BtnExit = buttons.exit;
    BtnBack = buttons.back;
    BtnNext = buttons.next;
    connect(CmbWEP, &QComboBox::activated, this, &TFrameWlProfWEP::CmbWEPSelect);
    connect(BtnExit, &QPushButton::clicked, this, &TFrameWlProfWEP::BtnExitClick);
    connect(BtnBack, &QPushButton::clicked, this, &TFrameWlProfWEP::BtnBackClick);
    connect(BtnNext, &QPushButton::clicked, this, &TFrameWlProfWEP::BtnNextClick);
}

void TFrameWlProfWEP::LoadPageTexts()
{
    SkinBackground(ImgBG);
    SkinButton(BtnExit);
    SkinButton(BtnBack);
    SkinButton(BtnNext);
    TFrameBase::LoadPageTexts();
}

bool TFrameWlProfWEP::CanEnter(TFrameBase *fromPage, bool isBack, int param)
{
    return TFrameBase::CanEnter(fromPage, isBack, param);
}

void TFrameWlProfWEP::Entered(TFrameBase *fromPage, bool isBack, int param)
{
    TFrameBase::Entered(fromPage, isBack, param);
}

void TFrameWlProfWEP::CmbWEPSelect()
{
    EdtKey1->setMaxLength(WlDesign::SelectedCode(CmbWEP, 0) == 1 ? 26 : 10);
    EdtKey1->clear();
}

int TFrameWlProfWEP::CheckWepKey(int)
{
    return -1;
}

QString TFrameWlProfWEP::WepKeyMessage(int, bool)
{
    return QString();
}

QString TFrameWlProfWEP::WepKeyText(int) const
{
    return QString();
}

void TFrameWlProfWEP::BtnExitClick()
{
    PostWizardCommand(WIZARD_EXIT);
}

void TFrameWlProfWEP::BtnBackClick()
{
    PostWizardCommand(WIZARD_BACK);
}

void TFrameWlProfWEP::BtnNextClick()
{
}
