// The shipped installation synchronised over a line paced at 57600 baud: close to what the line can carry
// when it is clean, and without a session reset when some of its bytes arrive corrupted.
#include "bridge_harness.h"

#include "tests/support/sync_run.h"
#include "tools/simcu/installation.h"

namespace tdx::test {
namespace {

class WireSyncTest : public BridgeTest {
protected:
    WireSyncTest()
        : BridgeTest(sim::WireConfig{57600, 0.0, 13}) {}

    void SetUp() override {
        BridgeTest::SetUp();
        std::string error;
        auto installation = sim::sim_load_installation(sim::sim_default_installation_path(), &error);
        ASSERT_TRUE(installation) << error;
        mSim.model() = std::move(installation->model);
        Net::Tavi.setEventSink([this](int kind) {
            bridgeEvents().push_back(kind);
            if (kind == Net::NET_EVENT_CONNECTED) {
                mConnectedAt = timer();
                mCarriedAtConnect = mWire->carried();
            }
        });
    }

    // Milliseconds from the session's start to "ready", on a 1 ms step so that the line, not the loop,
    // sets the pace.
    uint64_t synchroniseTimed() {
        EXPECT_TRUE(mSim.wait_until([] { return Net::Tavi.isSynchronized(); }, 60000, 1));
        return timer() - mConnectedAt;
    }

    uint64_t mConnectedAt = 0;
    uint64_t mCarriedAtConnect = 0;
};

TEST_F(WireSyncTest, CleanLineSynchronisesWithinOneAndAHalfTimesItsLineTimeAndNoisyWithinThreeTimesThat) {
    const uint64_t clean = synchroniseTimed();
    // Every byte that crossed, both ways, at 10 bits a byte.
    const uint64_t lineBound = (mWire->carried() - mCarriedAtConnect) * 10 * 1000 / 57600;
    RecordProperty("clean_ms", static_cast<int>(clean));
    RecordProperty("line_bound_ms", static_cast<int>(lineBound));
    EXPECT_GE(clean, lineBound) << "no faster than the line";
    EXPECT_LE(clean * 2, lineBound * 3) << clean << " ms against a line time of " << lineBound << " ms";

    mWire->setNoise(0.005);
    mSim.disconnectClient();
    ASSERT_TRUE(waitFor([] { return !Net::Tavi.isConnected(); }));
    const uint64_t noisy = synchroniseTimed();
    RecordProperty("noisy_ms", static_cast<int>(noisy));
    EXPECT_LE(noisy, 3 * clean) << noisy << " ms with 0.5 % of the bytes spoiled, " << clean << " ms clean";
    EXPECT_GT(mWire->spoiled(), 0u);
    // Only the reset the master asked for: no lost reply ended a session.
    EXPECT_EQ(bridgeEvents(), (std::vector<int>{5, 7, 6, 5, 7}));
}

} // namespace
} // namespace tdx::test

namespace tdx::test {
namespace {

// Counted from the first session, resets and all: one percent of the bytes spoiled may cost a user on an
// unlucky line no more than three times the clean synchronisation.
TEST(NoisyWire, EverySeedSynchronisesWithinThreeTimesTheCleanTimeAtOnePercent) {
    TraceCapture quiet;
    const SyncRun clean = sync_default_installation(0.0, 1);
    ASSERT_TRUE(clean.synchronised);
    for (uint32_t seed = 1; seed <= 8; ++seed) {
        const SyncRun noisy = sync_default_installation(0.01, seed);
        EXPECT_TRUE(noisy.synchronised) << seed;
        EXPECT_LE(noisy.ms, 3 * clean.ms) << "seed " << seed << ": " << noisy.ms << " ms, clean " << clean.ms;
    }
}

} // namespace
} // namespace tdx::test
