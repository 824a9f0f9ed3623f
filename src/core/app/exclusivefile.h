#pragma once
// A file this process alone may write while others may read it: the debug
// logs of the wizard and of wizardctl. A second running copy cannot open a
// file the first one holds, which is how it knows to write elsewhere. On
// Linux the hold is an exclusive advisory lock (flock) on the open file; on
// Windows the file is opened sharing read access only, so a second writer's
// open fails with a sharing violation.

#include <QString>
#include <cstddef>
#include <cstdint>

class ExclusiveFile
{
public:
    enum class Mode {
        OpenExisting, // only a file that exists
        CreateNew,    // only a file that does not exist yet
        OpenAlways,   // either
    };

    ExclusiveFile() = default;
    ~ExclusiveFile();
    ExclusiveFile(const ExclusiveFile &) = delete;
    ExclusiveFile &operator=(const ExclusiveFile &) = delete;

    // Opens `path` for writing and takes the hold. False (closed, with the
    // system's reason in ErrorText) when the file cannot be opened in that
    // mode or another process holds it. A file it creates is readable by
    // its owner only where the system has such modes: logs hold keys in
    // clear text.
    bool Open(const QString &path, Mode mode);
    // Moves the write position to the end; false when that fails.
    bool SeekToEnd();
    // Writes the bytes in one call; errors are ignored (a log never
    // disturbs the program).
    void Write(const char *bytes, size_t length) const;
    void Close();

    bool IsOpen() const { return handle_ != kClosed; }
    QString ErrorText() const { return error_; }
    // Whether the last Open failed because another process holds the file.
    bool HeldElsewhere() const { return heldElsewhere_; }

private:
    static constexpr intptr_t kClosed = -1;
    intptr_t handle_ = kClosed; // a descriptor, or a HANDLE on Windows
    QString error_;
    bool heldElsewhere_ = false;
};
