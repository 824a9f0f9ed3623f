#include "app/threadini.h"

GuardedIni::GuardedIni(const QString &fileName, const QString &lockName)
    : m_fileName(fileName), m_lockName(lockName), m_hasLockName(!lockName.isEmpty()), m_reader(fileName)
{
}

GuardedIni::~GuardedIni() = default;

void GuardedIni::SetFileName(const QString &fileName)
{
    if (fileName == m_fileName)
        return;
    IniLock lock(*this);
    m_fileName = fileName;
    m_reader = IniFile(fileName);
}

IniFile &GuardedIni::LockIni()
{
    m_mutex.lock();
    return m_reader;
}

void GuardedIni::UnlockIni()
{
    m_mutex.unlock();
}

QString GuardedIni::ReadString(const QString &section, const QString &key, const QString &def)
{
    IniLock lock(*this);
    return lock->ReadString(section, key, def);
}

int GuardedIni::ReadInteger(const QString &section, const QString &key, int def)
{
    IniLock lock(*this);
    return lock->ReadInteger(section, key, def);
}

bool GuardedIni::ReadBool(const QString &section, const QString &key, bool def)
{
    IniLock lock(*this);
    return lock->ReadBool(section, key, def);
}
