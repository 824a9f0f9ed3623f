#include "wizard/formmain.h"

#include "app/debug.h"
#include "app/globalvar.h"
#include "messages/appmessage.h"
#include "pages/device/framedevipcfg.h"
#include "pages/device/framedevlist.h"
#include "pages/device/framepassword.h"
#include "pages/device/framesetupmethod.h"
#include "pages/device/framesuccess.h"
#include "pages/device/framewlmodesel.h"
#include "pages/front/framelicense.h"
#include "pages/front/frametutorial.h"
#include "pages/front/frametutorial2.h"
#include "pages/front/framewelcome.h"
#include "pages/wireless/frameadhocmode.h"
#include "pages/wireless/framesetwlmethod.h"
#include "pages/wireless/framesitesurvey.h"
#include "pages/wireless/framewlconfig.h"
#include "pages/wireless/framewlprofile.h"
#include "pages/wireless/framewpsmethod.h"
#include "wizard/framebase.h"
#include "wizard/skinsupport.h"
#include "wizard/timage.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QRadioButton>
#include <QScreen>
#include <QWindow>

namespace {

QPointer<TFormMain> g_formMain;

template <typename Page> Page *CreatePage(QWidget *owner, const char *name, std::vector<TFrameBase *> &pages)
{
    auto *page = new Page(owner);
    page->setObjectName(QString::fromLatin1(name));
    page->setGeometry(0, 105, 600, 324);
    pages.push_back(page);
    return page;
}

} // namespace

TFormMain *FormMain()
{
    return g_formMain.data();
}

void SetFormMain(TFormMain *window)
{
    g_formMain = window;
}

TFormMain::TFormMain(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("FormMain"));
    setFixedSize(600, 450);
    setFont(QFont(QStringLiteral("Tahoma"), 8));

    ImgBG = new TImage(this);
    ImgBG->setObjectName(QStringLiteral("ImgBG"));
    ImgBG->setGeometry(0, 0, 600, 450);

    FrameWelcome1 = CreatePage<TFrameWelcome>(this, "FrameWelcome1", m_pages);
    FrameLicense1 = CreatePage<TFrameLicense>(this, "FrameLicense1", m_pages);
    FrameTutorial1 = CreatePage<TFrameTutorial>(this, "FrameTutorial1", m_pages);
    FrameDevList1 = CreatePage<TFrameDevList>(this, "FrameDevList1", m_pages);
    FramePassword1 = CreatePage<TFramePassword>(this, "FramePassword1", m_pages);
    FramePassword1->resize(600, 323);
    FrameSetupMethod1 = CreatePage<TFrameSetupMethod>(this, "FrameSetupMethod1", m_pages);
    FrameDevIPCfg1 = CreatePage<TFrameDevIPCfg>(this, "FrameDevIPCfg1", m_pages);
    FrameSetWlMethod1 = CreatePage<TFrameSetWlMethod>(this, "FrameSetWlMethod1", m_pages);
    FrameWPSMethod1 = CreatePage<TFrameWPSMethod>(this, "FrameWPSMethod1", m_pages);
    FrameSuccess1 = CreatePage<TFrameSuccess>(this, "FrameSuccess1", m_pages);
    FrameWlProfile1 = CreatePage<TFrameWlProfile>(this, "FrameWlProfile1", m_pages);
    FrameAdhocMode1 = CreatePage<TFrameAdhocMode>(this, "FrameAdhocMode1", m_pages);
    FrameWlModeSel1 = CreatePage<TFrameWlModeSel>(this, "FrameWlModeSel1", m_pages);
    FrameWlConfig1 = CreatePage<TFrameWlConfig>(this, "FrameWlConfig1", m_pages);
    FrameSiteSurvey1 = CreatePage<TFrameSiteSurvey>(this, "FrameSiteSurvey1", m_pages);
    FrameTutorial21 = CreatePage<TFrameTutorial2>(this, "FrameTutorial21", m_pages);

    setWindowTitle(AppTitleText());
    ApplyFormTexts(this, QStringLiteral("FormMain"));
    ImgBG->setPicture(SkinPicture(QStringLiteral("ImgBGMain")));
    ApplyFormLayout(this, QStringLiteral("FormMain"));

    for (TFrameBase *page : m_pages) {
        page->LoadPageTexts();
        page->hide();
    }
    m_currentPage = nullptr;

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    connect(ImgBG, &TImage::leftDragged, this, &TFormMain::StartDrag);

    PostAppMessage(this, UM_WIZARD_COMMAND, WIZARD_NEXT, 0);
}

TFormMain::~TFormMain()
{
    for (TFrameBase *page : m_pages)
        page->ReleasePage();
    if (g_formMain == this)
        g_formMain = nullptr;
}

void TFormMain::AdoptPage(TFrameBase *page)
{
    m_pages.push_back(page);
}

TFrameBase *TFormMain::Page(WizardPage page) const
{
    switch (page) {
    case WizardPage::None:
        return nullptr;
    case WizardPage::Welcome:
        return FrameWelcome1;
    case WizardPage::License:
        return FrameLicense1;
    case WizardPage::Tutorial:
        return FrameTutorial1;
    case WizardPage::Tutorial2:
        return FrameTutorial21;
    case WizardPage::DevList:
        return FrameDevList1;
    case WizardPage::Password:
        return FramePassword1;
    case WizardPage::WlModeSel:
        return FrameWlModeSel1;
    case WizardPage::SetupMethod:
        return FrameSetupMethod1;
    case WizardPage::DevIPCfg:
        return FrameDevIPCfg1;
    case WizardPage::SetWlMethod:
        return FrameSetWlMethod1;
    case WizardPage::WPSMethod:
        return FrameWPSMethod1;
    case WizardPage::Success:
        return FrameSuccess1;
    case WizardPage::WlProfile:
        return FrameWlProfile1;
    case WizardPage::AdhocMode:
        return FrameAdhocMode1;
    case WizardPage::WlConfig:
        return FrameWlConfig1;
    case WizardPage::SiteSurvey:
        return FrameSiteSurvey1;
    }
    return nullptr;
}

