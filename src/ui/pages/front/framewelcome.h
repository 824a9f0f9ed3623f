#pragma once
// TFrameWelcome: a greeting page with Start and Exit. It is built and
// loaded with the other pages but no transition of the wizard leads to it.
// Its hidden user-guide button, when a settings file shows it, opens the
// user guide the way the autorun menu does, with its own installer watch.

#include "framework/framebase.h"

class QGroupBox;
class QLabel;
class QTimer;
class TImage;
class TTrifaceBtn;
class UserGuideLauncher;

class TFrameWelcome : public TFrameBase
{
    Q_OBJECT
public:
    explicit TFrameWelcome(QWidget *parent = nullptr);
    ~TFrameWelcome() override;

    TImage *ImgBG;
    QGroupBox *GBoxWelcome;
    QLabel *LbInfo1;
    TTrifaceBtn *BtnExit;
    TTrifaceBtn *BtnUG;
    TTrifaceBtn *BtnStart;
    QTimer *TimerInstAcrobat;

    UserGuideLauncher *UserGuide;
};
