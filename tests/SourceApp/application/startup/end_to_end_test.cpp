// The whole application against the simulated control unit: synchronisation and values both ways.
#include "sim_app_fixture.h"

#include "SourceApp/big_table/proxytab.h"

namespace tdx::test {
namespace {

constexpr uint32_t ROOM = 0x01000316;
constexpr uint16_t ROOM_SETTING = 0x8010; // a signed 16-bit setting (type 18)

TEST_F(EndToEnd, SynchronisesUnderTheSplashStateAndCarriesValuesBothWays) {
    ASSERT_TRUE(runUntil(synchronised, 60000));
    EXPECT_EQ(mTrace.count("tavi: event 7"), 1u);
    EXPECT_EQ(core().getStateManager().getState().getStateId(), 2u);
    EXPECT_EQ(core().getScreen()->getName(), "FormSplash");
    runUntil([] { return false; }, 500);
    expectTheInstallationMirrored();

    mSim.publish(ROOM, ROOM_SETTING, 18, 2250);
    int value = 0;
    ASSERT_TRUE(
        runUntil([&] { return pt_get_int(&value, ROOM, ROOM_SETTING) == PT_OK && value == 2250; }, 2000));

    // What a screen writes on the application thread goes out once.
    handOver().postCommand([] { pt_set_int(ROOM, ROOM_SETTING, 1950, 18); });
    auto sent = [this] {
        int n = 0;
        for (const sim::SimPublish& p : mSim.received_publishes()) {
            n += p.oid == ROOM && p.vid == ROOM_SETTING && p.value.number() == 1950;
        }
        return n;
    };
    ASSERT_TRUE(runUntil([&] { return sent() > 0; }, 2000));
    runUntil([] { return false; }, 1000);
    EXPECT_EQ(sent(), 1);
    EXPECT_EQ(heldNumber(mSim, ROOM, ROOM_SETTING), 1950);
}

TEST_F(EndToEnd, SynchronisesAgainAfterARestart) {
    ASSERT_TRUE(runUntil(synchronised, 60000));
    static bool asked = false;
    os_set_restart_hook([] { asked = true; });
    os_restart();
    ASSERT_TRUE(asked);
    start(mLoop.port());
    EXPECT_FALSE(synchronised());
    EXPECT_EQ(Structure.size(), 2u);
    ASSERT_TRUE(runUntil(synchronised, 60000));
    runUntil([] { return false; }, 500);
    expectTheInstallationMirrored();
}

} // namespace
} // namespace tdx::test
