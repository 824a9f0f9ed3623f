#include "wizard/framebase.h"

#include "app/debug.h"
#include "wizard/core/appmessage.h"
#include "wizard/timage.h"

#include <QMetaObject>
#include <QPushButton>

TFrameBase::TFrameBase(QWidget *parent) : QFrame(parent)
{
}

TFrameBase::~TFrameBase() = default;

void TFrameBase::LoadPageTexts()
{
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

void TFrameBase::SkinBackground(TImage *)
{
}

void TFrameBase::SkinButton(QPushButton *)
{
}

bool TFrameBase::event(QEvent *event)
{
    if (event->type() == AppMessage::eventType()) {
        HandleAppMessage(static_cast<AppMessage *>(event));
        return true;
    }
    return QFrame::event(event);
}
