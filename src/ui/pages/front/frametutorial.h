#pragma once
// TFrameTutorial: the first tutorial page: one picture (ImgTutorial) that
// shows how the device is cabled. Back on it leaves the wizard for the
// autorun menu. The background, the buttons and the SkipTutorial pass-over
// come from TTutorialFrame.

#include "pages/front/tutorialframe.h"

class TFrameTutorial : public TTutorialFrame
{
    Q_OBJECT
public:
    explicit TFrameTutorial(QWidget *parent = nullptr);
    ~TFrameTutorial() override;

    TImage *ImgTutorial;
};
