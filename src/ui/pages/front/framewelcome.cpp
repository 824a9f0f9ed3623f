#include "pages/front/framewelcome.h"

#include "app/timing.h"
#include "controls/timage.h"
#include "controls/trifacebtn.h"
#include "framework/pagekit.h"
#include "messages/appmessage.h"
#include "pages/front/userguide.h"

#include <QGroupBox>
#include <QLabel>
#include <QTimer>

TFrameWelcome::TFrameWelcome(QWidget *parent) : TFrameBase(parent)
{
    ImgBG = PageKit::Background(this, true);
    GBoxWelcome = PageKit::Group(this, "GBoxWelcome", PageKit::WideContentBox, QStringLiteral("Welcome"));
    LbInfo1 = PageKit::Label(GBoxWelcome, "LbInfo1",
                             QStringLiteral("Welcome to the Setup Wizard for your QRZ-517MXB."),
                             QRect(24, 40, 528, 40));
    LbInfo1->setWordWrap(true);

    BtnExit = PageKit::BottomButton(this, "BtnExit", QStringLiteral("Exit"), PageKit::ExitLeft);
    BtnUG = PageKit::BottomButton(this, "BtnUG", QStringLiteral("User Guide"), PageKit::BackLeft);
    BtnUG->hide();
    BtnStart = PageKit::BottomButton(this, "BtnStart", QStringLiteral("Start"), PageKit::NextLeft);
    SkinOnLoad(ImgBG, {BtnExit, BtnUG, BtnStart});

    TimerInstAcrobat = new QTimer(this);
    TimerInstAcrobat->setObjectName(QStringLiteral("TimerInstAcrobat"));
    TimerInstAcrobat->setInterval(Timing::Scaled(2000));
    UserGuide = new UserGuideLauncher(TimerInstAcrobat, this);

    PageKit::OnClick(this, BtnExit, PageKit::Post{WIZARD_EXIT}, BtnStart, PageKit::Post{WIZARD_NEXT});
    connect(BtnUG, &QPushButton::clicked, UserGuide, &UserGuideLauncher::Run);
}

TFrameWelcome::~TFrameWelcome() = default;
