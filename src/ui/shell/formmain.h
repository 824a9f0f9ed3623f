#pragma once
// TFormMain: the wizard window. It owns every wizard page, shows exactly
// one at a time, and decides from the page shown and the choices in g_Var
// which page Next and Back lead to (wizardflow.h); its pages are those of
// the page table (pagetable.h). Pages never switch pages themselves: they
// post UM_WIZARD_COMMAND (1 exit, 2 next, 3 back) to the main window, which
// passes it on to this window. The engine's notifications are passed on to
// the page shown.
//
// The window is shown modally by the autorun menu. Its result: 1 after the
// user confirmed leaving the wizard (the program ends), 2 after Back on the
// licence page or the first tutorial page (the menu comes back). It keeps
// its page across showings.

#include "framework/framebase.h"
#include "shell/wizardflow.h"

#include <QDialog>
#include <QPointer>
#include <optional>
#include <vector>

class AppMessage;
class TImage;

class TFormMain : public QDialog
{
    Q_OBJECT
public:
    // Creates the pages, loads and hides them and posts the first Next to
    // itself (handled once the event loop runs: it shows the licence page).
    explicit TFormMain(QWidget *parent = nullptr);
    // Releases every page (ReleasePage) in creation order.
    ~TFormMain() override;

    TImage *ImgBG;

    // The window's own page of class `Page` (one page per class, see
    // pagetable.h); null for a class that is not one of them.
    template <typename Page> Page *PageOf() const
    {
        for (TFrameBase *page : m_pages) {
            if (auto *typed = qobject_cast<Page *>(page))
                return typed;
        }
        return nullptr;
    }

    // The page shown; null until the first page is shown.
    TFrameBase *CurrentPage() const { return m_currentPage.data(); }

    // Switches to `target` (may be null): asks the current page CanLeave and
    // the target CanEnter, then hides the current page and calls its Left,
    // then shows the target and calls its Entered. A refusal changes
    // nothing and gives false; the target already shown gives true at once.
    bool ShowPage(TFrameBase *target, bool isBack, int param);

    void GoNext(int param);
    void GoBack(int param);
    // The handler of UM_WIZARD_COMMAND: 1 asks MSG_Exit and ends with 1
    // unless the answer is No; 2 GoNext; 3 GoBack; other values nothing.
    void OnWizardCommand(int command, int param);

    // The page object for an entry of the page order, and back: None for no
    // page, nothing for a page the page table does not hold (such a page
    // has no neighbours; Next and Back on it are logged and ignored).
    virtual TFrameBase *Page(WizardPage page) const;
    std::optional<WizardPage> PageId(const TFrameBase *page) const;
    // Every page in creation order.
    const std::vector<TFrameBase *> &Pages() const { return m_pages; }

    // The choices the page order reads (g_Var and RBtnSetIP).
    WizardChoices Choices() const;

    // Next (forward) or Back inside the wireless profile sequence; true when
    // the sequence was left (see TFrameWlProfile::ProfileMove).
    virtual bool ProfileMove(bool forward);

    // How often a drag of the window was handed to the window system.
    int DragRequests() const { return m_dragRequests; }

protected:
    // Adds a page that a derived window made itself (as a child of this
    // window) after the window's own pages: it is listed in Pages() and
    // released like them.
    void AdoptPage(TFrameBase *page);

    bool event(QEvent *event) override;
    // Escape presses the page's Exit (the exit question follows); closing
    // the window by the window system returns to the menu like Back on the
    // first pages.
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // The page order's id of the page shown; logs `operation` and gives
    // nothing for a page without a row.
    std::optional<WizardPage> ShownPageId(const char *operation) const;
    void Apply(const WizardStep &step, int param);
    void StartDrag();

    std::vector<TFrameBase *> m_pages;
    QPointer<TFrameBase> m_currentPage;
    int m_dragRequests = 0;
};

// The program's wizard window (created at start-up); null until set.
TFormMain *FormMain();
void SetFormMain(TFormMain *window);
