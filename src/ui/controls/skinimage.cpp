#include "controls/skinimage.h"

#include <QEnterEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

TSkinImage::TSkinImage(QWidget *parent) : QWidget(parent)
{
    // Tab only: a click does not take the focus, so the picture under a
    // mouse that has moved on does not stay lit.
    setFocusPolicy(Qt::TabFocus);
}

TSkinImage::~TSkinImage() = default;

void TSkinImage::SetImageList(const TImageList *list)
{
    m_imageList = list;
    SetImageIndex(0);
}

QPixmap TSkinImage::Image(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_images.size()))
        return {};
    return m_images[static_cast<size_t>(index)];
}

void TSkinImage::SetImage(int index, const QPixmap &picture)
{
    if (index < 0 || index >= static_cast<int>(m_images.size()))
        return;
    m_images[static_cast<size_t>(index)] = picture;
    if (index == 0 && m_source == gsrcImage && !picture.isNull())
        SetImageIndex(0);
    else if (index == m_imageIndex && m_source == gsrcImage && !picture.isNull())
        SetImageIndex(index);
}

void TSkinImage::SetImageIndex(int index)
{
    if (m_source == gsrcImage) {
        if (index < 0 || index >= static_cast<int>(m_images.size()) ||
            m_images[static_cast<size_t>(index)].isNull())
            return;
        m_imageIndex = index;
        m_shown = m_images[static_cast<size_t>(index)];
    } else {
        if (!m_imageList)
            return;
        m_imageIndex = index;
        m_shown = m_imageList->Image(index);
    }
    update();
}

QSize TSkinImage::sizeHint() const
{
    return m_shown.isNull() ? QSize(16, 16) : m_shown.size();
}

void TSkinImage::paintEvent(QPaintEvent *)
{
    if (m_shown.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_shown);
}

void TSkinImage::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    m_mouseInside = true;
    if (isEnabled()) {
        if (m_mouseOverEffect)
            SetImageIndex(1);
        emit MouseEnter();
    }
}

void TSkinImage::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    m_mouseInside = false;
    if (isEnabled()) {
        if (m_mouseOverEffect && !Highlighted())
            SetImageIndex(0);
        emit MouseLeave();
    }
}

void TSkinImage::mousePressEvent(QMouseEvent *event)
{
    QWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    if (m_style == gsPushButton) {
        SetImageIndex(1);
    } else if (m_style == gsTabButton) {
        SetImageIndex(1);
        QWidget *parent = parentWidget();
        QWidget *group = parent ? parent->parentWidget() : nullptr;
        if (group) {
            const auto siblings = group->findChildren<TSkinImage *>();
            for (TSkinImage *other : siblings) {
                if (other != this && other->m_style == gsTabButton && other->m_tag == m_tag)
                    other->SetImageIndex(0);
            }
        }
    }
}

void TSkinImage::mouseReleaseEvent(QMouseEvent *event)
{
    QWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    if (m_style == gsPushButton)
        SetImageIndex(0);
    if (rect().contains(event->position().toPoint()))
        emit clicked();
}

void TSkinImage::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::EnabledChange)
        return;
    if (isEnabled())
        SetImageIndex(m_mouseOverEffect && Highlighted() ? 1 : 0);
    else
        SetImageIndex(3);
    update();
}

void TSkinImage::keyPressEvent(QKeyEvent *event)
{
    const bool press =
        event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space;
    if (!press || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    emit clicked();
}

void TSkinImage::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    if (isEnabled() && m_mouseOverEffect)
        SetImageIndex(1);
}

void TSkinImage::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    if (isEnabled() && m_mouseOverEffect && !Highlighted())
        SetImageIndex(0);
}
