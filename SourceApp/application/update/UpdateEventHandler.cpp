#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "SourceApp/application/update/UpdateProcess.h"
#include "SourceApp/gui/core/Core.h"

namespace tdx {

namespace {

// The wizard screen of each event, by event value.
constexpr state_id_t EVENT_STATES[] = {27, 28, 31, 29, 30, 33, 34, 35};

// Screens that only say what is going on: the next one replaces them in the history.
bool isTransient(unsigned stateId) {
    return stateId == 27 || stateId == 29 || stateId == 31 || stateId == 33;
}

} // namespace

void UpdateEventHandler::handleProcessEvent(update_event event) {
    OS_ASSERT_MSG(event <= UE_DONE, "Unknown event type");
    // The GUI core of the running application; processes run only while it exists.
    Core* core = Core::current();
    if (core == nullptr) {
        dbg_printf_h("update event %u: no GUI core", unsigned{event});
        return;
    }
    const unsigned current = core->getStateManager().getState().getStateId() & 0xFFFFu;
    const unsigned next = EVENT_STATES[event];
    if (isTransient(current)) {
        core->replaceState(next, 0, 0, 0, 0);
    } else {
        core->changeState(next, 0, 0, 0, 0);
    }
}

} // namespace tdx
