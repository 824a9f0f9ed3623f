#pragma once
// Small builders for the design of the device access pages: every page is
// 600 x 324 with a background picture, a white group box holding its
// content and the row of 85 x 21 skinned buttons at the bottom. The
// builders give each control its component name, so that the settings file
// can address it, and fix the geometry the page declares.

#include <QRect>
#include <QString>

class QGroupBox;
class QLabel;
class QRadioButton;
class QWidget;
class TImage;
class TTrifaceBtn;

namespace PageDesign {

inline constexpr int PageWidth = 600;
inline constexpr int PageHeight = 324;
inline constexpr int ButtonTop = 288;
inline constexpr int ButtonWidth = 85;
inline constexpr int ButtonHeight = 21;
inline constexpr int ExitLeft = 24;
inline constexpr int BackLeft = 389;
inline constexpr int NextLeft = 492;

// The page background ImgBG, 600 x 324 at 0,0; created first so that it
// lies under everything else.
TImage *CreateBackground(QWidget *page);

// A white group box at `geometry` (the pages give its left and top 16).
QGroupBox *CreateGroupBox(QWidget *parent, const char *name, const QRect &geometry,
                          const QString &caption = QString());

// One of the page's bottom buttons at `left`, top 288, 85 x 21.
TTrifaceBtn *CreateButton(QWidget *page, const char *name, const QString &caption, int left);

// A transparent label; word-wrapped or bold where the page says so.
QLabel *CreateLabel(QWidget *parent, const char *name, const QString &text, const QRect &geometry,
                    bool wordWrap = false, bool bold = false);

QRadioButton *CreateRadio(QWidget *parent, const char *name, const QString &text, const QRect &geometry);

} // namespace PageDesign
