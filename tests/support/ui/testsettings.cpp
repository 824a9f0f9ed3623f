#include "ui/testsettings.h"

#include "app/globalvar.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TestSettings::TestSettings(const QByteArray &ini)
{
    if (!ini.isEmpty())
        Write(QStringLiteral("Setup.ini"), ini);
}

TestSettings::~TestSettings()
{
    g_Var.ReadSettings(QDir::tempPath() + QStringLiteral("/no-such-wizard-folder/Setup"));
}

QString TestSettings::Folder() const
{
    return m_dir.path() + QLatin1Char('/');
}

QString TestSettings::ExecutablePath() const
{
    return Folder() + QStringLiteral("Setup");
}

QString TestSettings::Write(const QString &relative, const QByteArray &content)
{
    const QString path = Folder() + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content);
    return path;
}

void TestSettings::Load()
{
    g_Var.ReadSettings(ExecutablePath());
}
