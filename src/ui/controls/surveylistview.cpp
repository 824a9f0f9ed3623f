#include "controls/surveylistview.h"

#include "controls/imagelist.h"

#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <cstring>

namespace {

// Colours of the row drawing and the striped background.
const QColor kSelectionPen(152, 181, 226);
const QColor kSelectionFill(229, 236, 248);
const QColor kStripeOdd(255, 255, 225);
const QColor kStripeEven(255, 255, 255);
const QColor kGridLine(192, 192, 192);

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

// Rows are as tall as a small picture plus the grid line below it, so an
// icon drawn at a row's top stays inside its row; a larger font makes them
// taller still.
class TSurveyRowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(
            qMax(size.height(), static_cast<const TSurveyListView *>(parent())->Icons().Height() + 1));
        return size;
    }
};

// The sort direction arrows of the survey lists' headers.
QImage ArrowBitmap(bool up)
{
    QImage image(9, 5, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(96, 96, 96));
    const QPolygon triangle = up ? QPolygon({QPoint(4, 0), QPoint(8, 4), QPoint(0, 4)})
                                 : QPolygon({QPoint(0, 0), QPoint(8, 0), QPoint(4, 4)});
    painter.drawPolygon(triangle);
    return image;
}

struct ColumnDesign
{
    const char *caption;
    int width; // 0: the list's default
    Qt::Alignment alignment;
};

constexpr int kDefaultColumnWidth = 50;

const ColumnDesign kColumns[SURVEY_COL_COUNT] = {
    {"", 30, Qt::AlignLeft},
    {"SSID", 115, Qt::AlignLeft},
    {"Channel", 0, Qt::AlignHCenter},
    {"Signal", 60, Qt::AlignLeft},
    {"Encryption", 70, Qt::AlignHCenter},
    {"Authentication", 80, Qt::AlignHCenter},
    {"BSSID", 110, Qt::AlignLeft},
};

} // namespace

TSurveyItem::TSurveyItem(const SurveyEntry &entry) : Entry(entry)
{
}

TSurveyListView::TSurveyListView(QWidget *parent, IconSource icons)
    : TSortListView(parent), m_icons(std::move(icons))
{
    setItemDelegate(new TSurveyRowDelegate(this));
}

void TSurveyListView::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(viewport());
        PaintStripes(painter);
    }
    TSortListView::paintEvent(event);
    QPainter painter(viewport());
    PaintGridLines(painter);
}

