// The settings file: the INI lookup rules, the start-up read into g_Var,
// the built-in defaults of the shared sections, the message boxes and the
// lock of the guarded settings file.
#include "app/debug.h"
#include "app/globalvar.h"
#include "app/inifile.h"
#include "app/threadini.h"
#include "app/userplaces.h"
#include "core/envvar.h"
#include "core/logcapture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

const QString kData = QStringLiteral(WIZARD_TEST_DATA "/settings/");

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

class RecordingBoxes : public MessageBoxService
{
public:
    struct Shown
    {
        QString Text, Title;
        MsgKind Kind;
    };
    int ShowMessageBox(const QString &text, const QString &title, MsgKind kind) override
    {
        shown.push_back({text, title, kind});
        return answer;
    }
    std::vector<Shown> shown;
    int answer = MSG_RESULT_OK;
};

// A fresh start-up read of an executable in a temporary folder.
class SettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        // Each read keeps a display text's current value as its default.
        for (const DisplayTextField &f : kDisplayTextFields)
            g_Var.*f.Field = QString::fromUtf8(f.Key->Default);
    }
    void TearDown() override { SetMessageBoxService(nullptr); }
    QString Exe() const { return dir.filePath(QStringLiteral("Setup.exe")); }
    void WriteIni(const QByteArray &bytes) { WriteFile(dir.filePath(QStringLiteral("Setup.ini")), bytes); }
    QTemporaryDir dir;
};

// ---------------------------------------------------------------- lookup rules

TEST(IniFile, LookupRules)
{
    const IniFile ini = IniFile::FromBytes("top = before any section\n"
                                           "[Main]\n"
                                           "  Key  =   value with blanks   \n"
                                           "Quoted = \"  kept blanks \"\n"
                                           "Single = 'single'\n"
                                           "Mixed = \"mixed'\n"
                                           "Inner = a \"b\" c\n"
                                           "Twice = \"\"x\"\"\n"
                                           "Lone = \"\n"
                                           "NoValue\n"
                                           "Empty =\n"
                                           "Dup = first\n"
                                           "dup = second\n"
                                           "Eq = a=b\n"
                                           "; Comment = not a key\n"
                                           "[ Spaced Name ] trailing\n"
                                           "k = spaced\n"
                                           "[MAIN]\n"
                                           "Key = from the repeat\n"
                                           "Later = only in the repeat\n");
    struct Row
    {
        const char *section, *key, *expected;
    } rows[] = {
        {"", "top", "before any section"},
        {"Main", "Key", "value with blanks"},
        {"main", "KEY", "value with blanks"},
        {" Main ", " key ", "value with blanks"},
        {"Main", "Quoted", "  kept blanks "},
        {"Main", "Single", "single"},
        {"Main", "Mixed", "\"mixed'"},
        {"Main", "Inner", "a \"b\" c"},
        {"Main", "Twice", "\"x\""},
        {"Main", "Lone", "\""},
        {"Main", "NoValue", "<default>"},
        {"Main", "Empty", ""},
        {"Main", "Dup", "first"},
        {"Main", "Eq", "a=b"},
        {"Main", "; Comment", "<default>"},
        {"Spaced Name", "k", "spaced"},
        {"Main", "Later", "only in the repeat"},
        {"Missing", "Key", "<default>"},
        {"Main", "Missing", "<default>"},
    };
    for (const Row &r : rows)
        EXPECT_EQ(ini.ReadString(r.section, r.key, "<default>"), QString::fromUtf8(r.expected))
            << r.section << "/" << r.key;
}

TEST(IniFile, ValuesAreCutTo2047Characters)
{
    const QByteArray longValue(3000, 'v');
    const IniFile ini = IniFile::FromBytes("[S]\nLong=" + longValue + "\nExact=" + QByteArray(2047, 'e') +
                                           "\nQuoted=\"" + QByteArray(2047, 'q') + "\"\n");
    EXPECT_EQ(ini.ReadString("S", "Long", {}).size(), 2047);
    EXPECT_EQ(ini.ReadString("S", "Exact", {}), QString(2047, u'e'));
    // The quotes go first, so all 2047 characters inside them are kept.
    EXPECT_EQ(ini.ReadString("S", "Quoted", {}), QString(2047, u'q'));
}

