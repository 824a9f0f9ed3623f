#include "shell/displayretry.h"

#include "app/debug.h"

#include <QtGlobal>

#ifndef Q_OS_WIN
#include <QByteArray>
#include <QString>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Which try this start is; counted in the environment across the restarts.
const char kTryVariable[] = "SETUP_WIZARD_DISPLAY_TRY";

struct RetryState
{
    std::vector<std::string> arguments;
    std::function<void()> release;
    QtMessageHandler previous = nullptr;
};
std::unique_ptr<RetryState> g_state;

int ThisTry()
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(kTryVariable, &ok);
    return ok && value > 0 ? value : 1;
}

[[noreturn]] void StartAgainOrEnd(const QString &message)
{
    const int attempt = ThisTry();
    if (g_state->release)
        g_state->release();
    if (attempt < DisplayRetry::kTries) {
        DebugPrint("RunSetupWizard() FAIL display connection, try %d of %d", attempt, DisplayRetry::kTries);
        std::this_thread::sleep_for(std::chrono::milliseconds(100 * attempt));
        qputenv(kTryVariable, QByteArray::number(attempt + 1));
        std::vector<char *> argv;
        for (std::string &argument : g_state->arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        ::execv("/proc/self/exe", argv.data());
        DebugPrint("RunSetupWizard() FAIL start again");
    } else {
        DebugPrint("RunSetupWizard() FAIL display connection, giving up after %d tries", attempt);
    }
    // The toolkit's own text once, before the program's line.
    std::fprintf(stderr, "%s\n", qPrintable(message));
    const QByteArray display = qgetenv("DISPLAY");
    std::fprintf(stderr, "setup-wizard: cannot connect to the graphical display %s\n", display.constData());
    std::fflush(stderr);
    std::_Exit(1);
}

void Handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg) {
        if (g_state->previous)
            g_state->previous(type, context, message);
        return;
    }
    StartAgainOrEnd(message);
}

} // namespace

DisplayRetry::DisplayRetry(int argc, char **argv, std::function<void()> release)
{
    g_state = std::make_unique<RetryState>();
    for (int i = 0; i < argc; ++i)
        g_state->arguments.emplace_back(argv[i]);
    g_state->release = std::move(release);
    g_state->previous = qInstallMessageHandler(Handler);
}

DisplayRetry::~DisplayRetry()
{
    qInstallMessageHandler(g_state->previous);
    g_state.reset();
    // A later copy started by this one (an installer, a document viewer)
    // counts its own tries.
    qunsetenv(kTryVariable);
}

#else

DisplayRetry::DisplayRetry(int, char **, std::function<void()>)
{
}
DisplayRetry::~DisplayRetry() = default;

#endif
