#include "platform/windowsplatform.h"

#include "app/debug.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <windows.h>
// windows.h first: shellapi.h relies on its types.
#include <shellapi.h>
// The Win32 names are macros that would rename the interface's members.
#undef FindExecutable

namespace {

class MutexInstance : public InstanceLock
{
public:
    explicit MutexInstance(HANDLE handle) : handle_(handle) {}
    ~MutexInstance() override { ::CloseHandle(handle_); }
    MutexInstance(const MutexInstance &) = delete;
    MutexInstance &operator=(const MutexInstance &) = delete;

private:
    HANDLE handle_;
};

std::wstring Native(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// ShellExecute's result is a number disguised as a handle: above 32 means
// the program was started.
bool Started(HINSTANCE result)
{
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace

InstanceGuard WindowsPlatform::TakeInstanceLock(const QString &mutexName)
{
    InstanceGuard guard;
    const std::wstring name = mutexName.toStdWString();
    const HANDLE handle = ::CreateMutexW(nullptr, FALSE, name.c_str());
    const DWORD error = ::GetLastError();
    if (!handle) {
        DebugPrint("WindowsPlatform::TakeInstanceLock() CreateMutex error %lu",
                   static_cast<unsigned long>(error));
        return guard;
    }
    if (error == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(handle);
        guard.status = InstanceStatus::AlreadyRunning;
        return guard;
    }
    guard.status = InstanceStatus::Acquired;
    guard.lock = std::make_unique<MutexInstance>(handle);
    return guard;
}

bool WindowsPlatform::ShellOpen(const QString &target)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (target.isEmpty())
        return false;
    // "C:..." is a drive, not an address scheme: schemes have two letters or more.
    const bool address = scheme.match(target).hasMatch() && !QFileInfo::exists(target);
    if (!address && !QFileInfo::exists(target)) {
        DebugPrint("WindowsPlatform::ShellOpen() FAIL no such file %s", qPrintable(target));
        return false;
    }
    const std::wstring file = address ? target.toStdWString() : Native(QFileInfo(target).absoluteFilePath());
    const std::wstring folder = address ? std::wstring() : Native(QFileInfo(target).absolutePath());
    return Started(::ShellExecuteW(nullptr, L"open", file.c_str(), nullptr,
                                   folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL));
}

bool WindowsPlatform::ShellExplore(const QString &folder)
{
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir()) {
        DebugPrint("WindowsPlatform::ShellExplore() FAIL no such folder %s", qPrintable(folder));
        return false;
    }
    const std::wstring path = Native(info.absoluteFilePath());
    return Started(::ShellExecuteW(nullptr, L"explore", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
}

QString WindowsPlatform::FindExecutable(const QString &file)
{
    const QFileInfo info(file);
    if (!info.isFile())
        return {};
    const std::wstring path = Native(info.absoluteFilePath());
    wchar_t program[MAX_PATH] = {};
    if (!Started(::FindExecutableW(path.c_str(), nullptr, program)))
        return {};
    return QString::fromWCharArray(program);
}

bool WindowsPlatform::FindWindowByTitle(const QString &title)
{
    const std::wstring text = title.toStdWString();
    return ::FindWindowW(nullptr, text.c_str()) != nullptr;
}
