// Entry point of the setup wizard.
#include "app/startarguments.h"
#include "shell/startup.h"

#include <QByteArray>
#include <cstdio>

#ifdef Q_OS_WIN
#include <windows.h>

namespace {
// A windowed program has no console of its own: --help and --version write
// to the console it was started from, unless its output is redirected.
void UseParentConsole()
{
    if (::GetStdHandle(STD_OUTPUT_HANDLE) == nullptr && ::AttachConsole(ATTACH_PARENT_PROCESS)) {
        [[maybe_unused]] FILE *out = std::freopen("CONOUT$", "w", stdout);
        [[maybe_unused]] FILE *err = std::freopen("CONOUT$", "w", stderr);
    }
}
} // namespace
#endif

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const StartDecision start =
        DecideStart(arguments, [](const char *name) { return QString::fromLocal8Bit(qgetenv(name)); });
    if (!start.run) {
#ifdef Q_OS_WIN
        UseParentConsole();
#endif
        std::fputs(start.out.toLocal8Bit().constData(), stdout);
        std::fputs(start.err.toLocal8Bit().constData(), stderr);
        return start.exitCode;
    }
    return RunSetupWizard(argc, argv);
}
