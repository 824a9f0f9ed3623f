#include "simoptions.h"
#include "simusage.h"

#include <QCommandLineParser>
#include <QFile>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTextStream>
#include <map>
#include <type_traits>

namespace {

QString Text(const QJsonValue &v)
{
    if (v.isString())
        return v.toString();
    if (v.isBool())
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    if (v.isDouble())
        return QString::number(v.toDouble(), 'f', 0);
    return {};
}

bool Int(const QJsonValue &v, long long min, long long max, long long &out)
{
    bool ok = false;
    const long long n = Text(v).toLongLong(&ok, 0);
    if (!ok || n < min || n > max)
        return false;
    out = n;
    return true;
}

bool Bool(const QJsonValue &v, bool &out)
{
    const QString t = Text(v).toLower();
    if (t == "1" || t == "true" || t == "yes" || t == "on")
        out = true;
    else if (t == "0" || t == "false" || t == "no" || t == "off")
        out = false;
    else
        return false;
    return true;
}

bool Mac(const QString &text, MacAddress &mac)
{
    const QStringList parts = text.split(QRegularExpression(QStringLiteral("[:-]")));
    if (parts.size() != 6)
        return false;
    for (int i = 0; i < 6; ++i) {
        bool ok = false;
        const uint v = parts[i].toUInt(&ok, 16);
        if (!ok || v > 255 || parts[i].size() > 2)
            return false;
        mac[i] = static_cast<uint8_t>(v);
    }
    return true;
}

bool Address(const QJsonValue &v, uint32_t &out)
{
    QHostAddress a;
    if (!a.setAddress(Text(v)) || a.protocol() != QAbstractSocket::IPv4Protocol)
        return false;
    out = a.toIPv4Address();
    return true;
}

// Bytes given as hex digits ("436166E92DFF"); false for anything else.
bool Hex(const QJsonValue &v, QByteArray &out)
{
    static const QRegularExpression digits(QStringLiteral("^([0-9A-Fa-f]{2})*$"));
    const QString t = Text(v);
    if (!digits.match(t).hasMatch())
        return false;
    out = QByteArray::fromHex(t.toLatin1());
    return true;
}

// A list given as a JSON array or as text separated by ':', '+' or blanks.
QStringList List(const QJsonValue &v)
{
    QStringList items;
    if (v.isArray()) {
        for (const QJsonValue &item : v.toArray())
            items << Text(item);
        return items;
    }
    return Text(v).split(QRegularExpression(QStringLiteral("[:+ ]")), Qt::SkipEmptyParts);
}

bool Network(const QJsonObject &o, SimNetwork &n, QString &error)
{
    long long v = 0;
    n.ssid = o.value("ssid").toString().toUtf8();
    if (o.contains("ssid-hex") && !Hex(o.value("ssid-hex"), n.ssid)) {
        error = "survey: bad ssid-hex";
        return false;
    }
    if (o.contains("bssid") && !Mac(o.value("bssid").toString(), n.bssid)) {
        error = "survey: bad bssid";
        return false;
    }
    if (o.contains("signal"))
        n.signal = Text(o.value("signal")).toLatin1();
    if (o.contains("channel"))
        n.channel = Text(o.value("channel")).toLatin1();
    const std::pair<const char *, uint8_t *> bytes[] = {
        {"encryption", &n.encryption}, {"authentication", &n.authentication}, {"status", &n.status}};
    for (const auto &[key, field] : bytes) {
        if (!o.contains(key))
            continue;
        if (!Int(o.value(key), 0, 255, v)) {
            error = QStringLiteral("survey: bad %1").arg(key);
            return false;
        }
        *field = static_cast<uint8_t>(v);
    }
    if (o.contains("wps") && !Bool(o.value("wps"), n.wps)) {
        error = "survey: bad wps";
        return false;
    }
    if (o.contains("flag") && !Bool(o.value("flag"), n.flag)) {
        error = "survey: bad flag";
        return false;
    }
    return true;
}

// Keys of a wireless profile, for "wl-..." (access point) and "st-..."
// (bridge upstream) prefixes.
bool WirelessKey(SimWireless &w, const QString &key, const QJsonValue &value, bool &known)
{
    known = true;
    long long v = 0;
    if (key == "ssid") {
        w.ssid = Text(value).toUtf8();
        return true;
    }
    if (key == "ssid-hex")
        return Hex(value, w.ssid);
    if (key == "wepkey") {
        w.wepKey = Text(value).toUtf8();
        return true;
    }
    if (key == "psk") {
        w.passphrase = Text(value).toUtf8();
        return true;
    }
    if (key == "channels") {
        w.channels.clear();
        for (const QString &c : List(value)) {
            bool ok = false;
            const uint n = c.toUInt(&ok);
            if (!ok || n == 0 || n > 255)
                return false;
            w.channels.append(static_cast<char>(n));
        }
        return true;
    }
    const std::pair<const char *, uint8_t *> bytes[] = {
        {"channel", &w.stdChannel},       {"ext-channel", &w.extChannel}, {"wlmode", &w.wirelessMode},
        {"security", &w.securityMode},    {"auth", &w.authMode},          {"wepkey-len", &w.wepKeyLen},
        {"wepkey-index", &w.wepKeyIndex}, {"wpa-mode", &w.wpaMode},       {"wpa-cipher", &w.wpaCipher}};
    for (const auto &[name, field] : bytes) {
        if (key == QLatin1String(name)) {
            if (!Int(value, 0, 255, v))
                return false;
            *field = static_cast<uint8_t>(v);
            return true;
        }
    }
    known = false;
    return false;
}

// Readers of one device key: false when the value cannot be read (with
// `error` set where there is more to say than "bad value").
using KeyReader = bool (*)(SimDeviceConfig &d, const QJsonValue &value, QString &error);

template <auto Field, long long Max> bool IntKey(SimDeviceConfig &d, const QJsonValue &value, QString &)
{
    long long v = 0;
    if (!Int(value, 0, Max, v))
        return false;
    d.*Field = static_cast<std::remove_reference_t<decltype(d.*Field)>>(v);
    return true;
}

template <auto Field> bool BoolKey(SimDeviceConfig &d, const QJsonValue &value, QString &)
{
    return Bool(value, d.*Field);
}

template <auto Field> bool AddressKey(SimDeviceConfig &d, const QJsonValue &value, QString &)
{
    return Address(value, d.*Field);
}

template <auto Field> bool TextKey(SimDeviceConfig &d, const QJsonValue &value, QString &)
{
    d.*Field = Text(value).toUtf8();
    return true;
}

bool ModeKey(SimDeviceConfig &d, const QJsonValue &value, QString &)
{
    const QString t = Text(value).toLower();
    if (t == "ap" || t == "1")
        d.mode = 1;
    else if (t == "bridge" || t == "2")
        d.mode = 2;
    else
        return false;
    return true;
}

bool SurveyKey(SimDeviceConfig &d, const QJsonValue &value, QString &error)
{
    d.survey.clear();
    if (!value.isArray())
        return Text(value) == "none";
    for (const QJsonValue &item : value.toArray()) {
        SimNetwork n;
        if (!Network(item.toObject(), n, error))
            return false;
        d.survey.push_back(n);
    }
    return true;
}

const std::map<QString, KeyReader> &KeyReaders()
{
    static const std::map<QString, KeyReader> readers{
        {"mac", [](SimDeviceConfig &d, const QJsonValue &v, QString &) { return Mac(Text(v), d.mac); }},
        {"name", TextKey<&SimDeviceConfig::name>},
        {"password", TextKey<&SimDeviceConfig::password>},
        {"mode", ModeKey},
        {"iface",
         [](SimDeviceConfig &d, const QJsonValue &v, QString &) {
             d.interfaces.clear();
             for (const QString &name : List(v))
                 d.interfaces.push_back(name);
             return true;
         }},
        {"port", IntKey<&SimDeviceConfig::otherPort, 65535>},
        {"dhcp", BoolKey<&SimDeviceConfig::dhcp>},
        {"ip", AddressKey<&SimDeviceConfig::ip>},
        {"netmask", AddressKey<&SimDeviceConfig::netmask>},
        {"gateway", AddressKey<&SimDeviceConfig::gateway>},
        {"wps-pin", IntKey<&SimDeviceConfig::wpsPin, 0xFFFFFFFFLL>},
        {"client-pin", TextKey<&SimDeviceConfig::clientPin>},
        {"wps-events",
         [](SimDeviceConfig &d, const QJsonValue &v, QString &) {
             d.wpsEvents.clear();
             bool ok = true;
             for (const QString &code : List(v)) {
                 const int n = code.toInt(&ok);
                 if (!ok)
                     break;
                 d.wpsEvents.push_back(n);
             }
             return ok;
         }},
        {"wps-interval", IntKey<&SimDeviceConfig::wpsIntervalMs, 600000>},
        {"wps-result", IntKey<&SimDeviceConfig::wpsResult, 255>},
        {"wps-timeout", BoolKey<&SimDeviceConfig::connectTimeoutAfterWps>},
        {"connect-timeout", IntKey<&SimDeviceConfig::connectTimeoutMs, 3600000>},
        {"survey", SurveyKey},
        {"survey-count",
         [](SimDeviceConfig &d, const QJsonValue &v, QString &) {
             long long count = 0;
             const bool ok = Int(v, 0, 1000, count);
             const std::vector<SimNetwork> all = DefaultSurvey();
             d.survey.clear();
             for (long long i = 0; i < count; ++i)
                 d.survey.push_back(all[size_t(i) % all.size()]);
             return ok;
         }},
        {"silent-from",
         [](SimDeviceConfig &d, const QJsonValue &v, QString &) {
             d.silentFrom = SimKindFromName(Text(v));
             return d.silentFrom != SimKind::Unknown;
         }},
        {"delay", IntKey<&SimDeviceConfig::delayMs, 600000>},
        {"twice", BoolKey<&SimDeviceConfig::answerTwice>},
        {"refuse-login", BoolKey<&SimDeviceConfig::refuseLogins>},
        {"garbled-login",
         [](SimDeviceConfig &d, const QJsonValue &v, QString &) {
             const QString t = Text(v);
             d.garbledLoginIgnored = t == "ignore";
             return t == "refuse" || t == "ignore";
         }},
    };
    return readers;
}

} // namespace

