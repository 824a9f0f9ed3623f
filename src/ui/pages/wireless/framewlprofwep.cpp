#include "pages/wireless/framewlprofwep.h"

#include "app/debug.h"
#include "app/globalvar.h"
#include "app/utility.h"
#include "app/validation.h"
#include "controls/timage.h"
#include "controls/trifacebtn.h"
#include "framework/pagekit.h"
#include "framework/uiservices.h"
#include "messages/appmessage.h"
#include "skin/widgethelpers.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFrameWlProfWEP::TFrameWlProfWEP(QWidget *parent) : TFrameBase(parent)
{
    setObjectName(QStringLiteral("FrameWlProfWEP1"));
    std::tie(ImgBG, GBoxWEP) = PageKit::PageFrame(this, PageKit::SubPageHeight, "GBoxWEP",
                                                  PageKit::ContentBox, QStringLiteral("Wireless Security"));
    LbWEP = PageKit::Label(GBoxWEP, "LbWEP", QStringLiteral("WEP Key Length:"), QRect(40, 48, 120, 13));
    CmbWEP = PageKit::Combo(GBoxWEP, "CmbWEP", 168, 44, 160);
    LbWEPKey = PageKit::Label(GBoxWEP, "LbWEPKey", QStringLiteral("WEP Key:"), QRect(40, 84, 120, 13));
    EdtKey1 = PageKit::Edit(GBoxWEP, "EdtKey1", 168, 80, 260, 10);
    LbAuthen =
        PageKit::Label(GBoxWEP, "LbAuthen", QStringLiteral("Authentication:"), QRect(40, 120, 120, 13));
    CmbAuthen = PageKit::Combo(GBoxWEP, "CmbAuthen", 168, 116, 160);

    std::tie(BtnExit, BtnBack, BtnNext) =
        PageKit::WizardButtons(this, &TFrameWlProfWEP::BtnExitClick, &TFrameWlProfWEP::BtnBackClick,
                               &TFrameWlProfWEP::BtnNextClick, PageKit::Focus::Strong);
    connect(CmbWEP, &QComboBox::activated, this, &TFrameWlProfWEP::CmbWEPSelect);
    SkinOnLoad(ImgBG, {BtnExit, BtnBack, BtnNext});
}

void TFrameWlProfWEP::LoadPageTexts()
{
    CmbWEP->clear();
    PageKit::AddCodeItem(CmbWEP, WepKeyLenName(WEPKEYLEN_64), WEPKEYLEN_64);
    PageKit::AddCodeItem(CmbWEP, WepKeyLenName(WEPKEYLEN_128), WEPKEYLEN_128);
    TFrameBase::LoadPageTexts();
}

bool TFrameWlProfWEP::CanEnter(TFrameBase *fromPage, bool isBack, int param)
{
    if (!isBack) {
        const WlConfigRecord &config = g_Var.NewWlConfig;
        const bool accessPoint = g_Var.DeviceMode == DEVICE_AP;
        // A bridge cannot negotiate the authentication with the network it
        // joins, so Auto is offered to an access point only.
        CmbAuthen->clear();
        PageKit::AddCodeItem(CmbAuthen, AuthModeName(AUTHMODE_OPEN), AUTHMODE_OPEN);
        PageKit::AddCodeItem(CmbAuthen, AuthModeName(AUTHMODE_SHARED), AUTHMODE_SHARED);
        if (accessPoint)
            PageKit::AddCodeItem(CmbAuthen, AuthModeName(AUTHMODE_AUTO), AUTHMODE_AUTO);

        if (!SelectComboByValue(CmbWEP, config.WepKeyLen))
            SelectComboByValue(CmbWEP, WEPKEYLEN_64);
        CmbWEPSelect();
        EdtKey1->setText(FieldText(config.WepKey));

        if (accessPoint) {
            if (!SelectComboByValue(CmbAuthen, config.AuthMode))
                SelectComboByValue(CmbAuthen, AUTHMODE_AUTO);
        } else {
            SelectComboByValue(CmbAuthen, AUTHMODE_OPEN);
        }
    }
    return TFrameBase::CanEnter(fromPage, isBack, param);
}

void TFrameWlProfWEP::Entered(TFrameBase *fromPage, bool isBack, int param)
{
    FocusEdit(EdtKey1);
    TFrameBase::Entered(fromPage, isBack, param);
}

void TFrameWlProfWEP::CmbWEPSelect()
{
    EdtKey1->setMaxLength(SelectedComboValue(CmbWEP, WEPKEYLEN_64) == WEPKEYLEN_128 ? 26 : 10);
    EdtKey1->clear();
}

bool TFrameWlProfWEP::CheckWepKey(int lengthCode)
{
    const QString key = EdtKey1->text();
    const TextKey *failure = ::CheckWepKey(lengthCode, key);
    if (!failure)
        return true;
    FocusEdit(EdtKey1);
    DebugPrint("TFrameWlProfWEP::CheckWepKey() FAIL length code %d, %d of %d characters%s", lengthCode,
               int(key.size()), EdtKey1->maxLength(),
               IsPrintableAscii(key) ? "" : ", not all printable ASCII");
    Ui()->ShowMessageBox(MessageText(*failure), g_Var.MsgTitle, MsgKind::Information);
    return false;
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
    const int lengthCode = SelectedComboValue(CmbWEP, WEPKEYLEN_64);
    if (!CheckWepKey(lengthCode))
        return;
    WlConfigRecord &config = g_Var.NewWlConfig;
    config.WepKeyLen = lengthCode;
    CopyToField(config.WepKey, WepKeyText(lengthCode, EdtKey1->text()));
    config.AuthMode = SelectedComboValue(CmbAuthen, AUTHMODE_AUTO);
    PostWizardCommand(WIZARD_NEXT);
}
