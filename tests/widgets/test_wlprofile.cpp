// The wireless profile sequence: the container's moves (the branch on the
// security mode, Back retracing the path actually taken, leaving at either
// end), the forwarding of engine messages to the shown sub-page, and the
// network-name, wireless-mode and security sub-pages.
#include "app/globalvar.h"
#include "messages/appmessage.h"
#include "pages/wireless/framewlprofband.h"
#include "pages/wireless/framewlprofconfirm.h"
#include "pages/wireless/framewlprofile.h"
#include "pages/wireless/framewlprofpsk.h"
#include "pages/wireless/framewlprofsecurity.h"
#include "pages/wireless/framewlprofssid.h"
#include "pages/wireless/framewlprofwep.h"
#include "pages/wireless/framewlprofwlmode.h"
#include "ui/wirelesspagetest.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Plays the wizard window for the profile page: Next and Back become
// ProfileMove, whose answers are recorded.
class ProfileHost : public QObject
{
public:
    explicit ProfileHost(TFrameWlProfile *profile) : m_profile(profile) { SetMainWindow(this); }
    ~ProfileHost() override { SetMainWindow(nullptr); }
    std::vector<bool> nextResults;
    std::vector<bool> backResults;
    int exits = 0;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != AppMessage::eventType())
            return QObject::event(event);
        auto *message = static_cast<AppMessage *>(event);
        if (message->id != UM_WIZARD_COMMAND)
            return true;
        if (message->wParam == WIZARD_NEXT)
            nextResults.push_back(m_profile->ProfileMove(true));
        else if (message->wParam == WIZARD_BACK)
            backResults.push_back(m_profile->ProfileMove(false));
        else if (message->wParam == WIZARD_EXIT)
            ++exits;
        return true;
    }

private:
    TFrameWlProfile *m_profile;
};

// Records the engine messages a sub-page receives.
class ListeningConfirm : public QObject
{
public:
    std::vector<int> seen;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == AppMessage::eventType())
            seen.push_back(static_cast<AppMessage *>(event)->id);
        return false;
    }
};

class ProfileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_Var.WlMethod = WirelessMethod::Profile;
        g_Var.SelectedAp = SurveyEntry{};
        ShowWirelessPage(settings, profile);
    }

    void EnterForward()
    {
        ASSERT_TRUE(profile.CanEnter(nullptr, false, 0));
        profile.Entered(nullptr, false, 0);
    }
    // Clicks a button of the shown sub-page and lets the host handle what
    // it posted.
    void Click(QPushButton *button)
    {
        button->click();
        QCoreApplication::processEvents();
    }
    template <typename Page> void Next(Page *page) { Click(page->BtnNext); }
    template <typename Page> void Back(Page *page) { Click(page->BtnBack); }

    void ChooseSecurity(int code)
    {
        QComboBox *combo = profile.FrameWlProfSecurity1->CmbSecurity;
        combo->setCurrentIndex(combo->findData(code));
    }

    std::unique_ptr<TestSettings> settings;
    RecordingUi ui;
    TFrameWlProfile profile;
    ProfileHost host{&profile};
};

TEST_F(ProfileTest, SubPagesAreHiddenUntilTheFirstForwardEntry)
{
    EXPECT_EQ(profile.CurrentSubPage(), nullptr);
    for (QWidget *page : std::initializer_list<QWidget *>{
             profile.FrameWlProfBand1, profile.FrameWlProfSSID1, profile.FrameWlProfWlMode1,
             profile.FrameWlProfSecurity1, profile.FrameWlProfWEP1, profile.FrameWlProfPSK1,
             profile.FrameWlProfConfirm1}) {
        EXPECT_TRUE(page->isHidden()) << page->objectName().toStdString();
        EXPECT_EQ(page->geometry(), QRect(0, 0, 600, 323));
    }
    EnterForward();
    EXPECT_EQ(profile.CurrentSubPage(), profile.FrameWlProfSSID1);
    EXPECT_TRUE(profile.FrameWlProfSSID1->isVisible());
}

