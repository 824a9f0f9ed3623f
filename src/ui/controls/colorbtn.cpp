#include "controls/colorbtn.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "app/debug.h"
#include "controls/shaping.h"

TColorBtn::TColorBtn(QWidget *parent) : QPushButton(parent)
{
    m_colorLo = palette().color(QPalette::Dark);
    m_colorHi = palette().color(QPalette::Light);
    // Hover looks depend on mouse moves without a pressed button.
    setMouseTracking(true);
    // Return is handled by the button itself (below); a dialog must not
    // make the last focused button its default and press it from an edit.
    setAutoDefault(false);
}

TColorBtn::~TColorBtn() = default;

void TColorBtn::SetColorLo(const QColor &colour)
{
    if (Change(m_colorLo, colour))
        update();
}

void TColorBtn::SetColorHi(const QColor &colour)
{
    if (Change(m_colorHi, colour))
        update();
}

void TColorBtn::SetButtonStyle(bool on)
{
    if (Change(m_buttonStyle, on))
        update();
}

void TColorBtn::SetGlyphs(const TImageList *glyphs)
{
    if (Change(m_glyphs, glyphs))
        update();
}

void TColorBtn::SetGlyphIndex(int index)
{
    if (Change(m_glyphIndex, index))
        update();
}

TButtonDrawState TColorBtn::CurrentDrawState() const
{
    TButtonDrawState state;
    state.selected = isDown();
    state.disabled = !isEnabled();
    state.focused = hasFocus();
    return state;
}

QColor TColorBtn::FrameColor()
{
    return QColor(Qt::black);
}

bool TColorBtn::HasGlyph() const
{
    return m_glyphs && m_glyphIndex >= 0 && m_glyphIndex < m_glyphs->Count();
}

QRect TColorBtn::TextRect() const
{
    QRect r(0, 0, width(), height());
    if (HasGlyph())
        r.setLeft(r.left() + m_glyphs->Width() + 6);
    return r;
}

QString TColorBtn::ShapeToFace(TFaceShaping &shaping, const QImage &face, const char *who)
{
    shaping.region = QRegion();
    if (!shaping.autoShape || face.isNull()) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        clearMask();
        return {};
    }
    setFixedSize(face.size());
    const ShapeResult shape = ShapeFromFace(face, shaping.transColor, shaping.transTolerance);
    if (!shape.Ok()) {
        DebugPrint("%s %s: %s", who, qPrintable(objectName()), qPrintable(shape.error));
        clearMask();
        return shape.error;
    }
    shaping.region = shape.region;
    setMask(shaping.region);
    return {};
}

void TColorBtn::DoDrawButtonFace(QPainter &painter, const TButtonDrawState &state)
{
    // Rectangles here are in exclusive-edge terms: right = x + width.
    int left = 0, top = 0, right = width(), bottom = height();
    const QColor face = palette().color(QPalette::Button);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (m_buttonStyle || state.focused) {
        painter.setPen(FrameColor());
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(left, top, right - left - 1, bottom - top - 1);
        ++left;
        ++top;
        --right;
        --bottom;
    }
    if (right <= left || bottom <= top)
        return;
    if (state.selected) {
        painter.setPen(m_colorLo);
        painter.setBrush(face);
        painter.drawRect(left, top, right - left - 1, bottom - top - 1);
        return;
    }
    painter.fillRect(QRect(left, top, right - left, bottom - top), face);
    // One-pixel 3-D frame: light top-left, frame colour bottom-right.
    painter.setPen(m_colorHi);
    painter.drawLine(left, bottom - 1, left, top);
    painter.drawLine(left, top, right - 1, top);
    painter.setPen(FrameColor());
    painter.drawLine(right - 1, top, right - 1, bottom - 1);
    painter.drawLine(left, bottom - 1, right - 1, bottom - 1);
    // Inner shadow line just inside the bottom-right edges.
    painter.setPen(m_colorLo);
    painter.drawLine(left + 1, bottom - 2, right - 2, bottom - 2);
    painter.drawLine(right - 2, bottom - 2, right - 2, top + 1);
}

namespace {

QPixmap Tinted(const QPixmap &glyph, const QColor &colour)
{
    QPixmap out(glyph.size());
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.drawPixmap(0, 0, glyph);
    p.setCompositionMode(QPainter::CompositionMode_SourceIn);
    p.fillRect(out.rect(), colour);
    return out;
}

} // namespace

