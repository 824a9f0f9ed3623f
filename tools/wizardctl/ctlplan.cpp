#include "ctlplan.h"

#include "ctloptions.h"
#include "ctlreport.h"

#include "app/utility.h"
#include "app/validation.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

QString RemarkText(const QString &file, const PlanRemark &remark)
{
    QString text = QStringLiteral("%1:%2: ").arg(file).arg(remark.line);
    if (!remark.key.isEmpty())
        text += remark.key + QStringLiteral(": ");
    return text + remark.text;
}

namespace {

// ----- where the keys stand -----

// QJsonDocument keeps no positions, so the text is walked once more: the
// line of every key and array element by its path ("0/wireless/ssid"; an
// array element by its index), and the keys an object gives twice (the
// parser keeps one of them silently).
struct KeyLines
{
    std::map<QString, int> lines;
    std::vector<std::pair<QString, int>> twice;
};

KeyLines ScanKeys(const QByteArray &text)
{
    struct Frame
    {
        bool object;
        int index = -1; // array: the element being read
        QString key{};  // object: the key being read
        std::set<QString> seen{};
    };
    KeyLines k;
    std::vector<Frame> stack;
    int line = 1;
    bool keyNext = false;
    const auto path = [&](bool withKey) {
        QStringList parts;
        for (size_t i = 0; i < stack.size(); ++i) {
            const Frame &f = stack[i];
            if (!f.object)
                parts << QString::number(f.index);
            else if (withKey || i + 1 < stack.size())
                parts << f.key;
        }
        return parts.join(u'/');
    };
    // A value starts: an array counts its element.
    const auto value = [&] {
        if (!stack.empty() && !stack.back().object) {
            ++stack.back().index;
            k.lines.emplace(path(true), line);
        } else if (stack.empty()) {
            k.lines.emplace(QString(), line);
        }
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') {
            ++line;
        } else if (c == '"') {
            qsizetype j = i + 1;
            while (j < text.size() && text[j] != '"')
                j += text[j] == '\\' ? 2 : 1;
            if (keyNext && !stack.empty() && stack.back().object) {
                const QByteArray token = '[' + text.mid(i, j - i + 1) + ']';
                Frame &f = stack.back();
                f.key = QJsonDocument::fromJson(token).array().at(0).toString();
                if (!f.seen.insert(f.key).second)
                    k.twice.emplace_back(path(true), line);
                k.lines.emplace(path(true), line);
                keyNext = false;
            } else {
                value();
            }
            i = j;
        } else if (c == '{' || c == '[') {
            value();
            stack.push_back({c == '{'});
            keyNext = c == '{';
        } else if (c == '}' || c == ']') {
            if (!stack.empty())
                stack.pop_back();
        } else if (c == ',') {
            keyNext = !stack.empty() && stack.back().object;
        } else if (!std::strchr(" \t\r:", c)) {
            value(); // a number, true, false or null
            while (i + 1 < text.size() && !std::strchr(" \t\r\n,]}", text[i + 1]))
                ++i;
        }
    }
    return k;
}

// ----- the coded values -----

// A value shown as {"code": N, "name": "..."}; a plan may also give the
// code alone or a name (the display name, or the word the set-* options
// take).
struct Coding
{
    struct Choice
    {
        int code;
        QStringList words;
    };
    Coding(const SettingWords &words, QString (*nameOf)(int)) : name(nameOf)
    {
        for (const SettingWord &w : words) {
            const auto it = std::find_if(choices.begin(), choices.end(),
                                         [&w](const Choice &c) { return c.code == w.code; });
            if (it == choices.end())
                choices.push_back({w.code, {QString::fromLatin1(w.word)}});
            else
                it->words << QString::fromLatin1(w.word);
        }
    }
    std::vector<Choice> choices;
    QString (*name)(int) = nullptr;

    bool Matches(const Choice &c, const QString &text) const
    {
        const QString t = text.trimmed().toLower();
        return c.words.contains(t) || (name && name(c.code).toLower() == t);
    }
    QString Listed() const
    {
        QStringList list;
        for (const Choice &c : choices)
            list << QStringLiteral("%1 (%2)").arg(c.words.first()).arg(c.code);
        return list.join(QStringLiteral(", "));
    }
};

// The display name matches too ("Access Point", "AP Client", ...).
const Coding kDeviceMode{kDeviceModeWords, DeviceModeName};
constexpr SettingWord kIpModeWords[] = {{"static", IP_MODE_STATIC}, {"dhcp", IP_MODE_DHCP}};
const Coding kIpMode{kIpModeWords, IpModeName};
const Coding kSecurity{kSecurityWords, SecurityModeName};
const Coding kAuth{kAuthWords, AuthModeName};
const Coding kWepLength{kWepLengthWords, WepKeyLenName};
const Coding kWpaMode{kWpaModeWords, WpaModeName};

