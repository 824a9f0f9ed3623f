#pragma once
// Every key of the settings file's shared sections ("Product", "Setting",
// "String", "Message") with its English default, defined once so that
// every unit reads a key with the same default. Windows and pages read
// their own control texts by their component names (ApplyTexts); those
// keys are not listed here.
//
// Read a text key with ReadText(key) and show a message with
// ShowMessage(MessageKey::ER_CONNECT) (globalvar.h).

#include <QtGlobal> // Q_OS_WIN

// A text key. `Default` is null when the default is not a fixed text: then
// the default is the text read for `DefaultFrom` (ER_WEP64 falls back to
// what the file gives for ER_WEPKey), or empty when that is null too.
struct TextKey
{
    const char *Section;
    const char *Key;
    const char *Default;
    const TextKey *DefaultFrom = nullptr;
};

// A boolean key (read by the integer rule: 0 false, any other integer true).
struct BoolKey
{
    const char *Section;
    const char *Key;
    bool Default;
};

inline constexpr char SECTION_PRODUCT[] = "Product";
inline constexpr char SECTION_SETTING[] = "Setting";
inline constexpr char SECTION_STRING[] = "String";
inline constexpr char SECTION_MESSAGE[] = "Message";

// The password every run starts with; no key reads it.
inline constexpr char DEFAULT_PASSWORD[] = "tulip";

// The Windows Defender Firewall rule that lets a program (the "%1") receive
// the device's answers, as an administrator types it.
#define WIZARD_NETSH_ALLOW_PROGRAM                                                                           \
    "netsh advfirewall firewall add rule name=\"Setup Wizard\" dir=in action=allow protocol=UDP "            \
    "localport=5433 program=\"%1\""

namespace ProductKey {
inline constexpr TextKey ShortName{SECTION_PRODUCT, "ShortName", "QRZ-517MXB"};
// Default: the executable's file name without its extension.
inline constexpr TextKey AppTitle{SECTION_PRODUCT, "AppTitle", nullptr};
// Default: the AppTitle value.
inline constexpr TextKey MsgTitle{SECTION_PRODUCT, "MsgTitle", nullptr};
inline constexpr TextKey AcrobatReader{SECTION_PRODUCT, "AcrobatReader", ""};
inline constexpr TextKey AcrobatReaderTitle{SECTION_PRODUCT, "AcrobatReaderTitle",
                                            "Adobe Reader 7.0.5 - Setup"};
inline constexpr TextKey UserGuide{SECTION_PRODUCT, "UserGuide", ""};
inline constexpr TextKey License{SECTION_PRODUCT, "License", ""};
inline constexpr TextKey ProductReg{SECTION_PRODUCT, "ProductReg", ""};
inline constexpr TextKey QIG{SECTION_PRODUCT, "QIG", "QIG"};
inline constexpr TextKey Res_Path{SECTION_PRODUCT, "Res_Path", ""};
} // namespace ProductKey

namespace SettingKey {
inline constexpr BoolKey NonWorking{SECTION_SETTING, "NonWorking", false};
inline constexpr BoolKey SkipTutorial{SECTION_SETTING, "SkipTutorial", false};
// Only the first 32 characters are used (see ResetWlConfig).
inline constexpr TextKey SSID{SECTION_SETTING, "SSID", "wireless"};
} // namespace SettingKey