TEST_F(ProfileTest, NoneSkipsTheKeyPagesAndBackRetracesThePath)
{
    EnterForward();
    Next(profile.FrameWlProfSSID1);
    EXPECT_EQ(profile.CurrentSubPage(), profile.FrameWlProfWlMode1);
    Next(profile.FrameWlProfWlMode1);
    EXPECT_EQ(profile.CurrentSubPage(), profile.FrameWlProfSecurity1);
    ChooseSecurity(SECMODE_NONE);
    Next(profile.FrameWlProfSecurity1);
    EXPECT_EQ(profile.CurrentSubPage(), profile.FrameWlProfConfirm1);
    EXPECT_TRUE(profile.FrameWlProfSecurity1->isHidden());
    EXPECT_TRUE(profile.FrameWlProfWEP1->isHidden());
    EXPECT_TRUE(profile.FrameWlProfPSK1->isHidden());
    EXPECT_EQ(host.nextResults, (std::vector<bool>{false, false, false}));

    Back(profile.FrameWlProfConfirm1);
    EXPECT_EQ(profile.CurrentSubPage(), profile.FrameWlProfSecurity1);
    Back(profile.FrameWlProfSecurity1);
    EXPECT_EQ(profile.CurrentSubPage(), profile.FrameWlProfWlMode1);
    Back(profile.FrameWlProfWlMode1);
    EXPECT_EQ(profile.CurrentSubPage(), profile.FrameWlProfSSID1);
    // Back on the first sub-page leaves the profile for the host's page.
    Back(profile.FrameWlProfSSID1);
    EXPECT_EQ(host.backResults, (std::vector<bool>{false, false, false, true}));
    EXPECT_EQ(profile.CurrentSubPage(), profile.FrameWlProfSSID1);
}

TEST_F(ProfileTest, SecurityChoiceBranchesAndBackReturnsTheSameWay)
{
    struct
    {
        int security;
        TFrameBase *keyPage;
    } const rows[] = {
        {SECMODE_WEP, profile.FrameWlProfWEP1},
        {SECMODE_WPAPSK, profile.FrameWlProfPSK1},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.security);
        EnterForward();
        Next(profile.FrameWlProfSSID1);
        Next(profile.FrameWlProfWlMode1);
        ChooseSecurity(row.security);
        Next(profile.FrameWlProfSecurity1);
        ASSERT_EQ(profile.CurrentSubPage(), row.keyPage);
        if (row.security == SECMODE_WEP)
            profile.FrameWlProfWEP1->EdtKey1->setText(QStringLiteral("abcde"));
        else
            profile.FrameWlProfPSK1->EdtPassphrase->setText(QStringLiteral("passphrase"));
        Click(row.keyPage->findChild<QPushButton *>(QStringLiteral("BtnNext")));
        ASSERT_EQ(profile.CurrentSubPage(), profile.FrameWlProfConfirm1);
        Back(profile.FrameWlProfConfirm1);
        EXPECT_EQ(profile.CurrentSubPage(), row.keyPage);
        Click(row.keyPage->findChild<QPushButton *>(QStringLiteral("BtnBack")));
        EXPECT_EQ(profile.CurrentSubPage(), profile.FrameWlProfSecurity1);
    }
}

TEST_F(ProfileTest, NextOnTheConfirmationEndsTheSequence)
{
    EnterForward();
    Next(profile.FrameWlProfSSID1);
    Next(profile.FrameWlProfWlMode1);
    ChooseSecurity(SECMODE_NONE);
    Next(profile.FrameWlProfSecurity1);
    ASSERT_EQ(profile.CurrentSubPage(), profile.FrameWlProfConfirm1);
    EXPECT_TRUE(profile.ProfileMove(true));
    EXPECT_EQ(profile.CurrentSubPage(), profile.FrameWlProfConfirm1);

    // Coming back from the page after the profile resumes on the
    // confirmation; a new forward entry starts again at the network name.
    profile.Entered(nullptr, true, 0);
    EXPECT_EQ(profile.CurrentSubPage(), profile.FrameWlProfConfirm1);
    EnterForward();
    EXPECT_EQ(profile.CurrentSubPage(), profile.FrameWlProfSSID1);
    EXPECT_TRUE(profile.FrameWlProfConfirm1->isHidden());
}

TEST_F(ProfileTest, UnknownSecurityModeMakesNextDoNothing)
{
    EnterForward();
    Next(profile.FrameWlProfSSID1);
    Next(profile.FrameWlProfWlMode1);
    g_Var.NewWlConfig.SecurityMode = 3;
    EXPECT_FALSE(profile.ProfileMove(true));
    EXPECT_EQ(profile.CurrentSubPage(), profile.FrameWlProfSecurity1);
    EXPECT_TRUE(profile.FrameWlProfSecurity1->isVisible());
}

TEST_F(ProfileTest, EngineMessagesGoToTheShownSubPage)
{
    EnterForward();
    ListeningConfirm ssidListener;
    ListeningConfirm modeListener;
    profile.FrameWlProfSSID1->installEventFilter(&ssidListener);
    profile.FrameWlProfWlMode1->installEventFilter(&modeListener);
    SendAppMessage(&profile, UM_UDP_REPLY, 6, 1);
    SendAppMessage(&profile, UM_UDP_TIMEOUT, 5, 0);
    SendAppMessage(&profile, UM_UDP_EVENT, 150, 3);
    SendAppMessage(&profile, UM_SOCKET_DATA, 1, 0);
    EXPECT_EQ(ssidListener.seen, (std::vector<int>{UM_UDP_REPLY, UM_UDP_TIMEOUT, UM_UDP_EVENT}));
    EXPECT_TRUE(modeListener.seen.empty());
}

