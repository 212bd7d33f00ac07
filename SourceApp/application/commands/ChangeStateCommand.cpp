#include "SourceApp/application/commands/ChangeStateCommand.h"

#include "Libraries/base/dbg.h"
#include "SourceApp/gui/core/Core.h"

namespace tdx {

ChangeStateCommand::ChangeStateCommand(unsigned id, unsigned p1, unsigned p2, unsigned p3, unsigned p4)
    : mState(std::make_unique<State>(id, p1, p2, p3, p4)) {}

ChangeStateCommand::ChangeStateCommand(const State& state)
    : mState(state.clone()) {}

void ChangeStateCommand::execute() {
    if (Core* core = Core::current()) {
        core->changeState(*mState);
    } else {
        dbg_printf_h("ChangeStateCommand: no GUI core, state %u not shown", mState->getStateId());
    }
}

void RestartStateCommand::execute() {
    if (Core* core = Core::current()) {
        core->restartState();
    } else {
        dbg_printf_h("RestartStateCommand: no GUI core");
    }
}

} // namespace tdx
