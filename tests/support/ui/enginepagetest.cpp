#include "ui/enginepagetest.h"

#include "app/timing.h"
#include "framework/formprogress.h"
#include "protocol/formudp.h"

#include <QElapsedTimer>
#include <QTimer>

void PrintTo(const RecordedWait &wait, std::ostream *out)
{
    *out << "{kind " << wait.kind << ", " << wait.ms << " ms}";
}

WaitRecorder::WaitRecorder()
{
    Timing::SetWaitObserver([this](int ms) {
        if (ms == TFormProgress::TickInterval)
            return;
        const TFormUDP *engine = FormUDP();
        m_waits.push_back({engine ? engine->Pending() : REQ_NONE, ms});
    });
}

WaitRecorder::~WaitRecorder()
{
    Timing::SetWaitObserver({});
}

void WhenReady(QObject *context, std::function<bool()> ready, std::function<void()> act, int ms)
{
    auto *timer = new QTimer(context);
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(timer, &QTimer::timeout, context, [timer, started, ready, act, ms] {
        if (!ready() && started->elapsed() < ms)
            return;
        timer->stop();
        timer->deleteLater();
        act();
    });
    timer->start(5);
}

void BenchPageTest::SetUp()
{
    Timing::SetScale(0.01);
    g_Var.NonWorking = false;
    g_Var.Password = QStringLiteral("tulip");
    ResetIpConfig(g_Var.CurIpConfig);
    ResetIpConfig(g_Var.NewIpConfig);
}

void BenchPageTest::TearDown()
{
    Timing::SetScale(1.0);
}

std::vector<int> BenchPageTest::Commands()
{
    FlushPosted();
    return main.Commands();
}

void SimDevicePageTest::SetUp()
{
    config_ = SimDeviceConfig{};
    g_Var.Password = QStringLiteral("tulip");
    host_.Clear();
    ui_.Clear();
    g_Var.NonWorking = false;
    g_Var.SelectedAp = SurveyEntry{};
}

void SimDevicePageTest::TearDown()
{
    bench_.reset();
    g_Var.NonWorking = false;
    Timing::SetScale(1.0);
}

SimDevice &SimDevicePageTest::StartDevice()
{
    bench_ = std::make_unique<EngineBench>();
    SimDevice &sim = *bench_->AddDevice(config_).sim;
    const std::vector<DeviceRecord> devices = bench_->Discover();
    EXPECT_EQ(devices.size(), 1u);
    if (!devices.empty())
        g_Var.SelectedDevice = devices.front();
    return sim;
}
