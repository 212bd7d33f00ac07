// The simulated installation's life, seen by a display client subscribed to everything.
#include "Libraries/tavi_net/net_harness.h"
#include "tools/simcu/installation.h"
#include "tools/simcu/sim_behaviour.h"

#include <memory>

namespace tdx::test {
namespace {

constexpr uint32_t LIVING = 0x01000316;
constexpr uint32_t LIVING_HEAD = 0x03000316;
constexpr uint32_t LIVING_THERMOSTAT = 0x000520;
constexpr uint32_t PERIOD = 10000;

class BehaviourTest : public NetTest {
protected:
    void SetUp() override {
        NetTest::SetUp();
        std::string error;
        auto installation = sim::sim_load_installation(sim::sim_default_installation_path(), &error);
        ASSERT_TRUE(installation) << error;
        mSim.model() = std::move(installation->model);
        mLife = std::make_unique<sim::SimBehaviour>(mSim, PERIOD);
        mSim.setReceiveListener(
            [this](uint8_t cmd, const std::vector<uint8_t>& payload) { mLife->received(cmd, payload); });
        mSim.setPump([this] {
            tnet_task();
            mLife->step();
        });
        startSession();
        upper().toSend.emplace_back(TNET_CMD_SUBSCRIBE, subscribePayload(0xFFFFFFFF, 0xFFFF));
        ASSERT_TRUE(waitFor([] { return upper().receivedCount(TNET_CMD_SYNCHRONIZED) == 1; }, 60000));
        // What the installation's life published while it synchronised is queued behind it: a second,
        // small subscription is answered after all of that.
        upper().toSend.emplace_back(TNET_CMD_SUBSCRIBE, subscribePayload(LIVING, 0x8090));
        ASSERT_TRUE(waitFor([] { return upper().receivedCount(TNET_CMD_SYNCHRONIZED) == 2; }, 10000));
        mClocksAtSession = upper().receivedCount(TNET_CMD_SYNC_TIME);
        upper().received.clear();
    }

    // What the unit holds of (oid, vid), or -99999.
    int64_t held(uint32_t oid, uint16_t vid) const {
        const auto value = mSim.value(oid, vid);
        return value ? value->number() : -99999;
    }

    // The last value of (oid, vid) the display was sent, or -99999.
    static int64_t lastSent(uint32_t oid, uint16_t vid) {
        int64_t last = -99999;
        for (const auto& [cmd, payload] : upper().received) {
            if (cmd != TNET_CMD_PUBLISH) {
                continue;
            }
            const auto publish = sim::sim_decode_publish(payload.data(), payload.size());
            if (publish && publish->oid == oid && publish->vid == vid) {
                last = publish->value.number();
            }
        }
        return last;
    }

    void write(uint32_t oid, uint16_t vid, uint8_t type, int64_t value) {
        upper().toSend.emplace_back(TNET_CMD_PUBLISH,
                                    sim::sim_encode_publish(oid, vid, *sim::sim_number(type, value)));
        ASSERT_TRUE(waitFor(
            [&] {
                const auto held = mSim.value(oid, vid); // none before the first write of a value
                return held && held->number() == value;
            },
            1000));
    }

    void setClock(uint32_t networkTime) {
        std::vector<uint8_t> payload(TNET_SYNC_TIME_SIZE);
        put_le32(payload.data(), networkTime);
        upper().toSend.emplace_back(TNET_CMD_SYNC_TIME, payload);
        ASSERT_TRUE(waitFor([&] { return mLife->networkTime() == networkTime; }, 1000));
    }

