#include "pages/wireless/framewpssitesurvey.h"

#include "app/debug.h"
#include "app/records.h"
#include "controls/paintpanel.h"
#include "controls/sortlistview.h"
#include "controls/trifacebtn.h"
#include "framework/pagekit.h"
#include "messages/appmessage.h"
#include "pages/wireless/framesitesurvey.h"
#include "protocol/formudp.h"

#include <QGroupBox>
#include <vector>

TFrameWPSSiteSurvey::TFrameWPSSiteSurvey(QWidget *parent) : TFrameBase(parent)
{
    setObjectName(QStringLiteral("FrameWPSSiteSurvey"));
    resize(553, 272);

    GroupBox1 = PageKit::Group(this, "GroupBox1", QRect(8, 8, 537, 256), QStringLiteral("WPS AP List"));

    SurveyList = SurveyView::Create(GroupBox1);
    SurveyList->setObjectName(QStringLiteral("SurveyList"));
    SurveyList->setGeometry(8, 18, 521, 200);
    SurveyView::Setup(SurveyList);

    PlSearch = PageKit::SearchPanel(GroupBox1, QRect(168, 98, 200, 40));
    BtnRefresh = PageKit::Button(GroupBox1, "BtnRefresh", QStringLiteral("Refresh"), QRect(444, 226, 85, 21));

    connect(BtnRefresh, &QPushButton::clicked, this, &TFrameWPSSiteSurvey::BtnRefreshClick);
    connect(SurveyList, &TSortListView::ColumnClick, this, &TFrameWPSSiteSurvey::SurveyListColumnClick);
}

TFrameWPSSiteSurvey::~TFrameWPSSiteSurvey() = default;

QString TFrameWPSSiteSurvey::AuthenticationText(int code)
{
    // Codes 0 to 4 read as on the site survey page; the enterprise codes 5
    // to 7 (and any other) show empty.
    return code >= 0 && code <= 4 ? SurveyAuthenticationName(code) : QString();
}

void TFrameWPSSiteSurvey::ClearSurveyList()
{
    // The rows own their records; clearing deletes both.
    SurveyList->clear();
}

QByteArray TFrameWPSSiteSurvey::SelectedSsid() const
{
    const SurveyEntry *entry = SurveyView::SelectedEntry(SurveyList);
    return entry ? SsidBytes(entry->Ssid) : QByteArray();
}

void TFrameWPSSiteSurvey::BtnRefreshClick()
{
    DebugPrint("TFrameWPSSiteSurvey::BtnRefreshClick(TObject *Sender)");
    StartSurvey();
}

void TFrameWPSSiteSurvey::StartSurvey()
{
    SurveyView::StartSurvey("TFrameWPSSiteSurvey", SurveyList, PlSearch, BtnRefresh);
}

void TFrameWPSSiteSurvey::SurveyDone()
{
    std::vector<SurveyEntry> entries;
    if (TFormUDP *udp = FormUDP())
        udp->GetWpsSurveyList(entries);
    SurveyView::ShowSurvey(SurveyList, entries, &TFrameWPSSiteSurvey::AuthenticationText, PlSearch,
                           BtnRefresh);
}

void TFrameWPSSiteSurvey::HandleAppMessage(AppMessage *message)
{
    if (!SurveyView::HandleEngineMessage(*message, [this] { StartSurvey(); }, [this] { SurveyDone(); }))
        TFrameBase::HandleAppMessage(message);
}

void TFrameWPSSiteSurvey::SurveyListColumnClick(int column)
{
    if (column != SURVEY_COL_ICON)
        SurveyView::Sort(SurveyList);
}