// ----- reading the plan -----

class PlanReader
{
public:
    PlanReader(const QByteArray &text, const QStringList &localAddresses, Plan &plan)
        : m_keys(ScanKeys(text)), m_local(localAddresses), m_plan(plan)
    {
        for (const auto &[path, line] : m_keys.twice)
            m_plan.faults.push_back({line, Dotted(path), QStringLiteral("given twice")});
    }

    void Entry(const QJsonValue &value, const QString &at)
    {
        m_at = at;
        PlanEntry e;
        e.line = Line({});
        if (!value.isObject()) {
            Fault({}, QStringLiteral("a plan entry is an object (as show --json prints)"));
            return;
        }
        const QJsonObject o = value.toObject();
        Known(o, {}, {"device", "password", "deviceMode", "ip", "wireless"});
        Device(o, e);
        if (o.contains(u"password")) {
            const QString password = o["password"].toString();
            if (!o["password"].isString())
                Fault("password", QStringLiteral("must be a text"));
            else if (password.size() > 16)
                Fault("password", QStringLiteral("the password has at most 16 characters"));
            e.password = password;
        }
        if (o.contains(u"deviceMode"))
            e.deviceMode = Code(o["deviceMode"], "deviceMode", kDeviceMode);
        if (o.contains(u"ip"))
            Ip(o["ip"], e);
        if (o.contains(u"wireless"))
            Wireless(o["wireless"], e);
        m_plan.entries.push_back(e);
    }

private:
    static QString Dotted(const QString &path)
    {
        QStringList parts = path.split(u'/');
        // The entry's index in an array is told by the line.
        if (!parts.isEmpty() && !parts.first().isEmpty() && parts.first()[0].isDigit())
            parts.removeFirst();
        return parts.join(u'.');
    }
    QString Path(const QString &key) const
    {
        if (m_at.isEmpty())
            return key;
        return key.isEmpty() ? m_at : m_at + u'/' + key;
    }
    // The line of a key, else of the nearest object around it.
    int Line(QString key) const
    {
        for (QString p = Path(key);; p = p.section(u'/', 0, -2)) {
            const auto it = m_keys.lines.find(p);
            if (it != m_keys.lines.end())
                return it->second;
            if (p.isEmpty())
                return 1;
        }
    }
    void Fault(const QString &key, const QString &text)
    {
        m_plan.faults.push_back({Line(key), Dotted(Path(key)), text});
    }
    void Note(const QString &key, const QString &text)
    {
        m_plan.notes.push_back({Line(key), Dotted(Path(key)), text});
    }
    void Rule(const QString &key, const TextKey *rule)
    {
        if (rule)
            Fault(key, MessageOf(*rule));
    }
    // Unknown keys are faults: a typo must not pass silently.
    void Known(const QJsonObject &o, const QString &in, std::initializer_list<const char *> keys)
    {
        for (const QString &key : o.keys()) {
            if (std::none_of(keys.begin(), keys.end(),
                             [&](const char *k) { return key == QLatin1String(k); }))
                Fault(in.isEmpty() ? key : in + u'/' + key, QStringLiteral("unknown key"));
        }
    }
    std::optional<QJsonObject> Object(const QJsonValue &v, const QString &key)
    {
        if (v.isObject())
            return v.toObject();
        Fault(key, QStringLiteral("must be an object"));
        return std::nullopt;
    }
    // A text value; nullopt (with the fault) for anything else.
    std::optional<QString> Text(const QJsonObject &o, const char *key, const QString &in)
    {
        const QJsonValue v = o[QLatin1String(key)];
        if (v.isUndefined())
            return std::nullopt;
        if (!v.isString()) {
            Fault(in + u'/' + QLatin1String(key), QStringLiteral("must be a text"));
            return std::nullopt;
        }
        return v.toString();
    }

    int Code(const QJsonValue &v, const QString &key, const Coding &coding)
    {
        const QString choices = QStringLiteral("takes one of %1").arg(coding.Listed());
        const auto byCode = [&](const QJsonValue &c) -> const Coding::Choice * {
            if (!c.isDouble())
                return nullptr;
            for (const Coding::Choice &choice : coding.choices)
                if (c.toDouble() == choice.code)
                    return &choice;
            return nullptr;
        };
        if (v.isObject()) {
            const QJsonObject o = v.toObject();
            Known(o, key, {"code", "name"});
            const Coding::Choice *c = byCode(o["code"]);
            if (!c) {
                Fault(key + QStringLiteral("/code"), choices);
                return coding.choices.front().code;
            }
            // An edited name with the old code left beside it must not pass.
            if (o.contains(u"name") && !coding.Matches(*c, o["name"].toString()))
                Fault(key + QStringLiteral("/name"),
                      QStringLiteral("\"%1\" is not the name of code %2: change both or give one")
                          .arg(o["name"].toString())
                          .arg(c->code));
            return c->code;
        }
        if (const Coding::Choice *c = byCode(v))
            return c->code;
        for (const Coding::Choice &c : coding.choices)
            if (v.isString() && coding.Matches(c, v.toString()))
                return c.code;
        Fault(key, choices);
        return coding.choices.front().code;
    }

