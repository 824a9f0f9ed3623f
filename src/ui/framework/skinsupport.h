#pragma once
// The few calls through which the wizard framework's windows and pages take
// their look from the settings file and the skin store: texts and layout
// under the settings lock, pictures by skin name, the three faces of a
// skinned button. Kept in one place so the windows read the same way.

#include <QPixmap>
#include <QString>
#include <memory>

class QPushButton;
class SkinSource;
class QWidget;

// The skin picture `name`, for a picture control (TImage::setPicture), which
// decodes it when first drawn. Null when the store has no such picture.
std::shared_ptr<const SkinSource> SkinPicture(const QString &name);

// ApplyTexts on `form` (a window or a page) with `section`, holding the
// settings lock for the whole run and releasing it also on failure.
void ApplyFormTexts(QWidget *form, const QString &section);

// ApplyLayout on `form` with `path`, under the settings lock.
void ApplyFormLayout(QWidget *form, const QString &path);

// Gives a skinned button its normal, under-the-mouse and pressed faces from
// the skin pictures with those names and shapes it to the normal face's
// opaque pixels. Other buttons are left alone.
void SetButtonFaces(QPushButton *button, const QString &normal, const QString &hover, const QString &down);

// The application title (AppTitle), every window's first caption.
QString AppTitleText();
