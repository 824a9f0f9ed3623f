#include "pages/front/frametutorial.h"

#include "app/globalvar.h"
#include "controls/trifacebtn.h"
#include "wizard/core/appmessage.h"
#include "wizard/skinsupport.h"
#include "wizard/timage.h"

TFrameTutorial::TFrameTutorial(QWidget *parent) : TFrameBase(parent)
{
    ImgBG = CreatePageBackground();

    ImgTutorial = new TImage(this);
    ImgTutorial->setObjectName(QStringLiteral("ImgTutorial"));
    ImgTutorial->setGeometry(42, 10, 516, 270);

    BtnExit = CreatePageButton("BtnExit", QStringLiteral("Exit"), 24);
    BtnBack = CreatePageButton("BtnBack", QStringLiteral("Back"), 389);
    BtnNext = CreatePageButton("BtnNext", QStringLiteral("Next"), 492);

    connect(BtnExit, &QPushButton::clicked, this, [this] { BtnExitClick(); });
    connect(BtnBack, &QPushButton::clicked, this, [this] { BtnBackClick(); });
    connect(BtnNext, &QPushButton::clicked, this, [this] { BtnNextClick(); });
}

TFrameTutorial::~TFrameTutorial() = default;

void TFrameTutorial::LoadPageTexts()
{
    SkinBackground(ImgBG);
    ImgTutorial->setPicture(SkinPicture(QStringLiteral("ImgTutorial")));
    SkinButton(BtnExit);
    SkinButton(BtnBack);
    SkinButton(BtnNext);
    TFrameBase::LoadPageTexts();
}

bool TFrameTutorial::CanEnter(TFrameBase *fromPage, bool isBack, int param)
{
    if (ReadFlag(SettingKey::SkipTutorial)) {
        if (isBack)
            BtnBackClick();
        else
            BtnNextClick();
    }
    return TFrameBase::CanEnter(fromPage, isBack, param);
}

void TFrameTutorial::BtnExitClick()
{
    PostWizardCommand(WIZARD_EXIT);
}

void TFrameTutorial::BtnBackClick()
{
    PostWizardCommand(WIZARD_BACK);
}

void TFrameTutorial::BtnNextClick()
{
    PostWizardCommand(WIZARD_NEXT);
}
