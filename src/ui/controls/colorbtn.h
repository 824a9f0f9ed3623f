#pragma once
// TColorBtn: the owner-drawn push button at the root of the skinned-button
// family. It paints itself in three overridable passes (face, glyph, text)
// with a flat two-colour look, and counts a double click as a second click
// so that quick repeated presses are never lost. TTrifaceBtn and TBitmapBtn
// replace the face pass with bitmaps; the window shaping they share (cut to
// a face's opaque pixels) lives here as TFaceShaping and ShapeToFace.

#include <QColor>
#include <QPushButton>
#include <QRegion>
#include <QString>

#include "controls/imagelist.h"

class QImage;
class QPainter;

// What one paint is drawing: taken from the button's state at paint time.
struct TButtonDrawState
{
    bool selected = false; // pressed
    bool disabled = false;
    bool focused = false;
};

// The shaping settings of a button drawn from face bitmaps. A fresh button
// is rectangular, shows its focus rectangle and treats fuchsia as the
// transparent colour.
struct TFaceShaping
{
    bool autoShape = false;
    // Face pixels within colour distance transTolerance of transColor are
    // cut away.
    QColor transColor = QColor(0xFF, 0x00, 0xFF);
    qint16 transTolerance = 0;
    bool focusRect = true;
    // The outline last given to the window (empty when rectangular).
    QRegion region;
};

class TColorBtn : public QPushButton
{
    Q_OBJECT
public:
    explicit TColorBtn(QWidget *parent = nullptr);
    ~TColorBtn() override;

    // Pressed outline, shadow line, second text pass when disabled.
    QColor ColorLo() const { return m_colorLo; }
    void SetColorLo(const QColor &colour);
    // 3-D highlight, first (offset) text pass when disabled.
    QColor ColorHi() const { return m_colorHi; }
    void SetColorHi(const QColor &colour);
    // When on, a one-pixel frame is always drawn around the button.
    bool ButtonStyle() const { return m_buttonStyle; }
    void SetButtonStyle(bool on);
    // Optional glyph source (not owned; must outlive the button).
    const TImageList *Glyphs() const { return m_glyphs; }
    void SetGlyphs(const TImageList *glyphs);
    // Glyph to draw; negative means none.
    int GlyphIndex() const { return m_glyphIndex; }
    void SetGlyphIndex(int index);

    // The state the next paint will use.
    virtual TButtonDrawState CurrentDrawState() const;

    // True while the button holds a focus it did not get from a mouse
    // click (Tab, Backtab, a shortcut, the page's own focus move). Skinned
    // faces show only this focus, by corner marks.
    bool KeyboardFocus() const { return hasFocus() && !m_focusByMouse; }

protected:
    virtual void DoDrawButtonFace(QPainter &painter, const TButtonDrawState &state);
    virtual void DoDrawButtonGlyph(QPainter &painter, const TButtonDrawState &state);
    virtual void DoDrawButtonText(QPainter &painter, const TButtonDrawState &state);

    // True when a glyph will be drawn (Glyphs set, index valid).
    bool HasGlyph() const;
    // The caption rectangle the base text pass uses (glyph indent applied).
    QRect TextRect() const;
    // The window-frame colour used for outlines and focus marks.
    static QColor FrameColor();
    // The four corner focus marks, each two 7-pixel strokes meeting at a
    // corner of `area`. With a shaped window `shape` the marks move inward
    // until every corner lies on the face, so cut-away corners never hide
    // them.
    void DrawFocusMarks(QPainter &painter, const QRegion &shape) const;

    // Stores `value` in `field`; true when that changed it (the caller then
    // repaints, reshapes or whatever the setting asks for).
    template <typename T>
    static bool Change(T &field, const T &value)
    {
        if (field == value)
            return false;
        field = value;
        return true;
    }

    // For the bitmap-faced buttons: with shaping.autoShape on and a face,
    // fixes the size to the face and cuts the window to its opaque pixels;
    // otherwise frees the size and makes the window rectangular again.
    // Returns an empty text on success, else the failure text, which is also
    // logged after `who`; on failure the window stays rectangular.
    QString ShapeToFace(TFaceShaping &shaping, const QImage &face, const char *who);

    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    // Return and Enter press the focused button, whatever window holds it.
    void keyPressEvent(QKeyEvent *event) override;

private:
    QColor m_colorLo;
    QColor m_colorHi;
    bool m_buttonStyle = false;
    const TImageList *m_glyphs = nullptr;
    int m_glyphIndex = 0;
    bool m_focusByMouse = false;
};
