// The static address page: the mask proposal, the broadcast correction,
// which field goes to which address rule and what a failure leaves stored
// (the rules themselves have their table in the unit tests), the comparison
// with what the device already has, and the write with its one retry,
// against the real engine and a simulated device on the fake network.
#include "app/globalvar.h"
#include "controls/centeredit.h"
#include "controls/trifacebtn.h"
#include "messages/appmessage.h"
#include "pages/device/framedevipcfg.h"
#include "pages/device/frameipeditrect.h"
#include "ui/enginepagetest.h"

#include <QApplication>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString kErIPAddr = QStringLiteral("The IP Address entered is invalid.");
const QString kErSubnetMask = QStringLiteral("The Subnet Mask entered is invalid.");
const QString kErSameAsLocal = QStringLiteral("The IP Address is the same as local host IP.");
const QString kErGateway = QStringLiteral("The Default Gateway entered is invalid.");

class IpConfigTest : public BenchPageTest
{
protected:
    void SetUp() override
    {
        BenchPageTest::SetUp();
        page = MakePage<TFrameDevIPCfg>();
    }
    void TearDown() override
    {
        main.page = nullptr;
        page.reset();
        BenchPageTest::TearDown();
    }

    void Fill(const char *ip, const char *mask, const char *gateway)
    {
        page->IPEditIP->SetAddress(QString::fromLatin1(ip));
        page->IPEditMask->SetAddress(QString::fromLatin1(mask));
        page->IPEditGateway->SetAddress(QString::fromLatin1(gateway));
    }
    // A logged-in device, so that a request the page sends reaches the
    // network.
    void LogIn()
    {
        bench.AddDevice(SimConfig(1));
        ASSERT_TRUE(bench.Login());
        bench.network.ClearSent();
    }
    void ShowPage()
    {
        page->show();
        page->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    }

    std::unique_ptr<TFrameDevIPCfg> page;
};

TEST_F(IpConfigTest, FieldsGoToTheirRulesAndAFailureStoresOnlyTheMode)
{
    struct Row
    {
        const char *ip;
        const char *mask;
        const char *gateway;
        const QString *message; // nullptr: accepted, stored as the three values below
        uint32_t storedIp = 0, storedMask = 0, storedGateway = 0;
    };
    const Row rows[] = {
        // An empty octet fails before the .255 correction could fill it.
        {"192..1.255", "255.255.255.0", "", &kErIPAddr},
        {"192.168.1.10", "255.0.255.0", "", &kErSubnetMask},
        {"192.168.1.10", "255.255.255.0", "192.168.2.1", &kErGateway},
        {"192.168.1.10", "255.255.255.0", "", nullptr, 0xC0A8010A, 0xFFFFFF00, 0},
        {"192.168.1.129", "255.255.255.128", "192.168.1.130", nullptr, 0xC0A80181, 0xFFFFFF80, 0xC0A80182},
    };
    LogIn();
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.ip) + " / " + row.mask + " / " + row.gateway);
        ui.Clear();
        main.Clear();
        const IpConfigRecord before{IP_MODE_DHCP, 1, 2, 3, 4, 5};
        const IpConfigRecord stored{IP_MODE_STATIC, row.storedIp, row.storedMask, row.storedGateway, 0, 0};
        // Accepted values equal to the device's own go on without a request.
        g_Var.CurIpConfig = row.message ? before : stored;
        g_Var.NewIpConfig = before;
        Fill(row.ip, row.mask, row.gateway);
        page->BtnNext->click();
        if (row.message) {
            EXPECT_EQ(ui.BoxTexts(), QStringList{*row.message});
            EXPECT_TRUE(Commands().empty());
            // Only the address mode is taken before the checks.
            EXPECT_EQ(g_Var.NewIpConfig, (IpConfigRecord{IP_MODE_STATIC, 1, 2, 3, 4, 5}));
            EXPECT_EQ(g_Var.CurIpConfig, before);
        } else {
            EXPECT_TRUE(ui.boxes.isEmpty());
            EXPECT_EQ(g_Var.NewIpConfig, stored);
            EXPECT_EQ(Commands(), std::vector<int>{WIZARD_NEXT});
        }
    }
    EXPECT_TRUE(bench.network.Sent().empty());
}

TEST_F(IpConfigTest, BroadcastAddressBecomesPointTwoFiftyFourBeforeTheChecks)
{
    LogIn();
    g_Var.CurIpConfig = {IP_MODE_STATIC, 0xC0A800FE, 0xFFFFFF00, 0, 0, 0};
    Fill("192.168.0.255", "255.255.255.0", "");
    page->BtnNext->click();
    EXPECT_EQ(page->IPEditIP->GetAddress(), QStringLiteral("192.168.0.254"));
    EXPECT_TRUE(ui.boxes.isEmpty());
    // Equal to what the device has: nothing is sent.
    EXPECT_EQ(Commands(), std::vector<int>{WIZARD_NEXT});
    EXPECT_TRUE(bench.network.Sent().empty());
}

