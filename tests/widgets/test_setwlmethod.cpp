// The wireless method page: forward entries reset the choice to manual set-up
// and reload the mode's explanation, backward entries keep both, and Next
// records the choice before it posts.
#include "app/globalvar.h"
#include "pages/wireless/framesetwlmethod.h"
#include "wizard/core/appmessage.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class CommandSink : public QObject
{
public:
    CommandSink() { SetMainWindow(this); }
    ~CommandSink() override { SetMainWindow(nullptr); }
    std::vector<int> commands;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != AppMessage::eventType())
            return QObject::event(event);
        auto *message = static_cast<AppMessage *>(event);
        if (message->id == UM_WIZARD_COMMAND)
            commands.push_back(int(message->wParam));
        return true;
    }
};

void LoadSettings(QTemporaryDir &dir, const QByteArray &ini)
{
    const QString exe = dir.filePath(QStringLiteral("setup"));
    QFile::remove(exe + QStringLiteral(".ini"));
    if (!ini.isEmpty()) {
        QFile file(exe + QStringLiteral(".ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(ini);
    }
    g_Var.ReadSettings(exe);
}

class SetWlMethodTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        LoadSettings(dir, "[String]\r\nSetWlMethod_AP_MODE_MSG=Text for an access point\r\n"
                          "SetWlMethod_BRIDGE_MODE_MSG=Text for a bridge\r\n");
        page.LoadPageTexts();
        page.show();
    }
    void TearDown() override { LoadSettings(dir, QByteArray()); }

    std::vector<int> Click(QPushButton *button)
    {
        sink.commands.clear();
        button->click();
        QCoreApplication::processEvents();
        return sink.commands;
    }

    QTemporaryDir dir;
    CommandSink sink;
    TFrameSetWlMethod page;
};

TEST_F(SetWlMethodTest, ForwardEntryResetsToManualAndLoadsTheModeText)
{
    struct
    {
        int deviceMode;
        QString text;
    } const rows[] = {
        {DEVICE_AP, QStringLiteral("Text for an access point")},
        {DEVICE_WBRIDGE, QStringLiteral("Text for a bridge")},
        {7, QStringLiteral("Text for a bridge")},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.deviceMode);
        g_Var.DeviceMode = row.deviceMode;
        page.RBtnWPS->setChecked(true);
        ASSERT_TRUE(page.CanEnter(nullptr, false, 0));
        EXPECT_TRUE(page.RBtnManual->isChecked());
        EXPECT_FALSE(page.RBtnWPS->isChecked());
        EXPECT_EQ(page.LbSetWlMsg->text(), row.text);
    }
}

TEST_F(SetWlMethodTest, BackwardEntryKeepsChoiceAndText)
{
    g_Var.DeviceMode = DEVICE_AP;
    ASSERT_TRUE(page.CanEnter(nullptr, false, 0));
    page.RBtnWPS->setChecked(true);
    g_Var.DeviceMode = DEVICE_WBRIDGE;
    ASSERT_TRUE(page.CanEnter(nullptr, true, 0));
    EXPECT_TRUE(page.RBtnWPS->isChecked());
    EXPECT_EQ(page.LbSetWlMsg->text(), QStringLiteral("Text for an access point"));
}

TEST_F(SetWlMethodTest, WithoutTheKeysTheExplanationIsBlank)
{
    LoadSettings(dir, QByteArray());
    for (int mode : {DEVICE_AP, DEVICE_WBRIDGE}) {
        g_Var.DeviceMode = mode;
        ASSERT_TRUE(page.CanEnter(nullptr, false, 0));
        EXPECT_TRUE(page.LbSetWlMsg->text().isEmpty());
    }
}

TEST_F(SetWlMethodTest, ButtonsRecordTheChoiceAndPostTheirCommands)
{
    g_Var.DeviceMode = DEVICE_AP;
    ASSERT_TRUE(page.CanEnter(nullptr, false, 0));
    g_Var.WlMethod = 5;
    page.RBtnWPS->setChecked(true);
    EXPECT_EQ(Click(page.BtnNext), std::vector<int>{WIZARD_NEXT});
    EXPECT_EQ(g_Var.WlMethod, 0);
    page.RBtnManual->setChecked(true);
    EXPECT_EQ(Click(page.BtnNext), std::vector<int>{WIZARD_NEXT});
    EXPECT_EQ(g_Var.WlMethod, 1);

    g_Var.WlMethod = 5;
    EXPECT_EQ(Click(page.BtnBack), std::vector<int>{WIZARD_BACK});
    EXPECT_EQ(Click(page.BtnExit), std::vector<int>{WIZARD_EXIT});
    EXPECT_EQ(g_Var.WlMethod, 5);
}

TEST_F(SetWlMethodTest, DesignOfThePage)
{
    EXPECT_EQ(page.size(), QSize(600, 324));
    EXPECT_EQ(page.BtnExit->geometry(), QRect(24, 288, 85, 21));
    EXPECT_EQ(page.BtnBack->geometry(), QRect(389, 288, 85, 21));
    EXPECT_EQ(page.BtnNext->geometry(), QRect(492, 288, 85, 21));
    EXPECT_EQ(page.RBtnManual->text(), QStringLiteral("Manual Setup"));
    EXPECT_EQ(page.RBtnWPS->text(), QStringLiteral("Wi-Fi Protected Setup (WPS)"));
    EXPECT_EQ(page.LbClickNext->text(), QStringLiteral("Click Next to continue"));
    EXPECT_TRUE(page.LbSetWlMsg->wordWrap());
    EXPECT_EQ(page.findChild<QWidget *>(QStringLiteral("GBoxSetWlMethod"))->pos(), QPoint(24, 16));
}

} // namespace