    std::unique_ptr<sim::SimBehaviour> mLife;
    int mClocksAtSession = 0;
};

TEST_F(BehaviourTest, TheClockRunsAndReachesTheDisplayWhenItsSessionOpens) {
    EXPECT_EQ(mClocksAtSession, 1);
    const uint32_t before = mLife->networkTime();
    run(5000);
    EXPECT_EQ(mLife->networkTime() - before, 5u);

    setClock(789458400); // 2025-01-06 06:00 UTC
    run(2000);
    EXPECT_EQ(mLife->networkTime(), 789458402u);

    // A new session hears the time again.
    mSim.disconnectClient();
    ASSERT_TRUE(waitFor([] { return upper().disconnected.size() == 1; }));
    ASSERT_TRUE(waitFor([] { return upper().receivedCount(TNET_CMD_SYNC_TIME) == 1; }, 2000));
    for (const auto& [cmd, payload] : upper().received) {
        if (cmd == TNET_CMD_SYNC_TIME) {
            EXPECT_NEAR(get_le32(payload.data()), mLife->networkTime(), 1);
        }
    }
}

TEST_F(BehaviourTest, RoomsWarmTowardTheirDesiredTemperatureWithTheirThermoheadsOpen) {
    const int64_t air = 2000;
    mSim.publish(LIVING, 0x000C, 18, air);
    const int64_t desired = held(LIVING, 0x001D);
    ASSERT_LT(air, desired);
    run(PERIOD);
    EXPECT_EQ(lastSent(LIVING, 0x000C), air + sim::SimBehaviour::ROOM_STEP);
    EXPECT_EQ(held(LIVING_HEAD, 0x004C), 10000);
    EXPECT_EQ(lastSent(LIVING_THERMOSTAT, 0x000C), air + sim::SimBehaviour::ROOM_STEP);
    run(PERIOD * static_cast<uint32_t>((desired - air) / sim::SimBehaviour::ROOM_STEP + 2));
    EXPECT_EQ(held(LIVING, 0x000C), desired);
    EXPECT_EQ(lastSent(LIVING, 0x000C), desired);
    EXPECT_EQ(lastSent(LIVING, 0x000D), desired + 200);
    EXPECT_EQ(lastSent(LIVING_HEAD, 0x004C), 0);
}

TEST_F(BehaviourTest, WhatTheDisplayWritesMovesWhatTheRoomAimsAt) {
    // Eco: the desired temperature follows at once, the air cools slowly.
    write(LIVING, 0x8004, 12, 2);
    ASSERT_TRUE(waitFor([] { return lastSent(LIVING, 0x001D) == 1900; }, 1000));
    EXPECT_EQ(held(LIVING, 0x8004), 2);
    // A preset changed later is what the next change to its mode starts from: the room keeps its manual
    // temperature.
    write(LIVING, 0x801B, 18, 1850);
    run(PERIOD);
    EXPECT_EQ(held(LIVING, 0x001D), 1900);

    // Temporary override, then the location's standby program wins over it.
    write(LIVING, 0x8005, 12, 1);
    ASSERT_TRUE(waitFor([&] { return lastSent(LIVING, 0x001D) == held(LIVING, 0x801E); }, 1000));
    write(0xFEFFFFFE, 0x8087, 12, 1);
    ASSERT_TRUE(waitFor([&] { return lastSent(LIVING, 0x001D) == held(LIVING, 0x8021); }, 1000));
    write(0xFEFFFFFE, 0x8087, 12, 0);
    write(LIVING, 0x8005, 12, 0);
    ASSERT_TRUE(waitFor([] { return lastSent(LIVING, 0x001D) == 1900; }, 1000));

    // The week schedule at local time (the location is one hour ahead): Monday 07:00 comfort, 10:00 eco.
    setClock(789458400);
    write(LIVING, 0x8004, 12, 0);
    ASSERT_TRUE(waitFor([&] { return lastSent(LIVING, 0x001D) == held(LIVING, 0x801C); }, 1000));
    setClock(789458400 + 3 * 3600);
    run(PERIOD);
    EXPECT_EQ(lastSent(LIVING, 0x001D), 1850);

    // Hot water follows its set temperature.
    write(0x0A000316, 0x8094, 18, 5500);
    ASSERT_TRUE(waitFor([] { return lastSent(0x0A000316, 0x0031) == 5500; }, 1000));

    // An output under manual control takes the value the display asks for.
    write(0x11000316, 0x80F0, 18, 0);
    ASSERT_TRUE(waitFor([] { return lastSent(0x11000316, 0x004C) == 0; }, 1000));
    EXPECT_EQ(held(0x11000316, 0x004C), 0);
}

// What the display writes, in order, from the default installation (the living room in comfort: 21.5).
struct Write {
    uint32_t oid;
    uint16_t vid;
    uint8_t type;
    int64_t value;
};
constexpr uint32_t LOCATION = 0xFEFFFFFE;
constexpr uint32_t MONDAY_SIX = 789458400;           // 2025-01-06 06:00 UTC, 07:00 at the location: comfort
constexpr uint32_t MONDAY_NINE = MONDAY_SIX + 10800; // 09:00 UTC, 10:00 at the location: eco
constexpr int64_t UNIX = 946684800;                  // network time 0 in Unix seconds

struct AimCase {
    const char* name;
    std::vector<Write> writes;
    int64_t desired;
    // Other values of the living room the unit holds afterwards, (vid, value); those it set itself it sent.
    std::vector<std::pair<uint16_t, int64_t>> held;
    bool setByTheUnit = false;
};
void PrintTo(const AimCase& c, std::ostream* os) {
    *os << c.name;
}

class BehaviourAims : public BehaviourTest, public ::testing::WithParamInterface<AimCase> {};

TEST_P(BehaviourAims, TheRoomAimsWhereTheDisplaysWritesMean) {
    setClock(MONDAY_NINE);
    for (const Write& w : GetParam().writes) {
        ASSERT_NO_FATAL_FAILURE(write(w.oid, w.vid, w.type, w.value));
    }
    const int64_t desired = GetParam().desired;
    ASSERT_TRUE(waitFor([&] { return held(LIVING, 0x001D) == desired; }, 1000)) << held(LIVING, 0x001D);
    // It stands: the unit's life does not take it back.
    run(3 * PERIOD);
    EXPECT_EQ(held(LIVING, 0x001D), desired);
    EXPECT_EQ(lastSent(LIVING, 0x001D), desired);
    for (const auto& [vid, value] : GetParam().held) {
        EXPECT_EQ(held(LIVING, vid), value) << std::hex << vid;
        if (GetParam().setByTheUnit) {
            EXPECT_EQ(lastSent(LIVING, vid), value) << std::hex << vid;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Writes, BehaviourAims,
    ::testing::ValuesIn(std::vector<AimCase>{
        // A fixed mode: the arrows and the preset buttons write the manual temperature.
        {"ArrowInAFixedMode", {{LIVING, 0x801A, 18, 2200}}, 2200, {}},
        {"EcoButtonInAFixedMode", {{LIVING, 0x801A, 18, 1900}}, 1900, {}},
        // A change of mode starts from the mode's preset, for both seasons.
        {"ModeToEco", {{LIVING, 0x8004, 12, 2}}, 1900, {{0x801A, 1900}, {0x802D, 2600}}, true},
        {"ModeToExtraComfort", {{LIVING, 0x8004, 12, 4}}, 2300, {{0x801A, 2300}, {0x802D, 2300}}, true},
        {"ModeToManualKeepsTheManualTemperature",
         {{LIVING, 0x801A, 18, 2250}, {LIVING, 0x8004, 12, 1}},
         2250,
         {}},
        // The mode it already has, written again, starts nothing: the user's temperature stays.
        {"SameModeAgainKeepsTheManualTemperature",
         {{LIVING, 0x8004, 12, 2}, {LIVING, 0x801A, 18, 2200}, {LIVING, 0x8004, 12, 2}},
         2200,
         {{0x801A, 2200}}},
        {"InstalledModeAgainKeepsTheManualTemperature",
         {{LIVING, 0x801A, 18, 2200}, {LIVING, 0x8004, 12, 3}},
         2200,
         {{0x801A, 2200}}},
        // The week schedule (eco now) and an arrow on it: schedule overridden, adjusted temperature.
        {"WeekSchedule", {{LIVING, 0x8004, 12, 0}}, 1900, {}},
        {"ArrowOnTheWeekSchedule",
         {{LIVING, 0x8004, 12, 0}, {LIVING, 0x8005, 12, 3}, {LIVING, 0x8020, 18, 2200}},
         2200,
         {{0x8005, 3}}},
        {"TemporaryMode", {{LIVING, 0x8005, 12, 1}, {LIVING, 0x801E, 18, 2350}}, 2350, {}},
        {"Vacation", {{LOCATION, 0x8085, 12, 1}}, 1500, {}},
        // A room that takes no part in vacation (in eco here) keeps its own aim.
        {"VacationInARoomThatDoesNotTakePart",
         {{LIVING, 0x8004, 12, 2}, {LIVING, 0x8084, 12, 0}, {LOCATION, 0x8085, 12, 1}},
         1900,
         {}},
        {"Standby", {{LOCATION, 0x8087, 12, 1}}, 1000, {}},
        // Summer: the cooling settings.
        {"SummerFixedMode", {{LOCATION, 0x803D, 12, 1}}, 2450, {}},
        {"SummerArrowInAFixedMode", {{LOCATION, 0x803D, 12, 1}, {LIVING, 0x802D, 18, 2550}}, 2550, {}},
        {"SummerModeToEco", {{LOCATION, 0x803D, 12, 1}, {LIVING, 0x8004, 12, 2}}, 2600, {}},
        {"SummerWeekSchedule", {{LOCATION, 0x803D, 12, 1}, {LIVING, 0x8004, 12, 0}}, 2600, {}},
        {"SummerArrowOnTheWeekSchedule",
         {{LOCATION, 0x803D, 12, 1},
          {LIVING, 0x8004, 12, 0},
          {LIVING, 0x8005, 12, 3},
          {LIVING, 0x8033, 18, 2500}},
         2500,
         {}},
        {"SummerTemporaryMode", {{LOCATION, 0x803D, 12, 1}, {LIVING, 0x8005, 12, 1}}, 2400, {}},
        {"SummerVacation", {{LOCATION, 0x803D, 12, 1}, {LOCATION, 0x8085, 12, 1}}, 2800, {}},
        {"SummerStandby", {{LOCATION, 0x803D, 12, 1}, {LOCATION, 0x8087, 12, 1}}, 1800, {}},
    }),
    [](const ::testing::TestParamInfo<AimCase>& info) { return std::string(info.param.name); });

struct OverrideCase {
    const char* name;
    uint8_t override;
    uint16_t setpoint;
    uint32_t lasts; // seconds; 0: an override without an end
};
void PrintTo(const OverrideCase& c, std::ostream* os) {
    *os << c.name;
}

class BehaviourOverrides : public BehaviourTest, public ::testing::WithParamInterface<OverrideCase> {};

TEST_P(BehaviourOverrides, AnOverrideEndsAtItsEndAndTheRoomGoesBackToItsSchedule) {
    const OverrideCase& c = GetParam();
    setClock(MONDAY_NINE);
    write(LIVING, 0x8004, 12, 0);
    write(LIVING, 0x8005, 12, c.override);
    write(LIVING, 0x8006, 14, c.lasts == 0 ? 0 : UNIX + MONDAY_NINE + c.lasts);
    write(LIVING, c.setpoint, 18, 2250);
    ASSERT_TRUE(waitFor([&] { return held(LIVING, 0x001D) == 2250; }, 1000));

    run((c.lasts == 0 ? 3600 : c.lasts) * 1000 - PERIOD);
    EXPECT_EQ(held(LIVING, 0x001D), 2250) << "not before its end";
    EXPECT_EQ(held(LIVING, 0x8005), c.override);
    run(2 * PERIOD);
    if (c.lasts == 0) {
        EXPECT_EQ(held(LIVING, 0x001D), 2250) << "without an end it stays";
        EXPECT_EQ(held(LIVING, 0x8005), c.override);
        return;
    }
    EXPECT_EQ(lastSent(LIVING, 0x8005), 0);
    EXPECT_EQ(lastSent(LIVING, 0x8006), 0);
    EXPECT_EQ(lastSent(LIVING, 0x001D), 1900) << "the schedule's eco";
}

INSTANTIATE_TEST_SUITE_P(Overrides, BehaviourOverrides,
                         ::testing::ValuesIn(std::vector<OverrideCase>{
                             {"ScheduleOverriddenForAnHour", 3, 0x8020, 3600},
                             {"ScheduleOverriddenWithoutEnd", 3, 0x8020, 0},
                             {"TemporaryForHalfAnHour", 1, 0x801E, 1800},
                             {"TemporaryWithoutEnd", 1, 0x801E, 0},
                         }),
                         [](const ::testing::TestParamInfo<OverrideCase>& info) {
                             return std::string(info.param.name);
                         });

struct StateCase {
    const char* name;
    std::vector<Write> writes;
    int64_t air;
    int64_t state; // 0x001B: 0 idle, 2 heating, 3 cooling
    // Written after that period: the state they make shows at once, not a period later.
    std::vector<Write> then = {};
    int64_t stateThen = 0;
};
void PrintTo(const StateCase& c, std::ostream* os) {
    *os << c.name;
}

class BehaviourStates : public BehaviourTest, public ::testing::WithParamInterface<StateCase> {};

TEST_P(BehaviourStates, TheRoomsStateAndThermoheadsShowOnlyACallForHeatOrCold) {
    for (const Write& w : GetParam().writes) {
        ASSERT_NO_FATAL_FAILURE(write(w.oid, w.vid, w.type, w.value));
    }
    mSim.publish(LIVING, 0x000C, 18, GetParam().air);
    run(PERIOD);
    const int64_t state = GetParam().state;
    EXPECT_EQ(held(LIVING, 0x001B), state);
    EXPECT_EQ(held(LIVING_HEAD, 0x004C), state == 0 ? 0 : 10000);
    if (GetParam().then.empty()) {
        return;
    }
    const int64_t air = held(LIVING, 0x000C);
    for (const Write& w : GetParam().then) {
        ASSERT_NO_FATAL_FAILURE(write(w.oid, w.vid, w.type, w.value));
    }
    const int64_t stateThen = GetParam().stateThen;
    EXPECT_EQ(held(LIVING, 0x001B), stateThen);
    EXPECT_EQ(held(LIVING_HEAD, 0x004C), stateThen == 0 ? 0 : 10000);
    EXPECT_TRUE(waitFor([&] { return lastSent(LIVING, 0x001B) == stateThen; }, 1000));
    EXPECT_EQ(held(LIVING, 0x000C), air) << "the air has not moved since: no period passed";
}

INSTANTIATE_TEST_SUITE_P(
    States, BehaviourStates,
    ::testing::ValuesIn(std::vector<StateCase>{
        {"WinterBelow", {}, 2000, 2},
        {"WinterReached", {}, 2150, 0},
        // The state is judged after the air moved: a room that reaches its aim in this period calls no more.
        {"WinterReachedInThePeriod", {}, 2140, 0},
        {"WinterAbove", {}, 2300, 0},
        {"StandbyBelow", {{LOCATION, 0x8087, 12, 1}}, 800, 0},
        {"StandbyAbove", {{LOCATION, 0x8087, 12, 1}}, 2000, 0},
        {"SummerAbove", {{LOCATION, 0x803D, 12, 1}}, 2600, 3},
        {"SummerReached", {{LOCATION, 0x803D, 12, 1}}, 2450, 0},
        {"SummerReachedInThePeriod", {{LOCATION, 0x803D, 12, 1}}, 2460, 0},
        {"SummerBelow", {{LOCATION, 0x803D, 12, 1}}, 2300, 0},
        {"SummerStandbyAbove", {{LOCATION, 0x803D, 12, 1}, {LOCATION, 0x8087, 12, 1}}, 2600, 0},
        // What the display writes is judged when it arrives: the flame comes, or goes, without waiting.
        {"WinterSetPointRaised", {}, 2150, 0, {{LIVING, 0x801A, 18, 2200}}, 2},
        {"WinterSetPointLowered", {}, 2000, 2, {{LIVING, 0x801A, 18, 1900}}, 0},
        {"StandbySwitchedOn", {}, 2000, 2, {{LOCATION, 0x8087, 12, 1}}, 0},
        {"SummerSetPointLowered", {{LOCATION, 0x803D, 12, 1}}, 2450, 0, {{LIVING, 0x802D, 18, 2400}}, 3},
    }),
    [](const ::testing::TestParamInfo<StateCase>& info) { return std::string(info.param.name); });

struct OutdoorCase {
    const char* name;
    int64_t source;  // what the display writes as the location's outdoor sensor source (0x80EF)
    uint32_t sensor; // whose outdoor temperature the location then shows
};
void PrintTo(const OutdoorCase& c, std::ostream* os) {
    *os << c.name;
}

class BehaviourOutdoor : public BehaviourTest, public ::testing::WithParamInterface<OutdoorCase> {};

TEST_P(BehaviourOutdoor, TheLocationsOutdoorTemperatureIsItsSensors) {
    constexpr uint32_t OUTDOOR_SENSOR = 0x00000522;
    EXPECT_EQ(held(LOCATION, 0x0036), held(OUTDOOR_SENSOR, 0x0036)) << "the installation agrees with itself";
    write(LOCATION, 0x80EF, 14, GetParam().source);
    const uint32_t sensor = GetParam().sensor;
    ASSERT_TRUE(waitFor([&] { return held(LOCATION, 0x0036) == held(sensor, 0x0036); }, 1000));
    // The sensor measures another temperature: the location follows within a period.
    mSim.publish(sensor, 0x0036, 18, -250);
    run(PERIOD);
    EXPECT_EQ(held(LOCATION, 0x0036), -250);
    EXPECT_EQ(lastSent(LOCATION, 0x0036), -250);
}

INSTANTIATE_TEST_SUITE_P(Sources, BehaviourOutdoor,
                         ::testing::ValuesIn(std::vector<OutdoorCase>{
                             {"ExternalSensor", 0, 0x00000522},
                             {"NamedSensor", 0x00000522, 0x00000522},
                             {"ControlUnitsWiredSensor", 0x00000316, 0x00000316},
                         }),
                         [](const ::testing::TestParamInfo<OutdoorCase>& info) {
                             return std::string(info.param.name);
                         });

// The hot-water tank of the default installation: comfort 50, vacation and standby 40 degrees.
constexpr uint32_t TANK = 0x0B000316;

struct TankCase {
    const char* name;
    int64_t temperature; // 0x0061 as the test starts
    int64_t state;       // 0x0060 as the test starts: 0 idle, 1 heating
    std::vector<Write> writes;
    uint32_t periods; // that pass after the writes
    int64_t set;      // 0x0062 afterwards
    int64_t temperatureAfter;
    int64_t stateAfter;
};
void PrintTo(const TankCase& c, std::ostream* os) {
    *os << c.name;
}

class BehaviourTank : public BehaviourTest, public ::testing::WithParamInterface<TankCase> {};

TEST_P(BehaviourTank, TheTankHeatsUpToItsSetTemperatureAndCoolsSlowlyWhileNotHeated) {
    const TankCase& c = GetParam();
    const int64_t setBefore = held(TANK, 0x0062);
    mSim.publish(TANK, 0x0061, 18, c.temperature);
    mSim.publish(TANK, 0x0060, 12, c.state);
    for (const Write& w : c.writes) {
        ASSERT_NO_FATAL_FAILURE(write(w.oid, w.vid, w.type, w.value));
    }
    run(c.periods * PERIOD);
    EXPECT_EQ(held(TANK, 0x0062), c.set);
    EXPECT_EQ(held(TANK, 0x0061), c.temperatureAfter);
    EXPECT_EQ(held(TANK, 0x0060), c.stateAfter);
    // The display sees it too.
    EXPECT_TRUE(waitFor(
        [&] {
            return lastSent(TANK, 0x0061) == c.temperatureAfter && lastSent(TANK, 0x0060) == c.stateAfter &&
                   (c.set == setBefore || lastSent(TANK, 0x0062) == c.set);
        },
        1000))
        << lastSent(TANK, 0x0061) << " " << lastSent(TANK, 0x0060) << " " << lastSent(TANK, 0x0062);
}

INSTANTIATE_TEST_SUITE_P(
    Tanks, BehaviourTank,
    ::testing::ValuesIn(std::vector<TankCase>{
        {"BelowItsSetTemperatureItHeatsAndRises", 4800, 1, {}, 1, 5000, 4850, 1},
        {"ReachingItsSetTemperatureItStops", 4800, 1, {}, 4, 5000, 5000, 0},
        {"NotHeatedItCoolsSlowly", 4800, 1, {}, 6, 5000, 4980, 0},
        // It heats again only once it has cooled 5 degrees below its set temperature.
        {"CoolingWithinItsHysteresisItWaits", 4510, 0, {}, 1, 5000, 4500, 0},
        {"CooledBelowItsHysteresisItHeatsAgain", 4510, 0, {}, 2, 5000, 4490, 1},
        {"HeatingAgainItRises", 4510, 0, {}, 3, 5000, 4540, 1},
        // A set temperature the display writes is followed at once, and heated to.
        {"ANewSetTemperatureAtOnce", 5000, 0, {{TANK, 0x8115, 18, 6000}}, 0, 6000, 5000, 1},
        {"ANewSetTemperatureHeatedTo", 5000, 0, {{TANK, 0x8115, 18, 6000}}, 20, 6000, 6000, 0},
        {"ALowerSetTemperatureStopsItAtOnce", 4800, 1, {{TANK, 0x8115, 18, 4600}}, 0, 4600, 4800, 0},
        {"ASlightlyHigherSetTemperatureWaits", 5000, 0, {{TANK, 0x8115, 18, 5300}}, 1, 5300, 4990, 0},
        // The location's programs, in a tank that takes part and in one that does not.
        {"Vacation", 4800, 1, {{LOCATION, 0x8085, 12, 1}}, 0, 4000, 4800, 0},
        {"VacationInATankThatDoesNotTakePart",
         4800,
         1,
         {{TANK, 0x808D, 12, 0}, {LOCATION, 0x8085, 12, 1}},
         1,
         5000,
         4850,
         1},
        {"Standby", 4800, 1, {{TANK, 0x8116, 18, 3800}, {LOCATION, 0x8087, 12, 1}}, 0, 3800, 4800, 0},
        {"StandbyInATankThatDoesNotTakePart",
         4800,
         1,
         {{TANK, 0x8113, 12, 0}, {LOCATION, 0x8087, 12, 1}},
         1,
         5000,
         4850,
         1},
    }),
    [](const ::testing::TestParamInfo<TankCase>& info) { return std::string(info.param.name); });

TEST_F(BehaviourTest, AFunctionsRoomListNamesItInItsRoomsAndTakesThemFromAnother) {
    constexpr uint32_t CONTROLLER = 0x08000316;
    constexpr uint32_t CIRCUIT = 0x09000316;
    constexpr uint32_t BEDROOM = 0x02000316;
    const auto listOf = [](std::vector<uint32_t> ids) {
        sim::SimValue list{.type = 16, .timestamp = 0, .bytes = std::vector<uint8_t>(4 * ids.size())};
        for (size_t i = 0; i < ids.size(); ++i) {
            put_le32(list.bytes.data() + 4 * i, ids[i]);
        }
        return list;
    };
    const auto writeList = [&](uint32_t function, const std::vector<uint32_t>& ids) {
        upper().toSend.emplace_back(TNET_CMD_PUBLISH, sim::sim_encode_publish(function, 0x80B8, listOf(ids)));
        ASSERT_TRUE(waitFor([&] { return holds(mSim, function, 0x80B8, listOf(ids).bytes); }, 1000));
    };
    // The circuit lets the bedroom go: it serves no function.
    writeList(CIRCUIT, {LIVING});
    ASSERT_TRUE(waitFor([] { return lastSent(BEDROOM, 0x810C) == 0xFFFFFFFF; }, 1000));
    EXPECT_EQ(held(LIVING, 0x810C), CIRCUIT) << "kept, not sent again";
    EXPECT_EQ(lastSent(LIVING, 0x810C), -99999);

    // The controller takes the living room: the circuit's list lets it go.
    writeList(CONTROLLER, {LIVING, BEDROOM});
    ASSERT_TRUE(waitFor([] { return lastSent(LIVING, 0x810C) == CONTROLLER; }, 1000));
    EXPECT_EQ(held(BEDROOM, 0x810C), CONTROLLER);
    EXPECT_EQ(heldValue(mSim, CIRCUIT, 0x80B8).bytes, std::vector<uint8_t>{});
}

} // namespace
} // namespace tdx::test