WizardPage TFormMain::PageId(const TFrameBase *page) const
{
    static constexpr WizardPage all[] = {
        WizardPage::Welcome,     WizardPage::License,   WizardPage::Tutorial,    WizardPage::Tutorial2,
        WizardPage::DevList,     WizardPage::Password,  WizardPage::WlModeSel,   WizardPage::SetupMethod,
        WizardPage::DevIPCfg,    WizardPage::SetWlMethod, WizardPage::WPSMethod, WizardPage::Success,
        WizardPage::WlProfile,   WizardPage::AdhocMode, WizardPage::WlConfig,    WizardPage::SiteSurvey,
    };
    if (!page)
        return WizardPage::None;
    for (WizardPage id : all) {
        if (Page(id) == page)
            return id;
    }
    // A page that is not one of the wizard's own has no transitions.
    return WizardPage::AdhocMode;
}

WizardChoices TFormMain::Choices() const
{
    WizardChoices choices;
    choices.DeviceMode = g_Var.DeviceMode;
    choices.SetupMethod = g_Var.SetupMethod;
    choices.WlMethod = g_Var.WlMethod;
    choices.SetIP = FrameSetupMethod1->RBtnSetIP->isChecked();
    return choices;
}

bool TFormMain::ShowPage(TFrameBase *target, bool isBack, int param)
{
    TFrameBase *current = m_currentPage.data();
    if (target == current)
        return true;
    if (current && !current->CanLeave(target, isBack, param))
        return false;
    if (target && !target->CanEnter(current, isBack, param))
        return false;
    if (current) {
        current->hide();
        current->Left(target, isBack, param);
    }
    if (target) {
        target->show();
        target->Entered(current, isBack, param);
    }
    m_currentPage = target;
    if (target)
        target->TakeEntryFocus();
    return true;
}

void TFormMain::Apply(const WizardStep &step, int param)
{
    switch (step.kind) {
    case WizardStep::Stay:
        return;
    case WizardStep::Close:
        done(step.closeResult);
        return;
    case WizardStep::Show:
        break;
    }
    if (!step.startWireless) {
        ShowPage(Page(step.target), step.isBack, param);
        return;
    }
    // The wireless part starts from the device's current settings. The
    // target page reads them while it is asked to be entered; a refused
    // switch must leave g_Var as it was, so the copies are undone then.
    const int32_t setupMethod = g_Var.SetupMethod;
    const IpConfigRecord newIp = g_Var.NewIpConfig;
    const WlConfigRecord newWl = g_Var.NewWlConfig;
    g_Var.SetupMethod = SETUP_METHOD_WIRELESS;
    g_Var.NewIpConfig = g_Var.CurIpConfig;
    g_Var.NewWlConfig = g_Var.CurWlConfig;
    if (!ShowPage(Page(step.target), step.isBack, param)) {
        g_Var.SetupMethod = setupMethod;
        g_Var.NewIpConfig = newIp;
        g_Var.NewWlConfig = newWl;
    }
}

bool TFormMain::ProfileMove(bool forward)
{
    return FrameWlProfile1->ProfileMove(forward);
}

void TFormMain::GoNext(int param)
{
    const WizardPage current = PageId(m_currentPage.data());
    const bool profileMoved = current == WizardPage::WlProfile && ProfileMove(true);
    Apply(DecideNext(current, Choices(), profileMoved), param);
}

void TFormMain::GoBack(int param)
{
    const WizardPage current = PageId(m_currentPage.data());
    const bool profileMoved = current == WizardPage::WlProfile && ProfileMove(false);
    Apply(DecideBack(current, Choices(), profileMoved), param);
}

void TFormMain::OnWizardCommand(int command, int param)
{
    switch (command) {
    case WIZARD_EXIT:
        if (ShowMessage(MessageKey::MSG_Exit, MsgKind::YesNo) != MSG_RESULT_NO)
            done(1);
        break;
    case WIZARD_NEXT:
        GoNext(param);
        break;
    case WIZARD_BACK:
        GoBack(param);
        break;
    default:
        break;
    }
}

void TFormMain::StartDrag()
{
    ++m_dragRequests;
    if (QWindow *window = windowHandle())
        window->startSystemMove();
}

void TFormMain::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        // Escape is the page's Exit, question included; a page whose Exit
        // is disabled just now cannot be left by the keyboard either.
        if (TFrameBase *page = m_currentPage.data())
            page->PressExit();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFormMain::closeEvent(QCloseEvent *event)
{
    event->ignore();
    if (isVisible())
        done(2);
}

bool TFormMain::event(QEvent *event)
{
    if (event->type() == AppMessage::eventType()) {
        auto *message = static_cast<AppMessage *>(event);
        switch (message->id) {
        case UM_WIZARD_COMMAND:
            OnWizardCommand(static_cast<int>(message->wParam), static_cast<int>(message->lParam));
            break;
        case UM_UDP_REPLY:
        case UM_UDP_TIMEOUT:
        case UM_UDP_EVENT:
            if (TFrameBase *page = m_currentPage.data())
                SendAppMessage(page, message->id, message->wParam, message->lParam);
            break;
        default:
            break;
        }
        return true;
    }
    return QDialog::event(event);
}
