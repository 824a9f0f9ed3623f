#pragma once
// The list of wireless networks both survey pages show: a TSortListView
// whose rows carry their network's record and which draws them itself (the
// selection box, blue text for flagged networks, icons from a small-picture
// list) over a background striped in light yellow and white. SurveyView
// holds what both pages do with such a list: its columns, rows, icons and
// sort order.

#include "app/records.h"
#include "controls/sortlistview.h"

#include <QString>
#include <QTreeWidgetItem>
#include <functional>
#include <vector>

class QPainter;
class QRect;
class TImageList;

// Column indexes of both survey lists.
enum SurveyColumn : int {
    SURVEY_COL_ICON = 0,
    SURVEY_COL_SSID = 1,
    SURVEY_COL_CHANNEL = 2,
    SURVEY_COL_SIGNAL = 3,
    SURVEY_COL_ENCRYPTION = 4,
    SURVEY_COL_AUTHENTICATION = 5,
    SURVEY_COL_BSSID = 6,
    SURVEY_COL_COUNT = 7,
};

// Item data role that holds a cell's icon index into the list's icons (-1
// or absent: no icon).
inline constexpr int SURVEY_ICON_ROLE = Qt::UserRole + 1;

// One row of a survey list. The row owns its network's record; it goes with
// the row when the list is cleared or destroyed.
class TSurveyItem : public QTreeWidgetItem
{
public:
    explicit TSurveyItem(const SurveyEntry &entry);
    SurveyEntry Entry;
};

class TSurveyListView : public TSortListView
{
public:
    // The icons are looked up at every use, so a skin loaded later is seen.
    using IconSource = std::function<const TImageList &()>;

    TSurveyListView(QWidget *parent, IconSource icons);

    const TImageList &Icons() const { return m_icons(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void drawRow(QPainter *painter, const QStyleOptionViewItem &option,
                 const QModelIndex &index) const override;

private:
    struct Stripes
    {
        int top;
        int height;
        int first; // index of the first stripe
    };

    Stripes StripeLayout() const;
    void PaintStripes(QPainter &painter) const;
    void PaintGridLines(QPainter &painter) const;
    void PaintRow(QPainter &painter, const QRect &optionRect, const QModelIndex &index) const;
    Qt::Alignment ColumnAlignment(int column) const;

    IconSource m_icons;
};

namespace SurveyView {

// Row icon: +1 when Status is not 0, +2 when Authentication is not 0, so 0
// and 1 are open networks, 2 and 3 secured ones.
int RowIcon(const SurveyEntry &entry);
// Signal icon: 4 for 0..19 % up to 8 for 80 % and more.
int SignalIcon(int signal);

// Sets up a list for the survey pages: the seven columns with their
// captions, widths and alignments, initial sort by signal strongest first,
// and no re-sort on a click of the icon column.
void Setup(TSortListView *list);

// Adds one row per entry, in order, then sorts the list once. The
// encryption column shows SurveyEncryptionName; the authentication
// column's text comes from `authText`.
void Fill(TSortListView *list, const std::vector<SurveyEntry> &entries, QString (*authText)(int));

// Sorts the list by its current SortColunm and Increase.
void Sort(TSortListView *list);

// The list's compare rule for two rows: negative, 0 or positive; see the
// page's behaviour for the keys by column. Equal keys compare as 0.
int Compare(const TSortListView *list, const QTreeWidgetItem *item1, const QTreeWidgetItem *item2);

// The selected row's record, or nullptr when no row is selected.
const SurveyEntry *SelectedEntry(const TSortListView *list);

// Draws one cell's text: nothing for an empty text; otherwise inside the
// cell less 5 pixels left and right, with the column's alignment, an end
// ellipsis and tab expansion, centred vertically, on a transparent
// background.
void SubItemTextOut(QPainter &painter, const QString &text, const QRect &cell, Qt::Alignment alignment,
                    bool rightToLeft);

} // namespace SurveyView
