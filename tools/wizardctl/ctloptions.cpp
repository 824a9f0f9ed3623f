#include "ctloptions.h"

#include "ctlsettings.h"

#include "app/settingkeys.h"

#include <QCommandLineParser>

#include <map>
#include <optional>
#include <set>

namespace {

const std::map<QString, std::set<QString>> &AllowedOptions()
{
    static const std::set<QString> device{"--mac", "--password", "--password-file", "--log", "--help"};
    static const std::set<QString> fleet{"--password", "--password-file", "--log",
                                         "--help",     "--jobs",          "--json"};
    auto with = [](std::set<QString> base, std::initializer_list<const char *> more) {
        for (const char *m : more)
            base.insert(QString::fromLatin1(m));
        return base;
    };
    static const std::map<QString, std::set<QString>> allowed{
        {"discover", {"--wait", "--count", "--json", "--log", "--help"}},
        {"show", with(device, {"--json", "--all"})},
        {"set-ip", with(device, {"--dhcp", "--ip", "--mask", "--gateway"})},
        {"set-mode", device},
        {"set-wireless", with(device, {"--ssid", "--mode", "--security", "--wep-length", "--key", "--auth",
                                       "--wpa-mode", "--passphrase", "--ssid-hex"})},
        {"wps", with(device, {"--pbc", "--pin", "--ssid", "--ssid-hex"})},
        {"survey", with(device, {"--wps-only", "--json"})},
        {"station-pin", device},
        {"apply", with(fleet, {"--dry-run"})},
    };
    return allowed;
}

bool TakesValue(const QString &option)
{
    static const std::set<QString> flags{"--json",     "--help", "--dhcp",   "--pbc",
                                         "--wps-only", "--all",  "--dry-run"};
    return !flags.count(option);
}

// A choice among named codes; false for anything else.
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
    const std::optional<QByteArray> bytes = BytesFromHex(hex);
    if (!bytes) {
        error = QStringLiteral("--ssid-hex takes pairs of hex digits, e.g. 436166E92DFF");
        return false;
    }
    options.ssid = *bytes;
    if (options.ssid.contains('\0')) {
        error = QStringLiteral("--ssid-hex: a network name cannot hold a 00 byte");
        return false;
    }
    return true;
}

bool Fail(QString &error, const QString &text)
{
    error = text;
    return false;
}

// The options one command line gave, as the parser read them: the value of
// each ("" for a flag), and the words after the command.
class Given
{
public:
    explicit Given(const QCommandLineParser &parser) : m_words(parser.positionalArguments())
    {
        m_words.removeFirst(); // the command
        for (const QString &name : parser.optionNames())
            m_values[name] = TakesValue(QStringLiteral("--") + name) ? parser.value(name) : QString();
    }
    bool Has(const char *option) const { return m_values.count(QString::fromLatin1(option)) > 0; }
    QString Get(const char *option) const
    {
        const auto it = m_values.find(QString::fromLatin1(option));
        return it == m_values.end() ? QString() : it->second;
    }
    const QStringList &Words() const { return m_words; }

private:
    QStringList m_words;
    std::map<QString, QString> m_values;
};

// The first of the words before "--" that `picks` picks; empty when none.
QString FirstWord(const QStringList &arguments, const std::function<bool(const QString &)> &picks)
{
    for (const QString &argument : arguments.mid(1)) {
        if (argument == u"--")
            break;
        if (picks(argument))
            return argument;
    }
    return {};
}

// The parser's own texts are not this tool's: a fault is named the way the
// documentation and the scripts that read the error stream know it.
QString ParserError(const QCommandLineParser &parser, const QStringList &arguments, const QString &command)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty() && unknown.first().size() > 1)
        return QStringLiteral("%1 does not take the option --%2").arg(command, unknown.first());
    // Every option here has a long name: a word with one dash is no option.
    const QString dashed = FirstWord(arguments, [](const QString &word) {
        return word.size() > 1 && word.startsWith(u'-') && !word.startsWith(u"--");
    });
    if (!unknown.isEmpty())
        return QStringLiteral("unexpected argument \"%1\"").arg(dashed);
    const QString flag = FirstWord(arguments, [](const QString &word) {
        const qsizetype eq = word.indexOf(u'=');
        return word.startsWith(u"--") && eq > 2 && !TakesValue(word.left(eq));
    });
    if (!flag.isEmpty())
        return QStringLiteral("%1 takes no value").arg(flag.section(u'=', 0, 0));
    // Otherwise an option that takes a value ends the line.
    return QStringLiteral("%1 needs a value").arg(arguments.last());
}

