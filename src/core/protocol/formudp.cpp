#include "protocol/formudp.h"

#include "app/debug.h"
#include "app/timing.h"
#include "messages/appmessage.h"
#include "protocol/iphelp.h"
#include "protocol/protocolcodec.h"
#include "protocol/rc4encry.h"

#include <QHostAddress>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>

using namespace Protocol;

namespace {

TFormUDP *g_formUDP = nullptr;

const QString kBroadcastAddress = QStringLiteral("255.255.255.255");

} // namespace

uint32_t TFormUDP::HostOrder(const QString &text)
{
    bool ok = false;
    const uint32_t address = QHostAddress(text).toIPv4Address(&ok);
    return ok ? address : 0;
}

TFormUDP *FormUDP()
{
    return g_formUDP;
}

void SetFormUDP(TFormUDP *engine)
{
    g_formUDP = engine;
}

TFormUDP::TFormUDP(DeviceState &state, DatagramSocketFactory *factory, AdapterSource *adapters,
                   QObject *parent)
    : QObject(parent), m_state(state), m_factory(factory), m_adapters(adapters), m_timerWait(new QTimer(this))
{
    m_timerWait->setObjectName(QStringLiteral("TimerWait"));
    m_timerWait->setSingleShot(true);
    connect(m_timerWait, &QTimer::timeout, this, &TFormUDP::TimerWaitTimer);

    bool found = false;
    if (const std::optional<AdapterList> list = Adapters().GetAdapters()) {
        QString address, netmask, gateway;
        MacAddress mac{};
        if (GetLocalAdapter(*list, address, netmask, gateway, mac)) {
            m_localMac = mac;
            found = true;
        }
    }
    if (!found) {
        // No adapter yet: any fixed value would do, but two wizards on one
        // segment must not take each other's answers for their own requests.
        std::srand(unsigned(std::time(nullptr)));
        for (uint8_t &byte : m_localMac)
            byte = uint8_t(std::rand() % 256);
    }
}

TFormUDP::~TFormUDP()
{
    CloseInterfaces();
    if (g_formUDP == this)
        g_formUDP = nullptr;
}

void TFormUDP::SetNotifyTarget(QObject *target)
{
    m_customTarget = target != nullptr;
    m_notifyTarget = target;
}

DatagramSocketFactory &TFormUDP::Factory() const
{
    return m_factory ? *m_factory : DatagramSocketFactory::Current();
}

AdapterSource &TFormUDP::Adapters() const
{
    return m_adapters ? *m_adapters : AdapterSource::Current();
}

QByteArray TFormUDP::PasswordKey() const
{
    return m_state.Password.toUtf8();
}

bool TFormUDP::Waiting() const
{
    return m_timerWait->isActive();
}

void TFormUDP::Post(int id, intptr_t wParam, intptr_t lParam)
{
    PostAppMessage(m_customTarget ? m_notifyTarget.data() : MainWindow(), id, wParam, lParam);
}

void TFormUDP::StopWait()
{
    m_timerWait->stop();
    m_pending = REQ_NONE;
}

bool TFormUDP::event(QEvent *event)
{
    if (event->type() == AppMessage::eventType()) {
        auto *message = static_cast<AppMessage *>(event);
        if (message->id == UM_SOCKET_DATA) {
            if (message->wParam == 1)
                UDPSocketRead(reinterpret_cast<DatagramSocket *>(message->lParam));
            return true;
        }
    }
    return QObject::event(event);
}

// ----- adapters and sockets -----

bool TFormUDP::InitInterfaces()
{
    m_outcomes.clear();
    const std::optional<AdapterList> list = Adapters().GetAdapters();
    if (!list)
        return false;
    bool opened = false;
    for (const AdapterEntry &adapter : *list) {
        AdapterOutcome &outcome = m_outcomes.emplace_back();
        outcome.name = adapter.name;
        if (adapter.addresses.empty()) {
            // A link with no IPv4 address (a cable straight to the device,
            // no DHCP answer): broadcasts leave it from 0.0.0.0 and the
            // device answers by broadcast.
            DebugPrint("Addr=%s, IP=0.0.0.0, Iface=%s (no IPv4 address)", qPrintable(FormatMac(adapter.mac)),
                       qPrintable(adapter.description));
            opened |= OpenSocket(adapter, {QStringLiteral("0.0.0.0"), QStringLiteral("0.0.0.0")}, outcome);
            continue;
        }
        for (const AdapterAddress &address : adapter.addresses) {
            if (HostOrder(address.ip) == 0)
                continue;
            DebugPrint("Addr=%s, IP=%s, Iface=%s", qPrintable(FormatMac(adapter.mac)), qPrintable(address.ip),
                       qPrintable(adapter.description));
            if (OpenSocket(adapter, address, outcome)) {
                opened = true;
                break; // one socket per adapter
            }
            // else the adapter's next address is tried
        }
    }
    return opened;
}

