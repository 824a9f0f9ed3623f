#include "pages/front/userguide.h"

#include "app/debug.h"
#include "app/globalvar.h"
#include "app/timing.h"
#include "framework/uiservices.h"

#include <QFileInfo>
#include <QTimer>

int OpenUserGuide()
{
    const QString name = ReadText(ProductKey::UserGuide);
    if (name.isEmpty())
        return UG_CANNOT_OPEN;
    const QString path = ExeRelativePath(name);
    if (!QFileInfo(path).isFile()) {
        DebugPrint("OpenUserGuide() FAIL no file %s", qUtf8Printable(path));
        return UG_CANNOT_OPEN;
    }
    if (!Ui()->HasAssociatedProgram(path))
        return UG_NO_PROGRAM;
    return Ui()->ShellOpen(path, ShellVerb::Open) ? UG_OPENED : UG_CANNOT_OPEN;
}

UserGuideLauncher::UserGuideLauncher(QTimer *timerInstAcrobat, QObject *parent)
    : QObject(parent), m_timer(timerInstAcrobat)
{
    connect(m_timer, &QTimer::timeout, this, &UserGuideLauncher::Tick);
}

void UserGuideLauncher::Run()
{
    const int result = OpenUserGuide();
    if (result == UG_CANNOT_OPEN) {
        ShowMessage(MessageKey::ER_FILE_UG);
        return;
    }
    if (result != UG_NO_PROGRAM || m_timer->isActive())
        return;
    if (ShowMessage(MessageKey::MSG_InstAcrobat, MsgKind::YesNo) != MSG_RESULT_YES)
        return;
    if (Ui()->ShellOpen(g_Var.AcrobatReaderPath, ShellVerb::Open)) {
        m_timer->setInterval(Timing::Scaled(FirstWatchInterval));
        m_timer->start();
    } else {
        ShowMessage(MessageKey::ER_FILE_Acrobat);
    }
}

void UserGuideLauncher::Tick()
{
    if (Ui()->TopLevelWindowExists(g_Var.AcrobatReaderTitle)) {
        m_timer->setInterval(Timing::Scaled(InstallerSeenInterval));
        return;
    }
    const int seenWithout = AcrobatWaitCount++;
    if (seenWithout >= 3) {
        m_timer->stop();
        AcrobatWaitCount = 0;
        OpenUserGuide();
    }
}