// The first word: the command, or --help or --version before any command.
// The command's options are not known yet, so this parse leaves everything
// after the first word to the second one.
std::optional<ParseResult> ParseFirstWord(const QStringList &arguments, CtlOptions &options, QString &error)
{
    if (arguments.size() < 2)
        return ParseResult::Usage;
    if (arguments[1] == u"help") {
        options.command = arguments.value(2);
        return ParseResult::Help;
    }
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}));
    parser.addOption(QCommandLineOption(QStringLiteral("version")));
    // An unknown option is refused below, as a command that does not exist.
    parser.parse(arguments);
    const QStringList words = parser.positionalArguments();
    const QStringList found = parser.optionNames();
    if (!words.isEmpty() && words.first() == arguments[1]) {
        options.command = words.first();
        return std::nullopt;
    }
    if (!found.isEmpty() && found.first() == u"version")
        return ParseResult::Version;
    if (!found.isEmpty()) {
        options.command = words.value(0);
        return ParseResult::Help;
    }
    error = QStringLiteral("unknown command \"%1\"").arg(arguments[1]);
    return ParseResult::Error;
}

// The whole line again with the command's own options: each known to the
// command, given a value when it takes one, and given once.
ParseResult ParseOptions(const QStringList &arguments, const QString &command, QCommandLineParser &parser,
                         QString &error)
{
    for (const QString &name : AllowedOptions().at(command)) {
        QCommandLineOption option(name.mid(2));
        if (TakesValue(name))
            option.setValueName(QStringLiteral("value"));
        parser.addOption(option);
    }
    const bool parsed = parser.parse(arguments);
    if (parser.isSet(QStringLiteral("help")))
        return ParseResult::Help;
    if (!parsed) {
        error = ParserError(parser, arguments, command);
        return ParseResult::Error;
    }
    std::set<QString> seen;
    for (const QString &name : parser.optionNames()) {
        if (!seen.insert(name).second) {
            error = QStringLiteral("--%1 is given twice").arg(name);
            return ParseResult::Error;
        }
    }
    return ParseResult::Run;
}

bool TakeNumber(const Given &given, const char *option, int min, int max, int &number, QString &error,
                const char *text)
{
    if (!given.Has(option))
        return true;
    bool ok = false;
    number = given.Get(option).toInt(&ok);
    return (ok && number >= min && number <= max) || Fail(error, QString::fromLatin1(text));
}

// An option that takes one of a few names, each standing for a code.
struct ChoiceOption
{
    const char *name;
    SettingWords words;
    int CtlOptions::*code;
    bool CtlOptions::*given = nullptr; // where to keep whether it was given
    const char *error;
};

bool TakeChoice(const Given &given, const ChoiceOption &choice, CtlOptions &options, QString &error)
{
    const bool has = given.Has(choice.name);
    if (choice.given)
        options.*choice.given = has;
    return !has || ChooseWord(given.Get(choice.name), choice.words, options.*choice.code) ||
           Fail(error, QString::fromLatin1(choice.error));
}

using Environment = std::function<QString(const char *)>;

// The password of the device commands.
bool TakePassword(const Given &given, CtlOptions &options, QString &error, const Environment &environment)
{
    using From = CtlOptions::PasswordFrom;
    if (given.Has("password") && given.Has("password-file"))
        return Fail(error, QStringLiteral("--password and --password-file are two ways of giving one "
                                          "password: use one"));
    const QString fromEnvironment = environment ? environment("WIZARDCTL_PASSWORD") : QString();
    if (given.Has("password-file")) {
        options.passwordFrom = From::File;
        options.passwordFile = given.Get("password-file");
    } else if (given.Has("password") && given.Get("password") == u"-") {
        options.passwordFrom = From::StandardInput;
    } else if (given.Has("password")) {
        options.passwordFrom = From::Option;
        options.password = given.Get("password");
    } else if (!fromEnvironment.isEmpty()) {
        options.passwordFrom = From::Environment;
        options.password = fromEnvironment;
    }
    // The rule is checked at once when the text is already known.
    return options.passwordFrom == From::File || options.passwordFrom == From::StandardInput ||
           ReadPassword(options, error);
}

