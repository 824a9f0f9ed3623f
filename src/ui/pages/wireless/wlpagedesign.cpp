#include "pages/wireless/wlpagedesign.h"

#include "controls/trifacebtn.h"
#include "wizard/timage.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace WlDesign {

namespace {

template <typename W> W *Place(W *widget, const QString &name, int x, int y, int w, int h)
{
    widget->setObjectName(name);
    widget->setGeometry(x, y, w, h);
    return widget;
}

} // namespace

TImage *Background(QWidget *page)
{
    return Place(new TImage(page), QStringLiteral("ImgBG"), 0, 0, PAGE_WIDTH, PAGE_HEIGHT);
}

QGroupBox *Group(QWidget *page, const QString &name, const QString &caption)
{
    return Place(new QGroupBox(caption, page), name, 24, 16, 552, 262);
}

QLabel *Label(QWidget *parent, const QString &name, const QString &text, int x, int y, int w, int h)
{
    return Place(new QLabel(text, parent), name, x, y, w, h);
}

QLineEdit *Edit(QWidget *parent, const QString &name, int x, int y, int w, int maxLength)
{
    QLineEdit *edit = Place(new QLineEdit(parent), name, x, y, w, 21);
    edit->setMaxLength(maxLength);
    return edit;
}

QComboBox *Combo(QWidget *parent, const QString &name, int x, int y, int w)
{
    QComboBox *combo = Place(new QComboBox(parent), name, x, y, w, 21);
    combo->setEditable(false);
    return combo;
}

QRadioButton *Radio(QWidget *parent, const QString &name, const QString &text, int x, int y, int w)
{
    return Place(new QRadioButton(text, parent), name, x, y, w, 17);
}

TTrifaceBtn *Button(QWidget *parent, const QString &name, const QString &text, int x, int y, int w, int h)
{
    TTrifaceBtn *button = Place(new TTrifaceBtn(parent), name, x, y, w, h);
    button->setText(text);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

WizardButtons StandardButtons(QWidget *page)
{
    WizardButtons buttons;
    buttons.exit = Button(page, QStringLiteral("BtnExit"), QStringLiteral("Exit"), 24, 288);
    buttons.back = Button(page, QStringLiteral("BtnBack"), QStringLiteral("Back"), 389, 288);
    buttons.next = Button(page, QStringLiteral("BtnNext"), QStringLiteral("Next"), 492, 288);
    return buttons;
}

void AddCodeItem(QComboBox *combo, const QString &text, int code)
{
    combo->addItem(text, code);
}

int SelectedCode(const QComboBox *combo, int fallback)
{
    const int index = combo->currentIndex();
    if (index < 0)
        return fallback;
    bool ok = false;
    const int code = combo->itemData(index).toInt(&ok);
    return ok ? code : fallback;
}

} // namespace WlDesign
