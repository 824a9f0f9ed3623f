#include "controls/paintpanel.h"

#include <QPainter>

TPaintPanel::TPaintPanel(QWidget *parent) : QFrame(parent)
{
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
}

void TPaintPanel::SetCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    update();
}

void TPaintPanel::SetOnPaint(PaintFn handler)
{
    m_onPaint = std::move(handler);
    update();
}

void TPaintPanel::paintEvent(QPaintEvent *event)
{
    if (m_onPaint) {
        QPainter painter(this);
        m_onPaint(this, painter);
        return;
    }
    QFrame::paintEvent(event);
    if (m_caption.isEmpty())
        return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(contentsRect(), Qt::AlignCenter | Qt::TextSingleLine, m_caption);
}
