#include "platform/linuxplatform.h"

#include "app/debug.h"
#include "platform/x11windows.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class LockFileInstance : public InstanceLock
{
public:
    explicit LockFileInstance(std::unique_ptr<QLockFile> file) : file_(std::move(file)) {}

private:
    std::unique_ptr<QLockFile> file_;
};

// Runs a short query tool and returns its standard output; empty when it
// cannot be started, fails or hangs.
QByteArray RunTool(const QString &program, const QStringList &arguments)
{
    if (QStandardPaths::findExecutable(program).isEmpty() && !QFileInfo(program).isExecutable())
        return {};
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(program, arguments, QIODevice::ReadOnly);
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(1000);
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
}

LinuxPlatform::X11ConnectionSource g_x11Source = nullptr;

// A folder of this user's that no one else may write to; `exact` asks for
// mode 0700 precisely and refuses a symbolic link.
bool IsOwnPrivateFolder(const QString &path, bool exact)
{
    struct stat info = {};
    const QByteArray name = QFile::encodeName(path);
    if ((exact ? ::lstat(name.constData(), &info) : ::stat(name.constData(), &info)) != 0)
        return false;
    const mode_t foreign = exact ? mode_t(S_IRWXG | S_IRWXO) : mode_t(S_IWGRP | S_IWOTH);
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & foreign) == 0;
}

} // namespace

QString LinuxPlatform::LockFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && IsOwnPrivateFolder(runtime, false))
        return QDir::cleanPath(runtime);
    const QString base = QDir::tempPath() + QStringLiteral("/setup-wizard-%1").arg(::geteuid());
    for (int i = 0; i < 10; ++i) {
        const QString folder = i == 0 ? base : base + QStringLiteral("-%1").arg(i);
        if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST) {
            DebugPrint("LinuxPlatform::LockFolder() FAIL %s: %s", qPrintable(folder), std::strerror(errno));
            return {};
        }
        if (IsOwnPrivateFolder(folder, true))
            return folder;
        DebugPrint("LinuxPlatform::LockFolder() %s is not a private folder of this user", qPrintable(folder));
    }
    return {};
}

QString LinuxPlatform::LockFilePath(const QString &mutexName)
{
    const QString folder = LockFolder();
    if (folder.isEmpty())
        return {};
    QString name = mutexName;
    for (QChar &c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QChar(0))
            c = QLatin1Char('_');
    }
    return folder + QLatin1Char('/') + name + QStringLiteral(".lock");
}

InstanceGuard LinuxPlatform::TakeInstanceLock(const QString &mutexName)
{
    InstanceGuard guard;
    const QString path = LockFilePath(mutexName);
    if (path.isEmpty())
        return guard;
    auto file = std::make_unique<QLockFile>(path);
    // Only a dead owner makes a lock stale, never its age: a copy may run
    // for days.
    file->setStaleLockTime(0);
    if (file->tryLock(0)) {
        guard.status = InstanceStatus::Acquired;
        guard.lock = std::make_unique<LockFileInstance>(std::move(file));
        return guard;
    }
    if (file->error() == QLockFile::LockFailedError) {
        guard.status = InstanceStatus::AlreadyRunning;
        return guard;
    }
    DebugPrint("LinuxPlatform::TakeInstanceLock() FAIL %s error %d", qPrintable(path), int(file->error()));
    guard.status = InstanceStatus::Failed;
    return guard;
}

bool LinuxPlatform::ShellOpen(const QString &target)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    if (target.isEmpty())
        return false;
    if (scheme.match(target).hasMatch() && !QFileInfo::exists(target))
        return QProcess::startDetached(openCommand_, {target});
    const QFileInfo info(target);
    if (!info.exists()) {
        DebugPrint("LinuxPlatform::ShellOpen() FAIL no such file %s", qPrintable(target));
        return false;
    }
    // An installer is started itself; everything else by its associated program.
    if (info.isFile() && info.isExecutable())
        return QProcess::startDetached(info.absoluteFilePath(), {}, info.absolutePath());
    return QProcess::startDetached(openCommand_, {info.absoluteFilePath()});
}

bool LinuxPlatform::ShellExplore(const QString &folder)
{
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir()) {
        DebugPrint("LinuxPlatform::ShellExplore() FAIL no such folder %s", qPrintable(folder));
        return false;
    }
    return QProcess::startDetached(openCommand_, {info.absoluteFilePath()});
}

QString LinuxPlatform::FindExecutable(const QString &file)
{
    const QFileInfo info(file);
    if (!info.isFile())
        return {};
    const QString type = QMimeDatabase().mimeTypeForFile(info).name();
    return QString::fromUtf8(RunTool(QStringLiteral("xdg-mime"), {QStringLiteral("query"),
                                                                   QStringLiteral("default"), type}))
        .trimmed();
}

void LinuxPlatform::SetX11ConnectionSource(X11ConnectionSource source)
{
    g_x11Source = source;
}

bool LinuxPlatform::FindWindowByTitle(const QString &title)
{
    xcb_connection_t *connection = g_x11Source ? g_x11Source() : nullptr;
    return connection && X11TopLevelWindowTitles(connection).contains(title);
}
