#pragma once
// TFrameWlModeSel: the device's operating mode, access point or "AP Client"
// (a wireless bridge). On a forward entry the page asks the device for its
// mode (without a dialog) and shows the answer; a changed choice is written
// at once under the progress dialog, after which the whole configuration is
// read again. The chosen DeviceMode steers the rest of the wizard.

#include "framework/devicewrite.h"
#include "framework/framebase.h"

class QGroupBox;
class QLabel;
class QRadioButton;
class TImage;
class TTrifaceBtn;

class TFrameWlModeSel : public TFrameBase
{
    Q_OBJECT
public:
    explicit TFrameWlModeSel(QWidget *parent = nullptr);
    ~TFrameWlModeSel() override;

    // Also starts DeviceMode as DEVICE_AP: the value before any device
    // has answered.
    void LoadPageTexts() override;
    bool CanEnter(TFrameBase *fromPage, bool isBack, int param) override;
    void Entered(TFrameBase *fromPage, bool isBack, int param) override;

    // Shows g_Var.DeviceMode in the two radio buttons (an unknown mode is
    // logged and leaves them alone).
    void ShowDeviceMode();

    TImage *ImgBG;
    QGroupBox *GBoxWlModeSel;
    QRadioButton *RBtnAPMode;
    QLabel *LbAPModeInfo;
    TImage *Image1;
    QRadioButton *RBtnWirelessBridge;
    QLabel *LbWirelessBridgeInfo;
    TImage *Image2;
    QLabel *Label1;
    TTrifaceBtn *BtnBack;
    TTrifaceBtn *BtnExit;
    TTrifaceBtn *BtnNext;

    // The progress dialog while a mode change runs, else nullptr.
    TFormProgress *ProgressDialog() const { return m_write.Dialog(); }

protected:
    void HandleAppMessage(AppMessage *message) override;

private:
    void NextClick();
    void BackClick();
    // Writes g_Var.DeviceMode; on failure outside test mode DeviceMode goes
    // back to `previousMode` when the device did not acknowledge the
    // set-mode request (it still has that mode).
    void ApplyDeviceMode(int previousMode);

    // The set-mode write; its re-login keeps the old login, and the device
    // settles after the read-back, which shows the mode it ended up with.
    DeviceWrite m_write;
};
