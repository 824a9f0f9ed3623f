#pragma once
// The command line of wizardctl: subcommands, their options and the exit
// codes (the help texts are in ctlhelp). Parsing only checks the form of
// the options (known names, values present, numbers and choices); the
// rules on the values themselves (addresses, keys, PINs, names) are the
// shared input rules of app/validation.h, applied by the commands before
// anything is sent.

#include "ctlhelp.h"
#include "ctlpassword.h"

#include "protocol/datagramsocket.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

// Exit codes (documented in --help and docs/wizardctl.md).
enum CtlExit : int {
    CTL_EXIT_OK = 0,            // done; a write was verified by reading it back
    CTL_EXIT_INVALID = 1,       // bad command line or input refused by the rules; nothing was sent
    CTL_EXIT_NO_DEVICE = 2,     // no adapter, or no device answered / the MAC was not found
    CTL_EXIT_NOT_VERIFIED = 3,  // written, but the device answered the read-back with other values
    CTL_EXIT_NO_ANSWER = 4,     // the device did not answer (a login included), or refused the request
    CTL_EXIT_LOGIN = 5,         // the login was refused (wrong password?)
    CTL_EXIT_WPS_FAILED = 6,    // the WPS run was accepted but did not succeed
    CTL_EXIT_UNKNOWN_STATE = 7, // written, but the read-back was never answered
    CTL_EXIT_INTERRUPTED = 8,   // apply, show --all: Ctrl-C stopped the run before every device was done
};

struct CtlOptions
{
    QString command; // discover, show, set-ip, set-mode, set-wireless, wps, survey, station-pin, apply
    bool help = false;
    bool json = false;
    QString logFile;

    // discover
    int waitMs = 4000;
    int count = 0; // end once this many devices answered (0: the whole wait)

    // every device command
    QString macText;
    MacAddress mac{};
    QString password; // the factory password unless given
    // Where the password comes from, read by ReadPassword after the parse.
    enum class PasswordFrom { Default, Option, StandardInput, File, Environment };
    PasswordFrom passwordFrom = PasswordFrom::Default;
    QString passwordFile;

    // set-ip
    bool dhcp = false;
    QString ip, mask, gateway;
    bool hasIp = false, hasMask = false, hasGateway = false;

    // set-mode
    int deviceMode = 0;

    // set-wireless (the wireless mode defaults to b/g/n, as the profile pages)
    QByteArray ssid;      // the name's bytes: --ssid as UTF-8, or --ssid-hex
    bool hasSsid = false; // either option given (set-wireless, wps)
    bool ssidHex = false; // given as --ssid-hex
    int wirelessMode = 9;
    int security = 0;
    int wepLength = 0;
    bool hasWepLength = false;
    QString key;
    bool hasKey = false;
    int auth = -1; // -1: Auto on an access point, Open on a bridge
    int wpaMode = 2;
    bool hasWpaMode = false;
    QString passphrase;
    bool hasPassphrase = false;

    // wps
    bool pbc = false;
    QString pin;
    bool hasPin = false;

    // survey
    bool wpsOnly = false;

    // show --all
    bool all = false;

    // apply
    QString planFile;
    bool dryRun = false;
    int jobs = 8; // devices at once (apply, show --all)
};

enum class ParseResult {
    Run,     // options complete: run the command
    Help,    // --help: print HelpText(options.command), exit 0
    Version, // --version: print VersionText(), exit 0
    Usage,   // no command: print HelpText() to standard error, exit CTL_EXIT_INVALID
    Error,   // print the error and the usage line, exit CTL_EXIT_INVALID
};

// `environment` gives a variable's value (empty when unset); only
// WIZARDCTL_PASSWORD is asked, when no password option is given.
ParseResult ParseCommandLine(const QStringList &arguments, CtlOptions &options, QString &error,
                             const std::function<QString(const char *)> &environment = {});

// "02:00:4C:00:00:01" or "02-00-4c-00-00-01" into six bytes.
bool ParseMac(const QString &text, MacAddress &mac);
