#pragma once
// Small widget helpers the pages share: selecting a combo-box item by the
// integer code it carries, the height of a list view's header, and giving
// an edit box the keyboard focus only when it can take it.

class QComboBox;
class QTreeView;
class QWidget;

// Combo-box items carry their integer code as item data (Qt::UserRole).
// Selects the first item whose code equals `value` and returns true; with
// no such item returns false and leaves the selection unchanged.
bool SelectComboByValue(QComboBox *combo, int value);

// The code of the selected item; `def` when nothing is selected or the item
// carries no integer.
int SelectedComboValue(const QComboBox *combo, int def = -1);

// Height in pixels of the list's header; 0 when it is hidden or missing.
int ListHeaderHeight(const QTreeView *view);

// Gives `edit` the keyboard focus when its window is visible and the edit
// can take the focus now (visible, enabled, accepts focus); otherwise does
// nothing.
void FocusEdit(QWidget *edit);
