#pragma once
// The WEP key sub-page of the wireless profile sequence: key length (64 or
// 128 bit), one key and the authentication method. A key is accepted in
// ASCII (5 or 13 characters, stored as typed) or in hexadecimal (10 or 26
// digits, stored in upper case); a rejected key shows the most specific
// message the settings file offers and leaves everything stored unchanged.

#include "controls/trifacebtn.h"
#include "framework/framebase.h"

#include <QString>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class TImage;

class TFrameWlProfWEP : public TFrameBase
{
    Q_OBJECT
public:
    explicit TFrameWlProfWEP(QWidget *parent = nullptr);

    void LoadPageTexts() override;
    bool CanEnter(TFrameBase *fromPage, bool isBack, int param) override;
    void Entered(TFrameBase *fromPage, bool isBack, int param) override;

    TImage *ImgBG;
    QGroupBox *GBoxWEP;
    QLabel *LbWEP;
    QComboBox *CmbWEP;
    QLabel *LbWEPKey;
    QLineEdit *EdtKey1;
    QLabel *LbAuthen;
    QComboBox *CmbAuthen;
    TTrifaceBtn *BtnExit;
    TTrifaceBtn *BtnBack;
    TTrifaceBtn *BtnNext;

    // The user picked a key length: the key edit takes the matching maximum
    // length (26 for 128 bit, else 10) and is emptied.
    void CmbWEPSelect();

    // Checks the key against the length code; when it is refused the
    // message of the rule it failed has been shown and the focus put back.
    bool CheckWepKey(int lengthCode);

    void BtnExitClick();
    void BtnBackClick();
    // Checks the key; on success stores length, key and authentication in
    // g_Var.NewWlConfig and posts Next.
    void BtnNextClick();
};
