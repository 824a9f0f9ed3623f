#include "pages/device/framewlmodesel.h"

#include "app/debug.h"
#include "app/globalvar.h"
#include "app/settingkeys.h"
#include "app/utility.h"
#include "controls/timage.h"
#include "controls/trifacebtn.h"
#include "framework/pagekit.h"
#include "messages/appmessage.h"
#include "protocol/devicewaits.h"
#include "protocol/formudp.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>

namespace {

// The two small illustrations of the page: a device box with its aerial,
// sending to several clients (access point) or to one upstream network
// (client).
QPixmap ModePicture(bool accessPoint)
{
    QPixmap picture(96, 64);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(60, 60, 60), 1.5));
    painter.setBrush(QColor(225, 232, 240));
    painter.drawRoundedRect(QRectF(30, 36, 36, 16), 3, 3);
    painter.drawLine(QPointF(58, 36), QPointF(62, 22));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(40, 110, 200), 1.5));
    if (accessPoint) {
        for (int r = 8; r <= 20; r += 6)
            painter.drawArc(QRectF(62 - r, 22 - r, 2 * r, 2 * r), 20 * 16, 140 * 16);
        painter.setPen(QPen(QColor(60, 60, 60), 1.5));
        painter.drawRect(QRectF(4, 8, 14, 10));
        painter.drawRect(QRectF(78, 8, 14, 10));
    } else {
        painter.drawArc(QRectF(50, 10, 24, 24), 30 * 16, 120 * 16);
        painter.setPen(QPen(QColor(60, 60, 60), 1.5));
        painter.drawRect(QRectF(4, 38, 16, 12));
        painter.drawLine(QPointF(20, 44), QPointF(30, 44));
    }
    return picture;
}

// The illustration beside a mode's description, right of its text.
TImage *CreateModeImage(QWidget *parent, const char *name, int top, bool accessPoint)
{
    auto *image = new TImage(parent);
    image->setObjectName(QLatin1String(name));
    image->setGeometry(440, top, 96, 64);
    image->setPicture(ModePicture(accessPoint));
    return image;
}

} // namespace

TFrameWlModeSel::TFrameWlModeSel(QWidget *parent)
    : TFrameBase(parent),
      m_write({
          .name = "TFrameWlModeSel::ApplyDeviceMode()",
          .kinds = {REQ_SET_MODE},
          .send = [](TFormUDP &engine) { engine.SendSetMode(DeviceWait::SetMode, g_Var.DeviceMode); },
          .logoutBeforeRelogin = false,
          .settleAfterReadBack = DeviceWait::SettleAfterSetMode,
          .readBack = [this] { ShowDeviceMode(); },
      })
{
    using namespace PageKit;
    std::tie(ImgBG, GBoxWlModeSel) =
        PageFrame(this, PageHeight, "GBoxWlModeSel", ContentBox, QStringLiteral("Wireless Modes"), true);
    RBtnAPMode = Radio(GBoxWlModeSel, "RBtnAPMode", QStringLiteral("Access Point"), QRect(16, 24, 200, 18));
    {
        QFont font = RBtnAPMode->font();
        font.setBold(true);
        RBtnAPMode->setFont(font);
    }
    LbAPModeInfo =
        Label(GBoxWlModeSel, "LbAPModeInfo",
              QStringLiteral("Select this option to use the QRZ-517MXB in to an Access Point. This "
                             "will allow you to add or upgrade you wireless connection to wireless "
                             "N and share wireless access with others."),
              QRect(34, 44, 390, 56), Wrapped);
    Image1 = CreateModeImage(GBoxWlModeSel, "Image1", 36, true);

    RBtnWirelessBridge =
        Radio(GBoxWlModeSel, "RBtnWirelessBridge", QStringLiteral("AP Client"), QRect(16, 108, 200, 18));
    RBtnWirelessBridge->setFont(RBtnAPMode->font());
    LbWirelessBridgeInfo = Label(GBoxWlModeSel, "LbWirelessBridgeInfo",
                                 QStringLiteral("Select option to allow the QRZ-517MXB to work as a wireless "
                                                "network adapter. Use this mode to add wireless connectivity "
                                                "to you gaming console or Ethernet enable device."),
                                 QRect(34, 128, 390, 56), Wrapped);
    Image2 = CreateModeImage(GBoxWlModeSel, "Image2", 120, false);

    Label1 =
        Label(GBoxWlModeSel, "Label1",
              QStringLiteral("Note: Additional AP Modes (Bridge and WDS) can be configured using the Web "
                             "Browser, please consult the User\u2019s Guide for more information."),
              QRect(16, 200, 520, 44), Wrapped);

    std::tie(BtnExit, BtnBack, BtnNext) =
        WizardButtons(this, Post{WIZARD_EXIT}, &TFrameWlModeSel::BackClick, &TFrameWlModeSel::NextClick,
                      Focus::Style, "BtnNext", QStringLiteral("Next"), Order::BackExitNext);

    auto *group = new QButtonGroup(this);
    group->addButton(RBtnAPMode);
    group->addButton(RBtnWirelessBridge);

    SkinOnLoad(ImgBG, {BtnExit, BtnBack, BtnNext});
}

