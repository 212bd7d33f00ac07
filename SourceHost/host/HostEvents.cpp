#include "SourceHost/host/HostEvents.h"

#include <algorithm>
#include <chrono>

namespace tdx {

CEvent& CEvent::operator+=(CEventHandler* handler) {
    mHandlers.push_back(handler);
    return *this;
}

CEvent& CEvent::operator-=(CEventHandler* handler) {
    mHandlers.erase(std::remove(mHandlers.begin(), mHandlers.end(), handler), mHandlers.end());
    return *this;
}

void CEvent::operator()(void* sender, CEventArgs* args) const {
    const std::vector<CEventHandler*> handlers = mHandlers;
    for (CEventHandler* handler : handlers) {
        if (handler != nullptr) {
            handler->invoke(sender, args);
        }
    }
}

namespace {
// Taken when the program's statics are made, before main: the program's start.
const std::chrono::steady_clock::time_point sProgramStart = std::chrono::steady_clock::now();
} // namespace

int64_t CTime::MillisSinceStart() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 sProgramStart)
        .count();
}

} // namespace tdx
