// What the room and humidity controllers read from a room and write to it: temporary mode, presets,
// where a desired temperature goes in each mode and season, the schedule switch and the override's cancel.
#include "SourceApp/application/commands/bindings/RoomController.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <functional>

namespace tdx::test {
namespace {

constexpr oid_t ROOM = 0x01000316;
constexpr oid_t SENSOR = 0x00000520;
constexpr vid_t MODE = 0x8004;
constexpr vid_t OVERRIDE = 0x8005;
constexpr vid_t OVERRIDE_END = 0x8006;
constexpr vid_t SEASON = 0x803D;

class RoomControllerTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        room(ROOM)
            .value(0x801A, 2100) // manual, heating
            .value(0x801B, 1900)
            .value(0x801C, 2150)
            .value(0x801D, 2300)
            .value(0x802D, 2500) // manual, cooling
            .value(0x802E, 2600)
            .value(0x802F, 2450)
            .value(0x8030, 2300);
        connect();
        runTasks();
    }
    RoomController controller() const { return RoomController(ROOM); }
    // What one call wrote, in order.
    Published writes(const std::function<void()>& call) {
        const size_t before = published().size();
        call();
        const Published& all = published();
        return Published(all.begin() + static_cast<long>(before), all.end());
    }
};

TEST_F(RoomControllerTest, TemporaryModeFromModeAndOverride) {
    const struct {
        int mode;
        int override;
        int temporary;
    } cases[] = {{0, 1, 2}, {3, 1, 2}, {0, 3, 1}, {3, 3, 0}, {0, 0, 0}};
    for (const auto& c : cases) {
        room(ROOM).value(MODE, c.mode).value(OVERRIDE, c.override);
        EXPECT_EQ(controller().getTemporaryMode(), c.temporary) << c.mode << "/" << c.override;
    }
    room(ROOM).invalid(MODE);
    EXPECT_EQ(controller().getTemporaryMode(), -1);
}

TEST_F(RoomControllerTest, PresetsAreTheSeasonsFirstMatch) {
    const struct {
        int season;
        int desired;
        int preset;
    } cases[] = {{0, 1900, 1}, {0, 2150, 2}, {0, 2300, 3}, {0, 2000, 0},
                 {1, 2600, 1}, {1, 2450, 2}, {1, 2300, 3}, {1, 1900, 0}};
    for (const auto& c : cases) {
        location().value(SEASON, c.season);
        room(ROOM).value(0x001D, c.desired);
        EXPECT_EQ(controller().getDesiredTemperatureMode(), c.preset) << c.season << "/" << c.desired;
    }
    location().invalid(SEASON);
    EXPECT_EQ(controller().getDesiredTemperatureMode(), -1);
}

TEST_F(RoomControllerTest, TheDesiredTemperatureGoesWhereTheModeSays) {
    const struct {
        int season;
        int mode;
        int override;
        Published written;
    } cases[] = {
        {0, 0, 1, {{ROOM, 0x801E, 2250}}}, {0, 0, 3, {{ROOM, 0x8020, 2250}}},
        {0, 3, 0, {{ROOM, 0x801A, 2250}}}, {0, 0, 0, {{ROOM, OVERRIDE, 3}, {ROOM, 0x8020, 2250}}},
        {1, 0, 1, {{ROOM, 0x8031, 2250}}}, {1, 0, 3, {{ROOM, 0x8033, 2250}}},
        {1, 3, 0, {{ROOM, 0x802D, 2250}}}, {1, 0, 0, {{ROOM, OVERRIDE, 3}, {ROOM, 0x8033, 2250}}},
    };
    for (const auto& c : cases) {
        location().value(SEASON, c.season);
        room(ROOM).value(MODE, c.mode).value(OVERRIDE, c.override);
        EXPECT_EQ(writes([&] { controller().setDesiredTemperature(2250); }), c.written)
            << c.season << "/" << c.mode << "/" << c.override;
    }
    room(ROOM).invalid(OVERRIDE);
    EXPECT_TRUE(writes([&] { controller().setDesiredTemperature(2250); }).empty()) << "mode unreadable";
}

TEST_F(RoomControllerTest, APresetSetsItsTemperatureAndAnUnreadableOneNothing) {
    location().value(SEASON, 1);
    room(ROOM).value(MODE, 3).value(OVERRIDE, 0);
    EXPECT_EQ(writes([&] { controller().setDesiredTemperatureByProfile(RoomModeComfort); }),
              (Published{{ROOM, 0x802D, 2450}}));
    room(ROOM).invalid(0x8030);
    EXPECT_TRUE(writes([&] { controller().setDesiredTemperatureByProfile(RoomModeExtraComfort); }).empty());
}

TEST_F(RoomControllerTest, SchedulerSwitchAndOverrideCancel) {
    room(ROOM).value(MODE, 3).value(OVERRIDE, 3);
    EXPECT_EQ(writes([&] { controller().setSchedulerEnabled(true); }), (Published{{ROOM, MODE, 0}}));
    EXPECT_EQ(writes([&] { controller().setSchedulerEnabled(false); }),
              (Published{{ROOM, MODE, 1}, {ROOM, OVERRIDE, 0}, {ROOM, OVERRIDE_END, 0}}));
    room(ROOM).value(OVERRIDE, 1);
    EXPECT_EQ(writes([&] { controller().setSchedulerEnabled(false); }), (Published{{ROOM, MODE, 1}}))
        << "a temporary mode stays";
    EXPECT_EQ(writes([&] { controller().cancelModeOverride(); }),
              (Published{{ROOM, OVERRIDE, 0}, {ROOM, OVERRIDE_END, 0}}));
    room(ROOM).value(OVERRIDE, 0);
    EXPECT_TRUE(writes([&] { controller().cancelModeOverride(); }).empty());
}

TEST_F(RoomControllerTest, VacationAndPeripheralValues) {
    room(ROOM).value(0x8084, 1);
    location().value(0x8085, 1).value(0x8086, 1772700000);
    uint32_t end = 0;
    EXPECT_TRUE(controller().isInVacation(&end));
    EXPECT_EQ(end, 1772700000u);
    room(ROOM).value(0x8084, 0);
    EXPECT_FALSE(controller().isInVacation()) << "the room is excluded";

    EXPECT_FALSE(controller().hasPeripheralWithValue(0x000D)) << "no list";
    device(SENSOR).value(0x000C, 2000);
    room(ROOM).oids(0x80AE, {0x0004D2, SENSOR});
    EXPECT_TRUE(controller().hasPeripheralWithValue(0x000C));
    EXPECT_FALSE(controller().hasPeripheralWithValue(0x000D));
}

TEST_F(RoomControllerTest, HumidityWritesOnlyAnotherState) {
    HumidityController humidity(ROOM);
    room(ROOM).invalid(0x8083);
    EXPECT_FALSE(humidity.isEnabled());
    EXPECT_EQ(writes([&] { humidity.setEnabled(HumidityDisplayOnly); }), (Published{{ROOM, 0x8083, 0}}));
    EXPECT_TRUE(writes([&] { humidity.setEnabled(HumidityDisplayOnly); }).empty());
    EXPECT_EQ(writes([&] { humidity.setEnabled(HumidityDryerControl); }), (Published{{ROOM, 0x8083, 1}}));
    EXPECT_TRUE(humidity.isEnabled());
    EXPECT_TRUE(writes([&] { HumidityController(0x09000316).setEnabled(HumidityDryerControl); }).empty());
}

} // namespace
} // namespace tdx::test
