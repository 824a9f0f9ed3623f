// The IPv4 address control: typing runs from box to box, "." and the arrow
// keys move between boxes, Backspace in an empty box steps back, pasted or
// typed text is cut to a number of at most 255, and the boxes are tidied
// when the focus leaves the control.
#include "controls/centeredit.h"
#include "controls/timage.h"
#include "pages/device/frameipeditrect.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

class IpEditTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto *layout = new QVBoxLayout(&window);
        edit = new TFrameIPEditRect(&window);
        other = new QLineEdit(&window);
        layout->addWidget(edit);
        layout->addWidget(other);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        edit->Edits[0]->setFocus();
        QApplication::processEvents();
    }

    // Types each character into whichever box has the focus at that moment.
    void Type(const QString &keys)
    {
        for (const QChar ch : keys) {
            QWidget *target = QApplication::focusWidget();
            ASSERT_NE(target, nullptr);
            QTest::keyClick(target, ch.toLatin1());
        }
    }
    void Key(Qt::Key key)
    {
        QWidget *target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, key);
    }

    QStringList Boxes() const
    {
        QStringList texts;
        for (int i = 1; i <= 4; ++i)
            texts << edit->GetOctet(i);
        return texts;
    }
    int FocusedBox() const
    {
        for (int i = 0; i < 4; ++i)
            if (QApplication::focusWidget() == edit->Edits[i])
                return i + 1;
        return 0;
    }
    void LeaveControl()
    {
        other->setFocus();
        QApplication::processEvents();
    }

    QWidget window;
    TFrameIPEditRect *edit = nullptr;
    QLineEdit *other = nullptr;
};

TEST_F(IpEditTest, TypingTwelveDigitsFillsTheBoxesInTurnAndLeavingTidiesThem)
{
    Type(QStringLiteral("192168001001"));
    EXPECT_EQ(Boxes(), (QStringList{"192", "168", "001", "001"}));
    EXPECT_EQ(FocusedBox(), 4);
    EXPECT_EQ(edit->GetAddress(), QStringLiteral("192.168.1.1"));
    LeaveControl();
    EXPECT_EQ(Boxes(), (QStringList{"192", "168", "1", "1"}));
}

TEST_F(IpEditTest, DotsMoveOnAndAreNeverTyped)
{
    Type(QStringLiteral("1.2.3.4"));
    EXPECT_EQ(Boxes(), (QStringList{"1", "2", "3", "4"}));
    EXPECT_EQ(FocusedBox(), 4);
}

TEST_F(IpEditTest, DotInAnEmptyBoxDoesNothing)
{
    Type(QStringLiteral("."));
    EXPECT_EQ(FocusedBox(), 1);
    EXPECT_EQ(edit->GetAddress(), QString());
    // A dot in the last box has nowhere to go either.
    Type(QStringLiteral("1.2.3.4."));
    EXPECT_EQ(FocusedBox(), 4);
    EXPECT_EQ(edit->GetOctet(4), QStringLiteral("4"));
}

TEST_F(IpEditTest, DotMovingIntoAFilledBoxReplacesWhatItHeld)
{
    edit->SetAddress(QStringLiteral("10.20.30.40"));
    edit->Edits[0]->setFocus();
    edit->Edits[0]->setCursorPosition(2);
    Type(QStringLiteral(".7"));
    EXPECT_EQ(Boxes(), (QStringList{"10", "7", "30", "40"}));
}

TEST_F(IpEditTest, TypedLettersAreRefusedButDigitsGoOn)
{
    Type(QStringLiteral("1a2 b"));
    EXPECT_EQ(edit->GetOctet(1), QStringLiteral("12"));
    EXPECT_EQ(FocusedBox(), 1);
}

TEST_F(IpEditTest, PastedTextIsCutToANumberOfAtMost255)
{
    struct Row
    {
        const char *pasted;
        const char *kept;
    };
    const Row rows[] = {{"300", "255"}, {"12a4", "12"}, {"256", "255"}, {"255", "255"},
                        {"a12", ""},    {"1.2", "1"},   {"0099", "009"}};
    for (const Row &row : rows) {
        TCenterEdit *box = edit->Edits[1];
        box->clear();
        box->setFocus();
        box->insert(QString::fromLatin1(row.pasted)); // what a paste does
        EXPECT_EQ(box->text(), QString::fromLatin1(row.kept)) << row.pasted;
        EXPECT_EQ(box->cursorPosition(), box->text().size()) << row.pasted;
    }
}

TEST_F(IpEditTest, BackspaceInAnEmptyBoxStepsBackToTheEndOfThePreviousOne)
{
    Type(QStringLiteral("12.3"));
    Key(Qt::Key_Backspace);
    EXPECT_EQ(FocusedBox(), 2);
    EXPECT_EQ(edit->GetOctet(2), QString());
    Key(Qt::Key_Backspace);
    EXPECT_EQ(FocusedBox(), 1);
    EXPECT_EQ(edit->GetOctet(1), QStringLiteral("12")); // the key that moved deletes nothing
    EXPECT_EQ(edit->Edits[0]->cursorPosition(), 2);
    EXPECT_FALSE(edit->Edits[0]->hasSelectedText());
    Key(Qt::Key_Backspace);
    EXPECT_EQ(edit->GetOctet(1), QStringLiteral("1"));
}

