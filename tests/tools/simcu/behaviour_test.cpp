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

    int64_t held(uint32_t oid, uint16_t vid) const { return heldNumber(mSim, oid, vid); }

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
    write(LIVING, 0x801B, 18, 1850);
    ASSERT_TRUE(waitFor([] { return lastSent(LIVING, 0x001D) == 1850; }, 1000));

    // Temporary override, then the location's standby program wins over it.
    write(LIVING, 0x8005, 12, 1);
    ASSERT_TRUE(waitFor([&] { return lastSent(LIVING, 0x001D) == held(LIVING, 0x801E); }, 1000));
    write(0xFEFFFFFE, 0x8087, 12, 1);
    ASSERT_TRUE(waitFor([&] { return lastSent(LIVING, 0x001D) == held(LIVING, 0x8021); }, 1000));
    write(0xFEFFFFFE, 0x8087, 12, 0);
    write(LIVING, 0x8005, 12, 0);

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
