#pragma once
// The security sub-page of the wireless profile sequence: None, WEP or
// WPA-PSK. In bridge mode the pre-selection follows the network chosen on
// the site survey. Next stores the code in g_Var.NewWlConfig (resetting the
// security details for None); the sequence branches on it to the WEP page,
// the passphrase page or straight to the confirmation.

#include "wizard/framebase.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class TImage;

class TFrameWlProfSecurity : public TFrameBase
{
    Q_OBJECT
public:
    explicit TFrameWlProfSecurity(QWidget *parent = nullptr);

    void LoadPageTexts() override;
    bool CanEnter(TFrameBase *fromPage, bool isBack, int param) override;

    TImage *ImgBG;
    QGroupBox *GBoxSecurity;
    QLabel *LbSecurity;
    QComboBox *CmbSecurity;
    QPushButton *BtnExit;
    QPushButton *BtnBack;
    QPushButton *BtnNext;

    void BtnExitClick();
    void BtnBackClick();
    void BtnNextClick();
};
