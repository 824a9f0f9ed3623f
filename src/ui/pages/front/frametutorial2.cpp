#include "pages/front/frametutorial2.h"

TFrameTutorial2::TFrameTutorial2(QWidget *parent)
    : TTutorialFrame(parent, "ImgTutorial2", QRect(16, 24, 552, 240)), ImgTutorial2(Picture())
{
}

TFrameTutorial2::~TFrameTutorial2() = default;
