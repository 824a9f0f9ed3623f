#include "pages/wireless/framewlprofsecurity.h"

#include "app/globalvar.h"
#include "skin/widgethelpers.h"

#include "controls/timage.h"
#include "controls/trifacebtn.h"
#include "framework/pagekit.h"
#include "messages/appmessage.h"
#include <cstring>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

TFrameWlProfSecurity::TFrameWlProfSecurity(QWidget *parent) : TFrameBase(parent)
{
    setObjectName(QStringLiteral("FrameWlProfSecurity1"));
    std::tie(ImgBG, GBoxSecurity) =
        PageKit::PageFrame(this, PageKit::SubPageHeight, "GBoxSecurity", PageKit::ContentBox,
                           QStringLiteral("Wireless Security"));
    LbSecurity =
        PageKit::Label(GBoxSecurity, "LbSecurity", QStringLiteral("Security Mode:"), QRect(40, 64, 120, 13));
    CmbSecurity = PageKit::Combo(GBoxSecurity, "CmbSecurity", 168, 60, 260);

    std::tie(BtnExit, BtnBack, BtnNext) =
        PageKit::WizardButtons(this, &TFrameWlProfSecurity::BtnExitClick, &TFrameWlProfSecurity::BtnBackClick,
                               &TFrameWlProfSecurity::BtnNextClick, PageKit::Focus::Strong);
    SkinOnLoad(ImgBG, {BtnExit, BtnBack, BtnNext});
}

void TFrameWlProfSecurity::LoadPageTexts()
{
    CmbSecurity->clear();
    for (int code : {SECMODE_NONE, SECMODE_WEP, SECMODE_WPAPSK})
        PageKit::AddCodeItem(CmbSecurity, SecurityModeName(code), code);
    TFrameBase::LoadPageTexts();
}

bool TFrameWlProfSecurity::CanEnter(TFrameBase *fromPage, bool isBack, int param)
{
    if (!isBack)
        SelectComboByValue(CmbSecurity, PreselectedSecurity());
    return TFrameBase::CanEnter(fromPage, isBack, param);
}

void TFrameWlProfSecurity::BtnExitClick()
{
    PostWizardCommand(WIZARD_EXIT);
}

void TFrameWlProfSecurity::BtnBackClick()
{
    PostWizardCommand(WIZARD_BACK);
}

int TFrameWlProfSecurity::PreselectedSecurity()
{
    if (g_Var.DeviceMode == DEVICE_AP)
        return SECMODE_NONE;
    // A bridge follows what the site survey saw on the chosen network.
    const SurveyEntry &ap = g_Var.SelectedAp;
    if (ap.Encryption == SURVEY_ENC_NONE)
        return SECMODE_NONE;
    if (ap.Encryption == SURVEY_ENC_WEP)
        return SECMODE_WEP;
    switch (ap.Authentication) {
    case SURVEY_AUTH_WPAPSK:
    case SURVEY_AUTH_WPA2PSK:
    case SURVEY_AUTH_WPAPSK_WPA2PSK:
        return SECMODE_WPAPSK;
    default:
        return SECMODE_NONE;
    }
}

void TFrameWlProfSecurity::BtnNextClick()
{
    WlConfigRecord &config = g_Var.NewWlConfig;
    config.SecurityMode = SelectedComboValue(CmbSecurity, SECMODE_NONE);
    if (config.SecurityMode == SECMODE_NONE) {
        // No key of an earlier choice may travel with an open network.
        config.AuthMode = AUTHMODE_OPEN;
        config.WepKeyLen = WEPKEYLEN_64;
        config.WepKeyIndex = 1;
        std::memset(config.WepKey, 0, sizeof config.WepKey);
        config.WpaMode = WPAMODE_AUTO;
        config.WpaCipher = WPACIPHER_AUTO;
        std::memset(config.Passphrase, 0, sizeof config.Passphrase);
    }
    PostWizardCommand(WIZARD_NEXT);
}
