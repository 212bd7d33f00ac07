// Navigation commands: go to a prepared state, or rebuild the screen shown.
#pragma once

#include "SourceApp/gui/core/ICommand.h"
#include "SourceApp/gui/core/state/State.h"

#include <memory>

namespace tdx {

class ChangeStateCommand : public ICommand {
public:
    ChangeStateCommand(unsigned id, unsigned p1 = 0, unsigned p2 = 0, unsigned p3 = 0, unsigned p4 = 0);
    // Takes a ready state (a SingleParamState, for one) and keeps its own copy.
    explicit ChangeStateCommand(const State& state);

    void execute() override;
    const State& getState() const { return *mState; }

private:
    std::unique_ptr<State> mState;
};

class RestartStateCommand : public ICommand {
public:
    void execute() override;
};

} // namespace tdx
