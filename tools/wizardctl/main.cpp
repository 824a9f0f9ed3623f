// wizardctl: the command-line client of the setup wizard. See --help and
// docs/wizardctl.md. The logic is in the ctl* units; this file only sets
// up the application, the settings and the log.
#include "ctlcommands.h"
#include "ctllog.h"
#include "ctloptions.h"

#include "app/globalvar.h"
#include "app/timing.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

#ifdef WIZARDCTL_TEST_SEAMS
    // The lab tests' build only: shrink every wait of the product (a 32-second
    // time-out in a fraction of a second) without changing any logic.
    bool scaled = false;
    const double scale = qEnvironmentVariable("WIZARDCTL_TIME_SCALE").toDouble(&scaled);
    if (scaled)
        Timing::SetScale(scale);
#endif

    g_Var.ReadSettings();

    CtlOptions options;
    QString error;
    const auto environment = [](const char *name) { return qEnvironmentVariable(name); };
    switch (ParseCommandLine(app.arguments(), options, error, environment)) {
    case ParseResult::Help:
        out << HelpText(options.command);
        return CTL_EXIT_OK;
    case ParseResult::Version:
        out << VersionText();
        return CTL_EXIT_OK;
    case ParseResult::Usage:
        err << HelpText(QString());
        return CTL_EXIT_INVALID;
    case ParseResult::Error:
        err << "wizardctl: " << error << '\n'
            << "Try 'wizardctl " << (options.command.isEmpty() ? QString() : options.command + u' ')
            << "--help'.\n";
        return CTL_EXIT_INVALID;
    case ParseResult::Run:
        break;
    }
    if (!ReadPassword(options, error)) {
        err << "wizardctl: " << error << '\n';
        return CTL_EXIT_INVALID;
    }

    CtlLogFile log;
    if (!options.logFile.isEmpty() && !log.Open(options.logFile, error)) {
        err << "wizardctl: " << error << '\n';
        return CTL_EXIT_INVALID;
    }
    const int rc = RunCommand(options, out, err);
    out.flush();
    err.flush();
    return rc;
}
