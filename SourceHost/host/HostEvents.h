// A multicast event of the host: handlers registered in order (the same one may be registered more than once)
// and called in that order with the sender and the event's arguments. And the host's steady clock.
#pragma once

#include <cstdint>
#include <vector>

namespace tdx {

// The arguments an event passes to its handlers; a timer's notification passes whether the timer fired.
struct CEventArgs {
    bool timerOrWaitFired = false;
};

class CEventHandler {
public:
    virtual ~CEventHandler() = default;
    virtual void invoke(void* sender, CEventArgs* args) = 0;
};

class CEvent {
public:
    // Appends the handler; a null one is kept but never called.
    CEvent& operator+=(CEventHandler* handler);
    // Removes every registration of the handler; nothing when absent.
    CEvent& operator-=(CEventHandler* handler);
    // Each handler in registration order. A handler that changes the registrations while it runs affects the
    // next raise, not this one.
    void operator()(void* sender, CEventArgs* args) const;
    size_t size() const { return mHandlers.size(); }

private:
    std::vector<CEventHandler*> mHandlers;
};

class CTime {
public:
    // Milliseconds since the program started, on a clock that never goes back (not the wall clock).
    static int64_t MillisSinceStart();
};

} // namespace tdx
