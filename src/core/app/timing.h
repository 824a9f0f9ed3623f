#pragma once
// The one place every wait of the program goes through: engine waits, page
// timers, ProcessDelay, the progress dialog's ticks, the WPS tick window.
// The product runs with scale 1; tests shrink the scale so that a 32-second
// time-out passes in a fraction of a second without any change of logic.

#include <cstdint>
#include <functional>

namespace Timing {

// Milliseconds to hand to a timer for a wait of `ms` product milliseconds.
// Never returns less than 1 for a positive wait, so a scaled wait still
// lets the event loop run once; 0 stays 0.
int Scaled(int ms);

// Current scale factor (1.0 in the product).
double Scale();

// Sets the scale factor; values <= 0 are ignored.
void SetScale(double scale);

// Called with every positive wait handed to Scaled, in product
// milliseconds, before scaling (empty: nothing is called). Lets tests see
// which wait each request and timer asks for without waiting for it.
using WaitObserver = std::function<void(int ms)>;
void SetWaitObserver(WaitObserver observer);

// A steady millisecond tick count. Differences are taken as unsigned 32-bit
// values, so wrap-around is harmless. Under a scale below 1 the count runs
// faster by the same factor, so tick windows shrink with the waits.
uint32_t TickCount();

} // namespace Timing
