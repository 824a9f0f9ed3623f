#pragma once
// The passphrase sub-page of the wireless profile sequence: WPA mode and
// pre-shared key. The cipher is not chosen: it follows from the mode, is
// shown in LbCipherValue and stored from that shown text, so what is stored
// always matches what the user saw.

#include "controls/trifacebtn.h"
#include "framework/framebase.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class TImage;

class TFrameWlProfPSK : public TFrameBase
{
    Q_OBJECT
public:
    explicit TFrameWlProfPSK(QWidget *parent = nullptr);

    void LoadPageTexts() override;
    bool CanEnter(TFrameBase *fromPage, bool isBack, int param) override;
    void Entered(TFrameBase *fromPage, bool isBack, int param) override;

    TImage *ImgBG;
    QGroupBox *GBoxPSK;
    QLabel *LbWPAMode;
    QComboBox *CmbWPAMode;
    QLabel *LbCipher;
    QLabel *LbCipherValue;
    QLabel *LbPassphrase;
    QLineEdit *EdtPassphrase;
    TTrifaceBtn *BtnExit;
    TTrifaceBtn *BtnBack;
    TTrifaceBtn *BtnNext;

    // The WPA mode selected on a forward entry: for an access point the
    // stored mode (both when it is unknown); for a bridge what the network
    // chosen on the site survey uses.
    static int PreselectedMode();

    // The user picked a WPA mode: LbCipherValue shows the cipher that goes
    // with it (WpaCipherForMode; no selection counts as both).
    void CmbWPAModeSelect();
    // The passphrase rules (CheckPassphrase of app/validation.h); when they
    // fail the message is shown and the focus put back on the edit.
    bool CheckPassphrase();

    void BtnExitClick();
    void BtnBackClick();
    void BtnNextClick();
};
