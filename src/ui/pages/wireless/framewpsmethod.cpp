#include "pages/wireless/framewpsmethod.h"

#include "app/debug.h"
#include "app/globalvar.h"
#include "app/timing.h"
#include "app/utility.h"
#include "app/validation.h"
#include "controls/timage.h"
#include "controls/trifacebtn.h"
#include "framework/pagekit.h"
#include "messages/appmessage.h"
#include "pages/wireless/formwpssurvey.h"
#include "pages/wireless/framesitesurvey.h"
#include "protocol/devicewaits.h"
#include "protocol/formudp.h"
#include "protocol/wpsstatus.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <memory>

uint32_t TFrameWPSMethod::WpsStartTick = 0;
bool TFrameWPSMethod::WpsStartSeen = false;

namespace {

// The WPS method values the page writes.
constexpr int kWpsPushButton = 1;
constexpr int kWpsPin = 0;

// WPS status codes the page acts on.
constexpr int kStatusIdle = 1;
constexpr int kStatusFail = 2;
constexpr int kStatusStart = 3;
constexpr int kStatusConfigured = 34;

// Height of one layout row of the PIN block.
constexpr int kRow = 23;

} // namespace

TFrameWPSMethod::TFrameWPSMethod(QWidget *parent)
    : TFrameBase(parent), m_write({
                              .name = "TFrameWPSMethod::SendWpsRequest()",
                              .kinds = {REQ_WPS_PBC, REQ_WPS_PIN},
                              .send = [this](TFormUDP &engine) { SendWpsRequest(engine); },
                              .accepted = [this] { WatchWps(); },
                          })
{
    setObjectName(QStringLiteral("FrameWPSMethod"));
    using namespace PageKit;
    std::tie(ImgBG, GBoxWPSMethod) = PageFrame(this, PageHeight, "GBoxWPSMethod", QRect(24, 16, 553, 262),
                                               QStringLiteral("Wi-Fi Protected Setup"));
    RBtnPBC = Radio(GBoxWPSMethod, "RBtnPBC", QStringLiteral("Push Button Method"), QRect(16, 22, 300, 17));
    RBtnPBC->setChecked(true);

    LbPBCInfo = Label(GBoxWPSMethod, "LbPBCInfo", QString(), QRect(34, 42, 500, 36), Wrapped);

    RBtnPIN = Radio(GBoxWPSMethod, "RBtnPIN", QStringLiteral("PIN Method"), QRect(16, 84, 300, 17));

    const int p = RBtnPIN->y();
    LbSSID =
        Label(GBoxWPSMethod, "LbSSID", QStringLiteral("Wireless Device SSID:"), QRect(34, p + kRow, 130, 13));
    LbSSID->hide();

    EdtSSID = Edit(GBoxWPSMethod, "EdtSSID", 170, p + kRow, 200, SSID_MAX);
    EdtSSID->hide();

    BtnSelect = Button(GBoxWPSMethod, "BtnSelect", QStringLiteral("Select"), QRect(380, p + 41, 85, 21));
    BtnSelect->hide();

    LbDevPIN = Label(GBoxWPSMethod, "LbDevPIN", QStringLiteral("Wireless Device PIN:"),
                     QRect(34, p + kRow, 130, 13));

    EdtPIN = Edit(GBoxWPSMethod, "EdtPIN", 170, p + kRow, 120, 8);

    LbDevPINCode = Label(GBoxWPSMethod, "LbDevPINCode", QStringLiteral("................"),
                         QRect(170, p + kRow, 120, 13));
    LbDevPINCode->hide();

    LbPINInfo = Label(GBoxWPSMethod, "LbPINInfo", QString(), QRect(34, p + 2 * kRow, 500, 36), Wrapped);
    LbWPSMethodMsg = Label(GBoxWPSMethod, "LbWPSMethodMsg", QString(), QRect(16, 196, 520, 56), Wrapped);

    TimerTimerout = new QTimer(this);
    TimerTimerout->setObjectName(QStringLiteral("TimerTimerout"));
    TimerTimerout->setSingleShot(true);
    TimerTimerout->setInterval(Timing::Scaled(DeviceWait::WpsTimeLimit));

    std::tie(BtnExit, BtnBack, BtnNext) =
        WizardButtons(this, &TFrameWPSMethod::BtnExitClick, &TFrameWPSMethod::BtnBackClick,
                      &TFrameWPSMethod::BtnNextClick, Focus::Style, "BtnNext", QStringLiteral("Connect"));

    // The background lies under every other control.
    ImgBG->lower();

    connect(RBtnPBC, &QRadioButton::toggled, this, &TFrameWPSMethod::updateinfo);
    connect(RBtnPIN, &QRadioButton::toggled, this, &TFrameWPSMethod::updateinfo);
    connect(EdtPIN, &QLineEdit::textChanged, this, &TFrameWPSMethod::updateinfo);
    connect(EdtSSID, &QLineEdit::textChanged, this, &TFrameWPSMethod::updateinfo);
    connect(BtnSelect, &QPushButton::clicked, this, &TFrameWPSMethod::BtnSelectClick);
    connect(TimerTimerout, &QTimer::timeout, this, &TFrameWPSMethod::TimerTimeroutTimer);
    SkinOnLoad(ImgBG, {BtnExit, BtnBack, BtnNext, BtnSelect});

    updateinfo();
}

