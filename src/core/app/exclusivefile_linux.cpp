#include "app/exclusivefile.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

ExclusiveFile::~ExclusiveFile()
{
    Close();
}

bool ExclusiveFile::Open(const QString &path, Mode mode)
{
    Close();
    heldElsewhere_ = false;
    int flags = O_RDWR | O_CLOEXEC;
    if (mode == Mode::CreateNew)
        flags |= O_CREAT | O_EXCL;
    else if (mode == Mode::OpenAlways)
        flags |= O_CREAT;
    const int fd = ::open(QFile::encodeName(path).constData(), flags, 0600);
    if (fd < 0) {
        error_ = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error_ = QStringLiteral("in use by another running copy");
        heldElsewhere_ = true;
        ::close(fd);
        return false;
    }
    handle_ = fd;
    error_.clear();
    return true;
}

bool ExclusiveFile::SeekToEnd()
{
    errno = 0;
    return IsOpen() && !(::lseek(int(handle_), 0, SEEK_END) == off_t(-1) && errno != 0);
}

void ExclusiveFile::Write(const char *bytes, size_t length) const
{
    if (!IsOpen())
        return;
    [[maybe_unused]] const ssize_t written = ::write(int(handle_), bytes, length);
}

void ExclusiveFile::Close()
{
    if (IsOpen())
        ::close(int(handle_));
    handle_ = kClosed;
}
