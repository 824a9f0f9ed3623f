#include "simoptions.h"

#include <QFile>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTextStream>

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
        {"channel", &w.stdChannel},  {"ext-channel", &w.extChannel}, {"wlmode", &w.wirelessMode},
        {"security", &w.securityMode}, {"auth", &w.authMode},         {"wepkey-len", &w.wepKeyLen},
        {"wepkey-index", &w.wepKeyIndex}, {"wpa-mode", &w.wpaMode},  {"wpa-cipher", &w.wpaCipher}};
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

} // namespace

bool ApplyDeviceKey(SimDeviceConfig &d, const QString &key, const QJsonValue &value, QString &error)
{
    long long v = 0;
    bool ok = true;
    if (key == "mac") {
        ok = Mac(Text(value), d.mac);
    } else if (key == "name") {
        d.name = Text(value).toUtf8();
    } else if (key == "password") {
        d.password = Text(value).toUtf8();
    } else if (key == "mode") {
        const QString t = Text(value).toLower();
        if (t == "ap" || t == "1")
            d.mode = 1;
        else if (t == "bridge" || t == "2")
            d.mode = 2;
        else
            ok = false;
    } else if (key == "iface") {
        d.interfaces.clear();
        for (const QString &name : List(value))
            d.interfaces.push_back(name);
    } else if (key == "port") {
        ok = Int(value, 0, 65535, v);
        d.otherPort = static_cast<uint16_t>(v);
    } else if (key == "dhcp") {
        ok = Bool(value, d.dhcp);
    } else if (key == "ip") {
        ok = Address(value, d.ip);
    } else if (key == "netmask") {
        ok = Address(value, d.netmask);
    } else if (key == "gateway") {
        ok = Address(value, d.gateway);
    } else if (key.startsWith("wl-") || key.startsWith("st-")) {
        bool known = false;
        ok = WirelessKey(key.startsWith("wl-") ? d.wireless : d.station, key.mid(3), value, known);
        if (!known) {
            error = QStringLiteral("unknown device key '%1'").arg(key);
            return false;
        }
    } else if (key == "wps-pin") {
        ok = Int(value, 0, 0xFFFFFFFFLL, v);
        d.wpsPin = static_cast<uint32_t>(v);
    } else if (key == "client-pin") {
        d.clientPin = Text(value).toUtf8();
    } else if (key == "wps-events") {
        d.wpsEvents.clear();
        for (const QString &code : List(value)) {
            const int n = code.toInt(&ok);
            if (!ok)
                break;
            d.wpsEvents.push_back(n);
        }
    } else if (key == "wps-interval") {
        ok = Int(value, 0, 600000, v);
        d.wpsIntervalMs = int(v);
    } else if (key == "wps-result") {
        ok = Int(value, 0, 255, v);
        d.wpsResult = static_cast<uint8_t>(v);
    } else if (key == "wps-timeout") {
        ok = Bool(value, d.connectTimeoutAfterWps);
    } else if (key == "connect-timeout") {
        ok = Int(value, 0, 3600000, v);
        d.connectTimeoutMs = int(v);
    } else if (key == "survey") {
        d.survey.clear();
        if (value.isArray()) {
            for (const QJsonValue &item : value.toArray()) {
                SimNetwork n;
                if (!Network(item.toObject(), n, error))
                    return false;
                d.survey.push_back(n);
            }
        } else if (Text(value) != "none") {
            ok = false;
        }
    } else if (key == "survey-count") {
        ok = Int(value, 0, 1000, v);
        const std::vector<SimNetwork> all = DefaultSurvey();
        d.survey.clear();
        for (long long i = 0; i < v; ++i)
            d.survey.push_back(all[size_t(i) % all.size()]);
    } else if (key.startsWith("drop-")) {
        const SimKind kind = SimKindFromName(key.mid(5));
        ok = kind != SimKind::Unknown && Int(value, 0, 1000000, v);
        d.dropFirst[kind] = int(v);
    } else if (key == "silent-from") {
        d.silentFrom = SimKindFromName(Text(value));
        ok = d.silentFrom != SimKind::Unknown;
    } else if (key == "delay") {
        ok = Int(value, 0, 600000, v);
        d.delayMs = int(v);
    } else if (key == "twice") {
        ok = Bool(value, d.answerTwice);
    } else if (key == "refuse-login") {
        ok = Bool(value, d.refuseLogins);
    } else if (key == "garbled-login") {
        const QString t = Text(value);
        ok = t == "refuse" || t == "ignore";
        d.garbledLoginIgnored = t == "ignore";
    } else {
        error = QStringLiteral("unknown device key '%1'").arg(key);
        return false;
    }
    if (!ok)
        error = QStringLiteral("bad value '%1' for device key '%2'").arg(Text(value), key);
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
    return QStringLiteral(R"(Usage: devicesim [options]

A simulated device for the setup wizard's UDP protocol. It listens on UDP
port 5432 of every usable interface (up, broadcast, not loopback) of its
network namespace and answers as the device does: discovery, login, logout,
configuration read and write, operating mode, WPS with status events, the
bridge's client PIN and the site survey. Run it only inside the network lab
(scripts/lab), never on a machine's real interfaces.

With no device options it plays one access point "AP-0001",
MAC 02:00:4C:00:00:01, password "tulip" (the factory password).

Options:
  --device SPEC       add a device; SPEC is "key=value,key=value,flag" (keys
                     below). Repeat for several devices in one process.
  --config FILE      JSON file: {"reply": "broadcast"|"unicast",
                     "interfaces": ["dev0"], "devices": [{key: value...}]}
                     (survey networks as an array of objects with ssid or
                     ssid-hex, bssid, signal, channel, encryption,
                     authentication, status, wps, flag).
  --reply MODE       broadcast (default): answer to 255.255.255.255:5433 out
                     of the interface the request came in on; unicast: answer
                     to the sender's address and port (a request from
                     0.0.0.0, a PC link without an address, is still
                     answered by broadcast).
  --iface NAME       listen only on this interface (repeatable).
  --state-file PATH  rewrite PATH with every device's state as JSON after
                     every change (login, writes, WPS runs, request counts).
  --ready-file PATH  create PATH once the sockets are open.
  --verbose          one line per datagram on standard error.
  --help             this text.

Device keys:
  mac=02:00:4C:00:00:01  name=AP-0001  password=tulip  mode=ap|bridge
  iface=dev0+dev1        attach to these interfaces only (default all)
  port=N                 name device port N in the login answer and listen
                         on it too
  ip=A.B.C.D netmask=... gateway=... dhcp=0|1   the device's IP settings
  wl-KEY / st-KEY        access-point / bridge-upstream wireless profile:
                         ssid, ssid-hex (the name's bytes in hex, e.g.
                         436166E92DFF), channel, ext-channel, channels (1:2:3),
                         wlmode (0-9), security (0 none, 1 WEP, 2 WPA),
                         auth, wepkey, wepkey-len, wepkey-index, wpa-mode,
                         wpa-cipher, psk
  wps-pin=N              the device's WPS PIN (in the configuration answer)
  client-pin=TEXT        the bridge's own client PIN (station answer)
  wps-events=3:10:34     WPS status codes sent after an accepted WPS request
                         (default 3, 10 to 26, 34)
  wps-interval=MS        gap between two status events (default 100)
  wps-result=N           result byte of WPS requests (default 1)
  wps-timeout=1          end the login with a connection-timeout event after
                         the WPS events
  connect-timeout=MS     end every login MS after it with a connection-
                         timeout event
  survey-count=N         report the first N networks of the built-in survey
                         (default all 10: every encryption and
                         authentication code, with and without WPS)
  survey=none            report an empty survey
Faults:
  drop-KIND=N            lose the first N answers of KIND: discover, login,
                         logout, get-config, get-mode, set-ip, set-wl,
                         set-mode, wps-pbc, wps-pin, set-station,
                         site-survey, station-get-config (the request still
                         takes effect)
  silent-from=KIND       the first request of KIND (kinds as for drop-)
                         still takes effect but gets no answer, and
                         from then on the device answers nothing at all
  delay=MS               send every answer MS late
  twice                  send every answer twice
  refuse-login           answer every login with result 0
  garbled-login=refuse|ignore   a login the device cannot decipher (another
                         password) is refused with result 0 (default) or
                         not answered. Several devices with different
                         passwords on one segment all refuse a login meant
                         for one of them; use "ignore" there.
)");
}