bool TFormUDP::OpenSocket(const AdapterEntry &adapter, const AdapterAddress &address, AdapterOutcome &outcome)
{
    std::unique_ptr<DatagramSocket> socket = Factory().Create();
    if (!socket)
        return false;
    socket->SetMac(adapter.mac);
    socket->SetNetmask(address.netmask);
    if (!socket->Open(adapter.name, address.ip, kWizardPort)) {
        outcome.error = socket->ErrorText();
        return false;
    }
    outcome.ip = address.ip;
    outcome.error.clear();
    DatagramSocket *raw = socket.get();
    socket->SetReadyCallback([this, raw] { SendAppMessage(this, UM_SOCKET_DATA, 1, intptr_t(raw)); });
    m_sockets.push_back(std::move(socket));
    return true;
}

void TFormUDP::CloseInterfaces()
{
    if (m_loggedIn)
        SendLogout(0);
    for (const std::unique_ptr<DatagramSocket> &socket : m_sockets) {
        socket->SetReadyCallback({});
        socket->Close();
    }
    m_sockets.clear();
}

void TFormUDP::UDPSocketRead(DatagramSocket *socket)
{
    // Only sockets of the current list are read; a notification for one
    // closed meanwhile has nothing to deliver.
    const auto it =
        std::find_if(m_sockets.begin(), m_sockets.end(),
                     [socket](const std::unique_ptr<DatagramSocket> &s) { return s.get() == socket; });
    if (it == m_sockets.end()) {
        DebugPrint("TFormUDP::UDPSocketRead() unknown socket");
        return;
    }
    if (DebugLogIsOn())
        DebugPrint("Local IP:%s", qPrintable(socket->Address()));
    m_localIP = socket->Address();
    ReceivedDatagram datagram;
    const int count = socket->Recv(datagram);
    if (count > 0) {
        // Never trust the count beyond the bytes actually handed over.
        const int size = std::min({count, int(datagram.data.size()), int(kReceiveBufferSize)});
        ProcRecvData(reinterpret_cast<uint8_t *>(datagram.data.data()), size, socket, datagram.senderPort,
                     datagram.senderAddress);
    } else {
        DebugPrint("TFormUDP::UDPSocketRead() %d", count);
    }
}

void TFormUDP::ProcRecvData(uint8_t *data, int size, DatagramSocket *socket, uint16_t senderPort,
                            const QString &senderAddress)
{
    if (size < 0)
        return;
    AcceptFacts facts;
    for (const std::unique_ptr<DatagramSocket> &s : m_sockets)
        facts.adapterMacs.push_back(s->Mac());
    facts.localMac = m_localMac;
    facts.peerFilter = m_peerFilter;
    const size_t length = size_t(size);
    if (CheckDatagram(data, length, facts) != Acceptance::Accepted)
        return;

    const uint8_t command = HeaderCommand(data);
    if (command != CMD_DISCOVER) {
        const QByteArray key = PasswordKey();
        CipherPayload(std::string_view(key.constData(), size_t(key.size())), data + kHeaderSize,
                      length - kHeaderSize);
    }
    LogPacket(qPrintable(senderAddress), senderPort, data, length);

    switch (command) {
    case CMD_DISCOVER:
        RecvDiscover(data, length, socket, senderAddress);
        break;
    case CMD_LOGIN:
        RecvLogin(data, length);
        break;
    case CMD_LOGOUT:
        RecvLogout(data, length);
        break;
    case CMD_GET_CONFIG:
        RecvGetConfig(data, length);
        break;
    case CMD_SET_CONFIG:
    case CMD_STATION_SET_CONFIG:
        RecvSetConfig(data, length);
        break;
    case CMD_EVENT:
        RecvEvent(data, length);
        break;
    case CMD_SITE_SURVEY:
        RecvSiteSurvey(data, length);
        break;
    case CMD_STATION_GET_CONFIG:
        RecvStationGetConfig(data, length);
        break;
    default:
        break; // 5 and codes above 9 carry nothing for the wizard
    }
}

// ----- sending -----

void TFormUDP::SendPacket(uint8_t *packet, size_t size)
{
    LogPacket(packet, size);
    const QByteArray key = PasswordKey();
    CipherPayload(std::string_view(key.constData(), size_t(key.size())), packet + kHeaderSize,
                  size - kHeaderSize);
    for (const std::unique_ptr<DatagramSocket> &socket : m_sockets) {
        std::memcpy(packet + kOffMac, socket->Mac().data(), socket->Mac().size());
        // A failed copy on one adapter must not keep the others from going out.
        socket->SendTo(QByteArray(reinterpret_cast<const char *>(packet), qsizetype(size)), m_devicePort,
                       kBroadcastAddress);
    }
}