void TSurveyListView::drawRow(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const
{
    PaintRow(*painter, option.rect, index);
}

// Stripes run from the first row position down to the bottom of the
// list: one row high from the topmost visible row on, or, without rows,
// one small picture plus one pixel high from just below the header.
TSurveyListView::Stripes TSurveyListView::StripeLayout() const
{
    Stripes out{2, Icons().Height() + 1, 0};
    if (topLevelItemCount() > 0) {
        const QModelIndex first = indexAt(QPoint(1, 1));
        const QModelIndex topIndex = first.isValid() ? first : model()->index(0, 0);
        const QRect rowRect = visualRect(topIndex);
        out = {rowRect.top(), qMax(1, rowRect.height()), topIndex.row()};
    }
    return out;
}

void TSurveyListView::PaintStripes(QPainter &painter) const
{
    const QRect area = viewport()->rect();
    const Stripes stripes = StripeLayout();
    int stripe = stripes.first;
    const QBrush saved = painter.brush();
    for (int y = stripes.top; y < area.bottom() + 1; y += stripes.height, ++stripe) {
        painter.fillRect(QRect(area.left(), y, area.width(), stripes.height),
                         (stripe % 2) ? kStripeOdd : kStripeEven);
    }
    painter.setBrush(saved);
}

// The last pixel row of every stripe (rows are drawn one pixel less
// high) and the last pixel column of every column, over the whole list.
void TSurveyListView::PaintGridLines(QPainter &painter) const
{
    const QRect area = viewport()->rect();
    const Stripes stripes = StripeLayout();
    painter.setPen(kGridLine);
    for (int y = stripes.top + stripes.height - 1; y <= area.bottom(); y += stripes.height)
        painter.drawLine(area.left(), y, area.right(), y);
    for (int column = 0; column < columnCount(); ++column) {
        if (header()->isSectionHidden(column))
            continue;
        const int x = header()->sectionViewportPosition(column) + header()->sectionSize(column) - 1;
        painter.drawLine(x, area.top(), x, area.bottom());
    }
}

void TSurveyListView::PaintRow(QPainter &painter, const QRect &optionRect, const QModelIndex &index) const
{
    const QTreeWidgetItem *item = itemFromIndex(index);
    if (!item)
        return;
    const QRect rowRect(0, optionRect.top(), viewport()->width(), optionRect.height());

    const QPen savedPen = painter.pen();
    const QBrush savedBrush = painter.brush();
    const QFont savedFont = painter.font();

    if (item->isSelected()) {
        painter.setPen(kSelectionPen);
        painter.setBrush(kSelectionFill);
        // Right edge one pixel inside the row.
        painter.drawRect(QRect(rowRect.left(), rowRect.top(), rowRect.width() - 2, rowRect.height() - 1));
    }
    const auto *row = dynamic_cast<const TSurveyItem *>(item);
    const QColor textColour = (row && row->Entry.Flag) ? QColor(Qt::blue) : QColor(Qt::black);
    painter.setFont(font());

    const TImageList &icons = Icons();
    for (int column = 0; column < columnCount(); ++column) {
        if (header()->isSectionHidden(column))
            continue;
        const QRect cell(header()->sectionViewportPosition(column) + 1, rowRect.top(),
                         header()->sectionSize(column), rowRect.height() - 1);
        const QString text = item->text(column);
        bool hasIcon = false;
        const int icon = item->data(column, SURVEY_ICON_ROLE).toInt(&hasIcon);
        hasIcon = hasIcon && icon >= 0;
        if (text.isEmpty() && !hasIcon)
            continue;
        QRect textCell = cell;
        if (hasIcon) {
            icons.Draw(painter, cell.left() + 1, cell.top(), icon);
            textCell.setLeft(cell.left() + icons.Width() + 1);
        }
        painter.setPen(textColour);
        SurveyView::SubItemTextOut(painter, text, textCell, ColumnAlignment(column),
                                   layoutDirection() == Qt::RightToLeft);
    }

    painter.setPen(savedPen);
    painter.setBrush(savedBrush);
    painter.setFont(savedFont);
}

Qt::Alignment TSurveyListView::ColumnAlignment(int column) const
{
    const Qt::Alignment align = Qt::Alignment(headerItem()->textAlignment(column)) & Qt::AlignHorizontal_Mask;
    return align ? align : Qt::AlignLeft;
}

namespace SurveyView {

int RowIcon(const SurveyEntry &entry)
{
    return (entry.Status != 0 ? 1 : 0) + (entry.Authentication != 0 ? 2 : 0);
}

int SignalIcon(int signal)
{
    // Integer division, as the device reports whole percents; a negative
    // reading counts as no signal.
    return 4 + qBound(0, signal / 20, 4);
}

void Setup(TSortListView *list)
{
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setAllColumnsShowFocus(true);
    list->setColumnCount(SURVEY_COL_COUNT);
    QTreeWidgetItem *head = list->headerItem();
    for (int column = 0; column < SURVEY_COL_COUNT; ++column) {
        const ColumnDesign &design = kColumns[column];
        head->setText(column, QLatin1String(design.caption));
        head->setTextAlignment(column, design.alignment | Qt::AlignVCenter);
        list->setColumnWidth(column, design.width ? design.width : kDefaultColumnWidth);
    }
    list->header()->setStretchLastSection(false);
    list->header()->setSectionsMovable(false);
    list->SetIncBMP(ArrowBitmap(true));
    list->SetDecBMP(ArrowBitmap(false));
    list->SetSortColunm(SURVEY_COL_SIGNAL);
    list->SetIncrease(false);
    list->SetSkipSort1(SURVEY_COL_ICON);
    list->SetCompare(
        [list](const QTreeWidgetItem *a, const QTreeWidgetItem *b) { return Compare(list, a, b); });
}

void Fill(TSortListView *list, const std::vector<SurveyEntry> &entries, QString (*authText)(int))
{
    QList<QTreeWidgetItem *> rows;
    rows.reserve(int(entries.size()));
    for (const SurveyEntry &entry : entries) {
        auto *row = new TSurveyItem(entry);
        row->setText(SURVEY_COL_ICON, QString());
        row->setData(SURVEY_COL_ICON, SURVEY_ICON_ROLE, RowIcon(entry));
        row->setText(SURVEY_COL_SSID, SsidText(entry.Ssid));
        row->setText(SURVEY_COL_CHANNEL, QString::number(entry.Channel));
        row->setText(SURVEY_COL_SIGNAL, QString::asprintf("%d%%", int(entry.Signal)));
        row->setData(SURVEY_COL_SIGNAL, SURVEY_ICON_ROLE, SignalIcon(entry.Signal));
        row->setText(SURVEY_COL_ENCRYPTION, SurveyEncryptionName(entry.Encryption));
        row->setText(SURVEY_COL_AUTHENTICATION, authText(entry.Authentication));
        row->setText(SURVEY_COL_BSSID,
                     FormatMac(entry.Bssid));
        for (int column = 0; column < SURVEY_COL_COUNT; ++column)
            row->setTextAlignment(column, kColumns[column].alignment | Qt::AlignVCenter);
        rows.push_back(row);
    }
    list->addTopLevelItems(rows);
    Sort(list);
}

void Sort(TSortListView *list)
{
    list->SortItems();
}

int Compare(const TSortListView *list, const QTreeWidgetItem *item1, const QTreeWidgetItem *item2)
{
    const int column = list->SortColunm();
    const auto *row1 = dynamic_cast<const TSurveyItem *>(item1);
    const auto *row2 = dynamic_cast<const TSurveyItem *>(item2);
    int result = 0;
    if (column <= 0) {
        result = Sign(item1->text(0).compare(item2->text(0), Qt::CaseInsensitive));
    } else if (row1 && row2 && column == SURVEY_COL_CHANNEL) {
        const auto c1 = uint32_t(row1->Entry.Channel);
        const auto c2 = uint32_t(row2->Entry.Channel);
        result = (c1 > c2) - (c1 < c2);
    } else if (row1 && row2 && column == SURVEY_COL_SIGNAL) {
        result = (row1->Entry.Signal > row2->Entry.Signal) - (row1->Entry.Signal < row2->Entry.Signal);
    } else if (row1 && row2 && column == SURVEY_COL_BSSID) {
        result =
            Sign(std::memcmp(row1->Entry.Bssid.data(), row2->Entry.Bssid.data(), row1->Entry.Bssid.size()));
    } else {
        result = Sign(item1->text(column).compare(item2->text(column), Qt::CaseInsensitive));
    }
    return list->Increase() ? result : -result;
}

const SurveyEntry *SelectedEntry(const TSortListView *list)
{
    const QList<QTreeWidgetItem *> selected = list->selectedItems();
    if (selected.isEmpty())
        return nullptr;
    const auto *row = dynamic_cast<const TSurveyItem *>(selected.first());
    return row ? &row->Entry : nullptr;
}

void SubItemTextOut(QPainter &painter, const QString &text, const QRect &cell, Qt::Alignment alignment,
                    bool rightToLeft)
{
    if (text.isEmpty())
        return;
    QRect area = cell.adjusted(5, 0, -5, 0);
    if (area.width() <= 0)
        return;
    Qt::Alignment align = alignment & Qt::AlignHorizontal_Mask;
    if (rightToLeft) {
        if (align & Qt::AlignLeft)
            align = Qt::AlignRight;
        else if (align & Qt::AlignRight)
            align = Qt::AlignLeft;
    }
    const QFontMetrics metrics(painter.font());
    const QString shown = metrics.elidedText(text, Qt::ElideRight, area.width(), Qt::TextExpandTabs);
    const int textHeight = metrics.height();
    area.setTop(cell.top() + (cell.height() - textHeight) / 2);
    area.setHeight(textHeight);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.drawText(area, int(align | Qt::AlignTop) | Qt::TextSingleLine | Qt::TextExpandTabs, shown);
}

} // namespace SurveyView
