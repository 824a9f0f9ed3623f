// wizardctl's runner of many devices at once, on the in-process fake
// network with simulated devices: one shared socket, answers routed by the
// header's MAC, one login at a time, progress lines and Ctrl-C.
#include "core/fakenetwork.h"

#include "app/timing.h"
#include "ctlfleet.h"
#include "ctlsteps.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QThread>
#include <csignal>
#ifndef _WIN32
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#endif

namespace {

const MacAddress kPcMac{0x00, 0x0C, 0x29, 0xAA, 0x00, 0x01};

MacAddress DeviceMac(int i)
{
    return {0x02, 0x00, 0x4C, 0x00, 0x00, uint8_t(i + 1)};
}

struct Outcome
{
    std::string result;
    size_t devicesSeen = 0;
    uint32_t readBack = 0;
};

// A write of one IP address as a job of apply does it: find, log in, read,
// write, settle, read back.
void WriteIp(CtlSession &s, FleetStatus &status, const MacAddress &mac, const QString &password, uint32_t ip,
             Outcome &out)
{
    switch (ReachDevice(s, mac, password, Read::Config, nullptr,
                        [&status](const QString &step) { status.Say(step); })) {
    case Reached::Done:
        break;
    case Reached::Refused:
    case Reached::Silent:
        out.result = "login failed";
        return;
    case Reached::Unread:
        out.result = "no answer";
        return;
    case Reached::NoAdapter:
    case Reached::NotFound:
        out.result = "not found";
        return;
    }
    // Only its own device's answers reach the session.
    out.devicesSeen = s.Devices().size();
    status.Say(QStringLiteral("writing"));
    s.State().NewIpConfig = s.State().CurIpConfig;
    s.State().NewIpConfig.IpMode = IP_MODE_STATIC;
    s.State().NewIpConfig.Ip = ip;
    if (s.WriteWithRetry(REQ_IP_SETTING, CtlSession::kSetWait,
                         [&s](int wait) { s.Engine().SendIPSetting(wait); }) != CtlSession::Write::Accepted) {
        out.result = "write failed";
        return;
    }
    if (!ReadBack(s, CtlSession::kSettleDelay)) {
        out.result = "no read-back";
        return;
    }
    out.readBack = s.State().CurIpConfig.Ip;
    out.result = out.readBack == ip ? "verified" : "not verified";
    status.Say(QString::fromStdString(out.result));
}

class FleetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Timing::SetScale(0.01);
        net.SetAdapters({FakeNetwork::MakeAdapter("eth0", kPcMac, {{"192.168.1.10", "255.255.255.0"}})});
    }
    void TearDown() override { Timing::SetScale(1.0); }

    SimDevice &AddDevice(int i, const QByteArray &password = "tulip")
    {
        SimDeviceConfig config;
        config.mac = DeviceMac(i);
        config.name = "AP-" + QByteArray::number(i);
        config.password = password;
        return *net.AddSimDevice(config, {"eth0"}, QStringLiteral("192.168.1.%1").arg(100 + i)).sim;
    }

    FakeNetwork net;
};

