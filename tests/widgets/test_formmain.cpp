// The wizard window: the page order for Next and Back, the switch protocol
// of ShowPage, the exit question, the forwarding of engine notifications,
// dragging by the background and the release of the pages at the end.
#include "app/globalvar.h"
#include "controls/timage.h"
#include "core/logcapture.h"
#include "framework/framebase.h"
#include "messages/appmessage.h"
#include "pages/device/framepassword.h"
#include "pages/device/framesetupmethod.h"
#include "shell/formmain.h"
#include "shell/pagetable.h"
#include "ui/recordingui.h"
#include "ui/testsettings.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QRadioButton>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <map>

namespace {

using P = WizardPage;
constexpr int AP = DEVICE_AP;
constexpr int BR = DEVICE_WBRIDGE;

// ---------------------------------------------------------------------------
// The decision tables.

struct FlowRow {
    P current;
    int mode;
    int setupMethod;
    int wlMethod;
    bool setIP;
    bool profileMoved;
    WizardStep::Kind kind;
    P target;
    bool isBack;
    bool startWireless;
    int closeResult;
};

void PrintTo(const FlowRow &row, std::ostream *os)
{
    *os << WizardPageName(row.current) << " mode " << row.mode << " setup " << row.setupMethod << " wl "
        << row.wlMethod << " setIP " << row.setIP << " moved " << row.profileMoved;
}

void ExpectStep(const WizardStep &step, const FlowRow &row)
{
    EXPECT_EQ(step.kind, row.kind);
    if (row.kind == WizardStep::Show) {
        EXPECT_EQ(step.target, row.target) << WizardPageName(step.target);
        EXPECT_EQ(step.isBack, row.isBack);
        EXPECT_EQ(step.startWireless, row.startWireless);
    }
    if (row.kind == WizardStep::Close) {
        EXPECT_EQ(step.closeResult, row.closeResult);
    }
}

constexpr auto Stay = WizardStep::Stay;
constexpr auto Show = WizardStep::Show;
constexpr auto Close = WizardStep::Close;

class NextTable : public ::testing::TestWithParam<FlowRow>
{
};

TEST_P(NextTable, LeadsToTheDocumentedPage)
{
    const FlowRow &row = GetParam();
    const WizardChoices choices{row.mode, row.setupMethod, static_cast<WirelessMethod>(row.wlMethod), row.setIP};
    ExpectStep(DecideNext(row.current, choices, row.profileMoved), row);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NextTable,
    ::testing::Values(
        FlowRow{P::None, AP, 0, 0, false, false, Show, P::License, false, false, 0},
        FlowRow{P::Welcome, AP, 0, 0, false, false, Show, P::License, false, false, 0},
        FlowRow{P::License, AP, 0, 0, false, false, Show, P::Tutorial, false, false, 0},
        FlowRow{P::Tutorial, BR, 0, 0, false, false, Show, P::Tutorial2, false, false, 0},
        FlowRow{P::Tutorial2, AP, 0, 0, false, false, Show, P::DevList, false, false, 0},
        FlowRow{P::DevList, AP, 0, 0, false, false, Show, P::Password, false, false, 0},
        FlowRow{P::Password, BR, 0, 0, false, false, Show, P::WlModeSel, false, false, 0},
        FlowRow{P::WlModeSel, AP, 0, 0, false, false, Show, P::SetupMethod, false, false, 0},
        FlowRow{P::WlModeSel, BR, 0, 0, false, false, Show, P::SiteSurvey, false, false, 0},
        FlowRow{P::WlModeSel, 0, 0, 0, false, false, Show, P::SiteSurvey, false, false, 0},
        // Setup method: IP settings with a static address, dynamic, wireless, advanced.
        FlowRow{P::SetupMethod, AP, 0, 0, true, false, Show, P::DevIPCfg, false, false, 0},
        FlowRow{P::SetupMethod, BR, 0, 0, true, false, Show, P::DevIPCfg, false, false, 0},
        FlowRow{P::SetupMethod, AP, 0, 0, false, false, Show, P::SetWlMethod, false, true, 0},
        FlowRow{P::SetupMethod, BR, 0, 0, false, false, Show, P::WlProfile, false, true, 0},
        FlowRow{P::SetupMethod, AP, 1, 0, true, false, Show, P::SetWlMethod, false, false, 0},
        FlowRow{P::SetupMethod, BR, 1, 0, false, false, Show, P::WlProfile, false, false, 0},
        FlowRow{P::SetupMethod, AP, 2, 0, true, false, Stay, P::None, false, false, 0},
        FlowRow{P::SetupMethod, BR, 2, 1, false, false, Stay, P::None, false, false, 0},
        FlowRow{P::SetupMethod, AP, 5, 0, false, false, Stay, P::None, false, false, 0},
        FlowRow{P::DevIPCfg, AP, 0, 0, true, false, Show, P::SetWlMethod, false, true, 0},
        FlowRow{P::DevIPCfg, BR, 0, 2, true, false, Show, P::WlProfile, false, true, 0},
        // Wireless method.
        FlowRow{P::SetWlMethod, AP, 1, 0, false, false, Show, P::WPSMethod, false, false, 0},
        FlowRow{P::SetWlMethod, BR, 1, 0, false, false, Show, P::WPSMethod, false, false, 0},
        FlowRow{P::SetWlMethod, AP, 1, 1, false, false, Show, P::WlProfile, false, false, 0},
        FlowRow{P::SetWlMethod, BR, 1, 1, false, false, Show, P::SiteSurvey, false, false, 0},
        FlowRow{P::SetWlMethod, AP, 1, 2, false, false, Stay, P::None, false, false, 0},
        // Site survey: connect, WPS, manual setup, anything else.
        FlowRow{P::SiteSurvey, BR, 0, 1, false, false, Show, P::WlProfile, false, false, 0},
        FlowRow{P::SiteSurvey, BR, 0, 0, false, false, Show, P::WPSMethod, false, false, 0},
        FlowRow{P::SiteSurvey, BR, 0, 2, false, false, Show, P::SetupMethod, false, false, 0},
        FlowRow{P::SiteSurvey, BR, 0, 3, false, false, Stay, P::None, false, false, 0},
        FlowRow{P::WlProfile, AP, 1, 1, false, true, Show, P::Success, false, false, 0},
        FlowRow{P::WlProfile, BR, 1, 1, false, false, Stay, P::None, false, false, 0},
        FlowRow{P::WPSMethod, AP, 1, 0, false, false, Show, P::Success, false, false, 0},
        FlowRow{P::WPSMethod, BR, 1, 0, false, false, Show, P::Success, false, false, 0},
        FlowRow{P::Success, AP, 1, 1, false, false, Show, P::SetupMethod, false, false, 0},
        FlowRow{P::Success, BR, 1, 1, false, false, Show, P::SetupMethod, false, false, 0},
        FlowRow{P::AdhocMode, AP, 0, 0, false, false, Stay, P::None, false, false, 0},
        FlowRow{P::WlConfig, AP, 0, 0, false, false, Stay, P::None, false, false, 0}));

class BackTable : public ::testing::TestWithParam<FlowRow>
{
};

TEST_P(BackTable, LeadsToTheDocumentedPage)
{
    const FlowRow &row = GetParam();
    const WizardChoices choices{row.mode, row.setupMethod, static_cast<WirelessMethod>(row.wlMethod), row.setIP};
    ExpectStep(DecideBack(row.current, choices, row.profileMoved), row);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BackTable,
    ::testing::Values(
        FlowRow{P::None, AP, 0, 0, false, false, Stay, P::None, false, false, 0},
        FlowRow{P::Welcome, AP, 0, 0, false, false, Stay, P::None, false, false, 0},
        FlowRow{P::License, AP, 0, 0, false, false, Close, P::None, false, false, 2},
        FlowRow{P::Tutorial, BR, 0, 0, false, false, Close, P::None, false, false, 2},
        FlowRow{P::Tutorial2, AP, 0, 0, false, false, Show, P::Tutorial, true, false, 0},
        FlowRow{P::DevList, AP, 0, 0, false, false, Show, P::Tutorial2, true, false, 0},
        FlowRow{P::Password, AP, 0, 0, false, false, Show, P::DevList, true, false, 0},
        FlowRow{P::WlModeSel, BR, 0, 0, false, false, Show, P::DevList, true, false, 0},
        FlowRow{P::SetupMethod, AP, 0, 0, false, false, Show, P::WlModeSel, true, false, 0},
        FlowRow{P::SetupMethod, BR, 0, 0, false, false, Show, P::SiteSurvey, true, false, 0},
        FlowRow{P::DevIPCfg, AP, 0, 0, true, false, Show, P::SetupMethod, true, false, 0},
        FlowRow{P::SetWlMethod, AP, 1, 1, true, false, Show, P::DevIPCfg, true, false, 0},
        FlowRow{P::SetWlMethod, AP, 1, 1, false, false, Show, P::SetupMethod, true, false, 0},
        FlowRow{P::SiteSurvey, BR, 0, 0, false, false, Show, P::WlModeSel, true, false, 0},
        // Leaving the profile sequence backwards.
        FlowRow{P::WlProfile, AP, 1, 1, false, true, Show, P::SetWlMethod, true, false, 0},
        FlowRow{P::WlProfile, BR, 1, 1, true, true, Show, P::SiteSurvey, true, false, 0},
        FlowRow{P::WlProfile, BR, 1, 2, true, true, Show, P::DevIPCfg, true, false, 0},
        FlowRow{P::WlProfile, BR, 1, 2, false, true, Show, P::SetupMethod, true, false, 0},
        FlowRow{P::WlProfile, BR, 1, 0, false, true, Stay, P::None, false, false, 0},
        FlowRow{P::WlProfile, AP, 1, 1, false, false, Stay, P::None, false, false, 0},
        // WPS in AP mode goes back to the wireless method page as a forward move.
        FlowRow{P::WPSMethod, AP, 1, 0, false, false, Show, P::SetWlMethod, false, false, 0},
        FlowRow{P::WPSMethod, BR, 1, 0, false, false, Show, P::SiteSurvey, true, false, 0},
        FlowRow{P::Success, AP, 1, 1, false, false, Show, P::WlModeSel, true, false, 0},
        FlowRow{P::AdhocMode, AP, 0, 0, false, false, Stay, P::None, false, false, 0},
        FlowRow{P::WlConfig, BR, 0, 0, false, false, Stay, P::None, false, false, 0}));

// ---------------------------------------------------------------------------
// The window with stand-in pages that record what the window asks of them.

struct Received {
    int id;
    intptr_t wParam;
    intptr_t lParam;
};

class ProbePage : public TFrameBase
{
public:
    ProbePage(QWidget *parent, QString name, QStringList *log) : TFrameBase(parent), m_name(std::move(name)), m_log(log)
    {
        setObjectName(m_name);
        hide();
    }

