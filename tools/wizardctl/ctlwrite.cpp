#include "ctlwrite.h"

#include "ctlsettings.h"
#include "ctlreport.h"
#include "ctlsession.h"
#include "ctlsteps.h"

#include "app/debug.h"
#include "app/timing.h"
#include "app/validation.h"
#include "protocol/iphelp.h"
#include "protocol/wpsstatus.h"

#include <QDeadlineTimer>

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

int SetIp(const CtlOptions &o, QTextStream &out, QTextStream &err)
{
    IpConfigRecord wanted{};
    if (!o.dhcp) {
        // The IP page's own corrections and proposals, then its rules.
        const StaticAddress s = CheckStatic(o.ip, o.mask, o.hasMask, o.gateway, LocalAddresses());
        if (s.corrected)
            err << "wizardctl: " << o.ip << " is a broadcast address; using " << s.ipText << ".\n";
        if (s.proposed)
            err << "wizardctl: no mask given; using " << s.maskText << ".\n";
        if (s.fault) {
            QString what = QStringLiteral("--ip ") + s.ipText;
            if (s.field == StaticAddress::Field::Mask)
                what = QStringLiteral("--mask ") + s.maskText;
            else if (s.field == StaticAddress::Field::Gateway)
                what = QStringLiteral("--gateway ") + o.gateway;
            return Invalid(err, *s.fault, what);
        }
        wanted = s.record;
    }

    CtlSession session;
    if (const int rc = Reach(session, o, out, err, Read::Config))
        return rc;
    DeviceState &state = session.State();
    IpConfigRecord next = state.CurIpConfig;
    if (o.dhcp) {
        if (state.CurIpConfig.IpMode != 0) {
            out << "The device already obtains its address automatically; nothing written.\n";
            return CTL_EXIT_OK;
        }
        next.IpMode = IP_MODE_DHCP;
    } else {
        next.IpMode = IP_MODE_STATIC;
        next.Ip = wanted.Ip;
        next.Netmask = wanted.Netmask;
        next.Gateway = wanted.Gateway;
        if (next == state.CurIpConfig) {
            out << "The device already holds these IP settings; nothing written.\n";
            return CTL_EXIT_OK;
        }
    }
    state.NewIpConfig = next;
    const CtlSession::Checker check = [&] {
        return CheckWrite(session, CtlSession::kSettleDelay,
                          [&] { return IpConfigHolds(next, state.CurIpConfig); });
    };
    const QString what = QStringLiteral("IP settings");
    const CtlSession::Write w = session.WriteWithRetry(
        REQ_IP_SETTING, CtlSession::kSetWait, [&](int wait) { session.Engine().SendIPSetting(wait); }, check);
    if (const int rc = WriteFailed(err, w, what))
        return rc;
    return Verify(out, err, w, what, check, [&] {
        out << "Read back:\n";
        PrintIp(out, state.CurIpConfig);
    });
}

int SetMode(const CtlOptions &o, QTextStream &out, QTextStream &err)
{
    CtlSession session;
    if (const int rc = Reach(session, o, out, err, Read::Mode))
        return rc;
    DeviceState &state = session.State();
    if (state.DeviceMode == o.deviceMode) {
        out << "The device already works as " << DeviceModeName(o.deviceMode) << "; nothing written.\n";
        return CTL_EXIT_OK;
    }
    state.DeviceMode = o.deviceMode;
    const CtlSession::Checker check = [&] {
        return CheckWrite(session, 0, [&] { return state.DeviceMode == o.deviceMode; });
    };
    const QString what = QStringLiteral("operating mode ") + DeviceModeName(o.deviceMode);
    const CtlSession::Write w = session.WriteWithRetry(
        REQ_SET_MODE, CtlSession::kSetModeWait,
        [&](int wait) { session.Engine().SendSetMode(wait, o.deviceMode); }, check);
    if (const int rc = WriteFailed(err, w, QStringLiteral("operating mode")))
        return rc;
    return Verify(out, err, w, what, check,
                  [&] { out << "Read back: " << DeviceModeName(state.DeviceMode) << '\n'; });
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
    DeviceState &state = session.State();
    const bool ap = state.DeviceMode == DEVICE_AP;
    // A bridge offers Open and Shared only; the access point also Auto.
    if (!ap && o.auth == AUTHMODE_AUTO) {
        err << "wizardctl: --auth auto: an AP Client authenticates with open or shared only.\nNothing was "
               "written.\n";
        return CTL_EXIT_INVALID;
    }

    const WirelessWanted wanted{.ssid = o.ssid,
                                .wirelessMode = o.wirelessMode,
                                .security = o.security,
                                .wepLength = o.wepLength,
                                .key = o.key,
                                .auth = o.auth,
                                .wpaMode = o.wpaMode,
                                .passphrase = o.passphrase};
    const WlConfigRecord next = NextWireless(wanted, state.CurWlConfig, ap);
    state.NewWlConfig = next;

    const int kind = ap ? REQ_WL_SETTING : REQ_WL_STATION_SETTING;
    const CtlSession::Checker check = [&] {
        return CheckWrite(session, CtlSession::kSettleDelay,
                          [&] { return WlConfigHolds(next, state.CurWlConfig); });
    };
    const CtlSession::Write w = session.WriteWithRetry(
        kind, CtlSession::kSetWait,
        [&](int wait) {
            if (ap) {
                DebugPrint("DEVICE_AP");
                session.Engine().SendWlSetting(wait);
            } else {
                DebugPrint("not DEVICE_AP");
                session.Engine().SendWlStationSetting(wait);
            }
        },
        check);
    const QString what = ap ? QStringLiteral("wireless settings") : QStringLiteral("wireless profile");
    if (const int rc = WriteFailed(err, w, what))
        return rc;
    return Verify(out, err, w, what, check, [&] {
        out << "Read back:\n";
        PrintWireless(out, state.CurWlConfig);
    });
}

