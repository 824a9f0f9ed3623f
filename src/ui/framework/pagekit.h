#pragma once
// The design kit of the wizard's pages. Every page is 600 x 324 (the
// sub-pages of the profile sequence one pixel lower) with a background
// picture, group boxes holding its content and a row of 85 x 21 skinned
// buttons at the bottom. The builders give each control its component name
// as objectName, so that the settings file can address it, and the geometry
// the page declares; everything else stays with the page.

#include "controls/trifacebtn.h"

#include <QAbstractButton>
#include <QRect>
#include <QString>
#include <tuple>
#include <type_traits>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;
class TImage;
class TPaintPanel;

namespace PageKit {

// The page, and the sub-pages of the profile sequence.
inline constexpr int PageWidth = 600, PageHeight = 324, SubPageHeight = 323;
// The bottom row: 85 x 21 at top 288, at these lefts.
inline constexpr int ButtonTop = 288, ButtonWidth = 85, ButtonHeight = 21;
inline constexpr int ExitLeft = 24, ManualLeft = 183, WpsLeft = 286, BackLeft = 389, NextLeft = 492;

// Height of edits and drop-down lists.
inline constexpr int FieldHeight = 21;

// The content box of most pages, and the wide one of the front and device
// pages.
inline constexpr QRect ContentBox{24, 16, 552, 262};
inline constexpr QRect WideContentBox{12, 16, 576, 262};

// The page background ImgBG, 600 x 324 at 0,0. Created first, it lies under
// everything else; `lowerNow` also lowers it at once (the front pages do).
TImage *Background(QWidget *page, bool lowerNow = false);

// The start of a page: the page sized PageWidth x `height`, its background
// (Background) and the group box holding its content (Group, or WhiteGroup
// when `white`). For std::tie into the page's members.
std::tuple<TImage *, QGroupBox *> PageFrame(QWidget *page, int height, const char *groupName,
                                            const QRect &groupGeometry, const QString &caption = QString(),
                                            bool white = false);

// A group box at `geometry` on the page's own background.
QGroupBox *Group(QWidget *parent, const char *name, const QRect &geometry,
                 const QString &caption = QString());
// A group box that fills its area white over the page picture.
QGroupBox *WhiteGroup(QWidget *parent, const char *name, const QRect &geometry,
                      const QString &caption = QString());

// How a label shows its text; Wrapped and Bold combine.
enum LabelLook : unsigned {
    Plain = 0,
    Wrapped = 1, // word-wrapped from the top left
    Bold = 2,
    RightAligned = 4, // one line, right-aligned, centred vertically
};
QLabel *Label(QWidget *parent, const char *name, const QString &text, const QRect &geometry,
              unsigned look = Plain);

// LbClickNext "Click Next to continue", right-aligned at `geometry`.
QLabel *ClickNextLabel(QWidget *parent, const QRect &geometry);

QRadioButton *Radio(QWidget *parent, const char *name, const QString &text, const QRect &geometry);
// An edit FieldHeight high at left, top, width, taking at most `maxLength`
// characters.
QLineEdit *Edit(QWidget *parent, const char *name, int left, int top, int width, int maxLength);
// A drop-down list (no free text) FieldHeight high at left, top, width.
QComboBox *Combo(QWidget *parent, const char *name, int left, int top, int width);

// Appends an item that carries `code`.
void AddCodeItem(QComboBox *combo, const QString &text, int code);
// Code of the selected item, `fallback` when nothing is selected.
int SelectedCode(const QComboBox *combo, int fallback);

// The focus a skinned button gets: the style's choice for push buttons, or
// strong focus set explicitly (the wireless pages).
enum class Focus { Style, Strong };

// A skinned button at `geometry`.
TTrifaceBtn *Button(QWidget *parent, const char *name, const QString &caption, const QRect &geometry,
                    Focus focus = Focus::Style);
// A button of the page's bottom row at `left`.
TTrifaceBtn *BottomButton(QWidget *page, const char *name, const QString &caption, int left,
                          Focus focus = Focus::Style);

// The white "Searching..." panel PlSearch that covers a survey list while
// the device scans; hidden until a survey starts.
TPaintPanel *SearchPanel(QWidget *parent, const QRect &geometry);

// The page picture ImgFrameBG on a background, and the three faces
// ImgBtnN / ImgBtnH / ImgBtnD on a skinned button.
void SkinBackground(TImage *background);
void SkinButton(QPushButton *button);

// A click handler that posts a wizard command (WIZARD_EXIT, WIZARD_NEXT,
// WIZARD_BACK) from the page.
struct Post
{
    int command;
};

// Connects each button's click to its handler on `page`: a member function
// of the page, a callable, or Post.
template <typename Page, typename Handler, typename... More>
void OnClick(Page *page, QAbstractButton *button, Handler handler, More... more)
{
    if constexpr (std::is_same_v<Handler, Post>)
        QObject::connect(button, &QAbstractButton::clicked, page,
                         [page, command = handler.command] { page->PostWizardCommand(command); });
    else
        QObject::connect(button, &QAbstractButton::clicked, page, handler);
    if constexpr (sizeof...(More) > 0)
        OnClick(page, more...);
}

// The order a page creates its Exit, Back and forward buttons in.
enum class Order { ExitBackNext, BackNextExit, BackExitNext };

// BtnExit "Exit", BtnBack "Back" and the forward button (BtnNext "Next"
// unless told otherwise) at their places in the bottom row, created in
// `order`.
std::tuple<TTrifaceBtn *, TTrifaceBtn *, TTrifaceBtn *> CreateWizardButtons(QWidget *page, Focus focus,
                                                                            const char *nextName,
                                                                            const QString &nextCaption,
                                                                            Order order);

// The bottom row of most pages (CreateWizardButtons), each button's click
// connected to its handler. For std::tie into the page's members.
template <typename Page, typename OnExit, typename OnBack, typename OnNext>
std::tuple<TTrifaceBtn *, TTrifaceBtn *, TTrifaceBtn *>
WizardButtons(Page *page, OnExit onExit, OnBack onBack, OnNext onNext, Focus focus = Focus::Style,
              const char *nextName = "BtnNext", const QString &nextCaption = QStringLiteral("Next"),
              Order order = Order::ExitBackNext)
{
    const auto buttons = CreateWizardButtons(page, focus, nextName, nextCaption, order);
    OnClick(page, std::get<0>(buttons), onExit, std::get<1>(buttons), onBack, std::get<2>(buttons), onNext);
    return buttons;
}

} // namespace PageKit