TEST_F(ProfileTest, NetworkNamePrefillAndCheck)
{
    UseSettings(settings, "[Setting]\r\nSSID=FromSettings\r\n");
    CopyToField(g_Var.NewWlConfig.Ssid, QStringLiteral("CurrentName"));
    CopyToField(g_Var.SelectedAp.Ssid, QStringLiteral("ChosenNetwork"));
    TFrameWlProfSSID *page = profile.FrameWlProfSSID1;

    g_Var.DeviceMode = DEVICE_AP;
    EnterForward();
    EXPECT_EQ(page->EdtSSID->text(), QStringLiteral("FromSettings"));

    g_Var.DeviceMode = DEVICE_WBRIDGE;
    EnterForward();
    EXPECT_EQ(page->EdtSSID->text(), QStringLiteral("ChosenNetwork"));

    // Without the key an access point proposes the name it holds.
    UseSettings(settings, QByteArray());
    g_Var.DeviceMode = DEVICE_AP;
    EnterForward();
    EXPECT_EQ(page->EdtSSID->text(), QStringLiteral("CurrentName"));

    page->EdtSSID->clear();
    Next(page);
    ASSERT_EQ(ui.boxes.size(), 1);
    EXPECT_EQ(ui.boxes[0].text, QStringLiteral("No SSID"));
    EXPECT_EQ(profile.CurrentSubPage(), page);
    EXPECT_EQ(FieldText(g_Var.NewWlConfig.Ssid), QStringLiteral("CurrentName"));

    // A name that would not fit the device's 32 bytes is refused, not cut.
    page->EdtSSID->setText(QString(20, QChar(0xE9)));
    Next(page);
    ASSERT_EQ(ui.boxes.size(), 2);
    EXPECT_EQ(ui.boxes[1].text, QStringLiteral("Invaild SSID"));
    EXPECT_EQ(profile.CurrentSubPage(), page);
    EXPECT_EQ(FieldText(g_Var.NewWlConfig.Ssid), QStringLiteral("CurrentName"));

    g_Var.NewWlConfig.StdChannel = 6;
    g_Var.NewWlConfig.ExtChannel = 2;
    page->EdtSSID->setText(QStringLiteral("NewName"));
    Next(page);
    EXPECT_EQ(FieldText(g_Var.NewWlConfig.Ssid), QStringLiteral("NewName"));
    EXPECT_EQ(g_Var.NewWlConfig.StdChannel, 0);
    EXPECT_EQ(g_Var.NewWlConfig.ExtChannel, 0);
    EXPECT_EQ(profile.CurrentSubPage(), profile.FrameWlProfWlMode1);
    EXPECT_EQ(page->EdtSSID->maxLength(), 32);

    // Names that are not UTF-8 show as Windows-1252 and, left as shown, keep
    // their bytes: the access point's own name, the surveyed network's (11
    // such bytes would grow to 33 through UTF-8 and be refused).
    const struct
    {
        int mode;
        QByteArray held, chosen, sent;
        QString shown;
    } rows[] = {
        {DEVICE_AP, "Caf\xE9-\xFF", "Chosen", "Caf\xE9-\xFF", QString::fromUtf8("Caf\u00e9-\u00ff")},
        {DEVICE_WBRIDGE, "Held", QByteArray(11, '\xE9'), QByteArray(11, '\xE9'), QString(11, QChar(0xE9))},
    };
    for (const auto &r : rows) {
        g_Var.DeviceMode = r.mode;
        SetSsid(g_Var.NewWlConfig.Ssid, r.held);
        SetSsid(g_Var.SelectedAp.Ssid, r.chosen);
        EnterForward();
        EXPECT_EQ(page->EdtSSID->text(), r.shown);
        Next(page);
        EXPECT_EQ(SsidBytes(g_Var.NewWlConfig.Ssid), r.sent);
    }
    EnterForward();
    page->EdtSSID->setText(QString::fromUtf8("Caf\u00e9"));
    Next(page);
    EXPECT_EQ(SsidBytes(g_Var.NewWlConfig.Ssid), QByteArray("Caf\xC3\xA9")) << "a typed name goes as UTF-8";
    EXPECT_EQ(ui.boxes.size(), 2);
}

