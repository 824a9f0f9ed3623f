#pragma once
// TSkinImage: a picture that acts as a button and swaps its picture with
// the mouse: picture 0 normal, 1 under the mouse or pressed, 3 disabled.
// The pictures come either from an image list (by index) or from up to four
// assigned images. gsButton only swaps on hover (with MouseOverEffect),
// gsPushButton shows picture 1 while pressed, gsTabButton keeps picture 1
// after a press and resets the other tab buttons of its group (same Tag,
// same grandparent) to picture 0.
//
// It is a button for the keyboard too: Tab reaches it, Return or Space
// clicks it, and while it holds the focus it shows picture 1 as under the
// mouse (with MouseOverEffect), so a keyboard user sees where the focus is.

#include <QPixmap>
#include <QWidget>
#include <array>

#include "controls/imagelist.h"

enum TSkinImageStyle { gsButton, gsPushButton, gsTabButton };
enum TSkinImageSource { gsrcImageList, gsrcImage };

class TSkinImage : public QWidget
{
    Q_OBJECT
public:
    explicit TSkinImage(QWidget *parent = nullptr);
    ~TSkinImage() override;

    TSkinImageStyle ImageStyle() const { return m_style; }
    void SetImageStyle(TSkinImageStyle style) { m_style = style; }
    TSkinImageSource ImageSource() const { return m_source; }
    void SetImageSource(TSkinImageSource source) { m_source = source; }
    // Not owned; must outlive the control. Assigning selects picture 0.
    const TImageList *ImageList() const { return m_imageList; }
    void SetImageList(const TImageList *list);
    // Picture i (0..3) for gsrcImage; a null pixmap clears it. Assigning
    // picture 0 shows it at once and selects it.
    QPixmap Image(int index) const;
    void SetImage(int index, const QPixmap &picture);
    bool MouseOverEffect() const { return m_mouseOverEffect; }
    void SetMouseOverEffect(bool on) { m_mouseOverEffect = on; }
    // Groups tab buttons.
    int Tag() const { return m_tag; }
    void SetTag(int tag) { m_tag = tag; }

    int ImageIndex() const { return m_imageIndex; }
    // Shows picture i when its source has it; otherwise nothing changes.
    void SetImageIndex(int index);
    // The picture currently shown.
    const QPixmap &Shown() const { return m_shown; }
    bool MouseInside() const { return m_mouseInside; }

    QSize sizeHint() const override;

signals:
    void MouseEnter();
    void MouseLeave();
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // Picture 1 shows while the mouse is inside or the focus is here.
    bool Highlighted() const { return m_mouseInside || hasFocus(); }

    TSkinImageStyle m_style = gsButton;
    TSkinImageSource m_source = gsrcImageList;
    const TImageList *m_imageList = nullptr;
    std::array<QPixmap, 4> m_images;
    bool m_mouseOverEffect = false;
    int m_tag = 0;
    int m_imageIndex = 0;
    QPixmap m_shown;
    bool m_mouseInside = false;
};
