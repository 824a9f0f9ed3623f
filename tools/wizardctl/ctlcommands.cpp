#include "ctlcommands.h"

#include "ctlapply.h"
#include "ctlreport.h"
#include "ctlsession.h"
#include "ctlsteps.h"
#include "ctlwrite.h"

#include "app/debug.h"
#include "app/utility.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>

namespace {

// ----- the commands that only read -----

int Discover(const CtlOptions &o, QTextStream &out, QTextStream &err)
{
    CtlSession session;
    if (!session.Discover(o.waitMs, nullptr, o.count))
        return NoAdapter(session, o, out, err,
                         {{"error", "no network adapter could be opened"}, {"devices", QJsonArray()}});
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
                       .arg(FormatMac(d.Mac), -17)
                       .arg(IpToText(d.DeviceIp), -15)
                       .arg(IpToText(d.LocalIp));
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
    if (o.all)
        return ShowAll(o, out, err);
    CtlSession session;
    DeviceRecord device;
    if (const int rc = Reach(session, o, out, err, Read::Config, &device))
        return rc;
    if (o.json) {
        PrintJson(out, QJsonDocument(ConfigJson(device, session.State())));
        return CTL_EXIT_OK;
    }
    out << "Device\n";
    Row(out, QStringLiteral("Name"), FieldText(device.Name));
    Row(out, QStringLiteral("MAC"), FormatMac(device.Mac));
    Row(out, QStringLiteral("Answered from"), IpToText(device.DeviceIp));
    Row(out, QStringLiteral("Local adapter"), IpToText(device.LocalIp));
    const DeviceState &state = session.State();
    Row(out, QStringLiteral("Operating mode"),
        DeviceModeName(state.DeviceMode).isEmpty() ? QString::number(state.DeviceMode)
                                                   : DeviceModeName(state.DeviceMode));
    out << "Network Settings\n";
    PrintIp(out, state.CurIpConfig);
    out << (state.DeviceMode == DEVICE_AP ? "Wireless Settings\n" : "Wireless Profile\n");
    PrintWireless(out, state.CurWlConfig);
    QStringList channels;
    for (int c : Channels(state.CurWlConfig))
        channels << QString::number(c);
    Row(out, QStringLiteral("Channels allowed"), channels.join(u' '));
    Row(out, QStringLiteral("WPS PIN"), QString::asprintf("%08u", state.CurWlConfig.WpsPin));
    return CTL_EXIT_OK;
}

int Survey(const CtlOptions &o, QTextStream &out, QTextStream &err)
{
    CtlSession session;
    if (const int rc = Reach(session, o, out, err, Read::Nothing))
        return rc;
    // Sent once: the device scans for a while before it answers, and a
    // repeat might start the scan again.
    const CtlSession::Answer a = session.Request(
        REQ_SITE_SURVEY, CtlSession::kSurveyWait, [&](int wait) { session.Engine().SendSiteSurvey(wait); },
        CtlSession::kSurveyWait);
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
                {"bssid", FormatMac(e.Bssid)},
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
                   .arg(FormatMac(e.Bssid), -17)
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
    const CtlSession::Answer a =
        session.Request(REQ_STATION_GET_CONFIG, CtlSession::kStationWait,
                        [&](int wait) { session.Engine().SendStationGetConfig(wait); });
    const QString pin = FieldText(session.State().ApClientPin);
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
    using Command = int (*)(const CtlOptions &, QTextStream &, QTextStream &);
    static const struct
    {
        const char16_t *name;
        Command run;
    } kCommands[] = {
        {u"discover", Discover},
        {u"show", Show},
        {u"set-ip", SetIp},
        {u"set-mode", SetMode},
        {u"set-wireless", SetWireless},
        {u"wps", Wps},
        {u"survey", Survey},
        {u"station-pin", StationPin},
        {u"apply", Apply},
    };
    DebugPrint("wizardctl %s", Local(o.command).constData());
    int rc = CTL_EXIT_INVALID;
    for (const auto &command : kCommands)
        if (o.command == command.name)
            rc = command.run(o, out, err);
    DebugPrint("wizardctl %s: exit %d", Local(o.command).constData(), rc);
    return rc;
}
