#pragma once
// TFrameDevList: the page that finds the devices on the local segment. A
// search asks the engine to broadcast a discovery and, when the engine's
// wait has ended (or the page's own upper bound has passed), lists every
// device that answered, by name and MAC address, in the order they
// answered; when nobody answered, the empty list says what to check
// (MSG_NoDevice) until the next search. "Configure" takes the chosen device
// into g_Var, starts its configuration records afresh and moves the wizard
// on.

#include "app/records.h"
#include "framework/framebase.h"

#include <vector>

class QGroupBox;
class QLabel;
class QTimer;
class QTreeWidgetItem;
class TImage;
class TSortListView;
class TTrifaceBtn;

class TFrameDevList : public TFrameBase
{
    Q_OBJECT
public:
    explicit TFrameDevList(QWidget *parent = nullptr);
    ~TFrameDevList() override;

    void LoadPageTexts() override;
    void ReleasePage() override;
    // A forward entry starts a new search; a backward entry keeps the rows
    // and the selection.
    bool CanEnter(TFrameBase *fromPage, bool isBack, int param) override;

    // The record copy that row `row` owns; nullptr for no such row.
    const DeviceRecord *RowRecord(int row) const;
    // A search is running (Refresh disabled, "Searching..." shown).
    bool Searching() const;

    TImage *ImgBG;
    QGroupBox *GBoxDevList;
    QLabel *LbDevListInfo;
    TSortListView *LvDevList;
    TTrifaceBtn *BtnRefresh;
    QLabel *PlSearch;
    TTrifaceBtn *BtnExit;
    TTrifaceBtn *BtnBack;
    TTrifaceBtn *BtnCfg;
    QTimer *TimerSearch;

protected:
    void HandleAppMessage(AppMessage *message) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ClearList();
    void BtnRefreshClick();
    void SearchDone();
    void TakeDevice();
    void SelectionChanged();

    // The record copies of the rows; row i's item carries index i.
    std::vector<DeviceRecord> m_rowRecords;
};
