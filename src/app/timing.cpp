#include "app/timing.h"

#include <QElapsedTimer>
#include <cmath>

namespace {

double g_scale = 1.0;

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

uint32_t TickCount()
{
    const double elapsed = static_cast<double>(Clock().elapsed());
    return static_cast<uint32_t>(static_cast<uint64_t>(elapsed / g_scale));
}

} // namespace Timing
