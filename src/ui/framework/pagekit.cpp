#include "framework/pagekit.h"

#include "controls/paintpanel.h"
#include "controls/timage.h"
#include "framework/skinsupport.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QRadioButton>

namespace PageKit {

namespace {

template <typename W> W *Place(W *widget, const char *name, const QRect &geometry)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    return widget;
}

void FillWhite(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Qt::white);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

TImage *Background(QWidget *page, bool lowerNow)
{
    TImage *image = Place(new TImage(page), "ImgBG", QRect(0, 0, PageWidth, PageHeight));
    if (lowerNow)
        image->lower();
    return image;
}

std::tuple<TImage *, QGroupBox *> PageFrame(QWidget *page, int height, const char *groupName,
                                            const QRect &groupGeometry, const QString &caption, bool white)
{
    page->resize(PageWidth, height);
    TImage *background = Background(page);
    QGroupBox *group = (white ? WhiteGroup : Group)(page, groupName, groupGeometry, caption);
    return {background, group};
}

QGroupBox *Group(QWidget *parent, const char *name, const QRect &geometry, const QString &caption)
{
    return Place(new QGroupBox(caption, parent), name, geometry);
}

QGroupBox *WhiteGroup(QWidget *parent, const char *name, const QRect &geometry, const QString &caption)
{
    QGroupBox *box = Group(parent, name, geometry, caption);
    FillWhite(box);
    return box;
}

QLabel *Label(QWidget *parent, const char *name, const QString &text, const QRect &geometry, unsigned look)
{
    QLabel *label = Place(new QLabel(text, parent), name, geometry);
    if (look & Wrapped) {
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    if (look & RightAligned)
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (look & Bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

QLabel *ClickNextLabel(QWidget *parent, const QRect &geometry)
{
    return Label(parent, "LbClickNext", QStringLiteral("Click Next to continue"), geometry, RightAligned);
}

QRadioButton *Radio(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    return Place(new QRadioButton(text, parent), name, geometry);
}

QLineEdit *Edit(QWidget *parent, const char *name, int left, int top, int width, int maxLength)
{
    QLineEdit *edit = Place(new QLineEdit(parent), name, QRect(left, top, width, FieldHeight));
    edit->setMaxLength(maxLength);
    return edit;
}

QComboBox *Combo(QWidget *parent, const char *name, int left, int top, int width)
{
    QComboBox *combo = Place(new QComboBox(parent), name, QRect(left, top, width, FieldHeight));
    combo->setEditable(false);
    return combo;
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

TTrifaceBtn *Button(QWidget *parent, const char *name, const QString &caption, const QRect &geometry,
                    Focus focus)
{
    TTrifaceBtn *button = Place(new TTrifaceBtn(parent), name, geometry);
    button->setText(caption);
    if (focus == Focus::Strong)
        button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

TTrifaceBtn *BottomButton(QWidget *page, const char *name, const QString &caption, int left, Focus focus)
{
    return Button(page, name, caption, QRect(left, ButtonTop, ButtonWidth, ButtonHeight), focus);
}

std::tuple<TTrifaceBtn *, TTrifaceBtn *, TTrifaceBtn *>
CreateWizardButtons(QWidget *page, Focus focus, const char *nextName, const QString &nextCaption, Order order)
{
    TTrifaceBtn *exit = nullptr;
    TTrifaceBtn *back = nullptr;
    TTrifaceBtn *next = nullptr;
    const auto makeExit = [&] {
        exit = BottomButton(page, "BtnExit", QStringLiteral("Exit"), ExitLeft, focus);
    };
    const auto makeBack = [&] {
        back = BottomButton(page, "BtnBack", QStringLiteral("Back"), BackLeft, focus);
    };
    const auto makeNext = [&] { next = BottomButton(page, nextName, nextCaption, NextLeft, focus); };
    switch (order) {
    case Order::ExitBackNext:
        makeExit();
        makeBack();
        makeNext();
        break;
    case Order::BackNextExit:
        makeBack();
        makeNext();
        makeExit();
        break;
    case Order::BackExitNext:
        makeBack();
        makeExit();
        makeNext();
        break;
    }
    return {exit, back, next};
}

TPaintPanel *SearchPanel(QWidget *parent, const QRect &geometry)
{
    TPaintPanel *panel = Place(new TPaintPanel(parent), "PlSearch", geometry);
    panel->setFrameShape(QFrame::NoFrame);
    FillWhite(panel);
    panel->SetCaption(QStringLiteral("Searching..."));
    panel->hide();
    return panel;
}

void SkinBackground(TImage *background)
{
    if (background)
        background->setPicture(SkinPicture(QStringLiteral("ImgFrameBG")));
}

void SkinButton(QPushButton *button)
{
    SetButtonFaces(button, QStringLiteral("ImgBtnN"), QStringLiteral("ImgBtnH"), QStringLiteral("ImgBtnD"));
}

} // namespace PageKit
