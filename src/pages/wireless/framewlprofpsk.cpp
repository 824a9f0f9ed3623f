#include "pages/wireless/framewlprofpsk.h"

#include "pages/wireless/wlpagedesign.h"
#include "wizard/core/appmessage.h"
#include "wizard/timage.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFrameWlProfPSK::TFrameWlProfPSK(QWidget *parent) : TFrameBase(parent)
{
    setObjectName(QStringLiteral("FrameWlProfPSK1"));
    resize(WlDesign::PAGE_WIDTH, WlDesign::SUBPAGE_HEIGHT);

    ImgBG = WlDesign::Background(this);
    GBoxPSK = WlDesign::Group(this, QStringLiteral("GBoxPSK"), QStringLiteral("Wireless Security"));
    LbWPAMode = WlDesign::Label(GBoxPSK, QStringLiteral("LbWPAMode"), QStringLiteral("WPA Mode:"), 40, 48, 120);
    CmbWPAMode = WlDesign::Combo(GBoxPSK, QStringLiteral("CmbWPAMode"), 168, 44, 160);
    LbCipher = WlDesign::Label(GBoxPSK, QStringLiteral("LbCipher"), QStringLiteral("Cipher Type:"), 40, 84, 120);
    LbCipherValue = WlDesign::Label(GBoxPSK, QStringLiteral("LbCipherValue"), QString(), 168, 84, 260);
    LbPassphrase =
        WlDesign::Label(GBoxPSK, QStringLiteral("LbPassphrase"), QStringLiteral("Pre-Shared Key:"), 40, 120, 120);
    EdtPassphrase = WlDesign::Edit(GBoxPSK, QStringLiteral("EdtPassphrase"), 168, 116, 360, 64);

    const WlDesign::WizardButtons buttons = WlDesign::StandardButtons(this);
    BtnExit = buttons.exit;
    BtnBack = buttons.back;
    BtnNext = buttons.next;
    connect(CmbWPAMode, &QComboBox::activated, this, &TFrameWlProfPSK::CmbWPAModeSelect);
    connect(BtnExit, &QPushButton::clicked, this, &TFrameWlProfPSK::BtnExitClick);
    connect(BtnBack, &QPushButton::clicked, this, &TFrameWlProfPSK::BtnBackClick);
    connect(BtnNext, &QPushButton::clicked, this, &TFrameWlProfPSK::BtnNextClick);
}

void TFrameWlProfPSK::LoadPageTexts()
{
    SkinBackground(ImgBG);
    SkinButton(BtnExit);
    SkinButton(BtnBack);
    SkinButton(BtnNext);
    TFrameBase::LoadPageTexts();
}

bool TFrameWlProfPSK::CanEnter(TFrameBase *fromPage, bool isBack, int param)
{
    return TFrameBase::CanEnter(fromPage, isBack, param);
}

void TFrameWlProfPSK::Entered(TFrameBase *fromPage, bool isBack, int param)
{
    TFrameBase::Entered(fromPage, isBack, param);
}

int TFrameWlProfPSK::CipherForMode(int wpaMode)
{
    switch (wpaMode) {
    case 0:
        return 0;
    case 1:
        return 1;
    default:
        return 2;
    }
}

void TFrameWlProfPSK::CmbWPAModeSelect()
{
}

bool TFrameWlProfPSK::CheckPassphrase()
{
    return false;
}

void TFrameWlProfPSK::BtnExitClick()
{
    PostWizardCommand(WIZARD_EXIT);
}

void TFrameWlProfPSK::BtnBackClick()
{
    PostWizardCommand(WIZARD_BACK);
}

void TFrameWlProfPSK::BtnNextClick()
{
}