TEST(IniFile, IntegerAndBooleanRule)
{
    struct Row
    {
        const char *value; // nullptr: key missing
        int integer;       // expected with default -7
        bool withTrue, withFalse;
    } rows[] = {
        {"0", 0, false, false},
        {"1", 1, true, true},
        {"-1", -1, true, true},
        {"+5", 5, true, true},
        {"0x10", 16, true, true},
        {"0X1f", 31, true, true},
        {"0x0", 0, false, false},
        {"0xFFFFFFFF", -1, true, true},
        {"0x100000000", -7, true, false},
        {"0x", -7, true, false},
        {"0xg", -7, true, false},
        {"2147483647", 2147483647, true, true},
        {"-2147483648", -2147483647 - 1, true, true},
        {"2147483648", -7, true, false},
        {"yes", -7, true, false},
        {"true", -7, true, false},
        {"1a", -7, true, false},
        {"1 2", -7, true, false},
        {"-", -7, true, false},
        {"", -7, true, false},
        {"  0  ", 0, false, false},
        {"\"0\"", 0, false, false},
        {nullptr, -7, true, false},
    };
    for (const Row &r : rows) {
        const QByteArray text = r.value ? QByteArray("[S]\nK=") + r.value + "\n" : QByteArray("[S]\n");
        const IniFile ini = IniFile::FromBytes(text);
        const char *label = r.value ? r.value : "(missing)";
        EXPECT_EQ(ini.ReadInteger("S", "K", -7), r.integer) << label;
        EXPECT_EQ(ini.ReadBool("S", "K", true), r.withTrue) << label;
        EXPECT_EQ(ini.ReadBool("S", "K", false), r.withFalse) << label;
    }
}

TEST(IniFile, DecodesUtf8ElseWindows1252)
{
    const IniFile cp(kData + "cp1252.ini");
    EXPECT_EQ(cp.ReadString("Product", "AppTitle", {}), QString::fromUtf8("Café € Setup"));
    EXPECT_EQ(cp.ReadString("Product", "MsgTitle", {}), QString::fromUtf8("\u201Cquoted\u201D"));
    const IniFile utf8(kData + "utf8bom.ini");
    EXPECT_EQ(utf8.ReadString("Product", "AppTitle", {}), QString::fromUtf8("Café € Setup"));

    // Each file as its first line reads [Product]; the mark never costs the
    // first section, and the first read logs the encoding once.
    QTemporaryDir dir;
    const QString path = dir.filePath("b.ini");
    const struct
    {
        QByteArray bytes;
        const char *log;
    } rows[] = {
        {"[Product]\nAppTitle=Caf\xC3\xA9 \xE2\x82\xAC Setup\n", "read as UTF-8"},
        {"\xEF\xBB\xBF[Product]\r\nAppTitle=Caf\xC3\xA9 \xE2\x82\xAC Setup\r\n",
         "read as UTF-8 (byte-order mark skipped)"},
        {"\xEF\xBB\xBF[Product]\nAppTitle=Caf\xE9 \x80 Setup\n",
         "read as Windows-1252 (byte-order mark skipped)"},
        {"[Product]\nAppTitle=Caf\xE9 \x80 Setup\n", "read as Windows-1252"},
    };
    for (const auto &row : rows) {
        WriteFile(path, row.bytes);
        LogCapture log;
        const IniFile ini(path);
        EXPECT_EQ(ini.ReadString("Product", "AppTitle", "<lost>"), QString::fromUtf8("Café € Setup"))
            << row.log;
        WriteFile(path, row.bytes + "MsgTitle=changed\n");
        EXPECT_EQ(ini.ReadString("Product", "MsgTitle", {}), "changed");
        EXPECT_EQ(log.Lines(), std::vector<std::string>{"IniFile " + path.toStdString() + " " + row.log})
            << row.log;
    }

    // The five bytes Windows-1252 leaves unassigned keep their value.
    EXPECT_EQ(IniFile::DecodeText("\x81\x8D\x8F\x90\x9D"),
              QString::fromUtf8("\u0081\u008D\u008F\u0090\u009D"));
}

