#include "framework/pagekeys.h"

#include "skin/applytexts.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTextEdit>
#include <QVariant>
#include <algorithm>

namespace {

// Property holding the accessible name NameControls gave, so that a later
// run can tell its own names from the code's.
constexpr const char *kGivenName = "pageKeysName";

// Tops closer than this count as one row of the reading order.
constexpr int kRowTolerance = 10;

// True when `widget` belongs to `page` itself and not to a page nested in it.
bool OwnedBy(const QWidget *page, const QWidget *widget)
{
    for (const QWidget *w = widget->parentWidget(); w; w = w->parentWidget()) {
        if (w == page)
            return true;
        if (IsFrameBoundary(w) || w->isWindow())
            return false;
    }
    return false;
}

bool TakesTab(const QWidget *widget)
{
    return (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && !widget->isWindow() &&
           !IsFrameBoundary(widget);
}

// A control whose focus goes on to one of its own children.
bool IsCompound(const QWidget *widget)
{
    const QWidget *proxy = widget->focusProxy();
    return proxy && widget->isAncestorOf(proxy);
}

QRect OnPage(const QWidget *page, const QWidget *widget)
{
    return QRect(widget->mapTo(page, QPoint(0, 0)), widget->size());
}

bool IsNamedByLabel(const QWidget *widget)
{
    return qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QAbstractItemView *>(widget) ||
           qobject_cast<const QComboBox *>(widget) || IsCompound(widget);
}

void GiveName(QWidget *widget, const QString &name)
{
    const QString given = widget->property(kGivenName).toString();
    if (!widget->accessibleName().isEmpty() && widget->accessibleName() != given)
        return;
    widget->setAccessibleName(name);
    widget->setProperty(kGivenName, name);
}

} // namespace

namespace PageKeys {

std::vector<QWidget *> ReadingOrder(QWidget *page)
{
    std::vector<QWidget *> units;
    for (QWidget *widget : page->findChildren<QWidget *>()) {
        if (!TakesTab(widget) || !OwnedBy(page, widget))
            continue;
        // Inside a control that takes the focus itself (a list's viewport,
        // the boxes of an address field) nothing is a control of its own.
        bool inner = false;
        for (QWidget *w = widget->parentWidget(); w && w != page; w = w->parentWidget())
            inner = inner || TakesTab(w) || IsCompound(w);
        if (!inner)
            units.push_back(widget);
    }
    std::stable_sort(units.begin(), units.end(), [page](QWidget *a, QWidget *b) {
        return OnPage(page, a).top() < OnPage(page, b).top();
    });
    // Rows, then left to right inside each row.
    auto rowStart = units.begin();
    while (rowStart != units.end()) {
        const int top = OnPage(page, *rowStart).top();
        auto rowEnd = std::find_if(rowStart, units.end(), [page, top](QWidget *w) {
            return OnPage(page, w).top() >= top + kRowTolerance;
        });
        std::stable_sort(rowStart, rowEnd, [page](QWidget *a, QWidget *b) {
            return OnPage(page, a).left() < OnPage(page, b).left();
        });
        rowStart = rowEnd;
    }
    return units;
}

bool IsInputControl(const QWidget *widget)
{
    if (auto *text = qobject_cast<const QTextEdit *>(widget))
        return !text->isReadOnly();
    return qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QAbstractItemView *>(widget) ||
           qobject_cast<const QComboBox *>(widget) || qobject_cast<const QRadioButton *>(widget) ||
           qobject_cast<const QCheckBox *>(widget) || IsCompound(widget);
}

QString LabelTextFor(QWidget *page, QWidget *control)
{
    const QRect c = OnPage(page, control);
    const QLabel *left = nullptr;
    const QLabel *above = nullptr;
    int leftEdge = -1, aboveEdge = -1;
    for (QLabel *label : page->findChildren<QLabel *>()) {
        if (!OwnedBy(page, label) || label->text().trimmed().isEmpty())
            continue;
        const QRect l = OnPage(page, label);
        const int middle = l.center().y();
        if (middle >= c.top() && middle <= c.bottom() && l.right() <= c.left() + 2 && l.right() > leftEdge) {
            left = label;
            leftEdge = l.right();
        }
        const bool overlaps = l.left() <= c.right() && l.right() >= c.left();
        if (overlaps && l.bottom() <= c.top() + 2 && c.top() - l.bottom() < 30 && l.bottom() > aboveEdge) {
            above = label;
            aboveEdge = l.bottom();
        }
    }
    if (const QLabel *label = left ? left : above) {
        QString text = label->text().trimmed().remove(QLatin1Char('&'));
        if (text.endsWith(QLatin1Char(':')))
            text.chop(1);
        return text;
    }
    for (QWidget *w = control->parentWidget(); w && w != page; w = w->parentWidget()) {
        if (auto *box = qobject_cast<QGroupBox *>(w); box && !box->title().isEmpty())
            return box->title().remove(QLatin1Char('&'));
    }
    return QString();
}

void NameControls(QWidget *page)
{
    for (QWidget *control : ReadingOrder(page)) {
        if (!IsNamedByLabel(control))
            continue;
        const QString label = LabelTextFor(page, control);
        if (label.isEmpty())
            continue;
        if (!IsCompound(control)) {
            GiveName(control, label);
            continue;
        }
        GiveName(control, label);
        int octet = 0;
        for (QLineEdit *box : control->findChildren<QLineEdit *>())
            GiveName(box, QStringLiteral("%1 octet %2").arg(label).arg(++octet));
    }
}

} // namespace PageKeys