TFrameWlModeSel::~TFrameWlModeSel() = default;

void TFrameWlModeSel::LoadPageTexts()
{
    g_Var.DeviceMode = DEVICE_AP;
    RBtnAPMode->setChecked(true);
    TFrameBase::LoadPageTexts();
    // Each illustration is described by the text of its mode (the settings
    // file's, where it has one).
    Image1->setAccessibleName(RBtnAPMode->text());
    Image1->setAccessibleDescription(LbAPModeInfo->text());
    Image2->setAccessibleName(RBtnWirelessBridge->text());
    Image2->setAccessibleDescription(LbWirelessBridgeInfo->text());
}

bool TFrameWlModeSel::CanEnter(TFrameBase *fromPage, bool isBack, int param)
{
    if (!isBack)
        FormUDP()->SendGetMode(DeviceWait::GetMode);
    return TFrameBase::CanEnter(fromPage, isBack, param);
}

void TFrameWlModeSel::Entered(TFrameBase *fromPage, bool isBack, int param)
{
    ShowDeviceMode();
    TFrameBase::Entered(fromPage, isBack, param);
}

void TFrameWlModeSel::ShowDeviceMode()
{
    if (g_Var.DeviceMode == DEVICE_AP) {
        DebugPrint("g_Var.DeviceMode DEVICE_AP");
        RBtnAPMode->setChecked(true);
        RBtnWirelessBridge->setChecked(false);
    } else if (g_Var.DeviceMode == DEVICE_WBRIDGE) {
        DebugPrint("g_Var.DeviceMode DEVICE_WBRIDGE");
        RBtnAPMode->setChecked(false);
        RBtnWirelessBridge->setChecked(true);
    } else {
        DebugPrint("g_Var.DeviceMode != DEVICE_AP, DEVICE_WBRIDGE");
    }
}

void TFrameWlModeSel::NextClick()
{
    const int previousMode = g_Var.DeviceMode;
    if (RBtnAPMode->isChecked() && g_Var.DeviceMode != DEVICE_AP) {
        g_Var.DeviceMode = DEVICE_AP;
        ApplyDeviceMode(previousMode);
    } else if (RBtnWirelessBridge->isChecked() && g_Var.DeviceMode != DEVICE_WBRIDGE) {
        g_Var.DeviceMode = DEVICE_WBRIDGE;
        ApplyDeviceMode(previousMode);
    } else {
        PostWizardCommand(WIZARD_NEXT);
    }
}

void TFrameWlModeSel::BackClick()
{
    // The device list comes next, where a new choice needs a new login.
    FormUDP()->SendLogout(DeviceWait::Logout);
    PostWizardCommand(WIZARD_BACK);
}

void TFrameWlModeSel::ApplyDeviceMode(int previousMode)
{
    // Test mode walks on in the chosen mode without a device. Otherwise a
    // device that acknowledged the set-mode request holds the new mode even
    // when the read-back then timed out; one that did not keeps the mode it
    // had, so that a second Next with the same choice tries the write again
    // instead of moving on as if it had worked.
    m_write.RunForPage(*this, "TFrameWlModeSel::ApplyDeviceMode()", MessageKey::ER_CONNECT,
                       [this, previousMode] {
                           if (!g_Var.NonWorking && !m_write.WriteAccepted())
                               g_Var.DeviceMode = previousMode;
                       });
}

void TFrameWlModeSel::HandleAppMessage(AppMessage *message)
{
    // A read answered outside a write is the entry's question for the mode.
    if (!m_write.HandleMessage(*message) && message->id == UM_UDP_REPLY && message->wParam == REQ_GET_CONFIG)
        ShowDeviceMode();
    TFrameBase::HandleAppMessage(message);
}
