#pragma once
// The Windows implementation of the platform interface, on the calls the
// product was written for: a named mutex (CreateMutex) for the single
// instance, ShellExecute to open and explore, FindExecutable for the
// associated program and FindWindow for a window title.

#include "platform/platform.h"

class WindowsPlatform : public Platform
{
public:
    // A mutex without a namespace prefix, not initially owned: copies of one
    // logon see each other. ERROR_ALREADY_EXISTS means another copy runs.
    InstanceGuard TakeInstanceLock(const QString &mutexName) override;
    bool ShellOpen(const QString &target) override;
    bool ShellExplore(const QString &folder) override;
    // The program FindExecutable names, as a native path; empty without
    // one (result 32 or below).
    QString FindExecutable(const QString &file) override;
    bool FindWindowByTitle(const QString &title) override;
};