    bool allowEnter = true;
    bool allowLeave = true;
    std::function<void(bool isBack)> onCanEnter;
    QList<Received> messages;
    bool visibleInEntered = false;
    bool hiddenInLeft = false;

    bool CanEnter(TFrameBase *from, bool isBack, int param) override
    {
        Log("CanEnter", from, isBack, param);
        if (onCanEnter)
            onCanEnter(isBack);
        return allowEnter && TFrameBase::CanEnter(from, isBack, param);
    }
    void Entered(TFrameBase *from, bool isBack, int param) override
    {
        visibleInEntered = isVisibleTo(parentWidget());
        Log("Entered", from, isBack, param);
    }
    bool CanLeave(TFrameBase *to, bool isBack, int param) override
    {
        Log("CanLeave", to, isBack, param);
        return allowLeave && TFrameBase::CanLeave(to, isBack, param);
    }
    void Left(TFrameBase *to, bool isBack, int param) override
    {
        hiddenInLeft = !isVisibleTo(parentWidget());
        Log("Left", to, isBack, param);
    }

protected:
    void HandleAppMessage(AppMessage *message) override
    {
        messages.append({message->id, message->wParam, message->lParam});
    }

private:
    void Log(const char *what, TFrameBase *other, bool isBack, int param)
    {
        m_log->append(QStringLiteral("%1.%2(%3,%4,%5)")
                          .arg(m_name, QLatin1String(what), other ? other->objectName() : QStringLiteral("-"),
                               isBack ? QStringLiteral("back") : QStringLiteral("fwd"))
                          .arg(param));
    }

