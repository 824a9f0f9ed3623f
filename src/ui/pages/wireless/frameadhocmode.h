#pragma once
// The ad-hoc page: a layout only (network name and channel of an ad-hoc
// network). The wizard creates it with the other pages and gives it its
// texts; no move of the wizard leads to it.

#include "controls/trifacebtn.h"
#include "framework/framebase.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class TImage;

class TFrameAdhocMode : public TFrameBase
{
    Q_OBJECT
public:
    explicit TFrameAdhocMode(QWidget *parent = nullptr);

    TImage *ImgBG;
    QGroupBox *GBoxAdhocMode;
    QLabel *LbAdhocInfo;
    QLabel *LbSSID;
    QLineEdit *EdtSSID;
    QLabel *LbChannel;
    QComboBox *CmbChannel;
    TTrifaceBtn *BtnExit;
    TTrifaceBtn *BtnBack;
    TTrifaceBtn *BtnNext;

    void BtnExitClick();
    void BtnBackClick();
    void BtnNextClick();
};
