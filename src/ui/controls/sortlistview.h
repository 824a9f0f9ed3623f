#pragma once
// TSortListView: a report list (QTreeWidget without a tree) whose column
// headers show which column the list is sorted by and in which direction,
// with the IncBMP/DecBMP arrow bitmaps. A header click updates SortColunm
// and Increase (a click on SkipSort1 changes nothing, on the sort column it
// flips the direction, on another column it moves the sort there keeping
// the direction) and then raises ColumnClick. The list never sorts by
// itself: the page re-sorts from ColumnClick with SortItems and its own
// compare callback, which reads SortColunm and Increase. While the list has
// no rows it can show a short text, centred in its area in its own font.
// Its frame keeps all four sides at any scale factor of the screen.

#include <QHeaderView>
#include <QImage>
#include <QTreeWidget>
#include <functional>

// Geometry of one header item (pure, for drawing and for tests).
struct THeaderItemLayout
{
    QRect arrowRect; // zero width at the item's right edge when no arrow
    QRect textRect;  // where the caption is drawn
    bool drawCaption = false;
    bool drawArrow = false;
};

// Lays out column caption and arrow inside item rectangle `item`. `arrow` is
// the arrow bitmap's size (empty when none is shown), `caption` the
// caption's measured size, `alignment` the column's horizontal alignment.
THeaderItemLayout LayoutHeaderItem(const QRect &item, const QSize &arrow, const QSize &caption,
                                   Qt::Alignment alignment);

class TSortListView;

// The header that hands its painting to the list view.
class TSortHeader : public QHeaderView
{
    Q_OBJECT
public:
    explicit TSortHeader(TSortListView *view);

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    TSortListView *m_view;
};

class TSortListView : public QTreeWidget
{
    Q_OBJECT
public:
    // Negative when a sorts before b, positive after, 0 equal.
    using CompareFn = std::function<int(const QTreeWidgetItem *a, const QTreeWidgetItem *b)>;

    explicit TSortListView(QWidget *parent = nullptr);
    ~TSortListView() override;

    int SortColunm() const { return m_sortColumn; }
    void SetSortColunm(int column);
    bool Increase() const { return m_increase; }
    void SetIncrease(bool increase);
    // Setting it to the current SortColunm moves SortColunm to the next column.
    int SkipSort1() const { return m_skipSort1; }
    void SetSkipSort1(int column);
    const QImage &IncBMP() const { return m_incBmp; }
    void SetIncBMP(const QImage &bitmap);
    const QImage &DecBMP() const { return m_decBmp; }
    void SetDecBMP(const QImage &bitmap);

    void SetCompare(CompareFn compare) { m_compare = std::move(compare); }
    // Reorders the top-level items with the compare callback (stable);
    // nothing without one. The current item stays current.
    void SortItems();

    // The header-click rules for a click on `column`, then ColumnClick
    // (raised for every click, the SkipSort1 column included, so the page
    // may re-sort with unchanged settings), then a header repaint.
    void HeaderClicked(int column);

    // Draws one header item (the owner drawing of the header).
    void DrawHeaderItem(QPainter &painter, const QRect &rect, int column) const;

    // The text drawn while the list has no rows; empty draws nothing.
    const QString &EmptyText() const { return m_emptyText; }
    void SetEmptyText(const QString &text);

signals:
    // Raised after every header click, after SortColunm/Increase changed;
    // the page re-sorts here.
    void ColumnClick(int column);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    void InvalidateHeader();

    int m_sortColumn = 0;
    bool m_increase = true;
    int m_skipSort1 = -1;
    QImage m_incBmp;
    QImage m_decBmp;
    CompareFn m_compare;
    QString m_emptyText;
};
