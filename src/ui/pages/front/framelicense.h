#pragma once
// TFrameLicense: the licence page, first on the wizard's way. It shows the
// licence document named in the settings file (read afresh on each forward
// entry) and lets the user go on only after ticking ChkAccept. The page
// passes itself over when the settings file says SkipLicense, when the
// licence was already accepted in this run, and when there is no licence
// document (then it counts as accepted).

#include "framework/framebase.h"

class QCheckBox;
class QGroupBox;
class QTextEdit;
class TImage;
class TTrifaceBtn;

class TFrameLicense : public TFrameBase
{
    Q_OBJECT
public:
    explicit TFrameLicense(QWidget *parent = nullptr);
    ~TFrameLicense() override;

    bool CanEnter(TFrameBase *fromPage, bool isBack, int param) override;
    void Entered(TFrameBase *fromPage, bool isBack, int param) override;
    // A forward leave with the box ticked records the acceptance in g_Var.
    bool CanLeave(TFrameBase *toPage, bool isBack, int param) override;

    TImage *ImgBG;
    QGroupBox *GBoxLicense;
    QTextEdit *REdtLicense;
    QCheckBox *ChkAccept;
    TTrifaceBtn *BtnExit;
    TTrifaceBtn *BtnBack;
    TTrifaceBtn *BtnNext;

    // The button handlers; a skip runs them directly, as a click would,
    // whatever the button's enabled state.
    void BtnExitClick();
    void BtnBackClick();
    void BtnNextClick();

private:
    void ChkAcceptClick();
};