bool ApplyDeviceKey(SimDeviceConfig &d, const QString &key, const QJsonValue &value, QString &error)
{
    bool known = true;
    bool ok = false;
    QString said;
    if (key.startsWith("wl-") || key.startsWith("st-")) {
        ok = WirelessKey(key.startsWith("wl-") ? d.wireless : d.station, key.mid(3), value, known);
    } else if (key.startsWith("drop-")) {
        const SimKind kind = SimKindFromName(key.mid(5));
        long long v = 0;
        ok = kind != SimKind::Unknown && Int(value, 0, 1000000, v);
        d.dropFirst[kind] = int(v);
    } else if (const auto reader = KeyReaders().find(key); reader != KeyReaders().end()) {
        ok = reader->second(d, value, said);
    } else {
        known = false;
    }
    if (!known)
        error = QStringLiteral("unknown device key '%1'").arg(key);
    else if (!ok)
        error = said.isEmpty() ? QStringLiteral("bad value '%1' for device key '%2'").arg(Text(value), key)
                               : said;
    return ok;
}

QJsonObject ParseDeviceSpec(const QString &text)
{
    QJsonObject o;
    for (const QString &item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const int eq = item.indexOf(QLatin1Char('='));
        if (eq < 0)
            o[item.trimmed()] = QStringLiteral("1");
        else
            o[item.left(eq).trimmed()] = item.mid(eq + 1);
    }
    return o;
}

