#include "app/startarguments.h"

#include <QCommandLineParser>

#ifndef WIZARD_VERSION
#define WIZARD_VERSION "0"
#endif

QString ProgramVersion()
{
    return QStringLiteral(WIZARD_VERSION);
}

QString ProgramHelpText()
{
    return QStringLiteral(R"(Usage: setup-wizard [--help | --version]

Sets up a small wireless device, an access point or a wireless bridge
("AP Client"), from a desktop window. It finds the devices on the local
Ethernet segment with the device's UDP broadcast protocol (port 5433), logs
in and writes the operating mode, the IP settings (DHCP or static) and the
wireless settings (a manual profile, or Wi-Fi Protected Setup by push button
or PIN). It needs a graphical display (DISPLAY or WAYLAND_DISPLAY).

Options:
  --help     print this text and exit
  --version  print the version and exit
The toolkit's own options (such as -platform NAME) are passed on to it.

Files:
  setup-wizard.ini
      The settings file, beside the executable (the executable's name with
      ".ini"; in the package /usr/lib/setup-wizard/setup-wizard.ini). Every
      text, switch and picture can be replaced there. It is read, never
      written; without it every setting has its built-in default. Every
      section and key is described, with its default, in
      /usr/share/doc/setup-wizard/setup-wizard.ini.example.
      On Linux $XDG_CONFIG_HOME/setup-wizard/setup-wizard.ini (default
      ~/.config/setup-wizard/setup-wizard.ini), when it exists, replaces the
      file beside the executable (an installed program's folder is not the
      user's to write); paths in it stay relative to the executable's folder.
  setup-wizard.Log
      The debug log, beside the executable (the executable's name with
      ".Log"), or on Linux $XDG_STATE_HOME/setup-wizard/setup-wizard.Log
      (default ~/.local/state/setup-wizard/setup-wizard.Log), which comes
      first. Create either empty to switch logging on: the program then
      appends a time-stamped diagnostic log to it, with a hex dump of every
      protocol packet in clear text. Without such a file nothing is written.

Exit status: 0, also when another copy is already running (nothing is
shown then); 1 when there is no graphical display.
)");
}

StartDecision DecideStart(const QStringList &arguments, const std::function<QString(const char *)> &env)
{
    StartDecision d;
    QCommandLineParser parser;
    // The toolkit takes its options with one dash or two, so a word with
    // one dash is an option too; the toolkit's others are not ours to
    // refuse, and their errors are ignored.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}));
    parser.addOption(QCommandLineOption(QStringLiteral("version")));
    parser.addOption(QCommandLineOption(QStringLiteral("platform"), QString(), QStringLiteral("name")));
    parser.parse(arguments);
    // The first of --help and --version decides.
    for (const QString &name : parser.optionNames()) {
        if (name == u"version") {
            d.run = false;
            d.out = QStringLiteral("setup-wizard %1\n").arg(ProgramVersion());
            return d;
        }
        if (name != u"platform") {
            d.run = false;
            d.out = ProgramHelpText();
            return d;
        }
    }
    const bool platformGiven = parser.isSet(QStringLiteral("platform"));
#ifdef Q_OS_WIN
    // A Windows session always has its desktop.
    Q_UNUSED(platformGiven);
    Q_UNUSED(env);
#else
    if (!platformGiven && env("QT_QPA_PLATFORM").isEmpty() && env("DISPLAY").isEmpty() &&
        env("WAYLAND_DISPLAY").isEmpty()) {
        d.run = false;
        d.exitCode = 1;
        d.err = QStringLiteral("setup-wizard: no graphical display: DISPLAY or WAYLAND_DISPLAY is not set\n");
    }
#endif
    return d;
}
