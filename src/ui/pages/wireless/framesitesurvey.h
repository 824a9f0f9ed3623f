#pragma once
// The site survey page: the first wireless page in bridge mode. It asks the
// device which wireless networks it sees, lists them in a sortable,
// owner-drawn list and lets the user pick the access point to join. Connect
// (configure a profile for the chosen network), WPS (join it by Wi-Fi
// Protected Setup) and Manual (set up without the list) record the way on in
// WlMethod; the chosen network goes to SelectedAp, from which the later pages
// pre-fill SSID, security and the WPS SSID.
//
// The list itself (its columns, rows, icons, drawing and sort order) is a
// control shared with the WPS survey dialog's frame (surveylistview.h); the
// survey's run against the engine is shared through the helpers below.

#include "app/records.h"
#include "controls/surveylistview.h"
#include "framework/framebase.h"

#include <QString>
#include <functional>
#include <vector>

class QGroupBox;
class TImage;
class TPaintPanel;
class TSortListView;
class TTrifaceBtn;

namespace SurveyView {

// A survey list view: a TSortListView that draws its rows itself (the
// selection box, blue text for flagged networks, the skin's icons) over a
// background striped in light yellow and white.
TSortListView *Create(QWidget *parent);

// Starts a survey for a page: without a login it logs in first (the login
// answer starts the survey again); otherwise it disables Refresh, empties
// the list, shows the search panel and asks the device. `page` names the
// page in the log line of a missing engine.
void StartSurvey(const char *page, TSortListView *list, TPaintPanel *searching, TTrifaceBtn *refresh);

// Shows a finished survey: refills the list from `entries` (authentication
// texts from `authText`), enables Refresh and hides the search panel.
void ShowSurvey(TSortListView *list, const std::vector<SurveyEntry> &entries, QString (*authText)(int),
                TPaintPanel *searching, TTrifaceBtn *refresh);

// The engine messages of a survey page: the survey's answer or a time-out
// ends the survey (`done`), an accepted login starts it (`start`), any other
// answer is taken without effect. Returns false for every other message,
// which the page passes on to its base.
bool HandleEngineMessage(const AppMessage &message, const std::function<void()> &start,
                         const std::function<void()> &done);

} // namespace SurveyView

class TFrameSiteSurvey : public TFrameBase
{
    Q_OBJECT
public:
    explicit TFrameSiteSurvey(QWidget *parent = nullptr);
    ~TFrameSiteSurvey() override;

    void ReleasePage() override;
    // Every visit, in both directions: forget the previous choice and start
    // a new survey.
    bool CanEnter(TFrameBase *fromPage, bool isBack, int param) override;

    // The network used instead of a selection in test mode.
    static SurveyEntry NonWorkingEntry();

    // Controls, in creation (tab) order.
    TImage *ImgBG = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    TSortListView *SurveyList = nullptr;
    TPaintPanel *PlSearch = nullptr;
    TTrifaceBtn *BtnRefresh = nullptr;
    TTrifaceBtn *BtnExit = nullptr;
    TTrifaceBtn *BtnManual = nullptr;
    TTrifaceBtn *BtnWPS = nullptr;
    TTrifaceBtn *BtnBack = nullptr;
    TTrifaceBtn *BtnNext = nullptr;

    // Button commands.
    void BtnRefreshClick();
    void BtnNextClick(); // "Connect"
    void BtnWPSClick();
    void BtnManualClick();
    void BtnExitClick();
    void BtnBackClick();

    void ClearSurveyList();

protected:
    void HandleAppMessage(AppMessage *message) override;

private:
    void StartSurvey();
    void SurveyDone();
    void SurveyListSelectItem();
    void SurveyListColumnClick(int column);
};
