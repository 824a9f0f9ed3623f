#include "app/globalvar.h"

#include "app/debug.h"
#include "app/processinfo.h"
#include "app/userplaces.h"
#include "app/utility.h"

#include <QDir>
#include <QFileInfo>

TGlobalVar g_Var;

const DisplayTextField kDisplayTextFields[25] = {
    {&StringKey::SecurityNone, &TGlobalVar::SecurityNone},
    {&StringKey::SecurityWEP, &TGlobalVar::SecurityWEP},
    {&StringKey::SecurityWPAPSK, &TGlobalVar::SecurityWPAPSK},
    {&StringKey::SecurityWPA, &TGlobalVar::SecurityWPA},
    {&StringKey::AuthenOpen, &TGlobalVar::AuthenOpen},
    {&StringKey::AuthenShared, &TGlobalVar::AuthenShared},
    {&StringKey::AuthenAuto, &TGlobalVar::AuthenAuto},
    {&StringKey::WEP64, &TGlobalVar::WEP64},
    {&StringKey::WEP128, &TGlobalVar::WEP128},
    {&StringKey::WPA_WPA, &TGlobalVar::WPA_WPA},
    {&StringKey::WPA_WPA2, &TGlobalVar::WPA_WPA2},
    {&StringKey::WPA_WPAAuto, &TGlobalVar::WPA_WPAAuto},
    {&StringKey::CipherTKIP, &TGlobalVar::CipherTKIP},
    {&StringKey::CipherAES, &TGlobalVar::CipherAES},
    {&StringKey::CipherAuto, &TGlobalVar::CipherAuto},
    {&StringKey::WirlessMode_BG, &TGlobalVar::WirlessMode_BG},
    {&StringKey::WirlessMode_B, &TGlobalVar::WirlessMode_B},
    {&StringKey::WirlessMode_A, &TGlobalVar::WirlessMode_A},
    {&StringKey::WirlessMode_ABG, &TGlobalVar::WirlessMode_ABG},
    {&StringKey::WirlessMode_G, &TGlobalVar::WirlessMode_G},
    {&StringKey::WirlessMode_ABGN, &TGlobalVar::WirlessMode_ABGN},
    {&StringKey::WirlessMode_N, &TGlobalVar::WirlessMode_N},
    {&StringKey::WirlessMode_GN, &TGlobalVar::WirlessMode_GN},
    {&StringKey::WirlessMode_AN, &TGlobalVar::WirlessMode_AN},
    {&StringKey::WirlessMode_BGN, &TGlobalVar::WirlessMode_BGN},
};

namespace {

QString DefaultText(const TextKey &key)
{
    if (key.Default)
        return QString::fromUtf8(key.Default);
    if (key.DefaultFrom)
        return ReadText(*key.DefaultFrom);
    return QString();
}

} // namespace

TGlobalVar::TGlobalVar() : SettingsStore(std::make_unique<GuardedIni>(QString()))
{
    SetDisplayDefaults();
}

TGlobalVar::~TGlobalVar() = default;

void TGlobalVar::SetDisplayDefaults()
{
    for (const DisplayTextField &f : kDisplayTextFields)
        this->*f.Field = QString::fromUtf8(f.Key->Default);
}

bool TGlobalVar::ReadSettings()
{
    return ReadSettings(RunningExecutablePath());
}

bool TGlobalVar::ReadSettings(const QString &executablePath)
{
    ExePath = QDir::toNativeSeparators(FolderOf(executablePath));
    if (!ExePath.isEmpty() && !ExePath.endsWith(QDir::separator()))
        ExePath += QDir::separator();
    SettingsFile = SettingsFileFor(executablePath);
    // The user's own file replaces the one beside the executable, which an
    // installed program's user cannot edit. Paths in it stay relative to
    // the executable's folder.
    const QString userFile = UserSettingsFile(FileBaseName(executablePath));
    if (!userFile.isEmpty() && QFileInfo(userFile).isFile()) {
        SettingsFile = userFile;
        DebugPrint("TGlobalVar::ReadSettings() the user's settings file %s", qPrintable(SettingsFile));
    }
    SettingsStore->SetFileName(SettingsFile);
    if (!QFileInfo::exists(SettingsFile))
        DebugPrint("TGlobalVar::ReadSettings() no settings file %s, built-in texts used",
                   qPrintable(SettingsFile));

    ShortName = ReadText(ProductKey::ShortName);
    MutexName = ShortName + QStringLiteral("_Mutex");
    AppTitle =
        ReadString(ProductKey::AppTitle.Section, ProductKey::AppTitle.Key, FileBaseName(executablePath));
    MsgTitle = ReadString(ProductKey::MsgTitle.Section, ProductKey::MsgTitle.Key, AppTitle);
    const QString reader = ReadText(ProductKey::AcrobatReader);
    AcrobatReaderPath = ExeRelativePath(reader);
    AcrobatReaderTitle = ReadText(ProductKey::AcrobatReaderTitle);
    LicenseAccepted = false;
    Password = QString::fromLatin1(DEFAULT_PASSWORD);
    NonWorking = ReadFlag(SettingKey::NonWorking);

    // Each display name is read with its current text as default.
    IniLock lock(*SettingsStore);
    for (const DisplayTextField &f : kDisplayTextFields)
        this->*f.Field = lock->ReadString(f.Key->Section, f.Key->Key, this->*f.Field);
    return true;
}

QString TGlobalVar::ReadString(const QString &section, const QString &key, const QString &def) const
{
    return SettingsStore->ReadString(section, key, def);
}

bool TGlobalVar::ReadBool(const QString &section, const QString &key, bool def) const
{
    return SettingsStore->ReadBool(section, key, def);
}

QString SettingsFileFor(const QString &executablePath)
{
    return ReplaceExtension(executablePath, QStringLiteral(".ini"));
}

QString ExeRelativePath(const QString &relative)
{
    if (relative.isEmpty())
        return QString();
    QString path = relative;
    // Settings files are written with either separator.
    path.replace(u'\\', u'/');
    return g_Var.ExePath + QDir::toNativeSeparators(path);
}

QString ReadText(const TextKey &key)
{
    return g_Var.ReadString(QString::fromUtf8(key.Section), QString::fromUtf8(key.Key), DefaultText(key));
}

bool ReadFlag(const BoolKey &key)
{
    return g_Var.ReadBool(QString::fromUtf8(key.Section), QString::fromUtf8(key.Key), key.Default);
}

QString MessageText(const char *key, const QString &def)
{
    return g_Var.ReadString(QString::fromLatin1(SECTION_MESSAGE), QString::fromUtf8(key), def);
}

QString MessageText(const TextKey &message)
{
    return ReadText(message);
}

namespace {
int Show(const QString &text, const char *key, MsgKind kind)
{
    MessageBoxService *service = CurrentMessageBoxService();
    if (!service) {
        DebugPrint("ShowMessage(%s) FAIL no message box service", key);
        return MSG_RESULT_NONE;
    }
    return service->ShowMessageBox(text, g_Var.MsgTitle, kind);
}
} // namespace

int ShowMessage(const char *key, const QString &def, MsgKind kind)
{
    return Show(MessageText(key, def), key, kind);
}

int ShowMessage(const TextKey &message, MsgKind kind)
{
    return Show(MessageText(message), message.Key, kind);
}