namespace {

// The checks of the method against the device's mode, then what the WPS
// page has the device show or take before the run. CTL_EXIT_OK or the
// failure.
int PrepareWps(CtlSession &session, const CtlOptions &o, QTextStream &out, QTextStream &err, bool ap)
{
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
    if (o.pbc)
        return CTL_EXIT_OK;
    DeviceState &state = session.State();
    if (ap) {
        state.NewWlConfig.EnrolleePin = o.pin.toUInt();
        return CTL_EXIT_OK;
    }
    // The WPS page shows the device's own PIN before the user connects.
    const CtlSession::Answer a =
        session.Request(REQ_STATION_GET_CONFIG, CtlSession::kStationWait,
                        [&](int wait) { session.Engine().SendStationGetConfig(wait); });
    const QString devicePin = FieldText(state.ApClientPin);
    if (a.timedOut || devicePin.size() != 8) {
        err << "wizardctl: the device did not report its 8-digit client PIN.\n"
            << MessageOf(MessageKey::ER_CONNECT) << '\n';
        return CTL_EXIT_NO_ANSWER;
    }
    out << "Enter the device PIN " << devicePin << " at the access point \"" << SsidText(o.ssid) << "\".\n";
    SetSsid(state.NewWlConfig.Ssid, o.ssid);
    return CTL_EXIT_OK;
}

// Follows the device's status reports after it accepted the WPS request,
// as the WPS page does, until a final one or the page's time limit.
int FollowWps(CtlSession &session, QTextStream &out, QTextStream &err, bool ap)
{
    // The tick of the last "Start WSC Process" and whether one came.
    uint32_t startTick = 0;
    bool started = false;
    // The WPS page's time limit runs from the device's acceptance.
    const QDeadlineTimer deadline(Timing::Scaled(DeviceWait::WpsTimeLimit));
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
            startTick = Timing::TickCount();
            started = true;
        } else if (code == 2) {
            err << "wizardctl: WPS failed (the device reported a failure).\n";
            return CTL_EXIT_WPS_FAILED;
        } else if (code == 1 || code == 34) {
            const bool configured = code == 34;
            if (!configured &&
                !(started && Timing::TickCount() - startTick <= DeviceWait::WpsIdleAfterStart)) {
                err << "wizardctl: WPS failed (the device went back to idle without completing).\n";
                return CTL_EXIT_WPS_FAILED;
            }
            if (configured && !ap) {
                out << "WPS succeeded.\n";
                return CTL_EXIT_OK;
            }
            // The device needs a while to take up the new settings before
            // it reports them.
            if (!ReadBack(session, configured ? DeviceWait::SettleAfterWpsConfigured
                                              : DeviceWait::SettleAfterWpsIdle)) {
                err << "wizardctl: WPS ran, but the device did not answer the read-back.\n"
                    << MessageOf(MessageKey::ER_CONNECT) << '\n';
                return CTL_EXIT_WPS_FAILED;
            }
            out << "WPS succeeded. The device now reports:\n";
            PrintWireless(out, session.State().CurWlConfig);
            return CTL_EXIT_OK;
        }
    }
    DebugPrint("wizardctl wps: time limit");
    err << "wizardctl: WPS failed (no final status within 3 minutes).\n";
    return CTL_EXIT_WPS_FAILED;
}

} // namespace

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
    const bool ap = session.State().DeviceMode == DEVICE_AP;
    if (const int rc = PrepareWps(session, o, out, err, ap))
        return rc;
    out.flush();

    const int kind = o.pbc ? REQ_WPS_PBC : REQ_WPS_PIN;
    // No check: nothing read back tells whether a run started, and a second
    // request would start another. The request keeps the page's one whole
    // wait and one fresh login.
    const CtlSession::Write w = session.WriteWithRetry(kind, CtlSession::kWpsWait, [&](int wait) {
        if (o.pbc)
            session.Engine().SendWPSPBC(wait);
        else
            session.Engine().SendWPSPIN(wait, ap ? WpsPinForm::Enrollee : WpsPinForm::UpstreamSsid);
    });
    if (w != CtlSession::Write::Accepted)
        return WriteFailed(err, w, QStringLiteral("WPS request"));
    session.DropEvents("wizardctl wps:");
    out << "WPS started; following the device's status (at most 3 minutes).\n";
    out.flush();
    return FollowWps(session, out, err, ap);
}
