#include "framework/skinsupport.h"

#include "app/debug.h"
#include "app/globalvar.h"
#include "controls/trifacebtn.h"
#include "skin/applytexts.h"
#include "skin/formres.h"

#include <QPushButton>
#include <QWidget>

std::shared_ptr<const SkinSource> SkinPicture(const QString &name)
{
    std::shared_ptr<const SkinSource> picture = FormRes()->Source(name);
    if (!picture)
        DebugPrint("SkinPicture() FAIL no picture %s", qUtf8Printable(name));
    return picture;
}

void ApplyFormTexts(QWidget *form, const QString &section)
{
    if (form && g_Var.SettingsStore)
        ApplyTexts(form, section, *g_Var.SettingsStore);
}

void ApplyFormLayout(QWidget *form, const QString &path)
{
    if (form && g_Var.SettingsStore)
        ApplyLayout(form, path, *g_Var.SettingsStore);
}

void SetButtonFaces(QPushButton *button, const QString &normal, const QString &hover, const QString &down)
{
    auto *skinned = qobject_cast<TTrifaceBtn *>(button);
    if (!skinned)
        return;
    skinned->SetFace(FormRes()->Picture(normal));
    skinned->SetFaceOver(FormRes()->Picture(hover));
    skinned->SetFaceDown(FormRes()->Picture(down));
    // The faces are drawn with transparent corners; the outline follows them
    // so the background shows through.
    skinned->SetAutoShape(true);
}

QString AppTitleText()
{
    return g_Var.AppTitle;
}
