#pragma once
// What wizardctl prints for --help and --version. The texts are those of
// docs/wizardctl.md and of the manual page made from them, so they are
// written out here rather than made by the parser.

#include <QString>

// The help of one subcommand, or the overview for an empty or unknown one.
QString HelpText(const QString &command);
// "wizardctl VERSION" and a line end.
QString VersionText();
