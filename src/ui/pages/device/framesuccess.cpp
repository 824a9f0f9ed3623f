#include "pages/device/framesuccess.h"

#include "controls/trifacebtn.h"
#include "messages/appmessage.h"
#include "pages/device/pagedesign.h"
#include "wizard/timage.h"

#include <QGroupBox>
#include <QLabel>

TFrameSuccess::TFrameSuccess(QWidget *parent) : TFrameBase(parent)
{
    using namespace PageDesign;
    resize(PageWidth, PageHeight);

    ImgBG = CreateBackground(this);
    GBoxSuccess = CreateGroupBox(this, "GBoxSuccess", QRect(24, 16, 552, 262));
    LbSuccess1 = CreateLabel(GBoxSuccess, "LbSuccess1", QStringLiteral("Congratulations!"),
                             QRect(40, 80, 470, 24), false, true);
    {
        QFont font = LbSuccess1->font();
        font.setPointSize(font.pointSize() + 4);
        LbSuccess1->setFont(font);
    }
    LbSuccess2 =
        CreateLabel(GBoxSuccess, "LbSuccess2", QStringLiteral("Your Velmora Access Point is Now Configured"),
                    QRect(40, 116, 470, 40), true);

    BtnNext = CreateButton(this, "BtnNext", QStringLiteral("Next"), ExitLeft);
    BtnNext->hide();
    BtnBack = CreateButton(this, "BtnBack", QStringLiteral("Back"), BackLeft);
    BtnExit = CreateButton(this, "BtnExit", QStringLiteral("Exit"), NextLeft);

    connect(BtnExit, &QPushButton::clicked, this, [this] { PostWizardCommand(WIZARD_EXIT); });
    connect(BtnBack, &QPushButton::clicked, this, [this] { PostWizardCommand(WIZARD_BACK); });
    connect(BtnNext, &QPushButton::clicked, this, [this] { PostWizardCommand(WIZARD_NEXT); });
}

TFrameSuccess::~TFrameSuccess() = default;

void TFrameSuccess::LoadPageTexts()
{
    SkinBackground(ImgBG);
    SkinButton(BtnExit);
    SkinButton(BtnBack);
    SkinButton(BtnNext);
    TFrameBase::LoadPageTexts();
}