// Section "String": the display names read into g_Var at start-up, then the
// texts that pages read when they are entered.
namespace StringKey {
inline constexpr TextKey SecurityNone{SECTION_STRING, "SecurityNone", "None"};
inline constexpr TextKey SecurityWEP{SECTION_STRING, "SecurityWEP", "WEP"};
inline constexpr TextKey SecurityWPAPSK{SECTION_STRING, "SecurityWPAPSK", "WPA-PSK"};
inline constexpr TextKey SecurityWPA{SECTION_STRING, "SecurityWPA", "WPA"};
inline constexpr TextKey AuthenOpen{SECTION_STRING, "AuthenOpen", "Open"};
inline constexpr TextKey AuthenShared{SECTION_STRING, "AuthenShared", "Shared"};
inline constexpr TextKey AuthenAuto{SECTION_STRING, "AuthenAuto", "Auto"};
inline constexpr TextKey WEP64{SECTION_STRING, "WEP64", "64 bit"};
inline constexpr TextKey WEP128{SECTION_STRING, "WEP128", "128 bit"};
inline constexpr TextKey WPA_WPA{SECTION_STRING, "WPA_WPA", "WPA Only"};
inline constexpr TextKey WPA_WPA2{SECTION_STRING, "WPA_WPA2", "WPA2 Only"};
inline constexpr TextKey WPA_WPAAuto{SECTION_STRING, "WPA_WPAAuto", "WPA or WPA2"};
inline constexpr TextKey CipherTKIP{SECTION_STRING, "CipherTKIP", "TKIP"};
inline constexpr TextKey CipherAES{SECTION_STRING, "CipherAES", "AES"};
inline constexpr TextKey CipherAuto{SECTION_STRING, "CipherAuto", "TKIP and AES"};
inline constexpr TextKey WirlessMode_BG{SECTION_STRING, "WirlessMode_BG", "2.4GHz 802.11 b/g mixed mode"};
inline constexpr TextKey WirlessMode_B{SECTION_STRING, "WirlessMode_B", "2.4GHz 802.11 b only"};
inline constexpr TextKey WirlessMode_A{SECTION_STRING, "WirlessMode_A", "2.4GHz 802.11 a only"};
inline constexpr TextKey WirlessMode_ABG{SECTION_STRING, "WirlessMode_ABG", "2.4GHz 802.11 a/b/g mixed mode"};
inline constexpr TextKey WirlessMode_G{SECTION_STRING, "WirlessMode_G", "2.4GHz 802.11 g only"};
inline constexpr TextKey WirlessMode_ABGN{SECTION_STRING, "WirlessMode_ABGN",
                                          "2.4GHz 802.11 a/b/g/n mixed mode"};
inline constexpr TextKey WirlessMode_N{SECTION_STRING, "WirlessMode_N", "2.4GHz 802.11 n only"};
inline constexpr TextKey WirlessMode_GN{SECTION_STRING, "WirlessMode_GN", "2.4GHz 802.11 g/n mixed mode"};
inline constexpr TextKey WirlessMode_AN{SECTION_STRING, "WirlessMode_AN", "2.4GHz 802.11 a/n mixed mode"};
inline constexpr TextKey WirlessMode_BGN{SECTION_STRING, "WirlessMode_BGN", "2.4GHz 802.11 b/g/n mixed mode"};

// Read by the pages when they are entered.
inline constexpr TextKey SetWlMethod_AP_MODE_MSG{SECTION_STRING, "SetWlMethod_AP_MODE_MSG", ""};
inline constexpr TextKey SetWlMethod_BRIDGE_MODE_MSG{SECTION_STRING, "SetWlMethod_BRIDGE_MODE_MSG", ""};
inline constexpr TextKey WPSMethod_AP_MODE_PBC_MSG{SECTION_STRING, "WPSMethod_AP_MODE_PBC_MSG", ""};
inline constexpr TextKey WPSMethod_AP_MODE_PIN_MSG{SECTION_STRING, "WPSMethod_AP_MODE_PIN_MSG", ""};
inline constexpr TextKey WPSMethod_AP_MODE_MSG{SECTION_STRING, "WPSMethod_AP_MODE_MSG", ""};
inline constexpr TextKey WPSMethod_AP_MODE_SSID{SECTION_STRING, "WPSMethod_AP_MODE_SSID",
                                                "Wireless Device SSID:"};
inline constexpr TextKey WPSMethod_AP_MODE_DevPIN{SECTION_STRING, "WPSMethod_AP_MODE_DevPIN",
                                                  "Wireless Device PIN:"};
inline constexpr TextKey WPSMethod_BRIDGE_MODE_PBC_MSG{SECTION_STRING, "WPSMethod_BRIDGE_MODE_PBC_MSG", ""};
inline constexpr TextKey WPSMethod_BRIDGE_MODE_PIN_MSG{SECTION_STRING, "WPSMethod_BRIDGE_MODE_PIN_MSG", ""};
inline constexpr TextKey WPSMethod_BRIDGE_MODE_MSG{SECTION_STRING, "WPSMethod_BRIDGE_MODE_MSG", ""};
inline constexpr TextKey WPSMethod_BRIDGE_MODE_SSID{SECTION_STRING, "WPSMethod_BRIDGE_MODE_SSID", "AP SSID:"};
inline constexpr TextKey WPSMethod_BRIDGE_MODE_DevPIN{SECTION_STRING, "WPSMethod_BRIDGE_MODE_DevPIN",
                                                      "Device PIN:"};
} // namespace StringKey

