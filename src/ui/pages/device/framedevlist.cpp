#include "pages/device/framedevlist.h"

#include "app/debug.h"
#include "app/globalvar.h"
#include "app/timing.h"
#include "app/utility.h"
#include "controls/sortlistview.h"
#include "controls/timage.h"
#include "controls/trifacebtn.h"
#include "framework/pagekit.h"
#include "messages/appmessage.h"
#include "protocol/formudp.h"

#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <QTreeWidgetItem>

namespace {
constexpr int SearchLimitMs = 10000;
constexpr int DiscoverWaitMs = 4000;
} // namespace

TFrameDevList::TFrameDevList(QWidget *parent) : TFrameBase(parent)
{
    using namespace PageKit;
    std::tie(ImgBG, GBoxDevList) =
        PageFrame(this, PageHeight, "GBoxDevList", WideContentBox, QString(), true);
    LbDevListInfo = Label(GBoxDevList, "LbDevListInfo", QStringLiteral("Search for device on the network"),
                          QRect(16, 14, 400, 16), Bold);

    LvDevList = new TSortListView(GBoxDevList);
    LvDevList->setObjectName(QStringLiteral("LvDevList"));
    LvDevList->setGeometry(16, 36, 544, 186);
    LvDevList->setColumnCount(2);
    LvDevList->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("MAC Address")});
    LvDevList->setColumnWidth(0, 300);
    LvDevList->setColumnWidth(1, 168);
    LvDevList->setRootIsDecorated(false);
    LvDevList->setItemsExpandable(false);
    LvDevList->setUniformRowHeights(true);
    LvDevList->setAllColumnsShowFocus(true);
    LvDevList->setSelectionMode(QAbstractItemView::SingleSelection);
    LvDevList->setSelectionBehavior(QAbstractItemView::SelectRows);
    LvDevList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LvDevList->setSortingEnabled(false);
    // A style rule for the items takes over their whole painting, the
    // selection included: name its colours, or a selected row is drawn in
    // white text on the plain background.
    LvDevList->setStyleSheet(QStringLiteral("QTreeView::item { border-right: 1px solid #d8d8d8;"
                                            " border-bottom: 1px solid #d8d8d8; }"
                                            " QTreeView::item:selected { background: palette(highlight);"
                                            " color: palette(highlighted-text); }"));
    {
        QFont font(QStringLiteral("Tahoma"));
        font.setPixelSize(13);
        LvDevList->setFont(font);
        // The selection stays visible when the list loses the focus.
        QPalette palette = LvDevList->palette();
        palette.setColor(QPalette::Inactive, QPalette::Highlight,
                         palette.color(QPalette::Active, QPalette::Highlight));
        palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         palette.color(QPalette::Active, QPalette::HighlightedText));
        LvDevList->setPalette(palette);
    }
    LvDevList->viewport()->installEventFilter(this);

    BtnRefresh = Button(GBoxDevList, "BtnRefresh", QStringLiteral("Refresh"),
                        QRect(475, 230, ButtonWidth, ButtonHeight));

    PlSearch = new QLabel(QStringLiteral("Searching..."), GBoxDevList);
    PlSearch->setObjectName(QStringLiteral("PlSearch"));
    PlSearch->setAlignment(Qt::AlignCenter);
    PlSearch->setFrameShape(QFrame::Panel);
    PlSearch->setFrameShadow(QFrame::Raised);
    PlSearch->setAutoFillBackground(true);
    {
        QPalette palette = PlSearch->palette();
        palette.setColor(QPalette::Window, Qt::white);
        PlSearch->setPalette(palette);
        const QRect list = LvDevList->geometry();
        const QSize size(200, 41);
        PlSearch->setGeometry(list.left() + (list.width() - size.width()) / 2,
                              list.top() + (list.height() - size.height()) / 2, size.width(), size.height());
    }
    PlSearch->hide();

    std::tie(BtnExit, BtnBack, BtnCfg) =
        WizardButtons(this, Post{WIZARD_EXIT}, Post{WIZARD_BACK}, &TFrameDevList::TakeDevice, Focus::Style,
                      "BtnCfg", QStringLiteral("Configure"));
    BtnCfg->setEnabled(false);
    SkinOnLoad(ImgBG, {BtnExit, BtnBack, BtnCfg, BtnRefresh});

    TimerSearch = new QTimer(this);
    TimerSearch->setObjectName(QStringLiteral("TimerSearch"));
    TimerSearch->setSingleShot(false);
    TimerSearch->setInterval(SearchLimitMs);

    connect(BtnRefresh, &QPushButton::clicked, this, &TFrameDevList::BtnRefreshClick);
    connect(TimerSearch, &QTimer::timeout, this, &TFrameDevList::SearchDone);
    connect(LvDevList, &QTreeWidget::itemSelectionChanged, this, &TFrameDevList::SelectionChanged);
    PressPrimaryOnDoubleClick(LvDevList);
}

