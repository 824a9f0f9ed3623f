#pragma once
// TBitmapBtn: a skinned button that takes all its faces from one bitmap cut
// into NumFaces equal slices side by side: slice 0 normal; with two faces
// slice 1 pressed (disabled uses slice 0); with three or more, slice 1
// pressed and slice 2 disabled. With AutoShape it is one slice in size and
// its window is cut to the opaque pixels of the first slice.

#include <QImage>
#include <QRegion>
#include <QString>

#include "controls/colorbtn.h"

class TBitmapBtn : public TColorBtn
{
    Q_OBJECT
public:
    explicit TBitmapBtn(QWidget *parent = nullptr);
    ~TBitmapBtn() override;

    const QImage &Faces() const { return m_faces; }
    void SetFaces(const QImage &faces);
    int NumFaces() const { return m_numFaces; }
    void SetNumFaces(int count);
    bool AutoShape() const { return m_shaping.autoShape; }
    void SetAutoShape(bool on);
    QColor TransColor() const { return m_shaping.transColor; }
    void SetTransColor(const QColor &colour);
    qint16 TransTolerance() const { return m_shaping.transTolerance; }
    void SetTransTolerance(qint16 tolerance);
    bool FocusRect() const { return m_shaping.focusRect; }
    void SetFocusRect(bool on);

    // Index of the slice drawn in `state`; -1 when the base look is drawn
    // (no bitmap, or NumFaces below 1).
    int SliceIndex(const TButtonDrawState &state) const;
    // Width and height of one slice (empty without a bitmap).
    QSize SliceSize() const;

    // As TTrifaceBtn::DoShapeButton, from the first slice.
    QString DoShapeButton();
    QRegion ShapeRegion() const { return m_shaping.region; }

    QSize sizeHint() const override;

protected:
    void DoDrawButtonFace(QPainter &painter, const TButtonDrawState &state) override;
    void DoDrawButtonText(QPainter &painter, const TButtonDrawState &state) override;

private:
    // Every change of the faces or the shaping reshapes the window, then
    // repaints the button alone.
    void Reshape();

    QImage m_faces;
    int m_numFaces = 2;
    TFaceShaping m_shaping;
};