    QString m_name;
    QStringList *m_log;
};

class ProbeForm : public TFormMain
{
public:
    ProbeForm()
    {
        for (P id : {P::Welcome, P::License, P::Tutorial, P::Tutorial2, P::DevList, P::Password, P::WlModeSel,
                     P::SetupMethod, P::DevIPCfg, P::SetWlMethod, P::WPSMethod, P::Success, P::WlProfile,
                     P::AdhocMode, P::WlConfig, P::SiteSurvey})
            probes[id] = new ProbePage(this, QString::fromLatin1(WizardPageName(id)), &log);
    }

    TFrameBase *Page(WizardPage page) const override
    {
        const auto it = probes.find(page);
        return it == probes.end() ? nullptr : it->second;
    }
    bool ProfileMove(bool forward) override
    {
        profileMoves.append(forward);
        return profileMoveAnswer;
    }

    ProbePage *Probe(P id) { return probes.at(id); }

    std::map<P, ProbePage *> probes;
    QStringList log;
    QList<bool> profileMoves;
    bool profileMoveAnswer = false;
};

class FormMainTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        settings.Load();
        g_Var.DeviceMode = DEVICE_AP;
        g_Var.SetupMethod = 0;
        g_Var.WlMethod = WirelessMethod::Wps;
        form = std::make_unique<ProbeForm>();
        SetMainWindow(form.get());
    }
    void TearDown() override
    {
        SetMainWindow(nullptr);
        form.reset();
    }

    void Pump() { QCoreApplication::sendPostedEvents(); }
    void Command(int command) { SendAppMessage(form.get(), UM_WIZARD_COMMAND, command, 0); }
    // Moves the window onto `id` from wherever it is, through ShowPage.
    void StandOn(P id)
    {
        Pump();
        ASSERT_TRUE(form->ShowPage(form->Probe(id), false, 0));
        form->log.clear();
    }

    TestSettings settings;
    RecordingUi ui;
    std::unique_ptr<ProbeForm> form;
};

