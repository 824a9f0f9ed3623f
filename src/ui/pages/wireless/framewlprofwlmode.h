#pragma once
// The wireless-mode sub-page of the wireless profile sequence: a list of the
// three modes the device offers (b/g/n, b/g, n only), b/g/n pre-selected on
// every forward entry; Next stores the mode code in g_Var.NewWlConfig.

#include "controls/trifacebtn.h"
#include "framework/framebase.h"

class QComboBox;
class QGroupBox;
class QLabel;
class TImage;

class TFrameWlProfWlMode : public TFrameBase
{
    Q_OBJECT
public:
    explicit TFrameWlProfWlMode(QWidget *parent = nullptr);

    void LoadPageTexts() override;
    bool CanEnter(TFrameBase *fromPage, bool isBack, int param) override;

    TImage *ImgBG;
    QGroupBox *GBoxWlMode;
    QLabel *LbMode;
    QComboBox *CmbMode;
    TTrifaceBtn *BtnExit;
    TTrifaceBtn *BtnBack;
    TTrifaceBtn *BtnNext;

    void BtnExitClick();
    void BtnBackClick();
    void BtnNextClick();
};