    void Device(const QJsonObject &o, PlanEntry &e)
    {
        if (!o.contains(u"device")) {
            Fault({}, QStringLiteral("needs device.mac or device.name"));
            return;
        }
        const std::optional<QJsonObject> device = Object(o["device"], "device");
        if (!device)
            return;
        // Besides the MAC and the name, show prints where the device answered from.
        Known(*device, "device", {"mac", "name", "ip", "localIp", "localMask"});
        if (const std::optional<QString> mac = Text(*device, "mac", "device")) {
            e.hasMac = ParseMac(*mac, e.mac);
            if (!e.hasMac)
                Fault("device/mac", QStringLiteral("\"%1\" is not a MAC address").arg(*mac));
        }
        e.name = Text(*device, "name", "device").value_or(QString());
        if (!e.hasMac && e.name.isEmpty() && !device->contains(u"mac"))
            Fault("device", QStringLiteral("needs mac or name"));
    }

    void Ip(const QJsonValue &v, PlanEntry &e)
    {
        const std::optional<QJsonObject> o = Object(v, "ip");
        if (!o)
            return;
        Known(*o, "ip", {"ipMode", "ip", "netmask", "gateway"});
        PlanIp ip;
        if (o->contains(u"ipMode"))
            ip.dhcp = Code((*o)["ipMode"], "ip/ipMode", kIpMode) == IP_MODE_DHCP;
        else if (!o->contains(u"ip"))
            Fault("ip", QStringLiteral("needs ipMode (dhcp or static) or ip"));
        const std::optional<QString> address = Text(*o, "ip", "ip");
        const std::optional<QString> mask = Text(*o, "netmask", "ip");
        const std::optional<QString> gateway = Text(*o, "gateway", "ip");
        e.ip = ip;
        // A DHCP device reports the address it was given: left as it is.
        if (ip.dhcp)
            return;
        if (!address) {
            Fault("ip/ip", QStringLiteral("a static address needs it"));
            return;
        }
        // show prints 0.0.0.0 for no gateway.
        const QString gw =
            gateway.value_or(QString()) == u"0.0.0.0" ? QString() : gateway.value_or(QString());
        const StaticAddress s =
            CheckStatic(*address, mask.value_or(QString()), mask.has_value(), gw, m_local);
        if (s.corrected)
            Note("ip/ip", QStringLiteral("%1 is a broadcast address; using %2").arg(*address, s.ipText));
        if (s.proposed)
            Note("ip/netmask", QStringLiteral("not given; using %1").arg(s.maskText));
        static const char *const fields[] = {"ip/ip", "ip/netmask", "ip/gateway"};
        Rule(QLatin1String(fields[int(s.field)]), s.fault);
        e.ip->record = s.record;
    }

