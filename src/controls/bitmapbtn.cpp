#include "controls/bitmapbtn.h"

#include <QPainter>

#include "app/debug.h"
#include "controls/shaping.h"

TBitmapBtn::TBitmapBtn(QWidget *parent) : TColorBtn(parent)
{
}

TBitmapBtn::~TBitmapBtn() = default;

void TBitmapBtn::SetFaces(const QImage &faces)
{
    m_faces = faces.copy();
    DoShapeButton();
    update();
}

void TBitmapBtn::SetNumFaces(int count)
{
    if (count == m_numFaces)
        return;
    m_numFaces = count;
    DoShapeButton();
    update();
}

void TBitmapBtn::SetAutoShape(bool on)
{
    if (on == m_autoShape)
        return;
    m_autoShape = on;
    DoShapeButton();
    update();
}

void TBitmapBtn::SetTransColor(const QColor &colour)
{
    if (colour == m_transColor)
        return;
    m_transColor = colour;
    DoShapeButton();
    update();
}

void TBitmapBtn::SetTransTolerance(qint16 tolerance)
{
    if (tolerance == m_transTolerance)
        return;
    m_transTolerance = tolerance;
    DoShapeButton();
    update();
}

void TBitmapBtn::SetFocusRect(bool on)
{
    if (on == m_focusRect)
        return;
    m_focusRect = on;
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
    painter.drawImage(rect(), m_faces, QRect(QPoint(slice * size.width(), 0), size));
}

void TBitmapBtn::DoDrawButtonText(QPainter &painter, const TButtonDrawState &state)
{
    TButtonDrawState s = state;
    if (!m_focusRect)
        s.focused = false;
    TColorBtn::DoDrawButtonText(painter, s);
}

QString TBitmapBtn::DoShapeButton()
{
    const QSize size = SliceSize();
    if (!m_autoShape || size.isEmpty()) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        m_shape = QRegion();
        clearMask();
        return {};
    }
    setFixedSize(size);
    const ShapeResult shape =
        ShapeFromFace(m_faces.copy(QRect(QPoint(0, 0), size)), m_transColor, m_transTolerance);
    if (!shape.Ok()) {
        DebugPrint("TBitmapBtn::DoShapeButton() %s: %s", qPrintable(objectName()), qPrintable(shape.error));
        m_shape = QRegion();
        clearMask();
        return shape.error;
    }
    m_shape = shape.region;
    setMask(m_shape);
    return {};
}

QSize TBitmapBtn::sizeHint() const
{
    const QSize size = SliceSize();
    return size.isEmpty() ? TColorBtn::sizeHint() : size;
}
