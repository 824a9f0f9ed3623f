#include "pages/wireless/framewpsmethod.h"

#include "app/debug.h"
#include "app/globalvar.h"
#include "app/timing.h"
#include "app/utility.h"
#include "app/validation.h"
#include "controls/trifacebtn.h"
#include "messages/appmessage.h"
#include "pages/wireless/formwpssurvey.h"
#include "pages/wireless/framesitesurvey.h"
#include "protocol/formudp.h"
#include "protocol/wpsstatus.h"
#include "wizard/formprogress.h"
#include "wizard/pagekit.h"
#include "wizard/timage.h"

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

// Waits of the WPS run, in product milliseconds.
constexpr int kWpsRequestWait = 10000;
constexpr int kLoginWait = 5000;
constexpr int kGetConfigWait = 15000;
constexpr int kStationGetConfigWait = 3000;
constexpr int kWpsTimeLimit = 180000;
// Status 1 counts as the end of a good run only this long after status 3.
constexpr uint32_t kIdleAfterStartWindow = 100000;
// The device applies the new settings before it answers again.
constexpr unsigned kSettleAfterIdle = 25000;
constexpr unsigned kSettleAfterConfigured = 10000;

// WPS status codes the page acts on.
constexpr int kStatusIdle = 1;
constexpr int kStatusFail = 2;
constexpr int kStatusStart = 3;
constexpr int kStatusConfigured = 34;

// Height of one layout row of the PIN block.
constexpr int kRow = 23;

} // namespace

TFrameWPSMethod::TFrameWPSMethod(QWidget *parent) : TFrameBase(parent)
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
    TimerTimerout->setInterval(Timing::Scaled(kWpsTimeLimit));

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
                udp->SendStationGetConfig(kStationGetConfigWait);
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
    m_retryLogin = true;
    // A status 3 of an earlier (failed) run must not let this run's status 1
    // count as success.
    WpsStartSeen = false;
    auto progress = std::make_unique<TFormProgress>();
    progress->Tag = 0;
    progress->OnProcess = [this] { SendWpsRequest(); };
    m_progress = progress.get();
    const int result = progress->Execute(this);
    m_progress = nullptr;
    return result == 1;
}

void TFrameWPSMethod::SendWpsRequest()
{
    TFormUDP *udp = FormUDP();
    if (!udp) {
        DebugPrint("TFrameWPSMethod::SendWpsRequest() FAIL no engine");
        EndProgress(2);
        return;
    }
    if (udp->loggedIn()) {
        if (g_Var.WpsMethod == kWpsPushButton)
            udp->SendWPSPBC(kWpsRequestWait);
        else
            udp->SendWPSPIN(kWpsRequestWait,
                            IsBridgeMode() ? WpsPinForm::UpstreamSsid : WpsPinForm::Enrollee);
    } else if (m_retryLogin) {
        m_retryLogin = false;
        udp->SendLogin(kLoginWait);
    } else {
        EndProgress(2);
    }
}

void TFrameWPSMethod::EndProgress(int result)
{
    if (m_progress)
        m_progress->done(result);
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

    const int kind = int(message->wParam);
    switch (message->id) {
    case UM_UDP_REPLY:
        if (!m_progress) {
            if (kind == REQ_STATION_GET_CONFIG) {
                const QString pin = FieldText(g_Var.ApClientPin);
                LbDevPINCode->setText(pin);
                EdtPIN->setText(pin);
            }
            return;
        }
        switch (kind) {
        case REQ_WPS_PBC:
        case REQ_WPS_PIN:
            if (message->lParam) {
                m_wpsWatching = true;
                TimerTimerout->setInterval(Timing::Scaled(kWpsTimeLimit));
                TimerTimerout->start();
            } else {
                EndProgress(2);
            }
            break;
        case REQ_LOGIN:
            if (message->lParam)
                SendWpsRequest();
            else
                EndProgress(2);
            break;
        case REQ_GET_CONFIG:
            EndProgress(1);
            break;
        default:
            break;
        }
        return;

    case UM_UDP_TIMEOUT:
        if (!m_progress)
            return;
        switch (kind) {
        case REQ_WPS_PBC:
        case REQ_WPS_PIN:
            if (m_retryLogin) {
                m_retryLogin = false;
                if (TFormUDP *udp = FormUDP()) {
                    udp->SendLogout(0);
                    udp->SendLogin(kLoginWait);
                } else {
                    EndProgress(2);
                }
            } else {
                EndProgress(2);
            }
            break;
        case REQ_LOGIN:
        case REQ_GET_CONFIG:
            EndProgress(2);
            break;
        default:
            break;
        }
        return;

    case UM_UDP_EVENT:
        if (!m_progress)
            return;
        if (!m_wpsWatching) {
            DebugPrint("TFrameWPSMethod::WndProc ignore UM_UDP_EVENT %d, %d", int(message->wParam),
                       int(message->lParam));
            return;
        }
        if (message->wParam == UDP_EVENT_WPS_STATUS)
            OnWpsStatus(int(message->lParam));
        else
            DebugPrint("TFrameWPSMethod::WndProc UM_UDP_EVENT, %d, %d", int(message->wParam),
                       int(message->lParam));
        return;

    default:
        TFrameBase::HandleAppMessage(message);
        return;
    }
}

void TFrameWPSMethod::OnWpsStatus(int code)
{
    DebugPrint("TFrameWPSMethod::RecvWPSStatus %d=%s", code, WpsStatusText(code));
    switch (code) {
    case kStatusIdle: {
        StopWatching();
        // Without a "Start WSC Process" in this run there is no window at all.
        const uint32_t since = Timing::TickCount() - WpsStartTick;
        if (WpsStartSeen && since <= kIdleAfterStartWindow) {
            ProcessDelay(kSettleAfterIdle);
            SendGetConfigAfterWps();
        } else {
            EndProgress(2);
        }
        break;
    }
    case kStatusFail:
        StopWatching();
        EndProgress(2);
        break;
    case kStatusStart:
        WpsStartTick = Timing::TickCount();
        WpsStartSeen = true;
        break;
    case kStatusConfigured:
        StopWatching();
        if (IsBridgeMode()) {
            EndProgress(1);
        } else {
            ProcessDelay(kSettleAfterConfigured);
            SendGetConfigAfterWps();
        }
        break;
    default:
        break;
    }
}

void TFrameWPSMethod::SendGetConfigAfterWps()
{
    // The dialog may have reached its own time limit while the page waited
    // for the device to settle; a read then would only be ignored.
    if (!m_progress || !m_progress->isVisible()) {
        DebugPrint("TFrameWPSMethod::SendGetConfigAfterWps() the run has already ended");
        return;
    }
    if (TFormUDP *udp = FormUDP())
        udp->SendGetConfig(kGetConfigWait);
    else
        EndProgress(2);
}

void TFrameWPSMethod::TimerTimeroutTimer()
{
    DebugPrint("TFrameWPSMethod::TimerTimeroutTimer");
    StopWatching();
    if (m_progress)
        EndProgress(2);
}
