// The WEP key sub-page: what Next stores, the message box and the focus of
// a refused key (the key rules have their table in the unit tests),
// and the forward entry rules of the key length and authentication lists.
#include "app/globalvar.h"
#include "messages/appmessage.h"
#include "pages/wireless/framewlprofwep.h"
#include "ui/wirelesspagetest.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

class WepKeyTest : public WirelessPageTest<TFrameWlProfWEP>
{
protected:
    void ChooseLength(int code)
    {
        page.CmbWEP->setCurrentIndex(page.CmbWEP->findData(code));
        page.CmbWEPSelect();
    }
};

TEST_F(WepKeyTest, NextStoresTheKeyOrShowsTheRuleItFailed)
{
    UseSettings(settings,
                "[Message]\r\nER_WEPKey=General from file\r\nER_WEP128Hex=Text of ER_WEP128Hex\r\n");
    g_Var.MsgTitle = QStringLiteral("Title");
    CopyToField(g_Var.NewWlConfig.WepKey, QStringLiteral("OLDKEY"));
    g_Var.NewWlConfig.WepKeyLen = WEPKEYLEN_64;
    Enter();
    ChooseLength(WEPKEYLEN_128);
    page.EdtKey1->setText(QStringLiteral("00112233445566778899aabbcz"));
    page.CmbAuthen->setFocus();
    Next();
    // The text the file gives for the rule that failed, in an information
    // box; the focus back on the key; nothing stored.
    ASSERT_EQ(ui.boxes.size(), 1);
    EXPECT_EQ(ui.boxes[0].text, QStringLiteral("Text of ER_WEP128Hex"));
    EXPECT_EQ(ui.boxes[0].title, QStringLiteral("Title"));
    EXPECT_EQ(ui.boxes[0].kind, MsgKind::Information);
    EXPECT_EQ(page.focusWidget(), page.EdtKey1);
    EXPECT_TRUE(sink.Commands().empty());
    EXPECT_EQ(FieldText(g_Var.NewWlConfig.WepKey), QStringLiteral("OLDKEY"));
    EXPECT_EQ(g_Var.NewWlConfig.WepKeyLen, WEPKEYLEN_64);

    // A hexadecimal key is stored in upper case, with its length.
    page.EdtKey1->setText(QStringLiteral("00112233445566778899aabbcc"));
    ui.Clear();
    Next();
    EXPECT_TRUE(ui.boxes.isEmpty());
    EXPECT_EQ(sink.Commands(), std::vector<int>{WIZARD_NEXT});
    EXPECT_EQ(FieldText(g_Var.NewWlConfig.WepKey), QStringLiteral("00112233445566778899AABBCC"));
    EXPECT_EQ(g_Var.NewWlConfig.WepKeyLen, WEPKEYLEN_128);
}

TEST_F(WepKeyTest, KeyLengthSetsTheLimitAndEmptiesTheKey)
{
    Enter();
    ChooseLength(1);
    EXPECT_EQ(page.EdtKey1->maxLength(), 26);
    page.EdtKey1->setFocus();
    QTest::keyClicks(page.EdtKey1, QStringLiteral("0123456789abcdef0123456789ffff"));
    EXPECT_EQ(page.EdtKey1->text(), QStringLiteral("0123456789abcdef0123456789"));
    ChooseLength(0);
    EXPECT_EQ(page.EdtKey1->maxLength(), 10);
    EXPECT_TRUE(page.EdtKey1->text().isEmpty());
    QTest::keyClicks(page.EdtKey1, QStringLiteral("0123456789abc"));
    EXPECT_EQ(page.EdtKey1->text(), QStringLiteral("0123456789"));
}

TEST_F(WepKeyTest, ForwardEntryLoadsTheStoredKeyLengthAndAuthentication)
{
    g_Var.NewWlConfig.WepKeyLen = 1;
    g_Var.NewWlConfig.AuthMode = AUTHMODE_SHARED;
    CopyToField(g_Var.NewWlConfig.WepKey, QStringLiteral("00112233445566778899AABBCC"));
    Enter();
    EXPECT_EQ(page.CmbWEP->currentData().toInt(), 1);
    EXPECT_EQ(page.EdtKey1->maxLength(), 26);
    EXPECT_EQ(page.EdtKey1->text(), QStringLiteral("00112233445566778899AABBCC"));
    ASSERT_EQ(page.CmbAuthen->count(), 3);
    EXPECT_EQ(page.CmbAuthen->itemText(2), QStringLiteral("Auto"));
    EXPECT_EQ(page.CmbAuthen->currentData().toInt(), AUTHMODE_SHARED);

    // Unknown codes fall back to 64 bit and Auto.
    g_Var.NewWlConfig.WepKeyLen = 7;
    g_Var.NewWlConfig.AuthMode = 9;
    Enter();
    EXPECT_EQ(page.CmbWEP->currentData().toInt(), 0);
    EXPECT_EQ(page.EdtKey1->maxLength(), 10);
    EXPECT_EQ(page.CmbAuthen->currentData().toInt(), AUTHMODE_AUTO);

    // Next stores the chosen authentication.
    page.CmbAuthen->setCurrentIndex(page.CmbAuthen->findData(AUTHMODE_OPEN));
    page.EdtKey1->setText(QStringLiteral("abcde"));
    Next();
    EXPECT_EQ(g_Var.NewWlConfig.AuthMode, AUTHMODE_OPEN);
}

TEST_F(WepKeyTest, BridgeOffersOpenAndSharedWithOpenPreselected)
{
    g_Var.DeviceMode = DEVICE_WBRIDGE;
    g_Var.NewWlConfig.AuthMode = AUTHMODE_SHARED;
    for (int entry = 0; entry < 2; ++entry) {
        Enter();
        ASSERT_EQ(page.CmbAuthen->count(), 2);
        EXPECT_EQ(page.CmbAuthen->itemData(0).toInt(), AUTHMODE_OPEN);
        EXPECT_EQ(page.CmbAuthen->itemData(1).toInt(), AUTHMODE_SHARED);
        EXPECT_EQ(page.CmbAuthen->currentData().toInt(), AUTHMODE_OPEN);
        page.CmbAuthen->setCurrentIndex(1);
    }
}

TEST_F(WepKeyTest, BackwardEntryKeepsWhatTheUserTyped)
{
    Enter();
    ChooseLength(1);
    page.EdtKey1->setText(QStringLiteral("half typed"));
    ASSERT_TRUE(page.CanEnter(nullptr, true, 0));
    EXPECT_EQ(page.CmbWEP->currentData().toInt(), 1);
    EXPECT_EQ(page.EdtKey1->text(), QStringLiteral("half typed"));
}

} // namespace
