#include "pages/wireless/formwpssurvey.h"

#include "controls/sortlistview.h"
#include "controls/trifacebtn.h"
#include "framework/dialogplacement.h"
#include "framework/pagekeys.h"
#include "framework/pagekit.h"
#include "messages/appmessage.h"
#include "pages/wireless/framewpssitesurvey.h"

#include <QFont>
#include <QKeyEvent>
#include <QShowEvent>
#include <QTreeWidget>

TFormWPSSurvey::TFormWPSSurvey(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FormWPSSurvey"));
    setWindowTitle(QStringLiteral("WPS AP site survey"));
    setFixedSize(553, 310);
    // A dialog takes the application's font, not its owner's: it is laid
    // out in the same font as the wizard window.
    setFont(QFont(QStringLiteral("Tahoma"), 8));

    FrameWPSSiteSurvey1 = new TFrameWPSSiteSurvey(this);
    FrameWPSSiteSurvey1->setObjectName(QStringLiteral("FrameWPSSiteSurvey1"));
    FrameWPSSiteSurvey1->setGeometry(0, 0, 553, 272);

    BtnSelect = PageKit::Button(this, "BtnSelect", QStringLiteral("Select"), QRect(357, 280, 85, 21));
    BtnCancel = PageKit::Button(this, "BtnCancel", QStringLiteral("Cancel"), QRect(452, 280, 85, 21));
    for (QPushButton *button : {BtnSelect, BtnCancel, FrameWPSSiteSurvey1->BtnRefresh})
        PageKit::SkinButton(button);

    // The list is spoken by its group's title from the start, not only once
    // the frame's texts are loaded on the first showing.
    PageKeys::NameControls(FrameWPSSiteSurvey1);

    connect(BtnSelect, &QPushButton::clicked, this, &TFormWPSSurvey::BtnSelectClick);
    connect(BtnCancel, &QPushButton::clicked, this, &TFormWPSSurvey::BtnCancelClick);
    connect(FrameWPSSiteSurvey1->SurveyList, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem *item) {
                if (item)
                    PressSelect();
            });
}

void TFormWPSSurvey::PressSelect()
{
    if (BtnSelect->isVisibleTo(this) && BtnSelect->isEnabled())
        BtnSelect->click();
}

void TFormWPSSurvey::keyPressEvent(QKeyEvent *event)
{
    // Keys the focused control did not take: Return is Select, Escape is
    // Cancel (the dialog's own rule, not the dialog's plain rejection).
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        PressSelect();
        event->accept();
        return;
    }
    if (plain && event->key() == Qt::Key_Escape) {
        BtnCancelClick();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

TFormWPSSurvey::~TFormWPSSurvey()
{
    FrameWPSSiteSurvey1->ReleasePage();
}

int TFormWPSSurvey::ShowCentered(QWidget *page)
{
    return ExecCenteredOver(*this, page, "TFormWPSSurvey::ShowCentered()");
}

void TFormWPSSurvey::ForwardMessage(int id, intptr_t wParam, intptr_t lParam)
{
    PostAppMessage(FrameWPSSiteSurvey1, id, wParam, lParam);
}

QByteArray TFormWPSSurvey::SelectedSsid() const
{
    return FrameWPSSiteSurvey1->SelectedSsid();
}

void TFormWPSSurvey::BtnSelectClick()
{
    done(1);
}

void TFormWPSSurvey::BtnCancelClick()
{
    done(2);
}

void TFormWPSSurvey::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    FrameWPSSiteSurvey1->LoadPageTexts();
    FrameWPSSiteSurvey1->BtnRefreshClick();
    FrameWPSSiteSurvey1->TakeEntryFocus();
}
