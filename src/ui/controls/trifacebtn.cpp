#include "controls/trifacebtn.h"

#include <QMouseEvent>
#include <QPainter>

#include "controls/shaping.h"

TTrifaceBtn::TTrifaceBtn(QWidget *parent) : TColorBtn(parent)
{
}

TTrifaceBtn::~TTrifaceBtn() = default;

void TTrifaceBtn::SetFace(const QImage &face)
{
    m_face = face.copy();
    Reshape();
}

void TTrifaceBtn::SetFaceOver(const QImage &face)
{
    m_faceOver = face.copy();
    update();
}

void TTrifaceBtn::SetFaceDown(const QImage &face)
{
    m_faceDown = face.copy();
    update();
}

void TTrifaceBtn::SetFaceDisable(const QImage &face)
{
    m_faceDisable = face.copy();
    update();
}

void TTrifaceBtn::SetAutoShape(bool on)
{
    if (on && m_face.isNull())
        on = false;
    if (!Change(m_shaping.autoShape, on))
        return;
    if (on)
        m_shaping.focusRect = false;
    Reshape();
}

void TTrifaceBtn::SetTransColor(const QColor &colour)
{
    if (Change(m_shaping.transColor, colour))
        Reshape();
}

void TTrifaceBtn::SetTransTolerance(qint16 tolerance)
{
    if (Change(m_shaping.transTolerance, tolerance))
        Reshape();
}

void TTrifaceBtn::SetFocusRect(bool on)
{
    if (!Change(m_shaping.focusRect, on))
        return;
    if (on && m_shaping.autoShape) {
        m_shaping.autoShape = false;
        DoShapeButton();
    }
    DoRedrawButton();
}

void TTrifaceBtn::Reshape()
{
    DoShapeButton();
    DoRedrawButton();
}

void TTrifaceBtn::SetShiftOnOver(bool on)
{
    if (on == m_shiftOnOver)
        return;
    m_shiftOnOver = on;
    update();
}

TTrifaceBtn::FaceChoice TTrifaceBtn::ChooseFace(const TButtonDrawState &state) const
{
    FaceChoice choice;
    if (state.disabled || !isEnabled()) {
        choice = FaceChoice::FaceDisable;
    } else if (state.selected) {
        choice = FaceChoice::FaceDown;
    } else if (m_mouseInside) {
        if (m_shiftOnOver)
            return m_faceOver.isNull() ? (m_face.isNull() ? FaceChoice::Base : FaceChoice::ShiftedFace)
                                       : FaceChoice::ShiftedOver;
        choice = FaceChoice::FaceOver;
    } else {
        choice = FaceChoice::Face;
    }
    // An empty state face shows the normal one; no normal face either
    // means the flat look.
    if (FaceImage(choice).isNull())
        choice = m_face.isNull() ? FaceChoice::Base : FaceChoice::Face;
    return choice;
}

const QImage &TTrifaceBtn::FaceImage(FaceChoice choice) const
{
    static const QImage none;
    switch (choice) {
    case FaceChoice::Face:
    case FaceChoice::ShiftedFace:
        return m_face;
    case FaceChoice::FaceOver:
    case FaceChoice::ShiftedOver:
        return m_faceOver;
    case FaceChoice::FaceDown:
        return m_faceDown;
    case FaceChoice::FaceDisable:
        return m_faceDisable;
    case FaceChoice::Base:
        break;
    }
    return none;
}

void TTrifaceBtn::DoDrawButtonFace(QPainter &painter, const TButtonDrawState &state)
{
    const FaceChoice choice = ChooseFace(state);
    if (choice == FaceChoice::Base) {
        TColorBtn::DoDrawButtonFace(painter, state);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QImage &face = FaceImage(choice);
    const QImage drawn =
        m_shaping.autoShape ? KeyedFace(face, m_shaping.transColor, m_shaping.transTolerance) : face;
    if (choice == FaceChoice::ShiftedOver || choice == FaceChoice::ShiftedFace)
        DrawShiftFace(painter, drawn);
    else
        painter.drawImage(rect(), drawn);

    // FocusRect marks every focus; a shaped face still marks the focus a
    // keyboard user moved there, inside its outline.
    if (state.focused && (m_shaping.focusRect || KeyboardFocus()))
        DrawFocusMarks(painter, m_shaping.autoShape ? m_shaping.region : QRegion());
}

void TTrifaceBtn::DrawShiftFace(QPainter &painter, const QImage &face)
{
    if (m_shaping.autoShape && !m_shaping.region.isEmpty()) {
        // Outside the outline the unshifted face stays; inside it the face
        // moves one pixel up and left.
        painter.drawImage(rect(), face);
        painter.save();
        painter.setClipRegion(m_shaping.region);
        painter.drawImage(QRect(-1, -1, width(), height()), face);
        painter.restore();
        return;
    }
    painter.drawImage(QRect(-1, -1, width(), height()), face);
}

void TTrifaceBtn::DoDrawButtonText(QPainter &painter, const TButtonDrawState &state)
{
    TButtonDrawState s = state;
    // A face shows focus by its corner marks only.
    if (!m_face.isNull())
        s.focused = false;
    if (m_mouseInside && m_shiftOnOver && isEnabled() && !s.disabled && !s.selected) {
        if (text().isEmpty())
            return;
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::ButtonText));
        painter.drawText(TextRect().translated(-1, -1), Qt::AlignCenter | Qt::TextSingleLine, text());
        return;
    }
    TColorBtn::DoDrawButtonText(painter, s);
}

QString TTrifaceBtn::DoShapeButton()
{
    return ShapeToFace(m_shaping, m_face, "TTrifaceBtn::DoShapeButton()");
}

QSize TTrifaceBtn::sizeHint() const
{
    if (!m_face.isNull())
        return m_face.size();
    return TColorBtn::sizeHint();
}

void TTrifaceBtn::DoRedrawButton()
{
    if (QWidget *parent = parentWidget())
        parent->update(geometry());
    update();
}

void TTrifaceBtn::mouseMoveEvent(QMouseEvent *event)
{
    TColorBtn::mouseMoveEvent(event);
    m_leaveTracking = true;
    const bool inside = rect().contains(event->position().toPoint());
    if (inside != m_mouseInside) {
        m_mouseInside = inside;
        DoRedrawButton();
    }
}

void TTrifaceBtn::leaveEvent(QEvent *event)
{
    TColorBtn::leaveEvent(event);
    m_leaveTracking = false;
    if (m_mouseInside) {
        m_mouseInside = false;
        DoRedrawButton();
    }
}
