// A millisecond timer on the platform clock, held by value, that reports each expiry once.
#pragma once

#include <cstdint>

namespace tdx {

class Timer {
public:
    // Timeout 0, not started.
    Timer() = default;
    // The given timeout in milliseconds, not started.
    explicit Timer(unsigned int timeout);

    // Stores the timeout; neither starts nor stops the timer.
    void setTimeout(unsigned int timeout);
    unsigned int getTimeout() const;

    // Takes the present clock as the start of the period and marks the timer started; a started timer
    // restarts with its full timeout.
    void start();
    void cancel();
    bool isStarted() const;

    // True exactly once per start: when started and at least the timeout has passed since the start. The
    // start then moves to the present clock and the timer stops. A timeout of 0 fires at the first call.
    bool isTimedOut();

    // Milliseconds left until start + timeout, 0 once that has passed. A stopped timer answers from its last
    // start; one that was never started answers its full timeout.
    unsigned int getRemainingTime() const;

private:
    uint64_t mStart = 0;
    unsigned int mTimeout = 0;
    bool mStarted = false;
    bool mEverStarted = false;
};

} // namespace tdx
