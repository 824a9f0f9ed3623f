#pragma once
// What the operating system must provide beyond Qt: the single-instance
// guard, opening files, folders and addresses with their associated
// programs, finding the program associated with a file, and finding a
// top-level window by its title. One interface with one implementation per
// system: linuxplatform.* (X11, freedesktop tools) and windowsplatform.*
// (the Win32 calls). Pages and the start-up code reach
// it through Platform::Current(); tests install a recorder.

#include <QString>
#include <memory>

// A held single-instance lock; destroying it releases the lock.
class InstanceLock
{
public:
    virtual ~InstanceLock() = default;
};

enum class InstanceStatus {
    Acquired,       // this copy is the only one; the lock is held
    AlreadyRunning, // another running copy holds the lock
    Failed,         // the lock could not be created at all
};

struct InstanceGuard
{
    InstanceStatus status = InstanceStatus::Failed;
    std::unique_ptr<InstanceLock> lock; // set only with Acquired
};

class Platform
{
public:
    virtual ~Platform() = default;

    // Takes the single-instance lock named `mutexName` (an empty name is a
    // name like any other). Copies of the program run by the same user see
    // each other; a lock left behind by a copy that died is taken over.
    virtual InstanceGuard TakeInstanceLock(const QString &mutexName) = 0;

    // Opens a file, an executable or an address ("http://...") with its
    // associated program, without waiting. Relative paths are resolved
    // against the current directory. False when the file does not exist or
    // nothing could be started (the "result 32 or below" case).
    virtual bool ShellOpen(const QString &target) = 0;

    // Shows a folder in the file manager, without waiting; false when the
    // folder does not exist or nothing could be started.
    virtual bool ShellExplore(const QString &folder) = 0;

    // The program associated with a file's type, as a text the platform
    // understands (on Linux the desktop entry); empty when no program is
    // associated (the "not installed" path) or the file does not exist.
    virtual QString FindExecutable(const QString &file) = 0;

    // Whether a top-level window whose title is exactly `title` exists.
    // False without a window system.
    virtual bool FindWindowByTitle(const QString &title) = 0;

    // The platform in use: this system's unless a test installed another.
    static Platform &Current();
    // Installs `platform` (not owned), or restores the real one with nullptr.
    static void SetCurrent(Platform *platform);
};
