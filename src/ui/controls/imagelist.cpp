#include "controls/imagelist.h"

#include <QImage>
#include <QPainter>

TImageList TImageList::FromStrip(const QImage &strip, int width)
{
    TImageList list(width, strip.height());
    if (width <= 0 || strip.isNull())
        return list;
    for (int x = 0; x + width <= strip.width(); x += width)
        list.Add(QPixmap::fromImage(strip.copy(x, 0, width, strip.height())));
    return list;
}

int TImageList::Add(const QPixmap &picture)
{
    m_images.push_back(picture);
    return Count() - 1;
}

QPixmap TImageList::Image(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    return m_images[index];
}

void TImageList::Draw(QPainter &painter, int x, int y, int index) const
{
    if (index < 0 || index >= Count())
        return;
    painter.drawPixmap(x, y, m_images[index]);
}
