#include "SourceApp/application/ScheduleEditState.h"

#include "SourceApp/application/App.h"
#include "SourceApp/gui/core/Core.h"

#include <gtest/gtest.h>

namespace tdx {
namespace {

TEST(ScheduleEditState, ComesBackFromTheHistoryWithItsTypeObjectValueTitleAndDay) {
    Core* core = getApplication()->getCore();
    const Ovi tank(0x010203u | (3u << 24), 0x808B); // a settings id: bit 15 set
    core->changeState(ScheduleEditState(16, tank, "Functions | Tank | Schedule", 0));
    core->changeState(ScheduleEditState(18, tank, "Functions | Tank | Schedule", 6));
    core->changeState(State(19));
    for (unsigned char day : {6, 0}) {
        core->prevState();
        const auto* state = dynamic_cast<const ScheduleEditState*>(&core->getStateManager().getState());
        ASSERT_NE(state, nullptr);
        EXPECT_EQ(state->getStateId(), day == 6 ? 18u : 16u);
        EXPECT_EQ(state->getOvi(), tank);
        EXPECT_EQ(state->getTitle(), "Functions | Tank | Schedule");
        EXPECT_EQ(state->getSourceDay(), day);
    }
    core->defaultState();
}

} // namespace
} // namespace tdx
