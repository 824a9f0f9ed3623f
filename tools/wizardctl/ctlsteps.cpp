#include "ctlsteps.h"

#include "ctlreport.h"

#include "app/debug.h"
#include "app/globalvar.h"
#include "app/utility.h"

#include <algorithm>

int NoAdapter(CtlSession &session, const CtlOptions &o, QTextStream &out, QTextStream &err,
              const QJsonObject &extra)
{
    err << "wizardctl: " << MessageText(MessageKey::ER_Ethr_Interface) << '\n';
    err.flush();
    err << "wizardctl: no network adapter could be opened.\n";
    ExplainSilence(session.Engine(), o, out, err, extra);
    return CTL_EXIT_NO_DEVICE;
}

namespace {

// As "Configure" on the device list: a fresh start for `device`, whose
// settings are read next.
void SelectDevice(DeviceState &state, const DeviceRecord &device, const QString &password)
{
    state.SelectedDevice = device;
    ResetIpConfig(state.CurIpConfig);
    ResetIpConfig(state.NewIpConfig);
    ResetWlConfig(state.CurWlConfig);
    ResetWlConfig(state.NewWlConfig);
    state.Password = password;
}

} // namespace

Reached ReachDevice(CtlSession &session, const MacAddress &mac, const QString &password, Read read,
                    DeviceRecord *found, const std::function<void(const QString &)> &step)
{
    const auto say = [&step](const char *text) {
        if (step)
            step(QString::fromLatin1(text));
    };
    say("finding the device");
    if (!session.Discover(kFindWait, &mac))
        return Reached::NoAdapter;
    const std::vector<DeviceRecord> devices = session.Devices();
    const auto it =
        std::find_if(devices.begin(), devices.end(), [&](const DeviceRecord &d) { return d.Mac == mac; });
    if (it == devices.end())
        return Reached::NotFound;
    if (found)
        *found = *it;
    SelectDevice(session.State(), *it, password);

    say("logging in");
    switch (session.LogIn()) {
    case CtlSession::Login::Accepted:
        break;
    case CtlSession::Login::Refused:
        return Reached::Refused;
    case CtlSession::Login::NoAnswer:
        return Reached::Silent;
    }
    if (read == Read::Nothing)
        return Reached::Done;
    say("reading the configuration");
    const bool config = read == Read::Config;
    const CtlSession::Answer a = session.Request(
        REQ_GET_CONFIG, config ? CtlSession::kGetConfigWait : CtlSession::kGetModeWait, [&](int wait) {
            if (config)
                session.Engine().SendGetConfig(wait);
            else
                session.Engine().SendGetMode(wait);
        });
    return a.timedOut ? Reached::Unread : Reached::Done;
}

int Reach(CtlSession &session, const CtlOptions &o, QTextStream &out, QTextStream &err, Read read,
          DeviceRecord *found)
{
    switch (ReachDevice(session, o.mac, o.password, read, found)) {
    case Reached::Done:
        return CTL_EXIT_OK;
    case Reached::NoAdapter:
        return NoAdapter(session, o, out, err, {{"error", "no network adapter could be opened"}});
    case Reached::NotFound: {
        DebugPrint("wizardctl: FAIL device %s not found", Local(FormatMac(o.mac)).constData());
        err << "wizardctl: no device " << FormatMac(o.mac) << " answered within " << kFindWait << " ms";
        const std::vector<DeviceRecord> devices = session.Devices();
        if (!devices.empty()) {
            QStringList others;
            for (const DeviceRecord &d : devices)
                others << FormatMac(d.Mac);
            err << " (answers came from " << others.join(QStringLiteral(", ")) << ")";
        }
        err << ".\n";
        ExplainSilence(session.Engine(), o, out, err, {{"error", "no device with that MAC answered"}});
        return CTL_EXIT_NO_DEVICE;
    }
    case Reached::Refused:
        err << "wizardctl: the device " << FormatMac(o.mac) << " refused the login: wrong password?\n";
        return CTL_EXIT_LOGIN;
    case Reached::Silent:
        err << "wizardctl: the device " << FormatMac(o.mac) << " did not answer the login within "
            << CtlSession::kLoginWait
            << " ms (a device that cannot read the login, as with a wrong password, may stay silent).\n";
        return CTL_EXIT_NO_ANSWER;
    case Reached::Unread:
        break;
    }
    err << "wizardctl: the device did not answer the configuration request. "
        << MessageOf(MessageKey::ER_CONNECT) << '\n';
    return CTL_EXIT_NO_ANSWER;
}

QString WriteFailure(CtlSession::Write w, const QString &what)
{
    switch (w) {
    case CtlSession::Write::Refused:
        return QStringLiteral("the device refused the ") + what;
    case CtlSession::Write::NoAnswer:
        return QStringLiteral("the device did not answer the %1, also not after a fresh login").arg(what);
    case CtlSession::Write::LoginFailed:
        return QStringLiteral("the fresh login for the %1 failed").arg(what);
    case CtlSession::Write::Accepted:
    case CtlSession::Write::Verified:
        break;
    }
    return {};
}

int WriteFailed(QTextStream &err, CtlSession::Write w, const QString &what)
{
    const QString failure = WriteFailure(w, what);
    if (failure.isEmpty())
        return CTL_EXIT_OK;
    err << "wizardctl: " << failure << ".\n" << MessageOf(MessageKey::ER_CONNECT) << '\n';
    return CTL_EXIT_NO_ANSWER;
}

bool ReadBack(CtlSession &session, int settleMs)
{
    session.Settle(settleMs);
    return !session
                .Request(REQ_GET_CONFIG, CtlSession::kGetConfigWait,
                         [&](int wait) { session.Engine().SendGetConfig(wait); })
                .timedOut;
}

CtlSession::Check CheckWrite(CtlSession &session, int settleMs, const std::function<bool()> &holds)
{
    if (!ReadBack(session, settleMs))
        return CtlSession::Check::NoAnswer;
    return holds() ? CtlSession::Check::Holds : CtlSession::Check::Differs;
}

int Verify(QTextStream &out, QTextStream &err, CtlSession::Write w, const QString &what,
           const CtlSession::Checker &check, const std::function<void()> &print)
{
    if (w == CtlSession::Write::Verified)
        out << "The device holds the " << what << " (its answer to the write was lost).\n";
    else
        out << "The device accepted the " << what << ".\n";
    const CtlSession::Check c = w == CtlSession::Write::Verified ? CtlSession::Check::Holds : check();
    if (c == CtlSession::Check::NoAnswer) {
        err << "wizardctl: " << kUnknownStateText << '\n';
        out << "state unknown\n";
        return CTL_EXIT_UNKNOWN_STATE;
    }
    print();
    if (c == CtlSession::Check::Differs) {
        DebugPrint("wizardctl: FAIL the read-back does not show the values written");
        out << "not verified: the device does not report the values written\n";
        return CTL_EXIT_NOT_VERIFIED;
    }
    out << "verified\n";
    return CTL_EXIT_OK;
}