TEST_F(FormMainTest, FirstPageIsTheLicenceEnteredFromNoPageAsAForwardMove)
{
    EXPECT_EQ(form->CurrentPage(), nullptr);
    Pump();
    EXPECT_EQ(form->CurrentPage(), form->Probe(P::License));
    EXPECT_EQ(form->log, QStringList({"FrameLicense1.CanEnter(-,fwd,0)", "FrameLicense1.Entered(-,fwd,0)"}));
    EXPECT_EQ(form->Probe(P::License)->PrevPage(), nullptr);
    EXPECT_TRUE(form->Probe(P::License)->isVisibleTo(form.get()));
}

TEST_F(FormMainTest, SwitchAsksBothPagesThenHidesAndShowsInOrder)
{
    StandOn(P::DevList);
    Command(WIZARD_NEXT);
    EXPECT_EQ(form->log, QStringList({"FrameDevList1.CanLeave(FramePassword1,fwd,0)",
                                      "FramePassword1.CanEnter(FrameDevList1,fwd,0)",
                                      "FrameDevList1.Left(FramePassword1,fwd,0)",
                                      "FramePassword1.Entered(FrameDevList1,fwd,0)"}));
    EXPECT_TRUE(form->Probe(P::DevList)->hiddenInLeft);
    EXPECT_TRUE(form->Probe(P::Password)->visibleInEntered);
    EXPECT_EQ(form->CurrentPage(), form->Probe(P::Password));

    form->log.clear();
    SendAppMessage(form.get(), UM_WIZARD_COMMAND, WIZARD_BACK, 7);
    EXPECT_EQ(form->log, QStringList({"FramePassword1.CanLeave(FrameDevList1,back,7)",
                                      "FrameDevList1.CanEnter(FramePassword1,back,7)",
                                      "FramePassword1.Left(FrameDevList1,back,7)",
                                      "FrameDevList1.Entered(FramePassword1,back,7)"}));
}

TEST_F(FormMainTest, ShowingTheCurrentPageAsksNobody)
{
    StandOn(P::Password);
    EXPECT_TRUE(form->ShowPage(form->Probe(P::Password), false, 0));
    EXPECT_TRUE(form->log.isEmpty());
}

