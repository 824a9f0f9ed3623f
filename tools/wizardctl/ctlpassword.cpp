#include "ctlpassword.h"

#include "ctloptions.h"

#include <QFile>

#include <cstdio>

#ifndef Q_OS_WIN
#include <termios.h>
#include <unistd.h>
#endif

namespace {

// While it lives, a terminal on standard input does not echo what is
// typed; a prompt goes to the error stream. Nothing happens for a pipe or a
// file.
class NoEcho
{
public:
    explicit NoEcho(bool wanted)
    {
#ifndef Q_OS_WIN
        m_on = wanted && ::isatty(STDIN_FILENO) && ::tcgetattr(STDIN_FILENO, &m_saved) == 0;
        if (!m_on)
            return;
        std::fputs("Password: ", stderr);
        std::fflush(stderr);
        termios quiet = m_saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
#else
        Q_UNUSED(wanted);
#endif
    }
    ~NoEcho()
    {
#ifndef Q_OS_WIN
        if (!m_on)
            return;
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &m_saved);
        std::fputs("\n", stderr);
#endif
    }
    NoEcho(const NoEcho &) = delete;
    NoEcho &operator=(const NoEcho &) = delete;

private:
#ifndef Q_OS_WIN
    bool m_on = false;
    termios m_saved{};
#endif
};

} // namespace

bool ReadPassword(CtlOptions &options, QString &error)
{
    using From = CtlOptions::PasswordFrom;
    if (options.passwordFrom == From::File || options.passwordFrom == From::StandardInput) {
        const bool fromFile = options.passwordFrom == From::File;
        QFile file(fromFile ? options.passwordFile : QString());
        const bool opened = fromFile ? file.open(QIODevice::ReadOnly) : file.open(stdin, QIODevice::ReadOnly);
        if (!opened) {
            error = QStringLiteral("cannot read the password from %1: %2")
                        .arg(fromFile ? options.passwordFile : QStringLiteral("standard input"),
                             file.errorString());
            return false;
        }
        // Typed at a terminal, the password is not echoed.
        const NoEcho quiet(!fromFile);
        QByteArray line = file.readLine(4096);
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        options.password = QString::fromUtf8(line);
    }
    // The password page takes at most 16 characters.
    if (options.password.size() > 16) {
        error = QStringLiteral("the password has at most 16 characters");
        return false;
    }
    return true;
}
