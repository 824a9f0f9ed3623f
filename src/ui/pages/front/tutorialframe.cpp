#include "pages/front/tutorialframe.h"

#include "app/globalvar.h"
#include "controls/timage.h"
#include "controls/trifacebtn.h"
#include "framework/pagekit.h"
#include "framework/skinsupport.h"
#include "messages/appmessage.h"

TTutorialFrame::TTutorialFrame(QWidget *parent, const char *pictureName, const QRect &pictureGeometry)
    : TFrameBase(parent), m_pictureName(QString::fromLatin1(pictureName))
{
    ImgBG = PageKit::Background(this, true);

    m_picture = new TImage(this);
    m_picture->setObjectName(m_pictureName);
    m_picture->setGeometry(pictureGeometry);

    std::tie(BtnExit, BtnBack, BtnNext) = PageKit::WizardButtons(
        this, [this] { BtnExitClick(); }, [this] { BtnBackClick(); }, [this] { BtnNextClick(); });
    SkinOnLoad(ImgBG, {BtnExit, BtnBack, BtnNext});
}

TTutorialFrame::~TTutorialFrame() = default;

void TTutorialFrame::LoadPageTexts()
{
    m_picture->setPicture(SkinPicture(m_pictureName));
    TFrameBase::LoadPageTexts();
    // A picture has no caption; the page's section can describe it under
    // the picture's name for a screen reader.
    m_picture->setAccessibleName(QStringLiteral("Tutorial"));
    m_picture->setAccessibleDescription(g_Var.ReadString(SectionName(), m_pictureName, DefaultDescription()));
}

QString TTutorialFrame::DefaultDescription() const
{
    if (m_pictureName == QLatin1String("ImgTutorial2"))
        return QStringLiteral(
            "The computer is connected to the device by a cable; wireless clients such as a "
            "laptop connect to the device without one.");
    return QStringLiteral("Connect the computer to the device with an Ethernet cable.");
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
