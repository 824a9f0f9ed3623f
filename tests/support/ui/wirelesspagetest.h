#pragma once
// Fixture parts shared by the widget tests of the wireless set-up pages: a
// settings folder read over the built-in display texts, the page on screen
// for an access point with an empty wireless record, and a fixture that
// holds such a page with a recording UI and a recording main window.

#include "app/globalvar.h"
#include "framework/framebase.h"
#include "ui/pagetest.h"
#include "ui/recordingui.h"
#include "ui/testsettings.h"

#include <QByteArray>
#include <QCoreApplication>
#include <gtest/gtest.h>
#include <memory>

// Starts from the built-in display names, then reads `ini` as the settings
// file (none when empty). The previous settings folder goes first, so its
// defaults do not overwrite the new read.
void UseSettings(std::unique_ptr<TestSettings> &settings, const QByteArray &ini);

// Settings without a file, an access point with an empty wireless record,
// and `page` with its texts loaded and shown: the start of every wireless
// page test.
void ShowWirelessPage(std::unique_ptr<TestSettings> &settings, TFrameBase &page);

// A wireless page under test. Members are destroyed page first, so the page
// never outlives the recorders it may still talk to.
template <class Page> class WirelessPageTest : public ::testing::Test
{
protected:
    void SetUp() override { ShowWirelessPage(settings, page); }

    // A forward entry that the page must accept.
    void Enter() { ASSERT_TRUE(page.CanEnter(nullptr, false, 0)); }
    // Next, with whatever the page posts delivered.
    void Next()
    {
        page.BtnNext->click();
        QCoreApplication::processEvents();
    }

    std::unique_ptr<TestSettings> settings;
    RecordingUi ui;
    MainWindowRecorder sink;
    Page page;
};
