#include "pages/wireless/framewlprofile.h"

#include "app/globalvar.h"
#include "controls/timage.h"
#include "framework/pagekit.h"
#include "messages/appmessage.h"
#include "pages/wireless/framewlprofband.h"
#include "pages/wireless/framewlprofconfirm.h"
#include "pages/wireless/framewlprofpsk.h"
#include "pages/wireless/framewlprofsecurity.h"
#include "pages/wireless/framewlprofssid.h"
#include "pages/wireless/framewlprofwep.h"
#include "pages/wireless/framewlprofwlmode.h"

TFrameWlProfile::TFrameWlProfile(QWidget *parent) : TFrameBase(parent)
{
    setObjectName(QStringLiteral("FrameWlProfile1"));
    resize(PageKit::PageWidth, PageKit::PageHeight);

    ImgBG = PageKit::Background(this);
    FrameWlProfBand1 = new TFrameWlProfBand(this);
    FrameWlProfSSID1 = new TFrameWlProfSSID(this);
    FrameWlProfWlMode1 = new TFrameWlProfWlMode(this);
    FrameWlProfSecurity1 = new TFrameWlProfSecurity(this);
    FrameWlProfWEP1 = new TFrameWlProfWEP(this);
    FrameWlProfPSK1 = new TFrameWlProfPSK(this);
    FrameWlProfConfirm1 = new TFrameWlProfConfirm(this);
    for (TFrameBase *page : SubPages())
        page->setGeometry(0, 0, PageKit::PageWidth, PageKit::SubPageHeight);
    SkinOnLoad(ImgBG, {});
}

QList<TFrameBase *> TFrameWlProfile::SubPages() const
{
    return {FrameWlProfBand1, FrameWlProfSSID1, FrameWlProfWlMode1, FrameWlProfSecurity1,
            FrameWlProfWEP1,  FrameWlProfPSK1,  FrameWlProfConfirm1};
}

void TFrameWlProfile::LoadPageTexts()
{
    for (TFrameBase *page : SubPages()) {
        page->LoadPageTexts();
        page->hide();
    }
    TFrameBase::LoadPageTexts();
}

void TFrameWlProfile::ReleasePage()
{
    for (TFrameBase *page : SubPages())
        page->ReleasePage();
    TFrameBase::ReleasePage();
}

void TFrameWlProfile::Entered(TFrameBase *fromPage, bool isBack, int param)
{
    // A backward entry comes from the page after the profile: the user gets
    // back the sub-page that was left, the confirmation.
    if (!isBack)
        ShowSubPage(FrameWlProfSSID1, false);
    TFrameBase::Entered(fromPage, isBack, param);
}

bool TFrameWlProfile::ProfileMove(bool forward)
{
    return forward ? ProfileNext() : ProfileBack();
}

bool TFrameWlProfile::ProfileNext()
{
    if (m_current && !m_current->CanLeave(nullptr, false, 0))
        return false;

    TFrameBase *target = nullptr;
    if (m_current == FrameWlProfBand1)
        target = FrameWlProfSSID1;
    else if (m_current == FrameWlProfSSID1)
        target = FrameWlProfWlMode1;
    else if (m_current == FrameWlProfWlMode1)
        target = FrameWlProfSecurity1;
    else if (m_current == FrameWlProfSecurity1)
        target = SecurityTarget();
    else if (m_current == FrameWlProfWEP1 || m_current == FrameWlProfPSK1)
        target = FrameWlProfConfirm1;
    else if (m_current == FrameWlProfConfirm1)
        return true;
    if (!target)
        return false;
    ShowSubPage(target, false);
    return false;
}

bool TFrameWlProfile::ProfileBack()
{
    TFrameBase *previous = m_current ? m_current->PrevPage() : nullptr;
    if (m_current && !m_current->CanLeave(nullptr, true, 0))
        return false;
    if (!previous || m_current == FrameWlProfSSID1)
        return true;
    ShowSubPage(previous, true);
    return false;
}

bool TFrameWlProfile::ShowSubPage(TFrameBase *target, bool isBack)
{
    if (target && !target->CanEnter(m_current, isBack, 0))
        return false;
    TFrameBase *old = m_current;
    if (old) {
        old->hide();
        old->Left(target, isBack, 0);
    }
    if (target) {
        target->show();
        target->repaint();
        target->Entered(old, isBack, 0);
    }
    m_current = target;
    if (target)
        target->TakeEntryFocus();
    return true;
}

QPushButton *TFrameWlProfile::PrimaryButton() const
{
    return m_current ? m_current->PrimaryButton() : nullptr;
}

QPushButton *TFrameWlProfile::ExitButton() const
{
    return m_current ? m_current->ExitButton() : nullptr;
}

TFrameBase *TFrameWlProfile::SecurityTarget() const
{
    switch (g_Var.NewWlConfig.SecurityMode) {
    case SECMODE_NONE:
        return FrameWlProfConfirm1;
    case SECMODE_WEP:
        return FrameWlProfWEP1;
    case SECMODE_WPAPSK:
        return FrameWlProfPSK1;
    default:
        return nullptr;
    }
}

void TFrameWlProfile::HandleAppMessage(AppMessage *message)
{
    switch (message->id) {
    case UM_UDP_REPLY:
    case UM_UDP_TIMEOUT:
    case UM_UDP_EVENT:
        if (m_current)
            SendAppMessage(m_current, message->id, message->wParam, message->lParam);
        break;
    default:
        break;
    }
    TFrameBase::HandleAppMessage(message);
}
