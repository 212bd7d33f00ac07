// The whole application against the simulated control unit with its default installation: the real start-up
// and main loop on one side of the in-process converter pipe, the simulator on the other, one pass per
// millisecond of the shared fake clock and the host's tick every 62 ms.
#include "app_fixture.h"

#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/ProxyStructure.h"
#include "SourceApp/storage/net/TaviProtocol.h"
#include "tools/simcu/installation.h"
#include "tools/simcu/simcu.h"

#include <functional>

namespace tdx::test {
namespace {

constexpr uint32_t ROOM = 0x01000316;
constexpr uint16_t ROOM_SETTING = 0x8010; // a signed 16-bit setting (type 18)

class EndToEnd : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        std::string error;
        auto installation = sim::sim_load_installation(sim::sim_default_installation_path(), &error);
        ASSERT_TRUE(installation) << error;
        mSim.model() = std::move(installation->model);
        start(mLoop.port());
    }

    // The simulator, then one pass, then a millisecond; false when `done` did not hold within `ms`.
    bool runUntil(const std::function<bool()>& done, uint32_t ms) {
        for (uint32_t t = 0; t < ms; ++t) {
            mSim.step();
            pass();
            os_clock_advance(1);
            if (++mSinceTick == 62) {
                mSinceTick = 0;
                core().tick();
            }
            if (done()) {
                mSim.receive();
                return true;
            }
        }
        return false;
    }

    void expectTheInstallationMirrored() {
        size_t objects = 0;
        mSim.model().forEachObject(sim::ALL_OBJECTS, [&](uint32_t oid, const sim::SimObject& o) {
            ++objects;
            const ProxyObject* object = Structure.find(oid);
            ASSERT_NE(object, nullptr) << std::hex << oid;
            EXPECT_TRUE(object->type().is(o.type, o.subtype)) << std::hex << oid;
        });
        EXPECT_EQ(Structure.size(), objects + 1); // and this display
    }

    static bool synchronised() { return Net::Tavi.isSynchronized(); }

    sim::LoopStream mLoop{"app-e2e"};
    sim::SimControlUnit mSim{mLoop};
    int mSinceTick = 0;
};

TEST_F(EndToEnd, SynchronisesUnderTheSplashStateAndCarriesValuesBothWays) {
    ASSERT_TRUE(runUntil(synchronised, 60000));
    EXPECT_EQ(mTrace.count("tavi: event 7"), 1u);
    EXPECT_EQ(core().getStateManager().getState().getStateId(), 2u);
    EXPECT_EQ(core().getScreen()->getName(), "FormNotImplemented");
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
    EXPECT_EQ(mSim.value(ROOM, ROOM_SETTING)->number(), 1950);
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
