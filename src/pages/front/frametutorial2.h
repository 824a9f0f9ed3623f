#pragma once
// TFrameTutorial2: the second tutorial page: one picture (ImgTutorial2) of the device's lights before the search starts.
// With SkipTutorial set in the settings file the page passes itself over in
// the direction it was entered.

#include "wizard/framebase.h"

class TImage;
class TTrifaceBtn;

class TFrameTutorial2 : public TFrameBase
{
    Q_OBJECT
public:
    explicit TFrameTutorial2(QWidget *parent = nullptr);
    ~TFrameTutorial2() override;

    void LoadPageTexts() override;
    bool CanEnter(TFrameBase *fromPage, bool isBack, int param) override;

    TImage *ImgBG;
    TImage *ImgTutorial2;
    TTrifaceBtn *BtnExit;
    TTrifaceBtn *BtnBack;
    TTrifaceBtn *BtnNext;

    void BtnExitClick();
    void BtnBackClick();
    void BtnNextClick();
};
