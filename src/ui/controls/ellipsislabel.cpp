#include "controls/ellipsislabel.h"

#include <QPainter>

TEllipsisLabel::TEllipsisLabel(QWidget *parent) : QLabel(parent)
{
}

void TEllipsisLabel::SetEllipsisEnd(bool on)
{
    if (on == m_end)
        return;
    m_end = on;
    update();
}

void TEllipsisLabel::SetEllipsisWord(bool on)
{
    if (on == m_word)
        return;
    m_word = on;
    update();
}

void TEllipsisLabel::SetEllipsisPath(bool on)
{
    if (on == m_path)
        return;
    m_path = on;
    update();
}

QString TEllipsisLabel::ShownText(int width) const
{
    const QFontMetrics fm(font());
    const QString full = text();
    if (fm.horizontalAdvance(full) <= width)
        return full;
    if (m_path)
        return fm.elidedText(full, Qt::ElideMiddle, width);
    if (m_word) {
        const QString dots = QStringLiteral("...");
        QString cut = full;
        while (!cut.isEmpty()) {
            const qsizetype space = cut.lastIndexOf(QLatin1Char(' '));
            if (space <= 0)
                break;
            cut = cut.left(space).trimmed();
            if (fm.horizontalAdvance(cut + dots) <= width)
                return cut + dots;
        }
        // Not even the first word fits: fall back to cutting inside it.
        return fm.elidedText(full, Qt::ElideRight, width);
    }
    if (m_end)
        return fm.elidedText(full, Qt::ElideRight, width);
    return full;
}

void TEllipsisLabel::paintEvent(QPaintEvent *event)
{
    if (!m_end && !m_word && !m_path) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    const QRect r = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(r, int(alignment()) | Qt::TextSingleLine, ShownText(r.width()));
}