bool DeviceFromJson(const QJsonObject &object, int index, SimDeviceConfig &device, QString &error)
{
    device = SimDeviceConfig();
    // Numbered in the last two bytes, so a thousand devices stay apart.
    device.mac[4] = static_cast<uint8_t>((index + 1) >> 8);
    device.mac[5] = static_cast<uint8_t>(index + 1);
    device.name = QStringLiteral("AP-%1").arg(index + 1, 4, 10, QLatin1Char('0')).toUtf8();
    device.survey = DefaultSurvey();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!ApplyDeviceKey(device, it.key(), it.value(), error))
            return false;
    }
    return true;
}

bool LoadConfigFile(const QString &path, SimHostOptions &options, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read %1").arg(path);
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!doc.isObject()) {
        error = QStringLiteral("%1: %2").arg(path, parseError.errorString());
        return false;
    }
    const QJsonObject root = doc.object();
    if (root.contains("reply")) {
        const QString reply = root.value("reply").toString();
        if (reply != "broadcast" && reply != "unicast") {
            error = "reply must be broadcast or unicast";
            return false;
        }
        options.unicastReplies = reply == "unicast";
    }
    for (const QJsonValue &iface : root.value("interfaces").toArray())
        options.interfaces << iface.toString();
    for (const QJsonValue &item : root.value("devices").toArray()) {
        SimDeviceConfig device;
        if (!DeviceFromJson(item.toObject(), int(options.devices.size()), device, error))
            return false;
        options.devices.push_back(device);
    }
    return true;
}

