#pragma once
// TFrameSuccess: the last page of a run. It only reports that the device is
// configured and offers Exit (where other pages have Next) and Back; its
// Next is hidden and left to the host's choice of neighbour.

#include "framework/framebase.h"

class QGroupBox;
class QLabel;
class TImage;
class TTrifaceBtn;

class TFrameSuccess : public TFrameBase
{
    Q_OBJECT
public:
    explicit TFrameSuccess(QWidget *parent = nullptr);
    ~TFrameSuccess() override;

    TImage *ImgBG;
    QGroupBox *GBoxSuccess;
    QLabel *LbSuccess1;
    QLabel *LbSuccess2;
    TTrifaceBtn *BtnExit;
    TTrifaceBtn *BtnBack;
    TTrifaceBtn *BtnNext;
};
