#pragma once
// TFrameSetupMethod: shows the device's current address and asks how it
// shall get one: automatically (written to the device at once) or from the
// values of the next page. Three more choices (wireless only, the device's
// web interface, advanced) are hidden unless the settings file shows them.
// The choice goes to g_Var.SetupMethod; the host reads RBtnSetIP itself.

#include "framework/framebase.h"
#include "pages/device/applyipsetting.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QRadioButton;
class TImage;
class TTrifaceBtn;

class TFrameSetupMethod : public TFrameBase
{
    Q_OBJECT
public:
    explicit TFrameSetupMethod(QWidget *parent = nullptr);
    ~TFrameSetupMethod() override;

    // Shows CurIpConfig; a forward entry preselects "Dynamic".
    bool CanEnter(TFrameBase *fromPage, bool isBack, int param) override;

    TImage *ImgBG;
    QGroupBox *GBoxSetupMethod;
    QLabel *LbCurrentIP;
    QLabel *LbIP;
    QLabel *LblIP;
    QLabel *LbMask;
    QLabel *LblMask;
    QLabel *LbGateway;
    QLabel *LblGateway;
    QRadioButton *RBtnSetIPDHCP;
    QLabel *LbDHCPInfo;
    QRadioButton *RBtnSetIP;
    QLabel *LbSetIPInfo;
    QRadioButton *RBtnSetWireless;
    QRadioButton *RBtnWebUI;
    QRadioButton *RBtnSetAdvance;
    QLabel *LbClickNext;
    TTrifaceBtn *BtnBack;
    TTrifaceBtn *BtnNext;
    TTrifaceBtn *BtnExit;

    // The write of a dynamic address (dialog, RetryLogin).
    ApplyIpSetting IpSetting;

protected:
    void HandleAppMessage(AppMessage *message) override;

private:
    void UpdateNextCaption();
    void BtnNextClick();
};
