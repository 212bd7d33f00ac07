#include "SourceApp/gui/core/Form.h"

#include "SourceApp/gui/core/Core.h"
#include "SourceHost/api_lib/layer.h"

namespace tdx {

Form::Form(const State& state)
    : Container(nullptr, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT)
    , mState(state.clone()) {
    setName("Form");
}

Form::~Form() {
    if (mAwakeOverride) {
        setAwakeOverride(false);
    }
}

void Form::setAwakeOverride(bool on) {
    mAwakeOverride = on;
    if (Core* core = Core::current(); core != nullptr && core->getHooks().setAwakeOverride) {
        core->getHooks().setAwakeOverride(on);
    }
}

} // namespace tdx
