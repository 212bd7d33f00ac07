// The room screen in the whole application against the simulated control unit, opened from its home tile: a
// raised desired temperature reaches the control unit once, after the commit delay, and the room's
// temperature measured there shows.
#include "sim_app_fixture.h"

#include "SourceApp/application/commands/bindings/RoomController.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/UpDown.h"
#include "SourceApp/application/controls/Widget.h"
#include "SourceApp/system/SystemMgr.h"
#include "tools/simcu/sim_installer.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace tdx::test {
namespace {

constexpr unsigned HOME = 9;
constexpr unsigned ROOM_SCREEN = 13;
constexpr uint32_t LIVING_ROOM = 0x01000316;
constexpr uint16_t MANUAL_TEMPERATURE = 0x801A; // the room keeps a fixed mode
constexpr uint16_t DESIRED_TEMPERATURE = 0x001D;
constexpr uint16_t AIR_TEMPERATURE = 0x000C;

using Rooms = SynchronisedEndToEnd;

TEST_F(Rooms, ARaisedSetPointReachesTheControlUnitOnceAfterTheCommitDelay) {
    open(HOME);
    const Widget* tile =
        find<Widget>([](const Widget& w) { return w.getHeadingLabel()->getText() == "Living room"; });
    ASSERT_NE(tile, nullptr);
    tap(find<IconButton>([&](const IconButton& b) { return b.isChildOf(tile); })); // the tile's arrow
    ASSERT_EQ(stateId(), ROOM_SCREEN);
    EXPECT_EQ(core().getStateManager().getState().getP1(), LIVING_ROOM);
    ASSERT_EQ(core().getScreen()->getName(), "FormRoomEdit");
    const auto* upDown = find<NumericUpDown<int>>();
    ASSERT_NE(upDown, nullptr);
    ASSERT_EQ(upDown->getValue(), 2150);
    const IconButton* up = nullptr;
    for (Component* c : components()) {
        auto* b = dynamic_cast<IconButton*>(c);
        if (b != nullptr && b->isChildOf(upDown) && (up == nullptr || b->getLeft() > up->getLeft())) {
            up = b;
        }
    }
    tap(up); // the finger is lifted 200 ms in, so the commit follows 1000 ms later
    run(500);
    EXPECT_EQ(publishesOf(LIVING_ROOM, MANUAL_TEMPERATURE), 0u) << "not before the commit delay";
    ASSERT_TRUE(runUntil([&] { return publishesOf(LIVING_ROOM, MANUAL_TEMPERATURE) > 0; }, 3000));
    EXPECT_EQ(heldNumber(mSim, LIVING_ROOM, MANUAL_TEMPERATURE), 2200);
    run(3000);
    EXPECT_EQ(publishesOf(LIVING_ROOM, MANUAL_TEMPERATURE), 1u);
}

// Against a living unit, with the Living room's tile at home read as the user reads it.
class LivingRooms : public LivingEndToEnd {
protected:
    // The tile's set temperature in hundredths; -1 without the tile or a number.
    static int tileTemperature() {
        const Widget* tile =
            find<Widget>([](const Widget& w) { return w.getHeadingLabel()->getText() == "Living room"; });
        int whole = 0;
        int tenth = 0;
        if (tile == nullptr ||
            std::sscanf(tile->getSecondValueLabel()->getText().c_str(), "%d.%1d", &whole, &tenth) != 2) {
            return -1;
        }
        return whole * 100 + tenth * 10;
    }
};

// The room's raised temperature, or a preset's, on a control unit that lives (it aims the room where the
// display's writes mean, and publishes the desired temperature that follows): taken, the room screen shows it
// throughout; refused, the screen goes back to what the unit holds. So does the room's tile at home when the
// user leaves the screen at once.
struct ChoiceCase {
    const char* name;
    bool refused;
    bool preset; // the eco preset (19.0) instead of the up arrow (22.0)
    int chosen;
    bool home = false; // home right after the tap, before the commit delay: the tile is watched instead
};

class RoomChoice : public LivingRooms, public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(RoomChoice, IsShownWhileTheControlUnitHoldsItAndGoesBackWhenTheUnitRefusesIt) {
    const ChoiceCase& c = GetParam();
    if (c.refused) {
        mSim.faults().refusedWrites.emplace(LIVING_ROOM, MANUAL_TEMPERATURE);
    }
    open(ROOM_SCREEN, LIVING_ROOM);
    const auto* upDown = find<NumericUpDown<int>>();
    ASSERT_NE(upDown, nullptr);
    ASSERT_EQ(upDown->getValue(), 2150);
    const CheckIconButton* eco =
        find<CheckIconButton>([](const CheckIconButton& b) { return b.tag == RoomModeEco; });
    ASSERT_NE(eco, nullptr);
    if (c.preset) {
        tap(eco);
    } else {
        const IconButton* up = nullptr;
        for (Component* component : components()) {
            auto* b = dynamic_cast<IconButton*>(component);
            if (b != nullptr && b->isChildOf(upDown) && (up == nullptr || b->getLeft() > up->getLeft())) {
                up = b;
            }
        }
        tap(up);
    }
    // What the up-down (or the tile) and the eco preset's box show after each pass, each change once, until
    // the unit answered for long.
    std::vector<bool> ecoTicked{eco->getChecked()};
    if (c.home) {
        open(HOME); // the screen writes the pending step as it closes
        ASSERT_EQ(stateId(), HOME);
    }
    const auto value = [&] { return c.home ? tileTemperature() : upDown->getValue(); };
    std::vector<int> shown{value()};
    for (int ms = 0; ms < 3000; ++ms) {
        run(1);
        if (shown.back() != value()) {
            shown.push_back(value());
        }
        if (!c.home && ecoTicked.back() != eco->getChecked()) {
            ecoTicked.push_back(eco->getChecked());
        }
    }
    const int held = c.refused ? 2150 : c.chosen;
    EXPECT_EQ(heldNumber(mSim, LIVING_ROOM, MANUAL_TEMPERATURE), held);
    EXPECT_EQ(heldNumber(mSim, LIVING_ROOM, DESIRED_TEMPERATURE), held);
    EXPECT_EQ(shown.back(), held) << "shown: " << ::testing::PrintToString(shown);
    if (!c.refused) {
        EXPECT_EQ(std::count(shown.begin(), shown.end(), 2150), shown.front() == 2150 ? 1 : 0)
            << "back to the old temperature on the way: " << ::testing::PrintToString(shown);
    }
    if (c.home && !c.refused) {
        EXPECT_EQ(shown, std::vector<int>{c.chosen}) << "the tile shows the user's value from the first";
    }
    if (c.preset && !c.home) {
        // Ticked by the tap: taken, it stays ticked; refused, the unit's temperature is no preset's.
        if (c.refused) {
            EXPECT_FALSE(ecoTicked.back());
        } else {
            EXPECT_EQ(ecoTicked, std::vector<bool>{true});
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Choices, RoomChoice,
                         ::testing::Values(ChoiceCase{"ArrowTaken", false, false, 2200},
                                           ChoiceCase{"ArrowRefused", true, false, 2200},
                                           ChoiceCase{"PresetTaken", false, true, 1900},
                                           ChoiceCase{"PresetRefused", true, true, 1900},
                                           ChoiceCase{"ArrowTakenThenHome", false, false, 2200, true},
                                           ChoiceCase{"ArrowRefusedThenHome", true, false, 2200, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// The room's temperature raised on its screen right after a restore's OK, on a living unit that takes the
// configuration back (the room's 21.5 from the backup) and restarts: from the press until the unit is back
// and holds the change, the screen shows the user's value, never the restored one, also on a screen opened
// again meanwhile, and a second press steps from it; the room's tile at home, left to after the press, shows
// it as well. A restore the unit refuses leaves the change as any; a change made at the unit once it holds
// the user's shows.
struct RaiseAfterARestoreCase {
    const char* name;
    std::vector<uint32_t> pressesMs; // after the restore's OK
    uint32_t reopenedMs = 0;         // the room screen opened again from home this long after OK; 0: never
    bool refused = false;            // the unit refuses the restore: no restart
    bool changedAtTheUnit = false;   // to 23.00, 5 s after the return
    bool home = false;               // home after the presses: the room's tile is watched from then on
};

class RaiseAfterARestore : public LivingRooms, public ::testing::WithParamInterface<RaiseAfterARestoreCase> {
protected:
    void SetUp() override {
        LivingEndToEnd::SetUp();
        mInstaller = std::make_unique<sim::SimInstaller>(mSim);
        // The unit both answers the requests and lives, as the simulator program runs it.
        mSim.setReceiveListener([this](uint8_t cmd, const std::vector<uint8_t>& payload) {
            mInstaller->received(cmd, payload);
            mLife->received(cmd, payload);
        });
    }
    static const IconButton* upArrow() {
        const auto* upDown = find<NumericUpDown<int>>();
        const IconButton* up = nullptr;
        for (Component* c : components()) {
            auto* b = dynamic_cast<IconButton*>(c);
            if (upDown != nullptr && b != nullptr && b->isChildOf(upDown) &&
                (up == nullptr || b->getLeft() > up->getLeft())) {
                up = b;
            }
        }
        return up;
    }
    // The room screen's up-down, or at home the room tile's set temperature; in hundredths, -1 for none.
    static int shown() {
        if (stateId() == HOME) {
            return tileTemperature();
        }
        const auto* upDown = find<NumericUpDown<int>>();
        return upDown != nullptr && stateId() == ROOM_SCREEN ? upDown->getValue() : -1;
    }

    std::unique_ptr<sim::SimInstaller> mInstaller;
};

TEST_P(RaiseAfterARestore, ShowsTheUsersValueThroughTheRestartAndTheReturn) {
    const RaiseAfterARestoreCase& c = GetParam();
    open(26);
    tap(withText<NavigationLink>("Backup configuration"));
    ASSERT_TRUE(
        runUntil([] { return withText<NavigationLink>("Backup configuration")->isEnabled(); }, 10000));
    ASSERT_EQ(mInstaller->backups(), 1);
    if (c.refused) {
        mInstaller->config().restore = sim::SimAnswer::Failure;
    }
    tap(withText<NavigationLink>("Restore from latest backup"));
    tap(find<Button>([](const Button& b) { return b.getText() == "OK"; }));
    uint32_t since = 0; // ms after OK
    open(ROOM_SCREEN, LIVING_ROOM);
    since += 200;
    ASSERT_EQ(shown(), 2150);
    // What the up-down shows after each pass from the first press on, each change once.
    std::vector<int> seen;
    // The mode line names the restored temperature's preset ("Comfort" at 21.5) once it shows it.
    bool comfortNamed = false;
    auto watch = [&] {
        comfortNamed = comfortNamed || withText<ContainedLabel>("Comfort") != nullptr;
        if (const int value = shown(); value != -1 && (seen.empty() || seen.back() != value)) {
            seen.push_back(value);
        }
    };
    const std::function<bool()> never = [] { return false; };
    auto runWatched = [&](uint32_t ms, const std::function<bool()>& done) {
        return runUntil(
            [&] {
                ++since;
                if (!seen.empty()) {
                    watch();
                }
                return done();
            },
            ms);
    };
    for (const uint32_t at : c.pressesMs) {
        ASSERT_LT(since, at);
        runWatched(at - since, never);
        ASSERT_NE(upArrow(), nullptr);
        tap(upArrow());
        since += 500;
        if (seen.empty()) {
            // The up-down's value is the committed one: the step shows once written, 1 s after the release.
            runWatched(1000, never);
            watch();
        }
    }
    if (c.home) {
        open(HOME);
        watch();
    }
    if (c.reopenedMs != 0) {
        ASSERT_LT(since, c.reopenedMs);
        runWatched(c.reopenedMs - since, never);
        ASSERT_TRUE(mInstaller->restarting()) << "opened again while the unit is away";
        open(HOME);
        open(ROOM_SCREEN, LIVING_ROOM);
        watch();
    }
    if (c.refused) {
        EXPECT_FALSE(runWatched(15000, [] { return !Net::Tavi.isConnected(); })) << "no restart";
    } else {
        ASSERT_TRUE(runWatched(15000, [] { return !Net::Tavi.isConnected(); })) << "the unit restarts";
        ASSERT_TRUE(runWatched(40000, [] { return synchronised(); })) << "back and synchronised";
    }
    runWatched(5000, never);
    EXPECT_EQ(mInstaller->restores(), c.refused ? 0 : 1);
    std::vector<int> expected;
    for (size_t press = 1; press <= c.pressesMs.size(); ++press) {
        expected.push_back(2150 + 50 * static_cast<int>(press));
    }
    if (c.changedAtTheUnit) {
        mSim.publish(LIVING_ROOM, MANUAL_TEMPERATURE, 18, 2300);
        mSim.publish(LIVING_ROOM, DESIRED_TEMPERATURE, 18, 2300);
        runWatched(3000, never);
        expected.push_back(2300);
    }
    EXPECT_EQ(seen, expected) << "only the user's values, each step from the last";
    EXPECT_FALSE(comfortNamed) << "the mode line follows the shown temperature";
    EXPECT_EQ(heldNumber(mSim, LIVING_ROOM, MANUAL_TEMPERATURE), expected.back());
    EXPECT_EQ(heldNumber(mSim, LIVING_ROOM, DESIRED_TEMPERATURE), expected.back()) << "the unit holds it";
    EXPECT_EQ(shown(), expected.back());
}

INSTANTIATE_TEST_SUITE_P(
    Presses, RaiseAfterARestore,
    ::testing::Values(RaiseAfterARestoreCase{"OneSecondAfterOk", {1000}},
                      RaiseAfterARestoreCase{"OneAndFiveSecondsAfterOk", {1000, 5000}},
                      RaiseAfterARestoreCase{"FourSecondsAfterOk", {4000}},
                      RaiseAfterARestoreCase{"ThenTheScreenOpenedAgainInTheRestart", {1000}, 5000},
                      RaiseAfterARestoreCase{"TheRestoreRefused", {1000, 5000}, 0, true},
                      RaiseAfterARestoreCase{"ThenChangedAtTheUnit", {1000}, 0, false, true},
                      RaiseAfterARestoreCase{"ThenHome", {1000}, 0, false, false, true},
                      RaiseAfterARestoreCase{"ThenHomeAndTheRestoreRefused", {1000}, 0, true, false, true},
                      RaiseAfterARestoreCase{"ThenHomeAndChangedAtTheUnit", {1000}, 0, false, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Rooms, TheRoomsTemperatureMeasuredOnTheControlUnitShowsOnTheRoomScreen) {
    open(ROOM_SCREEN, LIVING_ROOM);
    ASSERT_NE(withText<ContainedLabel>("21.3\u00B0"), nullptr);
    mSim.publish(LIVING_ROOM, AIR_TEMPERATURE, 18, 2240);
    EXPECT_TRUE(runUntil([] { return withText<ContainedLabel>("22.4\u00B0") != nullptr; }, 3000));
}

// The screen left alone goes dim, then dark, on the clock. A touch on the dark screen lights it and leaves
// the home screen as it was; on a dimmed one, which the user can read, the touch opens the room at once.
TEST_F(Rooms, ATouchOnTheDarkScreenOnlyLightsItTheNextOpensTheRoom) {
    SystemMgr& system = *getApplication()->getSystemManager();
    const struct {
        const char* name;
        uint32_t idleMs;
        screen_state_t before;
        unsigned afterFirstTap;
    } cases[] = {
        {"dimmed", 1500, ssDimmed, ROOM_SCREEN},
        {"dark", 3000, ssOff, HOME},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        open(HOME);
        const Widget* tile =
            find<Widget>([](const Widget& w) { return w.getHeadingLabel()->getText() == "Living room"; });
        ASSERT_NE(tile, nullptr);
        const IconButton* arrow = find<IconButton>([&](const IconButton& b) { return b.isChildOf(tile); });
        system.setDelay(ssActive, 1);
        system.setDelay(ssDimmed, 1);
        run(c.idleMs);
        ASSERT_EQ(system.getScreenState(), c.before);
        tap(arrow);
        EXPECT_EQ(system.getScreenState(), ssActive);
        EXPECT_EQ(stateId(), c.afterFirstTap);
        if (stateId() == HOME) {
            tap(arrow);
            EXPECT_EQ(stateId(), ROOM_SCREEN) << "the next tap acts";
        }
        system.setDelay(ssActive, 0);
    }
}

} // namespace
} // namespace tdx::test
