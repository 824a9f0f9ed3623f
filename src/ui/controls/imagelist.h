#pragma once
// TImageList: a row of equally sized small pictures addressed by index (the
// list view's row icons, button glyphs, skin image buttons). A value type:
// copying a list copies its pictures.

#include <QPixmap>
#include <QVector>

class QPainter;

class TImageList
{
public:
    TImageList() = default;
    TImageList(int width, int height) : m_width(width), m_height(height) {}

    // Cuts a horizontal strip into width-wide pictures, left to right; a
    // trailing part narrower than width is dropped.
    static TImageList FromStrip(const QImage &strip, int width);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Count() const { return static_cast<int>(m_images.size()); }
    bool IsEmpty() const { return m_images.isEmpty(); }

    // Appends a picture; returns its index.
    int Add(const QPixmap &picture);
    // The picture at index; a null pixmap when the index is out of range.
    QPixmap Image(int index) const;
    // Draws picture `index` at (x, y); nothing when the index is out of range.
    void Draw(QPainter &painter, int x, int y, int index) const;

private:
    int m_width = 16;
    int m_height = 16;
    QVector<QPixmap> m_images;
};
