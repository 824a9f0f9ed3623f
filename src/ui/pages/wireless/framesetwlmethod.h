#pragma once
// The wireless method page: the user of an access point chooses between
// Wi-Fi Protected Setup and a manual wireless profile. The page only records
// the choice in g_Var.WlMethod (WPS, or the profile sequence for a manual
// setup) and posts Next; the wizard window reads the choice to pick the
// following page. Every forward entry starts again from "Manual Setup" and
// reloads the mode-dependent explanation from section String.

#include "controls/trifacebtn.h"
#include "framework/framebase.h"

class QGroupBox;
class QLabel;
class QRadioButton;
class TImage;

class TFrameSetWlMethod : public TFrameBase
{
    Q_OBJECT
public:
    explicit TFrameSetWlMethod(QWidget *parent = nullptr);

    bool CanEnter(TFrameBase *fromPage, bool isBack, int param) override;

    // Controls, named as the settings file addresses them.
    TImage *ImgBG;
    QGroupBox *GBoxSetWlMethod;
    QLabel *LbSetWlInfo;
    QRadioButton *RBtnManual;
    QRadioButton *RBtnWPS;
    QLabel *LbSetWlMsg;
    QLabel *LbClickNext;
    TTrifaceBtn *BtnExit;
    TTrifaceBtn *BtnBack;
    TTrifaceBtn *BtnNext;

    void BtnExitClick();
    void BtnBackClick();
    // Records the choice in g_Var.WlMethod, then posts Next.
    void BtnNextClick();
};
