#include "SourceApp/gui/core/state/SerializedState.h"

#include <atomic>

namespace tdx::detail {

unsigned next_unique_id() {
    static std::atomic<unsigned> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

} // namespace tdx::detail
