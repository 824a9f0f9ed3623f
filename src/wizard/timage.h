#pragma once
// A plain picture control (the "image" kind of the settings mechanisms):
// paints its picture at its top-left corner, unscaled. It is neither a label
// nor a button, so texts from the settings file never touch it, while
// positions and visibility do.

#include <QPixmap>
#include <QWidget>

class TImage : public QWidget
{
    Q_OBJECT
public:
    explicit TImage(QWidget *parent = nullptr);

    void setPicture(const QPixmap &picture);
    const QPixmap &picture() const { return m_picture; }

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
    QPixmap m_picture;
    bool m_stretch = false;
};
