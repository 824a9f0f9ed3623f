#include "protocol/formudp.h"

#include "app/debug.h"
#include "app/globalvar.h"
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

// Dotted text to a host-order address; anything unparsable is 0.
uint32_t HostOrder(const QString &text)
{
    bool ok = false;
    const uint32_t address = QHostAddress(text).toIPv4Address(&ok);
    return ok ? address : 0;
}

QByteArray PasswordKey()
{
    return g_Var.Password.toUtf8();
}

} // namespace

TFormUDP *FormUDP()
{
    return g_formUDP;
}

void SetFormUDP(TFormUDP *engine)
{
    g_formUDP = engine;
}

TFormUDP::TFormUDP(DatagramSocketFactory *factory, AdapterSource *adapters, QObject *parent)
    : QObject(parent), m_factory(factory), m_adapters(adapters), m_timerWait(new QTimer(this))
{
    m_timerWait->setObjectName(QStringLiteral("TimerWait"));
    m_timerWait->setSingleShot(true);
    connect(m_timerWait, &QTimer::timeout, this, &TFormUDP::TimerWaitTimer);

    bool found = false;
    if (const std::optional<AdapterList> list = Adapters().GetAdapters()) {
        QString address, netmask, gateway;
        MacBytes mac{};
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
            DebugPrint("Addr=%s, IP=0.0.0.0, Iface=%s (no IPv4 address)", qPrintable(MacText(adapter.mac)),
                       qPrintable(adapter.description));
            opened |= OpenSocket(adapter, {QStringLiteral("0.0.0.0"), QStringLiteral("0.0.0.0")}, outcome);
            continue;
        }
        for (const AdapterAddress &address : adapter.addresses) {
            if (HostOrder(address.ip) == 0)
                continue;
            DebugPrint("Addr=%s, IP=%s, Iface=%s", qPrintable(MacText(adapter.mac)), qPrintable(address.ip),
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

void TFormUDP::Issue(Request &request, int kind, int wait)
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
            ShowMessage(MessageKey::ER_Ethr_Interface);
            return false;
        }
    }
    m_peerFilter = kBroadcastMac;
    m_devicePort = kDevicePort;
    Request request = BuildDiscover(m_localMac);
    Issue(request, REQ_DISCOVER, wait);
    return true;
}

bool TFormUDP::SendLogin(int wait)
{
    DebugPrint("TFormUDP::SendLogin()");
    MacAddress device;
    std::memcpy(device.data(), g_Var.SelectedDevice.Mac, device.size());
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
    Issue(request, REQ_LOGIN, wait);
    return true;
}

bool TFormUDP::SendLogout(int wait)
{
    DebugPrint("TFormUDP::SendLogout()");
    Request request = BuildLogout(m_localMac);
    Issue(request, REQ_LOGOUT, wait);
    // Not waiting means not caring about the answer: the login is over now.
    if (wait <= 0)
        m_loggedIn = false;
    return true;
}

bool TFormUDP::SendGetConfig(int wait)
{
    DebugPrint("TFormUDP::SendGetConfig()");
    Request request = BuildGetConfig(m_localMac);
    Issue(request, REQ_GET_CONFIG, wait);
    return true;
}

bool TFormUDP::SendGetMode(int wait)
{
    DebugPrint("TFormUDP::SendGetMode()");
    Request request = BuildGetMode(m_localMac);
    Issue(request, REQ_GET_CONFIG, wait);
    return true;
}

bool TFormUDP::SendSetMode(int wait, int mode)
{
    DebugPrint("TFormUDP::SendSetMode()");
    Request request = BuildSetMode(m_localMac, mode);
    Issue(request, REQ_SET_MODE, wait);
    return true;
}

bool TFormUDP::SendIPSetting(int wait)
{
    DebugPrint("TFormUDP::SendIPSetting()");
    Request request = BuildIpSetting(m_localMac, g_Var.NewIpConfig);
    Issue(request, REQ_IP_SETTING, wait);
    return true;
}