void TColorBtn::DoDrawButtonGlyph(QPainter &painter, const TButtonDrawState &state)
{
    if (!HasGlyph())
        return;
    const QPixmap glyph = m_glyphs->Image(m_glyphIndex);
    const int captionWidth = text().isEmpty() ? 0 : fontMetrics().horizontalAdvance(text());
    int x = static_cast<int>(std::lround((width() - (captionWidth + 2) - glyph.width()) * 0.5));
    int y = static_cast<int>(std::lround((height() - glyph.height() + 2) * 0.5));
    if (state.selected) {
        ++x;
        ++y;
    }
    if (state.disabled) {
        painter.drawPixmap(x + 1, y + 1, Tinted(glyph, m_colorHi));
        painter.drawPixmap(x, y, Tinted(glyph, m_colorLo));
        return;
    }
    painter.drawPixmap(x, y, glyph);
}

void TColorBtn::DoDrawButtonText(QPainter &painter, const TButtonDrawState &state)
{
    if (!text().isEmpty()) {
        QRect r = TextRect();
        if (state.selected)
            r.translate(1, 1);
        const int flags = Qt::AlignCenter | Qt::TextSingleLine;
        painter.setFont(font());
        if (state.disabled) {
            painter.setPen(m_colorHi);
            painter.drawText(r.translated(1, 1), flags, text());
            painter.setPen(m_colorLo);
            painter.drawText(r, flags, text());
        } else {
            painter.setPen(palette().color(QPalette::ButtonText));
            painter.drawText(r, flags, text());
        }
    }
    if (state.focused) {
        QPen dotted(FrameColor(), 1, Qt::DotLine);
        painter.setPen(dotted);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(4, 4, width() - 8, height() - 8).adjusted(0, 0, -1, -1));
    }
}

void TColorBtn::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const TButtonDrawState state = CurrentDrawState();
    // Each pass gets the painter as the previous one left it; save/restore
    // keeps a pass's pen or clip from leaking into the next.
    painter.save();
    DoDrawButtonFace(painter, state);
    painter.restore();
    painter.save();
    DoDrawButtonGlyph(painter, state);
    painter.restore();
    painter.save();
    DoDrawButtonText(painter, state);
    painter.restore();
}

void TColorBtn::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a quick pair is an ordinary press, so it ends in
    // an ordinary click. Qt delivers that press on its own before the
    // double-click event: then the button is down already and the event adds
    // no second press.
    if (isDown()) {
        event->accept();
        return;
    }
    mousePressEvent(event);
}

void TColorBtn::DrawFocusMarks(QPainter &painter, const QRegion &shape) const
{
    int inset = 0;
    if (!shape.isEmpty()) {
        const int limit = qMin(width(), height()) / 3;
        auto onFace = [&shape, this](int d) {
            const int r = width() - 1 - d, b = height() - 1 - d;
            return shape.contains(QPoint(d, d)) && shape.contains(QPoint(r, d)) &&
                   shape.contains(QPoint(d, b)) && shape.contains(QPoint(r, b));
        };
        while (inset < limit && !onFace(inset))
            ++inset;
    }
    const int l = inset, t = inset, r = width() - inset, b = height() - inset;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(FrameColor());
    painter.drawPolyline(QPolygon{QPoint(l, t + 6), QPoint(l, t), QPoint(l + 6, t)});
    painter.drawPolyline(QPolygon{QPoint(r - 7, t), QPoint(r - 1, t), QPoint(r - 1, t + 6)});
    painter.drawPolyline(QPolygon{QPoint(l, b - 7), QPoint(l, b - 1), QPoint(l + 6, b - 1)});
    painter.drawPolyline(QPolygon{QPoint(r - 7, b - 1), QPoint(r - 1, b - 1), QPoint(r - 1, b - 7)});
    painter.restore();
}

void TColorBtn::focusInEvent(QFocusEvent *event)
{
    // A window that comes back to the front, or a closed pop-up, returns
    // the focus the button had: its origin stays what it was.
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
        m_focusByMouse = reason == Qt::MouseFocusReason;
    QPushButton::focusInEvent(event);
    update();
}

void TColorBtn::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (isEnabled())
            click();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void TColorBtn::changeEvent(QEvent *event)
{
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::EnabledChange)
        update();
}
