#pragma once
// The network-name sub-page of the wireless profile sequence: the user types
// the SSID. A forward entry prefills it (bridge mode: the network chosen on
// the site survey; access point: the SSID setting of the settings file);
// Next refuses an empty name and stores the name with automatic channels in
// g_Var.NewWlConfig: the prefilled name's own bytes when the user left it,
// else the typed text as UTF-8 (at most 32 bytes).

#include "controls/trifacebtn.h"
#include "framework/framebase.h"

#include <QByteArray>

class QGroupBox;
class QLabel;
class QLineEdit;
class TImage;

class TFrameWlProfSSID : public TFrameBase
{
    Q_OBJECT
public:
    explicit TFrameWlProfSSID(QWidget *parent = nullptr);

    bool CanEnter(TFrameBase *fromPage, bool isBack, int param) override;
    void Entered(TFrameBase *fromPage, bool isBack, int param) override;

    TImage *ImgBG;
    QGroupBox *GBoxSSID;
    QLabel *LbSSID;
    QLineEdit *EdtSSID;
    TTrifaceBtn *BtnExit;
    TTrifaceBtn *BtnBack;
    TTrifaceBtn *BtnNext;

    void BtnExitClick();
    void BtnBackClick();
    void BtnNextClick();

private:
    QByteArray m_shownSsid; // the bytes of the name the edit was prefilled with
};