QString UsageText()
{
    return QString::fromUtf8(kUsageText);
}

namespace {

// The options that take a value; the others are --help (-h) and --verbose.
const QStringList &ValueOptions()
{
    static const QStringList names{"device", "config", "reply", "iface", "state-file", "ready-file"};
    return names;
}

// What the parser refused, in the words the lab's scripts have always seen.
QString Refused(const QCommandLineParser &parser, const QStringList &arguments)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        const QString dashes = unknown.first().size() == 1 ? QStringLiteral("-") : QStringLiteral("--");
        return QStringLiteral("unknown option %1 (see --help)").arg(dashes + unknown.first());
    }
    const QString &last = arguments.last();
    if (ValueOptions().contains(last.mid(last.startsWith(u"--") ? 2 : 1)))
        return QStringLiteral("%1 needs a value").arg(last);
    // A flag given a value.
    for (const QString &argument : arguments.mid(1)) {
        if (argument.contains(u'=') && !ValueOptions().contains(argument.section(u'=', 0, 0).mid(2)))
            return QStringLiteral("unknown option %1 (see --help)").arg(argument);
    }
    return parser.errorText();
}

// One option of the command line, taken in the order given: a later --reply
// overrides the one of an earlier --config, and the reverse.
bool TakeOption(const QString &name, const QString &value, SimHostOptions &options,
                std::vector<QJsonObject> &deviceSpecs, QString &error)
{
    if (name == u"verbose") {
        options.verbose = true;
    } else if (name == u"device") {
        deviceSpecs.push_back(ParseDeviceSpec(value));
    } else if (name == u"config") {
        return LoadConfigFile(value, options, error);
    } else if (name == u"reply") {
        if (value != "broadcast" && value != "unicast") {
            error = "--reply must be broadcast or unicast";
            return false;
        }
        options.unicastReplies = value == "unicast";
    } else if (name == u"iface") {
        options.interfaces << value;
    } else if (name == u"state-file") {
        options.stateFile = value;
    } else if (name == u"ready-file") {
        options.readyFile = value;
    }
    return true;
}

} // namespace

bool ParseCommandLine(const QStringList &arguments, SimHostOptions &options, QString &error)
{
    QCommandLineParser parser;
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}));
    parser.addOption(QCommandLineOption(QStringLiteral("verbose")));
    for (const QString &name : ValueOptions())
        parser.addOption(QCommandLineOption(name, QString(), QStringLiteral("value")));
    const bool parsed = parser.parse(arguments);
    if (parser.isSet(QStringLiteral("help"))) {
        QTextStream(stdout) << UsageText();
        error.clear();
        return false;
    }
    if (!parsed) {
        error = Refused(parser, arguments);
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        error = QStringLiteral("unknown option %1 (see --help)").arg(parser.positionalArguments().first());
        return false;
    }
    std::vector<QJsonObject> deviceSpecs;
    std::map<QString, qsizetype> taken; // how many values of each option are used up
    for (const QString &name : parser.optionNames()) {
        const QString value = parser.values(name).value(taken[name]++);
        if (!TakeOption(name, value, options, deviceSpecs, error))
            return false;
    }
    for (const QJsonObject &described : deviceSpecs) {
        SimDeviceConfig device;
        if (!DeviceFromJson(described, int(options.devices.size()), device, error))
            return false;
        options.devices.push_back(device);
    }
    if (options.devices.empty()) {
        SimDeviceConfig device;
        DeviceFromJson({}, 0, device, error);
        options.devices.push_back(device);
    }
    return true;
}
