#pragma once
// Where a device command's password comes from once the command line is
// parsed: a file or standard input (typed at a terminal without echo), and
// the rule every password follows.

#include <QString>

struct CtlOptions;

// Fills options.password from the file or standard input the options name
// (the first line, without its line end). False with `error` set when it
// cannot be read or breaks the password rule.
bool ReadPassword(CtlOptions &options, QString &error);
