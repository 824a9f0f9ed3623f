#pragma once
// The Linux implementation of the platform interface. The instance lock is
// a QLockFile named after the mutex name in a folder of the user's own, so
// copies of one user see each other and other users' copies and files
// change nothing. Shell calls use the freedesktop tools (xdg-open,
// xdg-mime), started as separate processes. Window titles are read in
// process over the X connection the toolkit already holds, which the widget
// layer hands in (the core library has no GUI module); without one the
// lookup finds nothing at once.

#include "platform/platform.h"

struct xcb_connection_t;

class LinuxPlatform : public Platform
{
public:
    InstanceGuard TakeInstanceLock(const QString &mutexName) override;
    bool ShellOpen(const QString &target) override;
    bool ShellExplore(const QString &folder) override;
    QString FindExecutable(const QString &file) override;
    bool FindWindowByTitle(const QString &title) override;

    // The folder holding this user's locks: $XDG_RUNTIME_DIR when it is a
    // folder of this user's that no one else may write to; otherwise
    // "setup-wizard-<uid>" in the temporary folder, made with mode 0700 when
    // missing. When that name is taken by anything but a 0700 folder of this
    // user's (another user may have put a file or folder there), the next of
    // "setup-wizard-<uid>-1" ... "-9" is used. Empty when none can be had.
    static QString LockFolder();
    // The lock file used for `mutexName` inside LockFolder(): characters
    // that cannot stand in a file name become '_'. Empty without a folder.
    static QString LockFilePath(const QString &mutexName);

    // The program started for ShellOpen/ShellExplore ("xdg-open"); tests
    // point it at a recorder script.
    void SetOpenCommand(const QString &program) { openCommand_ = program; }

    // Where FindWindowByTitle gets its X connection from; it is asked on
    // every lookup and answers null without X (Wayland, offscreen, no
    // application object). None is installed at first.
    using X11ConnectionSource = xcb_connection_t *(*)();
    static void SetX11ConnectionSource(X11ConnectionSource source);

private:
    QString openCommand_ = QStringLiteral("xdg-open");
};