TEST_F(FormMainTest, RefusalsChangeNothing)
{
    struct Row {
        const char *what;
        bool refuseLeave;
        bool refuseEnter;
    };
    for (const Row row : {Row{"current refuses to be left", true, false}, Row{"target refuses", false, true}}) {
        SCOPED_TRACE(row.what);
        StandOn(P::DevIPCfg);
        ProbePage *from = form->Probe(P::DevIPCfg);
        ProbePage *to = form->Probe(P::SetWlMethod);
        from->allowLeave = !row.refuseLeave;
        to->allowEnter = !row.refuseEnter;
        g_Var.SetupMethod = 0;
        g_Var.CurIpConfig.Ip = 0x0A000001;
        g_Var.NewIpConfig.Ip = 0xC0A80A64;
        std::strcpy(g_Var.CurWlConfig.Ssid, "device");
        std::strcpy(g_Var.NewWlConfig.Ssid, "typed");

        Command(WIZARD_NEXT);

        EXPECT_EQ(form->CurrentPage(), from);
        EXPECT_TRUE(from->isVisibleTo(form.get()));
        EXPECT_FALSE(to->isVisibleTo(form.get()));
        EXPECT_EQ(g_Var.SetupMethod, 0);
        EXPECT_EQ(g_Var.NewIpConfig.Ip, 0xC0A80A64u);
        EXPECT_STREQ(g_Var.NewWlConfig.Ssid, "typed");
        EXPECT_FALSE(form->log.contains("FrameDevIPCfg1.Left(FrameSetWlMethod1,fwd,0)"));
        from->allowLeave = true;
        to->allowEnter = true;
    }
}

TEST_F(FormMainTest, WirelessPartStartsFromTheDeviceSettingsBeforeTheTargetIsAsked)
{
    StandOn(P::SetupMethod);
    g_Var.SetupMethod = 0;
    form->PageOf<TFrameSetupMethod>()->RBtnSetIP->setChecked(false);
    g_Var.CurIpConfig.Ip = 0x0A000001;
    g_Var.NewIpConfig.Ip = 0;
    std::strcpy(g_Var.CurWlConfig.Ssid, "device");
    std::strcpy(g_Var.NewWlConfig.Ssid, "");
    QString ssidSeenByTarget;
    form->Probe(P::SetWlMethod)->onCanEnter = [&](bool) { ssidSeenByTarget = QString::fromLatin1(g_Var.NewWlConfig.Ssid); };

    Command(WIZARD_NEXT);

    EXPECT_EQ(form->CurrentPage(), form->Probe(P::SetWlMethod));
    EXPECT_EQ(ssidSeenByTarget, QStringLiteral("device"));
    EXPECT_EQ(g_Var.SetupMethod, SETUP_METHOD_WIRELESS);
    EXPECT_TRUE(g_Var.NewIpConfig == g_Var.CurIpConfig);
    EXPECT_TRUE(g_Var.NewWlConfig == g_Var.CurWlConfig);
}

TEST_F(FormMainTest, StaticAddressChoiceIsReadFromTheSetupMethodPage)
{
    StandOn(P::SetupMethod);
    g_Var.SetupMethod = 0;
    form->PageOf<TFrameSetupMethod>()->RBtnSetIP->setChecked(true);
    Command(WIZARD_NEXT);
    EXPECT_EQ(form->CurrentPage(), form->Probe(P::DevIPCfg));
    Command(WIZARD_NEXT);
    EXPECT_EQ(form->CurrentPage(), form->Probe(P::SetWlMethod));
    // Back from the wireless method page returns through the IP page.
    Command(WIZARD_BACK);
    EXPECT_EQ(form->CurrentPage(), form->Probe(P::DevIPCfg));
}

TEST_F(FormMainTest, ProfileSequenceIsAskedOnlyOnItsOwnPage)
{
    StandOn(P::WlProfile);
    form->profileMoveAnswer = false;
    Command(WIZARD_NEXT);
    Command(WIZARD_BACK);
    EXPECT_EQ(form->profileMoves, QList<bool>({true, false}));
    EXPECT_EQ(form->CurrentPage(), form->Probe(P::WlProfile));
    EXPECT_TRUE(form->log.isEmpty());

    form->profileMoveAnswer = true;
    Command(WIZARD_NEXT);
    EXPECT_EQ(form->CurrentPage(), form->Probe(P::Success));
    Command(WIZARD_NEXT);
    EXPECT_EQ(form->profileMoves.size(), 3);
}

