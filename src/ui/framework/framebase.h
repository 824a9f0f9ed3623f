#pragma once
// Base class of every wizard page. A page is an embedded panel that its
// owner (the wizard window, the profile sequence, the WPS survey dialog)
// loads once, shows and hides, and releases. The owner switches from page A
// to page B strictly as: A.CanLeave(B); B.CanEnter(A); hide A, A.Left(B);
// show B, B.Entered(A). A false answer stops the switch with nothing changed.
// Pages never show each other: they post UM_WIZARD_COMMAND to the main
// window. Protocol notifications reach the current page synchronously
// through HandleAppMessage, the page's "window procedure".

#include <QFrame>
#include <QPointer>
#include <initializer_list>
#include <vector>

class AppMessage;
class QPushButton;
class QTreeWidget;
class TImage;

class TFrameBase : public QFrame
{
    Q_OBJECT
public:
    explicit TFrameBase(QWidget *parent = nullptr);
    ~TFrameBase() override;

    // Puts the page's skin in place (the controls given to SkinOnLoad),
    // then applies the settings file's texts with the page's class name as
    // section under the settings lock (released also on failure).
    virtual void LoadPageTexts();
    virtual void ReleasePage();
    // Forward entries remember the page they came from in PrevPage.
    virtual bool CanEnter(TFrameBase *fromPage, bool isBack, int param);
    virtual void Entered(TFrameBase *fromPage, bool isBack, int param);
    // Backward leaves forget PrevPage, so a backward walk retraces the
    // forward path.
    virtual bool CanLeave(TFrameBase *toPage, bool isBack, int param);
    virtual void Left(TFrameBase *toPage, bool isBack, int param);

    TFrameBase *PrevPage() const { return m_prevPage.data(); }
    void SetPrevPage(TFrameBase *page) { m_prevPage = page; }

    // The section of the settings file that holds this page's texts: the
    // class name ("TFrameDevList").
    QString SectionName() const;

    // ----- keyboard -----
    // The button Return presses: the page's own BtnNext, BtnLogin, BtnCfg or
    // BtnStart (Next, Login, Configure, Connect, Start); null when it has
    // none. The button Escape presses in the wizard window: BtnExit.
    virtual QPushButton *PrimaryButton() const;
    virtual QPushButton *ExitButton() const;
    // Clicks the button when it is shown and enabled; false when the page
    // has no such button at all.
    bool PressPrimary();
    bool PressExit();
    // The order Tab visits the page's controls in: reading order, except
    // that the controls of a fixed sequence keep their order among
    // themselves, and the buttons Back, Next (the primary button) and Exit
    // come last in that order.
    std::vector<QWidget *> KeyboardOrder();
    // Where the focus goes when the page has been entered: the first input
    // control in reading order (edit, list, combo box, radio button - the
    // chosen one of its group -, check box), else the primary button.
    virtual QWidget *EntryFocus();
    // Called by the owner after Entered: unless the page's own entry put
    // the focus inside the page, gives it to EntryFocus (to the page itself
    // when that is null, so no control of it gets Return). Renews the
    // accessible names from the labels (their texts may have changed).
    void TakeEntryFocus();

    // Posts UM_WIZARD_COMMAND (1 exit, 2 next, 3 back) with lParam 0 to the
    // application's main window.
    void PostWizardCommand(int command);

protected:
    // The page's window procedure for the program's own messages
    // (UM_UDP_REPLY, UM_UDP_TIMEOUT, UM_UDP_EVENT...). Base: nothing.
    virtual void HandleAppMessage(AppMessage *message);

    // The page's skinned controls, which LoadPageTexts skins (the
    // background from ImgFrameBG first, then the three faces ImgBtnN /
    // ImgBtnH / ImgBtnD on each button) before it applies the texts.
    void SkinOnLoad(TImage *background, std::initializer_list<QPushButton *> buttons);

    // Controls whose keyboard order the page's design fixes: they keep
    // this order among themselves in KeyboardOrder.
    void FixKeyboardOrder(std::initializer_list<QWidget *> sequence);
    // A double click on a row of `list` presses the primary button, as
    // Return in the list does.
    void PressPrimaryOnDoubleClick(QTreeWidget *list);

    bool event(QEvent *event) override;
    // Return and Enter that no control took press the primary button.
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Chains the window's tab order along KeyboardOrder.
    void ArrangeKeyboardOrder();

    QPointer<TFrameBase> m_prevPage;
    std::vector<QPointer<QWidget>> m_fixedOrder;
    QPointer<TImage> m_skinBackground;
    std::vector<QPointer<QPushButton>> m_skinButtons;
};
