#include "pages/wireless/framesitesurvey.h"

#include "app/debug.h"
#include "app/globalvar.h"
#include "controls/paintpanel.h"
#include "controls/sortlistview.h"
#include "controls/surveylistview.h"
#include "controls/timage.h"
#include "controls/trifacebtn.h"
#include "framework/pagekit.h"
#include "messages/appmessage.h"
#include "protocol/devicewaits.h"
#include "protocol/formudp.h"
#include "skin/formres.h"

#include <QGroupBox>
#include <cstring>

namespace SurveyView {

TSortListView *Create(QWidget *parent)
{
    return new TSurveyListView(parent, []() -> const TImageList & { return FormRes()->ImgsType(); });
}

void StartSurvey(const char *page, TSortListView *list, TPaintPanel *searching, TTrifaceBtn *refresh)
{
    TFormUDP *udp = FormUDP();
    if (!udp) {
        DebugPrint("%s::StartSurvey() FAIL no engine", page);
        return;
    }
    if (!udp->loggedIn()) {
        // The login answer starts the survey.
        udp->SendLogin(DeviceWait::Login);
        return;
    }
    refresh->setEnabled(false);
    // The rows own their records; clearing deletes both.
    list->clear();
    searching->show();
    searching->raise();
    udp->SendSiteSurvey(DeviceWait::SiteSurvey);
}

void ShowSurvey(TSortListView *list, const std::vector<SurveyEntry> &entries, QString (*authText)(int),
                TPaintPanel *searching, TTrifaceBtn *refresh)
{
    list->clear();
    Fill(list, entries, authText);
    refresh->setEnabled(true);
    searching->hide();
}

bool HandleEngineMessage(const AppMessage &message, const std::function<void()> &start,
                         const std::function<void()> &done)
{
    switch (message.id) {
    case UM_UDP_REPLY:
        if (message.wParam == REQ_SITE_SURVEY)
            done();
        else if (message.wParam == REQ_LOGIN && message.lParam)
            start();
        return true;
    case UM_UDP_TIMEOUT:
        done();
        return true;
    default:
        return false;
    }
}

} // namespace SurveyView

TFrameSiteSurvey::TFrameSiteSurvey(QWidget *parent) : TFrameBase(parent)
{
    setObjectName(QStringLiteral("FrameSiteSurvey"));
    using namespace PageKit;
    std::tie(ImgBG, GroupBox1) =
        PageFrame(this, PageHeight, "GroupBox1", QRect(24, 16, 553, 262), QStringLiteral("Site Survey"));

    SurveyList = SurveyView::Create(GroupBox1);
    SurveyList->setObjectName(QStringLiteral("SurveyList"));
    SurveyList->setGeometry(8, 18, 537, 206);
    SurveyView::Setup(SurveyList);

    PlSearch = SearchPanel(GroupBox1, QRect(176, 100, 200, 40));
    BtnRefresh = Button(GroupBox1, "BtnRefresh", QStringLiteral("Refresh"), QRect(460, 232, 85, 21));

    BtnExit = BottomButton(this, "BtnExit", QStringLiteral("Exit"), ExitLeft);
    BtnManual = BottomButton(this, "BtnManual", QStringLiteral("Manual"), ManualLeft);
    BtnWPS = BottomButton(this, "BtnWPS", QStringLiteral("WPS"), WpsLeft);
    BtnBack = BottomButton(this, "BtnBack", QStringLiteral("Back"), BackLeft);
    BtnNext = BottomButton(this, "BtnNext", QStringLiteral("Connect"), NextLeft);
    BtnNext->setEnabled(false);
    BtnWPS->setEnabled(false);

    ImgBG->lower();

    OnClick(this, BtnRefresh, &TFrameSiteSurvey::BtnRefreshClick, BtnExit, &TFrameSiteSurvey::BtnExitClick,
            BtnManual, &TFrameSiteSurvey::BtnManualClick, BtnWPS, &TFrameSiteSurvey::BtnWPSClick, BtnBack,
            &TFrameSiteSurvey::BtnBackClick, BtnNext, &TFrameSiteSurvey::BtnNextClick);
    connect(SurveyList, &QTreeWidget::itemSelectionChanged, this, &TFrameSiteSurvey::SurveyListSelectItem);
    connect(SurveyList, &TSortListView::ColumnClick, this, &TFrameSiteSurvey::SurveyListColumnClick);
    PressPrimaryOnDoubleClick(SurveyList);
    SkinOnLoad(ImgBG, {BtnRefresh, BtnExit, BtnManual, BtnWPS, BtnBack, BtnNext});
}

