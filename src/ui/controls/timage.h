#pragma once
// A plain picture control (the "image" kind of the settings mechanisms):
// paints its picture at its top-left corner, unscaled. It is neither a label
// nor a button, so texts from the settings file never touch it, while
// positions and visibility do.

#include <QPixmap>
#include <QWidget>
#include <memory>

class SkinSource;

class TImage : public QWidget
{
    Q_OBJECT
public:
    explicit TImage(QWidget *parent = nullptr);

    void setPicture(const QPixmap &picture);
    // A skin picture, decoded when the control is first drawn (or asked for
    // its picture): windows made at start and shown later cost nothing
    // before.
    void setPicture(std::shared_ptr<const SkinSource> source);
    const QPixmap &picture() const;

    // Stretch the picture over the whole control instead of drawing it 1:1.
    void setStretch(bool stretch);

signals:
    // Mouse move with the left button held (windows use it to start a drag).
    void leftDragged();
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    mutable QPixmap m_picture;
    mutable std::shared_ptr<const SkinSource> m_source; // not drawn yet
    bool m_stretch = false;
};
