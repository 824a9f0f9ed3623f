#pragma once
// The protocol engine. One engine exists for the program; pages never touch
// a socket: they call one send operation with a wait time and later receive
// exactly one UM_UDP_REPLY (the matching answer arrived and was decoded) or
// UM_UDP_TIMEOUT (the wait ran out) for it; the device's own events arrive
// as UM_UDP_EVENT. At most one request is outstanding; a new request
// replaces the old one, whose late answer is then ignored. The engine works
// on the device-state record it is handed (the program hands it g_Var): it
// sends the new settings from there, and every decoded answer lands there
// or in the engine's device and survey lists. It shows nothing itself: a
// failure is its caller's to report.
//
// The engine reaches the network only through the transport and adapter
// seams (DatagramSocketFactory, AdapterSource), so tests run it unchanged on
// an in-process fake network. Every wait goes through Timing::Scaled.

#include "protocol/datagramsocket.h"
#include "protocol/packet.h"

#include "app/devicestate.h"
#include "app/records.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <vector>

class AdapterSource;
struct AdapterEntry;
struct AdapterAddress;
class QTimer;

// Request kinds: the pending request, and the wParam of UM_UDP_REPLY and
// UM_UDP_TIMEOUT.
enum RequestKind : int {
    REQ_NONE = 0,
    REQ_DISCOVER = 1,
    REQ_LOGIN = 2,
    REQ_LOGOUT = 3,
    REQ_IP_SETTING = 4,
    REQ_WL_SETTING = 5,
    REQ_GET_CONFIG = 6,
    REQ_WPS_PBC = 7,
    REQ_WPS_PIN = 8,
    REQ_SITE_SURVEY = 9,
    REQ_SET_MODE = 10,
    REQ_WL_STATION_SETTING = 11,
    REQ_STATION_GET_CONFIG = 12,
};

// wParam of UM_UDP_EVENT for a WPS status report.
inline constexpr int UDP_EVENT_WPS_STATUS = Protocol::TLVTYPE_OTHER_WPS_STATUS; // 150

// The two forms of the WPS PIN request.
enum class WpsPinForm {
    Enrollee,     // access point: NewWlConfig.EnrolleePin as "%08d"
    UpstreamSsid, // bridge: the upstream network name in NewWlConfig.Ssid
};

// What InitInterfaces did with one adapter of the list: the address its
// socket stands for ("0.0.0.0" for an adapter without one), or, with no
// socket, the system's text of the last failed open (empty when the adapter
// had only 0.0.0.0 entries). Read by wizardctl when nothing answered.
struct AdapterOutcome
{
    QString name; // the interface name
    QString ip;   // empty: no socket
    QString error;
};

class TFormUDP : public QObject
{
    Q_OBJECT

public:
    // `state` must outlive the engine. Null seams mean the installed ones
    // (DatagramSocketFactory::Current(), AdapterSource::Current()), looked
    // up at each use. Chooses the local MAC: the first adapter with a
    // non-zero address, else six pseudo-random bytes.
    explicit TFormUDP(DeviceState &state, DatagramSocketFactory *factory = nullptr,
                      AdapterSource *adapters = nullptr, QObject *parent = nullptr);
    // Logs out of a logged-in device (without waiting) and closes the sockets.
    ~TFormUDP() override;
    TFormUDP(const TFormUDP &) = delete;
    TFormUDP &operator=(const TFormUDP &) = delete;

    // Send operations. `wait` is in product milliseconds; 0 sends without
    // waiting (pending returns to REQ_NONE at once, any answer is ignored
    // and no time-out is posted). Only discovery can fail: false when
    // re-initialising opens no socket. Nothing is sent then, and the caller
    // tells the user that no adapter could be used (ER_Ethr_Interface).
    bool SendDiscover(int wait, bool reinit);
    void SendLogin(int wait); // to the state's SelectedDevice
    void SendLogout(int wait);
    void SendGetConfig(int wait);
    void SendGetMode(int wait);
    void SendSetMode(int wait, int mode);
    void SendIPSetting(int wait); // the state's NewIpConfig
    void SendWlSetting(int wait); // the state's NewWlConfig, also below
    void SendWlStationSetting(int wait);
    void SendWPSPBC(int wait);
    void SendWPSPIN(int wait, WpsPinForm form = WpsPinForm::Enrollee);
    void SendSiteSurvey(int wait);
    void SendStationGetConfig(int wait);

    // Append copies, in list order, to the caller's list.
    void GetDeviceList(std::vector<DeviceRecord> &list) const;
    void GetSurveyList(std::vector<SurveyEntry> &list) const;
    void GetWpsSurveyList(std::vector<SurveyEntry> &list) const; // only entries with Wps

