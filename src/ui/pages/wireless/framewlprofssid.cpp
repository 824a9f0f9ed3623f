#include "pages/wireless/framewlprofssid.h"

#include "app/debug.h"
#include "app/globalvar.h"
#include "app/validation.h"
#include "controls/timage.h"
#include "controls/trifacebtn.h"
#include "framework/pagekit.h"
#include "messages/appmessage.h"
#include "skin/widgethelpers.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFrameWlProfSSID::TFrameWlProfSSID(QWidget *parent) : TFrameBase(parent)
{
    setObjectName(QStringLiteral("FrameWlProfSSID1"));
    std::tie(ImgBG, GBoxSSID) = PageKit::PageFrame(this, PageKit::SubPageHeight, "GBoxSSID",
                                                   PageKit::ContentBox, QStringLiteral("Wireless Network"));
    LbSSID = PageKit::Label(GBoxSSID, "LbSSID", QStringLiteral("SSID:"), QRect(40, 64, 120, 13));
    EdtSSID = PageKit::Edit(GBoxSSID, "EdtSSID", 168, 60, 260, 32);

    std::tie(BtnExit, BtnBack, BtnNext) =
        PageKit::WizardButtons(this, &TFrameWlProfSSID::BtnExitClick, &TFrameWlProfSSID::BtnBackClick,
                               &TFrameWlProfSSID::BtnNextClick, PageKit::Focus::Strong);
    SkinOnLoad(ImgBG, {BtnExit, BtnBack, BtnNext});
}

bool TFrameWlProfSSID::CanEnter(TFrameBase *fromPage, bool isBack, int param)
{
    if (!isBack) {
        // A bridge joins the network picked on the site survey; an access
        // point proposes the product's own name unless the user typed one.
        if (g_Var.DeviceMode == DEVICE_WBRIDGE) {
            m_shownSsid = SsidBytes(g_Var.SelectedAp.Ssid);
        } else {
            const QByteArray held = SsidBytes(g_Var.NewWlConfig.Ssid);
            m_shownSsid =
                SsidFromText(g_Var.ReadString(QString::fromLatin1(SettingKey::SSID.Section),
                                              QString::fromLatin1(SettingKey::SSID.Key), SsidText(held)),
                             held);
        }
        EdtSSID->setText(SsidText(m_shownSsid));
    }
    return TFrameBase::CanEnter(fromPage, isBack, param);
}

void TFrameWlProfSSID::Entered(TFrameBase *fromPage, bool isBack, int param)
{
    FocusEdit(EdtSSID);
    TFrameBase::Entered(fromPage, isBack, param);
}

void TFrameWlProfSSID::BtnExitClick()
{
    PostWizardCommand(WIZARD_EXIT);
}

void TFrameWlProfSSID::BtnBackClick()
{
    PostWizardCommand(WIZARD_BACK);
}

void TFrameWlProfSSID::BtnNextClick()
{
    // A name whose stored form exceeds the 32 bytes of a network name would
    // be cut short on the way to the device; it is refused instead.
    const QByteArray bytes = SsidFromText(EdtSSID->text(), m_shownSsid);
    if (const TextKey *failure = CheckSsidBytes(bytes, MessageKey::ER_Empty_SSID, MessageKey::ER_SSID)) {
        if (failure == &MessageKey::ER_SSID)
            DebugPrint("TFrameWlProfSSID::BtnNextClick() FAIL the SSID takes more than %d bytes", SSID_MAX);
        ShowMessage(*failure);
        FocusEdit(EdtSSID);
        return;
    }
    SetSsid(g_Var.NewWlConfig.Ssid, bytes);
    // A new network name starts on automatic channels.
    g_Var.NewWlConfig.StdChannel = 0;
    g_Var.NewWlConfig.ExtChannel = 0;
    PostWizardCommand(WIZARD_NEXT);
}
