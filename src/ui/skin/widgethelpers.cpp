#include "skin/widgethelpers.h"

#include <QComboBox>
#include <QHeaderView>
#include <QTreeView>

bool SelectComboByValue(QComboBox *combo, int value)
{
    if (!combo)
        return false;
    for (int i = 0; i < combo->count(); ++i) {
        bool ok = false;
        const int code = combo->itemData(i).toInt(&ok);
        if (ok && code == value) {
            combo->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

int SelectedComboValue(const QComboBox *combo, int def)
{
    if (!combo || combo->currentIndex() < 0)
        return def;
    bool ok = false;
    const int code = combo->currentData().toInt(&ok);
    return ok ? code : def;
}

int ListHeaderHeight(const QTreeView *view)
{
    if (!view)
        return 0;
    const QHeaderView *head = view->header();
    if (!head || head->isHidden())
        return 0;
    // Before the view has been laid out the header has no real geometry yet;
    // its size hint is the height it will take.
    if (view->isVisible() && head->height() > 0)
        return head->height();
    return head->sizeHint().height();
}

void FocusEdit(QWidget *edit)
{
    if (!edit)
        return;
    QWidget *window = edit->window();
    if (!window || !window->isVisible())
        return;
    if (!edit->isVisible() || !edit->isEnabled() || edit->focusPolicy() == Qt::NoFocus)
        return;
    edit->setFocus(Qt::OtherFocusReason);
}
