#include "app/exclusivefile.h"

#include <QDir>
#include <windows.h>

namespace {

HANDLE AsHandle(intptr_t value)
{
    return reinterpret_cast<HANDLE>(value);
}

} // namespace

ExclusiveFile::~ExclusiveFile()
{
    Close();
}

bool ExclusiveFile::Open(const QString &path, Mode mode)
{
    Close();
    heldElsewhere_ = false;
    const DWORD disposition = mode == Mode::OpenExisting ? OPEN_EXISTING
                              : mode == Mode::CreateNew  ? CREATE_NEW
                                                         : OPEN_ALWAYS;
    // Read and write access, sharing read access only: other programs may
    // read the log while it is written, a second writer is refused.
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    const HANDLE h = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                   disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        heldElsewhere_ = code == ERROR_SHARING_VIOLATION;
        error_ = heldElsewhere_ ? QStringLiteral("in use by another running copy")
                                : QStringLiteral("system error %1").arg(code);
        return false;
    }
    handle_ = reinterpret_cast<intptr_t>(h);
    error_.clear();
    return true;
}

bool ExclusiveFile::SeekToEnd()
{
    if (!IsOpen())
        return false;
    ::SetLastError(0);
    const DWORD position = ::SetFilePointer(AsHandle(handle_), 0, nullptr, FILE_END);
    return !(position == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR);
}

void ExclusiveFile::Write(const char *bytes, size_t length) const
{
    if (!IsOpen())
        return;
    DWORD written = 0;
    ::WriteFile(AsHandle(handle_), bytes, DWORD(length), &written, nullptr);
}

void ExclusiveFile::Close()
{
    if (IsOpen())
        ::CloseHandle(AsHandle(handle_));
    handle_ = kClosed;
}
