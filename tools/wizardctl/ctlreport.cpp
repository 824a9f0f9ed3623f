#include "ctlreport.h"

#include "app/debug.h"
#include "app/globalvar.h"
#include "app/utility.h"
#include "protocol/formudp.h"
#include "protocol/iphelp.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>

namespace {

const char kOtherCauses[] =
    "Other causes: the device is switched off or still starting; the device is on another "
    "segment (behind a router).";

// The device answers to this computer's UDP port 5433, which a firewall
// closes by default.
const char kFirewallHint[] =
    "The device answers to UDP port 5433 of this computer: a firewall must let it in.";
const char kFirewalldCommand[] = "sudo firewall-cmd --add-port=5433/udp";
const char kUfwCommand[] = "sudo ufw allow 5433/udp";

#ifdef Q_OS_WIN
// Windows Defender Firewall's rule for this program, as an administrator
// types it.
QString NetshCommand()
{
    return QStringLiteral(WIZARD_NETSH_ALLOW_PROGRAM)
        .arg(QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
}
#endif

// One interface of the computer as the last discovery met it.
struct InterfaceUse
{
    QString name;
    bool used = false;
    QString ip;     // used: the socket's address ("0.0.0.0": none)
    QString reason; // skipped: why; used without an address: "no IPv4 address"
};

std::vector<InterfaceUse> InterfaceUses(const TFormUDP &engine)
{
    std::vector<InterfaceUse> uses;
    for (const InterfaceFacts &facts : ListInterfaces()) {
        InterfaceUse use{facts.name, false, {}, SkipReason(facts)};
        if (use.reason.isEmpty()) {
            const std::vector<AdapterOutcome> &outcomes = engine.AdapterOutcomes();
            const auto it = std::find_if(outcomes.begin(), outcomes.end(),
                                         [&](const AdapterOutcome &o) { return o.name == facts.name; });
            if (it == outcomes.end())
                use.reason = QStringLiteral("not in the adapter list");
            else if (!it->ip.isEmpty()) {
                use.used = true;
                use.ip = it->ip;
                if (use.ip == u"0.0.0.0")
                    use.reason = QStringLiteral("no IPv4 address");
            } else if (!it->error.isEmpty())
                use.reason = QStringLiteral("socket failed: ") + it->error;
            else
                use.reason = QStringLiteral("no usable IPv4 address");
        }
        uses.push_back(use);
    }
    return uses;
}

QJsonArray InterfacesJson(const std::vector<InterfaceUse> &uses)
{
    QJsonArray list;
    for (const InterfaceUse &u : uses) {
        QJsonObject o{{"name", u.name}, {"used", u.used}};
        if (u.used)
            o["ip"] = u.ip;
        if (!u.reason.isEmpty())
            o["reason"] = u.reason;
        list.append(o);
    }
    return list;
}

QJsonObject HintJson()
{
#ifdef Q_OS_WIN
    return QJsonObject{
        {"text", kFirewallHint}, {"port", 5433}, {"protocol", "udp"}, {"netsh", NetshCommand()}};
#else
    return QJsonObject{{"text", kFirewallHint},
                       {"port", 5433},
                       {"protocol", "udp"},
                       {"firewalld", kFirewalldCommand},
                       {"ufw", kUfwCommand}};
#endif
}

QString Dotted(uint32_t hostOrder)
{
    return IpToText(hostOrder);
}

QString ChannelText(const WlConfigRecord &wl)
{
    if (wl.StdChannel == 0)
        return QStringLiteral("Auto");
    QString text = QString::number(wl.StdChannel);
    if (wl.ExtChannel != 0)
        text += QStringLiteral(" (extension %1)").arg(wl.ExtChannel);
    return text;
}

} // namespace

QString IpModeName(int mode)
{
    return mode != 0 ? QStringLiteral("DHCP") : QStringLiteral("Static");
}

QByteArray Local(const QString &text)
{
    return text.toLocal8Bit();
}

QString MessageOf(const TextKey &key)
{
    return MessageText(key) + QStringLiteral(" [") + QString::fromLatin1(key.Key) + u']';
}

int Invalid(QTextStream &err, const TextKey &key, const QString &what)
{
    DebugPrint("wizardctl: input refused by %s: %s", key.Key, Local(what).constData());
    err << "wizardctl: " << what << ": " << MessageOf(key) << "\nNothing was sent.\n";
    return CTL_EXIT_INVALID;
}

QString HexOf(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

QString SsidOption(const CtlOptions &o)
{
    return o.ssidHex ? QStringLiteral("--ssid-hex") : QStringLiteral("--ssid");
}

QJsonObject Coded(int code, const QString &name)
{
    return QJsonObject{{"code", code}, {"name", name}};
}

QString DeviceModeName(int mode)
{
    if (mode == DEVICE_AP)
        return QStringLiteral("Access Point");
    if (mode == DEVICE_WBRIDGE)
        return QStringLiteral("AP Client");
    return QString();
}

std::vector<int> Channels(const WlConfigRecord &wl)
{
    std::vector<int> list;
    for (int i = 0; i < CHANNEL_LIST_SIZE && wl.ChannelList[i] != 0; ++i)
        list.push_back(wl.ChannelList[i]);
    return list;
}

void Row(QTextStream &out, const QString &caption, const QString &value)
{
    out << "  " << caption.leftJustified(17) << value << '\n';
}

void PrintWireless(QTextStream &out, const WlConfigRecord &wl)
{
    Row(out, QStringLiteral("SSID"), SsidText(wl.Ssid));
    Row(out, QStringLiteral("Channel"), ChannelText(wl));
    Row(out, QStringLiteral("Security Mode"), SecurityModeName(wl.SecurityMode));
    if (wl.SecurityMode == SECMODE_WEP) {
        Row(out, QStringLiteral("WEP Key Length"), WepKeyLenName(wl.WepKeyLen));
        Row(out, QStringLiteral("Authentication"), AuthModeName(wl.AuthMode));
    } else if (wl.SecurityMode == SECMODE_WPAPSK) {
        Row(out, QStringLiteral("WPA Mode"), WpaModeName(wl.WpaMode));
        Row(out, QStringLiteral("Cipher Type"), WpaCipherName(wl.WpaCipher));
    }
}

void PrintIp(QTextStream &out, const IpConfigRecord &ip)
{
    Row(out, QStringLiteral("Address mode"), IpModeName(ip.IpMode));
    Row(out, QStringLiteral("IP Address"), Dotted(ip.Ip));
    Row(out, QStringLiteral("Subnet"), Dotted(ip.Netmask));
    Row(out, QStringLiteral("Gateway"), Dotted(ip.Gateway));
}

QJsonObject DeviceJson(const DeviceRecord &d)
{
    return QJsonObject{{"name", FieldText(d.Name)},
                       {"mac", FormatMac(d.Mac)},
                       {"ip", Dotted(d.DeviceIp)},
                       {"localIp", Dotted(d.LocalIp)},
                       {"localMask", Dotted(d.LocalMask)}};
}

QJsonObject ConfigJson(const DeviceRecord &device, const DeviceState &state)
{
    const IpConfigRecord &ip = state.CurIpConfig;
    const WlConfigRecord &wl = state.CurWlConfig;
    QJsonArray channels;
    for (int c : Channels(wl))
        channels.append(c);
    QJsonObject wireless{{"ssid", SsidText(wl.Ssid)},
                         {"ssidHex", HexOf(SsidBytes(wl.Ssid))},
                         {"stdChannel", wl.StdChannel},
                         {"extChannel", wl.ExtChannel},
                         {"channelList", channels},
                         {"securityMode", Coded(wl.SecurityMode, SecurityModeName(wl.SecurityMode))},
                         {"authMode", Coded(wl.AuthMode, AuthModeName(wl.AuthMode))},
                         {"wepKeyLen", Coded(wl.WepKeyLen, WepKeyLenName(wl.WepKeyLen))},
                         {"wpaMode", Coded(wl.WpaMode, WpaModeName(wl.WpaMode))},
                         {"wpaCipher", Coded(wl.WpaCipher, WpaCipherName(wl.WpaCipher))},
                         {"wpsPin", QString::asprintf("%08u", wl.WpsPin)}};
    return QJsonObject{
        {"device", DeviceJson(device)},
        {"deviceMode", Coded(state.DeviceMode, DeviceModeName(state.DeviceMode))},
        {"ip", QJsonObject{{"ipMode", Coded(ip.IpMode, IpModeName(ip.IpMode))},
                           {"ip", Dotted(ip.Ip)},
                           {"netmask", Dotted(ip.Netmask)},
                           {"gateway", Dotted(ip.Gateway)}}},
        {"wireless", wireless},
    };
}

void PrintJson(QTextStream &out, const QJsonDocument &doc)
{
    out << QString::fromUtf8(doc.toJson(QJsonDocument::Indented));
}

void ExplainSilence(const TFormUDP &engine, const CtlOptions &o, QTextStream &out, QTextStream &err,
                    const QJsonObject &extra)
{
    const std::vector<InterfaceUse> uses = InterfaceUses(engine);
    err << "Interfaces of this computer:\n";
    for (const InterfaceUse &u : uses) {
        const QString detail = u.used ? QStringLiteral("used, ") + (u.ip == u"0.0.0.0" ? u.reason : u.ip)
                                      : QStringLiteral("skipped, ") + u.reason;
        err << "  " << (u.name + u':').leftJustified(16) << detail << '\n';
    }
    err << kFirewallHint << '\n'
#ifdef Q_OS_WIN
        << "  Windows Defender Firewall (a command prompt run as administrator):\n    " << NetshCommand()
        << '\n'
#else
        << "  firewalld: " << kFirewalldCommand << "  (again with --permanent to keep it)\n"
        << "  ufw:       " << kUfwCommand << '\n'
#endif
        << kOtherCauses << '\n';
    if (!o.json)
        return;
    QJsonObject root = extra;
    root["interfaces"] = InterfacesJson(uses);
    root["hint"] = HintJson();
    PrintJson(out, QJsonDocument(root));
}
