#include "ctlcommands.h"

#include "ctlsession.h"

#include "app/debug.h"
#include "app/globalvar.h"
#include "app/settingkeys.h"
#include "app/timing.h"
#include "app/utility.h"
#include "app/validation.h"
#include "protocol/iphelp.h"
#include "protocol/wpsstatus.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstring>

namespace {

const int kFindWait = 4000; // the device list page's search time

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

// What a DebugPrint needs from a text.
QByteArray Local(const QString &text)
{
    return text.toLocal8Bit();
}

QString Mac(const uint8_t mac[6])
{
    return FormatMac(mac);
}

QStringList LocalAddresses()
{
    QStringList list;
    const std::optional<AdapterList> adapters = AdapterSource::Current().GetAdapters();
    if (adapters) {
        for (const AdapterEntry &a : *adapters) {
            for (const AdapterAddress &addr : a.addresses)
                list << addr.ip;
        }
    }
    return list;
}

void PrintJson(QTextStream &out, const QJsonDocument &doc);

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

// Why nothing answered: every interface of the computer, used or skipped
// with the reason, then where a firewall must open. With --json the same
// facts go to standard output as one object (with `extra` keys merged in).
void ExplainSilence(const TFormUDP &engine, const CtlOptions &o, QTextStream &out, QTextStream &err,
                    const QJsonObject &extra = {})
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

// A network name's bytes as upper-case hex digits, the form --ssid-hex takes.
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

QString IpModeName(int mode)
{
    return mode != 0 ? QStringLiteral("DHCP") : QStringLiteral("Static");
}

QString Dotted(uint32_t hostOrder)
{
    return IpToText(hostOrder);
}

std::vector<int> Channels(const WlConfigRecord &wl)
{
    std::vector<int> list;
    for (int i = 0; i < CHANNEL_LIST_SIZE && wl.ChannelList[i] != 0; ++i)
        list.push_back(wl.ChannelList[i]);
    return list;
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

void Row(QTextStream &out, const QString &caption, const QString &value)
{
    out << "  " << caption.leftJustified(17) << value << '\n';
}

// The readable part of the wireless settings, as the device reports them.
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
                       {"mac", Mac(d.Mac)},
                       {"ip", Dotted(d.DeviceIp)},
                       {"localIp", Dotted(d.LocalIp)},
                       {"localMask", Dotted(d.LocalMask)}};
}

