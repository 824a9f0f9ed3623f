#pragma once
// The security sub-page of the wireless profile sequence: None, WEP or
// WPA-PSK. In bridge mode the pre-selection follows the network chosen on
// the site survey. Next stores the code in g_Var.NewWlConfig (resetting the
// security details for None); the sequence branches on it to the WEP page,
// the passphrase page or straight to the confirmation.

#include "controls/trifacebtn.h"
#include "framework/framebase.h"

class QComboBox;
class QGroupBox;
class QLabel;
class TImage;

class TFrameWlProfSecurity : public TFrameBase
{
    Q_OBJECT
public:
    explicit TFrameWlProfSecurity(QWidget *parent = nullptr);

    void LoadPageTexts() override;
    bool CanEnter(TFrameBase *fromPage, bool isBack, int param) override;

    // The code selected on a forward entry: None for an access point; for a
    // bridge what the chosen network uses (WEP, WPA-PSK, else None).
    static int PreselectedSecurity();

    TImage *ImgBG;
    QGroupBox *GBoxSecurity;
    QLabel *LbSecurity;
    QComboBox *CmbSecurity;
    TTrifaceBtn *BtnExit;
    TTrifaceBtn *BtnBack;
    TTrifaceBtn *BtnNext;

    void BtnExitClick();
    void BtnBackClick();
    void BtnNextClick();
};
