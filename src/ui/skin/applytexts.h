#pragma once
// Texts, positions and visibility from the settings file onto the controls
// of a window or page.
//
// Ownership. A window or page owns the controls it created, visited in
// creation order; a group box or plain container in between is only a
// visual parent. Nested pages own their own controls: the walk collects the
// nested page itself but does not enter it. A widget is such a boundary
// when it is marked with the dynamic property "wizardFrame" = true
// (MarkAsFrame; the page base class marks every page) or inherits
// TFrameBase. Components are QWidgets and QActions with an object name
// (the component name the settings file uses); Qt's own unnamed or "qt_"
// internals are never visited, and item views are not entered.
//
// Control kinds: label = QLabel; check box = QCheckBox; panel = TPaintPanel;
// standard list view = QTreeWidget that is not a TSortListView; push button
// = QPushButton and its subclasses; radio button = QRadioButton; group box =
// QGroupBox; menu item = QAction.

#include <QString>
#include <vector>

class GuardedIni;
class IniFile;
class QObject;
class QWidget;

// Name of the boundary property.
inline constexpr const char *kFrameBoundaryProperty = "wizardFrame";

// Marks (or unmarks) `widget` as a page/frame that owns its own controls.
void MarkAsFrame(QWidget *widget, bool on = true);
// True for a marked widget or a TFrameBase.
bool IsFrameBoundary(const QObject *object);

// The components `owner` owns directly, in creation order (see above).
std::vector<QObject *> OwnedComponents(QObject *owner);

// Puts the texts of `section` onto the components `container` owns. When
// the container is a window (not a page boundary) its title is read first
// with its own name as key. Every read defaults to the current text, so a
// missing section or key leaves texts as designed. The caller holds the
// settings lock and passes the locked reader.
void ApplyTexts(QWidget *container, const QString &section, const IniFile &reader);
// The same under the lock of `settings`, released also on failure.
void ApplyTexts(QWidget *container, const QString &section, GuardedIni &settings);

// Puts positions (section path + "_CtrlPos": up to four integers left, top,
// width, height; fewer set only the leading ones) and visibility (path +
// "_Visible", booleans) onto the components `control` owns, first
// descending into each nested page with the path path + "_" + its name.
void ApplyLayout(QWidget *control, const QString &path, const IniFile &reader);
void ApplyLayout(QWidget *control, const QString &path, GuardedIni &settings);
