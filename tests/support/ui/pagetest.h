#pragma once
// Helpers for widget tests of wizard pages: a stand-in for the
// application's main window that records the wizard commands pages post and
// hands the engine's messages on to the page under test (as the host does),
// and a bench that runs the real protocol engine on the in-process fake
// network with simulated devices. The fake network (core/fakenetwork.h)
// and the log capture (core/logcapture.h) come with it.

#include "app/records.h"
#include "core/fakenetwork.h"
#include "core/logcapture.h"
#include "protocol/formudp.h"

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <memory>
#include <vector>

class TFrameBase;

struct RecordedMessage
{
    int id;
    intptr_t wParam;
    intptr_t lParam;
};

// Installed as the main window while it lives (the previous one comes back
// when it is destroyed). Every AppMessage that reaches it is recorded;
// engine messages (UM_UDP_REPLY, UM_UDP_TIMEOUT, UM_UDP_EVENT) are then
// passed on synchronously to `page` when one is set.
class MainWindowRecorder : public QObject
{
public:
    MainWindowRecorder();
    ~MainWindowRecorder() override;

    QPointer<QObject> page;
    std::vector<RecordedMessage> messages;

    // The wParams of the UM_WIZARD_COMMAND messages, in arrival order.
    std::vector<int> Commands() const;
    // The engine messages that arrived, in order.
    std::vector<RecordedMessage> EngineMessages() const;
    void Clear() { messages.clear(); }

protected:
    bool event(QEvent *event) override;

private:
    QObject *m_previous;
};

// The real engine on a fake segment "eth0" (this PC at 192.168.1.100/24).
// The engine is installed as the program's engine while the bench lives.
class EngineBench
{
public:
    static constexpr const char *LocalAddress = "192.168.1.100";

    EngineBench();
    ~EngineBench();

    // Attaches a simulated device on "eth0" at `ip`.
    FakeDevice &AddDevice(SimDeviceConfig config, const QString &ip = QStringLiteral("192.168.1.1"));

    // Requests of `kind` the device with index `device` has seen.
    int Requests(SimKind kind, int device = 0);

    // A whole discovery (re-initialising the engine); the devices found.
    std::vector<DeviceRecord> Discover();
    // Discovery, then g_Var.SelectedDevice := device `index` and a login
    // with g_Var.Password. True when the engine is logged in afterwards.
    bool Login(int index = 0);
    // A configuration read into g_Var; true when the device saw it.
    bool ReadConfig();
    // Waits until the engine has no request outstanding and its last
    // message has been delivered.
    bool WaitIdle(int ms = 5000);

    FakeNetwork network;
    std::unique_ptr<TFormUDP> engine;
};

// A configuration of a simulated device with the given MAC's last byte and
// name.
SimDeviceConfig SimConfig(uint8_t macLast = 1, const QByteArray &name = "AP-0001");

// Runs the event loop until `done` holds or `ms` real milliseconds pass.
bool WaitUntil(const std::function<bool()> &done, int ms = 5000);

// Delivers everything already posted (commands, engine messages).
void FlushPosted();
