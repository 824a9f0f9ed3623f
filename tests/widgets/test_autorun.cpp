// The autorun menu: its design, the user-guide submenu, the user guide with
// the reader installer offer and watch, the other entries, starting the
// wizard and passing messages on to it.
#include "app/globalvar.h"
#include "app/timing.h"
#include "controls/skinimage.h"
#include "controls/timage.h"
#include "controls/trifacebtn.h"
#include "messages/appmessage.h"
#include "pages/front/formautorun.h"
#include "pages/front/userguide.h"
#include "ui/pagetest.h"
#include "ui/recordingui.h"
#include "ui/testsettings.h"

#include <QDialog>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class AutorunTest : public ::testing::Test
{
protected:
    void Load(const QByteArray &ini)
    {
        settings = std::make_unique<TestSettings>(ini);
        settings->Load();
        form = std::make_unique<TFormAutorun>();
    }
    void TearDown() override
    {
        form.reset();
        settings.reset();
        Timing::SetScale(1.0);
    }
    // A user guide on the medium.
    QString Guide()
    {
        return settings->Write(QStringLiteral("Manual/Guide.pdf"), "%PDF-1.4");
    }

    RecordingUi ui;
    std::unique_ptr<TestSettings> settings;
    std::unique_ptr<TFormAutorun> form;
};

