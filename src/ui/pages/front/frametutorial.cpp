#include "pages/front/frametutorial.h"

TFrameTutorial::TFrameTutorial(QWidget *parent)
    : TTutorialFrame(parent, "ImgTutorial", QRect(42, 10, 516, 270)), ImgTutorial(Picture())
{
}

TFrameTutorial::~TFrameTutorial() = default;