// Section "Message": every message box text of the program, and the hint of
// the empty device list.
namespace MessageKey {
inline constexpr TextKey MSG_Exit{SECTION_MESSAGE, "MSG_Exit", "Do you want to exit the Setup Wizard?"};
inline constexpr TextKey ER_Ethr_Interface{SECTION_MESSAGE, "ER_Ethr_Interface",
                                           "Unable to initialize adapter interface."};
inline constexpr TextKey ER_CONNECT{SECTION_MESSAGE, "ER_CONNECT", "Unable to connect to the device."};
inline constexpr TextKey ErIPAddr{SECTION_MESSAGE, "ErIPAddr", "The IP Address entered is invalid."};
inline constexpr TextKey ErSubnetMask{SECTION_MESSAGE, "ErSubnetMask", "The Subnet Mask entered is invalid."};
inline constexpr TextKey ErIPSameAsLocahost{SECTION_MESSAGE, "ErIPSameAsLocahost",
                                            "The IP Address is the same as local host IP."};
inline constexpr TextKey ErDefaultGateway{SECTION_MESSAGE, "ErDefaultGateway",
                                          "The Default Gateway entered is invalid."};
inline constexpr TextKey ER_FILE_UG{SECTION_MESSAGE, "ER_FILE_UG", "Unable to open the user guide."};
inline constexpr TextKey MSG_InstAcrobat{
    SECTION_MESSAGE, "MSG_InstAcrobat", "Acrobat Reader is not installed. Would you like to install it now?"};
inline constexpr TextKey ER_FILE_Acrobat{SECTION_MESSAGE, "ER_FILE_Acrobat",
                                         "Unable to find Acrobat Reader setup file."};
inline constexpr TextKey ER_LOGIN{SECTION_MESSAGE, "ER_LOGIN", "Unable to login the deivce."};
inline constexpr TextKey ER_Empty_SSID{SECTION_MESSAGE, "ER_Empty_SSID", "No SSID"};
inline constexpr TextKey ER_WEPKey{SECTION_MESSAGE, "ER_WEPKey",
                                   "You have entered an incorrect WEP key. Please try again."};
inline constexpr TextKey ER_WEP64Hex{SECTION_MESSAGE, "ER_WEP64Hex", nullptr, &ER_WEPKey};
inline constexpr TextKey ER_WEP64{SECTION_MESSAGE, "ER_WEP64", nullptr, &ER_WEPKey};
inline constexpr TextKey ER_WEP128Hex{SECTION_MESSAGE, "ER_WEP128Hex", nullptr, &ER_WEPKey};
inline constexpr TextKey ER_WEP128{SECTION_MESSAGE, "ER_WEP128", nullptr, &ER_WEPKey};
inline constexpr TextKey ER_PSKKeyHex{SECTION_MESSAGE, "ER_PSKKeyHex", "Passphrase should be 64 hex digits."};
inline constexpr TextKey ER_PSKKey{SECTION_MESSAGE, "ER_PSKKey",
                                   "Passphrase should be between 8 to 63 charachers in ASCII format."};
inline constexpr TextKey ER_PIN_Code{SECTION_MESSAGE, "ER_PIN_Code", "Invaild PIN Code"};
inline constexpr TextKey ER_SSID{SECTION_MESSAGE, "ER_SSID", "Invaild SSID"};
// Not a box: the device list shows it inside the empty list after a search.
// On Windows it names the system's own firewall and the command that lets
// the program in; "%1" there stands for the program's path.
inline constexpr TextKey MSG_NoDevice{
    SECTION_MESSAGE, "MSG_NoDevice",
#ifdef Q_OS_WIN
    "No device answered. Check that the device is switched on and connected "
    "to this computer, then click Refresh. Windows Defender Firewall must let "
    "this program receive UDP port 5433; in a command prompt run as "
    "administrator: " WIZARD_NETSH_ALLOW_PROGRAM
#else
    "No device answered. Check that the device is switched on and connected "
    "to this computer, then click Refresh. A firewall on this computer must "
    "let UDP port 5433 in."
#endif
};
} // namespace MessageKey
