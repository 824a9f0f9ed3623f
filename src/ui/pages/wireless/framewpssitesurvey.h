#pragma once
// The list frame of the WPS survey dialog: runs a site survey on the device
// and lists only the access points that offer WPS, with the same columns,
// drawing and sorting as the site survey page. Its authentication column
// knows only the pre-shared-key codes; the enterprise codes show empty.
// The frame has no wizard buttons: the dialog around it decides.

#include "framework/framebase.h"

#include <QByteArray>
#include <QString>

class QGroupBox;
class TPaintPanel;
class TSortListView;
class TTrifaceBtn;

class TFrameWPSSiteSurvey : public TFrameBase
{
    Q_OBJECT
public:
    explicit TFrameWPSSiteSurvey(QWidget *parent = nullptr);
    ~TFrameWPSSiteSurvey() override;

    // 0 "OPEN", 1 empty, 2 "WPA-PSK", 3 "WPA2-PSK", 4 "WPA-PSK/WPA2-PSK";
    // every other code (5 to 7 included) empty.
    static QString AuthenticationText(int code);

    // Controls, in creation (tab) order.
    QGroupBox *GroupBox1 = nullptr;
    TSortListView *SurveyList = nullptr;
    TPaintPanel *PlSearch = nullptr;
    TTrifaceBtn *BtnRefresh = nullptr;

    void BtnRefreshClick();
    void ClearSurveyList();

    // The SSID bytes of the selected row, or none when no row is selected.
    QByteArray SelectedSsid() const;

protected:
    void HandleAppMessage(AppMessage *message) override;

private:
    void StartSurvey();
    void SurveyDone();
    void SurveyListColumnClick(int column);
};
