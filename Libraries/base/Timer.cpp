#include "Libraries/base/Timer.h"

#include "Libraries/base/os.h"

namespace tdx {

Timer::Timer(unsigned int timeout)
    : mTimeout(timeout) {}

void Timer::setTimeout(unsigned int timeout) {
    mTimeout = timeout;
}

unsigned int Timer::getTimeout() const {
    return mTimeout;
}

void Timer::start() {
    mStart = timer();
    mStarted = true;
    mEverStarted = true;
}

void Timer::cancel() {
    mStarted = false;
}

bool Timer::isStarted() const {
    return mStarted;
}

bool Timer::isTimedOut() {
    if (!mStarted) {
        return false;
    }
    const uint64_t now = timer();
    if (now - mStart < mTimeout) {
        return false;
    }
    mStart = now;
    mStarted = false;
    return true;
}

unsigned int Timer::getRemainingTime() const {
    if (!mEverStarted) {
        return mTimeout;
    }
    const uint64_t elapsed = timer() - mStart;
    return elapsed >= mTimeout ? 0 : static_cast<unsigned int>(mTimeout - elapsed);
}

} // namespace tdx
