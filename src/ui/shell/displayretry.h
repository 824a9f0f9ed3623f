#pragma once
// A display that refuses the connection at start must not abort the
// program. The toolkit ends in a fatal error (SIGABRT) when its platform
// connection fails, and an X server under load drops now and then a new
// client that arrives just as another one leaves; a moment later the same
// connection succeeds. While a DisplayRetry lives (around the making of the
// application object), that fatal error makes the program release what the
// next copy needs (the single-instance lock), wait a little and start
// itself again; after the last try it prints one line and ends with
// status 1. Linux only: elsewhere it does nothing.

#include <functional>

class DisplayRetry
{
public:
    // `argv` as main got it (copied now: the toolkit edits it); `release` is
    // called before the program starts itself again.
    DisplayRetry(int argc, char **argv, std::function<void()> release);
    ~DisplayRetry();
    DisplayRetry(const DisplayRetry &) = delete;
    DisplayRetry &operator=(const DisplayRetry &) = delete;

    // Tries in all, the first start included.
    static constexpr int kTries = 5;
};
