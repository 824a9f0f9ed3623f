// The passphrase sub-page: what Next stores, the message box and the focus
// of a refused passphrase (the rules themselves have their table in the
// unit tests), the cipher that follows the WPA mode (shown and stored from
// the shown text), and the mode pre-selection for an access point and a
// bridge.
#include "app/globalvar.h"
#include "app/validation.h"
#include "messages/appmessage.h"
#include "pages/wireless/framewlprofpsk.h"
#include "ui/wirelesspagetest.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString kHexText = QStringLiteral("Passphrase should be 64 hex digits.");

class PassphraseTest : public WirelessPageTest<TFrameWlProfPSK>
{
protected:
    void ChooseMode(int code)
    {
        page.CmbWPAMode->setCurrentIndex(page.CmbWPAMode->findData(code));
        page.CmbWPAModeSelect();
    }
};

TEST_F(PassphraseTest, NextStoresThePassphraseAsTypedOrShowsTheRuleItFailed)
{
    CopyToField(g_Var.NewWlConfig.Passphrase, QStringLiteral("previous"));
    Enter();
    page.EdtPassphrase->setText(QString(63, u'a') + u'g');
    page.CmbWPAMode->setFocus();
    Next();
    ASSERT_EQ(ui.boxes.size(), 1);
    EXPECT_EQ(ui.boxes[0].text, kHexText);
    EXPECT_EQ(ui.boxes[0].kind, MsgKind::Information);
    EXPECT_EQ(page.focusWidget(), page.EdtPassphrase);
    EXPECT_TRUE(sink.Commands().empty());
    EXPECT_EQ(FieldText(g_Var.NewWlConfig.Passphrase), QStringLiteral("previous"));

    // Stored as typed, no change of case.
    page.EdtPassphrase->setText(QStringLiteral("Mixed Case pass"));
    Next();
    EXPECT_EQ(ui.boxes.size(), 1) << "no second box";
    EXPECT_EQ(sink.Commands(), std::vector<int>{WIZARD_NEXT});
    EXPECT_EQ(FieldText(g_Var.NewWlConfig.Passphrase), QStringLiteral("Mixed Case pass"));
}

TEST_F(PassphraseTest, CipherFollowsTheModeOnScreenAndInTheRecord)
{
    struct
    {
        int mode;
        QString shown;
        int cipher;
    } const rows[] = {
        {WPAMODE_WPA, QStringLiteral("TKIP"), WPACIPHER_TKIP},
        {WPAMODE_WPA2, QStringLiteral("AES"), WPACIPHER_AES},
        {WPAMODE_AUTO, QStringLiteral("TKIP and AES"), WPACIPHER_AUTO},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.mode);
        Enter();
        ChooseMode(row.mode);
        EXPECT_EQ(page.LbCipherValue->text(), row.shown);
        page.EdtPassphrase->setText(QStringLiteral("a passphrase"));
        Next();
        EXPECT_EQ(g_Var.NewWlConfig.WpaMode, row.mode);
        EXPECT_EQ(g_Var.NewWlConfig.WpaCipher, row.cipher);
    }
}

TEST_F(PassphraseTest, StoredCipherComesFromTheShownTextOfTheSettingsFile)
{
    UseSettings(settings, "[String]\r\nCipherAES=AES-CCMP\r\nWPA_WPA2=WPA2 only (file)\r\n");
    TFrameWlProfPSK fresh;
    fresh.LoadPageTexts();
    ASSERT_TRUE(fresh.CanEnter(nullptr, false, 0));
    fresh.CmbWPAMode->setCurrentIndex(fresh.CmbWPAMode->findData(WPAMODE_WPA2));
    fresh.CmbWPAModeSelect();
    EXPECT_EQ(fresh.CmbWPAMode->currentText(), QStringLiteral("WPA2 only (file)"));
    EXPECT_EQ(fresh.LbCipherValue->text(), QStringLiteral("AES-CCMP"));
    fresh.EdtPassphrase->setText(QStringLiteral("12345678"));
    fresh.BtnNext->click();
    EXPECT_EQ(g_Var.NewWlConfig.WpaCipher, WPACIPHER_AES);
}

TEST_F(PassphraseTest, ForwardEntryPreselection)
{
    struct
    {
        const char *name;
        int deviceMode;
        int storedMode;
        int authentication;
        int expected;
    } const rows[] = {
        {"AP stored WPA only", DEVICE_AP, WPAMODE_WPA, SURVEY_AUTH_WPA2PSK, WPAMODE_WPA},
        {"AP stored WPA2 only", DEVICE_AP, WPAMODE_WPA2, SURVEY_AUTH_OPEN, WPAMODE_WPA2},
        {"AP unknown stored mode", DEVICE_AP, 5, SURVEY_AUTH_WPAPSK, WPAMODE_AUTO},
        {"bridge WPA-PSK network", DEVICE_WBRIDGE, WPAMODE_WPA2, SURVEY_AUTH_WPAPSK, WPAMODE_WPA},
        {"bridge WPA2-PSK network", DEVICE_WBRIDGE, WPAMODE_WPA, SURVEY_AUTH_WPA2PSK, WPAMODE_WPA2},
        {"bridge mixed network", DEVICE_WBRIDGE, WPAMODE_WPA, SURVEY_AUTH_WPAPSK_WPA2PSK, WPAMODE_AUTO},
        {"bridge open network", DEVICE_WBRIDGE, WPAMODE_WPA, SURVEY_AUTH_OPEN, WPAMODE_AUTO},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        g_Var.DeviceMode = row.deviceMode;
        g_Var.NewWlConfig.WpaMode = row.storedMode;
        g_Var.SelectedAp.Authentication = uint8_t(row.authentication);
        CopyToField(g_Var.NewWlConfig.Passphrase, QStringLiteral("stored pass"));
        page.EdtPassphrase->clear();
        Enter();
        EXPECT_EQ(page.CmbWPAMode->currentData().toInt(), row.expected);
        EXPECT_EQ(page.LbCipherValue->text(), WpaCipherName(WpaCipherForMode(row.expected)));
        EXPECT_EQ(page.EdtPassphrase->text(), QStringLiteral("stored pass"));
    }
}

} // namespace