QJsonObject ConfigJson(const DeviceRecord &device)
{
    const IpConfigRecord &ip = g_Var.CurIpConfig;
    const WlConfigRecord &wl = g_Var.CurWlConfig;
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
        {"deviceMode", Coded(g_Var.DeviceMode, DeviceModeName(g_Var.DeviceMode))},
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

// What Reach reads after the login.
enum class Read {
    Nothing,
    Config, // the whole configuration, as the password page
    Mode,   // the operating mode only, as the operating-mode page on entry
};

// Finds the device, logs in and reads what `read` says: the sequence of the
// device list and password pages. CTL_EXIT_OK or the failure.
int Reach(CtlSession &session, const CtlOptions &o, QTextStream &out, QTextStream &err, Read read,
          DeviceRecord *found = nullptr)
{
    if (!session.Discover(kFindWait, &o.mac)) {
        err << "wizardctl: no network adapter could be opened.\n";
        ExplainSilence(session.Engine(), o, out, err, {{"error", "no network adapter could be opened"}});
        return CTL_EXIT_NO_DEVICE;
    }
    const std::vector<DeviceRecord> devices = session.Devices();
    const auto it = std::find_if(devices.begin(), devices.end(), [&](const DeviceRecord &d) {
        return std::memcmp(d.Mac, o.mac.data(), 6) == 0;
    });
    if (it == devices.end()) {
        DebugPrint("wizardctl: FAIL device %s not found", Local(Mac(o.mac.data())).constData());
        err << "wizardctl: no device " << Mac(o.mac.data()) << " answered within " << kFindWait << " ms";
        if (!devices.empty()) {
            QStringList others;
            for (const DeviceRecord &d : devices)
                others << Mac(d.Mac);
            err << " (answers came from " << others.join(QStringLiteral(", ")) << ")";
        }
        err << ".\n";
        ExplainSilence(session.Engine(), o, out, err, {{"error", "no device with that MAC answered"}});
        return CTL_EXIT_NO_DEVICE;
    }
    if (found)
        *found = *it;
    // As "Configure" on the device list: a fresh start for this device.
    g_Var.SelectedDevice = *it;
    ResetIpConfig(g_Var.CurIpConfig);
    ResetIpConfig(g_Var.NewIpConfig);
    ResetWlConfig(g_Var.CurWlConfig);
    ResetWlConfig(g_Var.NewWlConfig);
    g_Var.Password = o.password;

    switch (session.LogIn()) {
    case CtlSession::Login::Accepted:
        break;
    case CtlSession::Login::Refused:
        err << "wizardctl: the device " << Mac(it->Mac) << " refused the login: wrong password?\n";
        return CTL_EXIT_LOGIN;
    case CtlSession::Login::NoAnswer:
        err << "wizardctl: the device " << Mac(it->Mac)
            << " did not answer the login (a device that cannot read the login, as with a wrong password, "
               "may stay silent).\n";
        return CTL_EXIT_LOGIN;
    }
    if (read != Read::Nothing) {
        const CtlSession::Answer a = session.Request(REQ_GET_CONFIG, [&] {
            if (read == Read::Config)
                session.Engine().SendGetConfig(CtlSession::kGetConfigWait);
            else
                session.Engine().SendGetMode(CtlSession::kGetModeWait);
        });
        if (a.timedOut) {
            err << "wizardctl: the device did not answer the configuration request. "
                << MessageOf(MessageKey::ER_CONNECT) << '\n';
            return CTL_EXIT_NO_ANSWER;
        }
    }
    return CTL_EXIT_OK;
}

// The outcome of a write that did not go through.
int WriteFailed(QTextStream &err, CtlSession::Write w, const QString &what)
{
    switch (w) {
    case CtlSession::Write::Refused:
        err << "wizardctl: the device refused the " << what << ".\n";
        break;
    case CtlSession::Write::NoAnswer:
        err << "wizardctl: the device did not answer the " << what << ", also not after a fresh login.\n";
        break;
    case CtlSession::Write::LoginFailed:
        err << "wizardctl: the fresh login for the " << what << " failed.\n";
        break;
    case CtlSession::Write::Accepted:
        return CTL_EXIT_OK;
    }
    err << MessageOf(MessageKey::ER_CONNECT) << '\n';
    return CTL_EXIT_NO_ANSWER;
}

// Reads the configuration after a write. False when the device did not answer.
bool ReadBack(CtlSession &session, int settleMs)
{
    ProcessDelay(unsigned(settleMs));
    return !session
                .Request(REQ_GET_CONFIG, [&] { session.Engine().SendGetConfig(CtlSession::kGetConfigWait); })
                .timedOut;
}

int Verdict(QTextStream &out, QTextStream &err, bool readBack, bool holds)
{
    if (!readBack) {
        err << "wizardctl: the device accepted the settings but did not answer the read-back.\n";
        out << "not verified\n";
        return CTL_EXIT_NOT_VERIFIED;
    }
    if (!holds) {
        DebugPrint("wizardctl: FAIL the read-back does not show the values written");
        out << "not verified: the device does not report the values written\n";
        return CTL_EXIT_NOT_VERIFIED;
    }
    out << "verified\n";
    return CTL_EXIT_OK;
}

// ----- commands -----

int Discover(const CtlOptions &o, QTextStream &out, QTextStream &err)
{
    CtlSession session;
    if (!session.Discover(o.waitMs)) {
        err << "wizardctl: no network adapter could be opened.\n";
        ExplainSilence(session.Engine(), o, out, err,
                       {{"error", "no network adapter could be opened"}, {"devices", QJsonArray()}});
        return CTL_EXIT_NO_DEVICE;
    }
    const std::vector<DeviceRecord> devices = session.Devices();
    QJsonObject json;
    if (o.json) {
        QJsonArray list, adapters;
        for (const DeviceRecord &d : devices)
            list.append(DeviceJson(d));
        for (const AdapterOutcome &a : session.Engine().AdapterOutcomes()) {
            if (!a.ip.isEmpty())
                adapters.append(QJsonObject{{"name", a.name}, {"ip", a.ip}});
        }
        json = QJsonObject{{"adapters", adapters}, {"devices", list}};
        if (!devices.empty())
            PrintJson(out, QJsonDocument(json));
    } else if (!devices.empty()) {
        out << QStringLiteral("%1 %2 %3 %4\n")
                   .arg(QStringLiteral("NAME"), -20)
                   .arg(QStringLiteral("MAC"), -17)
                   .arg(QStringLiteral("DEVICE IP"), -15)
                   .arg(QStringLiteral("LOCAL ADAPTER IP"));
        for (const DeviceRecord &d : devices) {
            out << QStringLiteral("%1 %2 %3 %4\n")
                       .arg(FieldText(d.Name), -20)
                       .arg(Mac(d.Mac), -17)
                       .arg(Dotted(d.DeviceIp), -15)
                       .arg(Dotted(d.LocalIp));
        }
    }
    if (devices.empty()) {
        err << "wizardctl: no device answered within " << o.waitMs << " ms.\n";
        json["error"] = "no device answered";
        ExplainSilence(session.Engine(), o, out, err, json);
        return CTL_EXIT_NO_DEVICE;
    }
    return CTL_EXIT_OK;
}

int Show(const CtlOptions &o, QTextStream &out, QTextStream &err)
{
    CtlSession session;
    DeviceRecord device;
    if (const int rc = Reach(session, o, out, err, Read::Config, &device))
        return rc;
    if (o.json) {
        PrintJson(out, QJsonDocument(ConfigJson(device)));
        return CTL_EXIT_OK;
    }
    out << "Device\n";
    Row(out, QStringLiteral("Name"), FieldText(device.Name));
    Row(out, QStringLiteral("MAC"), Mac(device.Mac));
    Row(out, QStringLiteral("Answered from"), Dotted(device.DeviceIp));
    Row(out, QStringLiteral("Local adapter"), Dotted(device.LocalIp));
    Row(out, QStringLiteral("Operating mode"),
        DeviceModeName(g_Var.DeviceMode).isEmpty() ? QString::number(g_Var.DeviceMode)
                                                   : DeviceModeName(g_Var.DeviceMode));
    out << "Network Settings\n";
    PrintIp(out, g_Var.CurIpConfig);
    out << (g_Var.DeviceMode == DEVICE_AP ? "Wireless Settings\n" : "Wireless Profile\n");
    PrintWireless(out, g_Var.CurWlConfig);
    QStringList channels;
    for (int c : Channels(g_Var.CurWlConfig))
        channels << QString::number(c);
    Row(out, QStringLiteral("Channels allowed"), channels.join(u' '));
    Row(out, QStringLiteral("WPS PIN"), QString::asprintf("%08u", g_Var.CurWlConfig.WpsPin));
    return CTL_EXIT_OK;
}

int SetIp(const CtlOptions &o, QTextStream &out, QTextStream &err)
{
    IpConfigRecord wanted{};
    if (!o.dhcp) {
        // The IP page's own corrections and proposals, then its rules.
        const QString ipText = CorrectBroadcastAddress(o.ip);
        if (ipText != o.ip)
            err << "wizardctl: " << o.ip << " is a broadcast address; using " << ipText << ".\n";
        const AddressInput ip = AddressInput::FromText(ipText);
        QString maskText = o.mask;
        if (!o.hasMask) {
            maskText = ProposedMask(ip);
            if (!maskText.isEmpty())
                err << "wizardctl: no mask given; using " << maskText << ".\n";
        }
        const AddressInput mask = AddressInput::FromText(maskText);
        const AddressInput gateway = AddressInput::FromText(o.gateway);
        if (const TextKey *key = CheckStaticAddress(ip, mask, gateway, LocalAddresses())) {
            QString what = QStringLiteral("--ip ") + ipText;
            if (key == &MessageKey::ErSubnetMask)
                what = QStringLiteral("--mask ") + maskText;
            else if (key == &MessageKey::ErDefaultGateway)
                what = QStringLiteral("--gateway ") + o.gateway;
            return Invalid(err, *key, what);
        }
        wanted.IpMode = IP_MODE_STATIC;
        wanted.Ip = ip.Value();
        wanted.Netmask = mask.Value();
        wanted.Gateway = gateway.Value();
    }

    CtlSession session;
    if (const int rc = Reach(session, o, out, err, Read::Config))
        return rc;
    IpConfigRecord next = g_Var.CurIpConfig;
    if (o.dhcp) {
        if (g_Var.CurIpConfig.IpMode != 0) {
            out << "The device already obtains its address automatically; nothing written.\n";
            return CTL_EXIT_OK;
        }
        next.IpMode = IP_MODE_DHCP;
    } else {
        next.IpMode = IP_MODE_STATIC;
        next.Ip = wanted.Ip;
        next.Netmask = wanted.Netmask;
        next.Gateway = wanted.Gateway;
        if (next == g_Var.CurIpConfig) {
            out << "The device already holds these IP settings; nothing written.\n";
            return CTL_EXIT_OK;
        }
    }
    g_Var.NewIpConfig = next;
    const CtlSession::Write w =
        session.WriteWithRetry(REQ_IP_SETTING, [&] { session.Engine().SendIPSetting(CtlSession::kSetWait); });
    if (w != CtlSession::Write::Accepted)
        return WriteFailed(err, w, QStringLiteral("IP settings"));
    out << "The device accepted the IP settings.\n";
    const bool read = ReadBack(session, CtlSession::kSettleDelay);
    if (read) {
        out << "Read back:\n";
        PrintIp(out, g_Var.CurIpConfig);
    }
    return Verdict(out, err, read, IpConfigHolds(next, g_Var.CurIpConfig));
}

int SetMode(const CtlOptions &o, QTextStream &out, QTextStream &err)
{
    CtlSession session;
    if (const int rc = Reach(session, o, out, err, Read::Mode))
        return rc;
    if (g_Var.DeviceMode == o.deviceMode) {
        out << "The device already works as " << DeviceModeName(o.deviceMode) << "; nothing written.\n";
        return CTL_EXIT_OK;
    }
    g_Var.DeviceMode = o.deviceMode;
    const CtlSession::Write w = session.WriteWithRetry(
        REQ_SET_MODE, [&] { session.Engine().SendSetMode(CtlSession::kSetModeWait, o.deviceMode); });
    if (w != CtlSession::Write::Accepted)
        return WriteFailed(err, w, QStringLiteral("operating mode"));
    out << "The device accepted the operating mode " << DeviceModeName(o.deviceMode) << ".\n";
    const bool read = ReadBack(session, 0);
    if (read)
        out << "Read back: " << DeviceModeName(g_Var.DeviceMode) << '\n';
    return Verdict(out, err, read, g_Var.DeviceMode == o.deviceMode);
}

int SetWireless(const CtlOptions &o, QTextStream &out, QTextStream &err)
{
    if (const TextKey *key = CheckSsidBytes(o.ssid))
        return Invalid(err, *key, SsidOption(o));
    if (o.security == SECMODE_WEP) {
        if (const TextKey *key = CheckWepKey(o.wepLength, o.key))
            return Invalid(err, *key,
                           QStringLiteral("--key (%1 bit)").arg(o.wepLength == WEPKEYLEN_128 ? 128 : 64));
    } else if (o.security == SECMODE_WPAPSK) {
        if (const TextKey *key = CheckPassphrase(o.passphrase))
            return Invalid(err, *key, QStringLiteral("--passphrase"));
    }

    CtlSession session;
    if (const int rc = Reach(session, o, out, err, Read::Config))
        return rc;
    const bool ap = g_Var.DeviceMode == DEVICE_AP;
    // A bridge offers Open and Shared only; the access point also Auto.
    if (!ap && o.auth == AUTHMODE_AUTO) {
        err << "wizardctl: --auth auto: an AP Client authenticates with open or shared only.\nNothing was "
               "written.\n";
        return CTL_EXIT_INVALID;
    }

    WlConfigRecord next = g_Var.CurWlConfig;
    SetSsid(next.Ssid, o.ssid);
    next.StdChannel = 0;
    next.ExtChannel = 0;
    next.WirelessMode = o.wirelessMode;
    next.SecurityMode = o.security;
    if (o.security == SECMODE_NONE) {
        next.AuthMode = AUTHMODE_OPEN;
        next.WepKeyLen = WEPKEYLEN_64;
        next.WepKeyIndex = 1;
        std::memset(next.WepKey, 0, sizeof(next.WepKey));
        next.WpaMode = WPAMODE_AUTO;
        next.WpaCipher = WPACIPHER_AUTO;
        std::memset(next.Passphrase, 0, sizeof(next.Passphrase));
    } else if (o.security == SECMODE_WEP) {
        next.WepKeyLen = o.wepLength;
        CopyToField(next.WepKey, WepKeyText(o.wepLength, o.key));
        next.AuthMode = o.auth >= 0 ? o.auth : (ap ? AUTHMODE_AUTO : AUTHMODE_OPEN);
    } else {
        next.WpaMode = o.wpaMode;
        next.WpaCipher = WpaCipherForMode(o.wpaMode);
        CopyToField(next.Passphrase, o.passphrase);
    }
    g_Var.NewWlConfig = next;

    const int kind = ap ? REQ_WL_SETTING : REQ_WL_STATION_SETTING;
    const CtlSession::Write w = session.WriteWithRetry(kind, [&] {
        if (ap) {
            DebugPrint("DEVICE_AP");
            session.Engine().SendWlSetting(CtlSession::kSetWait);
        } else {
            DebugPrint("not DEVICE_AP");
            session.Engine().SendWlStationSetting(CtlSession::kSetWait);
        }
    });
    const QString what = ap ? QStringLiteral("wireless settings") : QStringLiteral("wireless profile");
    if (w != CtlSession::Write::Accepted)
        return WriteFailed(err, w, what);
    out << "The device accepted the " << what << ".\n";
    const bool read = ReadBack(session, CtlSession::kSettleDelay);
    if (read) {
        out << "Read back:\n";
        PrintWireless(out, g_Var.CurWlConfig);
    }
    return Verdict(out, err, read, WlConfigHolds(next, g_Var.CurWlConfig));
}

// The tick of the last "Start WSC Process" and whether one came in this run.
uint32_t g_wpsStartTick = 0;
bool g_wpsStarted = false;

int Wps(const CtlOptions &o, QTextStream &out, QTextStream &err)
{
    if (o.hasPin) {
        if (const TextKey *key = CheckWpsPin(o.pin))
            return Invalid(err, *key, QStringLiteral("--pin"));
    } else if (o.hasSsid) {
        if (const TextKey *key = CheckSsidBytes(o.ssid, MessageKey::ER_SSID))
            return Invalid(err, *key, SsidOption(o));
    }

    CtlSession session;
    if (const int rc = Reach(session, o, out, err, Read::Config))
        return rc;
    const bool ap = g_Var.DeviceMode == DEVICE_AP;
    if (ap && o.hasSsid) {
        err << "wizardctl: --ssid joins an access point by PIN, which an AP Client does; this device is an "
               "access "
               "point: use --pin with the station's PIN, or --pbc.\nNothing was written.\n";
        return CTL_EXIT_INVALID;
    }
    if (!ap && o.hasPin) {
        err << "wizardctl: this device is an AP Client: it joins by its own PIN; use --ssid with the access "
               "point's name, or --pbc.\nNothing was written.\n";
        return CTL_EXIT_INVALID;
    }
    if (o.pbc) {
        g_Var.WpsMethod = WPS_METHOD_PBC;
    } else {
        g_Var.WpsMethod = 0;
        if (ap) {
            g_Var.NewWlConfig.EnrolleePin = o.pin.toUInt();
        } else {
            // The WPS page shows the device's own PIN before the user connects.
            const CtlSession::Answer a = session.Request(REQ_STATION_GET_CONFIG, [&] {
                session.Engine().SendStationGetConfig(CtlSession::kStationWait);
            });
            const QString devicePin = FieldText(g_Var.ApClientPin);
            if (a.timedOut || devicePin.size() != 8) {
                err << "wizardctl: the device did not report its 8-digit client PIN.\n"
                    << MessageOf(MessageKey::ER_CONNECT) << '\n';
                return CTL_EXIT_NO_ANSWER;
            }
            out << "Enter the device PIN " << devicePin << " at the access point \"" << SsidText(o.ssid)
                << "\".\n";
            SetSsid(g_Var.NewWlConfig.Ssid, o.ssid);
        }
    }
    out.flush();

    const int kind = o.pbc ? REQ_WPS_PBC : REQ_WPS_PIN;
    const CtlSession::Write w = session.WriteWithRetry(kind, [&] {
        if (o.pbc)
            session.Engine().SendWPSPBC(CtlSession::kWpsWait);
        else
            session.Engine().SendWPSPIN(CtlSession::kWpsWait,
                                        ap ? WpsPinForm::Enrollee : WpsPinForm::UpstreamSsid);
    });
    if (w != CtlSession::Write::Accepted)
        return WriteFailed(err, w, QStringLiteral("WPS request"));
    session.DropEvents("wizardctl wps:");
    out << "WPS started; following the device's status (at most 3 minutes).\n";
    out.flush();

    // The WPS page's time limit runs from the device's acceptance.
    const QDeadlineTimer deadline(Timing::Scaled(180000));
    CtlReceiver::Message event{};
    while (session.NextEvent(event, deadline)) {
        if (event.wParam != UDP_EVENT_WPS_STATUS) {
            DebugPrint("wizardctl wps: UM_UDP_EVENT, %d, %d", int(event.wParam), int(event.lParam));
            continue;
        }
        const int code = int(event.lParam);
        DebugPrint("wizardctl wps: RecvWPSStatus %d=%s", code, WpsStatus::Text(code));
        out << "  status " << code << ": " << WpsStatus::Text(code) << '\n';
        out.flush();
        if (code == 3) {
            g_wpsStartTick = Timing::TickCount();
            g_wpsStarted = true;
        } else if (code == 2) {
            err << "wizardctl: WPS failed (the device reported a failure).\n";
            return CTL_EXIT_WPS_FAILED;
        } else if (code == 1 || code == 34) {
            const bool configured = code == 34;
            if (!configured && !(g_wpsStarted && Timing::TickCount() - g_wpsStartTick <= 100000u)) {
                err << "wizardctl: WPS failed (the device went back to idle without completing).\n";
                return CTL_EXIT_WPS_FAILED;
            }
            if (configured && !ap) {
                out << "WPS succeeded.\n";
                return CTL_EXIT_OK;
            }
            // The device needs a while to take up the new settings before
            // it reports them.
            if (!ReadBack(session, configured ? 10000 : 25000)) {
                err << "wizardctl: WPS ran, but the device did not answer the read-back.\n"
                    << MessageOf(MessageKey::ER_CONNECT) << '\n';
                return CTL_EXIT_WPS_FAILED;
            }
            out << "WPS succeeded. The device now reports:\n";
            PrintWireless(out, g_Var.CurWlConfig);
            return CTL_EXIT_OK;
        }
    }
    DebugPrint("wizardctl wps: time limit");
    err << "wizardctl: WPS failed (no final status within 3 minutes).\n";
    return CTL_EXIT_WPS_FAILED;
}

int Survey(const CtlOptions &o, QTextStream &out, QTextStream &err)
{
    CtlSession session;
    if (const int rc = Reach(session, o, out, err, Read::Nothing))
        return rc;
    const CtlSession::Answer a =
        session.Request(REQ_SITE_SURVEY, [&] { session.Engine().SendSiteSurvey(CtlSession::kSurveyWait); });
    if (a.timedOut) {
        err << "wizardctl: the device did not answer the site survey.\n"
            << MessageOf(MessageKey::ER_CONNECT) << '\n';
        return CTL_EXIT_NO_ANSWER;
    }
    std::vector<SurveyEntry> entries;
    if (o.wpsOnly)
        session.Engine().GetWpsSurveyList(entries);
    else
        session.Engine().GetSurveyList(entries);
    std::stable_sort(entries.begin(), entries.end(),
                     [](const SurveyEntry &x, const SurveyEntry &y) { return x.Signal > y.Signal; });
    if (o.json) {
        QJsonArray list;
        for (const SurveyEntry &e : entries) {
            list.append(QJsonObject{
                {"ssid", SsidText(e.Ssid)},
                {"ssidHex", HexOf(SsidBytes(e.Ssid))},
                {"bssid", Mac(e.Bssid)},
                {"channel", e.Channel},
                {"signal", e.Signal},
                {"encryption", Coded(e.Encryption, SurveyEncryptionName(e.Encryption))},
                {"authentication", Coded(e.Authentication, SurveyAuthenticationName(e.Authentication))},
                {"wps", e.Wps},
                {"flag", e.Flag},
                {"status", e.Status},
            });
        }
        PrintJson(out, QJsonDocument(list));
        return CTL_EXIT_OK;
    }
    if (entries.empty()) {
        out << (o.wpsOnly ? "The device sees no network that offers WPS.\n"
                          : "The device sees no network.\n");
        return CTL_EXIT_OK;
    }
    out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7\n")
               .arg(QStringLiteral("SSID"), -32)
               .arg(QStringLiteral("BSSID"), -17)
               .arg(QStringLiteral("CH"), 3)
               .arg(QStringLiteral("SIGNAL"), 6)
               .arg(QStringLiteral("ENCRYPTION"), -10)
               .arg(QStringLiteral("AUTHENTICATION"), -16)
               .arg(QStringLiteral("WPS"));
    for (const SurveyEntry &e : entries) {
        out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7\n")
                   .arg(SsidText(e.Ssid), -32)
                   .arg(Mac(e.Bssid), -17)
                   .arg(e.Channel, 3)
                   .arg(QStringLiteral("%1%").arg(e.Signal), 6)
                   .arg(SurveyEncryptionName(e.Encryption), -10)
                   .arg(SurveyAuthenticationName(e.Authentication), -16)
                   .arg(e.Wps ? QStringLiteral("yes") : QStringLiteral("no"));
    }
    return CTL_EXIT_OK;
}

int StationPin(const CtlOptions &o, QTextStream &out, QTextStream &err)
{
    CtlSession session;
    if (const int rc = Reach(session, o, out, err, Read::Nothing))
        return rc;
    const CtlSession::Answer a = session.Request(
        REQ_STATION_GET_CONFIG, [&] { session.Engine().SendStationGetConfig(CtlSession::kStationWait); });
    const QString pin = FieldText(g_Var.ApClientPin);
    if (a.timedOut || pin.isEmpty()) {
        err << "wizardctl: the device did not report its client PIN (only an AP Client has one).\n";
        return CTL_EXIT_NO_ANSWER;
    }
    out << pin << '\n';
    return CTL_EXIT_OK;
}

} // namespace

int RunCommand(const CtlOptions &o, QTextStream &out, QTextStream &err)
{
    DebugPrint("wizardctl %s", Local(o.command).constData());
    int rc = CTL_EXIT_INVALID;
    if (o.command == u"discover")
        rc = Discover(o, out, err);
    else if (o.command == u"show")
        rc = Show(o, out, err);
    else if (o.command == u"set-ip")
        rc = SetIp(o, out, err);
    else if (o.command == u"set-mode")
        rc = SetMode(o, out, err);
    else if (o.command == u"set-wireless")
        rc = SetWireless(o, out, err);
    else if (o.command == u"wps")
        rc = Wps(o, out, err);
    else if (o.command == u"survey")
        rc = Survey(o, out, err);
    else if (o.command == u"station-pin")
        rc = StationPin(o, out, err);
    DebugPrint("wizardctl %s: exit %d", Local(o.command).constData(), rc);
    return rc;
}
