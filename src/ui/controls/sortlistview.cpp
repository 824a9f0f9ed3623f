#include "controls/sortlistview.h"

#include <QEvent>
#include <QPainter>
#include <QStyleOptionHeader>
#include <algorithm>

THeaderItemLayout LayoutHeaderItem(const QRect &item, const QSize &arrow, const QSize &caption,
                                   Qt::Alignment alignment)
{
    // Exclusive right/bottom edges, as the item rectangle arrives from the
    // header: right = x + width.
    const int rl = item.x(), rt = item.y(), rr = item.x() + item.width(), rb = item.y() + item.height();
    THeaderItemLayout out;
    int al = rr, at = rt, ar = rr, ab = rb;
    if (!arrow.isEmpty()) {
        out.drawArrow = true;
        al = std::max(rr - arrow.width() - 5, rl);
        ar = std::min(al + arrow.width(), rr);
        at = std::max(rt + (item.height() - arrow.height()) / 2, rt);
        ab = std::min(at + arrow.height(), rb);
    }
    out.arrowRect = QRect(al, at, ar - al, ab - at);

    int tl = rl + 5, tr = rr - 5, tt = rt, tb = rb;
    if (tr - tl <= 0 || tb - tt <= 0)
        return out;
    out.drawCaption = true;
    const int cw = caption.width();
    bool pull;
    if (alignment & Qt::AlignRight)
        pull = true;
    else if (alignment & Qt::AlignHCenter)
        pull = al < tr - ((tr - tl) - cw) / 2 + 2;
    else
        pull = al < tl + cw + 2;
    if (pull)
        tr = al - 2;
    const int down = ((tb - tt) - caption.height()) / 2;
    tt += down;
    tb += down;
    out.textRect = QRect(tl, tt, std::max(0, tr - tl), tb - tt);
    return out;
}

TSortHeader::TSortHeader(TSortListView *view) : QHeaderView(Qt::Horizontal, view), m_view(view)
{
    setSectionsClickable(true);
    setSortIndicatorShown(false);
}

void TSortHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    // The themed section background without its text; caption and arrow
    // are ours.
    QStyleOptionHeader opt;
    initStyleOption(&opt);
    opt.rect = rect;
    opt.section = logicalIndex;
    opt.text.clear();
    opt.sortIndicator = QStyleOptionHeader::None;
    painter->save();
    style()->drawControl(QStyle::CE_HeaderSection, &opt, painter, this);
    painter->restore();
    painter->save();
    m_view->DrawHeaderItem(*painter, rect, logicalIndex);
    painter->restore();
}

TSortListView::TSortListView(QWidget *parent) : QTreeWidget(parent)
{
    setHeader(new TSortHeader(this)); // owned by the view once set
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    setItemsExpandable(false);
    // setSortingEnabled(false) made the header unclickable; the clicks are
    // what the page sorts by.
    header()->setSectionsClickable(true);
    connect(header(), &QHeaderView::sectionClicked, this, &TSortListView::HeaderClicked);
}

TSortListView::~TSortListView() = default;

void TSortListView::InvalidateHeader()
{
    header()->viewport()->update();
}

void TSortListView::SetSortColunm(int column)
{
    if (column == m_sortColumn)
        return;
    m_sortColumn = column;
    InvalidateHeader();
}

void TSortListView::SetIncrease(bool increase)
{
    if (increase == m_increase)
        return;
    m_increase = increase;
    InvalidateHeader();
}

void TSortListView::SetSkipSort1(int column)
{
    m_skipSort1 = column;
    if (column >= 0 && column == m_sortColumn)
        SetSortColunm(column + 1);
}

void TSortListView::SetIncBMP(const QImage &bitmap)
{
    m_incBmp = bitmap.copy();
    InvalidateHeader();
}

void TSortListView::SetDecBMP(const QImage &bitmap)
{
    m_decBmp = bitmap.copy();
    InvalidateHeader();
}

void TSortListView::HeaderClicked(int column)
{
    if (column != m_skipSort1) {
        if (column == m_sortColumn)
            m_increase = !m_increase;
        else
            m_sortColumn = column;
    }
    emit ColumnClick(column);
    InvalidateHeader();
}

void TSortListView::SortItems()
{
    if (!m_compare)
        return;
    QTreeWidgetItem *current = currentItem();
    QList<QTreeWidgetItem *> items;
    while (topLevelItemCount() > 0)
        items.push_back(takeTopLevelItem(0));
    std::stable_sort(items.begin(), items.end(), [this](const QTreeWidgetItem *a, const QTreeWidgetItem *b) {
        return m_compare(a, b) < 0;
    });
    addTopLevelItems(items);
    if (current)
        setCurrentItem(current);
}

void TSortListView::DrawHeaderItem(QPainter &painter, const QRect &rect, int column) const
{
    const QImage &arrowBmp = m_increase ? m_incBmp : m_decBmp;
    const bool arrowShown = !arrowBmp.isNull() && column == m_sortColumn;
    QTreeWidgetItem *head = headerItem();
    const QString caption = head ? head->text(column) : QString();
    Qt::Alignment align = Qt::AlignLeft;
    if (head) {
        const Qt::Alignment a = Qt::Alignment(head->textAlignment(column)) & Qt::AlignHorizontal_Mask;
        if (a)
            align = a;
    }
    const QFontMetrics fm(header()->font());
    const THeaderItemLayout layout =
        LayoutHeaderItem(rect, arrowShown ? arrowBmp.size() : QSize(),
                         QSize(fm.horizontalAdvance(caption), fm.height()), align);
    if (layout.drawCaption && !caption.isEmpty()) {
        painter.setFont(header()->font());
        painter.setPen(header()->palette().color(QPalette::ButtonText));
        const QString shown = fm.elidedText(caption, Qt::ElideRight, layout.textRect.width());
        painter.drawText(layout.textRect, int(align | Qt::AlignTop) | Qt::TextSingleLine | Qt::TextExpandTabs,
                         shown);
    }
    if (layout.drawArrow && arrowShown && !layout.arrowRect.isEmpty())
        painter.drawImage(layout.arrowRect.topLeft(), arrowBmp, QRect(QPoint(0, 0), layout.arrowRect.size()));
}

void TSortListView::SetEmptyText(const QString &text)
{
    if (text == m_emptyText)
        return;
    m_emptyText = text;
    viewport()->update();
}

void TSortListView::paintEvent(QPaintEvent *event)
{
    QTreeWidget::paintEvent(event);
    if (m_emptyText.isEmpty() || topLevelItemCount() > 0)
        return;
    QPainter painter(viewport());
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::Text));
    // A margin keeps wrapped lines off the frame.
    const QRect area = viewport()->rect().adjusted(12, 8, -12, -8);
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, m_emptyText);
}

bool TSortListView::event(QEvent *event)
{
    const bool handled = QTreeWidget::event(event);
    // The frame's outer line once more, on whole pixels of the list: at a
    // fractional scale factor (1.5) the style's one-pixel line falls
    // between device pixels and is lost on some sides. (The viewport's own
    // paint events do not come here.)
    if (event->type() == QEvent::Paint && frameShape() != QFrame::NoFrame && frameWidth() > 0) {
        QPainter painter(this);
        const QColor line = palette().color(QPalette::Window).darker(140);
        const int w = width(), h = height();
        painter.fillRect(QRect(0, 0, w, 1), line);
        painter.fillRect(QRect(0, h - 1, w, 1), line);
        painter.fillRect(QRect(0, 0, 1, h), line);
        painter.fillRect(QRect(w - 1, 0, 1, h), line);
    }
    return handled;
}
