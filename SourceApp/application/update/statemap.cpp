#include "SourceApp/application/update/statemap.h"

#include "Libraries/base/dbg.h"

#include <cstring>

namespace statemap {

namespace {
constexpr std::size_t MAX_NAME = 100;
}

std::unique_ptr<char[]> copyString(const char* text) {
    if (text == nullptr) {
        return nullptr;
    }
    auto copy = std::make_unique<char[]>(MAX_NAME + 1);
    std::strncpy(copy.get(), text, MAX_NAME);
    copy[MAX_NAME] = '\0';
    return copy;
}

State::State(const char* name, int32_t id)
    : mName(copyString(name))
    , mId(id) {}

State& FSMContext::currentState() const {
    if (mState == nullptr) {
        tdx::os_assert_show("_state != NULL", __func__, __FILE__, __LINE__);
    }
    return *mState;
}

void FSMContext::clearState() {
    mPreviousState = &currentState();
    mState = nullptr;
}

void FSMContext::setState(State& state) {
    mState = &state;
    if (mDebugFlag) {
        tdx::dbg_printf_h("ENTER STATE     : %s\n", state.getName());
    }
}

const char* FSMContext::getStateName() const {
    return inTransition() ? "(in transition)" : mState->getName();
}

void FSMContext::deliver(std::function<void()> event) {
    mPending.push_back(std::move(event));
    // An event sent from an entry action runs at once, as it always would; the ones that waited follow.
    while (!inTransition() && !mPending.empty()) {
        std::function<void()> next = std::move(mPending.front());
        mPending.pop_front();
        next();
    }
}

} // namespace statemap