// The device every command but discover addresses (apply and show --all
// find theirs), and the password for it.
bool TakeDevice(const Given &given, CtlOptions &options, QString &error, const Environment &environment)
{
    options.all = given.Has("all");
    if (options.command == u"apply" || options.all) {
        if (given.Has("mac"))
            return Fail(error, QStringLiteral("--all shows every device: no --mac with it"));
        if (options.all && !given.Has("json"))
            return Fail(error, QStringLiteral("show --all needs --json (one document for every device)"));
        if (!TakeNumber(given, "jobs", 1, 64, options.jobs, error, "--jobs takes a number from 1 to 64"))
            return false;
        return TakePassword(given, options, error, environment);
    }
    if (!given.Has("mac"))
        return Fail(error,
                    QStringLiteral("%1 needs --mac MAC (see wizardctl discover)").arg(options.command));
    options.macText = given.Get("mac");
    if (!ParseMac(options.macText, options.mac))
        return Fail(error,
                    QStringLiteral("\"%1\" is not a MAC address (six hex pairs, e.g. 02:00:4C:00:00:01)")
                        .arg(options.macText));
    return TakePassword(given, options, error, environment);
}

bool TakeApply(const Given &given, CtlOptions &options, QString &error)
{
    options.dryRun = given.Has("dry-run");
    if (given.Words().size() != 1)
        return Fail(error, QStringLiteral("apply takes one plan file: wizardctl apply PLAN.json"));
    options.planFile = given.Words()[0];
    return true;
}

bool TakeSetIp(const Given &given, CtlOptions &options, QString &error)
{
    options.dhcp = given.Has("dhcp");
    options.hasIp = given.Has("ip");
    options.hasMask = given.Has("mask");
    options.hasGateway = given.Has("gateway");
    options.ip = given.Get("ip");
    options.mask = given.Get("mask");
    options.gateway = given.Get("gateway");
    if (options.dhcp == options.hasIp)
        return Fail(error, QStringLiteral("set-ip takes either --dhcp or --ip (with --mask and --gateway)"));
    if (options.dhcp && (options.hasMask || options.hasGateway))
        return Fail(error, QStringLiteral("--mask and --gateway go with --ip, not with --dhcp"));
    return true;
}

bool TakeSetMode(const Given &given, CtlOptions &options, QString &error)
{
    return (given.Words().size() == 1 &&
            ChooseWord(given.Words()[0], kDeviceModeWords, options.deviceMode)) ||
           Fail(error, QStringLiteral("set-mode takes ap or bridge"));
}

bool TakeSetWireless(const Given &given, CtlOptions &options, QString &error)
{
    static const ChoiceOption choices[] = {
        {.name = "security",
         .words = kSecurityWords,
         .code = &CtlOptions::security,
         .error = "--security takes none, wep or wpa-psk"},
        {.name = "wep-length",
         .words = kWepLengthWords,
         .code = &CtlOptions::wepLength,
         .given = &CtlOptions::hasWepLength,
         .error = "--wep-length takes 64 or 128"},
        {.name = "auth",
         .words = kAuthWords,
         .code = &CtlOptions::auth,
         .error = "--auth takes open, shared or auto"},
        {.name = "wpa-mode",
         .words = kWpaModeWords,
         .code = &CtlOptions::wpaMode,
         .given = &CtlOptions::hasWpaMode,
         .error = "--wpa-mode takes wpa, wpa2 or auto"},
    };
    if (!TakeSsid(given.Has("ssid"), given.Get("ssid"), given.Has("ssid-hex"), given.Get("ssid-hex"), options,
                  error))
        return false;
    if (!options.hasSsid)
        return Fail(error, QStringLiteral("set-wireless needs --ssid or --ssid-hex"));
    if (!TakeNumber(given, "mode", 0, 9, options.wirelessMode, error,
                    "--mode takes a wireless mode code from 0 to 9"))
        return false;
    for (const ChoiceOption &choice : choices) {
        if (!TakeChoice(given, choice, options, error))
            return false;
    }
    options.hasKey = given.Has("key");
    options.key = given.Get("key");
    options.hasPassphrase = given.Has("passphrase");
    options.passphrase = given.Get("passphrase");
    const bool wepOptions = options.hasWepLength || options.hasKey || given.Has("auth");
    const bool wpaOptions = options.hasWpaMode || options.hasPassphrase;
    if (options.security == 1 && !options.hasKey)
        return Fail(error, QStringLiteral("--security wep needs --key"));
    if (options.security == 2 && !options.hasPassphrase)
        return Fail(error, QStringLiteral("--security wpa-psk needs --passphrase"));
    if ((wepOptions && options.security != 1) || (wpaOptions && options.security != 2))
        return Fail(error, QStringLiteral("--wep-length, --key and --auth go with --security wep; --wpa-mode "
                                          "and --passphrase with --security wpa-psk"));
    return true;
}

