#include "pages/wireless/framewlprofpsk.h"

#include "app/debug.h"
#include "app/globalvar.h"
#include "app/utility.h"
#include "app/validation.h"
#include "controls/timage.h"
#include "controls/trifacebtn.h"
#include "framework/pagekit.h"
#include "messages/appmessage.h"
#include "skin/widgethelpers.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFrameWlProfPSK::TFrameWlProfPSK(QWidget *parent) : TFrameBase(parent)
{
    setObjectName(QStringLiteral("FrameWlProfPSK1"));
    std::tie(ImgBG, GBoxPSK) = PageKit::PageFrame(this, PageKit::SubPageHeight, "GBoxPSK",
                                                  PageKit::ContentBox, QStringLiteral("Wireless Security"));
    LbWPAMode = PageKit::Label(GBoxPSK, "LbWPAMode", QStringLiteral("WPA Mode:"), QRect(40, 48, 120, 13));
    CmbWPAMode = PageKit::Combo(GBoxPSK, "CmbWPAMode", 168, 44, 160);
    LbCipher = PageKit::Label(GBoxPSK, "LbCipher", QStringLiteral("Cipher Type:"), QRect(40, 84, 120, 13));
    LbCipherValue = PageKit::Label(GBoxPSK, "LbCipherValue", QString(), QRect(168, 84, 260, 13));
    LbPassphrase =
        PageKit::Label(GBoxPSK, "LbPassphrase", QStringLiteral("Pre-Shared Key:"), QRect(40, 120, 120, 13));
    EdtPassphrase = PageKit::Edit(GBoxPSK, "EdtPassphrase", 168, 116, 360, 64);

    std::tie(BtnExit, BtnBack, BtnNext) =
        PageKit::WizardButtons(this, &TFrameWlProfPSK::BtnExitClick, &TFrameWlProfPSK::BtnBackClick,
                               &TFrameWlProfPSK::BtnNextClick, PageKit::Focus::Strong);
    connect(CmbWPAMode, &QComboBox::activated, this, &TFrameWlProfPSK::CmbWPAModeSelect);
    SkinOnLoad(ImgBG, {BtnExit, BtnBack, BtnNext});
}

void TFrameWlProfPSK::LoadPageTexts()
{
    CmbWPAMode->clear();
    for (int code : {WPAMODE_WPA, WPAMODE_WPA2, WPAMODE_AUTO})
        PageKit::AddCodeItem(CmbWPAMode, WpaModeName(code), code);
    TFrameBase::LoadPageTexts();
}

bool TFrameWlProfPSK::CanEnter(TFrameBase *fromPage, bool isBack, int param)
{
    if (!isBack) {
        SelectComboByValue(CmbWPAMode, PreselectedMode());
        EdtPassphrase->setText(FieldText(g_Var.NewWlConfig.Passphrase));
        CmbWPAModeSelect();
    }
    return TFrameBase::CanEnter(fromPage, isBack, param);
}

void TFrameWlProfPSK::Entered(TFrameBase *fromPage, bool isBack, int param)
{
    FocusEdit(EdtPassphrase);
    TFrameBase::Entered(fromPage, isBack, param);
}

int TFrameWlProfPSK::PreselectedMode()
{
    if (g_Var.DeviceMode == DEVICE_AP) {
        const int mode = g_Var.NewWlConfig.WpaMode;
        return mode == WPAMODE_WPA || mode == WPAMODE_WPA2 || mode == WPAMODE_AUTO ? mode : WPAMODE_AUTO;
    }
    switch (g_Var.SelectedAp.Authentication) {
    case SURVEY_AUTH_WPAPSK:
        return WPAMODE_WPA;
    case SURVEY_AUTH_WPA2PSK:
        return WPAMODE_WPA2;
    default:
        return WPAMODE_AUTO;
    }
}

void TFrameWlProfPSK::CmbWPAModeSelect()
{
    LbCipherValue->setText(WpaCipherName(WpaCipherForMode(SelectedComboValue(CmbWPAMode, WPAMODE_AUTO))));
}

bool TFrameWlProfPSK::CheckPassphrase()
{
    const QString passphrase = EdtPassphrase->text();
    const TextKey *failure = ::CheckPassphrase(passphrase);
    if (!failure)
        return true;
    if (failure == &MessageKey::ER_PSKKeyHex)
        DebugPrint("TFrameWlProfPSK::CheckPassphrase() FAIL 64 characters, not all hexadecimal");
    else
        DebugPrint("TFrameWlProfPSK::CheckPassphrase() FAIL %d characters%s", int(passphrase.size()),
                   IsPrintableAscii(passphrase) ? "" : ", not all printable ASCII");
    FocusEdit(EdtPassphrase);
    ShowMessage(*failure);
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
    if (!CheckPassphrase())
        return;
    WlConfigRecord &config = g_Var.NewWlConfig;
    config.WpaMode = SelectedComboValue(CmbWPAMode, WPAMODE_AUTO);
    CopyToField(config.Passphrase, EdtPassphrase->text());
    // The cipher is stored as it is shown, so the two can never disagree.
    const QString cipher = LbCipherValue->text();
    if (cipher == g_Var.CipherTKIP)
        config.WpaCipher = WPACIPHER_TKIP;
    else if (cipher == g_Var.CipherAES)
        config.WpaCipher = WPACIPHER_AES;
    else
        config.WpaCipher = WPACIPHER_AUTO;
    PostWizardCommand(WIZARD_NEXT);
}
