// The WEP key sub-page: which keys are accepted and how they are stored,
// which message each rejection shows under the three kinds of settings file
// (none, only the general text, the four specific texts), and the forward
// entry rules of the key length and authentication lists.
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

const QString kGeneral = QStringLiteral("You have entered an incorrect WEP key. Please try again.");

class WepKeyTest : public WirelessPageTest<TFrameWlProfWEP>
{
protected:
    void ChooseLength(int code)
    {
        page.CmbWEP->setCurrentIndex(page.CmbWEP->findData(code));
        page.CmbWEPSelect();
    }
};

struct KeyCase
{
    const char *name;
    int length;              // WEP key length code
    const char *key;         // typed text (UTF-8)
    const char *stored;      // nullptr: rejected
    const char *specificKey; // message key of the rejection
};

const KeyCase kKeyCases[] = {
    {"64 ASCII any characters", 0, "a b!~", "a b!~", nullptr},
    {"64 hex lower case", 0, "0a1b2c3d4e", "0A1B2C3D4E", nullptr},
    {"64 hex upper case", 0, "ABCDEF0123", "ABCDEF0123", nullptr},
    {"64 ten with a non-hex", 0, "0a1b2c3d4g", nullptr, "ER_WEP64Hex"},
    {"64 seven characters", 0, "abcdefg", nullptr, "ER_WEP64"},
    {"64 empty", 0, "", nullptr, "ER_WEP64"},
    // A key is printable ASCII: anything else draws the length message.
    {"64 five non-ASCII characters", 0, "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F\xC3\xA9", nullptr, "ER_WEP64"},
    {"64 two non-ASCII and one ASCII", 0, "\xC3\xA4\xC3\xB6x", nullptr, "ER_WEP64"},
    {"128 thirteen with a tab", 1, "twelve-chars\t", nullptr, "ER_WEP128"},
    {"128 ASCII", 1, "thirteen-char", "thirteen-char", nullptr},
    {"128 hex", 1, "00112233445566778899aabbcc", "00112233445566778899AABBCC", nullptr},
    {"128 26 with a non-hex", 1, "00112233445566778899aabbcz", nullptr, "ER_WEP128Hex"},
    {"128 twenty characters", 1, "01234567890123456789", nullptr, "ER_WEP128"},
    {"128 ten hex digits", 1, "0123456789", nullptr, "ER_WEP128"},
    {"128 empty", 1, "", nullptr, "ER_WEP128"},
};

// Settings files: none, only the general text, and all four specific texts.
enum class Messages { BuiltIn, GeneralOnly, Specific };

QString Expected(Messages messages, const char *specificKey)
{
    switch (messages) {
    case Messages::BuiltIn:
        return kGeneral;
    case Messages::GeneralOnly:
        return QStringLiteral("General from file");
    case Messages::Specific:
        return QStringLiteral("Text of ") + QString::fromLatin1(specificKey);
    }
    return {};
}

QByteArray IniFor(Messages messages)
{
    switch (messages) {
    case Messages::BuiltIn:
        return {};
    case Messages::GeneralOnly:
        return "[Message]\r\nER_WEPKey=General from file\r\n";
    case Messages::Specific:
        return "[Message]\r\nER_WEPKey=General from file\r\nER_WEP64Hex=Text of ER_WEP64Hex\r\n"
               "ER_WEP64=Text of ER_WEP64\r\nER_WEP128Hex=Text of ER_WEP128Hex\r\nER_WEP128=Text of "
               "ER_WEP128\r\n";
    }
    return {};
}

TEST_F(WepKeyTest, AcceptsAndRejectsEveryKeyFormWithTheMatchingMessage)
{
    for (Messages messages : {Messages::BuiltIn, Messages::GeneralOnly, Messages::Specific}) {
        UseSettings(settings, IniFor(messages));
        g_Var.MsgTitle = QStringLiteral("Title");
        for (const KeyCase &c : kKeyCases) {
            SCOPED_TRACE(c.name);
            SCOPED_TRACE(int(messages));
            ResetWlConfig(g_Var.NewWlConfig);
            CopyToField(g_Var.NewWlConfig.WepKey, QStringLiteral("OLDKEY"));
            g_Var.NewWlConfig.WepKeyLen = 1 - c.length;
            Enter();
            ChooseLength(c.length);
            page.EdtKey1->setText(QString::fromUtf8(c.key));
            ui.Clear();
            sink.Clear();
            Next();
            if (c.stored) {
                EXPECT_TRUE(ui.boxes.isEmpty());
                EXPECT_EQ(sink.Commands(), std::vector<int>{WIZARD_NEXT});
                EXPECT_EQ(FieldText(g_Var.NewWlConfig.WepKey), QString::fromUtf8(c.stored));
                EXPECT_EQ(g_Var.NewWlConfig.WepKeyLen, c.length);
            } else {
                ASSERT_EQ(ui.boxes.size(), 1);
                EXPECT_EQ(ui.boxes[0].text, Expected(messages, c.specificKey));
                EXPECT_EQ(ui.boxes[0].title, QStringLiteral("Title"));
                EXPECT_EQ(ui.boxes[0].kind, MsgKind::Information);
                EXPECT_TRUE(sink.Commands().empty());
                // A rejected key leaves everything stored as it was.
                EXPECT_EQ(FieldText(g_Var.NewWlConfig.WepKey), QStringLiteral("OLDKEY"));
                EXPECT_EQ(g_Var.NewWlConfig.WepKeyLen, 1 - c.length);
            }
        }
    }
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