TEST(IniFile, MissingFileAndChangedFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.ini");
    const IniFile ini(path);
    EXPECT_EQ(ini.ReadString("S", "K", "def"), "def");

    WriteFile(path, "[S]\nK=one\n");
    EXPECT_EQ(ini.ReadString("S", "K", "def"), "one");
    // Nothing is cached across a change of the file.
    WriteFile(path, "[S]\nK=second\n");
    EXPECT_EQ(ini.ReadString("S", "K", "def"), "second");
    QFile::remove(path);
    EXPECT_EQ(ini.ReadString("S", "K", "def"), "def");
}

// ---------------------------------------------------------------- start-up read

TEST_F(SettingsTest, MissingFileGivesEveryDefault)
{
    std::vector<std::string> logged;
    SetDebugTextHook([&](const char *text) { logged.emplace_back(text); });
    ASSERT_TRUE(g_Var.ReadSettings(Exe()));
    SetDebugTextHook({});
    // Support staff see from the log why only built-in texts are shown.
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0], "TGlobalVar::ReadSettings() no settings file " +
                             dir.filePath("Setup.ini").toStdString() + ", built-in texts used");
    // With the system's separator at the end: a backslash on Windows.
    EXPECT_EQ(g_Var.ExePath, QDir::toNativeSeparators(dir.path() + "/"));
    EXPECT_EQ(g_Var.SettingsFile, dir.filePath("Setup.ini"));
    EXPECT_EQ(g_Var.ShortName, "QRZ-517MXB");
    EXPECT_EQ(g_Var.MutexName, "QRZ-517MXB_Mutex");
    EXPECT_EQ(g_Var.AppTitle, "Setup");
    EXPECT_EQ(g_Var.MsgTitle, "Setup");
    EXPECT_EQ(g_Var.AcrobatReaderPath, "");
    EXPECT_EQ(g_Var.AcrobatReaderTitle, "Adobe Reader 7.0.5 - Setup");
    EXPECT_EQ(g_Var.Password, "tulip");
    EXPECT_FALSE(g_Var.NonWorking);
    EXPECT_FALSE(g_Var.LicenseAccepted);

    const char *displayDefaults[25] = {
        "None",
        "WEP",
        "WPA-PSK",
        "WPA",
        "Open",
        "Shared",
        "Auto",
        "64 bit",
        "128 bit",
        "WPA Only",
        "WPA2 Only",
        "WPA or WPA2",
        "TKIP",
        "AES",
        "TKIP and AES",
        "2.4GHz 802.11 b/g mixed mode",
        "2.4GHz 802.11 b only",
        "2.4GHz 802.11 a only",
        "2.4GHz 802.11 a/b/g mixed mode",
        "2.4GHz 802.11 g only",
        "2.4GHz 802.11 a/b/g/n mixed mode",
        "2.4GHz 802.11 n only",
        "2.4GHz 802.11 g/n mixed mode",
        "2.4GHz 802.11 a/n mixed mode",
        "2.4GHz 802.11 b/g/n mixed mode",
    };
    for (int i = 0; i < 25; ++i)
        EXPECT_EQ(g_Var.*kDisplayTextFields[i].Field, QString::fromUtf8(displayDefaults[i]))
            << kDisplayTextFields[i].Key->Key;

    const struct
    {
        const TextKey &key;
        const char *expected;
    } texts[] = {
        {ProductKey::UserGuide, ""},
        {ProductKey::License, ""},
        {ProductKey::ProductReg, ""},
        {ProductKey::QIG, "QIG"},
        {ProductKey::Res_Path, ""},
        {SettingKey::SSID, "wireless"},
        {StringKey::SetWlMethod_AP_MODE_MSG, ""},
        {StringKey::SetWlMethod_BRIDGE_MODE_MSG, ""},
        {StringKey::WPSMethod_AP_MODE_PBC_MSG, ""},
        {StringKey::WPSMethod_AP_MODE_PIN_MSG, ""},
        {StringKey::WPSMethod_AP_MODE_MSG, ""},
        {StringKey::WPSMethod_AP_MODE_SSID, "Wireless Device SSID:"},
        {StringKey::WPSMethod_AP_MODE_DevPIN, "Wireless Device PIN:"},
        {StringKey::WPSMethod_BRIDGE_MODE_PBC_MSG, ""},
        {StringKey::WPSMethod_BRIDGE_MODE_PIN_MSG, ""},
        {StringKey::WPSMethod_BRIDGE_MODE_MSG, ""},
        {StringKey::WPSMethod_BRIDGE_MODE_SSID, "AP SSID:"},
        {StringKey::WPSMethod_BRIDGE_MODE_DevPIN, "Device PIN:"},
        {MessageKey::MSG_Exit, "Do you want to exit the Setup Wizard?"},
        {MessageKey::ER_Ethr_Interface, "Unable to initialize adapter interface."},
        {MessageKey::ER_CONNECT, "Unable to connect to the device."},
        {MessageKey::ErIPAddr, "The IP Address entered is invalid."},
        {MessageKey::ErSubnetMask, "The Subnet Mask entered is invalid."},
        {MessageKey::ErIPSameAsLocahost, "The IP Address is the same as local host IP."},
        {MessageKey::ErDefaultGateway, "The Default Gateway entered is invalid."},
        {MessageKey::ER_FILE_UG, "Unable to open the user guide."},
        {MessageKey::MSG_InstAcrobat, "Acrobat Reader is not installed. Would you like to install it now?"},
        {MessageKey::ER_FILE_Acrobat, "Unable to find Acrobat Reader setup file."},
        {MessageKey::ER_LOGIN, "Unable to login the deivce."},
        {MessageKey::ER_Empty_SSID, "No SSID"},
        {MessageKey::ER_WEPKey, "You have entered an incorrect WEP key. Please try again."},
        {MessageKey::ER_WEP64Hex, "You have entered an incorrect WEP key. Please try again."},
        {MessageKey::ER_WEP64, "You have entered an incorrect WEP key. Please try again."},
        {MessageKey::ER_WEP128Hex, "You have entered an incorrect WEP key. Please try again."},
        {MessageKey::ER_WEP128, "You have entered an incorrect WEP key. Please try again."},
        {MessageKey::ER_PSKKeyHex, "Passphrase should be 64 hex digits."},
        {MessageKey::ER_PSKKey, "Passphrase should be between 8 to 63 charachers in ASCII format."},
        {MessageKey::ER_PIN_Code, "Invaild PIN Code"},
        {MessageKey::ER_SSID, "Invaild SSID"},
#ifdef Q_OS_WIN
        {MessageKey::MSG_NoDevice,
         "No device answered. Check that the device is switched on and connected to "
         "this computer, then click Refresh. Windows Defender Firewall must let this program "
         "receive UDP port 5433; in a command prompt run as administrator: netsh advfirewall "
         "firewall add rule name=\"Setup Wizard\" dir=in action=allow protocol=UDP localport=5433 "
         "program=\"%1\""},
#else
        {MessageKey::MSG_NoDevice,
         "No device answered. Check that the device is switched on and connected to "
         "this computer, then click Refresh. A firewall on this computer must let UDP "
         "port 5433 in."},
#endif
    };
    for (const auto &t : texts)
        EXPECT_EQ(ReadText(t.key), QString::fromUtf8(t.expected)) << t.key.Section << "/" << t.key.Key;
    EXPECT_FALSE(ReadFlag(SettingKey::NonWorking));
    EXPECT_FALSE(ReadFlag(SettingKey::SkipTutorial));
}

