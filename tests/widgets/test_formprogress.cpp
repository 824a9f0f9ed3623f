// The progress dialog: the start step on the first tick, the time limit, the
// keys the user cannot end it with, and where it appears.
#include "app/timing.h"
#include "framework/formprogress.h"
#include "messages/appmessage.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class FormProgressTest : public ::testing::Test
{
protected:
    void SetUp() override { Timing::SetScale(0.005); }
    void TearDown() override { Timing::SetScale(1.0); }
};

// Ends the dialog from outside if a test goes wrong, so no test hangs.
void Guard(TFormProgress &dialog, int ms)
{
    QTimer::singleShot(ms, &dialog, [&dialog] {
        if (dialog.isVisible())
            dialog.done(99);
    });
}

TEST_F(FormProgressTest, EmptyStartStepEndsWithFailureAtTheTickLimit)
{
    TFormProgress dialog;
    Guard(dialog, 30000);
    EXPECT_EQ(dialog.Execute(nullptr), ProgressResult::Failure);
    EXPECT_EQ(dialog.TimerProcTag(), TFormProgress::TickLimit + 1);
    EXPECT_FALSE(dialog.TimerProc->isActive());
}

TEST_F(FormProgressTest, StartStepRunsOnceOnTheFirstTickAndMayEndTheWait)
{
    struct Row {
        ProgressResult result;
    };
    for (const Row row : {Row{ProgressResult::Success}, Row{ProgressResult::Failure}}) {
        TFormProgress dialog;
        int calls = 0;
        dialog.OnProcess = [&] {
            ++calls;
            EXPECT_FALSE(dialog.TimerProc->isActive());
            EXPECT_EQ(dialog.TimerProcTag(), 1);
            dialog.Close(row.result);
        };
        Guard(dialog, 30000);
        EXPECT_EQ(dialog.Execute(nullptr), row.result);
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(dialog.TimerProcTag(), 1);
        EXPECT_FALSE(dialog.TimerProc->isActive());
        EXPECT_EQ(dialog.ProgressBar1->value(), 1);
    }
}

TEST_F(FormProgressTest, PageEndsTheWaitFromALaterMessage)
{
    TFormProgress dialog;
    dialog.OnProcess = [&] { QTimer::singleShot(Timing::Scaled(1000), &dialog, [&] { dialog.Close(ProgressResult::Success); }); };
    Guard(dialog, 30000);
    EXPECT_EQ(dialog.Execute(nullptr), ProgressResult::Success);
    EXPECT_GT(dialog.TimerProcTag(), 1);
    EXPECT_LT(dialog.TimerProcTag(), TFormProgress::TickLimit);
}

TEST_F(FormProgressTest, ProgressBarStartsAgainAfterItsMaximum)
{
    TFormProgress dialog;
    dialog.OnProcess = [&] {
        QTimer::singleShot(0, &dialog, [&] {
            QObject::connect(dialog.TimerProc, &QTimer::timeout, &dialog, [&] {
                if (dialog.TimerProcTag() == 101)
                    dialog.Close(ProgressResult::Success);
            });
        });
    };
    Guard(dialog, 30000);
    EXPECT_EQ(dialog.Execute(nullptr), ProgressResult::Success);
    // 101 ticks: 0..100 then back to 0.
    EXPECT_EQ(dialog.ProgressBar1->value(), 0);
}

// Counts what reaches reject(): Alt+F4, Escape and a close request are
// taken before they get there.
class RejectProbe : public TFormProgress
{
public:
    void reject() override
    {
        ++rejects;
        TFormProgress::reject();
    }
    int rejects = 0;
};

TEST_F(FormProgressTest, AltF4EscapeAndCloseChangeNothing)
{
    RejectProbe dialog;
    bool stillShownAfterKeys = false;
    bool altF4Taken = false;
    bool closeRefused = false;
    int rejectsByKeys = -1;
    dialog.OnProcess = [&] {
        QKeyEvent altF4(QEvent::KeyPress, Qt::Key_F4, Qt::AltModifier);
        QCoreApplication::sendEvent(&dialog, &altF4);
        altF4Taken = altF4.isAccepted();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCloseEvent close;
        QCoreApplication::sendEvent(&dialog, &close);
        closeRefused = !close.isAccepted();
        rejectsByKeys = dialog.rejects;
        dialog.reject();
        dialog.close();
        stillShownAfterKeys = dialog.isVisible();
        dialog.Close(ProgressResult::Success);
    };
    Guard(dialog, 30000);
    EXPECT_EQ(dialog.Execute(nullptr), ProgressResult::Success);
    EXPECT_TRUE(altF4Taken);
    EXPECT_TRUE(closeRefused);
    EXPECT_EQ(rejectsByKeys, 0);
    EXPECT_TRUE(stillShownAfterKeys);
}

TEST_F(FormProgressTest, CentredOverTheWindowHoldingThePage)
{
    struct Row {
        QRect host;
    };
    for (const Row row : {Row{QRect(0, 0, 600, 450)}, Row{QRect(37, 500, 600, 450)}, Row{QRect(-301, 11, 601, 451)}}) {
        QWidget window(nullptr, Qt::FramelessWindowHint);
        window.setGeometry(row.host);
        QWidget page(&window);
        page.setGeometry(0, 105, 600, 324);
        window.show();
        window.move(row.host.topLeft());
        const QRect area = window.frameGeometry();

        TFormProgress dialog;
        QPoint shownAt;
        dialog.OnProcess = [&] {
            shownAt = dialog.pos();
            dialog.Close(ProgressResult::Success);
        };
        Guard(dialog, 30000);
        ASSERT_EQ(dialog.Execute(&page), ProgressResult::Success);
        EXPECT_EQ(shownAt.x(), area.left() + (area.width() - 190) / 2);
        EXPECT_EQ(shownAt.y(), area.top() + (area.height() - 50) / 2);
    }
}

TEST_F(FormProgressTest, PageWithoutWindowCentresOverTheMainWindow)
{
    QWidget mainWindow(nullptr, Qt::FramelessWindowHint);
    mainWindow.setGeometry(200, 100, 600, 450);
    mainWindow.show();
    mainWindow.move(200, 100);
    SetMainWindow(&mainWindow);
    const QRect area = mainWindow.frameGeometry();

    QWidget loosePage;
    TFormProgress dialog;
    QPoint shownAt;
    dialog.OnProcess = [&] {
        shownAt = dialog.pos();
        dialog.Close(ProgressResult::Failure);
    };
    Guard(dialog, 30000);
    EXPECT_EQ(dialog.Execute(&loosePage), ProgressResult::Failure);
    EXPECT_EQ(shownAt, QPoint(area.left() + (area.width() - 190) / 2, area.top() + (area.height() - 50) / 2));
    SetMainWindow(nullptr);
}

} // namespace