bool ParseCommandLine(const QStringList &arguments, SimHostOptions &options, QString &error)
{
    std::vector<QJsonObject> deviceSpecs;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString arg = arguments[i];
        auto next = [&](QString &value) {
            if (i + 1 >= arguments.size()) {
                error = QStringLiteral("%1 needs a value").arg(arg);
                return false;
            }
            value = arguments[++i];
            return true;
        };
        QString value;
        if (arg == "--help" || arg == "-h") {
            QTextStream(stdout) << UsageText();
            error.clear();
            return false;
        } else if (arg == "--verbose") {
            options.verbose = true;
        } else if (arg == "--device") {
            if (!next(value))
                return false;
            deviceSpecs.push_back(ParseDeviceSpec(value));
        } else if (arg == "--config") {
            if (!next(value) || !LoadConfigFile(value, options, error))
                return false;
        } else if (arg == "--reply") {
            if (!next(value))
                return false;
            if (value != "broadcast" && value != "unicast") {
                error = "--reply must be broadcast or unicast";
                return false;
            }
            options.unicastReplies = value == "unicast";
        } else if (arg == "--iface") {
            if (!next(value))
                return false;
            options.interfaces << value;
        } else if (arg == "--state-file") {
            if (!next(options.stateFile))
                return false;
        } else if (arg == "--ready-file") {
            if (!next(options.readyFile))
                return false;
        } else {
            error = QStringLiteral("unknown option %1 (see --help)").arg(arg);
            return false;
        }
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
