#include "wizard/framebase.h"

#include "app/gui/applytexts.h"
#include "controls/trifacebtn.h"
#include "wizard/core/appmessage.h"
#include "wizard/skinsupport.h"
#include "wizard/timage.h"

#include <QMetaObject>
#include <QPushButton>

TFrameBase::TFrameBase(QWidget *parent) : QFrame(parent)
{
    // The settings mechanisms stop at every page: it owns its own controls.
    MarkAsFrame(this);
    resize(600, 324);
}

TFrameBase::~TFrameBase() = default;

void TFrameBase::LoadPageTexts()
{
    ApplyFormTexts(this, SectionName());
}

void TFrameBase::ReleasePage()
{
}

bool TFrameBase::CanEnter(TFrameBase *fromPage, bool isBack, int)
{
    if (!isBack)
        m_prevPage = fromPage;
    return true;
}

void TFrameBase::Entered(TFrameBase *, bool, int)
{
}

bool TFrameBase::CanLeave(TFrameBase *, bool isBack, int)
{
    if (isBack)
        m_prevPage = nullptr;
    return true;
}

void TFrameBase::Left(TFrameBase *, bool, int)
{
}

QString TFrameBase::SectionName() const
{
    return QString::fromLatin1(metaObject()->className());
}

void TFrameBase::HandleAppMessage(AppMessage *)
{
}

void TFrameBase::PostWizardCommand(int command)
{
    PostAppMessage(MainWindow(), UM_WIZARD_COMMAND, command, 0);
}

void TFrameBase::SkinBackground(TImage *background)
{
    if (background)
        background->setPicture(SkinPicture(QStringLiteral("ImgFrameBG")));
}

void TFrameBase::SkinButton(QPushButton *button)
{
    SetButtonFaces(button, QStringLiteral("ImgBtnN"), QStringLiteral("ImgBtnH"), QStringLiteral("ImgBtnD"));
}

TImage *TFrameBase::CreatePageBackground()
{
    auto *background = new TImage(this);
    background->setObjectName(QStringLiteral("ImgBG"));
    background->setGeometry(0, 0, 600, 324);
    background->lower();
    return background;
}

TTrifaceBtn *TFrameBase::CreatePageButton(const char *name, const QString &caption, int left)
{
    auto *button = new TTrifaceBtn(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setGeometry(left, 288, 85, 21);
    return button;
}

bool TFrameBase::event(QEvent *event)
{
    if (event->type() == AppMessage::eventType()) {
        HandleAppMessage(static_cast<AppMessage *>(event));
        return true;
    }
    return QFrame::event(event);
}