TEST_F(SettingsTest, ValuesFromTheFile)
{
    QFile::copy(kData + "Setup.ini", dir.filePath("Setup.ini"));
    ASSERT_TRUE(g_Var.ReadSettings(Exe()));
    EXPECT_EQ(g_Var.ShortName, "QRZ-900");
    EXPECT_EQ(g_Var.MutexName, "QRZ-900_Mutex");
    EXPECT_EQ(g_Var.AppTitle, "Wireless Setup Wizard");
    EXPECT_EQ(g_Var.MsgTitle, "From the repeated section");
    EXPECT_EQ(g_Var.AcrobatReaderPath, QDir::toNativeSeparators(dir.path() + "/Reader/Setup.exe"));
    EXPECT_EQ(g_Var.AcrobatReaderTitle, "Reader Installer");
    EXPECT_TRUE(g_Var.NonWorking);
    EXPECT_FALSE(ReadFlag(SettingKey::SkipTutorial)); // "yes" is no integer
    EXPECT_EQ(g_Var.SecurityWEP, "WEP (shared key)");
    EXPECT_EQ(g_Var.WirlessMode_BGN, "b/g/n");
    EXPECT_EQ(g_Var.WEP64, ""); // present but empty: the first entry wins
    EXPECT_EQ(g_Var.SecurityNone, "None");
    EXPECT_EQ(ReadText(SettingKey::SSID), "  spaced name  ");

    // The WEP messages fall back on the file's ER_WEPKey text.
    EXPECT_EQ(MessageText(MessageKey::ER_WEP64), "Wrong WEP key.");
    EXPECT_EQ(MessageText(MessageKey::ER_WEP64Hex), "Wrong WEP key.");
    EXPECT_EQ(MessageText(MessageKey::ER_WEP128), "Wrong 128-bit key.");
    EXPECT_EQ(MessageText(MessageKey::ER_CONNECT), "'no closing quote");
    EXPECT_EQ(MessageText("ER_LOGIN", "given default"), "given default");
}

