#pragma once
// TFrameTutorial2: the second tutorial page: one picture (ImgTutorial2) of
// the device's lights before the search starts. The background, the buttons
// and the SkipTutorial pass-over come from TTutorialFrame.

#include "pages/front/tutorialframe.h"

class TFrameTutorial2 : public TTutorialFrame
{
    Q_OBJECT
public:
    explicit TFrameTutorial2(QWidget *parent = nullptr);
    ~TFrameTutorial2() override;

    TImage *ImgTutorial2;
};
