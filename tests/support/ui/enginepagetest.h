#pragma once
// Fixtures for widget tests of pages that talk to the real engine on the
// in-process fake network: one with the bench up from the start and pages
// made on demand (the device access pages), one that starts a single
// simulated device on demand from a configuration the test fills in first
// (the survey and WPS pages), and a way to act inside a modal window.

#include "app/globalvar.h"
#include "protocol/formudp.h"
#include "simdevice.h"
#include "ui/pagetest.h"
#include "ui/recordingui.h"

#include <QObject>
#include <QString>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <vector>

// What a page shows when the device does not answer, in the program's own
// words (no settings file overrides it in these tests).
inline const QString kErConnect = QStringLiteral("Unable to connect to the device.");

// Runs `act` from the event loop of a modal window once `ready` holds (or
// after `ms` real milliseconds, so a broken run still closes the window).
// It polls instead of waiting inside a timer callback: a nested wait there
// would hold back the fake network's deliveries.
void WhenReady(QObject *context, std::function<bool()> ready, std::function<void()> act, int ms = 5000);

// One wait handed to Timing: the engine's pending request kind at that
// moment (REQ_NONE for a page's own timers and delays) and the product
// milliseconds.
struct RecordedWait
{
    int kind;
    int ms;
    bool operator==(const RecordedWait &) const = default;
};
void PrintTo(const RecordedWait &wait, std::ostream *out);

// Records every wait the program asks for while it lives, without the
// progress dialog's ticks, so a test can compare the waits with those the
// requests must have without waiting for them.
class WaitRecorder
{
public:
    WaitRecorder();
    ~WaitRecorder();
    const std::vector<RecordedWait> &Waits() const { return m_waits; }
    void Clear() { m_waits.clear(); }

private:
    std::vector<RecordedWait> m_waits;
};

// The waits of an IP write whose first answer is lost, as the setup-method
// and IP pages share the one writer: the write's 32 s twice around the
// re-login's 5 s, the device's 3 s to settle and the read-back's 15 s.
inline const std::vector<RecordedWait> kIpWriteWithOneRelogin{
    {REQ_IP_SETTING, 32000}, {REQ_LOGIN, 5000}, {REQ_IP_SETTING, 32000}, {REQ_NONE, 3000}, {REQ_GET_CONFIG, 15000}};

// The bench is up from the start; waits are shrunk a hundredfold, the
// device state is working, the password is "tulip" and both address
// records are empty.
class BenchPageTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Loads a page as its owner does and routes the engine's messages to it.
    template <class Page> std::unique_ptr<Page> MakePage()
    {
        auto page = std::make_unique<Page>();
        page->LoadPageTexts();
        main.page = page.get();
        return page;
    }
    // Lets posted commands arrive; the wizard commands received so far.
    std::vector<int> Commands();

    RecordingUi ui;
    MainWindowRecorder main;
    EngineBench bench;
};

// One simulated device, started by StartDevice from config_ (empty at
// SetUp; tests fill it in first). A derived SetUp chooses the time scale
// and then calls this one; TearDown restores the real scale.
class SimDevicePageTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Brings up the bench with the device and discovers it, so the engine's
    // sockets are open and g_Var.SelectedDevice is the device; the page
    // logs in by itself.
    SimDevice &StartDevice();
    // A page loaded as its owner does, receiving the engine's messages,
    // that has accepted a forward entry.
    template <class Page> std::unique_ptr<Page> EnterPage()
    {
        auto page = std::make_unique<Page>();
        host_.page = page.get();
        page->LoadPageTexts();
        EXPECT_TRUE(page->CanEnter(nullptr, false, 0));
        return page;
    }

    RecordingUi ui_;
    MainWindowRecorder host_;
    std::unique_ptr<EngineBench> bench_;
    SimDeviceConfig config_;
};
