#include "pages/device/frameipeditrect.h"

#include "controls/centeredit.h"
#include "controls/timage.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPalette>

namespace {

constexpr int ControlWidth = 116;
constexpr int ControlHeight = 21;
constexpr int FieldLefts[4] = {6, 34, 62, 90};
constexpr int FieldTop = 4;
constexpr int FieldWidth = 22;
constexpr int FieldHeight = 14;

// The outline pictures: a framed box with the three separating dots, white
// when the address can be edited and silver when it cannot.
QPixmap OutlinePicture(const QColor &fill)
{
    QPixmap picture(ControlWidth, ControlHeight);
    picture.fill(fill);
    QPainter painter(&picture);
    painter.setPen(QColor(127, 157, 185));
    painter.drawRect(0, 0, ControlWidth - 1, ControlHeight - 1);
    painter.setPen(Qt::black);
    for (int i = 1; i < 4; ++i) {
        const int x = FieldLefts[i] - 4;
        painter.fillRect(x, FieldTop + FieldHeight - 3, 2, 2, Qt::black);
    }
    return picture;
}

QColor Silver()
{
    return QColor(192, 192, 192);
}

} // namespace

TFrameIPEditRect::TFrameIPEditRect(QWidget *parent) : QFrame(parent)
{
    resize(ControlWidth, ControlHeight);
    setFocusPolicy(Qt::StrongFocus);

    ImgEnableBG = new TImage(this);
    ImgEnableBG->setObjectName(QStringLiteral("ImgEnableBG"));
    ImgEnableBG->setGeometry(0, 0, ControlWidth, ControlHeight);
    ImgEnableBG->setPicture(OutlinePicture(Qt::white));
    ImgDisableBG = new TImage(this);
    ImgDisableBG->setObjectName(QStringLiteral("ImgDisableBG"));
    ImgDisableBG->setGeometry(0, 0, ControlWidth, ControlHeight);
    ImgDisableBG->setPicture(OutlinePicture(Silver()));

    for (int i = 0; i < 4; ++i) {
        auto *edit = new TCenterEdit(this);
        edit->setGeometry(FieldLefts[i], FieldTop, FieldWidth, FieldHeight);
        edit->setFont(font());
        edit->setFrame(false);
        edit->setMaxLength(3);
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, Qt::white);
        edit->setPalette(palette);
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textChanged, this, [this, i] { FieldChanged(i); });
        Edits[i] = edit;
    }
    // Focus on the control itself goes on to its first box.
    setFocusProxy(Edits[0]);

    ImgEnableBG->show();
    ImgDisableBG->hide();

    connect(qApp, &QApplication::focusChanged, this, &TFrameIPEditRect::FocusMoved);
}

TFrameIPEditRect::~TFrameIPEditRect() = default;

int TFrameIPEditRect::NormalisedValue(const QString &text)
{
    int digits = 0;
    while (digits < text.size() && text.at(digits) >= QLatin1Char('0') && text.at(digits) <= QLatin1Char('9'))
        ++digits;
    if (digits == 0)
        return 0;
    // More than three digits can only be 256 or more; cap before converting.
    if (digits > 3)
        return 255;
    const int value = text.left(digits).toInt();
    return value >= 256 ? 255 : value;
}

void TFrameIPEditRect::SetAddress(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    for (int i = 0; i < 4; ++i)
        Edits[i]->setText(i < parts.size() ? parts.at(i) : QString());
}

QString TFrameIPEditRect::GetAddress() const
{
    bool allEmpty = true;
    for (const TCenterEdit *edit : Edits)
        allEmpty = allEmpty && edit->text().isEmpty();
    if (allEmpty)
        return QString();
    QStringList values;
    for (const TCenterEdit *edit : Edits)
        values << QString::number(NormalisedValue(edit->text()));
    return values.join(QLatin1Char('.'));
}

QString TFrameIPEditRect::GetOctet(int index) const
{
    if (index < 1 || index > 4)
        return QString();
    return Edits[index - 1]->text();
}

void TFrameIPEditRect::SetEnabled(bool enabled)
{
    ImgEnableBG->setVisible(enabled);
    ImgDisableBG->setVisible(!enabled);
    for (TCenterEdit *edit : Edits) {
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, enabled ? QColor(Qt::white) : Silver());
        palette.setColor(QPalette::Disabled, QPalette::Base, enabled ? QColor(Qt::white) : Silver());
        edit->setPalette(palette);
    }
    setEnabled(enabled);
}

