#include "app/timing.h"

#include <QElapsedTimer>
#include <cmath>
#include <utility>

namespace {

double g_scale = 1.0;
Timing::WaitObserver g_observer;

QElapsedTimer &Clock()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock;
}

} // namespace

namespace Timing {

int Scaled(int ms)
{
    if (ms <= 0)
        return 0;
    if (g_observer)
        g_observer(ms);
    const double scaled = std::ceil(ms * g_scale);
    if (scaled < 1.0)
        return 1;
    if (scaled > 2147483647.0)
        return 2147483647;
    return static_cast<int>(scaled);
}

double Scale()
{
    return g_scale;
}

void SetScale(double scale)
{
    if (scale > 0.0)
        g_scale = scale;
}

void SetWaitObserver(WaitObserver observer)
{
    g_observer = std::move(observer);
}

uint32_t TickCount()
{
    const double elapsed = static_cast<double>(Clock().elapsed());
    return static_cast<uint32_t>(static_cast<uint64_t>(elapsed / g_scale));
}

} // namespace Timing