TEST_F(IpConfigTest, OwnAdapterAddressIsRefused)
{
    bench.AddDevice(SimConfig(1));
    ASSERT_FALSE(bench.Discover().empty());
    ASSERT_EQ(bench.engine->LocalIP(), QString::fromLatin1(EngineBench::LocalAddress));
    Fill(EngineBench::LocalAddress, "255.255.255.0", "");
    page->BtnNext->click();
    EXPECT_EQ(ui.BoxTexts(), QStringList{kErSameAsLocal});
    EXPECT_TRUE(Commands().empty());
}

TEST_F(IpConfigTest, EnteringTheMaskFieldProposesAMaskByAddressClass)
{
    ShowPage();
    struct Row
    {
        const char *ip;
        const char *maskBefore;
        const char *proposed;
    };
    const Row rows[] = {
        {"10.0.0.1", "", "255.0.0.0"},
        {"172.16.0.1", "", "255.255.0.0"},
        {"192.168.1.1", "", "255.255.255.0"},
        {"10.0.0.1", "255.255.0.0", "255.255.0.0"},
        {"", "", ""},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.ip);
        Fill(row.ip, row.maskBefore, "");
        page->IPEditIP->Edits[0]->setFocus();
        QApplication::processEvents();
        page->IPEditMask->Edits[0]->setFocus();
        QApplication::processEvents();
        EXPECT_EQ(page->IPEditMask->GetAddress(), QString::fromLatin1(row.proposed));
    }
}

// Return in an address box checks what a click on Configure checks: the
// boxes are tidied first, as the focus leaving them tidies them for a click.
TEST_F(IpConfigTest, ReturnInAnAddressBoxChecksWhatAClickChecks)
{
    ShowPage();
    struct Row
    {
        const char *how;
        bool byKey;
        int box; // the mask box holding the focus
    };
    const Row rows[] = {{"click", false, 2}, {"Return", true, 2}, {"Return in the empty box", true, 3}};
    // What the device has already: an accepted address moves on at once.
    g_Var.CurIpConfig = {IP_MODE_STATIC, 0xC0A8010A, 0xFFFFFF00, 0, 0, 0};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.how);
        main.Clear();
        ui.Clear();
        Fill("192.168.1.10", "255.255.255", "");
        page->IPEditMask->Edits[row.box]->setFocus();
        QApplication::processEvents();
        if (row.byKey)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        else
            QTest::mouseClick(page->BtnNext, Qt::LeftButton);
        EXPECT_TRUE(ui.boxes.isEmpty()) << ui.BoxTexts().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(page->IPEditMask->GetOctet(4), QStringLiteral("0"));
        EXPECT_EQ(g_Var.NewIpConfig.Netmask, 0xFFFFFF00u);
        EXPECT_EQ(Commands(), std::vector<int>{WIZARD_NEXT});
    }
}

TEST_F(IpConfigTest, TabVisitsGatewayThenAddressThenMask)
{
    ShowPage();
    std::vector<QWidget *> expected;
    for (TFrameIPEditRect *field : {page->IPEditGateway, page->IPEditIP, page->IPEditMask})
        for (TCenterEdit *box : field->Edits)
            expected.push_back(box);
    expected.front()->setFocus();
    std::vector<QWidget *> visited{QApplication::focusWidget()};
    for (size_t i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.push_back(QApplication::focusWidget());
    }
    EXPECT_EQ(visited, expected);
}

TEST_F(IpConfigTest, ForwardEntryFillsTheFieldsAndBackEntryKeepsThem)
{
    g_Var.NewIpConfig = {IP_MODE_STATIC, 0xC0A8010A, 0xFFFFFF00, 0xFFFFFFFF, 0x08080808, 0};
    page->RBtnDHCP->click();
    page->CanEnter(nullptr, false, 0);
    EXPECT_TRUE(page->RBtnStatic->isChecked());
    EXPECT_TRUE(page->IPEditIP->isEnabled());
    EXPECT_EQ(page->IPEditIP->GetAddress(), QStringLiteral("192.168.1.10"));
    EXPECT_EQ(page->IPEditMask->GetAddress(), QStringLiteral("255.255.255.0"));
    EXPECT_EQ(page->IPEditGateway->GetAddress(), QString());
    EXPECT_EQ(page->IPEditDNS1->GetAddress(), QStringLiteral("8.8.8.8"));
    EXPECT_EQ(page->IPEditDNS2->GetAddress(), QString());
    EXPECT_FALSE(page->IPEditDNS1->isVisibleTo(page.get()));

    g_Var.NewIpConfig.Gateway = 0;
    page->CanEnter(nullptr, false, 0);
    EXPECT_EQ(page->IPEditGateway->GetAddress(), QString());
    g_Var.NewIpConfig.Gateway = 0xC0A80101;
    page->CanEnter(nullptr, false, 0);
    EXPECT_EQ(page->IPEditGateway->GetAddress(), QStringLiteral("192.168.1.1"));

    page->IPEditIP->SetAddress(QStringLiteral("10.0.0.9"));
    g_Var.NewIpConfig.Ip = 0;
    page->CanEnter(nullptr, true, 0);
    EXPECT_EQ(page->IPEditIP->GetAddress(), QStringLiteral("10.0.0.9"));
}

