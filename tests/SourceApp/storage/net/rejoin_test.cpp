// A control unit that goes away and comes back, and a port that fails and recovers: the display reports the
// loss within its supervision time and synchronises again by itself.
#include "bridge_harness.h"

#include <cerrno>

namespace tdx::test {
namespace {

constexpr oid_t ROOM = 0x01000316;
// The loss is told by the end of the session, which the supervision time sets (and the pump's 10 ms steps).
constexpr uint32_t LOSS_REPORTED_MS = TNET_SUPERVISION_MS + 20;
// A returning unit or port is synchronised again within this (a small installation, in-process).
constexpr uint32_t REJOINED_MS = 3000;

void populate(sim::SimControlUnit& unit) {
    unit.add_object(LOCATION, BT_OBJ_LOCATION, 0);
    unit.add_object(UNIT, BT_OBJ_DEVICE, 0);
    unit.add_object(ROOM, BT_OBJ_ROOM, 0);
    unit.publish(ROOM, 0x000C, BT_VTYPE_S16_X100, 2150);
}

void pump() {
    Net::Tavi.task();
    tnet_task();
    Structure.task();
}

// The loop port whose reads fail (EIO) while `failing`, as a serial driver's do after a glitch.
struct FailingPort {
    static inline bool failing = false;
    static int read(int index, uint8_t* buf, int max) {
        if (failing) {
            errno = EIO;
            return -1;
        }
        return loop_serial_port.read(index, buf, max);
    }
};
const serial_port& failingPort() {
    static const serial_port port{loop_serial_port.open, FailingPort::read, loop_serial_port.write,
                                  loop_serial_port.close, loop_serial_port.connected};
    return port;
}

class RejoinTest : public BridgeTest {
protected:
    void synchroniseFirst() {
        populate(mSim);
        ASSERT_TRUE(synchronise());
        run(200);
        ASSERT_EQ(bridgeEvents(), (std::vector<int>{5, 7}));
    }
};

TEST_F(RejoinTest, AControlUnitThatRestartsIsReportedLostAndItsNewSessionSynchronises) {
    synchroniseFirst();
    // The unit restarts: the old one falls silent for good, a new one that knows the display starts with a
    // search, as the simulator does after its restart.
    mSim.faults().stopPolling = true;
    const uint64_t silentAt = timer();
    ASSERT_TRUE(waitFor([] { return !Net::Tavi.isConnected(); }, LOSS_REPORTED_MS));
    EXPECT_EQ(bridgeEvents(), (std::vector<int>{5, 7, 6}));
    EXPECT_LE(timer() - silentAt, LOSS_REPORTED_MS);

    sim::SimControlUnit restarted(mLoop);
    populate(restarted);
    restarted.publish(ROOM, 0x000C, BT_VTYPE_S16_X100, 1990);
    restarted.knowClient(mSelf, true);
    restarted.setPump(pump);
    ASSERT_TRUE(restarted.wait_until([] { return Net::Tavi.isSynchronized(); }, REJOINED_MS));
    EXPECT_EQ(bridgeEvents(), (std::vector<int>{5, 7, 6, 5, 7}));
    EXPECT_EQ(tableInt(ROOM, 0x000C), 1990);
    EXPECT_EQ(restarted.subscriptions().size(), 2u);
}

// While a device's bootloader is talked to, the unit's new session after its restart starts no
// synchronisation: the bootloader's datagrams would wait behind it. Released, it synchronises.
TEST_F(RejoinTest, ARestartWhileTheTrafficIsHeldOpensTheSessionAndSynchronisesOnlyOnceReleased) {
    synchroniseFirst();
    Net::Tavi.holdTraffic(true);
    mSim.faults().stopPolling = true;
    ASSERT_TRUE(waitFor([] { return !Net::Tavi.isConnected(); }, LOSS_REPORTED_MS));

    sim::SimControlUnit restarted(mLoop);
    populate(restarted);
    restarted.knowClient(mSelf, true);
    restarted.setPump(pump);
    ASSERT_TRUE(restarted.wait_until([] { return Net::Tavi.isConnected(); }, REJOINED_MS));
    restarted.wait_until([] { return false; }, 1000);
    EXPECT_EQ(bridgeEvents(), (std::vector<int>{5, 7, 6, 5})) << "connected, no synchronisation started";
    EXPECT_TRUE(restarted.subscriptions().empty());
    EXPECT_FALSE(Net::Tavi.isSynchronized());

    Net::Tavi.holdTraffic(false);
    ASSERT_TRUE(restarted.wait_until([] { return Net::Tavi.isSynchronized(); }, REJOINED_MS));
    EXPECT_EQ(bridgeEvents(), (std::vector<int>{5, 7, 6, 5, 7}));
    EXPECT_EQ(restarted.subscriptions().size(), 2u);
}

TEST_F(RejoinTest, APortThatFailsItsReadsIsReportedLostOnceAndSynchronisesWhenItRecovers) {
    FailingPort::failing = false;
    tnet_set_serial_port(&failingPort());
    ASSERT_EQ(tnet_init_interface_bus(0, mLoop.port().c_str(), 1, 0), 0);
    synchroniseFirst();

    FailingPort::failing = true;
    const uint64_t failingAt = timer();
    ASSERT_TRUE(waitFor([] { return !Net::Tavi.isConnected(); }, LOSS_REPORTED_MS));
    EXPECT_LE(timer() - failingAt, LOSS_REPORTED_MS);
    run(2000);
    EXPECT_EQ(bridgeEvents(), (std::vector<int>{5, 7, 6}));
    // Told once, not at every pass of the network task.
    EXPECT_EQ(traceCount("read failed"), 1u) << traceText();

    FailingPort::failing = false;
    mSim.publish(ROOM, 0x000C, BT_VTYPE_S16_X100, 1990);
    ASSERT_TRUE(waitFor([] { return Net::Tavi.isSynchronized(); }, REJOINED_MS));
    EXPECT_EQ(bridgeEvents(), (std::vector<int>{5, 7, 6, 5, 7}));
    EXPECT_EQ(tableInt(ROOM, 0x000C), 1990);
    EXPECT_EQ(traceCount("read works again"), 1u);
}

} // namespace
} // namespace tdx::test
