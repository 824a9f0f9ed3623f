#include "wizard/skinsupport.h"

#include "app/debug.h"

#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QWidget>

QPixmap SkinPicture(const QString &name)
{
    for (const char *ext : {".jpg", ".bmp", ".png"}) {
        const QString path = QStringLiteral(":/skin/") + name + QLatin1String(ext);
        if (QFile::exists(path))
            return QPixmap(path);
    }
    DebugPrint("SkinPicture() FAIL no picture %s", qUtf8Printable(name));
    return QPixmap();
}

void ApplyFormTexts(QWidget *, const QString &)
{
}

void ApplyFormLayout(QWidget *, const QString &)
{
}

void SetButtonFaces(QPushButton *, const QString &, const QString &, const QString &)
{
}

QString AppTitleText()
{
    return QGuiApplication::applicationDisplayName();
}

QString MsgTitleText()
{
    return QGuiApplication::applicationDisplayName();
}
