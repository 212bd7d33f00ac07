#include "SourceApp/gui/core/state/StateManager.h"

#include "Libraries/base/dbg.h"

namespace tdx {

StateManager::StateManager()
    : mDefault(DEFAULT_STATE_ID) {}

const State& StateManager::getState() const {
    return mHistory.empty() ? mDefault : *mHistory.back().state;
}

SavedComponents& StateManager::getSaved() {
    return mHistory.empty() ? mDefaultSaved : mHistory.back().saved;
}

void StateManager::push(const State& state) {
    if (mHistory.size() >= MAX_HISTORY) {
        dbg_printf_h("navigation history full: dropping state %u", mHistory.front().state->getStateId());
        mHistory.pop_front();
    }
    mHistory.push_back({state.clone(), {}});
}

void StateManager::replace(const State& state) {
    if (mHistory.empty()) {
        push(state);
        return;
    }
    mHistory.back() = {state.clone(), {}};
}

bool StateManager::pop() {
    if (mHistory.empty()) {
        return false;
    }
    mHistory.pop_back();
    return true;
}

void StateManager::clear() {
    mHistory.clear();
    mDefaultSaved.clear();
}

} // namespace tdx
