// Entry point of the setup wizard.
#include "app/startarguments.h"
#include "wizard/startup.h"

#include <QByteArray>
#include <cstdio>

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const StartDecision start =
        DecideStart(arguments, [](const char *name) { return QString::fromLocal8Bit(qgetenv(name)); });
    if (!start.run) {
        std::fputs(start.out.toLocal8Bit().constData(), stdout);
        std::fputs(start.err.toLocal8Bit().constData(), stderr);
        return start.exitCode;
    }
    return RunSetupWizard(argc, argv);
}
