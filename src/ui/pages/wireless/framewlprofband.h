#pragma once
// The band sub-page of the wireless profile sequence. It is built with the
// other sub-pages but holds no choices and no move of the sequence leads to
// it; its Next only posts the next command.

#include "controls/trifacebtn.h"
#include "framework/framebase.h"

class QComboBox;
class QGroupBox;
class QLabel;
class TImage;

class TFrameWlProfBand : public TFrameBase
{
    Q_OBJECT
public:
    explicit TFrameWlProfBand(QWidget *parent = nullptr);

    TImage *ImgBG;
    QGroupBox *GBoxWirelessBand;
    QLabel *LbBand;
    QComboBox *CmbBand;
    TTrifaceBtn *BtnExit;
    TTrifaceBtn *BtnBack;
    TTrifaceBtn *BtnNext;

    void BtnExitClick();
    void BtnBackClick();
    void BtnNextClick();
};