TEST_F(FleetTest, EveryDeviceHoldsItsOwnWriteAndAFailingJobStopsNoOther)
{
    // Same password on every device: without the login turn a broadcast
    // write would reach every device logged in at that moment.
    constexpr int kDevices = 20;
    std::vector<SimDevice *> sims;
    for (int i = 0; i < kDevices; ++i)
        sims.push_back(&AddDevice(i));
    SimDevice &otherPassword = AddDevice(kDevices, "other");
    const uint32_t before = otherPassword.Config().ip;

    struct Extra
    {
        MacAddress mac;
        const char *expected;
    };
    const std::vector<Extra> failing = {
        {DeviceMac(kDevices), "login failed"}, // refused: the device has another password
        {DeviceMac(99), "not found"},          // no such device on the segment
    };
    std::vector<FleetJob> jobs;
    std::vector<Outcome> outcomes(kDevices + failing.size());
    const auto add = [&](const MacAddress &mac, uint32_t ip) {
        const size_t slot = jobs.size();
        jobs.push_back({QStringLiteral("dev-%1").arg(slot), mac,
                        [&outcomes, slot, mac, ip](CtlSession &s, FleetStatus &st) {
                            WriteIp(s, st, mac, QStringLiteral("tulip"), ip, outcomes[slot]);
                        }});
    };
    for (int i = 0; i < kDevices; ++i)
        add(DeviceMac(i), 0x0A000001 + uint32_t(i));
    for (const Extra &e : failing)
        add(e.mac, 0x0A0000FE);

    QString text;
    QTextStream progress(&text);
    const FleetRun run = RunFleet(jobs, kDefaultJobs, progress);

    EXPECT_FALSE(run.interrupted);
    EXPECT_EQ(run.started, std::vector<bool>(jobs.size(), true));
    for (int i = 0; i < kDevices; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(sims[size_t(i)]->Config().ip, 0x0A000001 + uint32_t(i));
        EXPECT_EQ(outcomes[size_t(i)].result, "verified");
        // Only the session's own device answers reach it.
        EXPECT_EQ(outcomes[size_t(i)].devicesSeen, 1u);
        EXPECT_TRUE(text.contains(QStringLiteral("dev-%1: verified\n").arg(i)));
    }
    for (size_t k = 0; k < failing.size(); ++k)
        EXPECT_EQ(outcomes[kDevices + k].result, failing[k].expected) << k;
    EXPECT_EQ(otherPassword.Config().ip, before);
    // One real socket for the one adapter, shared by every session.
    EXPECT_EQ(net.CreatedCount(), 1);
}

#ifndef _WIN32
TEST_F(FleetTest, CtrlCLetsTheRunningJobFinishAndStartsNoOther)
{
    for (int i = 0; i < 3; ++i)
        AddDevice(i);
    std::vector<Outcome> outcomes(3);
    std::vector<FleetJob> jobs;
    bool stopSeen = false;
    for (int i = 0; i < 3; ++i) {
        jobs.push_back(
            {QStringLiteral("dev-%1").arg(i), DeviceMac(i), [&, i](CtlSession &s, FleetStatus &st) {
                 std::raise(SIGINT);
                 stopSeen = st.StopRequested();
                 WriteIp(s, st, DeviceMac(i), QStringLiteral("tulip"), 0x0A000009, outcomes[size_t(i)]);
             }});
    }
    QString text;
    QTextStream progress(&text);
    const FleetRun run = RunFleet(jobs, 1, progress);

    EXPECT_TRUE(run.interrupted);
    EXPECT_TRUE(stopSeen);
    EXPECT_EQ(run.started, (std::vector<bool>{true, false, false}));
    EXPECT_EQ(outcomes[0].result, "verified");
    EXPECT_TRUE(text.contains("stopping: the writes in flight finish; 2 not started"));
}

TEST_F(FleetTest, OnATerminalTheLinesAreRedrawnInPlace)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    QFile terminal(QString::fromLocal8Bit(ptsname(master)));
    ASSERT_TRUE(terminal.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    fcntl(master, F_SETFL, O_NONBLOCK);

    std::vector<Outcome> outcomes(2);
    std::vector<FleetJob> jobs;
    for (int i = 0; i < 2; ++i) {
        AddDevice(i);
        jobs.push_back(
            {QStringLiteral("dev-%1").arg(i), DeviceMac(i), [&, i](CtlSession &s, FleetStatus &st) {
                 WriteIp(s, st, DeviceMac(i), QStringLiteral("tulip"), 0x0A000009, outcomes[size_t(i)]);
                 QThread::msleep(250); // outlasts a redraw
             }});
    }
    QTextStream progress(&terminal);
    RunFleet(jobs, 2, progress);
    QByteArray shown;
    char buffer[4096];
    for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;)
        shown.append(buffer, n);
    close(master);

    // Both devices live while they run (cursor up over two lines), then
    // each one's last line stays.
    EXPECT_TRUE(shown.contains("\x1b[2A")) << shown.toStdString();
    for (const char *line : {"\x1b[2Kdev-0: verified", "\x1b[2Kdev-1: verified"})
        EXPECT_TRUE(shown.contains(line)) << line;
}
#endif

} // namespace
