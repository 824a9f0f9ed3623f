#pragma once
// The network-type page: a layout only (ad-hoc or infrastructure network,
// each with its explanation). The wizard creates it with the other pages and
// gives it its texts; no move of the wizard leads to it.

#include "controls/trifacebtn.h"
#include "framework/framebase.h"

class QGroupBox;
class QLabel;
class QRadioButton;
class TImage;

class TFrameWlConfig : public TFrameBase
{
    Q_OBJECT
public:
    explicit TFrameWlConfig(QWidget *parent = nullptr);

    TImage *ImgBG;
    QGroupBox *GBoxWlConfig;
    QRadioButton *RBtnInfrastructure;
    QLabel *LbInfrastructure;
    QRadioButton *RBtnAdhoc;
    QLabel *LbAdhoc;
    TTrifaceBtn *BtnExit;
    TTrifaceBtn *BtnBack;
    TTrifaceBtn *BtnNext;

    void BtnExitClick();
    void BtnBackClick();
    void BtnNextClick();
};