TEST_F(FormMainTest, BackFromWpsInApModeEntersTheWirelessMethodPageForward)
{
    g_Var.DeviceMode = DEVICE_AP;
    StandOn(P::WPSMethod);
    Command(WIZARD_BACK);
    EXPECT_EQ(form->CurrentPage(), form->Probe(P::SetWlMethod));
    EXPECT_TRUE(form->log.contains("FrameSetWlMethod1.CanEnter(FrameWPSMethod1,fwd,0)"));
    EXPECT_EQ(form->Probe(P::SetWlMethod)->PrevPage(), form->Probe(P::WPSMethod));
}

TEST_F(FormMainTest, PrevPageRetracesForwardMoves)
{
    Pump(); // licence
    ProbePage *a = form->Probe(P::DevList);
    ProbePage *b = form->Probe(P::Password);
    ASSERT_TRUE(form->ShowPage(a, false, 0));
    Command(WIZARD_NEXT); // a -> b forward
    EXPECT_EQ(b->PrevPage(), a);
    Command(WIZARD_BACK); // b left backwards
    EXPECT_EQ(b->PrevPage(), nullptr);
    // a entered by a back move keeps what it had.
    EXPECT_EQ(a->PrevPage(), form->Probe(P::License));

    ProbePage *c = form->Probe(P::WlModeSel);
    ASSERT_TRUE(form->ShowPage(c, false, 0));
    ASSERT_TRUE(form->ShowPage(b, false, 0));
    EXPECT_EQ(b->PrevPage(), c);
}

TEST_F(FormMainTest, PageThatPostsItsOwnNextWhileEnteredIsPassedAfterEnteredRanOnce)
{
    StandOn(P::License);
    form->Probe(P::Tutorial)->onCanEnter = [](bool) { PostAppMessage(MainWindow(), UM_WIZARD_COMMAND, WIZARD_NEXT); };
    Command(WIZARD_NEXT);
    EXPECT_EQ(form->CurrentPage(), form->Probe(P::Tutorial));
    Pump();
    EXPECT_EQ(form->CurrentPage(), form->Probe(P::Tutorial2));
    const QStringList tutorial = form->log.filter(QStringLiteral("FrameTutorial1."));
    EXPECT_EQ(tutorial, QStringList({"FrameTutorial1.CanEnter(FrameLicense1,fwd,0)",
                                     "FrameTutorial1.Entered(FrameLicense1,fwd,0)",
                                     "FrameTutorial1.CanLeave(FrameTutorial21,fwd,0)",
                                     "FrameTutorial1.Left(FrameTutorial21,fwd,0)"}));
}

TEST_F(FormMainTest, ExitAsksAndOnlyNoKeepsTheWizard)
{
    struct Row {
        int answer;
        int result;
    };
    for (const Row row : {Row{MSG_RESULT_NO, 0}, Row{MSG_RESULT_YES, 1}, Row{MSG_RESULT_NONE, 1}, Row{MSG_RESULT_OK, 1}}) {
        StandOn(P::Password);
        form->setResult(0);
        ui.Clear();
        ui.boxAnswers = {row.answer};
        Command(WIZARD_EXIT);
        ASSERT_EQ(ui.boxes.size(), 1);
        EXPECT_EQ(ui.boxes[0].text, QStringLiteral("Do you want to exit the Setup Wizard?"));
        EXPECT_EQ(ui.boxes[0].title, g_Var.MsgTitle);
        EXPECT_EQ(ui.boxes[0].kind, MsgKind::YesNo);
        EXPECT_EQ(form->result(), row.result);
        EXPECT_EQ(form->CurrentPage(), form->Probe(P::Password));
    }
}

TEST_F(FormMainTest, BackOnTheFirstPagesReturnsToTheMenuWithoutAQuestion)
{
    for (P first : {P::License, P::Tutorial}) {
        StandOn(first);
        form->setResult(0);
        ui.Clear();
        Command(WIZARD_BACK);
        EXPECT_EQ(form->result(), 2);
        EXPECT_TRUE(ui.boxes.isEmpty());
        EXPECT_EQ(form->CurrentPage(), form->Probe(first));
    }
}

