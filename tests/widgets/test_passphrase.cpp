// The passphrase sub-page: the length and character rules with their two
// messages, the cipher that follows the WPA mode (shown and stored from the
// shown text), and the mode pre-selection for an access point and a bridge.
#include "app/globalvar.h"
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

const QString kLengthText =
    QStringLiteral("Passphrase should be between 8 to 63 charachers in ASCII format.");
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

struct PassCase
{
    const char *name;
    QString text;
    bool accepted;
    QString message; // when rejected
};

TEST_F(PassphraseTest, LengthAndCharacterRules)
{
    const QString hex64 = QStringLiteral("0123456789abcdefABCDEF0123456789abcdefABCDEF0123456789abcdef0123");
    QString notHex64 = hex64;
    notHex64[63] = u'g';
    const PassCase cases[] = {
        {"empty", QString(), false, kLengthText},
        {"seven", QStringLiteral("1234567"), false, kLengthText},
        {"eight", QStringLiteral("12345678"), true, {}},
        {"63 of any kind", QString(63, u'~'), true, {}},
        {"63 with blanks and case", QStringLiteral("Mixed Case ") + QString(52, u'z'), true, {}},
        {"64 hexadecimal", hex64, true, {}},
        {"64 with a non-hex", notHex64, false, kHexText},
        // A passphrase is printable ASCII: anything else draws the length
        // message, whatever its length.
        {"31 non-ASCII characters", QString(31, QChar(0xE9)), false, kLengthText},
        {"32 non-ASCII characters", QString(32, QChar(0xE9)), false, kLengthText},
        {"ten with a control character", QStringLiteral("abcde\x01fghi"), false, kLengthText},
    };
    for (const PassCase &c : cases) {
        SCOPED_TRACE(c.name);
        ResetWlConfig(g_Var.NewWlConfig);
        CopyToField(g_Var.NewWlConfig.Passphrase, QStringLiteral("previous"));
        Enter();
        page.EdtPassphrase->setText(c.text);
        ui.Clear();
        sink.Clear();
        Next();
        if (c.accepted) {
            EXPECT_TRUE(ui.boxes.isEmpty());
            EXPECT_EQ(sink.Commands(), std::vector<int>{WIZARD_NEXT});
            // Stored as typed, no change of case.
            EXPECT_EQ(FieldText(g_Var.NewWlConfig.Passphrase), c.text);
        } else {
            ASSERT_EQ(ui.boxes.size(), 1);
            EXPECT_EQ(ui.boxes[0].text, c.message);
            EXPECT_EQ(ui.boxes[0].kind, MsgKind::Information);
            EXPECT_TRUE(sink.Commands().empty());
            EXPECT_EQ(FieldText(g_Var.NewWlConfig.Passphrase), QStringLiteral("previous"));
        }
    }
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
        EXPECT_EQ(page.LbCipherValue->text(), WpaCipherName(TFrameWlProfPSK::CipherForMode(row.expected)));
        EXPECT_EQ(page.EdtPassphrase->text(), QStringLiteral("stored pass"));
    }
}

} // namespace
