#include "ui/pagetest.h"

#include "app/globalvar.h"
#include "messages/appmessage.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

MainWindowRecorder::MainWindowRecorder() : m_previous(MainWindow())
{
    SetMainWindow(this);
}

MainWindowRecorder::~MainWindowRecorder()
{
    SetMainWindow(m_previous);
}

std::vector<int> MainWindowRecorder::Commands() const
{
    std::vector<int> commands;
    for (const RecordedMessage &message : messages)
        if (message.id == UM_WIZARD_COMMAND)
            commands.push_back(int(message.wParam));
    return commands;
}

std::vector<RecordedMessage> MainWindowRecorder::EngineMessages() const
{
    std::vector<RecordedMessage> result;
    for (const RecordedMessage &message : messages)
        if (message.id != UM_WIZARD_COMMAND)
            result.push_back(message);
    return result;
}

bool MainWindowRecorder::event(QEvent *event)
{
    if (event->type() != AppMessage::eventType())
        return QObject::event(event);
    const auto *message = static_cast<AppMessage *>(event);
    messages.push_back({message->id, message->wParam, message->lParam});
    if (message->id != UM_WIZARD_COMMAND && page)
        SendAppMessage(page, message->id, message->wParam, message->lParam);
    return true;
}

EngineBench::EngineBench()
{
    network.AddAdapter(
        FakeNetwork::MakeAdapter(QStringLiteral("eth0"), MacAddress{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E},
                                 {{QString::fromLatin1(LocalAddress), QStringLiteral("255.255.255.0")}}));
    engine = std::make_unique<TFormUDP>(g_Var, &network, &network);
    SetFormUDP(engine.get());
}

EngineBench::~EngineBench()
{
    SetFormUDP(nullptr);
    engine.reset();
}

FakeDevice &EngineBench::AddDevice(SimDeviceConfig config, const QString &ip)
{
    return network.AddSimDevice(std::move(config), {QStringLiteral("eth0")}, ip);
}

int EngineBench::Requests(SimKind kind, int device)
{
    const auto &requests = network.Devices().at(size_t(device))->sim->Requests();
    const auto found = requests.find(kind);
    return found == requests.end() ? 0 : found->second;
}

bool EngineBench::WaitIdle(int ms)
{
    const bool idle = WaitUntil([this] { return !engine->Waiting(); }, ms);
    FlushPosted();
    return idle;
}

std::vector<DeviceRecord> EngineBench::Discover()
{
    std::vector<DeviceRecord> devices;
    if (engine->SendDiscover(4000, true) && WaitIdle())
        engine->GetDeviceList(devices);
    return devices;
}

bool EngineBench::Login(int index)
{
    const std::vector<DeviceRecord> devices = Discover();
    if (index >= int(devices.size()))
        return false;
    g_Var.SelectedDevice = devices[size_t(index)];
    engine->SendLogin(5000);
    WaitIdle();
    return engine->loggedIn();
}

bool EngineBench::ReadConfig()
{
    const int before = Requests(SimKind::GetConfig);
    engine->SendGetConfig(15000);
    WaitIdle();
    return Requests(SimKind::GetConfig) > before;
}

SimDeviceConfig SimConfig(uint8_t macLast, const QByteArray &name)
{
    SimDeviceConfig config;
    config.mac = MacAddress{0x02, 0x00, 0x4C, 0x00, 0x00, macLast};
    config.name = name;
    return config;
}

bool WaitUntil(const std::function<bool()> &done, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

void FlushPosted()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}
