#include "pages/device/pagedesign.h"

#include "controls/trifacebtn.h"
#include "wizard/timage.h"

#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QRadioButton>

namespace PageDesign {

TImage *CreateBackground(QWidget *page)
{
    auto *image = new TImage(page);
    image->setObjectName(QStringLiteral("ImgBG"));
    image->setGeometry(0, 0, PageWidth, PageHeight);
    return image;
}

QGroupBox *CreateGroupBox(QWidget *parent, const char *name, const QRect &geometry, const QString &caption)
{
    auto *box = new QGroupBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(geometry);
    // The content sits on a white frame over the page picture.
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, Qt::white);
    box->setPalette(palette);
    box->setAutoFillBackground(true);
    return box;
}

TTrifaceBtn *CreateButton(QWidget *page, const char *name, const QString &caption, int left)
{
    auto *button = new TTrifaceBtn(page);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setGeometry(left, ButtonTop, ButtonWidth, ButtonHeight);
    return button;
}

QLabel *CreateLabel(QWidget *parent, const char *name, const QString &text, const QRect &geometry,
                    bool wordWrap, bool bold)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setWordWrap(wordWrap);
    label->setAlignment(Qt::AlignLeft | (wordWrap ? Qt::AlignTop : Qt::AlignVCenter));
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

QRadioButton *CreateRadio(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    auto *radio = new QRadioButton(text, parent);
    radio->setObjectName(QString::fromLatin1(name));
    radio->setGeometry(geometry);
    return radio;
}

} // namespace PageDesign