TEST(UserPlaces, XdgFoldersWithTheirDefaults)
{
    const struct
    {
        const char *config, *state, *home, *ini, *log;
    } rows[] = {
        {"/x/cfg", "/x/st", "/home/u", "/x/cfg/setup-wizard/setup-wizard.ini",
         "/x/st/setup-wizard/setup-wizard.Log"},
        {"", "", "/home/u", "/home/u/.config/setup-wizard/setup-wizard.ini",
         "/home/u/.local/state/setup-wizard/setup-wizard.Log"},
        // A relative value is to be ignored; a trailing slash is harmless.
        {"cfg", "st", "/home/u/", "/home/u/.config/setup-wizard/setup-wizard.ini",
         "/home/u/.local/state/setup-wizard/setup-wizard.Log"},
        {"/x/cfg/", "/x/st//", "", "/x/cfg/setup-wizard/setup-wizard.ini",
         "/x/st/setup-wizard/setup-wizard.Log"},
        {"", "", "", "", ""}, // no home: no place of the user's
    };
    for (const auto &r : rows) {
        const auto environment = [&r](const char *name) {
            const std::string n(name);
            return QString::fromUtf8(n == "XDG_CONFIG_HOME"  ? r.config
                                     : n == "XDG_STATE_HOME" ? r.state
                                     : n == "HOME"           ? r.home
                                                             : "");
        };
#ifdef Q_OS_WIN
        // Windows keeps both files beside the executable, whatever is set.
        EXPECT_EQ(UserSettingsFile("setup-wizard", environment), QString()) << r.config;
        EXPECT_EQ(UserLogFile("setup-wizard", environment), QString()) << r.state;
#else
        EXPECT_EQ(UserSettingsFile("setup-wizard", environment), QString::fromUtf8(r.ini)) << r.config;
        EXPECT_EQ(UserLogFile("setup-wizard", environment), QString::fromUtf8(r.log)) << r.state;
#endif
    }
}

TEST_F(SettingsTest, TheUsersSettingsFileReplacesTheOneBesideTheProgram)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "the user's settings folder is a Linux place";
#endif
    const EnvVar config("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
    WriteIni("[Product]\nAppTitle=Beside\nShortName=Beside\n");
    ASSERT_TRUE(g_Var.ReadSettings(Exe()));
    EXPECT_EQ(g_Var.AppTitle, "Beside");

    ASSERT_TRUE(QDir().mkpath(dir.filePath("config/setup-wizard")));
    WriteFile(dir.filePath("config/setup-wizard/Setup.ini"),
              "[Product]\nAppTitle=Mine\nAcrobatReader=r.exe\n");
    ASSERT_TRUE(g_Var.ReadSettings(Exe()));
    EXPECT_EQ(g_Var.SettingsFile, dir.filePath("config/setup-wizard/Setup.ini"));
    EXPECT_EQ(g_Var.AppTitle, "Mine");
    EXPECT_EQ(g_Var.ShortName, "QRZ-517MXB") << "the whole file is replaced, not merged";
    EXPECT_EQ(g_Var.AcrobatReaderPath, dir.path() + "/r.exe") << "paths stay relative to the program";
}

TEST_F(SettingsTest, MsgTitleFallsBackOnTheAppTitleRead)
{
    WriteIni("[Product]\nAppTitle=My Wizard\n");
    g_Var.ReadSettings(Exe());
    EXPECT_EQ(g_Var.AppTitle, "My Wizard");
    EXPECT_EQ(g_Var.MsgTitle, "My Wizard");
}