TFrameSiteSurvey::~TFrameSiteSurvey() = default;

SurveyEntry TFrameSiteSurvey::NonWorkingEntry()
{
    SurveyEntry entry;
    entry.Flag = false;
    CopyToField(entry.Ssid, QStringLiteral("NonWorkingTestMode"));
    std::memcpy(entry.Bssid.data(), "123456", entry.Bssid.size());
    entry.Signal = 80;
    entry.Channel = 1;
    entry.Encryption = 0;
    entry.Authentication = 0;
    entry.Status = 1;
    entry.Wps = true;
    return entry;
}

void TFrameSiteSurvey::ReleasePage()
{
    ClearSurveyList();
    TFrameBase::ReleasePage();
}

bool TFrameSiteSurvey::CanEnter(TFrameBase *fromPage, bool isBack, int param)
{
    g_Var.SelectedAp = SurveyEntry{};
    ClearSurveyList();
    BtnRefreshClick();
    return TFrameBase::CanEnter(fromPage, isBack, param);
}

void TFrameSiteSurvey::ClearSurveyList()
{
    // The rows own their records; clearing deletes both.
    SurveyList->clear();
}

void TFrameSiteSurvey::BtnRefreshClick()
{
    SurveyList->clearSelection();
    SurveyList->setCurrentItem(nullptr);
    BtnNext->setEnabled(false);
    BtnWPS->setEnabled(false);
    StartSurvey();
}

void TFrameSiteSurvey::StartSurvey()
{
    SurveyView::StartSurvey("TFrameSiteSurvey", SurveyList, PlSearch, BtnRefresh);
}

void TFrameSiteSurvey::SurveyDone()
{
    std::vector<SurveyEntry> entries;
    if (TFormUDP *udp = FormUDP())
        udp->GetSurveyList(entries);
    SurveyView::ShowSurvey(SurveyList, entries, &SurveyAuthenticationName, PlSearch, BtnRefresh);
    BtnWPS->setEnabled(true);
    if (g_Var.NonWorking) {
        BtnNext->setEnabled(true);
        BtnWPS->setEnabled(true);
    }
}

void TFrameSiteSurvey::HandleAppMessage(AppMessage *message)
{
    if (!SurveyView::HandleEngineMessage(*message, [this] { StartSurvey(); }, [this] { SurveyDone(); }))
        TFrameBase::HandleAppMessage(message);
}

void TFrameSiteSurvey::SurveyListSelectItem()
{
    if (!SurveyList->selectedItems().isEmpty())
        BtnNext->setEnabled(true);
}

void TFrameSiteSurvey::SurveyListColumnClick(int column)
{
    if (column != SURVEY_COL_ICON)
        SurveyView::Sort(SurveyList);
}

void TFrameSiteSurvey::BtnNextClick()
{
    g_Var.WlMethod = WirelessMethod::Profile;
    if (g_Var.NonWorking) {
        g_Var.SelectedAp = NonWorkingEntry();
        PostWizardCommand(WIZARD_NEXT);
        return;
    }
    if (const SurveyEntry *entry = SurveyView::SelectedEntry(SurveyList)) {
        g_Var.SelectedAp = *entry;
        PostWizardCommand(WIZARD_NEXT);
    }
}

void TFrameSiteSurvey::BtnWPSClick()
{
    g_Var.WlMethod = WirelessMethod::Wps;
    if (g_Var.NonWorking)
        g_Var.SelectedAp = NonWorkingEntry();
    else if (const SurveyEntry *entry = SurveyView::SelectedEntry(SurveyList))
        g_Var.SelectedAp = *entry;
    PostWizardCommand(WIZARD_NEXT);
}

void TFrameSiteSurvey::BtnManualClick()
{
    g_Var.WlMethod = WirelessMethod::Manual;
    PostWizardCommand(WIZARD_NEXT);
}

void TFrameSiteSurvey::BtnExitClick()
{
    PostWizardCommand(WIZARD_EXIT);
}

void TFrameSiteSurvey::BtnBackClick()
{
    PostWizardCommand(WIZARD_BACK);
}