TFrameWPSMethod::~TFrameWPSMethod() = default;

const char *TFrameWPSMethod::WpsStatusText(int code)
{
    return WpsStatus::Text(code);
}

void TFrameWPSMethod::LoadPageTexts()
{
    EdtPIN->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), EdtPIN));
    TFrameBase::LoadPageTexts();
}

bool TFrameWPSMethod::CanEnter(TFrameBase *fromPage, bool isBack, int param)
{
    if (!isBack) {
        const bool bridge = IsBridgeMode();
        if (bridge) {
            if (TFormUDP *udp = FormUDP())
                udp->SendStationGetConfig(DeviceWait::StationGetConfig);
            else
                DebugPrint("TFrameWPSMethod::CanEnter() FAIL no engine for SendStationGetConfig");
        }
        RBtnPBC->setChecked(true);
        updateinfo();
        ApplyModeTexts(bridge);
        m_shownSsid = bridge ? SsidBytes(g_Var.SelectedAp.Ssid) : QByteArray();
        EdtSSID->setText(SsidText(m_shownSsid));
        ApplyModeLayout(bridge);
    }
    return TFrameBase::CanEnter(fromPage, isBack, param);
}

bool TFrameWPSMethod::IsBridgeMode() const
{
    return g_Var.DeviceMode != DEVICE_AP;
}

void TFrameWPSMethod::ApplyModeTexts(bool bridge)
{
    using namespace StringKey;
    LbPBCInfo->setText(ReadText(bridge ? WPSMethod_BRIDGE_MODE_PBC_MSG : WPSMethod_AP_MODE_PBC_MSG));
    LbPINInfo->setText(ReadText(bridge ? WPSMethod_BRIDGE_MODE_PIN_MSG : WPSMethod_AP_MODE_PIN_MSG));
    LbWPSMethodMsg->setText(ReadText(bridge ? WPSMethod_BRIDGE_MODE_MSG : WPSMethod_AP_MODE_MSG));
    LbSSID->setText(ReadText(bridge ? WPSMethod_BRIDGE_MODE_SSID : WPSMethod_AP_MODE_SSID));
    LbDevPIN->setText(ReadText(bridge ? WPSMethod_BRIDGE_MODE_DevPIN : WPSMethod_AP_MODE_DevPIN));
}

void TFrameWPSMethod::ApplyModeLayout(bool bridge)
{
    const int p = RBtnPIN->y();
    LbSSID->move(LbSSID->x(), p + kRow);
    EdtSSID->move(EdtSSID->x(), p + kRow);
    BtnSelect->move(BtnSelect->x(), p + 41);
    LbSSID->setVisible(bridge);
    EdtSSID->setVisible(bridge);
    BtnSelect->setVisible(bridge);

    const int pinTop = bridge ? p + 2 * kRow : p + kRow;
    LbDevPIN->move(LbDevPIN->x(), pinTop);
    EdtPIN->move(EdtPIN->x(), pinTop);
    LbPINInfo->move(LbPINInfo->x(), pinTop + kRow);

    if (bridge) {
        LbDevPINCode->move(EdtPIN->pos());
        LbDevPINCode->show();
        EdtPIN->hide();
    } else {
        EdtPIN->show();
        LbDevPINCode->hide();
    }
}

void TFrameWPSMethod::updateinfo()
{
    const bool pin = RBtnPIN->isChecked();
    EdtPIN->setEnabled(pin);
    EdtSSID->setEnabled(pin);
    BtnSelect->setEnabled(pin);

    bool enable = false;
    if (RBtnPBC->isChecked())
        enable = true;
    else if (pin && !IsBridgeMode())
        enable = EdtPIN->text().length() == 8;
    else if (pin)
        enable = !EdtSSID->text().isEmpty() && EdtPIN->text().length() == 8;
    BtnNext->setEnabled(enable);
}

void TFrameWPSMethod::BtnExitClick()
{
    PostWizardCommand(WIZARD_EXIT);
}

void TFrameWPSMethod::BtnBackClick()
{
    PostWizardCommand(WIZARD_BACK);
}

void TFrameWPSMethod::BtnSelectClick()
{
    auto dialog = std::make_unique<TFormWPSSurvey>();
    m_survey = dialog.get();
    if (dialog->ShowCentered(this) == 1) {
        m_shownSsid = dialog->SelectedSsid();
        EdtSSID->setText(SsidText(m_shownSsid));
    }
    m_survey = nullptr;
}

