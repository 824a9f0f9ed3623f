#pragma once
// TFrameTutorial: the first tutorial page: one picture (ImgTutorial) that shows how the device is cabled. Back on it leaves the wizard for the autorun menu.
// With SkipTutorial set in the settings file the page passes itself over in
// the direction it was entered.

#include "wizard/framebase.h"

class TImage;
class TTrifaceBtn;

class TFrameTutorial : public TFrameBase
{
    Q_OBJECT
public:
    explicit TFrameTutorial(QWidget *parent = nullptr);
    ~TFrameTutorial() override;

    void LoadPageTexts() override;
    bool CanEnter(TFrameBase *fromPage, bool isBack, int param) override;

    TImage *ImgBG;
    TImage *ImgTutorial;
    TTrifaceBtn *BtnExit;
    TTrifaceBtn *BtnBack;
    TTrifaceBtn *BtnNext;

    void BtnExitClick();
    void BtnBackClick();
    void BtnNextClick();
};