TEST_F(IpEditTest, ArrowKeysCrossBoxesOnlyAtTheirEdges)
{
    edit->SetAddress(QStringLiteral("11.22.33.44"));
    edit->Edits[1]->setFocus();
    edit->Edits[1]->setCursorPosition(1);
    Key(Qt::Key_Left); // inside the text: stays
    EXPECT_EQ(FocusedBox(), 2);
    EXPECT_EQ(edit->Edits[1]->cursorPosition(), 0);
    Key(Qt::Key_Left);
    EXPECT_EQ(FocusedBox(), 1);
    EXPECT_EQ(edit->Edits[0]->cursorPosition(), 2);
    Key(Qt::Key_Right);
    EXPECT_EQ(FocusedBox(), 2);
    EXPECT_EQ(edit->Edits[1]->cursorPosition(), 0);
    edit->Edits[3]->setFocus();
    edit->Edits[3]->setCursorPosition(2);
    Key(Qt::Key_Right); // the last box has no neighbour
    EXPECT_EQ(FocusedBox(), 4);
    // With Shift held the arrow selects inside the box instead.
    edit->Edits[2]->setFocus();
    edit->Edits[2]->setCursorPosition(0);
    QTest::keyClick(edit->Edits[2], Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(FocusedBox(), 3);
}

TEST_F(IpEditTest, AddressTextInAndOut)
{
    struct Row
    {
        QStringList boxes;
        const char *address;
    };
    const Row rows[] = {
        {{"10", "", "0", "1"}, "10.0.0.1"},
        {{"", "", "", ""}, ""},
        {{"", "", "", "7"}, "0.0.0.7"},
        {{"001", "02", "3", "255"}, "1.2.3.255"},
    };
    for (const Row &row : rows) {
        for (int i = 0; i < 4; ++i)
            edit->Edits[i]->setText(row.boxes.at(i));
        EXPECT_EQ(edit->GetAddress(), QString::fromLatin1(row.address)) << row.address;
    }

    edit->SetAddress(QStringLiteral("1.2.3"));
    EXPECT_EQ(Boxes(), (QStringList{"1", "2", "3", ""}));
    edit->SetAddress(QStringLiteral("300.2.x.4.9"));
    EXPECT_EQ(Boxes(), (QStringList{"255", "2", "", "4"}));
    edit->SetAddress(QString());
    EXPECT_EQ(edit->GetAddress(), QString());
    EXPECT_EQ(edit->GetOctet(0), QString());
    EXPECT_EQ(edit->GetOctet(5), QString());
}

TEST_F(IpEditTest, LeavingTidiesEveryBoxUnlessAllAreEmpty)
{
    LeaveControl();
    EXPECT_EQ(Boxes(), (QStringList{"", "", "", ""}));

    edit->Edits[0]->setText(QStringLiteral("007"));
    edit->Edits[2]->setText(QStringLiteral("10"));
    edit->Edits[0]->setFocus();
    LeaveControl();
    EXPECT_EQ(Boxes(), (QStringList{"7", "0", "10", "0"}));
}

TEST_F(IpEditTest, EnteringAndLeavingAreReportedOnceEach)
{
    int entered = 0;
    int left = 0;
    QObject::connect(edit, &TFrameIPEditRect::FrameEnter, [&] { ++entered; });
    QObject::connect(edit, &TFrameIPEditRect::FrameExit, [&] { ++left; });
    LeaveControl();
    edit->Edits[2]->setFocus();
    Type(QStringLiteral("1.2")); // moving inside is neither
    QApplication::processEvents();
    LeaveControl();
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(left, 2);
}

TEST_F(IpEditTest, DisabledLookIsSilverOnTheDisabledOutline)
{
    edit->SetEnabled(false);
    EXPECT_FALSE(edit->isEnabled());
    EXPECT_FALSE(edit->Edits[0]->isEnabled());
    EXPECT_TRUE(edit->ImgDisableBG->isVisibleTo(edit));
    EXPECT_FALSE(edit->ImgEnableBG->isVisibleTo(edit));
    EXPECT_EQ(edit->Edits[3]->palette().color(QPalette::Disabled, QPalette::Base), QColor(192, 192, 192));
    edit->SetEnabled(true);
    EXPECT_TRUE(edit->Edits[0]->isEnabled());
    EXPECT_TRUE(edit->ImgEnableBG->isVisibleTo(edit));
    EXPECT_FALSE(edit->ImgDisableBG->isVisibleTo(edit));
    EXPECT_EQ(edit->Edits[3]->palette().color(QPalette::Active, QPalette::Base), QColor(Qt::white));
}

} // namespace
