#pragma once
// The user's own places for the settings file and the debug log. An
// installed program's folder is not the user's to write, so on Linux a
// settings file and a log switched on in the user's XDG folders are used
// instead of those beside the executable:
//   $XDG_CONFIG_HOME/setup-wizard/<program>.ini   (default ~/.config)
//   $XDG_STATE_HOME/setup-wizard/<program>.Log    (default ~/.local/state)
// where <program> is the executable's name without extension. Each is used
// only when it exists. On Windows the files stay beside the executable and
// both answers are empty.

#include <QString>
#include <functional>

// A variable of the environment; empty when it is unset.
using EnvironmentLookup = std::function<QString(const char *name)>;

// The settings file of the program `baseName` in the user's configuration
// folder; empty when there is none (no home folder, or Windows). An empty
// `environment` means the process environment.
QString UserSettingsFile(const QString &baseName, const EnvironmentLookup &environment = {});

// The log of the program `baseName` in the user's state folder; empty as
// above.
QString UserLogFile(const QString &baseName, const EnvironmentLookup &environment = {});
