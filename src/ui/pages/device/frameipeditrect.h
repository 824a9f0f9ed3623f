#pragma once
// TFrameIPEditRect: the entry field for one IPv4 address, four small octet
// boxes in a row over an outline picture. Typing moves on by itself after
// the third digit or on ".", Backspace in an empty box and the arrow keys at
// a box's edge move back and forth, and whatever ends up in a box is cut to
// a number of at most 255. Leaving the control, or Return in one of its
// boxes, tidies the boxes (an empty box becomes 0, leading zeros go). It is a plain control, not a wizard
// page, and knows nothing of the device.

#include <QFrame>

#include <array>

class QLineEdit;
class TCenterEdit;
class TImage;

class TFrameIPEditRect : public QFrame
{
    Q_OBJECT
public:
    explicit TFrameIPEditRect(QWidget *parent = nullptr);
    ~TFrameIPEditRect() override;

    // Splits `text` at its dots: box i takes part i, or nothing when there
    // are fewer parts. Each box then cuts its part as typed text is cut.
    void SetAddress(const QString &text);
    // Empty when all four boxes are empty; otherwise the four normalised
    // values joined by "." (an empty box counts as 0).
    QString GetAddress() const;
    // The raw text of box `index` (1..4); empty for any other index.
    QString GetOctet(int index) const;
    // White boxes on the enabled outline, or silver boxes on the disabled
    // one; then enables or disables the whole control.
    void SetEnabled(bool enabled);

    // The value of one box's text: the digits before its first other
    // character; none gives 0, 256 or more gives 255.
    static int NormalisedValue(const QString &text);

    TImage *ImgEnableBG;
    TImage *ImgDisableBG;
    // The four octet boxes, left to right.
    std::array<TCenterEdit *, 4> Edits{};

signals:
    // The keyboard focus came into the control from outside it.
    void FrameEnter();
    // The focus left the control (after its boxes were normalised).
    void FrameExit();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int IndexOf(const QObject *edit) const;
    // Focus to a neighbour; with a caret position the selection is dropped.
    void FocusField(int index, bool selectAll);
    void FocusFieldAt(int index, bool atEnd);
    void FieldChanged(int index);
    void FocusMoved(QWidget *old, QWidget *now);
    void NormaliseFields();
    bool KeyPress(int index, QKeyEvent *key);
};
