#pragma once
// The one global record of the program, g_Var: the values read from the
// settings file at start-up (product naming, titles, switches and the
// display names of the wireless choices), the user's choices of setup
// method, wireless method, WPS method and network, and, as its base
// DeviceState, the device state the pages share with the program's
// protocol engine.
//
// Also the entry points every unit uses to read the settings file: texts
// and switches by key (settingkeys.h lists every shared key with its
// default) and the message boxes of section "Message".

#include "app/devicestate.h"
#include "app/messagebox.h"
#include "app/records.h"
#include "app/settingkeys.h"
#include "app/threadini.h"

#include <QString>
#include <memory>

struct TGlobalVar : DeviceState
{
    TGlobalVar();
    ~TGlobalVar();

    TGlobalVar(const TGlobalVar &) = delete;
    TGlobalVar &operator=(const TGlobalVar &) = delete;

    // The start-up read for the running executable. Returns true.
    bool ReadSettings();
    // The start-up read as if the executable were `executablePath`: the
    // settings file, ExePath and the default AppTitle follow from it.
    bool ReadSettings(const QString &executablePath);

    // Single reads of the settings file under its lock.
    QString ReadString(const QString &section, const QString &key, const QString &def) const;
    bool ReadBool(const QString &section, const QString &key, bool def) const;

    // ----- settings -----
    QString ExePath;      // folder of the executable, ending with '/'
    QString SettingsFile; // the executable's path with the extension ".ini", or the user's (userplaces.h)
    // The guarded settings file. Exists from construction (reading nothing
    // until ReadSettings points it at SettingsFile), so a read is never made
    // through a null store.
    std::unique_ptr<GuardedIni> SettingsStore;
    QString ShortName;
    QString MutexName; // ShortName + "_Mutex"
    QString AppTitle;
    QString MsgTitle;
    QString AcrobatReaderPath; // ExeRelativePath("AcrobatReader") when that is not empty
    QString AcrobatReaderTitle;
    bool LicenseAccepted = false;
    bool NonWorking = false;

    // The display names of section "String", named after their keys.
    QString SecurityNone;
    QString SecurityWEP;
    QString SecurityWPAPSK;
    QString SecurityWPA;
    QString AuthenOpen;
    QString AuthenShared;
    QString AuthenAuto;
    QString WEP64;
    QString WEP128;
    QString WPA_WPA;
    QString WPA_WPA2;
    QString WPA_WPAAuto;
    QString CipherTKIP;
    QString CipherAES;
    QString CipherAuto;
    QString WirlessMode_BG;
    QString WirlessMode_B;
    QString WirlessMode_A;
    QString WirlessMode_ABG;
    QString WirlessMode_G;
    QString WirlessMode_ABGN;
    QString WirlessMode_N;
    QString WirlessMode_GN;
    QString WirlessMode_AN;
    QString WirlessMode_BGN;

    // ----- the user's choices (the device state is the base record) -----
    int32_t SetupMethod = 0; // SETUP_METHOD_*
    WirelessMethod WlMethod = WirelessMethod::Wps;
    int32_t WpsMethod = 0; // WPS_METHOD_PBC, any other value PIN
    SurveyEntry SelectedAp;

private:
    void SetDisplayDefaults();
};

extern TGlobalVar g_Var;

// The 25 display-name fields of g_Var in the order of section "String",
// with their keys (the start-up read walks this table).
struct DisplayTextField
{
    const TextKey *Key;
    QString TGlobalVar::*Field;
};
extern const DisplayTextField kDisplayTextFields[25];

// The file an executable reads its settings from: its path with the
// extension replaced by ".ini" (or followed by it when there is none).
QString SettingsFileFor(const QString &executablePath);

// A file on the medium named relative to the executable's folder. The
// settings file is written for the original platform, so backslashes
// separate folders there; they are turned into '/'. Empty stays empty.
QString ExeRelativePath(const QString &relative);

// Reads a key of the table in settingkeys.h with its built-in default.
QString ReadText(const TextKey &key);
bool ReadFlag(const BoolKey &key);

// The text of a message of section "Message".
QString MessageText(const char *key, const QString &def);
QString MessageText(const TextKey &message);

// Shows a message of section "Message" through the installed message-box
// service with g_Var.MsgTitle as its title; returns the button pressed
// (MSG_RESULT_NONE when no service is installed).
int ShowMessage(const char *key, const QString &def, MsgKind kind = MsgKind::Information);
int ShowMessage(const TextKey &message, MsgKind kind = MsgKind::Information);