TFrameDevList::~TFrameDevList() = default;

void TFrameDevList::LoadPageTexts()
{
    TimerSearch->stop();
    PlSearch->hide();
    ClearList();
    TFrameBase::LoadPageTexts();
}

void TFrameDevList::ReleasePage()
{
    TimerSearch->stop();
    ClearList();
    TFrameBase::ReleasePage();
}

bool TFrameDevList::CanEnter(TFrameBase *fromPage, bool isBack, int param)
{
    // The same search as a click on Refresh; called directly so that it also
    // runs when a search from an earlier visit still has Refresh disabled.
    if (!isBack)
        BtnRefreshClick();
    return TFrameBase::CanEnter(fromPage, isBack, param);
}

const DeviceRecord *TFrameDevList::RowRecord(int row) const
{
    QTreeWidgetItem *item = LvDevList->topLevelItem(row);
    if (!item)
        return nullptr;
    const int index = item->data(0, Qt::UserRole).toInt();
    if (index < 0 || index >= static_cast<int>(m_rowRecords.size()))
        return nullptr;
    return &m_rowRecords[index];
}

bool TFrameDevList::Searching() const
{
    return TimerSearch->isActive();
}

void TFrameDevList::ClearList()
{
    BtnCfg->setEnabled(false);
    LvDevList->setUpdatesEnabled(false);
    // Clearing emits a selection change; Configure is already off.
    const QSignalBlocker blocker(LvDevList);
    LvDevList->SetEmptyText(QString());
    LvDevList->clear();
    m_rowRecords.clear();
    LvDevList->setUpdatesEnabled(true);
}

void TFrameDevList::BtnRefreshClick()
{
    ClearList();
    if (!FormUDP()->SendDiscover(DiscoverWaitMs, true)) {
        ShowMessage(MessageKey::ER_Ethr_Interface);
        DebugPrint("TFrameDevList::BtnRefreshClick() FAIL SendDiscover");
        return;
    }
    BtnRefresh->setEnabled(false);
    PlSearch->show();
    PlSearch->raise();
    TimerSearch->start(Timing::Scaled(SearchLimitMs));
}

void TFrameDevList::SearchDone()
{
    TimerSearch->stop();
    std::vector<DeviceRecord> found;
    FormUDP()->GetDeviceList(found);

    LvDevList->setUpdatesEnabled(false);
    for (const DeviceRecord &record : found) {
        auto *item = new QTreeWidgetItem(LvDevList);
        item->setText(0, FieldText(record.Name));
        item->setText(1, FormatMac(record.Mac));
        item->setData(0, Qt::UserRole, static_cast<int>(m_rowRecords.size()));
        m_rowRecords.push_back(record);
    }
    // Nobody answered: say what to check, inside the empty list.
    if (found.empty()) {
        QString text = MessageText(MessageKey::MSG_NoDevice);
        // The Windows text names the program to let through its firewall.
        if (text.contains(QLatin1String("%1")))
            text = text.arg(QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
        LvDevList->SetEmptyText(text);
    }
    LvDevList->setUpdatesEnabled(true);
    DebugPrint("TFrameDevList::SearchDone() %d device(s)", static_cast<int>(found.size()));

    BtnRefresh->setEnabled(true);
    PlSearch->hide();
    if (g_Var.NonWorking)
        BtnCfg->setEnabled(true);
}

void TFrameDevList::SelectionChanged()
{
    if (g_Var.NonWorking)
        return;
    BtnCfg->setEnabled(!LvDevList->selectedItems().isEmpty());
}

void TFrameDevList::TakeDevice()
{
    const QList<QTreeWidgetItem *> selected = LvDevList->selectedItems();
    if (!selected.isEmpty()) {
        const DeviceRecord *record = RowRecord(LvDevList->indexOfTopLevelItem(selected.first()));
        if (record)
            g_Var.SelectedDevice = *record;
    } else if (!g_Var.NonWorking) {
        return;
    }
    ResetIpConfig(g_Var.CurIpConfig);
    ResetIpConfig(g_Var.NewIpConfig);
    ResetWlConfig(g_Var.CurWlConfig);
    ResetWlConfig(g_Var.NewWlConfig);
    PostWizardCommand(WIZARD_NEXT);
}

void TFrameDevList::HandleAppMessage(AppMessage *message)
{
    if (message->id == UM_UDP_TIMEOUT && TimerSearch->isActive())
        SearchDone();
    TFrameBase::HandleAppMessage(message);
}

bool TFrameDevList::eventFilter(QObject *watched, QEvent *event)
{
    // A click on the empty part of the list drops the selection, as the
    // list controls of the desktop do.
    if (watched == LvDevList->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (!LvDevList->itemAt(mouse->position().toPoint()))
            LvDevList->clearSelection();
    }
    return TFrameBase::eventFilter(watched, event);
}
