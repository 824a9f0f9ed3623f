// Any datagram through the whole engine receive path: acceptance checks,
// decipher, dump and the receiver of its command, with the engine in any
// request state. The first input byte picks the request outstanding when
// the datagram arrives (and whether the peer filter is locked by a login);
// the rest is the datagram. The engine runs on a one-adapter stub network;
// nothing is sent anywhere.
#include "app/debug.h"
#include "app/devicestate.h"
#include "protocol/formudp.h"
#include "protocol/iphelp.h"
#include "protocol/packet.h"
#include "protocol/rc4encry.h"

#include <QCoreApplication>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

class StubSocket : public DatagramSocket
{
public:
    bool Open(const QString &, const QString &address, uint16_t port) override
    {
        m_address = address;
        m_port = port;
        m_open = true;
        return true;
    }
    void Close() override { m_open = false; }
    bool IsOpen() const override { return m_open; }
    bool SendTo(const QByteArray &, uint16_t, const QString &) override { return m_open; }
    int Recv(ReceivedDatagram &) override { return -1; }
    bool HasPendingDatagram() const override { return false; }
    void SetReadyCallback(std::function<void()>) override {}
    QString Address() const override { return m_address; }
    uint16_t Port() const override { return m_port; }

private:
    QString m_address;
    uint16_t m_port = 0;
    bool m_open = false;
};

class StubNetwork : public DatagramSocketFactory, public AdapterSource
{
public:
    std::unique_ptr<DatagramSocket> Create() override { return std::make_unique<StubSocket>(); }
    std::optional<AdapterList> GetAdapters() override
    {
        AdapterEntry adapter;
        adapter.name = QStringLiteral("eth0");
        adapter.mac = {0x00, 0x0C, 0x29, 0xAA, 0x00, 0x01};
        adapter.addresses = {{QStringLiteral("10.77.0.1"), QStringLiteral("255.255.255.0")}};
        return AdapterList{adapter};
    }
};

DeviceState g_state; // the engine's record for the whole run
StubNetwork *g_network = nullptr;
TFormUDP *g_engine = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    SetDebugTextHook([](const char *) {});
    g_state.Password = QStringLiteral("admin");
    // The login goes to this device; only its answer can end the login.
    g_state.SelectedDevice.Mac = {0x00, 0x1D, 0x73, 0x01, 0x02, 0x03};
    g_network = new StubNetwork; // lives for the whole run
    g_engine = new TFormUDP(g_state, g_network, g_network);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    TFormUDP &engine = *g_engine;
    engine.SendDiscover(0, true); // fresh sockets, open filter, device list emptied
    if (data[0] & 0x80) {
        // A successful login locks the filter to the device and may move the port.
        engine.SendLogin(1000);
        std::vector<uint8_t> answer = {'S',  'W',  'P',  '1',  '2',  '3',  '4', '5', 2, // magic, version
                                       0x00, 0x1D, 0x73, 0x01, 0x02, 0x03,              // device MAC
                                       1,    0,    7,                                   // CMD_LOGIN, length
                                       0x91, 0x01, 0x01, 0x92, 0x02, 0x17, 0x70};       // result 1, port 6000
        Protocol::CipherPayload("admin", answer.data() + Protocol::kHeaderSize,
                                answer.size() - Protocol::kHeaderSize);
        engine.ProcRecvData(answer.data(), int(answer.size()), engine.Socket(0), 5432,
                            QStringLiteral("10.77.0.2"));
        if (!engine.loggedIn() || engine.DevicePort() != 6000)
            __builtin_trap(); // the harness would no longer test what it says
    }
    switch ((data[0] & 0x7F) % 13) {
    case 0:
        engine.SendDiscover(1000, false);
        break;
    case 1:
        engine.SendLogin(1000);
        break;
    case 2:
        engine.SendLogout(1000);
        break;
    case 3:
        engine.SendGetConfig(1000);
        break;
    case 4:
        engine.SendGetMode(1000);
        break;
    case 5:
        engine.SendSetMode(1000, 2);
        break;
    case 6:
        engine.SendIPSetting(1000);
        break;
    case 7:
        engine.SendWlSetting(1000);
        break;
    case 8:
        engine.SendWlStationSetting(1000);
        break;
    case 9:
        engine.SendWPSPBC(1000);
        break;
    case 10:
        engine.SendWPSPIN(1000, WpsPinForm::UpstreamSsid);
        break;
    case 11:
        engine.SendSiteSurvey(1000);
        break;
    default:
        engine.SendStationGetConfig(1000);
        break;
    }
    std::vector<uint8_t> datagram(data + 1, data + size);
    engine.ProcRecvData(datagram.data(), int(datagram.size()), engine.Socket(0), 5432,
                        QStringLiteral("10.77.0.2"));
    return 0;
}
