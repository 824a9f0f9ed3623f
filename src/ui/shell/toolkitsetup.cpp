#include "shell/toolkitsetup.h"

#include "app/debug.h"
#include "app/globalvar.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>
#include <algorithm>
#include <memory>
#include <string_view>

namespace {

const QString kDesignFamily = QStringLiteral("Tahoma");

bool SystemHasDesignFont()
{
    const QStringList families = QFontDatabase::families();
    return std::any_of(families.begin(), families.end(), [](const QString &family) {
        return family.compare(kDesignFamily, Qt::CaseInsensitive) == 0;
    });
}

} // namespace

QString DefaultDesignFontFolder()
{
    return QStringLiteral("/usr/share/wine/fonts");
}

DesignFontStatus RegisterDesignFont(const QString &folder)
{
    if (SystemHasDesignFont()) {
        DebugPrint("RegisterDesignFont() the system has %s", qUtf8Printable(kDesignFamily));
        return DesignFontStatus::SystemHasIt;
    }
    bool regular = false;
    for (const char *file : {"tahoma.ttf", "tahomabd.ttf"}) {
        const QString path = QDir(folder).filePath(QLatin1String(file));
        if (!QFileInfo(path).isFile())
            continue;
        const int id = QFontDatabase::addApplicationFont(path);
        if (id < 0) {
            DebugPrint("RegisterDesignFont() FAIL %s not taken", qUtf8Printable(path));
            continue;
        }
        DebugPrint("RegisterDesignFont() %s as %s", qUtf8Printable(path),
                   qUtf8Printable(QFontDatabase::applicationFontFamilies(id).join(QLatin1Char(','))));
        regular = regular || std::string_view(file) == "tahoma.ttf";
    }
    if (regular && SystemHasDesignFont())
        return DesignFontStatus::Registered;
    DebugPrint("RegisterDesignFont() FAIL no %s in %s: texts may be clipped", qUtf8Printable(kDesignFamily),
               qUtf8Printable(folder));
    return DesignFontStatus::NotFound;
}

QStringList ToolkitTranslationFolders()
{
    return {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
            ExeRelativePath(QStringLiteral("translations"))};
}

bool LoadToolkitTranslations(const QLocale &locale, const QStringList &folders)
{
    for (const QString &folder : folders) {
        auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
        if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), folder))
            continue;
        if (!QCoreApplication::installTranslator(translator.get()))
            continue;
        DebugPrint("LoadToolkitTranslations() %s", qUtf8Printable(translator->filePath()));
        translator.release(); // owned by the application object
        return true;
    }
    DebugPrint("LoadToolkitTranslations() no catalogue for %s in %s", qUtf8Printable(locale.name()),
               qUtf8Printable(folders.join(QStringLiteral(", "))));
    return false;
}
