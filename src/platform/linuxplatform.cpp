#include "platform/linuxplatform.h"

#include "app/debug.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

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

bool HasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY");
}

// The value of the first `NAME(TYPE) = "text"` line of xprop's output, with
// xprop's backslash escapes undone.
bool ParseXpropText(const QByteArray &output, QString &title)
{
    for (const QByteArray &line : output.split('\n')) {
        const int eq = line.indexOf("= \"");
        if (eq < 0)
            continue;
        QByteArray text;
        for (int i = eq + 3; i < line.size(); ++i) {
            const char c = line[i];
            if (c == '\\' && i + 1 < line.size()) {
                text.append(line[++i]);
                continue;
            }
            if (c == '"')
                break;
            text.append(c);
        }
        title = QString::fromUtf8(text);
        return true;
    }
    return false;
}

} // namespace

QString LinuxPlatform::LockFilePath(const QString &mutexName)
{
    QString name = mutexName;
    for (QChar &c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QChar(0))
            c = QLatin1Char('_');
    }
    return QDir::tempPath() + QLatin1Char('/') + name + QStringLiteral(".lock");
}

InstanceGuard LinuxPlatform::TakeInstanceLock(const QString &mutexName)
{
    InstanceGuard guard;
    auto file = std::make_unique<QLockFile>(LockFilePath(mutexName));
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
    DebugPrint("LinuxPlatform::TakeInstanceLock() FAIL %s error %d", qPrintable(LockFilePath(mutexName)),
               int(file->error()));
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

QStringList LinuxPlatform::TopLevelWindowTitles()
{
    QStringList titles;
    if (!HasDisplay())
        return titles;
    const QByteArray list = RunTool(QStringLiteral("wmctrl"), {QStringLiteral("-l")});
    if (!list.isEmpty()) {
        // "0x01c00003  0 host Title with blanks": the title follows three fields.
        static const QRegularExpression line(QStringLiteral("^\\S+\\s+\\S+\\s+\\S+ ?(.*)$"));
        for (const QByteArray &raw : list.split('\n')) {
            const auto match = line.match(QString::fromUtf8(raw));
            if (match.hasMatch())
                titles << match.captured(1);
        }
        return titles;
    }
    const QByteArray root = RunTool(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST")});
    static const QRegularExpression id(QStringLiteral("0x[0-9a-fA-F]+"));
    auto it = id.globalMatch(QString::fromLatin1(root));
    while (it.hasNext()) {
        const QString window = it.next().captured(0);
        QString title;
        const QByteArray props = RunTool(QStringLiteral("xprop"), {QStringLiteral("-id"), window,
                                                                    QStringLiteral("_NET_WM_NAME")});
        if (ParseXpropText(props, title) ||
            ParseXpropText(RunTool(QStringLiteral("xprop"), {QStringLiteral("-id"), window, QStringLiteral("WM_NAME")}),
                           title))
            titles << title;
    }
    return titles;
}

bool LinuxPlatform::FindWindowByTitle(const QString &title)
{
    return TopLevelWindowTitles().contains(title);
}
