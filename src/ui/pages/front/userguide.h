#pragma once
// Opening the user guide from the medium, shared by the autorun menu and the
// welcome page. When no program can show the guide, the user is offered the
// reader installer from the medium; while the installer runs (its window
// title is watched), the guide opens by itself once the installer window has
// been gone for four ticks in a row.

#include <QObject>

class QTimer;

// Results of OpenUserGuide.
enum UserGuideResult : int {
    UG_OPENED = 0,     // handed to its program
    UG_CANNOT_OPEN = 2, // not named, not on the medium, or the shell refused
    UG_NO_PROGRAM = 3, // no program is associated with the guide
};

// Reads "UserGuide" of section "Product" (each time) and opens
// ExePath + that name with its associated program.
int OpenUserGuide();

// The user-guide procedure with its installer watch. The window owns the
// timer (TimerInstAcrobat); the launcher drives it and counts the ticks
// without an installer window in AcrobatWaitCount.
class UserGuideLauncher : public QObject
{
    Q_OBJECT
public:
    explicit UserGuideLauncher(QTimer *timerInstAcrobat, QObject *parent = nullptr);

    // Watch intervals in product milliseconds.
    static constexpr int FirstWatchInterval = 10000;
    static constexpr int InstallerSeenInterval = 1000;

    // A click on the user-guide entry: opens the guide, reports a guide that
    // cannot be opened (ER_FILE_UG) and offers the installer when no
    // program can show it (MSG_InstAcrobat, ER_FILE_Acrobat).
    void Run();
    // One tick of the installer watch.
    void Tick();

    int AcrobatWaitCount = 0;

private:
    QTimer *m_timer;
};
