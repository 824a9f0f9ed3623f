#include "controls/timage.h"

#include "skin/formres.h"

#include <QMouseEvent>
#include <QPainter>

TImage::TImage(QWidget *parent) : QWidget(parent)
{
}

void TImage::setPicture(const QPixmap &picture)
{
    m_source.reset();
    m_picture = picture;
    update();
}

void TImage::setPicture(std::shared_ptr<const SkinSource> source)
{
    m_picture = QPixmap();
    m_source = std::move(source);
    update();
}

const QPixmap &TImage::picture() const
{
    if (m_source) {
        m_picture = m_source->Pixmap();
        m_source.reset();
    }
    return m_picture;
}

void TImage::setStretch(bool stretch)
{
    m_stretch = stretch;
    update();
}

void TImage::paintEvent(QPaintEvent *)
{
    const QPixmap &shown = picture();
    if (shown.isNull())
        return;
    QPainter painter(this);
    if (m_stretch)
        painter.drawPixmap(rect(), shown);
    else
        painter.drawPixmap(0, 0, shown);
}

void TImage::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        emit leftDragged();
    QWidget::mouseMoveEvent(event);
}

void TImage::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}
