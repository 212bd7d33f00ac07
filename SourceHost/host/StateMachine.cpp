#include "SourceHost/host/StateMachine.h"

namespace tdx {

void StateCommand::execute(MessageArgument* argument) {
    if (const MessageArgumentMachineEvent* event = payload_as<MessageArgumentMachineEvent>(argument)) {
        onEvent(event->event(), event->getArgument());
    }
}

void StateMachine::addTransition(std::shared_ptr<StateCommand> from, const std::string& event,
                                 std::shared_ptr<StateCommand> to) {
    mTransitions[std::move(from)].emplace(event, std::move(to));
}

void StateMachine::execute(MessageArgument* argument) {
    const MessageArgumentMachineEvent* event = payload_as<MessageArgumentMachineEvent>(argument);
    if (event == nullptr || !mCurrent) {
        return;
    }
    const std::string& name = event->event();
    MessageArgument* inner = event->getArgument();
    auto table = mTransitions.find(mCurrent);
    if (table != mTransitions.end()) {
        auto target = table->second.find(name);
        if (target != table->second.end()) {
            // Held here: a hook that restarts the machine must not free the state it runs in.
            std::shared_ptr<StateCommand> leaving = mCurrent;
            leaving->onExit(name, inner);
            mCurrent = target->second;
            std::shared_ptr<StateCommand> entering = mCurrent;
            entering->onEnter(name, inner);
        }
    }
    std::shared_ptr<StateCommand> current = mCurrent;
    current->execute(argument);
}

void CommandToStateMachineAdapter::execute(MessageArgument* argument) {
    MessageArgumentMachineEvent event(mEvent, argument);
    mMachine->execute(&event);
}

} // namespace tdx
