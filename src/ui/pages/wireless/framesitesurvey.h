#pragma once
// The site survey page: the first wireless page in bridge mode. It asks the
// device which wireless networks it sees, lists them in a sortable,
// owner-drawn list and lets the user pick the access point to join. Connect
// (configure a profile for the chosen network), WPS (join it by Wi-Fi
// Protected Setup) and Manual (set up without the list) record the way on in
// WlMethod; the chosen network goes to SelectedAp, from which the later pages
// pre-fill SSID, security and the WPS SSID.
//
// The list itself (its columns, rows, icons, drawing and sort order) is
// shared with the WPS survey dialog's frame through the helpers below.

#include "app/records.h"
#include "wizard/framebase.h"

#include <QString>
#include <QTreeWidgetItem>
#include <functional>
#include <vector>

class QGroupBox;
class QPainter;
class QRect;
class TImage;
class TPaintPanel;
class TSortListView;
class TTrifaceBtn;

// Column indexes of both survey lists.
enum SurveyColumn : int {
    SURVEY_COL_ICON = 0,
    SURVEY_COL_SSID = 1,
    SURVEY_COL_CHANNEL = 2,
    SURVEY_COL_SIGNAL = 3,
    SURVEY_COL_ENCRYPTION = 4,
    SURVEY_COL_AUTHENTICATION = 5,
    SURVEY_COL_BSSID = 6,
    SURVEY_COL_COUNT = 7,
};

// Item data role that holds a cell's icon index into the skin's ImgsType
// list (-1 or absent: no icon).
inline constexpr int SURVEY_ICON_ROLE = Qt::UserRole + 1;

// One row of a survey list. The row owns its network's record; it goes with
// the row when the list is cleared or destroyed.
class TSurveyItem : public QTreeWidgetItem
{
public:
    explicit TSurveyItem(const SurveyEntry &entry);
    SurveyEntry Entry;
};

namespace SurveyView {

// "Not Use", "WEP", "TKIP", "AES", "TKIP/AES"; any other code empty.
QString EncryptionText(int code);
// The site survey page's authentication texts: 0 "OPEN", 1 empty,
// 2 "WPA-PSK", 3 "WPA2-PSK", 4 "WPA-PSK/WPA2-PSK", 5 "WPA", 6 "WPA2",
// 7 "WPA/WPA2"; any other code empty.
QString AuthenticationText(int code);
// Row icon: +1 when Status is not 0, +2 when Authentication is not 0, so 0
// and 1 are open networks, 2 and 3 secured ones.
int RowIcon(const SurveyEntry &entry);
// Signal icon: 4 for 0..19 % up to 8 for 80 % and more.
int SignalIcon(int signal);

// A survey list view: a TSortListView that draws its rows itself (the
// selection box, blue text for flagged networks, the skin's icons) over a
// background striped in light yellow and white.
TSortListView *Create(QWidget *parent);

// Sets up a list for the survey pages: the seven columns with their
// captions, widths and alignments, the row drawing, striped background and
// the skin's icon list, initial sort by signal strongest first, and no
// re-sort on a click of the icon column.
void Setup(TSortListView *list);

// Adds one row per entry, in order, then sorts the list once. The
// authentication column's text comes from `authText`.
void Fill(TSortListView *list, const std::vector<SurveyEntry> &entries, QString (*authText)(int));

// Sorts the list by its current SortColunm and Increase.
void Sort(TSortListView *list);

// The list's compare rule for two rows: negative, 0 or positive; see the
// page's behaviour for the keys by column. Equal keys compare as 0.
int Compare(const TSortListView *list, const QTreeWidgetItem *item1, const QTreeWidgetItem *item2);

// The selected row's record, or nullptr when no row is selected.
const SurveyEntry *SelectedEntry(const TSortListView *list);

// Draws one cell's text: nothing for an empty text; otherwise inside the
// cell less 5 pixels left and right, with the column's alignment, an end
// ellipsis and tab expansion, centred vertically, on a transparent
// background.
void SubItemTextOut(QPainter &painter, const QString &text, const QRect &cell, Qt::Alignment alignment,
                    bool rightToLeft);

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
