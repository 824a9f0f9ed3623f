#pragma once
// The confirmation sub-page, last of the wireless profile sequence. It shows
// the settings about to be written (the IP settings when they were edited in
// this run, then the wireless profile), saves them to a text file or prints
// them, and on Next writes the wireless settings to the device under the
// progress dialog: SendWlSetting for an access point, SendWlStationSetting
// for a bridge, one re-login after a time-out, the configuration read back
// after an accepted write. Only then does the sequence finish.

#include "controls/trifacebtn.h"
#include "framework/devicewrite.h"
#include "framework/framebase.h"

#include <QByteArray>
#include <QString>

class QGroupBox;
class QLabel;
class QPainter;
class TImage;

class TFrameWlProfConfirm : public TFrameBase
{
    Q_OBJECT
public:
    explicit TFrameWlProfConfirm(QWidget *parent = nullptr);
    ~TFrameWlProfConfirm() override;

    bool CanEnter(TFrameBase *fromPage, bool isBack, int param) override;

    TImage *ImgBG;
    QGroupBox *GBoxConfirm;
    QLabel *LbNetworkInfo;
    QLabel *LbIP;
    QLabel *LblIP;
    QLabel *LbMask;
    QLabel *LblMask;
    QLabel *LbGateway;
    QLabel *LblGateway;
    QLabel *LbWirelessInfo;
    QLabel *LbSSID;
    QLabel *LblSSID;
    QLabel *LbWirelessMode;
    QLabel *LblWirelessMode;
    QLabel *LbSecurity;
    QLabel *LblSecurity;
    QLabel *LbInfo1;
    QLabel *LblInfo1;
    QLabel *LbInfo2;
    QLabel *LblInfo2;
    QLabel *LbInfo3;
    QLabel *LblInfo3;
    QLabel *LbComfirmMsg;
    TTrifaceBtn *BtnSave;
    TTrifaceBtn *BtnPrint;
    TTrifaceBtn *BtnExit;
    TTrifaceBtn *BtnBack;
    TTrifaceBtn *BtnNext;

    // The file-save dialog's settings (SaveDlgSetting).
    static constexpr const char *SaveDefaultSuffix = "txt";
    static constexpr const char *SaveFilter = "Text File(*.txt)";

    // A text of this page's section of the settings file.
    QString PageText(const char *key, const char *def) const;

    // True when the IP settings belong on the summary: access-point mode, or
    // bridge mode reached through the site survey's manual setup.
    static bool NetworkBlockWanted();
    bool NetworkBlockShown() const;

    // Fills the labels from g_Var and lays the rows out (forward entry).
    void FillSummary();

    // The saved summary: the lines of the summary, "\r\n" line ends, UTF-8.
    QByteArray SettingsSummary() const;
    // Replaces `fileName` with the summary atomically; false (and nothing
    // changed on disk) when the file cannot be written.
    bool SaveSummary(const QString &fileName) const;
    // Draws the summary with an active painter on a printer at 10 pt:
    // headings at x 100, rows at x 200, y starting at 0 and growing by each
    // line's height, 100 units of space before each block.
    void PaintSummary(QPainter &painter) const;

    // The write's request: SendWlSetting for an access point,
    // SendWlStationSetting for a bridge.
    void SendProfile(TFormUDP &engine);
    // True while the progress dialog of a write is on screen.
    bool Writing() const { return m_write.Open(); }
    // The dialog of the write in progress, null otherwise.
    TFormProgress *ProgressDialog() const { return m_write.Dialog(); }

    void BtnExitClick();
    void BtnBackClick();
    void BtnNextClick();
    void BtnSaveClick();
    void BtnPrintClick();

protected:
    void HandleAppMessage(AppMessage *message) override;

private:
    static void LogFailure(DeviceWrite::Failure why, int kind);
    // Rows 18 pixels apart below the top of LbNetworkInfo, the wireless
    // block moved up when the network block is hidden.
    void LayoutRows();
    void SetDetailRow(QLabel *caption, QLabel *value, const QString &captionText, const QString &valueText);

    DeviceWrite m_write;
};
