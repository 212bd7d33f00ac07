// The screen registry: the one place that maps a state id to a screen class.
#pragma once

#include "SourceApp/gui/core/Form.h"

namespace tdx {

// Ids 0 .. STATE_COUNT - 1 are the screens' numbers; ids without a screen of their own show
// FormNotImplemented.
inline constexpr state_id_t STATE_COUNT = 76;

// Builds the screen of `next` from the state the GUI core has just made current (a typed state reaches the
// screen as it is). The core has closed every layer of the previous screen before this call; the new screen
// opens itself as the newest layer and belongs to the core.
Form* AppChangeState(state_id_t previous, state_id_t next, const State& state);

} // namespace tdx
