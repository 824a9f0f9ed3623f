// The engine's side of the answers: each decoder checks that its request is
// the pending one, decodes into the device-state record or the engine's
// lists, and posts the one reply the request gets.
#include "protocol/formudp.h"

#include "app/debug.h"
#include "messages/appmessage.h"
#include "protocol/protocolcodec.h"

#include <algorithm>
#include <iterator>

using namespace Protocol;

bool TFormUDP::Expecting(const char *receiver, int kind) const
{
    DebugPrint("TFormUDP::%s()", receiver);
    if (m_pending == kind)
        return true;
    DebugPrint("  ignore data");
    return false;
}

void TFormUDP::RecvDiscover(const uint8_t *data, size_t size, DatagramSocket *socket,
                            const QString &senderAddress)
{
    if (!Expecting("RecvDiscover", REQ_DISCOVER))
        return;
    const MacAddress mac = HeaderMac(data);
    const bool known = std::any_of(m_devices.begin(), m_devices.end(),
                                   [&mac](const DeviceRecord &device) { return device.Mac == mac; });
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
    record.Mac = mac;
    m_devices.push_back(record);
}

void TFormUDP::RecvLogin(const uint8_t *data, size_t size)
{
    if (!Expecting("RecvLogin", REQ_LOGIN))
        return;
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
    if (!Expecting("RecvLogout", REQ_LOGOUT))
        return;
    StopWait();
    const ResultAnswer answer = DecodeResult(data + kHeaderSize, size - kHeaderSize, false);
    m_loggedIn = answer.result == 0;
    Post(UM_UDP_REPLY, REQ_LOGOUT, answer.result);
}

void TFormUDP::RecvGetConfig(const uint8_t *data, size_t size)
{
    if (!Expecting("RecvGetConfig", REQ_GET_CONFIG))
        return;
    StopWait();
    int deviceMode = m_state.DeviceMode;
    DecodeGetConfig(data + kHeaderSize, size - kHeaderSize,
                    {m_state.CurIpConfig, m_state.CurWlConfig, deviceMode});
    m_state.DeviceMode = deviceMode;
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
    if (!Expecting("RecvSiteSurvey", REQ_SITE_SURVEY))
        return;
    StopWait();
    m_survey = DecodeSurvey(data + kHeaderSize, size - kHeaderSize);
    Post(UM_UDP_REPLY, REQ_SITE_SURVEY, 0);
}

void TFormUDP::RecvStationGetConfig(const uint8_t *data, size_t size)
{
    if (!Expecting("RecvStationGetConfig", REQ_STATION_GET_CONFIG))
        return;
    StopWait();
    DecodeStationGetConfig(data + kHeaderSize, size - kHeaderSize, m_state.ApClientPin,
                           sizeof m_state.ApClientPin);
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
