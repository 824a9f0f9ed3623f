#pragma once
// The wizard's page order as a pure decision: given the page now shown and
// the user's earlier choices, which page Next and Back lead to. The wizard
// window asks this and then switches pages. Each page's neighbours are
// declared with the page itself in the page table (pagetable.h); keeping the
// decisions apart from the widgets lets every row be checked on its own.

#include "app/records.h"

// The wizard's pages (None: no page shown yet).
enum class WizardPage {
    None,
    Welcome,
    License,
    Tutorial,
    Tutorial2,
    DevList,
    Password,
    WlModeSel,
    SetupMethod,
    DevIPCfg,
    SetWlMethod,
    WPSMethod,
    Success,
    WlProfile,
    AdhocMode,
    WlConfig,
    SiteSurvey,
};

// The page's object name; "None" for no page, "?" for a page without a row
// in the page table.
const char *WizardPageName(WizardPage page);

// The choices the transitions read.
struct WizardChoices
{
    int DeviceMode = 0;  // DEVICE_AP (1) or DEVICE_WBRIDGE (2)
    int SetupMethod = 0; // 0 IP settings, 1 wireless settings, 2 advanced
    WirelessMethod WlMethod = WirelessMethod::Wps;
    bool SetIP = false; // the static-address choice RBtnSetIP is selected
};

// What a Next or Back command does.
struct WizardStep
{
    enum Kind {
        Stay,  // nothing happens
        Show,  // ShowPage(target, isBack, param)
        Close, // end the modal showing with closeResult
    };
    Kind kind = Stay;
    WizardPage target = WizardPage::None;
    bool isBack = false;
    // Before the switch: SetupMethod := 1 and the device's current settings
    // become the new ones (NewIpConfig, NewWlConfig).
    bool startWireless = false;
    int closeResult = 0;
};

// Where Next or Back leads from one page. `profileMoved` is what the
// profile sequence's ProfileMove answered (read on that page only).
using NeighbourRule = WizardStep (*)(const WizardChoices &choices, bool profileMoved);

// The steps a rule gives.
WizardStep StayStep();
WizardStep ShowStep(WizardPage target, bool isBack);
WizardStep CloseStep(int result);

// Next from `current`. `profileMoved` is what the profile sequence's
// ProfileMove(forward) answered; it is only read when `current` is the
// profile sequence (the caller asks the sequence only then).
WizardStep DecideNext(WizardPage current, const WizardChoices &choices, bool profileMoved);

// Back from `current`; `profileMoved` as above with ProfileMove(backward).
WizardStep DecideBack(WizardPage current, const WizardChoices &choices, bool profileMoved);
