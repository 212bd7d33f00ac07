// The week schedule in the whole application against the simulated control unit: an interval added on the
// display arrives in the control unit's copy of the room's schedule, and nothing else of the week changes.
#include "sim_app_fixture.h"

#include "SourceApp/application/ScheduleEditState.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/forms/VexalForm.h"

namespace tdx::test {
namespace {

constexpr uint32_t LIVING_ROOM = 0x01000316;
constexpr uint16_t VID_SCHEDULE = 0x8043;

class ScheduleEndToEnd : public SynchronisedEndToEnd {
protected:
    std::vector<uint8_t> simulatorsWeek() const {
        const std::optional<sim::SimValue> v = mSim.value(LIVING_ROOM, VID_SCHEDULE);
        return v ? v->bytes : std::vector<uint8_t>{};
    }
};

TEST_F(ScheduleEndToEnd, AnIntervalAddedOnTheDisplayArrivesInTheControlUnitsSchedule) {
    const std::vector<uint8_t> before = simulatorsWeek();
    ASSERT_EQ(before.size(), 170u);
    ASSERT_EQ(before[2] & 3, 0) << "Monday 00:00 starts free";

    core().changeState(ScheduleEditState(18, Ovi(LIVING_ROOM, VID_SCHEDULE), "Living room | Schedule", 0));
    run(200);
    ASSERT_EQ(core().getScreen()->getName(), "FormScheduleDayOverview");
    NavigationLink* add = withText<NavigationLink>("Add new interval");
    ASSERT_NE(add, nullptr);
    static_cast<VexalForm*>(core().getScreen())
        ->scrollTo(add, FOCUS_AS_NEEDED, add->getTop(), add->getBottom());
    run(200);
    tap(add);
    ASSERT_EQ(core().getScreen()->getName(), "FormScheduleDayEdit");
    tap(withText<Button>("Save interval"));

    std::vector<uint8_t> expected = before;
    expected[2] |= 1; // Monday's first quarter hour, an interval of the first kind
    EXPECT_TRUE(runUntil([&] { return simulatorsWeek() == expected; }, 3000));
    EXPECT_EQ(core().getScreen()->getName(), "FormScheduleDayOverview");
}

} // namespace
} // namespace tdx::test
