// The wireless method page: forward entries reset the choice to manual set-up
// and reload the mode's explanation, backward entries keep both, and Next
// records the choice before it posts.
#include "app/globalvar.h"
#include "messages/appmessage.h"
#include "pages/wireless/framesetwlmethod.h"
#include "ui/wirelesspagetest.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>
#include <memory>

namespace {

class SetWlMethodTest : public WirelessPageTest<TFrameSetWlMethod>
{
protected:
    void SetUp() override
    {
        UseSettings(settings, "[String]\r\nSetWlMethod_AP_MODE_MSG=Text for an access point\r\n"
                              "SetWlMethod_BRIDGE_MODE_MSG=Text for a bridge\r\n");
        page.LoadPageTexts();
        page.show();
    }

    std::vector<int> Click(QPushButton *button)
    {
        sink.Clear();
        button->click();
        QCoreApplication::processEvents();
        return sink.Commands();
    }
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
    UseSettings(settings, QByteArray());
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
    g_Var.WlMethod = static_cast<WirelessMethod>(5);
    page.RBtnWPS->setChecked(true);
    EXPECT_EQ(Click(page.BtnNext), std::vector<int>{WIZARD_NEXT});
    EXPECT_EQ(g_Var.WlMethod, WirelessMethod::Wps);
    page.RBtnManual->setChecked(true);
    EXPECT_EQ(Click(page.BtnNext), std::vector<int>{WIZARD_NEXT});
    EXPECT_EQ(g_Var.WlMethod, WirelessMethod::Profile);

    g_Var.WlMethod = static_cast<WirelessMethod>(5);
    EXPECT_EQ(Click(page.BtnBack), std::vector<int>{WIZARD_BACK});
    EXPECT_EQ(Click(page.BtnExit), std::vector<int>{WIZARD_EXIT});
    EXPECT_EQ(g_Var.WlMethod, static_cast<WirelessMethod>(5));
}

} // namespace
