// One request/answer round trip through the real engine on real sockets:
// SendGetConfig out through both lab adapters, the simulated device's
// answer in, decoded into its record and posted as UM_UDP_REPLY. Runs only inside
// the network lab; started outside it, the benchmark builds a lab (root)
// and re-runs itself in the "pc" namespace. Reports the median round trip
// in microseconds as the counter "median_us".
#include "benchlab.h"

#include "app/devicestate.h"
#include "messages/appmessage.h"
#include "protocol/formudp.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>

namespace {

class Recorder : public QObject
{
public:
    bool event(QEvent *e) override
    {
        if (e->type() != AppMessage::eventType())
            return QObject::event(e);
        const auto *m = static_cast<AppMessage *>(e);
        if (m->id == UM_UDP_REPLY || m->id == UM_UDP_TIMEOUT)
            last = {m->id, int(m->wParam)};
        return true;
    }
    std::pair<int, int> last{0, 0};
};

// Runs the loop until the engine answers `kind`; false on time-out.
bool Await(Recorder &recorder, int kind, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (recorder.last.second == kind && recorder.last.first != 0)
            return recorder.last.first == UM_UDP_REPLY;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    }
    return false;
}

void BM_GetConfigRoundTrip(benchmark::State &state)
{
    Recorder recorder;
    DeviceState device;
    TFormUDP engine(device);
    engine.SetNotifyTarget(&recorder);
    device.Password = QStringLiteral("tulip");
    if (!engine.SendDiscover(500, true) || !Await(recorder, REQ_DISCOVER, 3000)) {
        // Discovery always ends in its time-out; only the device list counts.
    }
    std::vector<DeviceRecord> devices;
    engine.GetDeviceList(devices);
    if (devices.empty()) {
        state.SkipWithError("no simulated device answered the discovery");
        return;
    }
    device.SelectedDevice = devices.front();
    recorder.last = {0, 0};
    engine.SendLogin(3000);
    if (!Await(recorder, REQ_LOGIN, 4000) || !engine.loggedIn()) {
        state.SkipWithError("login failed");
        return;
    }

    std::vector<double> samples;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        recorder.last = {0, 0};
        engine.SendGetConfig(3000);
        if (!Await(recorder, REQ_GET_CONFIG, 4000)) {
            state.SkipWithError("get-config timed out");
            return;
        }
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        samples.push_back(seconds * 1e6);
    }
    std::sort(samples.begin(), samples.end());
    if (!samples.empty()) {
        state.counters["median_us"] = samples[samples.size() / 2];
        state.counters["p90_us"] = samples[std::min(samples.size() - 1, samples.size() * 9 / 10)];
    }
}
BENCHMARK(BM_GetConfigRoundTrip)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(500);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // Outside the lab: one device on dev0.
    if (!BenchLab::Inside())
        return BenchLab::RunInLab(argc, argv, {QStringLiteral("--dev-args"), QStringLiteral("--device iface=dev0")});
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
