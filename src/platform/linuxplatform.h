#pragma once
// The Linux implementation of the platform interface. The instance lock is
// a QLockFile in the temporary folder named after the mutex name; shell
// calls use the freedesktop tools (xdg-open, xdg-mime) and the X11 property
// tool (wmctrl when installed, else xprop), each started as a separate
// process, so the core library needs no GUI module.

#include "platform/platform.h"

#include <QStringList>

class LinuxPlatform : public Platform
{
public:
    InstanceGuard TakeInstanceLock(const QString &mutexName) override;
    bool ShellOpen(const QString &target) override;
    bool ShellExplore(const QString &folder) override;
    QString FindExecutable(const QString &file) override;
    bool FindWindowByTitle(const QString &title) override;

    // The lock file used for `mutexName`: characters that cannot stand in a
    // file name become '_'.
    static QString LockFilePath(const QString &mutexName);

    // The program started for ShellOpen/ShellExplore ("xdg-open"); tests
    // point it at a recorder script.
    void SetOpenCommand(const QString &program) { openCommand_ = program; }

    // Top-level window titles read through the X11 tools; empty without a
    // display or without the tools.
    static QStringList TopLevelWindowTitles();

private:
    QString openCommand_ = QStringLiteral("xdg-open");
};
