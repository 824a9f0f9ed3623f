// The simulated device on real sockets inside the network lab: discovery
// over the two pc adapters with broadcast and unicast answers, a device
// whose own address is on another subnet than the pc side (it can only be
// reached by broadcast), and the login and state file across processes.
// The wizard side is a bare CUDPSocket per adapter with the wizard's codec.
#include "core/toolrun.h"
#include "ui/lab.h"

#include "app/records.h"
#include "protocol/cudpsocket.h"
#include "protocol/packet.h"
#include "protocol/protocolcodec.h"
#include "protocol/rc4encry.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QProcess>
#include <gtest/gtest.h>
#include <set>

using namespace Protocol;

namespace {

struct Heard
{
    QString adapter; // pc0 or pc1
    ReceivedDatagram datagram;
};

// One wizard-side socket per pc adapter, bound like the engine's.
class PcSide
{
public:
    PcSide()
    {
        const std::pair<const char *, const char *> adapters[] = {{"pc0", "10.77.0.1"}, {"pc1", "10.77.1.1"}};
        for (const auto &[name, ip] : adapters) {
            auto socket = std::make_unique<CUDPSocket>();
            EXPECT_TRUE(socket->Open(name, ip, kWizardPort)) << name;
            EXPECT_TRUE(socket->BoundToDevice()) << name;
            CUDPSocket *raw = socket.get();
            const QString adapter = QString::fromLatin1(name);
            socket->SetReadyCallback([this, raw, adapter] {
                ReceivedDatagram d;
                if (raw->Recv(d) > 0)
                    heard_.push_back({adapter, d});
            });
            sockets_.push_back(std::move(socket));
        }
    }

    // Sends `request` through both adapters, enciphered under `password`.
    void Broadcast(Request request, const QByteArray &password = {})
    {
        if (request.Data()[kOffCommand] != CMD_DISCOVER)
            CipherPayload(std::string_view(password.constData(), size_t(password.size())),
                          request.Data() + kHeaderSize, request.PayloadLength());
        const QByteArray bytes(reinterpret_cast<const char *>(request.Data()), int(request.Size()));
        for (const auto &socket : sockets_)
            EXPECT_TRUE(socket->SendTo(bytes, kDevicePort, QStringLiteral("255.255.255.255")));
    }

    // Everything heard within `ms` (or once `count` datagrams are in).
    std::vector<Heard> Listen(int ms, size_t count = SIZE_MAX)
    {
        QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired() && heard_.size() < count)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
        std::vector<Heard> out = std::move(heard_);
        heard_.clear();
        return out;
    }

private:
    std::vector<std::unique_ptr<CUDPSocket>> sockets_;
    std::vector<Heard> heard_;
};

QString NameOf(const QByteArray &datagram)
{
    DeviceRecord record;
    DecodeDiscover(reinterpret_cast<const uint8_t *>(datagram.constData()) + kHeaderSize,
                   size_t(datagram.size()) - kHeaderSize, record);
    return QString::fromLatin1(record.Name);
}

// (adapter, device name, sender address) of every answer.
std::set<std::tuple<QString, QString, QString>> Summary(const std::vector<Heard> &heard)
{
    std::set<std::tuple<QString, QString, QString>> out;
    for (const Heard &h : heard)
        out.insert({h.adapter, NameOf(h.datagram.data), h.datagram.senderAddress});
    return out;
}

const MacAddress kPcMac{0x00, 0x77, 0x00, 0x00, 0x00, 0x01};

} // namespace

TEST(LabDeviceSim, DiscoveryOverTwoAdaptersWithBroadcastAnswers)
{
    LAB_RUN_INSIDE({"--dev-args", "--device name=A1 --device name=B2,iface=dev1"});
    PcSide pc;
    pc.Broadcast(BuildDiscover(kPcMac));
    const auto heard = pc.Listen(1500, 3);
    using T = std::tuple<QString, QString, QString>;
    EXPECT_EQ(Summary(heard), (std::set<T>{T{"pc0", "A1", "10.77.0.2"}, T{"pc1", "A1", "10.77.1.2"},
                                           T{"pc1", "B2", "10.77.1.2"}}));
    EXPECT_EQ(heard.size(), 3u) << "one answer per device and adapter";
    for (const Heard &h : heard)
        EXPECT_EQ(h.datagram.senderPort, kDevicePort);
}