bool TakeWps(const Given &given, CtlOptions &options, QString &error)
{
    options.pbc = given.Has("pbc");
    options.hasPin = given.Has("pin");
    options.pin = given.Get("pin");
    if (!TakeSsid(given.Has("ssid"), given.Get("ssid"), given.Has("ssid-hex"), given.Get("ssid-hex"), options,
                  error))
        return false;
    if (int(options.pbc) + int(options.hasPin) + int(options.hasSsid) != 1)
        return Fail(error,
                    QStringLiteral("wps takes one of --pbc, --pin NNNNNNNN, --ssid S or --ssid-hex HEX"));
    return true;
}

bool TakeSurvey(const Given &given, CtlOptions &options, QString &)
{
    options.wpsOnly = given.Has("wps-only");
    return true;
}

// What the options mean for the command; false with `error` at the first
// that is missing, malformed or does not go with the others.
bool TakeOptions(const Given &given, CtlOptions &options, QString &error, const Environment &environment)
{
    options.json = given.Has("json");
    options.logFile = given.Get("log");
    if (given.Has("log") && options.logFile.isEmpty())
        return Fail(error, QStringLiteral("--log needs a file name"));
    const QStringList &words = given.Words();
    const bool takesWord = options.command == u"set-mode" || options.command == u"apply";
    if (!words.isEmpty() && !(takesWord && words.size() == 1))
        return Fail(error, QStringLiteral("unexpected argument \"%1\"").arg(words.last()));
    if (options.command == u"discover")
        return TakeNumber(given, "wait", 100, 60000, options.waitMs, error,
                          "--wait takes milliseconds from 100 to 60000") &&
               TakeNumber(given, "count", 1, 100000, options.count, error,
                          "--count takes a number of devices from 1 to 100000");
    using Take = bool (*)(const Given &, CtlOptions &, QString &);
    static const std::map<QString, Take> commands{
        {"set-ip", TakeSetIp}, {"set-mode", TakeSetMode}, {"set-wireless", TakeSetWireless},
        {"wps", TakeWps},      {"survey", TakeSurvey},    {"apply", TakeApply}};
    if (!TakeDevice(given, options, error, environment))
        return false;
    const auto take = commands.find(options.command);
    return take == commands.end() || take->second(given, options, error);
}

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

ParseResult ParseCommandLine(const QStringList &arguments, CtlOptions &options, QString &error,
                             const std::function<QString(const char *)> &environment)
{
    options = CtlOptions{};
    options.password = QString::fromLatin1(DEFAULT_PASSWORD);
    if (const std::optional<ParseResult> early = ParseFirstWord(arguments, options, error))
        return *early;
    if (!AllowedOptions().count(options.command)) {
        error = QStringLiteral("unknown command \"%1\"").arg(options.command);
        options.command.clear();
        return ParseResult::Error;
    }
    QCommandLineParser parser;
    const ParseResult parsed = ParseOptions(arguments, options.command, parser, error);
    options.help = parsed == ParseResult::Help;
    if (parsed != ParseResult::Run)
        return parsed;
    return TakeOptions(Given(parser), options, error, environment) ? ParseResult::Run : ParseResult::Error;
}
