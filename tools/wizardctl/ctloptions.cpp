#include "ctloptions.h"

#include "app/settingkeys.h"
#include "app/startarguments.h"

#include <QFile>

#include <cstdio>
#include <map>
#include <set>

#ifndef Q_OS_WIN
#include <termios.h>
#include <unistd.h>
#endif

namespace {

const char kOverview[] = "Usage: wizardctl COMMAND [options]\n"
                         "\n"
                         "Configures the wireless device on the local Ethernet segment with the\n"
                         "setup wizard's own protocol and rules, without the wizard's windows.\n"
                         "\n"
                         "Commands:\n"
                         "  discover      list the devices that answer on every adapter\n"
                         "  show          log in and print the whole configuration\n"
                         "  set-ip        dynamic (DHCP) or static IP settings\n"
                         "  set-mode      operating mode: ap (access point) or bridge (AP Client)\n"
                         "  set-wireless  network name, wireless mode and security\n"
                         "  wps           Wi-Fi Protected Setup by push button or PIN\n"
                         "  survey        the wireless networks the device sees\n"
                         "  station-pin   the bridge's own WPS client PIN\n"
                         "\n"
                         "Options of every command:\n"
                         "  --log FILE    append the wizard's debug log (every packet in clear) to FILE\n"
                         "  --help        help of the command\n"
                         "\n"
                         "  wizardctl --help     this text\n"
                         "  wizardctl --version  the version\n"
                         "\n"
                         "The password of a device command (the factory password unless given) is\n"
                         "best not given with --password PW: every user of this computer can read a\n"
                         "command line in the process list. Give --password-file FILE or --password -\n"
                         "(standard input), or set the environment variable WIZARDCTL_PASSWORD.\n"
                         "\n"
                         "Exit codes:\n"
                         "  0  done; a write was read back and the device holds the values (verified)\n"
                         "  1  bad command line or invalid input; nothing was sent\n"
                         "  2  no usable adapter, no device answered, or the MAC was not found\n"
                         "  3  written, but the device does not report the values written (not verified)\n"
                         "  4  the device did not answer, or refused the request\n"
                         "  5  the login was refused or not answered (wrong password?)\n"
                         "  6  WPS was started but did not succeed\n";

const char kDeviceOptions[] = "  --mac MAC          the device (as listed by discover), required\n"
                              "  --password PW      login password, at most 16 characters (default:\n"
                              "                     WIZARDCTL_PASSWORD, else the factory password);\n"
                              "                     \"-\" reads the first line of standard input. A\n"
                              "                     password on the command line can be read by every\n"
                              "                     user in the process list: prefer \"-\", the file\n"
                              "                     or the environment variable\n"
                              "  --password-file FILE\n"
                              "                     the password: the first line of FILE\n";

const char kWriteNote[] = "A write that is not answered is repeated once after a fresh login; then\n"
                          "the configuration is read back and compared: \"verified\" (exit 0) or\n"
                          "\"not verified\" (exit 3).\n";

QString CommandHelp(const QString &command)
{
    QString text;
    if (command == u"discover") {
        text = "Usage: wizardctl discover [--wait MS] [--json]\n\n"
               "Broadcasts a discovery request on every adapter and lists each device that\n"
               "answers: name, MAC, device address and the local adapter address the answer\n"
               "came through. Exit 2 when nothing answers, with every interface of this\n"
               "computer (used, or skipped and why) and how to open UDP port 5433.\n\n"
               "  --wait MS   how long to collect answers (default 4000)\n"
               "  --json      one JSON object: {\"adapters\": [...], \"devices\": [...]}, with\n"
               "              \"error\", \"interfaces\" and \"hint\" when nothing answered\n";
    } else if (command == u"show") {
        text = QString("Usage: wizardctl show --mac MAC [--password PW] [--json]\n\n"
                       "Logs in and prints the device's whole configuration with the display names\n"
                       "of its values (JSON keeps both the codes and the names).\n\n") +
               kDeviceOptions + "  --json             one JSON object\n";
    } else if (command == u"set-ip") {
        text = QString("Usage: wizardctl set-ip --mac MAC (--dhcp | --ip A [--mask M] [--gateway G])\n\n"
                       "Writes the device's IP settings. Static values follow the wizard's rules: a\n"
                       "unicast address that is not the PC's own, a contiguous mask (proposed from\n"
                       "the address class when left out), a gateway in the same subnet or none.\n"
                       "An address ending in .255 is corrected to .254, as in the wizard. Values\n"
                       "the device already holds are not written again.\n\n") +
               kDeviceOptions +
               "  --dhcp             obtain the address automatically\n"
               "  --ip A --mask M    static address and mask\n"
               "  --gateway G        default gateway (optional)\n\n" +
               kWriteNote;
    } else if (command == u"set-mode") {
        text = QString("Usage: wizardctl set-mode --mac MAC ap|bridge\n\n"
                       "Switches the operating mode: ap (access point) or bridge (AP Client).\n\n") +
               kDeviceOptions + "\n" + kWriteNote;
    } else if (command == u"set-wireless") {
        text = QString("Usage: wizardctl set-wireless --mac MAC (--ssid S | --ssid-hex HEX)\n"
                       "         [--mode CODE] [--security none|wep|wpa-psk]\n"
                       "         [--wep-length 64|128 --key K --auth open|shared|auto]\n"
                       "         [--wpa-mode wpa|wpa2|auto --passphrase P]\n\n"
                       "Writes the access point's network (access-point mode) or the upstream\n"
                       "network to join (bridge mode). The channel is left to the device.\n\n") +
               kDeviceOptions +
               "  --ssid S           network name, 1 to 32 bytes as UTF-8\n"
               "  --ssid-hex HEX     the network name's bytes in hex (e.g. 436166E92DFF),\n"
               "                     for names that are not UTF-8; no 00 byte\n"
               "  --mode CODE        wireless mode 0-9 (default 9, b/g/n mixed):\n"
               "                     0 b/g, 1 b, 2 a, 3 a/b/g, 4 g, 5 a/b/g/n, 6 n, 7 g/n,\n"
               "                     8 a/n, 9 b/g/n\n"
               "  --security S       none (default), wep or wpa-psk\n"
               "  --wep-length L     64 (default) or 128\n"
               "  --key K            WEP key: 5 or 13 characters, or 10 or 26 hex digits\n"
               "  --auth A           open, shared or auto (default auto on an access point,\n"
               "                     open on a bridge; a bridge takes open or shared only)\n"
               "  --wpa-mode M       wpa (TKIP), wpa2 (AES) or auto (TKIP and AES, default)\n"
               "  --passphrase P     8 to 63 characters, or 64 hex digits\n\n" +
               kWriteNote;
    } else if (command == u"wps") {
        text = QString("Usage: wizardctl wps --mac MAC\n"
                       "         (--pbc | --pin NNNNNNNN | --ssid S | --ssid-hex HEX)\n\n"
                       "Starts Wi-Fi Protected Setup and follows the device's status reports to\n"
                       "success or failure (at most 3 minutes).\n\n") +
               kDeviceOptions +
               "  --pbc              push-button method (either mode)\n"
               "  --pin NNNNNNNN     access point: the 8-digit PIN of the station to admit\n"
               "  --ssid S           bridge: the access point to join by PIN; enter the\n"
               "                     device's own PIN (printed) at that access point\n"
               "  --ssid-hex HEX     the same, the name's bytes in hex\n\n"
               "Exit 6 when the device reports a failure or the time runs out.\n";
    } else if (command == u"survey") {
        text = QString("Usage: wizardctl survey --mac MAC [--wps-only] [--json]\n\n"
                       "Lists the wireless networks the device sees, strongest first.\n\n") +
               kDeviceOptions +
               "  --wps-only         only networks that offer WPS\n"
               "  --json             a JSON array\n";
    } else if (command == u"station-pin") {
        text = QString("Usage: wizardctl station-pin --mac MAC\n\n"
                       "Prints the bridge's own WPS client PIN.\n\n") +
               kDeviceOptions;
    } else {
        return QString::fromLatin1(kOverview);
    }
    return text + "  --log FILE         append the debug log to FILE\n";
}

const std::map<QString, std::set<QString>> &AllowedOptions()
{
    static const std::set<QString> device{"--mac", "--password", "--password-file", "--log", "--help"};
    auto with = [](std::set<QString> base, std::initializer_list<const char *> more) {
        for (const char *m : more)
            base.insert(QString::fromLatin1(m));
        return base;
    };
    static const std::map<QString, std::set<QString>> allowed{
        {"discover", {"--wait", "--json", "--log", "--help"}},
        {"show", with(device, {"--json"})},
        {"set-ip", with(device, {"--dhcp", "--ip", "--mask", "--gateway"})},
        {"set-mode", device},
        {"set-wireless", with(device, {"--ssid", "--mode", "--security", "--wep-length", "--key", "--auth",
                                       "--wpa-mode", "--passphrase", "--ssid-hex"})},
        {"wps", with(device, {"--pbc", "--pin", "--ssid", "--ssid-hex"})},
        {"survey", with(device, {"--wps-only", "--json"})},
        {"station-pin", device},
    };
    return allowed;
}

bool TakesValue(const QString &option)
{
    static const std::set<QString> flags{"--json", "--help", "--dhcp", "--pbc", "--wps-only"};
    return !flags.count(option);
}

// A choice among named codes; false for anything else.
bool Choose(const QString &value, const std::map<QString, int> &choices, int &code)
{
    const auto it = choices.find(value.toLower());
    if (it == choices.end())
        return false;
    code = it->second;
    return true;
}

// A network name from --ssid (UTF-8) or --ssid-hex (its bytes as hex digits,
// blanks and colons allowed between pairs). False with `error` set when both
// or a malformed hex text are given; the length rules come later.
bool TakeSsid(bool hasText, const QString &text, bool hasHex, const QString &hex, CtlOptions &options,
              QString &error)
{
    options.hasSsid = hasText || hasHex;
    options.ssidHex = hasHex;
    if (hasText && hasHex) {
        error = QStringLiteral("--ssid and --ssid-hex are two ways of giving one name: use one");
        return false;
    }
    if (!hasHex) {
        options.ssid = text.toUtf8();
        return true;
    }
    QByteArray digits;
    bool hexOnly = true;
    for (const QChar c : hex) {
        const char16_t u = c.unicode();
        if (u == u' ' || u == u':')
            continue;
        hexOnly =
            hexOnly && ((u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F'));
        digits.append(char(u));
    }
    if (!hexOnly || digits.size() % 2 != 0) {
        error = QStringLiteral("--ssid-hex takes pairs of hex digits, e.g. 436166E92DFF");
        return false;
    }
    options.ssid = QByteArray::fromHex(digits);
    if (options.ssid.contains('\0')) {
        error = QStringLiteral("--ssid-hex: a network name cannot hold a 00 byte");
        return false;
    }
    return true;
}

// While it lives, a terminal on standard input does not echo what is
// typed; a prompt goes to the error stream. Nothing happens for a pipe or a
// file.
class NoEcho
{
public:
    explicit NoEcho(bool wanted)
    {
#ifndef Q_OS_WIN
        m_on = wanted && ::isatty(STDIN_FILENO) && ::tcgetattr(STDIN_FILENO, &m_saved) == 0;
        if (!m_on)
            return;
        std::fputs("Password: ", stderr);
        std::fflush(stderr);
        termios quiet = m_saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
#else
        Q_UNUSED(wanted);
#endif
    }
    ~NoEcho()
    {
#ifndef Q_OS_WIN
        if (!m_on)
            return;
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &m_saved);
        std::fputs("\n", stderr);
#endif
    }
    NoEcho(const NoEcho &) = delete;
    NoEcho &operator=(const NoEcho &) = delete;

private:
#ifndef Q_OS_WIN
    bool m_on = false;
    termios m_saved{};
#endif
};

} // namespace

bool ParseMac(const QString &text, MacAddress &mac)
{
    QString t = text.trimmed();
    t.replace(u'-', u':');
    const QStringList parts = t.split(u':');
    if (parts.size() != 6)
        return false;
    for (int i = 0; i < 6; ++i) {
        bool ok = false;
        const uint v = parts[i].toUInt(&ok, 16);
        if (!ok || parts[i].size() > 2 || v > 255)
            return false;
        mac[size_t(i)] = uint8_t(v);
    }
    return true;
}

QString HelpText(const QString &command)
{
    return CommandHelp(command);
}

QString VersionText()
{
    return QStringLiteral("wizardctl %1\n").arg(ProgramVersion());
}

bool ReadPassword(CtlOptions &options, QString &error)
{
    using From = CtlOptions::PasswordFrom;
    if (options.passwordFrom == From::File || options.passwordFrom == From::StandardInput) {
        const bool fromFile = options.passwordFrom == From::File;
        QFile file(fromFile ? options.passwordFile : QString());
        const bool opened = fromFile ? file.open(QIODevice::ReadOnly) : file.open(stdin, QIODevice::ReadOnly);
        if (!opened) {
            error = QStringLiteral("cannot read the password from %1: %2")
                        .arg(fromFile ? options.passwordFile : QStringLiteral("standard input"),
                             file.errorString());
            return false;
        }
        // Typed at a terminal, the password is not echoed.
        const NoEcho quiet(!fromFile);
        QByteArray line = file.readLine(4096);
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        options.password = QString::fromUtf8(line);
    }
    // The password page takes at most 16 characters.
    if (options.password.size() > 16) {
        error = QStringLiteral("the password has at most 16 characters");
        return false;
    }
    return true;
}

ParseResult ParseCommandLine(const QStringList &arguments, CtlOptions &options, QString &error,
                             const std::function<QString(const char *)> &environment)
{
    options = CtlOptions{};
    options.password = QString::fromLatin1(DEFAULT_PASSWORD);
    if (arguments.size() < 2)
        return ParseResult::Usage;
    options.command = arguments[1];
    if (options.command == u"--version") {
        options.command.clear();
        return ParseResult::Version;
    }
    if (options.command == u"--help" || options.command == u"-h" || options.command == u"help") {
        options.command = arguments.size() > 2 ? arguments[2] : QString();
        return ParseResult::Help;
    }
    const auto allowed = AllowedOptions().find(options.command);
    if (allowed == AllowedOptions().end()) {
        error = QStringLiteral("unknown command \"%1\"").arg(options.command);
        options.command.clear();
        return ParseResult::Error;
    }

    QStringList positional;
    std::map<QString, QString> values;
    for (int i = 2; i < arguments.size(); ++i) {
        QString option = arguments[i];
        if (!option.startsWith(u"--")) {
            positional << option;
            continue;
        }
        QString value;
        bool hasValue = false;
        const int eq = option.indexOf(u'=');
        if (eq > 0) {
            value = option.mid(eq + 1);
            option = option.left(eq);
            hasValue = true;
        }
        if (!allowed->second.count(option)) {
            error = QStringLiteral("%1 does not take the option %2").arg(options.command, option);
            return ParseResult::Error;
        }
        if (option == u"--help") {
            options.help = true;
            return ParseResult::Help;
        }
        if (TakesValue(option) && !hasValue) {
            if (i + 1 >= arguments.size()) {
                error = QStringLiteral("%1 needs a value").arg(option);
                return ParseResult::Error;
            }
            value = arguments[++i];
        } else if (!TakesValue(option) && hasValue) {
            error = QStringLiteral("%1 takes no value").arg(option);
            return ParseResult::Error;
        }
        if (values.count(option)) {
            error = QStringLiteral("%1 is given twice").arg(option);
            return ParseResult::Error;
        }
        values[option] = value;
    }
    auto has = [&](const char *o) { return values.count(QString::fromLatin1(o)) > 0; };
    auto get = [&](const char *o) {
        const auto it = values.find(QString::fromLatin1(o));
        return it == values.end() ? QString() : it->second;
    };

    options.json = has("--json");
    options.logFile = get("--log");
    if (has("--log") && options.logFile.isEmpty()) {
        error = QStringLiteral("--log needs a file name");
        return ParseResult::Error;
    }

    const bool needsMode = options.command == u"set-mode";
    if (!positional.isEmpty() && !(needsMode && positional.size() == 1)) {
        error = QStringLiteral("unexpected argument \"%1\"").arg(positional.last());
        return ParseResult::Error;
    }

    if (options.command == u"discover") {
        if (has("--wait")) {
            bool ok = false;
            options.waitMs = get("--wait").toInt(&ok);
            if (!ok || options.waitMs < 100 || options.waitMs > 60000) {
                error = QStringLiteral("--wait takes milliseconds from 100 to 60000");
                return ParseResult::Error;
            }
        }
        return ParseResult::Run;
    }

    // Every other command addresses one device.
    if (!has("--mac")) {
        error = QStringLiteral("%1 needs --mac MAC (see wizardctl discover)").arg(options.command);
        return ParseResult::Error;
    }
    options.macText = get("--mac");
    if (!ParseMac(options.macText, options.mac)) {
        error = QStringLiteral("\"%1\" is not a MAC address (six hex pairs, e.g. 02:00:4C:00:00:01)")
                    .arg(options.macText);
        return ParseResult::Error;
    }
    using From = CtlOptions::PasswordFrom;
    if (has("--password") && has("--password-file")) {
        error = QStringLiteral("--password and --password-file are two ways of giving one password: use one");
        return ParseResult::Error;
    }
    const QString fromEnvironment = environment ? environment("WIZARDCTL_PASSWORD") : QString();
    if (has("--password-file")) {
        options.passwordFrom = From::File;
        options.passwordFile = get("--password-file");
    } else if (has("--password") && get("--password") == u"-") {
        options.passwordFrom = From::StandardInput;
    } else if (has("--password")) {
        options.passwordFrom = From::Option;
        options.password = get("--password");
    } else if (!fromEnvironment.isEmpty()) {
        options.passwordFrom = From::Environment;
        options.password = fromEnvironment;
    }
    // The rule is checked at once when the text is already known.
    if (options.passwordFrom != From::File && options.passwordFrom != From::StandardInput &&
        !ReadPassword(options, error))
        return ParseResult::Error;

    if (options.command == u"set-ip") {
        options.dhcp = has("--dhcp");
        options.hasIp = has("--ip");
        options.hasMask = has("--mask");
        options.hasGateway = has("--gateway");
        options.ip = get("--ip");
        options.mask = get("--mask");
        options.gateway = get("--gateway");
        if (options.dhcp == options.hasIp) {
            error = QStringLiteral("set-ip takes either --dhcp or --ip (with --mask and --gateway)");
            return ParseResult::Error;
        }
        if (options.dhcp && (options.hasMask || options.hasGateway)) {
            error = QStringLiteral("--mask and --gateway go with --ip, not with --dhcp");
            return ParseResult::Error;
        }
    } else if (options.command == u"set-mode") {
        if (positional.size() != 1 ||
            !Choose(positional[0], {{"ap", 1}, {"bridge", 2}, {"apclient", 2}}, options.deviceMode)) {
            error = QStringLiteral("set-mode takes ap or bridge");
            return ParseResult::Error;
        }
    } else if (options.command == u"set-wireless") {
        if (!TakeSsid(has("--ssid"), get("--ssid"), has("--ssid-hex"), get("--ssid-hex"), options, error))
            return ParseResult::Error;
        if (!options.hasSsid) {
            error = QStringLiteral("set-wireless needs --ssid or --ssid-hex");
            return ParseResult::Error;
        }
        if (has("--mode")) {
            bool ok = false;
            options.wirelessMode = get("--mode").toInt(&ok);
            if (!ok || options.wirelessMode < 0 || options.wirelessMode > 9) {
                error = QStringLiteral("--mode takes a wireless mode code from 0 to 9");
                return ParseResult::Error;
            }
        }
        if (has("--security") &&
            !Choose(get("--security"), {{"none", 0}, {"wep", 1}, {"wpa-psk", 2}, {"wpapsk", 2}},
                    options.security)) {
            error = QStringLiteral("--security takes none, wep or wpa-psk");
            return ParseResult::Error;
        }
        options.hasWepLength = has("--wep-length");
        if (options.hasWepLength &&
            !Choose(get("--wep-length"), {{"64", 0}, {"128", 1}}, options.wepLength)) {
            error = QStringLiteral("--wep-length takes 64 or 128");
            return ParseResult::Error;
        }
        if (has("--auth") &&
            !Choose(get("--auth"), {{"open", 0}, {"shared", 1}, {"auto", 2}}, options.auth)) {
            error = QStringLiteral("--auth takes open, shared or auto");
            return ParseResult::Error;
        }
        options.hasWpaMode = has("--wpa-mode");
        if (options.hasWpaMode &&
            !Choose(get("--wpa-mode"), {{"wpa", 0}, {"wpa2", 1}, {"auto", 2}}, options.wpaMode)) {
            error = QStringLiteral("--wpa-mode takes wpa, wpa2 or auto");
            return ParseResult::Error;
        }
        options.hasKey = has("--key");
        options.key = get("--key");
        options.hasPassphrase = has("--passphrase");
        options.passphrase = get("--passphrase");
        const bool wepOptions = options.hasWepLength || options.hasKey || has("--auth");
        const bool wpaOptions = options.hasWpaMode || options.hasPassphrase;
        if (options.security == 1 && !options.hasKey) {
            error = QStringLiteral("--security wep needs --key");
            return ParseResult::Error;
        }
        if (options.security == 2 && !options.hasPassphrase) {
            error = QStringLiteral("--security wpa-psk needs --passphrase");
            return ParseResult::Error;
        }
        if ((wepOptions && options.security != 1) || (wpaOptions && options.security != 2)) {
            error = QStringLiteral("--wep-length, --key and --auth go with --security wep; --wpa-mode and "
                                   "--passphrase with --security wpa-psk");
            return ParseResult::Error;
        }
    } else if (options.command == u"wps") {
        options.pbc = has("--pbc");
        options.hasPin = has("--pin");
        options.pin = get("--pin");
        if (!TakeSsid(has("--ssid"), get("--ssid"), has("--ssid-hex"), get("--ssid-hex"), options, error))
            return ParseResult::Error;
        if (int(options.pbc) + int(options.hasPin) + int(options.hasSsid) != 1) {
            error = QStringLiteral("wps takes one of --pbc, --pin NNNNNNNN, --ssid S or --ssid-hex HEX");
            return ParseResult::Error;
        }
    } else if (options.command == u"survey") {
        options.wpsOnly = has("--wps-only");
    }
    return ParseResult::Run;
}
