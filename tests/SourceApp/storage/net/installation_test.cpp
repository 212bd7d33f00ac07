// The display synchronised with the simulator's shipped installation, in process and over a real
// pseudo-terminal with the simulator's executable.
#include "bridge_harness.h"

#include "SourceApp/storage/values/Catalogue.h"
#include "SourceHost/api_lib/scratch_folder.h"
#include "tests/support/simcu_process.h"
#include "tests/support/trace_capture.h"
#include "tools/simcu/installation.h"

#include <chrono>
#include <cstdio>
#include <fstream>

namespace tdx::test {
namespace {

class InstallationTest : public BridgeTest {
protected:
    void SetUp() override {
        BridgeTest::SetUp();
        std::string error;
        auto installation = sim::sim_load_installation(sim::sim_default_installation_path(), &error);
        ASSERT_TRUE(installation) << error;
        ASSERT_EQ(installation->address, UNIT);
        mSim.model() = std::move(installation->model);
    }

    // Every value of the simulator's model is in the value table as the model holds it.
    void expectTheTableHoldsTheModel() {
        size_t values = 0;
        mSim.model().forEachValue(
            sim::ALL_OBJECTS, sim::ALL_VALUES, [&](uint32_t oid, uint16_t vid, const sim::SimValue& value) {
                ++values;
                bt_vtype type = 0;
                ASSERT_EQ(pt_get_vtype(&type, oid, vid), PT_OK) << std::hex << oid << " " << vid;
                EXPECT_EQ(type, value.type);
                if (BT_VTYPE_IS_INT(type)) {
                    int number = 0;
                    pt_get_int(&number, oid, vid);
                    EXPECT_EQ(number, static_cast<int>(value.number())) << std::hex << oid << " " << vid;
                } else {
                    std::vector<uint8_t> bytes(256);
                    const int n = pt_get_data(bytes.data(), 256, oid, vid);
                    ASSERT_GE(n, 0);
                    bytes.resize(static_cast<size_t>(n));
                    EXPECT_EQ(bytes, value.bytes) << std::hex << oid << " " << vid;
                }
            });
        EXPECT_GT(values, 250u);
    }
};

TEST_F(InstallationTest, TheTreeEqualsTheSimulatorsModelAndEveryScreenValueIsThere) {
    // Every object and value takes one poll of 50 ms.
    ASSERT_TRUE(waitFor([] { return Net::Tavi.isSynchronized(); }, 60000));
    run(500);
    size_t objects = 0;
    mSim.model().forEachObject(sim::ALL_OBJECTS, [&](uint32_t oid, const sim::SimObject& o) {
        ++objects;
        const ProxyObject* object = Structure.find(oid);
        ASSERT_NE(object, nullptr) << std::hex << oid;
        EXPECT_TRUE(object->type().is(o.type, o.subtype)) << std::hex << oid;
        ASSERT_NE(object->getTemplate(), nullptr) << std::hex << oid;
        // Every value a screen binds to is listed and held.
        for (const DataModel::Value* value : *object->getTemplate()) {
            if (mSim.model().value(oid, value->vid())) {
                EXPECT_TRUE(object->hasValue(value->vid())) << std::hex << oid << " " << value->vid();
            }
        }
    });
    // The display's own device is not the control unit's: it came from start-up.
    EXPECT_EQ(Structure.size(), objects + 1);
    expectTheTableHoldsTheModel();
    // Every answer came whole: nothing was asked again.
    EXPECT_EQ(traceCount("subscribing again"), 0u);

    // The rooms' output indices point at the display's own output list.
    for (const oid_t room : {0x01000316u, 0x02000316u}) {
        std::vector<uint8_t> indices(64);
        const int n = Structure.find(room)->getData(indices.data(), 64, 0x808F);
        ASSERT_GT(n, 0);
        for (int i = 0; i < n; ++i) {
            const oid_t output = Structure.getOutputAtIndex(indices[static_cast<size_t>(i)]);
            ASSERT_NE(Structure.find(output), nullptr);
            EXPECT_TRUE(Structure.find(output)->type().is(BT_OBJ_OUTPUT, 6));
        }
    }
    std::string name;
    EXPECT_EQ(Structure.find(0x01000316)->getText(name, 0x000F8090), PT_OK);
    EXPECT_EQ(name, "Living room");
    // What came from the control unit is not published back to it.
    for (const auto& publish : mSim.received_publishes()) {
        EXPECT_EQ(publish.oid, mSelf) << "a value of the control unit came back: " << std::hex << publish.oid;
    }
}

// The unit's answer to the subscription to everything pauses 2.5 s before every 40th packet, so that it takes
// well beyond the bound, but never stops bringing something new for that long: it is not asked again.
TEST_F(InstallationTest, ASlowAnswerThatKeepsComingIsNotAskedAgain) {
    size_t paused = 0;
    mSim.setStepListener([&] {
        const size_t sent = static_cast<size_t>(mSim.count(true, TNET_CMD_PUBLISH));
        if (Net::Tavi.state() == Net::TaviProtocol::State::SubscribingAll && sent / 40 > paused) {
            paused = sent / 40;
            mSim.faults().pauseMs = 2500;
        }
    });
    const auto subscribing = [] { return Net::Tavi.state() == Net::TaviProtocol::State::SubscribingAll; };
    ASSERT_TRUE(waitFor(subscribing, 5000));
    const uint64_t subscribed = timer();
    ASSERT_TRUE(waitFor([] { return Net::Tavi.isSynchronized(); }, 120000));
    mSim.setStepListener(nullptr);
    EXPECT_GE(paused, 6u);
    EXPECT_GT(timer() - subscribed, 2 * Net::NET_ANSWER_TIMEOUT_MS);
    EXPECT_EQ(traceCount("subscribing again"), 0u);
    EXPECT_EQ(mSim.subscriptions().size(), 2u);
    EXPECT_EQ(bridgeEvents(), (std::vector<int>{Net::NET_EVENT_CONNECTED, Net::NET_EVENT_SYNC_STARTED}));
    run(500);
    expectTheTableHoldsTheModel();
}

// The SYNCHRONIZED that ends the answer to one subscription of the synchronisation is lost, or comes spoiled
// into one that answers nothing, while the unit goes on changing a value that it has answered, once a
// second: the display subscribes again once the answer has brought nothing new for the bound, and ends
// "ready" with the unit's values, in the same session.
struct LostSynchronizedCase {
    const char* name;
    bool everything; // the subscription to everything, else the one to the display's own device
    bool spoiled;    // else lost
};

class LostSynchronizedTest : public InstallationTest,
                             public ::testing::WithParamInterface<LostSynchronizedCase> {};

TEST_P(LostSynchronizedTest, IsAskedOnceMoreAndTheDisplayEndsReadyWithTheUnitsValues) {
    const LostSynchronizedCase& test = GetParam();
    const uint32_t object = test.everything ? sim::ALL_OBJECTS : mSelf;
    mSim.faults().faultySynchronizedOf = object;
    mSim.faults().faultySynchronizedSpoiled = test.spoiled;
    // When the unit took each of the display's SUBSCRIBEs of all values of `object`.
    std::vector<uint64_t> taken;
    mSim.setReceiveListener([&](uint8_t cmd, const std::vector<uint8_t>& payload) {
        if (cmd == TNET_CMD_SUBSCRIBE && get_le32(payload.data()) == object &&
            get_le16(payload.data() + TNET_PUB_OFS_VID) == sim::ALL_VALUES) {
            taken.push_back(timer());
        }
    });
    // The answer has gone out when the unit, its subscription taken, has nothing left to send but a poll.
    ASSERT_TRUE(waitFor(
        [this] {
            return !mSim.faults().faultySynchronizedOf && !mSim.log().empty() &&
                   mSim.log().back().fromMaster && mSim.log().back().cmd == TNET_CMD_POLL;
        },
        60000));
    const uint64_t answered = timer();
    const auto waiting = test.everything ? Net::TaviProtocol::State::SubscribingAll
                                         : Net::TaviProtocol::State::SubscribingSelf;
    EXPECT_EQ(Net::Tavi.state(), waiting);

    constexpr oid_t ROOM = 0x01000316;
    constexpr vid_t AIR = 0x000C;
    int air = static_cast<int>(heldNumber(mSim, ROOM, AIR));
    for (int second = 0; second < 40 && !Net::Tavi.isSynchronized(); ++second) {
        mSim.publish(ROOM, AIR, BT_VTYPE_S16_X100, ++air);
        run(1000);
    }
    ASSERT_TRUE(Net::Tavi.isSynchronized());
    run(500);
    mSim.setReceiveListener(nullptr);
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_GE(taken[1], answered + Net::NET_ANSWER_TIMEOUT_MS - 500);
    EXPECT_LE(taken[1], answered + Net::NET_ANSWER_TIMEOUT_MS + 500);
    EXPECT_EQ(traceCount(test.everything
                             ? "no SYNCHRONIZED of the subscription to everything within 10000 ms, "
                               "subscribing again"
                             : "no SYNCHRONIZED of the subscription to myself within 10000 ms, "
                               "subscribing again"),
              1u);
    EXPECT_EQ(traceCount("subscribing again"), 1u);
    EXPECT_EQ(traceCount("not asked for, ignored"), test.spoiled ? 1u : 0u);
    EXPECT_EQ(bridgeEvents(), (std::vector<int>{Net::NET_EVENT_CONNECTED, Net::NET_EVENT_SYNC_STARTED}));
    EXPECT_EQ(tableInt(ROOM, AIR), air);
    expectTheTableHoldsTheModel();
}

INSTANTIATE_TEST_SUITE_P(Subscriptions, LostSynchronizedTest,
                         ::testing::Values(LostSynchronizedCase{"MyselfLost", false, false},
                                           LostSynchronizedCase{"MyselfSpoiled", false, true},
                                           LostSynchronizedCase{"EverythingLost", true, false},
                                           LostSynchronizedCase{"EverythingSpoiled", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BridgeEndToEnd, SynchronisesWithTheSimulatorOnAPseudoTerminalWhichLogsTheDisplaysWrites) {
    // A small installation keeps the synchronisation short in real time.
    const TempDir folder;
    const std::string path = folder / "installation.json";
    folder.write("installation.json", R"({"address": "0x000316", "objects": [
        {"oid": "0xFEFFFFFE", "type": 1, "values": [{"vid": "0x80DC", "type": 14, "value": "0x000316"}]},
        {"oid": "0x00000316", "type": 2, "values": [{"vid": "0x002F", "type": 12, "value": 2}]},
        {"oid": "0x01000316", "type": 6, "values": [{"vid": "0x8090", "type": 15, "text": "Hall"},
                                                     {"vid": "0x801C", "type": 18, "value": 2150}]}]})");
    SimProcess sim({"--installation", path, "--quiet"});
    ASSERT_TRUE(sim.ok()) << "first line: " << sim.slave();

    TraceCapture trace;
    os_init();
    Structure.clear();
    proxytab_init();
    const oid_t self = oid_make(DI.hw->network_address, 0);
    Structure.append(new ProxyObject(self, ObjectInfo(BT_OBJ_DEVICE, 0), nullptr));
    Net::Tavi.restart();
    tnet_init(&Net::TaviClientsHandler);
    ASSERT_EQ(tnet_init_interface_bus(0, sim.slave().c_str(), 1, 0), 0);
    tnet_start();
    tnet_learn_request();

    // Real time on both sides: the display's clock follows the wall clock while it runs its loop.
    const auto loop = [](const std::function<bool()>& done) {
        return runOnWallClock(
            [] {
                Net::Tavi.task();
                tnet_task();
                Structure.task();
            },
            done, std::chrono::seconds(20));
    };
    EXPECT_TRUE(loop([] { return Net::Tavi.isSynchronized(); }));
    EXPECT_EQ(Net::Tavi.getOwner(), UNIT);
    ASSERT_NE(Structure.find(0x01000316), nullptr);
    int comfort = 0;
    EXPECT_EQ(pt_get_int(&comfort, 0x01000316, 0x801C), PT_OK);
    EXPECT_EQ(comfort, 2150);

    // The user's change travels to the simulator, which prints it.
    EXPECT_EQ(pt_set_int(0x01000316, 0x801C, 2250, BT_VTYPE_S16_X100), PT_OK);
    std::string printed;
    EXPECT_TRUE(loop([&] {
        printed += sim.readAvailable();
        return printed.find("PUBLISH 000316:01 vid 801C") != std::string::npos;
    }));
    EXPECT_NE(printed.find("PUBLISH 000316:01 vid 801C type 18 = 2250\n"), std::string::npos) << printed;
    // The display's identity was printed as it arrived.
    EXPECT_NE(printed.find(fmt("PUBLISH %06X:00 vid 80E3 type 15 = \"TD410\"", DI.hw->network_address)),
              std::string::npos)
        << printed;

    if (testing::Test::HasFailure()) {
        ADD_FAILURE() << "trace:" << trace.str();
    }
    tnet_stop();
    Net::Tavi.restart();
    Structure.clear();
    proxytab_init();
    // It ended normally on SIGTERM.
    EXPECT_GE(sim.stop(), 0);
}

} // namespace
} // namespace tdx::test