TEST_F(AutorunTest, DesignedPlacesAndPictures)
{
    Load("[Product]\nAppTitle=Menu Title\n");
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Menu Title"));
    EXPECT_EQ(form->size(), QSize(600, 450));
    EXPECT_TRUE(form->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(form->ImgBG->geometry(), QRect(0, 0, 600, 450));
    EXPECT_FALSE(form->ImgBG->picture().isNull());
    EXPECT_EQ(form->BtnSetupWizard->geometry(), QRect(356, 94, 197, 32));
    EXPECT_EQ(form->BtnUG->geometry(), QRect(356, 143, 197, 31));
    EXPECT_EQ(form->BtnUG_UG->geometry(), QRect(356, 176, 197, 21));
    EXPECT_EQ(form->BtnUG_QIG->geometry(), QRect(356, 195, 197, 21));
    EXPECT_EQ(form->BtnProductReg->geometry(), QRect(356, 237, 197, 30));
    EXPECT_EQ(form->BtnExit->geometry(), QRect(356, 284, 197, 31));
    EXPECT_FALSE(form->BtnUG_UG->isVisibleTo(form.get()));
    EXPECT_FALSE(form->BtnUG_QIG->isVisibleTo(form.get()));
    EXPECT_FALSE(form->BtnSetupWizard->Face().isNull());
    EXPECT_EQ(form->BtnSetupWizard->FaceOver(), form->BtnSetupWizard->FaceDown());
    EXPECT_FALSE(form->BtnUG_UG->Image(0).isNull());
    EXPECT_FALSE(form->BtnUG_UG->Image(1).isNull());
    EXPECT_TRUE(form->BtnUG_QIG->MouseOverEffect());
    EXPECT_FALSE(form->TimerInstAcrobat->isActive());
    EXPECT_FALSE(form->AutorunUGExpanded);
    EXPECT_EQ(form->UserGuide->AcrobatWaitCount, 0);
}

TEST_F(AutorunTest, SettingsFileMovesAndHidesControls)
{
    Load("[FormAutorun_CtrlPos]\nBtnExit=10,20\n[FormAutorun_Visible]\nBtnProductReg=0\n");
    EXPECT_EQ(form->BtnExit->geometry(), QRect(10, 20, 197, 31));
    EXPECT_FALSE(form->BtnProductReg->isVisibleTo(form.get()));
}

TEST_F(AutorunTest, UserGuideToggleMovesTheLowerEntriesAndBack)
{
    Load("");
    const QPoint reg = form->BtnProductReg->pos();
    const QPoint exit = form->BtnExit->pos();
    form->BtnUG->click();
    EXPECT_TRUE(form->AutorunUGExpanded);
    EXPECT_EQ(form->BtnProductReg->pos(), reg + QPoint(0, 48));
    EXPECT_EQ(form->BtnExit->pos(), exit + QPoint(0, 48));
    EXPECT_TRUE(form->BtnUG_UG->isVisibleTo(form.get()));
    EXPECT_TRUE(form->BtnUG_QIG->isVisibleTo(form.get()));
    form->BtnUG->click();
    EXPECT_FALSE(form->AutorunUGExpanded);
    EXPECT_EQ(form->BtnProductReg->pos(), reg);
    EXPECT_EQ(form->BtnExit->pos(), exit);
    EXPECT_FALSE(form->BtnUG_UG->isVisibleTo(form.get()));
    EXPECT_FALSE(form->BtnUG_QIG->isVisibleTo(form.get()));
}

TEST_F(AutorunTest, OpenUserGuideResults)
{
    struct Row {
        const char *what;
        const char *ini;
        bool writeGuide;
        bool hasProgram;
        bool shellAccepts;
        int result;
        int shellCalls;
    };
    const Row rows[] = {
        {"not named", "", true, true, true, UG_CANNOT_OPEN, 0},
        {"not on the medium", "[Product]\nUserGuide=Manual\\Guide.pdf\n", false, true, true, UG_CANNOT_OPEN, 0},
        {"no program", "[Product]\nUserGuide=Manual\\Guide.pdf\n", true, false, true, UG_NO_PROGRAM, 0},
        {"shell refuses", "[Product]\nUserGuide=Manual\\Guide.pdf\n", true, true, false, UG_CANNOT_OPEN, 1},
        {"opened", "[Product]\nUserGuide=Manual\\Guide.pdf\n", true, true, true, UG_OPENED, 1},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        Load(row.ini);
        const QString guide = settings->Folder() + QStringLiteral("Manual/Guide.pdf");
        if (row.writeGuide)
            Guide();
        ui.Clear();
        ui.filesWithoutProgram.clear();
        if (!row.hasProgram)
            ui.filesWithoutProgram.insert(guide);
        ui.shellAnswers = {row.shellAccepts};
        EXPECT_EQ(OpenUserGuide(), row.result);
        ASSERT_EQ(ui.shells.size(), row.shellCalls);
        if (row.shellCalls) {
            EXPECT_EQ(ui.shells[0].target, guide);
            EXPECT_EQ(ui.shells[0].verb, ShellVerb::Open);
        }
        ui.shellAnswers.clear();
    }
}

TEST_F(AutorunTest, GuideThatCannotBeOpenedIsReported)
{
    Load("[Product]\nMsgTitle=Box Title\nUserGuide=Missing.pdf\n");
    form->BtnUG_UG->setVisible(true);
    emit form->BtnUG_UG->clicked();
    ASSERT_EQ(ui.boxes.size(), 1);
    EXPECT_EQ(ui.boxes[0].text, QStringLiteral("Unable to open the user guide."));
    EXPECT_EQ(ui.boxes[0].title, QStringLiteral("Box Title"));
    EXPECT_EQ(ui.boxes[0].kind, MsgKind::Information);
    EXPECT_FALSE(form->TimerInstAcrobat->isActive());
}

TEST_F(AutorunTest, MissingReaderOffersTheInstaller)
{
    struct Row {
        const char *what;
        int answer;
        bool installerStarts;
        QStringList texts;
        bool watching;
    };
    const QString question = QStringLiteral("Acrobat Reader is not installed. Would you like to install it now?");
    const Row rows[] = {
        {"declined", MSG_RESULT_NO, true, {question}, false},
        {"accepted", MSG_RESULT_YES, true, {question}, true},
        {"installer missing", MSG_RESULT_YES, false, {question, QStringLiteral("Unable to find Acrobat Reader setup file.")}, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        Load("[Product]\nUserGuide=Manual/Guide.pdf\nAcrobatReader=Reader\\Setup.exe\n");
        ui.Clear();
        ui.filesWithoutProgram = {Guide()};
        ui.boxAnswers = {row.answer};
        ui.shellAnswers = {row.installerStarts};
        form->BtnUG_UGClick();
        EXPECT_EQ(ui.BoxTexts(), row.texts);
        EXPECT_EQ(ui.boxes[0].kind, MsgKind::YesNo);
        EXPECT_EQ(form->TimerInstAcrobat->isActive(), row.watching);
        if (row.answer == MSG_RESULT_YES) {
            ASSERT_EQ(ui.shells.size(), 1);
            EXPECT_EQ(ui.shells[0].target, settings->Folder() + QStringLiteral("Reader/Setup.exe"));
        } else {
            EXPECT_TRUE(ui.shells.isEmpty());
        }
        if (row.watching) {
            EXPECT_EQ(form->TimerInstAcrobat->interval(), Timing::Scaled(10000));
            // While the watch runs the question is not asked again.
            ui.Clear();
            form->BtnUG_UGClick();
            EXPECT_TRUE(ui.boxes.isEmpty());
            EXPECT_TRUE(ui.shells.isEmpty());
        }
        ui.boxAnswers.clear();
        ui.shellAnswers.clear();
    }
}

TEST_F(AutorunTest, InstallerWatchReopensTheGuideOnTheFourthEmptyTick)
{
    Load("[Product]\nUserGuide=Manual/Guide.pdf\nAcrobatReader=Setup.exe\nAcrobatReaderTitle=Reader Setup\n");
    const QString guide = Guide();
    ui.filesWithoutProgram = {guide};
    ui.boxAnswers = {MSG_RESULT_YES};
    form->BtnUG_UGClick();
    ASSERT_TRUE(form->TimerInstAcrobat->isActive());
    ui.Clear();

    UserGuideLauncher &watch = *form->UserGuide;
    // The installer window appears: ticks every second, the count stays.
    ui.openWindows = {QStringLiteral("Reader Setup")};
    watch.Tick();
    EXPECT_EQ(form->TimerInstAcrobat->interval(), Timing::Scaled(1000));
    EXPECT_EQ(watch.AcrobatWaitCount, 0);
    EXPECT_EQ(ui.windowQueries, QStringList({"Reader Setup"}));

    // It is gone: three empty ticks count up, the fourth reopens the guide.
    ui.openWindows.clear();
    ui.filesWithoutProgram.clear();
    for (int tick = 1; tick <= 3; ++tick) {
        watch.Tick();
        EXPECT_EQ(watch.AcrobatWaitCount, tick);
        EXPECT_TRUE(form->TimerInstAcrobat->isActive());
        EXPECT_TRUE(ui.shells.isEmpty());
    }
    // A window seen again in between does not reset the count.
    ui.openWindows = {QStringLiteral("Reader Setup")};
    watch.Tick();
    EXPECT_EQ(watch.AcrobatWaitCount, 3);
    ui.openWindows.clear();
    watch.Tick();
    EXPECT_FALSE(form->TimerInstAcrobat->isActive());
    EXPECT_EQ(watch.AcrobatWaitCount, 0);
    ASSERT_EQ(ui.shells.size(), 1);
    EXPECT_EQ(ui.shells[0].target, guide);
    EXPECT_TRUE(ui.boxes.isEmpty());
}

TEST_F(AutorunTest, InstallerWatchRunsOnItsTimer)
{
    Timing::SetScale(0.001);
    Load("[Product]\nUserGuide=Manual/Guide.pdf\nAcrobatReader=Setup.exe\n");
    ui.filesWithoutProgram = {Guide()};
    form->BtnUG_UGClick();
    ASSERT_TRUE(form->TimerInstAcrobat->isActive());
    ui.filesWithoutProgram.clear();
    ui.Clear();
    EXPECT_TRUE(WaitUntil([&] { return !form->TimerInstAcrobat->isActive(); }, 5000));
    EXPECT_EQ(ui.windowQueries.size(), 4);
    EXPECT_EQ(ui.shells.size(), 1);
}

TEST_F(AutorunTest, QuickGuideAndRegistrationGoToTheShell)
{
    Load("[Product]\nProductReg=http://register.example/\n");
    form->BtnUG_QIGClick();
    form->BtnProductRegClick();
    ASSERT_EQ(ui.shells.size(), 2);
    EXPECT_EQ(ui.shells[0].target, QStringLiteral("QIG"));
    EXPECT_EQ(ui.shells[0].verb, ShellVerb::Explore);
    EXPECT_EQ(ui.shells[1].target, QStringLiteral("http://register.example/"));
    EXPECT_EQ(ui.shells[1].verb, ShellVerb::Open);

    // Failures of these two are not reported; an empty address does nothing.
    Load("[Product]\nQIG=Docs\\QIG\n");
    ui.Clear();
    ui.shellAnswers = {false};
    form->BtnUG_QIGClick();
    form->BtnProductRegClick();
    ASSERT_EQ(ui.shells.size(), 1);
    EXPECT_EQ(ui.shells[0].target, QStringLiteral("Docs/QIG")); // as every path from the medium
    EXPECT_TRUE(ui.boxes.isEmpty());

    // Started from a desktop menu the current folder is not the program's:
    // a folder that is there beside the program is opened from there.
    Load("[Product]\nQIG=Docs\\QIG\n");
    settings->Write(QStringLiteral("Docs/QIG/Guide.html"), "<html></html>");
    ui.Clear();
    form->BtnUG_QIGClick();
    ASSERT_EQ(ui.shells.size(), 1);
    EXPECT_EQ(ui.shells[0].target, settings->Folder() + QStringLiteral("Docs/QIG"));
}

// A wizard window stand-in: ends its modal showing with `result` and notes
// whether the menu was hidden meanwhile; records every message.
class WizardStandIn : public QDialog
{
public:
    int result = 2;
    QWidget *menu = nullptr;
    bool menuHiddenWhileShown = false;
    std::vector<RecordedMessage> received;

protected:
    void showEvent(QShowEvent *event) override
    {
        QDialog::showEvent(event);
        QTimer::singleShot(0, this, [this] {
            menuHiddenWhileShown = menu && !menu->isVisible();
            done(result);
        });
    }
    bool event(QEvent *event) override
    {
        if (event->type() == AppMessage::eventType()) {
            auto *message = static_cast<AppMessage *>(event);
            received.push_back({message->id, message->wParam, message->lParam});
            SetAppMessageResult(message, 42);
            return true;
        }
        return QDialog::event(event);
    }
};

TEST_F(AutorunTest, WizardIsShownModallyAndItsResultDecides)
{
    struct Row {
        int result;
        bool menuBack;
        int closed;
    };
    for (const Row row : {Row{2, true, 0}, Row{0, true, 0}, Row{1, false, 1}}) {
        Load("");
        WizardStandIn wizard;
        wizard.menu = form.get();
        wizard.result = row.result;
        form->SetWizard(&wizard);
        QSignalSpy closed(form.get(), &TFormAutorun::Closed);
        form->show();
        form->BtnSetupWizard->click();
        EXPECT_TRUE(wizard.menuHiddenWhileShown);
        EXPECT_EQ(form->isVisible(), row.menuBack);
        EXPECT_EQ(closed.count(), row.closed);
    }
}

TEST_F(AutorunTest, CommandsAndEngineMessagesArePassedOnAtOnce)
{
    Load("");
    WizardStandIn wizard;
    form->SetWizard(&wizard);
    for (int id : {int(UM_WIZARD_COMMAND), int(UM_UDP_REPLY), int(UM_UDP_TIMEOUT), int(UM_UDP_EVENT)})
        PostAppMessage(form.get(), id, id - WM_APP, 7);
    PostAppMessage(form.get(), UM_SOCKET_DATA, 1, 0);
    EXPECT_TRUE(wizard.received.empty());
    FlushPosted();
    ASSERT_EQ(wizard.received.size(), 4u);
    EXPECT_EQ(wizard.received[0].id, UM_WIZARD_COMMAND);
    EXPECT_EQ(wizard.received[0].wParam, 100);
    EXPECT_EQ(wizard.received[3].id, UM_UDP_EVENT);
    EXPECT_EQ(wizard.received[3].lParam, 7);
    // Synchronous: the wizard's answer comes back to the sender.
    EXPECT_EQ(SendAppMessage(form.get(), UM_UDP_REPLY, 2, 1), 42);
}

TEST_F(AutorunTest, ExitClosesTheMenuAndBackgroundDrags)
{
    Load("");
    QSignalSpy closed(form.get(), &TFormAutorun::Closed);
    form->show();
    QMouseEvent drag(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form->ImgBG, &drag);
    EXPECT_EQ(form->DragRequests(), 1);
    form->BtnExit->click();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(form->isVisible());
}

} // namespace
