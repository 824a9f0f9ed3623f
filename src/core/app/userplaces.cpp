#include "app/userplaces.h"

#include <QDir>

namespace {

#ifndef Q_OS_WIN
// The product's folder inside an XDG base folder. The variable counts only
// when it holds an absolute path (a relative one is to be ignored); else
// `fallback` below the home folder.
QString ProductFolder(const EnvironmentLookup &environment, const char *variable, const char *fallback)
{
    const EnvironmentLookup lookup =
        environment ? environment : [](const char *name) { return qEnvironmentVariable(name); };
    QString base = lookup(variable);
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        const QString home = lookup("HOME");
        if (home.isEmpty())
            return QString();
        base = home + u'/' + QLatin1String(fallback);
    }
    return QDir::cleanPath(base) + QStringLiteral("/setup-wizard/");
}
#endif

} // namespace

QString UserSettingsFile(const QString &baseName, const EnvironmentLookup &environment)
{
#ifdef Q_OS_WIN
    Q_UNUSED(baseName);
    Q_UNUSED(environment);
    return QString();
#else
    const QString folder = ProductFolder(environment, "XDG_CONFIG_HOME", ".config");
    return folder.isEmpty() || baseName.isEmpty() ? QString() : folder + baseName + QStringLiteral(".ini");
#endif
}

QString UserLogFile(const QString &baseName, const EnvironmentLookup &environment)
{
#ifdef Q_OS_WIN
    Q_UNUSED(baseName);
    Q_UNUSED(environment);
    return QString();
#else
    const QString folder = ProductFolder(environment, "XDG_STATE_HOME", ".local/state");
    return folder.isEmpty() || baseName.isEmpty() ? QString() : folder + baseName + QStringLiteral(".Log");
#endif
}