void TFrameWPSMethod::BtnNextClick()
{
    const bool bridge = IsBridgeMode();
    if (RBtnPBC->isChecked()) {
        g_Var.WpsMethod = kWpsPushButton;
    } else {
        // The access point's own bytes unless the user typed another name,
        // which must fit the 32 bytes of a network name.
        const QByteArray ssid = SsidFromText(EdtSSID->text(), m_shownSsid);
        if (const TextKey *failure = CheckWpsPinMethod(bridge, EdtPIN->text(), ssid)) {
            ShowMessage(*failure);
            return;
        }
        g_Var.WpsMethod = kWpsPin;
        bool ok = false;
        const uint32_t pin = EdtPIN->text().toUInt(&ok, 10);
        // In bridge mode the edit holds the device's own PIN text, which the
        // request does not carry; a text that is no number counts as 0.
        if (!ok)
            DebugPrint("TFrameWPSMethod::BtnNextClick() PIN \"%s\" is not a number",
                       qUtf8Printable(EdtPIN->text()));
        g_Var.NewWlConfig.EnrolleePin = ok ? pin : 0;
        if (bridge)
            SetSsid(g_Var.NewWlConfig.Ssid, ssid);
    }

    if (RunWps()) {
        PostWizardCommand(WIZARD_NEXT);
    } else {
        ShowMessage(MessageKey::ER_CONNECT);
        if (g_Var.NonWorking)
            PostWizardCommand(WIZARD_NEXT);
    }
    TimerTimerout->stop();
}

bool TFrameWPSMethod::RunWps()
{
    // A status 3 of an earlier (failed) run must not let this run's status 1
    // count as success.
    WpsStartSeen = false;
    return m_write.Run(this) == ProgressResult::Success;
}

void TFrameWPSMethod::SendWpsRequest(TFormUDP &engine)
{
    if (g_Var.WpsMethod == kWpsPushButton)
        engine.SendWPSPBC(DeviceWait::Wps);
    else
        engine.SendWPSPIN(DeviceWait::Wps, IsBridgeMode() ? WpsPinForm::UpstreamSsid : WpsPinForm::Enrollee);
}

void TFrameWPSMethod::WatchWps()
{
    m_wpsWatching = true;
    TimerTimerout->setInterval(Timing::Scaled(DeviceWait::WpsTimeLimit));
    TimerTimerout->start();
}

void TFrameWPSMethod::StopWatching()
{
    m_wpsWatching = false;
    TimerTimerout->stop();
}

void TFrameWPSMethod::HandleAppMessage(AppMessage *message)
{
    // While the survey dialog is up, its list is the one waiting for the
    // engine; the page itself stays out of the way.
    if (m_survey) {
        m_survey->ForwardMessage(message->id, message->wParam, message->lParam);
        return;
    }
    if (!m_write.HandleMessage(*message)) {
        if (message->id == UM_UDP_REPLY && message->wParam == REQ_STATION_GET_CONFIG) {
            // The bridge's own PIN, asked for on entry.
            const QString pin = FieldText(g_Var.ApClientPin);
            LbDevPINCode->setText(pin);
            EdtPIN->setText(pin);
        } else if (message->id == UM_UDP_EVENT && m_write.Open()) {
            OnUdpEvent(int(message->wParam), int(message->lParam));
        }
    }
    TFrameBase::HandleAppMessage(message);
}

void TFrameWPSMethod::OnUdpEvent(int type, int value)
{
    if (!m_wpsWatching)
        DebugPrint("TFrameWPSMethod::WndProc ignore UM_UDP_EVENT %d, %d", type, value);
    else if (type == UDP_EVENT_WPS_STATUS)
        OnWpsStatus(value);
    else
        DebugPrint("TFrameWPSMethod::WndProc UM_UDP_EVENT, %d, %d", type, value);
}

void TFrameWPSMethod::OnWpsStatus(int code)
{
    DebugPrint("TFrameWPSMethod::RecvWPSStatus %d=%s", code, WpsStatusText(code));
    switch (code) {
    case kStatusIdle: {
        StopWatching();
        // Without a "Start WSC Process" in this run there is no window at all.
        const uint32_t since = Timing::TickCount() - WpsStartTick;
        if (WpsStartSeen && since <= DeviceWait::WpsIdleAfterStart)
            SendGetConfigAfterWps(DeviceWait::SettleAfterWpsIdle);
        else
            m_write.Finish(ProgressResult::Failure);
        break;
    }
    case kStatusFail:
        StopWatching();
        m_write.Finish(ProgressResult::Failure);
        break;
    case kStatusStart:
        WpsStartTick = Timing::TickCount();
        WpsStartSeen = true;
        break;
    case kStatusConfigured:
        StopWatching();
        if (IsBridgeMode())
            m_write.Finish(ProgressResult::Success);
        else
            SendGetConfigAfterWps(DeviceWait::SettleAfterWpsConfigured);
        break;
    default:
        break;
    }
}

void TFrameWPSMethod::SendGetConfigAfterWps(int settleMs)
{
    // The dialog may have reached its own time limit while the page waited
    // for the device to settle; a read then would only be ignored.
    if (!m_write.ReadBack(settleMs))
        DebugPrint("TFrameWPSMethod::SendGetConfigAfterWps() the run has already ended");
}

void TFrameWPSMethod::TimerTimeroutTimer()
{
    DebugPrint("TFrameWPSMethod::TimerTimeroutTimer");
    StopWatching();
    m_write.Finish(ProgressResult::Failure);
}