TEST_F(IpConfigTest, AddressModeRadiosEnableTheFields)
{
    page->RBtnDHCP->click();
    for (TFrameIPEditRect *field :
         {page->IPEditIP, page->IPEditMask, page->IPEditGateway, page->IPEditDNS1, page->IPEditDNS2})
        EXPECT_FALSE(field->isEnabled());
    page->RBtnStatic->click();
    for (TFrameIPEditRect *field :
         {page->IPEditIP, page->IPEditMask, page->IPEditGateway, page->IPEditDNS1, page->IPEditDNS2})
        EXPECT_TRUE(field->isEnabled());
}

class IpConfigDeviceTest : public IpConfigTest
{
protected:
    // A device on 192.168.1.1/24 with gateway .254, logged in, its
    // configuration read and offered unchanged to the page.
    void Connect(SimDeviceConfig config)
    {
        config.dhcp = false;
        device = &bench.AddDevice(config);
        ASSERT_TRUE(bench.Login());
        ASSERT_TRUE(bench.ReadConfig());
        g_Var.NewIpConfig = g_Var.CurIpConfig;
        ASSERT_EQ(g_Var.CurIpConfig,
                  (IpConfigRecord{IP_MODE_STATIC, 0xC0A80101, 0xFFFFFF00, 0xC0A801FE, 0, 0}));
        main.Clear();
        page->CanEnter(nullptr, false, 0);
    }
    FakeDevice *device = nullptr;
};

TEST_F(IpConfigDeviceTest, UnchangedValuesMoveOnWithoutARequest)
{
    Connect(SimConfig(1));
    bench.network.ClearSent();
    page->BtnNext->click();
    EXPECT_EQ(Commands(), std::vector<int>{WIZARD_NEXT});
    EXPECT_TRUE(bench.network.Sent().empty());
    EXPECT_TRUE(ui.boxes.isEmpty());
}

TEST_F(IpConfigDeviceTest, ChangedValuesAreWrittenWithOneRetry)
{
    struct Row
    {
        int dropped;
        bool nonWorking;
        bool succeeds;
    };
    for (const Row row :
         {Row{0, false, true}, Row{1, false, true}, Row{2, false, false}, Row{2, true, false}}) {
        SCOPED_TRACE(row.dropped);
        ui.Clear();
        page = MakePage<TFrameDevIPCfg>();
        EngineBench local;
        SimDeviceConfig config = SimConfig(1);
        config.dhcp = false;
        config.dropFirst[SimKind::SetIp] = row.dropped;
        local.AddDevice(config);
        ASSERT_TRUE(local.Login());
        ASSERT_TRUE(local.ReadConfig());
        g_Var.NewIpConfig = g_Var.CurIpConfig;
        g_Var.NonWorking = row.nonWorking;
        page->CanEnter(nullptr, false, 0);
        main.Clear();

        page->IPEditIP->SetAddress(QStringLiteral("192.168.1.20"));
        WaitRecorder waits;
        page->BtnNext->click();
        if (row.dropped == 1) {
            EXPECT_EQ(waits.Waits(), kIpWriteWithOneRelogin);
        }

        EXPECT_EQ(local.Requests(SimKind::SetIp), row.dropped == 0 ? 1 : 2);
        EXPECT_EQ(local.Requests(SimKind::Logout), row.dropped == 0 ? 0 : 1);
        EXPECT_EQ(g_Var.NewIpConfig.Ip, 0xC0A80114u);
        if (row.succeeds) {
            EXPECT_TRUE(ui.boxes.isEmpty());
            EXPECT_EQ(g_Var.CurIpConfig.Ip, 0xC0A80114u); // read back from the device
            EXPECT_EQ(Commands(), std::vector<int>{WIZARD_NEXT});
        } else {
            EXPECT_EQ(ui.BoxTexts(), QStringList{kErConnect});
            EXPECT_EQ(Commands(), row.nonWorking ? std::vector<int>{WIZARD_NEXT} : std::vector<int>{});
        }
    }
}

TEST_F(IpConfigDeviceTest, ChangingOnlyTheHiddenNameServerStillWrites)
{
    Connect(SimConfig(1));
    page->IPEditDNS1->SetAddress(QStringLiteral("8.8.4.4"));
    page->BtnNext->click();
    EXPECT_EQ(bench.Requests(SimKind::SetIp), 1);
    EXPECT_EQ(Commands(), std::vector<int>{WIZARD_NEXT});
}

} // namespace
