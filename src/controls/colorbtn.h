#pragma once
// TColorBtn: the owner-drawn push button at the root of the skinned-button
// family. It paints itself in three overridable passes (face, glyph, text)
// with a flat two-colour look, and counts a double click as a second click
// so that quick repeated presses are never lost. TTrifaceBtn and TBitmapBtn
// replace the face pass with bitmaps.

#include <QColor>
#include <QPushButton>

#include "controls/imagelist.h"

class QPainter;

// What one paint is drawing: taken from the button's state at paint time.
struct TButtonDrawState
{
    bool selected = false; // pressed
    bool disabled = false;
    bool focused = false;
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

    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QColor m_colorLo;
    QColor m_colorHi;
    bool m_buttonStyle = false;
    const TImageList *m_glyphs = nullptr;
    int m_glyphIndex = 0;
};
