#pragma once
// What the program decides from its command line and environment before it
// reads its settings or makes any window: --help and --version print and end
// (they need no display, so package tools can run them), and without any
// graphical display the program says so in one line instead of letting the
// toolkit abort with its plugin error.

#include <QString>
#include <QStringList>
#include <functional>

struct StartDecision
{
    bool run = true;  // go on with the normal start
    int exitCode = 0; // when not running
    QString out;      // for standard output
    QString err;      // for standard error
};

// The program's version, as the package has it.
QString ProgramVersion();
// The --help text of the program.
QString ProgramHelpText();

// `arguments` as the process got them (the program name first); `env`
// returns an environment variable's value (empty when not set).
StartDecision DecideStart(const QStringList &arguments, const std::function<QString(const char *)> &env);