TEST_F(FormMainTest, UnknownCommandsAndPagesWithoutRowsAreIgnored)
{
    StandOn(P::WlConfig);
    for (int command : {0, 4, -1, int(WIZARD_NEXT), int(WIZARD_BACK)})
        Command(command);
    EXPECT_EQ(form->CurrentPage(), form->Probe(P::WlConfig));
    EXPECT_TRUE(form->log.isEmpty());
}

TEST_F(FormMainTest, PageOutsideThePageTableStaysAndSaysSo)
{
    StandOn(P::Password);
    auto *stranger = new ProbePage(form.get(), QStringLiteral("Stranger"), &form->log);
    ASSERT_TRUE(form->ShowPage(stranger, false, 0));
    EXPECT_EQ(form->PageId(stranger), std::nullopt);
    LogCapture log;
    form->log.clear();
    Command(WIZARD_NEXT);
    Command(WIZARD_BACK);
    EXPECT_EQ(form->CurrentPage(), stranger);
    EXPECT_TRUE(form->log.isEmpty());
    EXPECT_TRUE(log.Contains("TFormMain::GoNext() FAIL page Stranger has no place in the page order"));
    EXPECT_TRUE(log.Contains("TFormMain::GoBack() FAIL page Stranger has no place in the page order"));
}

TEST_F(FormMainTest, EngineNotificationsGoToTheCurrentPageOnly)
{
    // Before any page is shown they are dropped.
    QCoreApplication::removePostedEvents(form.get(), AppMessage::eventType());
    SendAppMessage(form.get(), UM_UDP_REPLY, 2, 1);

    StandOn(P::Password);
    SendAppMessage(form.get(), UM_UDP_REPLY, 2, 1);
    SendAppMessage(form.get(), UM_UDP_TIMEOUT, 6, 0);
    SendAppMessage(form.get(), UM_UDP_EVENT, 150, 3);
    SendAppMessage(form.get(), UM_SOCKET_DATA, 1, 0);
    const QList<Received> &got = form->Probe(P::Password)->messages;
    ASSERT_EQ(got.size(), 3);
    EXPECT_EQ(got[0].id, UM_UDP_REPLY);
    EXPECT_EQ(got[0].wParam, 2);
    EXPECT_EQ(got[0].lParam, 1);
    EXPECT_EQ(got[1].id, UM_UDP_TIMEOUT);
    EXPECT_EQ(got[2].id, UM_UDP_EVENT);
    EXPECT_EQ(got[2].lParam, 3);
    for (const auto &[id, probe] : form->probes) {
        if (id != P::Password) {
            EXPECT_TRUE(probe->messages.isEmpty()) << WizardPageName(id);
        }
    }
}

TEST_F(FormMainTest, OnlyTheBackgroundDragsTheWindow)
{
    StandOn(P::DevList);
    auto *pageBackground = new TImage(form->Probe(P::DevList));
    pageBackground->setGeometry(0, 0, 600, 324);
    QMouseEvent onPage(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 110), Qt::NoButton, Qt::LeftButton,
                       Qt::NoModifier);
    QCoreApplication::sendEvent(pageBackground, &onPage);
    EXPECT_EQ(form->DragRequests(), 0);

    QMouseEvent hover(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form->ImgBG, &hover);
    EXPECT_EQ(form->DragRequests(), 0);

    QMouseEvent onBackground(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
    QCoreApplication::sendEvent(form->ImgBG, &onBackground);
    EXPECT_EQ(form->DragRequests(), 1);
}

// ---------------------------------------------------------------------------
// The real pages.