TEST_F(ProfileTest, WirelessModeListAndForwardReselection)
{
    TFrameWlProfWlMode *page = profile.FrameWlProfWlMode1;
    ASSERT_EQ(page->CmbMode->count(), 3);
    EXPECT_EQ(page->CmbMode->itemData(0).toInt(), WLMODE_BGN);
    EXPECT_EQ(page->CmbMode->itemData(1).toInt(), WLMODE_BG);
    EXPECT_EQ(page->CmbMode->itemData(2).toInt(), WLMODE_N);
    EXPECT_EQ(page->CmbMode->itemText(0), QStringLiteral("2.4GHz 802.11 b/g/n mixed mode"));

    EnterForward();
    Next(profile.FrameWlProfSSID1);
    page->CmbMode->setCurrentIndex(2);
    Next(page);
    EXPECT_EQ(g_Var.NewWlConfig.WirelessMode, WLMODE_N);
    // Back keeps the choice; a forward entry selects b/g/n again.
    Back(profile.FrameWlProfSecurity1);
    EXPECT_EQ(page->CmbMode->currentData().toInt(), WLMODE_N);
    Back(page);
    Next(profile.FrameWlProfSSID1);
    EXPECT_EQ(page->CmbMode->currentData().toInt(), WLMODE_BGN);
}

TEST_F(ProfileTest, SecurityPreselection)
{
    struct
    {
        const char *name;
        int deviceMode;
        int encryption;
        int authentication;
        int expected;
    } const rows[] = {
        {"access point", DEVICE_AP, SURVEY_ENC_WEP, SURVEY_AUTH_SHARED, SECMODE_NONE},
        {"bridge, open network", DEVICE_WBRIDGE, SURVEY_ENC_NONE, SURVEY_AUTH_WPA2PSK, SECMODE_NONE},
        {"bridge, WEP network", DEVICE_WBRIDGE, SURVEY_ENC_WEP, SURVEY_AUTH_OPEN, SECMODE_WEP},
        {"bridge, WPA-PSK", DEVICE_WBRIDGE, SURVEY_ENC_TKIP, SURVEY_AUTH_WPAPSK, SECMODE_WPAPSK},
        {"bridge, WPA2-PSK", DEVICE_WBRIDGE, SURVEY_ENC_AES, SURVEY_AUTH_WPA2PSK, SECMODE_WPAPSK},
        {"bridge, mixed PSK", DEVICE_WBRIDGE, SURVEY_ENC_TKIP_AES, SURVEY_AUTH_WPAPSK_WPA2PSK,
         SECMODE_WPAPSK},
        {"bridge, WPA enterprise", DEVICE_WBRIDGE, SURVEY_ENC_AES, SURVEY_AUTH_WPA2, SECMODE_NONE},
    };
    TFrameWlProfSecurity *page = profile.FrameWlProfSecurity1;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        g_Var.DeviceMode = row.deviceMode;
        g_Var.SelectedAp.Encryption = uint8_t(row.encryption);
        g_Var.SelectedAp.Authentication = uint8_t(row.authentication);
        page->CmbSecurity->setCurrentIndex(1);
        ASSERT_TRUE(page->CanEnter(nullptr, false, 0));
        EXPECT_EQ(page->CmbSecurity->currentData().toInt(), row.expected);
    }
}

TEST_F(ProfileTest, NoneResetsTheSecurityDetails)
{
    WlConfigRecord &config = g_Var.NewWlConfig;
    config.AuthMode = AUTHMODE_SHARED;
    config.WepKeyLen = 1;
    config.WepKeyIndex = 3;
    std::memset(config.WepKey, 'k', sizeof config.WepKey);
    config.WpaMode = WPAMODE_WPA;
    config.WpaCipher = WPACIPHER_TKIP;
    std::memset(config.Passphrase, 'p', sizeof config.Passphrase);

    EnterForward();
    Next(profile.FrameWlProfSSID1);
    Next(profile.FrameWlProfWlMode1);
    ChooseSecurity(SECMODE_NONE);
    Next(profile.FrameWlProfSecurity1);

    EXPECT_EQ(config.SecurityMode, SECMODE_NONE);
    EXPECT_EQ(config.AuthMode, 0);
    EXPECT_EQ(config.WepKeyLen, 0);
    EXPECT_EQ(config.WepKeyIndex, 1);
    EXPECT_EQ(config.WpaMode, 2);
    EXPECT_EQ(config.WpaCipher, 2);
    const char zeros[128] = {};
    EXPECT_EQ(std::memcmp(config.WepKey, zeros, sizeof zeros), 0);
    EXPECT_EQ(std::memcmp(config.Passphrase, zeros, sizeof zeros), 0);

    // WEP keeps the details for the key page.
    config.WpaMode = WPAMODE_WPA;
    Back(profile.FrameWlProfConfirm1);
    ChooseSecurity(SECMODE_WEP);
    Next(profile.FrameWlProfSecurity1);
    EXPECT_EQ(config.SecurityMode, SECMODE_WEP);
    EXPECT_EQ(config.WpaMode, WPAMODE_WPA);
}

} // namespace
