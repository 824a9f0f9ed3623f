#pragma once
// TFormAutorun: the autorun menu, the first window the user sees and the
// application's main window (closing it ends the program). A borderless
// picture menu: start the setup wizard (shown modally; the menu hides
// meanwhile and comes back unless the user confirmed leaving), the user
// guide with its submenu (full guide, quick installation guide folder),
// product registration and exit.
//
// Escape is Exit. Tab runs through the entries in their order on the
// screen, the submenu's two pictures included while it is open; Return or
// Space presses the focused entry.
//
// Every UM_WIZARD_COMMAND and every engine notification posted to the main
// window arrives here first and is passed on at once, synchronously, to the
// wizard window.

#include <QPointer>
#include <QWidget>

class QDialog;
class QTimer;
class TImage;
class TSkinImage;
class TTrifaceBtn;
class UserGuideLauncher;

class TFormAutorun : public QWidget
{
    Q_OBJECT
public:
    // How far the entries below the user-guide button move when its
    // submenu opens.
    static constexpr int SubmenuHeight = 48;

    explicit TFormAutorun(QWidget *parent = nullptr);
    ~TFormAutorun() override;

    // The wizard window to start and to pass messages on to (not owned).
    void SetWizard(QDialog *wizard);
    QDialog *Wizard() const { return m_wizard.data(); }

    TImage *ImgBG;
    TTrifaceBtn *BtnSetupWizard;
    TTrifaceBtn *BtnUG;
    TSkinImage *BtnUG_UG;
    TSkinImage *BtnUG_QIG;
    TTrifaceBtn *BtnProductReg;
    TTrifaceBtn *BtnExit;
    QTimer *TimerInstAcrobat;

    bool AutorunUGExpanded = false;
    // The user-guide procedure; holds AcrobatWaitCount.
    UserGuideLauncher *UserGuide;

    void BtnSetupWizardClick();
    void BtnUGClick();
    void BtnUG_UGClick();
    void BtnUG_QIGClick();
    void BtnProductRegClick();
    void BtnExitClick();

    // How often a drag of the window was handed to the window system.
    int DragRequests() const { return m_dragRequests; }

signals:
    // The menu was closed: the program ends.
    void Closed();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void StartDrag();

    QPointer<QDialog> m_wizard;
    int m_dragRequests = 0;
};
