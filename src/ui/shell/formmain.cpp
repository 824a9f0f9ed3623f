#include "shell/formmain.h"

#include "app/debug.h"
#include "app/globalvar.h"
#include "controls/timage.h"
#include "framework/framebase.h"
#include "framework/skinsupport.h"
#include "messages/appmessage.h"
#include "pages/device/framesetupmethod.h"
#include "pages/wireless/framewlprofile.h"
#include "shell/pagetable.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QRadioButton>
#include <QScreen>
#include <QWindow>
#include <algorithm>

namespace {

QPointer<TFormMain> g_formMain;

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

    for (const PageEntry &entry : WizardPages()) {
        TFrameBase *page = entry.create(this);
        page->setObjectName(QString::fromLatin1(entry.objectName));
        page->setGeometry(0, 105, 600, entry.height);
        m_pages.push_back(page);
    }

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
    // The table's pages are the first ones made, in its order.
    const std::span<const PageEntry> pages = WizardPages();
    const auto it = std::find_if(pages.begin(), pages.end(), [page](const PageEntry &e) { return e.id == page; });
    const auto index = static_cast<size_t>(it - pages.begin());
    return it == pages.end() || index >= m_pages.size() ? nullptr : m_pages[index];
}

std::optional<WizardPage> TFormMain::PageId(const TFrameBase *page) const
{
    if (!page)
        return WizardPage::None;
    for (const PageEntry &entry : WizardPages()) {
        if (Page(entry.id) == page)
            return entry.id;
    }
    return std::nullopt;
}

WizardChoices TFormMain::Choices() const
{
    WizardChoices choices;
    choices.DeviceMode = g_Var.DeviceMode;
    choices.SetupMethod = g_Var.SetupMethod;
    choices.WlMethod = g_Var.WlMethod;
    choices.SetIP = PageOf<TFrameSetupMethod>()->RBtnSetIP->isChecked();
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
    return PageOf<TFrameWlProfile>()->ProfileMove(forward);
}

std::optional<WizardPage> TFormMain::ShownPageId(const char *operation) const
{
    const std::optional<WizardPage> id = PageId(m_currentPage.data());
    if (!id)
        DebugPrint("TFormMain::%s() FAIL page %s has no place in the page order", operation,
                   qUtf8Printable(m_currentPage->objectName()));
    return id;
}

void TFormMain::GoNext(int param)
{
    const std::optional<WizardPage> current = ShownPageId("GoNext");
    if (!current)
        return;
    const bool profileMoved = *current == WizardPage::WlProfile && ProfileMove(true);
    Apply(DecideNext(*current, Choices(), profileMoved), param);
}

void TFormMain::GoBack(int param)
{
    const std::optional<WizardPage> current = ShownPageId("GoBack");
    if (!current)
        return;
    const bool profileMoved = *current == WizardPage::WlProfile && ProfileMove(false);
    Apply(DecideBack(*current, Choices(), profileMoved), param);
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