bool TFormUDP::SendWlSetting(int wait)
{
    DebugPrint("TFormUDP::SendWlSetting()");
    Request request = BuildWlSetting(m_localMac, g_Var.NewWlConfig);
    Issue(request, REQ_WL_SETTING, wait);
    return true;
}

bool TFormUDP::SendWlStationSetting(int wait)
{
    DebugPrint("TFormUDP::SendWlStationSetting()");
    Request request = BuildWlStationSetting(m_localMac, g_Var.NewWlConfig);
    Issue(request, REQ_WL_STATION_SETTING, wait);
    return true;
}

bool TFormUDP::SendWPSPBC(int wait)
{
    DebugPrint("TFormUDP::SendWPSPBC()");
    Request request = BuildWpsPbc(m_localMac);
    Issue(request, REQ_WPS_PBC, wait);
    return true;
}

bool TFormUDP::SendWPSPIN(int wait, WpsPinForm form)
{
    DebugPrint("TFormUDP::SendWPSPIN()");
    const WlConfigRecord &config = g_Var.NewWlConfig;
    Request request =
        form == WpsPinForm::Enrollee
            ? BuildWpsPinEnrollee(m_localMac, config.EnrolleePin)
            : BuildWpsPinSsid(m_localMac,
                              std::string_view(config.Ssid, strnlen(config.Ssid, sizeof config.Ssid)));
    Issue(request, REQ_WPS_PIN, wait);
    return true;
}

bool TFormUDP::SendSiteSurvey(int wait)
{
    DebugPrint("TFormUDP::SendSiteSurvey()");
    Request request = BuildSiteSurvey(m_localMac);
    Issue(request, REQ_SITE_SURVEY, wait);
    return true;
}

bool TFormUDP::SendStationGetConfig(int wait)
{
    DebugPrint("TFormUDP::SendStationGetConfig()");
    Request request = BuildStationGetConfig(m_localMac);
    Issue(request, REQ_STATION_GET_CONFIG, wait);
    return true;
}

// ----- receivers -----

void TFormUDP::RecvDiscover(const uint8_t *data, size_t size, DatagramSocket *socket,
                            const QString &senderAddress)
{
    DebugPrint("TFormUDP::RecvDiscover()");
    if (m_pending != REQ_DISCOVER) {
        DebugPrint("  ignore data");
        return;
    }
    const MacAddress mac = HeaderMac(data);
    const bool known = std::any_of(m_devices.begin(), m_devices.end(), [&mac](const DeviceRecord &device) {
        return std::memcmp(device.Mac, mac.data(), mac.size()) == 0;
    });
    if (known) {
        DebugPrint("  already exist");
        return;
    }
    DeviceRecord record;
    if (!DecodeDiscover(data + kHeaderSize, size - kHeaderSize, record))
        return;
    record.LocalIp = HostOrder(socket->Address());
    record.LocalMask = HostOrder(socket->Netmask());
    record.DeviceIp = HostOrder(senderAddress);
    std::memcpy(record.Mac, mac.data(), mac.size());
    m_devices.push_back(record);
}

void TFormUDP::RecvLogin(const uint8_t *data, size_t size)
{
    DebugPrint("TFormUDP::RecvLogin()");
    if (m_pending != REQ_LOGIN) {
        DebugPrint("  ignore data");
        return;
    }
    // Any host on the segment could otherwise answer in the device's place
    // and have the engine lock its peer filter onto itself.
    if (HeaderMac(data) != m_loginTarget) {
        DebugPrint("  FAIL login answer from another MAC");
        return;
    }
    StopWait();
    const ResultAnswer answer = DecodeResult(data + kHeaderSize, size - kHeaderSize, true);
    if (answer.hasPort)
        m_devicePort = answer.port;
    m_loggedIn = answer.result != 0;
    if (m_loggedIn)
        m_peerFilter = HeaderMac(data);
    Post(UM_UDP_REPLY, REQ_LOGIN, answer.result);
}

