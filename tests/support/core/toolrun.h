#pragma once
// Runs one of the project's programs as a child process and keeps what it
// said, for the end-to-end tests: its exit code, standard output and
// standard error, printable in a test failure. Also the command-line
// client the lab tests run, and how they start it.

#include <QByteArray>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <ostream>

struct ToolRun
{
    int exitCode = -1; // -1: crashed or did not finish in time
    QString out;       // with mergedOutput, standard error too
    QString err;
};

std::ostream &operator<<(std::ostream &os, const ToolRun &run);

struct ToolStart
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QByteArray input{}; // standard input, closed after it
    int timeoutMs = 60000;
    bool mergedOutput = false; // both streams in `out`, in the order written
};

ToolRun RunTool(const QString &program, const QStringList &arguments, const ToolStart &start = {});

// The client the lab tests run: this build's wizardctl-test (the one with
// the time seam), or the one WIZARDCTL_CLIENT names (a sanitizer build).
QString WizardctlClient();
// Its start: waits scaled by `scale` (WIZARDCTL_TIME_SCALE), and no
// WIZARDCTL_PASSWORD taken over from the test's own environment.
ToolStart WizardctlStart(const QString &scale = QStringLiteral("0.05"));

#define SKIP_WITHOUT_CLIENT()                                                                                \
    do {                                                                                                     \
        if (!QFileInfo(WizardctlClient()).isExecutable())                                                    \
            GTEST_SKIP() << "the client " << WizardctlClient().toStdString()                                 \
                         << " is not built (build the target wizardctl-test)";                               \
    } while (false)
