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

class AppMessage;
class QPushButton;
class TImage;
class TTrifaceBtn;

class TFrameBase : public QFrame
{
    Q_OBJECT
public:
    explicit TFrameBase(QWidget *parent = nullptr);
    ~TFrameBase() override;

    // Puts the page's skin in place (subclasses: ImgBG and their skinned
    // buttons, see SkinBackground/SkinButton), then applies the settings
    // file's texts with the page's class name as section under the settings
    // lock (released also on failure).
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

protected:
    // The page's window procedure for the program's own messages
    // (UM_UDP_REPLY, UM_UDP_TIMEOUT, UM_UDP_EVENT...). Base: nothing.
    virtual void HandleAppMessage(AppMessage *message);

    // Posts UM_WIZARD_COMMAND (1 exit, 2 next, 3 back) with lParam 0 to the
    // application's main window.
    void PostWizardCommand(int command);

    // Skin helpers for LoadPageTexts: the page background from ImgFrameBG,
    // and the three faces ImgBtnN / ImgBtnH / ImgBtnD on a skinned button.
    void SkinBackground(TImage *background);
    void SkinButton(QPushButton *button);

    // Builders for the standard page design: the background ImgBG
    // (600 x 324 at 0,0, lying under everything else) and a bottom-row
    // skinned button (top 288, 85 x 21; Exit at left 24, Back 389, Next 492).
    TImage *CreatePageBackground();
    TTrifaceBtn *CreatePageButton(const char *name, const QString &caption, int left);

    bool event(QEvent *event) override;

private:
    QPointer<TFrameBase> m_prevPage;
};
