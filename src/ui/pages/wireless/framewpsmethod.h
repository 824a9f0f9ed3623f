#pragma once
// The WPS page: runs Wi-Fi Protected Setup between the device and another
// wireless station. As an access point the device is the registrar (push
// button, or the other station's 8-digit PIN typed here); as a bridge it
// joins an access point (push button, or its own PIN, read from the device
// when the page is entered, together with the SSID of the access point).
// The page sends the WPS request under the progress dialog, follows the
// device's WPS status events and ends the dialog with success once the
// device reports that it is configured; the host then shows the success
// page. While the WPS survey dialog is open, every message reaching the page
// is handed on to that dialog.

#include "framework/devicewrite.h"
#include "framework/framebase.h"

#include <QByteArray>
#include <cstdint>

class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTimer;
class TFormWPSSurvey;
class TImage;
class TTrifaceBtn;

class TFrameWPSMethod : public TFrameBase
{
    Q_OBJECT
public:
    explicit TFrameWPSMethod(QWidget *parent = nullptr);
    ~TFrameWPSMethod() override;

    void LoadPageTexts() override;
    // Forward entries ask a bridge for its own PIN, select the push-button
    // method and lay the page out for the device's mode.
    bool CanEnter(TFrameBase *fromPage, bool isBack, int param) override;

    // The text the log shows for a WPS status code ("Unknown" for codes
    // outside the device's table).
    static const char *WpsStatusText(int code);

    // Program-wide: the tick count at which the device last reported
    // "Start WSC Process" (status 3); whether it did in the current WPS run
    // (cleared when a run starts).
    static uint32_t WpsStartTick;
    static bool WpsStartSeen;

    // Controls, in creation (tab) order.
    TImage *ImgBG = nullptr;
    QGroupBox *GBoxWPSMethod = nullptr;
    QRadioButton *RBtnPBC = nullptr;
    QLabel *LbPBCInfo = nullptr;
    QRadioButton *RBtnPIN = nullptr;
    QLabel *LbSSID = nullptr;
    QLineEdit *EdtSSID = nullptr;
    TTrifaceBtn *BtnSelect = nullptr;
    QLabel *LbDevPIN = nullptr;
    QLineEdit *EdtPIN = nullptr;
    QLabel *LbDevPINCode = nullptr;
    QLabel *LbPINInfo = nullptr;
    QLabel *LbWPSMethodMsg = nullptr;
    QTimer *TimerTimerout = nullptr;
    TTrifaceBtn *BtnExit = nullptr;
    TTrifaceBtn *BtnBack = nullptr;
    TTrifaceBtn *BtnNext = nullptr;

    // Page state, readable by tests and the host.
    bool WpsWatching() const { return m_wpsWatching; }
    bool RetryLogin() const { return m_write.RetryLogin(); }
    TFormProgress *ProgressDialog() const { return m_write.Dialog(); }
    TFormWPSSurvey *SurveyDialog() const { return m_survey; }

    // Button commands.
    void BtnExitClick();
    void BtnBackClick();
    void BtnNextClick(); // "Connect"
    void BtnSelectClick();

    // The enabling rule of the PIN controls and of Connect.
    void updateinfo();

    // Runs the WPS request under the progress dialog; true when the dialog
    // ended with success.
    bool RunWps();

protected:
    void HandleAppMessage(AppMessage *message) override;

private:
    bool IsBridgeMode() const;
    void ApplyModeTexts(bool bridge);
    void ApplyModeLayout(bool bridge);
    // The write's request: push button or PIN, in the form of the mode.
    void SendWpsRequest(TFormUDP &engine);
    // The device accepted the request: its status events decide the run.
    void WatchWps();
    // A device event of the running request; followed only while watching.
    void OnUdpEvent(int type, int value);
    void OnWpsStatus(int code);
    // The configuration read that ends a successful run once the device
    // has settled (its answer ends the dialog with success).
    void SendGetConfigAfterWps(int settleMs);
    void TimerTimeroutTimer();
    void StopWatching();

    // The WPS request, its one re-login and the read-back.
    DeviceWrite m_write;
    // Set only while BtnSelectClick holds the window on its stack.
    TFormWPSSurvey *m_survey = nullptr;
    bool m_wpsWatching = false;
    // The bytes of the access point name last put into EdtSSID (bridge mode).
    QByteArray m_shownSsid;
};
