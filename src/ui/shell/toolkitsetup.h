#pragma once
// What the toolkit needs from the system before the first window is made:
// the font the windows are designed for and the toolkit's own translations.
//
// Every layout is measured in Tahoma 8 pt (13 px in the lists). A system
// without Tahoma falls back to a wider face that clips captions and list
// cells, so the metric-compatible Tahoma files Debian ships in fonts-wine
// are registered with the toolkit then. A system with a Tahoma of its own
// (Windows) is left alone, and so is one without the files.
//
// The standard buttons of the message boxes (Yes, No, OK) are the
// toolkit's texts, translated by its own catalogue (qtbase_<lang>.qm).
// Both need the application object.

#include <QLocale>
#include <QString>
#include <QStringList>

enum class DesignFontStatus {
    SystemHasIt, // a Tahoma is installed; nothing registered
    Registered,  // the regular face (and the bold one, when there) registered
    NotFound,    // no Tahoma anywhere: the fallback face is used
};

// Where fonts-wine puts its Tahoma files.
QString DefaultDesignFontFolder();

// Registers tahoma.ttf and tahomabd.ttf of `folder` with the toolkit unless
// the system has a Tahoma already; a file that is not there is skipped.
// Logs the outcome once.
DesignFontStatus RegisterDesignFont(const QString &folder = DefaultDesignFontFolder());

// The folders searched for the toolkit's catalogues: the toolkit's own
// translations folder, then "translations" beside the executable (where a
// build that carries its own toolkit keeps them).
QStringList ToolkitTranslationFolders();

// Installs the toolkit's catalogue for `locale` from the first of `folders`
// that has one; true when one was installed. Without a catalogue for the
// locale the built-in English texts stay (logged).
bool LoadToolkitTranslations(const QLocale &locale = QLocale::system(),
                             const QStringList &folders = ToolkitTranslationFolders());
