#pragma once
// The guarded settings file: one settings-file reader whose every access
// runs under a lock. A single read takes and releases the lock itself; a
// caller that makes many reads in a row (the texts and layout of a whole
// window) takes the lock once with LockIni, reads through the returned
// reader, and releases it with UnlockIni, or simply holds an IniLock,
// which releases also when the work fails.
//
// The lock is recursive, like the named-mutex it stands for: a thread that
// holds it may still call the object's own reads.

#include "app/inifile.h"

#include <QRecursiveMutex>
#include <QString>

class GuardedIni
{
public:
    // A reader on `fileName`; the file need not exist. A lock name is kept
    // for the record only: the lock serialises the threads of this process.
    explicit GuardedIni(const QString &fileName, const QString &lockName = QString());
    ~GuardedIni();

    GuardedIni(const GuardedIni &) = delete;
    GuardedIni &operator=(const GuardedIni &) = delete;

    QString FileName() const { return m_fileName; }
    QString LockName() const { return m_lockName; }
    bool HasLockName() const { return m_hasLockName; }

    // Points the reader at another file. The same name changes nothing and
    // does not take the lock.
    void SetFileName(const QString &fileName);

    // Waits for the lock and returns the reader. Every LockIni must be
    // matched by one UnlockIni, also when the caller's work fails.
    IniFile &LockIni();
    void UnlockIni();

    // Single reads under the lock (value rules as in IniFile).
    QString ReadString(const QString &section, const QString &key, const QString &def);
    int ReadInteger(const QString &section, const QString &key, int def);
    bool ReadBool(const QString &section, const QString &key, bool def);

private:
    QString m_fileName;
    QString m_lockName;
    bool m_hasLockName = false;
    IniFile m_reader; // replaced in place, so a held reader stays valid
    QRecursiveMutex m_mutex;
};

// Holds the lock of a GuardedIni for its lifetime.
class IniLock
{
public:
    explicit IniLock(GuardedIni &store) : m_store(store), m_reader(store.LockIni()) {}
    ~IniLock() { m_store.UnlockIni(); }

    IniLock(const IniLock &) = delete;
    IniLock &operator=(const IniLock &) = delete;

    IniFile &Reader() { return m_reader; }
    IniFile *operator->() { return &m_reader; }

private:
    GuardedIni &m_store;
    IniFile &m_reader;
};
