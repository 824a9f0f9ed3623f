#include "pages/front/framewelcome.h"

#include "app/timing.h"
#include "controls/trifacebtn.h"
#include "messages/appmessage.h"
#include "pages/front/userguide.h"
#include "wizard/timage.h"

#include <QGroupBox>
#include <QLabel>
#include <QTimer>

TFrameWelcome::TFrameWelcome(QWidget *parent) : TFrameBase(parent)
{
    ImgBG = CreatePageBackground();

    GBoxWelcome = new QGroupBox(QStringLiteral("Welcome"), this);
    GBoxWelcome->setObjectName(QStringLiteral("GBoxWelcome"));
    GBoxWelcome->setGeometry(12, 16, 576, 262);

    LbInfo1 = new QLabel(QStringLiteral("Welcome to the Setup Wizard for your QRZ-517MXB."), GBoxWelcome);
    LbInfo1->setObjectName(QStringLiteral("LbInfo1"));
    LbInfo1->setGeometry(24, 40, 528, 40);
    LbInfo1->setWordWrap(true);

    BtnExit = CreatePageButton("BtnExit", QStringLiteral("Exit"), 24);
    BtnUG = CreatePageButton("BtnUG", QStringLiteral("User Guide"), 389);
    BtnUG->hide();
    BtnStart = CreatePageButton("BtnStart", QStringLiteral("Start"), 492);

    TimerInstAcrobat = new QTimer(this);
    TimerInstAcrobat->setObjectName(QStringLiteral("TimerInstAcrobat"));
    TimerInstAcrobat->setInterval(Timing::Scaled(2000));
    UserGuide = new UserGuideLauncher(TimerInstAcrobat, this);

    connect(BtnExit, &QPushButton::clicked, this, [this] { PostWizardCommand(WIZARD_EXIT); });
    connect(BtnStart, &QPushButton::clicked, this, [this] { PostWizardCommand(WIZARD_NEXT); });
    connect(BtnUG, &QPushButton::clicked, UserGuide, &UserGuideLauncher::Run);
}

TFrameWelcome::~TFrameWelcome() = default;

void TFrameWelcome::LoadPageTexts()
{
    SkinBackground(ImgBG);
    SkinButton(BtnExit);
    SkinButton(BtnUG);
    SkinButton(BtnStart);
    TFrameBase::LoadPageTexts();
}