TEST(FormMainDesign, CreatesEveryPageInOrderInOnePlace)
{
    TestSettings settings;
    settings.Load();
    RecordingUi ui;
    TFormMain form;
    QCoreApplication::removePostedEvents(&form, AppMessage::eventType());
    QStringList names;
    for (TFrameBase *page : form.Pages()) {
        names << page->objectName();
        EXPECT_FALSE(page->isVisibleTo(&form)) << page->objectName().toStdString();
        EXPECT_EQ(page->pos(), QPoint(0, 105));
        EXPECT_EQ(page->width(), 600);
        EXPECT_EQ(page->height(), page == static_cast<TFrameBase *>(form.PageOf<TFramePassword>()) ? 323 : 324);
        EXPECT_EQ(form.PageId(page) == P::None, false);
    }
    // Every row of the page table is reachable by its id and named by it.
    for (const PageEntry &entry : WizardPages()) {
        ASSERT_NE(form.Page(entry.id), nullptr) << entry.objectName;
        EXPECT_EQ(form.Page(entry.id)->objectName(), QLatin1String(entry.objectName));
        EXPECT_EQ(form.PageId(form.Page(entry.id)), entry.id) << entry.objectName;
    }
    EXPECT_EQ(names, QStringList({"FrameWelcome1", "FrameLicense1", "FrameTutorial1", "FrameDevList1",
                                  "FramePassword1", "FrameSetupMethod1", "FrameDevIPCfg1", "FrameSetWlMethod1",
                                  "FrameWPSMethod1", "FrameSuccess1", "FrameWlProfile1", "FrameAdhocMode1",
                                  "FrameWlModeSel1", "FrameWlConfig1", "FrameSiteSurvey1", "FrameTutorial21"}));
    EXPECT_EQ(form.size(), QSize(600, 450));
    EXPECT_EQ(form.windowTitle(), g_Var.AppTitle);
    EXPECT_FALSE(form.ImgBG->picture().isNull());
    EXPECT_EQ(form.CurrentPage(), nullptr);
}

// ---------------------------------------------------------------------------
// Release of the pages when the window goes.

struct Release
{
    QString page;
    int livePages; // pages of the window still in existence at that moment
};

// A page that notes its ReleasePage into a list outliving the window.
class ReleaseProbe : public TFrameBase
{
public:
    ReleaseProbe(QWidget *parent, const QString &name, QList<Release> *released,
                 const QList<QPointer<TFrameBase>> *pages)
        : TFrameBase(parent), m_released(released), m_pages(pages)
    {
        setObjectName(name);
        hide();
    }
    void ReleasePage() override
    {
        const auto live =
            std::count_if(m_pages->begin(), m_pages->end(), [](const auto &p) { return !p.isNull(); });
        m_released->append({objectName(), int(live)});
        TFrameBase::ReleasePage();
    }

private:
    QList<Release> *m_released;
    const QList<QPointer<TFrameBase>> *m_pages;
};

// The real window with stand-in pages made after its own and adopted.
class ReleaseForm : public TFormMain
{
public:
    ReleaseForm(const QStringList &names, QList<Release> *released, QList<QPointer<TFrameBase>> *pages)
    {
        for (const QString &name : names)
            AdoptPage(new ReleaseProbe(this, name, released, pages));
        for (TFrameBase *page : Pages())
            pages->append(page);
    }
};

TEST(FormMainRelease, DestructionReleasesEveryPageOnceInCreationOrderWhileAllExist)
{
    TestSettings settings;
    settings.Load();
    RecordingUi ui;
    // Deliberately not in alphabetical order, so a sorted walk shows.
    const QStringList probes({"ProbeC", "ProbeA", "ProbeD", "ProbeB"});
    QList<Release> released;
    QList<QPointer<TFrameBase>> pages;
    {
        ReleaseForm form(probes, &released, &pages);
        ASSERT_EQ(pages.size(), 16 + probes.size());
        // The window's life (first page, a page switch, a modal end) releases nothing.
        QCoreApplication::sendPostedEvents();
        ASSERT_NE(form.CurrentPage(), nullptr);
        form.GoNext(0);
        form.ShowPage(pages.back(), false, 0);
        form.done(1);
        EXPECT_TRUE(released.isEmpty());
    }
    QStringList names;
    for (const Release &r : released) {
        names << r.page;
        EXPECT_EQ(r.livePages, 16 + probes.size()) << r.page.toStdString();
    }
    // The window's own pages come first (not observable here), then the
    // adopted ones, each once, in the order they were made.
    EXPECT_EQ(names, probes);
    for (const QPointer<TFrameBase> &page : pages)
        EXPECT_TRUE(page.isNull());
}

} // namespace
