#pragma once
// TTrifaceBtn: the skinned push button of every window and page. Its look
// comes from face bitmaps (normal, under the mouse, pressed, disabled); an
// empty face falls back to the normal one, and with no normal face either
// the flat TColorBtn look is drawn. With AutoShape on, the button takes the
// size of its normal face and its window is cut to the face's opaque pixels
// (TransColor, fuchsia by default, within TransTolerance counts as
// transparent), so rounded buttons sit cleanly on the skin background.

#include <QImage>
#include <QString>

#include "controls/colorbtn.h"

class TTrifaceBtn : public TColorBtn
{
    Q_OBJECT
public:
    // Which picture a paint uses.
    enum class FaceChoice {
        Base,        // no face at all: the TColorBtn look
        Face,        // the normal face
        FaceOver,    // the hover face
        FaceDown,    // the pressed face
        FaceDisable, // the disabled face
        ShiftedOver, // hover with ShiftOnOver: FaceOver moved up-left
        ShiftedFace, // hover with ShiftOnOver and no FaceOver: Face moved up-left
    };

    explicit TTrifaceBtn(QWidget *parent = nullptr);
    ~TTrifaceBtn() override;

    // Faces are copied on assignment.
    const QImage &Face() const { return m_face; }
    void SetFace(const QImage &face);
    const QImage &FaceOver() const { return m_faceOver; }
    void SetFaceOver(const QImage &face);
    const QImage &FaceDown() const { return m_faceDown; }
    void SetFaceDown(const QImage &face);
    const QImage &FaceDisable() const { return m_faceDisable; }
    void SetFaceDisable(const QImage &face);

    // Cannot be on while Face is empty (stays off); turning it on turns
    // FocusRect off.
    bool AutoShape() const { return m_shaping.autoShape; }
    void SetAutoShape(bool on);
    QColor TransColor() const { return m_shaping.transColor; }
    void SetTransColor(const QColor &colour);
    qint16 TransTolerance() const { return m_shaping.transTolerance; }
    void SetTransTolerance(qint16 tolerance);
    // Turning it on turns AutoShape off.
    bool FocusRect() const { return m_shaping.focusRect; }
    void SetFocusRect(bool on);
    bool ShiftOnOver() const { return m_shiftOnOver; }
    void SetShiftOnOver(bool on);

    bool MouseInside() const { return m_mouseInside; }

    // The picture a paint in `state` uses (what DoDrawButtonFace draws).
    FaceChoice ChooseFace(const TButtonDrawState &state) const;
    // The image behind a choice after the fallbacks (empty for Base).
    const QImage &FaceImage(FaceChoice choice) const;

    // Recomputes the window outline from Face. Returns an empty text on
    // success (also when shaping is off), else the failure text, which is
    // also written to the log. On failure the button stays rectangular.
    QString DoShapeButton();
    // The outline last given to the window (empty when rectangular).
    QRegion ShapeRegion() const { return m_shaping.region; }

    QSize sizeHint() const override;

protected:
    void DoDrawButtonFace(QPainter &painter, const TButtonDrawState &state) override;
    void DoDrawButtonText(QPainter &painter, const TButtonDrawState &state) override;
    void DrawShiftFace(QPainter &painter, const QImage &face);
    // Repaints the button and the parent behind it (a shaped button shows
    // the parent's skin through its cut-away corners).
    void DoRedrawButton();

    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    // A change of Face or of the shaping reshapes the window, then repaints
    // the button and the parent behind it.
    void Reshape();

    QImage m_face;
    QImage m_faceOver;
    QImage m_faceDown;
    QImage m_faceDisable;
    TFaceShaping m_shaping;
    bool m_shiftOnOver = false;
    bool m_mouseInside = false;
    bool m_leaveTracking = false;
};