int TFrameIPEditRect::IndexOf(const QObject *edit) const
{
    for (int i = 0; i < 4; ++i)
        if (Edits[i] == edit)
            return i;
    return -1;
}

void TFrameIPEditRect::FocusField(int index, bool selectAll)
{
    if (index < 0 || index > 3)
        return;
    Edits[index]->setFocus();
    // Moving on by typing replaces what the next box held, as a fresh entry
    // into an edit box would.
    if (selectAll)
        Edits[index]->selectAll();
}

void TFrameIPEditRect::FocusFieldAt(int index, bool atEnd)
{
    if (index < 0 || index > 3)
        return;
    TCenterEdit *edit = Edits[index];
    edit->setFocus();
    edit->deselect();
    edit->setCursorPosition(atEnd ? edit->text().size() : 0);
}

bool TFrameIPEditRect::KeyPress(int index, QKeyEvent *key)
{
    TCenterEdit *edit = Edits[index];
    const Qt::KeyboardModifiers modifiers =
        key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);

    // Arrow movement only without modifiers (a held Shift extends the
    // selection inside the box as usual).
    if (modifiers == Qt::NoModifier) {
        if (key->key() == Qt::Key_Left && !edit->hasSelectedText() && edit->cursorPosition() == 0) {
            if (index > 0)
                FocusFieldAt(index - 1, true);
            return true;
        }
        if (key->key() == Qt::Key_Right && !edit->hasSelectedText() &&
            edit->cursorPosition() == edit->text().size()) {
            if (index < 3)
                FocusFieldAt(index + 1, false);
            return true;
        }
    }

    // Return presses the page's button without the focus leaving the
    // control: the boxes get the tidying a move of the focus would give
    // them, so that Return and a click check the same address. The key
    // itself goes on to the page.
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        NormaliseFields();
        return false;
    }

    if (key->key() == Qt::Key_Backspace) {
        if (edit->text().isEmpty() && index > 0)
            FocusFieldAt(index - 1, true);
        return false; // the box itself handles the key (nothing to delete)
    }

    const QString text = key->text();
    if (text.size() != 1 || (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false; // editing keys, shortcuts (paste) and the like

    const QChar ch = text.at(0);
    if (ch == QLatin1Char('.')) {
        if (!edit->hasSelectedText() && edit->cursorPosition() != 0)
            FocusField(index + 1, true);
        return true;
    }
    if (ch.isDigit() && ch.unicode() < 128) {
        if (!edit->hasSelectedText() && edit->text().size() >= 2 &&
            edit->cursorPosition() == edit->text().size())
            FocusField(index + 1, true);
        // The digit still goes to the box it was typed into, which takes it
        // only while it holds fewer than three characters.
        return false;
    }
    // The boxes take digits only; any other typed character is refused.
    // Pasted text is not filtered here; the change handler cuts it.
    return ch.isPrint();
}

bool TFrameIPEditRect::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int index = IndexOf(watched);
        if (index >= 0)
            return KeyPress(index, static_cast<QKeyEvent *>(event));
    }
    return QFrame::eventFilter(watched, event);
}

void TFrameIPEditRect::FieldChanged(int index)
{
    TCenterEdit *edit = Edits[index];
    const QString text = edit->text();
    if (text.isEmpty())
        return;
    int digits = 0;
    while (digits < text.size() && text.at(digits) >= QLatin1Char('0') && text.at(digits) <= QLatin1Char('9'))
        ++digits;
    QString result = text.left(digits);
    if (!result.isEmpty() && result.toInt() >= 256)
        result = QStringLiteral("255");
    if (result != text) {
        edit->setText(result); // re-enters once with a text that stays
        edit->deselect();
        edit->setCursorPosition(result.size());
    }
}

void TFrameIPEditRect::NormaliseFields()
{
    bool allEmpty = true;
    for (const TCenterEdit *edit : Edits)
        allEmpty = allEmpty && edit->text().isEmpty();
    if (allEmpty)
        return;
    for (TCenterEdit *edit : Edits) {
        const QString normal = QString::number(NormalisedValue(edit->text()));
        if (edit->text() != normal)
            edit->setText(normal);
    }
}

void TFrameIPEditRect::FocusMoved(QWidget *old, QWidget *now)
{
    // A window that loses activation keeps its focus widget: not a move.
    if (!now)
        return;
    const bool wasInside = old && (old == this || isAncestorOf(old));
    const bool isInside = now == this || isAncestorOf(now);
    if (wasInside && !isInside) {
        NormaliseFields();
        emit FrameExit();
    } else if (!wasInside && isInside) {
        emit FrameEnter();
    }
}
