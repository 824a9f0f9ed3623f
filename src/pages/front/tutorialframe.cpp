#include "pages/front/tutorialframe.h"

#include "app/globalvar.h"
#include "controls/trifacebtn.h"
#include "wizard/core/appmessage.h"
#include "wizard/skinsupport.h"
#include "wizard/timage.h"

TTutorialFrame::TTutorialFrame(QWidget *parent, const char *pictureName, const QRect &pictureGeometry)
    : TFrameBase(parent), m_pictureName(QString::fromLatin1(pictureName))
{
    ImgBG = CreatePageBackground();

    m_picture = new TImage(this);
    m_picture->setObjectName(m_pictureName);
    m_picture->setGeometry(pictureGeometry);

    BtnExit = CreatePageButton("BtnExit", QStringLiteral("Exit"), 24);
    BtnBack = CreatePageButton("BtnBack", QStringLiteral("Back"), 389);
    BtnNext = CreatePageButton("BtnNext", QStringLiteral("Next"), 492);

    connect(BtnExit, &QPushButton::clicked, this, [this] { BtnExitClick(); });
    connect(BtnBack, &QPushButton::clicked, this, [this] { BtnBackClick(); });
    connect(BtnNext, &QPushButton::clicked, this, [this] { BtnNextClick(); });
}

TTutorialFrame::~TTutorialFrame() = default;

void TTutorialFrame::LoadPageTexts()
{
    SkinBackground(ImgBG);
    m_picture->setPicture(SkinPicture(m_pictureName));
    SkinButton(BtnExit);
    SkinButton(BtnBack);
    SkinButton(BtnNext);
    TFrameBase::LoadPageTexts();
}

bool TTutorialFrame::CanEnter(TFrameBase *fromPage, bool isBack, int param)
{
    if (ReadFlag(SettingKey::SkipTutorial)) {
        if (isBack)
            BtnBackClick();
        else
            BtnNextClick();
    }
    return TFrameBase::CanEnter(fromPage, isBack, param);
}

void TTutorialFrame::BtnExitClick()
{
    PostWizardCommand(WIZARD_EXIT);
}

void TTutorialFrame::BtnBackClick()
{
    PostWizardCommand(WIZARD_BACK);
}

void TTutorialFrame::BtnNextClick()
{
    PostWizardCommand(WIZARD_NEXT);
}
