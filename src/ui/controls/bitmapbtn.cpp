#include "controls/bitmapbtn.h"

#include <QPainter>

#include "controls/shaping.h"

TBitmapBtn::TBitmapBtn(QWidget *parent) : TColorBtn(parent)
{
}

TBitmapBtn::~TBitmapBtn() = default;

void TBitmapBtn::SetFaces(const QImage &faces)
{
    m_faces = faces.copy();
    Reshape();
}

void TBitmapBtn::SetNumFaces(int count)
{
    if (Change(m_numFaces, count))
        Reshape();
}

void TBitmapBtn::SetAutoShape(bool on)
{
    if (Change(m_shaping.autoShape, on))
        Reshape();
}

void TBitmapBtn::SetTransColor(const QColor &colour)
{
    if (Change(m_shaping.transColor, colour))
        Reshape();
}

void TBitmapBtn::SetTransTolerance(qint16 tolerance)
{
    if (Change(m_shaping.transTolerance, tolerance))
        Reshape();
}

void TBitmapBtn::SetFocusRect(bool on)
{
    if (Change(m_shaping.focusRect, on))
        update();
}

void TBitmapBtn::Reshape()
{
    DoShapeButton();
    update();
}

QSize TBitmapBtn::SliceSize() const
{
    if (m_faces.isNull() || m_numFaces < 1)
        return {};
    return QSize(m_faces.width() / m_numFaces, m_faces.height());
}

int TBitmapBtn::SliceIndex(const TButtonDrawState &state) const
{
    if (m_faces.isNull() || m_numFaces < 1)
        return -1;
    const bool disabled = state.disabled || !isEnabled();
    if (m_numFaces == 1)
        return 0;
    if (m_numFaces == 2)
        return (state.selected && !disabled) ? 1 : 0;
    if (disabled)
        return 2;
    return state.selected ? 1 : 0;
}

void TBitmapBtn::DoDrawButtonFace(QPainter &painter, const TButtonDrawState &state)
{
    const int slice = SliceIndex(state);
    const QSize size = SliceSize();
    if (slice < 0 || size.isEmpty()) {
        TColorBtn::DoDrawButtonFace(painter, state);
        return;
    }
    const QImage faces =
        m_shaping.autoShape ? KeyedFace(m_faces, m_shaping.transColor, m_shaping.transTolerance) : m_faces;
    painter.drawImage(rect(), faces, QRect(QPoint(slice * size.width(), 0), size));
    // A face has no dotted rectangle when FocusRect is off; a keyboard
    // focus is marked at its corners all the same.
    if (state.focused && !m_shaping.focusRect && KeyboardFocus())
        DrawFocusMarks(painter, m_shaping.autoShape ? m_shaping.region : QRegion());
}

void TBitmapBtn::DoDrawButtonText(QPainter &painter, const TButtonDrawState &state)
{
    TButtonDrawState s = state;
    if (!m_shaping.focusRect)
        s.focused = false;
    TColorBtn::DoDrawButtonText(painter, s);
}

QString TBitmapBtn::DoShapeButton()
{
    const QSize size = SliceSize();
    // Only a shaped button needs its first slice cut out.
    const QImage first =
        m_shaping.autoShape && !size.isEmpty() ? m_faces.copy(QRect(QPoint(0, 0), size)) : QImage();
    return ShapeToFace(m_shaping, first, "TBitmapBtn::DoShapeButton()");
}

QSize TBitmapBtn::sizeHint() const
{
    const QSize size = SliceSize();
    return size.isEmpty() ? TColorBtn::sizeHint() : size;
}