TEST(LabDeviceSim, UnicastAnswersReachTheSender)
{
    LAB_RUN_INSIDE({"--dev-args", "--reply unicast --device name=U1"});
    PcSide pc;
    pc.Broadcast(BuildDiscover(kPcMac));
    const auto heard = pc.Listen(1500, 2);
    using T = std::tuple<QString, QString, QString>;
    EXPECT_EQ(Summary(heard), (std::set<T>{T{"pc0", "U1", "10.77.0.2"}, T{"pc1", "U1", "10.77.1.2"}}));
}

TEST(LabDeviceSim, DeviceOnAnotherSubnetAnswersByBroadcast)
{
    // dev1 has an address outside the pc side's 10.77.1.0/24: the device
    // cannot reach 10.77.1.1 by unicast, but its broadcast arrives on pc1.
    LAB_RUN_INSIDE({"--dev-ip1", "192.168.77.2/24", "--dev-args", "--device name=Far,iface=dev1"});
    PcSide pc;
    pc.Broadcast(BuildDiscover(kPcMac));
    const auto heard = pc.Listen(1500, 1);
    using T = std::tuple<QString, QString, QString>;
    EXPECT_EQ(Summary(heard), (std::set<T>{T{"pc1", "Far", "192.168.77.2"}}));
}

TEST(LabDeviceSim, LoginAndWriteShowInTheStateFile)
{
    LAB_RUN_INSIDE(
        {"--dev-args", "--state-file $LAB_DIR/state.json --device name=S1,password=lab-pass,iface=dev0"});
    PcSide pc;
    const MacAddress device{0x02, 0x00, 0x4C, 0x00, 0x00, 0x01};

    pc.Broadcast(BuildLogin(kPcMac, device), "wrong");
    auto heard = pc.Listen(1500, 1);
    ASSERT_EQ(heard.size(), 1u);
    QByteArray answer = heard[0].datagram.data;
    CipherPayload("wrong", reinterpret_cast<uint8_t *>(answer.data()) + kHeaderSize,
                  answer.size() - kHeaderSize);
    EXPECT_EQ(DecodeResult(reinterpret_cast<const uint8_t *>(answer.constData()) + kHeaderSize,
                           answer.size() - kHeaderSize, true)
                  .result,
              0)
        << "a wrong password is refused";

    pc.Broadcast(BuildLogin(kPcMac, device), "lab-pass");
    heard = pc.Listen(1500, 1);
    ASSERT_EQ(heard.size(), 1u);
    answer = heard[0].datagram.data;
    CipherPayload("lab-pass", reinterpret_cast<uint8_t *>(answer.data()) + kHeaderSize,
                  answer.size() - kHeaderSize);
    EXPECT_EQ(DecodeResult(reinterpret_cast<const uint8_t *>(answer.constData()) + kHeaderSize,
                           answer.size() - kHeaderSize, true)
                  .result,
              1);

    pc.Broadcast(BuildSetMode(kPcMac, 2), "lab-pass");
    ASSERT_EQ(pc.Listen(1500, 1).size(), 1u);
    const QJsonObject state = Lab::ReadState()["devices"].toArray().at(0).toObject();
    EXPECT_TRUE(state["loggedIn"].toBool());
    EXPECT_EQ(state["mode"].toInt(), 2);
    EXPECT_EQ(state["requests"].toObject()["login"].toInt(), 2);
}

namespace {

QByteArray Decipher(QByteArray datagram, const char *password)
{
    CipherPayload(password, reinterpret_cast<uint8_t *>(datagram.data()) + kHeaderSize,
                  size_t(datagram.size()) - kHeaderSize);
    return datagram;
}

} // namespace

