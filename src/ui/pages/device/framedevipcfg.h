#pragma once
// TFrameDevIPCfg: the static address of the device. The user edits address,
// mask and gateway; the page proposes a mask from the address class, turns a
// broadcast address (.255) into .254, checks the values in a fixed order
// with one message per failed rule, and writes them to the device (the same
// write as a switch to a dynamic address) unless they equal what the device
// already has.

#include "framework/framebase.h"
#include "pages/device/applyipsetting.h"

class QGroupBox;
class QLabel;
class QRadioButton;
class TFrameIPEditRect;
class TImage;
class TTrifaceBtn;
struct TextKey;

class TFrameDevIPCfg : public TFrameBase
{
    Q_OBJECT
public:
    explicit TFrameDevIPCfg(QWidget *parent = nullptr);
    ~TFrameDevIPCfg() override;

    // A forward entry fills the fields from NewIpConfig; a backward entry
    // leaves them as the user left them.
    bool CanEnter(TFrameBase *fromPage, bool isBack, int param) override;

    // The checks of the entered values, in order; nullptr when they pass,
    // else the message of the first rule that failed.
    const TextKey *Validate() const;

    TImage *ImgBG;
    QGroupBox *GBoxCfg;
    QLabel *LbCfgInfo;
    QLabel *LbIP;
    TFrameIPEditRect *IPEditIP;
    QLabel *LbMask;
    TFrameIPEditRect *IPEditMask;
    QLabel *LbGateway;
    TFrameIPEditRect *IPEditGateway;
    QLabel *LbDNS1;
    TFrameIPEditRect *IPEditDNS1;
    QLabel *LbDNS2;
    TFrameIPEditRect *IPEditDNS2;
    QRadioButton *RBtnDHCP;
    QRadioButton *RBtnStatic;
    QLabel *LbStaticIPInfo;
    QLabel *LbClickNext;
    TTrifaceBtn *BtnBack;
    TTrifaceBtn *BtnNext;
    TTrifaceBtn *BtnExit;

    // The write of the values (dialog, RetryLogin).
    ApplyIpSetting IpSetting;

protected:
    void HandleAppMessage(AppMessage *message) override;

private:
    void UpdateEnabled();
    void ProposeMask();
    void BtnNextClick();
};
