#pragma once
// The keyboard side of a page or window: which of its controls Tab reaches
// and in what order, which control a page hands the focus to when it is
// entered, and the names a screen reader speaks for controls that carry no
// text of their own (edits, lists, combo boxes, the IP address fields),
// taken from the labels beside them.

#include <QString>
#include <vector>

class QWidget;

namespace PageKeys {

// The controls `page` owns that Tab can reach, in reading order: rows from
// the top down, left to right within a row (tops within a few pixels make a
// row). A compound control (one whose focus goes on to a child, such as the
// IP address field) counts once, as itself. Hidden controls are listed too;
// Tab passes over them while they are hidden.
std::vector<QWidget *> ReadingOrder(QWidget *page);

// Edit, list, combo box, radio button or check box: the controls a page's
// focus goes to first. A read-only text view is not one.
bool IsInputControl(const QWidget *widget);

// The text that names `control` on `page`: the label on its left in the same
// row, else the label just above it, else the title of the group box around
// it. Empty when there is none.
QString LabelTextFor(QWidget *page, QWidget *control);

// Gives every edit, list and combo box of `page` that has no accessible name
// from its code the text of its label; the boxes of an IP address field get
// the label's text plus " octet N". Run again after texts change: names it
// gave earlier are renewed, names from code are never touched.
void NameControls(QWidget *page);

} // namespace PageKeys