TEST(LabDeviceSim, ConfigFileSetsRepliesDevicesAndSurvey)
{
    const QString config = Lab::WriteConfig("config-file", R"({
        "reply": "unicast",
        "interfaces": ["dev0"],
        "devices": [
            {"name": "Json-1", "mac": "02:00:4C:00:01:01", "password": "pw-one",
             "survey": [{"ssid": "Net-A", "bssid": "02:5A:00:00:00:AA", "signal": "85", "channel": "11",
                         "encryption": 3, "authentication": 3, "status": 1, "wps": true},
                        {"ssid": "Net-B", "signal": 7, "channel": 1}]},
            {"name": "Json-2", "mac": "02:00:4C:00:01:02", "mode": "bridge"}
        ]})");
    LAB_RUN_INSIDE({"--dev-args", "--config " + config});
    PcSide pc;
    pc.Broadcast(BuildDiscover(kPcMac));
    auto heard = pc.Listen(1500, 2);
    using T = std::tuple<QString, QString, QString>;
    EXPECT_EQ(Summary(heard), (std::set<T>{T{"pc0", "Json-1", "10.77.0.2"}, T{"pc0", "Json-2", "10.77.0.2"}}))
        << "only dev0 listens";

    const MacAddress device{0x02, 0x00, 0x4C, 0x00, 0x01, 0x01};
    pc.Broadcast(BuildLogin(kPcMac, device), "pw-one");
    heard = pc.Listen(1500, 2);
    // Json-2 cannot read a login under another password and refuses it.
    ASSERT_EQ(heard.size(), 2u);
    pc.Broadcast(BuildSiteSurvey(kPcMac), "pw-one");
    heard = pc.Listen(1500, 1);
    ASSERT_EQ(heard.size(), 1u) << "only the logged-in device answers";
    const QByteArray answer = Decipher(heard[0].datagram.data, "pw-one");
    const auto entries = DecodeSurvey(reinterpret_cast<const uint8_t *>(answer.constData()) + kHeaderSize,
                                      size_t(answer.size()) - kHeaderSize);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_STREQ(entries[0].Ssid, "Net-A");
    EXPECT_EQ(entries[0].Bssid[5], 0xAA);
    EXPECT_EQ(entries[0].Signal, 85);
    EXPECT_EQ(entries[0].Channel, 11);
    EXPECT_EQ(entries[0].Encryption, 3);
    EXPECT_EQ(entries[0].Status, 1);
    EXPECT_TRUE(entries[0].Wps);
    EXPECT_EQ(entries[1].Signal, 7);
    EXPECT_FALSE(entries[1].Wps);
}

TEST(LabDeviceSim, DelayedAndDoubledAnswers)
{
    LAB_RUN_INSIDE({"--dev-args", "--device name=Slow,iface=dev0,delay=300,twice"});
    PcSide pc;
    QElapsedTimer timer;
    timer.start();
    pc.Broadcast(BuildDiscover(kPcMac));
    EXPECT_TRUE(pc.Listen(200).empty()) << "nothing before the delay";
    const auto heard = pc.Listen(1500, 2);
    EXPECT_EQ(heard.size(), 2u);
    EXPECT_GE(timer.elapsed(), 300);
}

// The simulator's command line, run on the host: only --help and refused
// options, which end before any socket is opened.
TEST(DeviceSimCommandLine, HelpAndRefusedOptions)
{
    const QString simulator = QStringLiteral(WIZARD_BINARY_DIR "/tools/devicesim/devicesim");
    if (!QFileInfo(simulator).isExecutable())
        GTEST_SKIP() << "devicesim is not built";
    struct Case
    {
        QStringList arguments;
        int exitCode;
        const char *output; // expected in standard output or error
    } cases[] = {
        {{"--help"}, 0, "Device keys:"},
        {{"--device", "colour=blue"}, 64, "unknown device key 'colour'"},
        {{"--device", "mode=router"}, 64, "bad value 'router' for device key 'mode'"},
        {{"--device", "mac=02:00:4C"}, 64, "bad value '02:00:4C' for device key 'mac'"},
        {{"--device", "drop-everything=1"}, 64, "drop-everything"},
        {{"--reply", "multicast"}, 64, "--reply must be broadcast or unicast"},
        {{"--config", "/nonexistent/devicesim.json"}, 64, "cannot read /nonexistent/devicesim.json"},
        {{"--frobnicate"}, 64, "unknown option --frobnicate"},
    };
    for (const Case &c : cases) {
        const ToolRun run = RunTool(simulator, c.arguments, {.timeoutMs = 10000, .mergedOutput = true});
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(run.out.contains(QLatin1String(c.output))) << run;
    }
}
