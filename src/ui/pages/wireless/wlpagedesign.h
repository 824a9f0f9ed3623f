#pragma once
// Design helpers shared by the wireless pages: every page is built in code
// with fixed positions (left, top, width, height in pixels as the settings
// file's layout sections address them), and every control carries its
// component name as objectName so that texts and layout from the settings
// file find it. Also the small code-list helpers of the drop-down lists,
// whose items carry the integer codes of the wireless settings.

#include <QString>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QWidget;
class TImage;
class TTrifaceBtn;

namespace WlDesign {

// Every wizard page is 600 x 324; the sub-pages of the profile sequence are
// one pixel lower.
inline constexpr int PAGE_WIDTH = 600;
inline constexpr int PAGE_HEIGHT = 324;
inline constexpr int SUBPAGE_HEIGHT = 323;

// The page background ImgBG at 0,0, 600 x 324.
TImage *Background(QWidget *page);

// A group box holding a page's content at left 24, top 16.
QGroupBox *Group(QWidget *page, const QString &name, const QString &caption);

QLabel *Label(QWidget *parent, const QString &name, const QString &text, int x, int y, int w, int h = 13);
QLineEdit *Edit(QWidget *parent, const QString &name, int x, int y, int w, int maxLength);
// A drop-down list (no free text).
QComboBox *Combo(QWidget *parent, const QString &name, int x, int y, int w);
QRadioButton *Radio(QWidget *parent, const QString &name, const QString &text, int x, int y, int w);

// A skinned push button, 85 x 21 unless told otherwise.
TTrifaceBtn *Button(QWidget *parent, const QString &name, const QString &text, int x, int y, int w = 85,
                    int h = 21);

// The three wizard buttons of the standard page design: "Exit" at 24,288,
// "Back" at 389,288, "Next" at 492,288, each 85 x 21.
struct WizardButtons
{
    TTrifaceBtn *exit;
    TTrifaceBtn *back;
    TTrifaceBtn *next;
};
WizardButtons StandardButtons(QWidget *page);

// Appends an item that carries `code`.
void AddCodeItem(QComboBox *combo, const QString &text, int code);
// Code of the selected item, `fallback` when nothing is selected.
int SelectedCode(const QComboBox *combo, int fallback);

} // namespace WlDesign
