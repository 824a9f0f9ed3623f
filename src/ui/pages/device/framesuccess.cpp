#include "pages/device/framesuccess.h"

#include "controls/timage.h"
#include "controls/trifacebtn.h"
#include "framework/pagekit.h"
#include "messages/appmessage.h"

#include <QGroupBox>
#include <QLabel>

TFrameSuccess::TFrameSuccess(QWidget *parent) : TFrameBase(parent)
{
    using namespace PageKit;
    std::tie(ImgBG, GBoxSuccess) = PageFrame(this, PageHeight, "GBoxSuccess", ContentBox, QString(), true);
    LbSuccess1 =
        Label(GBoxSuccess, "LbSuccess1", QStringLiteral("Congratulations!"), QRect(40, 80, 470, 24), Bold);
    {
        QFont font = LbSuccess1->font();
        font.setPointSize(font.pointSize() + 4);
        LbSuccess1->setFont(font);
    }
    LbSuccess2 =
        Label(GBoxSuccess, "LbSuccess2", QStringLiteral("Your Velmora Access Point is Now Configured"),
              QRect(40, 116, 470, 40), Wrapped);

    BtnNext = BottomButton(this, "BtnNext", QStringLiteral("Next"), ExitLeft);
    BtnNext->hide();
    BtnBack = BottomButton(this, "BtnBack", QStringLiteral("Back"), BackLeft);
    BtnExit = BottomButton(this, "BtnExit", QStringLiteral("Exit"), NextLeft);

    OnClick(this, BtnExit, Post{WIZARD_EXIT}, BtnBack, Post{WIZARD_BACK}, BtnNext, Post{WIZARD_NEXT});
    SkinOnLoad(ImgBG, {BtnExit, BtnBack, BtnNext});
}

TFrameSuccess::~TFrameSuccess() = default;