    // A login succeeded and neither a logout nor a connection time-out
    // has been seen since.
    bool loggedIn() const { return m_loggedIn; }
    // Dotted local address of the socket that delivered the latest datagram.
    QString LocalIP() const { return m_localIP; }

    // Where UM_UDP_REPLY, UM_UDP_TIMEOUT and UM_UDP_EVENT go; null (the
    // default) means MainWindow() at the time of posting.
    void SetNotifyTarget(QObject *target);

    // Opens one socket per usable adapter; false when none opened. An
    // adapter with no IPv4 address at all gets one socket on "0.0.0.0".
    bool InitInterfaces();
    // One entry per adapter of the latest InitInterfaces, in list order.
    const std::vector<AdapterOutcome> &AdapterOutcomes() const { return m_outcomes; }
    // Logs out first when logged in, then closes every socket.
    void CloseInterfaces();
    // Reads one datagram from `socket` and hands it to ProcRecvData.
    void UDPSocketRead(DatagramSocket *socket);
    // The acceptance checks, decipher, dump and dispatch of one datagram.
    void ProcRecvData(uint8_t *data, int size, DatagramSocket *socket, uint16_t senderPort,
                      const QString &senderAddress);

    // State, for the command-line client, the log and tests.
    int Pending() const { return m_pending; }
    bool Waiting() const;
    uint16_t DevicePort() const { return m_devicePort; }
    const MacAddress &LocalMac() const { return m_localMac; }
    const MacAddress &PeerFilter() const { return m_peerFilter; }
    int SocketCount() const { return int(m_sockets.size()); }
    DatagramSocket *Socket(int index) const { return m_sockets.at(size_t(index)).get(); }

protected:
    // UM_SOCKET_DATA with wParam 1 runs UDPSocketRead for the socket in lParam.
    bool event(QEvent *event) override;

private:
    // Dotted text to a host-order address; anything unparsable is 0.
    static uint32_t HostOrder(const QString &text);
    DatagramSocketFactory &Factory() const;
    AdapterSource &Adapters() const;

    // Opens the socket of `adapter` on `ip`; true when it joined the list.
    bool OpenSocket(const AdapterEntry &adapter, const AdapterAddress &address, AdapterOutcome &outcome);
    // Every request: the operation's log line, then Send.
    void Issue(const char *operation, int kind, int wait, Protocol::Request request);
    // Sends `request` as the pending request of `kind` and starts its wait.
    void Send(int kind, int wait, Protocol::Request &request);
    // The receiver's log line; then true when `kind` is pending, otherwise
    // the line that the answer is ignored.
    bool Expecting(const char *receiver, int kind) const;
    QByteArray PasswordKey() const;
    void SendPacket(uint8_t *packet, size_t size);
    void Post(int id, intptr_t wParam, intptr_t lParam);
    void StopWait();
    void TimerWaitTimer();

    void RecvDiscover(const uint8_t *data, size_t size, DatagramSocket *socket, const QString &senderAddress);
    void RecvLogin(const uint8_t *data, size_t size);
    void RecvLogout(const uint8_t *data, size_t size);
    void RecvGetConfig(const uint8_t *data, size_t size);
    void RecvSetConfig(const uint8_t *data, size_t size);
    void RecvEvent(const uint8_t *data, size_t size);
    void RecvSiteSurvey(const uint8_t *data, size_t size);
    void RecvStationGetConfig(const uint8_t *data, size_t size);

    DeviceState &m_state;
    DatagramSocketFactory *m_factory;
    AdapterSource *m_adapters;
    QTimer *m_timerWait; // TimerWait, owned as a child
    int m_pending = REQ_NONE;
    MacAddress m_localMac{};
    MacAddress m_peerFilter{}; // all zero until the first discovery
    // The device the pending login is meant for. The peer filter is still
    // open while a login is pending, so only this MAC may answer it.
    MacAddress m_loginTarget{};
    uint16_t m_devicePort = Protocol::kDevicePort;
    std::vector<std::unique_ptr<DatagramSocket>> m_sockets;
    std::vector<AdapterOutcome> m_outcomes;
    std::vector<DeviceRecord> m_devices;
    std::vector<SurveyEntry> m_survey;
    bool m_loggedIn = false;
    QString m_localIP;
    bool m_customTarget = false;
    QPointer<QObject> m_notifyTarget; // a destroyed target drops the messages
};

// The program's one engine (created at start-up); null until set.
TFormUDP *FormUDP();
void SetFormUDP(TFormUDP *engine);
