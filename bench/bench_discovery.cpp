// A busy segment: 1,000 simulated devices answer one discovery at once (one
// devicesim on both lab links, so 2,000 answers arrive). Measures the time
// from SendDiscover (sockets opened anew, as the device list's Refresh
// does) to the moment the engine's list holds the 1,000th device. Runs
// inside the network lab; started outside it, it builds one. Reports the
// median and the slowest run in milliseconds ("median_ms", "max_ms").
#include "benchlab.h"

#include "messages/appmessage.h"
#include "protocol/formudp.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

namespace {

constexpr size_t kDevices = 1000;

// Takes the engine's messages (the discovery's time-out) so that none goes
// to a missing main window.
class Sink : public QObject
{
public:
    bool event(QEvent *e) override { return e->type() == AppMessage::eventType() || QObject::event(e); }
};

size_t Listed(const TFormUDP &engine)
{
    std::vector<DeviceRecord> list;
    engine.GetDeviceList(list);
    return list.size();
}

void BM_DiscoveryToThe1000thAnswer(benchmark::State &state)
{
    Sink sink;
    DeviceState device;
    TFormUDP engine(device);
    engine.SetNotifyTarget(&sink);
    std::vector<double> samples;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        if (!engine.SendDiscover(4000, true)) {
            state.SkipWithError("no adapter could be opened");
            return;
        }
        const QDeadlineTimer deadline(4000);
        size_t listed = 0;
        while (listed < kDevices && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
            listed = Listed(engine);
        }
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        if (listed < kDevices) {
            state.SkipWithError(("only " + std::to_string(listed) + " devices listed").c_str());
            return;
        }
        state.SetIterationTime(seconds);
        samples.push_back(seconds * 1e3);
        // The duplicates through the other link come to an end before the
        // next round, so none of them counts for it.
        const QDeadlineTimer settle(300);
        while (!settle.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    }
    std::sort(samples.begin(), samples.end());
    if (!samples.empty()) {
        state.counters["median_ms"] = samples[samples.size() / 2];
        state.counters["max_ms"] = samples.back();
    }
}
BENCHMARK(BM_DiscoveryToThe1000thAnswer)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (!BenchLab::Inside())
        return BenchLab::RunInLab(argc, argv, {QStringLiteral("--dev-count"), QStringLiteral("1000")});
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