    void Wireless(const QJsonValue &v, PlanEntry &e)
    {
        const std::optional<QJsonObject> o = Object(v, "wireless");
        if (!o)
            return;
        e.wirelessLine = Line("wireless");
        // What show prints that a plan cannot set is read and left: the
        // channels (the device chooses), the cipher (follows wpaMode), the
        // WPS PIN.
        Known(*o, "wireless",
              {"ssid", "ssidHex", "stdChannel", "extChannel", "channelList", "securityMode", "authMode",
               "wepKeyLen", "wpaMode", "wpaCipher", "wpsPin", "key", "passphrase", "wirelessMode"});
        WirelessWanted w;
        Ssid(*o, w);
        if (o->contains(u"wirelessMode")) {
            const QJsonValue m = (*o)["wirelessMode"];
            w.wirelessMode = m.toInt(-1);
            if (!m.isDouble() || m.toDouble() != w.wirelessMode || w.wirelessMode < 0 ||
                w.wirelessMode >= WLMODE_COUNT)
                Fault("wireless/wirelessMode", QStringLiteral("takes a wireless mode code from 0 to 9"));
        }
        const auto coded = [&](const char *key, const Coding &coding, int fallback) {
            const QString k = QLatin1String(key);
            return o->contains(k) ? Code((*o)[k], QStringLiteral("wireless/") + k, coding) : fallback;
        };
        w.security = coded("securityMode", kSecurity, SECMODE_NONE);
        w.wepLength = coded("wepKeyLen", kWepLength, WEPKEYLEN_64);
        w.auth = coded("authMode", kAuth, -1);
        w.wpaMode = coded("wpaMode", kWpaMode, WPAMODE_AUTO);
        const std::optional<QString> key = Text(*o, "key", "wireless");
        const std::optional<QString> passphrase = Text(*o, "passphrase", "wireless");
        if (key && w.security != SECMODE_WEP)
            Fault("wireless/key", QStringLiteral("goes with securityMode wep"));
        if (passphrase && w.security != SECMODE_WPAPSK)
            Fault("wireless/passphrase", QStringLiteral("goes with securityMode wpa-psk"));
        if (w.security == SECMODE_WEP) {
            e.secretKey = QStringLiteral("wireless.key");
            if (key)
                Rule("wireless/key", CheckWepKey(w.wepLength, *key));
            if (w.auth == AUTHMODE_AUTO && e.deviceMode == DEVICE_WBRIDGE)
                Fault("wireless/authMode",
                      QStringLiteral("an AP Client authenticates with open or shared only"));
        } else if (w.security == SECMODE_WPAPSK) {
            e.secretKey = QStringLiteral("wireless.passphrase");
            if (passphrase)
                Rule("wireless/passphrase", CheckPassphrase(*passphrase));
        }
        w.key = key.value_or(QString());
        w.passphrase = passphrase.value_or(QString());
        w.hasSecret = (w.security == SECMODE_WEP && key) || (w.security == SECMODE_WPAPSK && passphrase);
        e.wireless = w;
    }

    void Ssid(const QJsonObject &o, WirelessWanted &w)
    {
        const std::optional<QString> text = Text(o, "ssid", "wireless");
        const std::optional<QString> hexText = Text(o, "ssidHex", "wireless");
        if (!text && !hexText) {
            if (!o.contains(u"ssid") && !o.contains(u"ssidHex"))
                Fault("wireless", QStringLiteral("needs ssid or ssidHex"));
            return;
        }
        std::optional<QByteArray> bytes;
        if (hexText) {
            bytes = BytesFromHex(*hexText);
            if (!bytes) {
                Fault("wireless/ssidHex", QStringLiteral("takes pairs of hex digits, e.g. 436166E92DFF"));
                return;
            }
            if (bytes->contains('\0')) {
                Fault("wireless/ssidHex", QStringLiteral("a network name cannot hold a 00 byte"));
                return;
            }
            // show prints both; the text is how the bytes are shown.
            if (text && SsidText(*bytes) != *text) {
                Fault("wireless/ssid", QStringLiteral("names another network than ssidHex (\"%1\"): give one")
                                           .arg(SsidText(*bytes)));
                return;
            }
        }
        w.ssid = bytes ? *bytes : text->toUtf8();
        Rule(hexText ? "wireless/ssidHex" : "wireless/ssid", CheckSsidBytes(w.ssid));
    }

    KeyLines m_keys;
    QStringList m_local;
    Plan &m_plan;
    QString m_at; // the path of the entry being read
};

} // namespace

Plan ParsePlan(const QByteArray &text, const QStringList &localAddresses)
{
    Plan plan;
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError) {
        const int line = int(text.left(error.offset).count('\n')) + 1;
        plan.faults.push_back({line, {}, QStringLiteral("not JSON: %1").arg(error.errorString())});
        return plan;
    }
    PlanReader reader(text, localAddresses, plan);
    if (doc.isObject()) {
        reader.Entry(doc.object(), {});
    } else {
        const QJsonArray list = doc.array();
        for (qsizetype i = 0; i < list.size(); ++i)
            reader.Entry(list[i], QString::number(i));
        if (list.isEmpty())
            plan.faults.push_back({1, {}, QStringLiteral("the plan names no device")});
    }
    // One device, one entry: two would write over each other.
    std::map<QString, int> chosen;
    for (const PlanEntry &e : plan.entries) {
        const QString id = e.hasMac ? FormatMac(e.mac) : QStringLiteral("name ") + e.name;
        if (!e.hasMac && e.name.isEmpty())
            continue;
        const auto [it, first] = chosen.emplace(id, e.line);
        if (!first)
            plan.faults.push_back(
                {e.line, e.hasMac ? QStringLiteral("device.mac") : QStringLiteral("device.name"),
                 QStringLiteral("the entry at line %1 chooses this device too").arg(it->second)});
    }
    std::stable_sort(plan.faults.begin(), plan.faults.end(),
                     [](const PlanRemark &a, const PlanRemark &b) { return a.line < b.line; });
    return plan;
}