void TFormUDP::Issue(const char *operation, int kind, int wait, Request request)
{
    DebugPrint("TFormUDP::%s()", operation);
    Send(kind, wait, request);
}

void TFormUDP::Send(int kind, int wait, Request &request)
{
    m_pending = kind;
    SendPacket(request.Data(), request.Size());
    if (wait > 0) {
        m_timerWait->start(Timing::Scaled(wait));
    } else {
        m_timerWait->stop();
        m_pending = REQ_NONE;
    }
}

void TFormUDP::TimerWaitTimer()
{
    m_timerWait->stop();
    DebugPrint("TFormUDP::TimerWaitTimer() %d", m_pending);
    Post(UM_UDP_TIMEOUT, m_pending, 0);
    m_pending = REQ_NONE;
}

bool TFormUDP::SendDiscover(int wait, bool reinit)
{
    DebugPrint("TFormUDP::SendDiscover()");
    if (reinit) {
        CloseInterfaces();
        m_devices.clear();
        // The platform's ARP-cache flush is left out: nothing here depends
        // on its outcome.
        if (!InitInterfaces()) {
            DebugPrint("TFormUDP::SendDiscover() FAIL init interface");
            return false;
        }
    }
    m_peerFilter = kBroadcastMac;
    m_devicePort = kDevicePort;
    Request request = BuildDiscover(m_localMac);
    Send(REQ_DISCOVER, wait, request);
    return true;
}

void TFormUDP::SendLogin(int wait)
{
    DebugPrint("TFormUDP::SendLogin()");
    const MacAddress device = m_state.SelectedDevice.Mac;
    // The filter still holds the device of an earlier login (the user went
    // Back to the list and chose another row): that login is over, and the
    // new device's answers must get through. Only the chosen MAC can answer
    // the login, and its success locks the filter again.
    if (m_peerFilter != kBroadcastMac && m_peerFilter != MacAddress{} && m_peerFilter != device) {
        if (m_loggedIn)
            SendLogout(0);
        DebugPrint("  peer filter opened: the login is for another device");
        m_peerFilter = kBroadcastMac;
    }
    m_devicePort = kDevicePort;
    m_loginTarget = device;
    Request request = BuildLogin(m_localMac, device);
    Send(REQ_LOGIN, wait, request);
}

void TFormUDP::SendLogout(int wait)
{
    Issue("SendLogout", REQ_LOGOUT, wait, BuildLogout(m_localMac));
    // Not waiting means not caring about the answer: the login is over now.
    if (wait <= 0)
        m_loggedIn = false;
}

void TFormUDP::SendGetConfig(int wait)
{
    Issue("SendGetConfig", REQ_GET_CONFIG, wait, BuildGetConfig(m_localMac));
}

void TFormUDP::SendGetMode(int wait)
{
    // The mode comes back in a configuration answer.
    Issue("SendGetMode", REQ_GET_CONFIG, wait, BuildGetMode(m_localMac));
}

void TFormUDP::SendSetMode(int wait, int mode)
{
    Issue("SendSetMode", REQ_SET_MODE, wait, BuildSetMode(m_localMac, mode));
}

void TFormUDP::SendIPSetting(int wait)
{
    Issue("SendIPSetting", REQ_IP_SETTING, wait, BuildIpSetting(m_localMac, m_state.NewIpConfig));
}

void TFormUDP::SendWlSetting(int wait)
{
    Issue("SendWlSetting", REQ_WL_SETTING, wait, BuildWlSetting(m_localMac, m_state.NewWlConfig));
}

void TFormUDP::SendWlStationSetting(int wait)
{
    const Request request = BuildWlStationSetting(m_localMac, m_state.NewWlConfig);
    Issue("SendWlStationSetting", REQ_WL_STATION_SETTING, wait, request);
}

void TFormUDP::SendWPSPBC(int wait)
{
    Issue("SendWPSPBC", REQ_WPS_PBC, wait, BuildWpsPbc(m_localMac));
}

void TFormUDP::SendWPSPIN(int wait, WpsPinForm form)
{
    const WlConfigRecord &config = m_state.NewWlConfig;
    const std::string_view ssid(config.Ssid, strnlen(config.Ssid, sizeof config.Ssid));
    Issue("SendWPSPIN", REQ_WPS_PIN, wait,
          form == WpsPinForm::Enrollee ? BuildWpsPinEnrollee(m_localMac, config.EnrolleePin)
                                       : BuildWpsPinSsid(m_localMac, ssid));
}

void TFormUDP::SendSiteSurvey(int wait)
{
    Issue("SendSiteSurvey", REQ_SITE_SURVEY, wait, BuildSiteSurvey(m_localMac));
}

void TFormUDP::SendStationGetConfig(int wait)
{
    Issue("SendStationGetConfig", REQ_STATION_GET_CONFIG, wait, BuildStationGetConfig(m_localMac));
}
