#include "pages/front/frametutorial2.h"

#include "app/globalvar.h"
#include "controls/trifacebtn.h"
#include "wizard/core/appmessage.h"
#include "wizard/skinsupport.h"
#include "wizard/timage.h"

TFrameTutorial2::TFrameTutorial2(QWidget *parent) : TFrameBase(parent)
{
    ImgBG = CreatePageBackground();

    ImgTutorial2 = new TImage(this);
    ImgTutorial2->setObjectName(QStringLiteral("ImgTutorial2"));
    ImgTutorial2->setGeometry(16, 24, 552, 240);

    BtnExit = CreatePageButton("BtnExit", QStringLiteral("Exit"), 24);
    BtnBack = CreatePageButton("BtnBack", QStringLiteral("Back"), 389);
    BtnNext = CreatePageButton("BtnNext", QStringLiteral("Next"), 492);

    connect(BtnExit, &QPushButton::clicked, this, [this] { BtnExitClick(); });
    connect(BtnBack, &QPushButton::clicked, this, [this] { BtnBackClick(); });
    connect(BtnNext, &QPushButton::clicked, this, [this] { BtnNextClick(); });
}

TFrameTutorial2::~TFrameTutorial2() = default;

void TFrameTutorial2::LoadPageTexts()
{
    SkinBackground(ImgBG);
    ImgTutorial2->setPicture(SkinPicture(QStringLiteral("ImgTutorial2")));
    SkinButton(BtnExit);
    SkinButton(BtnBack);
    SkinButton(BtnNext);
    TFrameBase::LoadPageTexts();
}

bool TFrameTutorial2::CanEnter(TFrameBase *fromPage, bool isBack, int param)
{
    if (ReadFlag(SettingKey::SkipTutorial)) {
        if (isBack)
            BtnBackClick();
        else
            BtnNextClick();
    }
    return TFrameBase::CanEnter(fromPage, isBack, param);
}

void TFrameTutorial2::BtnExitClick()
{
    PostWizardCommand(WIZARD_EXIT);
}

void TFrameTutorial2::BtnBackClick()
{
    PostWizardCommand(WIZARD_BACK);
}

void TFrameTutorial2::BtnNextClick()
{
    PostWizardCommand(WIZARD_NEXT);
}