void TFormUDP::RecvLogout(const uint8_t *data, size_t size)
{
    DebugPrint("TFormUDP::RecvLogout()");
    if (m_pending != REQ_LOGOUT) {
        DebugPrint("  ignore data");
        return;
    }
    StopWait();
    const ResultAnswer answer = DecodeResult(data + kHeaderSize, size - kHeaderSize, false);
    m_loggedIn = answer.result == 0;
    Post(UM_UDP_REPLY, REQ_LOGOUT, answer.result);
}

void TFormUDP::RecvGetConfig(const uint8_t *data, size_t size)
{
    DebugPrint("TFormUDP::RecvGetConfig()");
    if (m_pending != REQ_GET_CONFIG) {
        DebugPrint("  ignore data");
        return;
    }
    StopWait();
    int deviceMode = g_Var.DeviceMode;
    DecodeGetConfig(data + kHeaderSize, size - kHeaderSize,
                    {g_Var.CurIpConfig, g_Var.CurWlConfig, deviceMode});
    g_Var.DeviceMode = deviceMode;
    Post(UM_UDP_REPLY, REQ_GET_CONFIG, 1);
}

void TFormUDP::RecvSetConfig(const uint8_t *data, size_t size)
{
    DebugPrint("TFormUDP::RecvSetConfig()");
    switch (m_pending) {
    case REQ_IP_SETTING:
    case REQ_WL_SETTING:
    case REQ_WPS_PBC:
    case REQ_WPS_PIN:
    case REQ_SET_MODE:
    case REQ_WL_STATION_SETTING:
        break;
    default:
        DebugPrint("  ignore data");
        return;
    }
    const ResultAnswer answer = DecodeResult(data + kHeaderSize, size - kHeaderSize, false);
    Post(UM_UDP_REPLY, m_pending, answer.result);
    StopWait();
}

void TFormUDP::RecvEvent(const uint8_t *data, size_t size)
{
    DebugPrint("TFormUDP::RecvEvent()");
    const EventAnswer answer = DecodeEvent(data + kHeaderSize, size - kHeaderSize);
    if (answer.connectTimeout)
        m_loggedIn = false;
    for (const int32_t status : answer.wpsStatus)
        Post(UM_UDP_EVENT, UDP_EVENT_WPS_STATUS, status);
}

void TFormUDP::RecvSiteSurvey(const uint8_t *data, size_t size)
{
    DebugPrint("TFormUDP::RecvSiteSurvey()");
    if (m_pending != REQ_SITE_SURVEY) {
        DebugPrint("  ignore data");
        return;
    }
    StopWait();
    m_survey = DecodeSurvey(data + kHeaderSize, size - kHeaderSize);
    Post(UM_UDP_REPLY, REQ_SITE_SURVEY, 0);
}

void TFormUDP::RecvStationGetConfig(const uint8_t *data, size_t size)
{
    DebugPrint("TFormUDP::RecvStationGetConfig()");
    if (m_pending != REQ_STATION_GET_CONFIG) {
        DebugPrint("  ignore data");
        return;
    }
    StopWait();
    DecodeStationGetConfig(data + kHeaderSize, size - kHeaderSize, g_Var.ApClientPin,
                           sizeof g_Var.ApClientPin);
    Post(UM_UDP_REPLY, REQ_STATION_GET_CONFIG, 1);
}

// ----- lists -----

void TFormUDP::GetDeviceList(std::vector<DeviceRecord> &list) const
{
    list.insert(list.end(), m_devices.begin(), m_devices.end());
}

void TFormUDP::GetSurveyList(std::vector<SurveyEntry> &list) const
{
    list.insert(list.end(), m_survey.begin(), m_survey.end());
}

void TFormUDP::GetWpsSurveyList(std::vector<SurveyEntry> &list) const
{
    std::copy_if(m_survey.begin(), m_survey.end(), std::back_inserter(list),
                 [](const SurveyEntry &entry) { return entry.Wps; });
}