TEST_F(SettingsTest, DisplayTextsKeepTheirCurrentTextAsDefault)
{
    WriteIni("[String]\nAuthenOpen=Offen\n");
    g_Var.AuthenShared = "set before";
    g_Var.ReadSettings(Exe());
    EXPECT_EQ(g_Var.AuthenOpen, "Offen");
    EXPECT_EQ(g_Var.AuthenShared, "set before");
}

TEST_F(SettingsTest, ShowMessageUsesTheFileTextAndMsgTitle)
{
    WriteIni("[Product]\nMsgTitle=Box Title\n[Message]\nMSG_Exit=Leave now?\n");
    g_Var.ReadSettings(Exe());
    RecordingBoxes boxes;
    EXPECT_EQ(ShowMessage(MessageKey::ER_CONNECT), MSG_RESULT_NONE); // no service installed
    SetMessageBoxService(&boxes);
    boxes.answer = MSG_RESULT_NO;
    EXPECT_EQ(ShowMessage(MessageKey::MSG_Exit, MsgKind::YesNo), MSG_RESULT_NO);
    boxes.answer = MSG_RESULT_OK;
    EXPECT_EQ(ShowMessage("ER_Custom", "Custom default"), MSG_RESULT_OK);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].Text, "Leave now?");
    EXPECT_EQ(boxes.shown[0].Title, "Box Title");
    EXPECT_EQ(boxes.shown[0].Kind, MsgKind::YesNo);
    EXPECT_EQ(boxes.shown[1].Text, "Custom default");
    EXPECT_EQ(boxes.shown[1].Kind, MsgKind::Information);
}

TEST_F(SettingsTest, LongValuesFromTheFile)
{
    WriteIni("[Product]\nAppTitle=" + QByteArray(3000, 't') + "\n");
    g_Var.ReadSettings(Exe());
    EXPECT_EQ(g_Var.AppTitle, QString(2047, u't'));
}

// ---------------------------------------------------------------- the lock

TEST(GuardedIni, ReadWaitsWhileAnotherThreadHoldsTheLock)
{
    QTemporaryDir dir;
    WriteFile(dir.filePath("g.ini"), "[S]\nK=v\n");
    GuardedIni store(dir.filePath("g.ini"));

    IniFile &reader = store.LockIni();
    EXPECT_EQ(reader.ReadString("S", "K", {}), "v");
    std::atomic<bool> done{false};
    QString result;
    std::thread other([&] {
        result = store.ReadString("S", "K", "def");
        done = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(done.load());
    // The same thread may still read while it holds the lock.
    EXPECT_EQ(store.ReadString("S", "K", {}), "v");
    store.UnlockIni();
    other.join();
    EXPECT_TRUE(done.load());
    EXPECT_EQ(result, "v");
}

TEST(GuardedIni, SetFileNameTakesTheLockOnlyForAChange)
{
    QTemporaryDir dir;
    WriteFile(dir.filePath("a.ini"), "[S]\nK=a\n");
    WriteFile(dir.filePath("b.ini"), "[S]\nK=b\n");
    GuardedIni store(dir.filePath("a.ini"));

    store.LockIni();
    std::atomic<bool> sameDone{false};
    std::thread same([&] {
        store.SetFileName(dir.filePath("a.ini"));
        sameDone = true;
    });
    same.join(); // would hang if the unchanged name took the lock
    EXPECT_TRUE(sameDone.load());

    std::atomic<bool> changeDone{false};
    std::thread change([&] {
        store.SetFileName(dir.filePath("b.ini"));
        changeDone = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(changeDone.load());
    store.UnlockIni();
    change.join();
    EXPECT_EQ(store.ReadString("S", "K", {}), "b");
}

TEST(GuardedIni, GuardReleasesWhenTheWorkFails)
{
    GuardedIni store(QString{});
    // Work that gives up half way through must not leave the lock taken.
    const auto failingWork = [&]() -> bool {
        IniLock lock(store);
        if (lock->ReadString("S", "K", {}).isEmpty())
            return false;
        return true;
    };
    EXPECT_FALSE(failingWork());
    std::atomic<bool> done{false};
    std::thread other([&] {
        store.ReadBool("S", "K", true);
        done = true;
    });
    other.join();
    EXPECT_TRUE(done.load());
}

} // namespace
