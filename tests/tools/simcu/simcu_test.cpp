// The simulated control unit's value protocol and master behaviour, against the display's real client.
#include "Libraries/tavi_net/net_harness.h"

namespace tdx::test {
namespace {

using Phase = sim::SimControlUnit::Phase;
constexpr uint32_t LOCATION = 0xFEFFFFFE;
constexpr uint32_t ROOM = 0x01000316;

class SimTest : public NetTest {
protected:
    void populate() {
        mSim.add_object(LOCATION, 1, 0);
        mSim.add_object(DISPLAY, 2, 0);
        mSim.add_object(ROOM, 6, 0);
        mSim.publish(LOCATION, 0x80DC, 14, UNIT);
        mSim.publish(ROOM, 0x0001, 10, -1250);
        mSim.publish(DISPLAY, 0x80E3, sim::sim_text(15, {'T', 'D', '4', '1', '0'}));
    }

    std::vector<uint8_t> commandsReceived() const {
        std::vector<uint8_t> codes;
        for (const auto& [cmd, payload] : upper().received) {
            codes.push_back(cmd);
        }
        return codes;
    }
};

TEST_F(SimTest, SubscriptionIsAnsweredWithObjectsThenValuesThenSynchronized) {
    populate();
    startSession();
    upper().toSend.emplace_back(TNET_CMD_SUBSCRIBE, subscribePayload(DISPLAY, 0xFFFF));
    ASSERT_TRUE(waitFor([] { return upper().receivedCount(TNET_CMD_SYNCHRONIZED) == 1; }, 1000));
    EXPECT_EQ(commandsReceived(),
              (std::vector<uint8_t>{TNET_CMD_OBJECT_INFO, TNET_CMD_PUBLISH, TNET_CMD_SYNCHRONIZED}));
    const auto text =
        sim::sim_decode_publish(upper().received[1].second.data(), upper().received[1].second.size());
    ASSERT_TRUE(text);
    EXPECT_EQ(text->oid, DISPLAY);
    EXPECT_EQ(text->vid, 0x80E3);
    EXPECT_EQ(text->value.bytes, (std::vector<uint8_t>{'T', 'D', '4', '1', '0'}));

    upper().received.clear();
    upper().toSend.emplace_back(TNET_CMD_SUBSCRIBE, subscribePayload(0xFFFFFFFF, 0xFFFF));
    ASSERT_TRUE(waitFor([] { return upper().receivedCount(TNET_CMD_SYNCHRONIZED) == 1; }, 2000));
    EXPECT_EQ(upper().receivedCount(TNET_CMD_OBJECT_INFO), 3);
    EXPECT_EQ(upper().receivedCount(TNET_CMD_PUBLISH), 3);
    EXPECT_EQ(upper().received.back().second, subscribePayload(0xFFFFFFFF, 0xFFFF));
    const auto room = std::find_if(upper().received.begin(), upper().received.end(), [](const auto& entry) {
        return entry.first == TNET_CMD_PUBLISH && get_le32(entry.second.data()) == ROOM;
    });
    ASSERT_NE(room, upper().received.end());
    const auto published = sim::sim_decode_publish(room->second.data(), room->second.size());
    ASSERT_TRUE(published);
    EXPECT_EQ(published->value.number(), -1250);
}

TEST_F(SimTest, LaterChangesReachOnlySubscribersAndRemovalsAreAnnounced) {
    populate();
    startSession();
    upper().toSend.emplace_back(TNET_CMD_SUBSCRIBE, subscribePayload(ROOM, 0x0001));
    ASSERT_TRUE(waitFor([] { return upper().receivedCount(TNET_CMD_SYNCHRONIZED) == 1; }, 1000));
    upper().received.clear();

    mSim.publish(ROOM, 0x0002, 10, 2100); // not subscribed
    mSim.publish(ROOM, 0x0001, 10, 2250);
    run(300);
    ASSERT_EQ(upper().receivedCount(TNET_CMD_PUBLISH), 1);
    const auto change =
        sim::sim_decode_publish(upper().received[0].second.data(), upper().received[0].second.size());
    EXPECT_EQ(change->vid, 0x0001);
    EXPECT_EQ(change->value.number(), 2250);

    mSim.remove_object(ROOM);
    ASSERT_TRUE(waitFor([] { return upper().receivedCount(TNET_CMD_OBJECT_REMOVE) == 1; }, 500));
    EXPECT_EQ(upper().received.back().second, (std::vector<uint8_t>{0x16, 0x03, 0x00, 0x01}));
    EXPECT_FALSE(mSim.value(ROOM, 0x0001));
}

TEST_F(SimTest, AnOutputThatComesOrGoesRenumbersTheRoomsOutputLists) {
    // Outputs are numbered in ascending object id: 0x03.. is 0, 0x04.. is 1, 0x05.. is 2.
    populate();
    for (const uint32_t output : {0x03000316u, 0x04000316u, 0x05000316u}) {
        mSim.add_object(output, 5, 6);
    }
    mSim.publish(ROOM, 0x808F, sim::sim_text(16, {1, 2}));
    startSession();
    upper().toSend.emplace_back(TNET_CMD_SUBSCRIBE, subscribePayload(0xFFFFFFFF, 0xFFFF));
    ASSERT_TRUE(waitFor([] { return upper().receivedCount(TNET_CMD_SYNCHRONIZED) == 1; }, 2000));
    const auto lastRoomOutputs = [] {
        std::vector<uint8_t> indices;
        for (const auto& [cmd, payload] : upper().received) {
            const auto publish = cmd == TNET_CMD_PUBLISH
                                     ? sim::sim_decode_publish(payload.data(), payload.size())
                                     : std::nullopt;
            if (publish && publish->oid == ROOM && publish->vid == 0x808F) {
                indices = publish->value.bytes;
            }
        }
        return indices;
    };
    EXPECT_EQ(lastRoomOutputs(), (std::vector<uint8_t>{1, 2}));

    // The first output goes: the room's two outputs are now 0 and 1.
    mSim.remove_object(0x03000316);
    ASSERT_TRUE(waitFor([&] { return lastRoomOutputs() == std::vector<uint8_t>{0, 1}; }, 1000));
    EXPECT_EQ(heldValue(mSim, ROOM, 0x808F).bytes, (std::vector<uint8_t>{0, 1}));
    // One with a lower id comes: they move up again. Another object changes nothing.
    mSim.add_object(0x02000316, 5, 1);
    ASSERT_TRUE(waitFor([&] { return lastRoomOutputs() == std::vector<uint8_t>{1, 2}; }, 1000));
    const int publishes = upper().receivedCount(TNET_CMD_PUBLISH);
    mSim.add_object(0x06000316, 7, 0);
    run(300);
    EXPECT_EQ(upper().receivedCount(TNET_CMD_PUBLISH), publishes);
    // A room's own output going leaves it out.
    mSim.remove_object(0x04000316);
    ASSERT_TRUE(waitFor([&] { return lastRoomOutputs() == std::vector<uint8_t>{1}; }, 1000));
}

TEST_F(SimTest, PublishesAndTimeFromTheDisplayAreRecorded) {
    startSession();
    const auto value = *sim::sim_number(13, 0x1234);
    upper().toSend.emplace_back(TNET_CMD_PUBLISH, sim::sim_encode_publish(DISPLAY, 0x800D, value));
    upper().toSend.emplace_back(TNET_CMD_SYNC_TIME, std::vector<uint8_t>{0x00, 0x09, 0x3D, 0x00});
    ASSERT_TRUE(waitFor([] { return upper().transmitted.size() == 2; }, 1000));
    ASSERT_EQ(mSim.received_publishes().size(), 1u);
    EXPECT_EQ(mSim.received_publishes()[0].oid, DISPLAY);
    EXPECT_EQ(heldNumber(mSim, DISPLAY, 0x800D), 0x1234);
    EXPECT_EQ(mSim.received_time_syncs(), std::vector<uint32_t>{0x003D0900});
}

TEST_F(SimTest, APublishForAnObjectThatDoesNotExistIsRefused) {
    populate();
    startSession();
    constexpr uint32_t NOWHERE = 0x09000316;
    const auto value = *sim::sim_number(13, 7);
    upper().toSend.emplace_back(TNET_CMD_PUBLISH, sim::sim_encode_publish(NOWHERE, 0x0001, value));
    upper().toSend.emplace_back(TNET_CMD_PUBLISH, sim::sim_encode_publish(0xFFFFFFFF, 0x0001, value));
    upper().toSend.emplace_back(TNET_CMD_PUBLISH, sim::sim_encode_publish(ROOM, 0x0001, value));
    ASSERT_TRUE(waitFor([] { return upper().transmitted.size() == 3; }, 1000));
    ASSERT_EQ(mSim.received_publishes().size(), 1u);
    EXPECT_EQ(mSim.received_publishes()[0].oid, ROOM);
    EXPECT_FALSE(mSim.value(NOWHERE, 0x0001));
    EXPECT_FALSE(mSim.value(0xFFFFFFFF, 0x0001));
    EXPECT_EQ(traceCount("no such object: refused"), 2u);
}

// A unit told to refuse the display's writes of one value refuses each (NACK 3) and keeps what it holds; the
// refused packet's SEQ stays free, so the next write, of another value, is taken.
TEST_F(SimTest, AWriteOfARefusedValueIsRefusedAndTheNextOneTaken) {
    populate();
    startSession();
    mSim.faults().refusedWrites = {{ROOM, 0x0001}};
    const struct {
        uint16_t vid;
        bool taken;
    } writes[] = {{0x0001, false}, {0x0002, true}, {0x0001, false}, {0x0003, true}};
    for (const auto& w : writes) {
        upper().toSend.emplace_back(TNET_CMD_PUBLISH,
                                    sim::sim_encode_publish(ROOM, w.vid, *sim::sim_number(10, 2000 + w.vid)));
    }
    ASSERT_TRUE(waitFor([] { return upper().transmitted.size() + upper().failed.size() == 4; }, 2000));
    EXPECT_EQ(upper().failed, (std::vector<uint8_t>{TNET_CMD_PUBLISH, TNET_CMD_PUBLISH}));
    EXPECT_EQ(upper().transmitted, (std::vector<uint8_t>{TNET_CMD_PUBLISH, TNET_CMD_PUBLISH}));
    for (const auto& w : writes) {
        const auto held = mSim.value(ROOM, w.vid);
        if (w.taken) {
            ASSERT_TRUE(held.has_value()) << w.vid;
            EXPECT_EQ(held->number(), 2000 + w.vid);
        } else {
            ASSERT_TRUE(held.has_value());
            EXPECT_EQ(held->number(), -1250) << "kept what it held";
        }
    }
    EXPECT_EQ(mSim.received_publishes().size(), 2u);
    EXPECT_EQ(mSim.count(true, TNET_CMD_NACK), 2);
    for (const sim::SimPacket& packet : mSim.log()) {
        if (packet.fromMaster && packet.cmd == TNET_CMD_NACK) {
            EXPECT_EQ(packet.payload, (std::vector<uint8_t>{TNET_CMD_PUBLISH, TNET_NACK_MALFORMED}));
        }
    }
    EXPECT_EQ(traceCount("vid 0001 refused"), 2u);
}

// A packet longer than the link frames is dropped, not repeated for ever with everything else waiting behind
// it; a value longer than a PUBLISH carries is not stored at all.
TEST_F(SimTest, APacketThatCannotBeFramedIsDroppedAndAValueTooLongForAPublishIsRefused) {
    populate();
    startSession();
    upper().toSend.emplace_back(TNET_CMD_SUBSCRIBE, subscribePayload(0xFFFFFFFF, 0xFFFF));
    ASSERT_TRUE(waitFor([] { return upper().receivedCount(TNET_CMD_SYNCHRONIZED) == 1; }, 2000));
    upper().received.clear();
    const auto publishesOf = [](uint16_t vid) {
        std::vector<sim::SimValue> values;
        for (const auto& [cmd, payload] : upper().received) {
            const auto publish = sim::sim_decode_publish(payload.data(), payload.size());
            if (cmd == TNET_CMD_PUBLISH && publish && publish->vid == vid) {
                values.push_back(publish->value);
            }
        }
        return values;
    };

    const sim::SimValue tooLong{.type = 16, .bytes = std::vector<uint8_t>(400, 0x5A)};
    mSim.send(TNET_CMD_PUBLISH, sim::sim_encode_publish(ROOM, 0x0002, tooLong));
    mSim.publish(ROOM, 0x0001, 10, -500);
    ASSERT_TRUE(waitFor([&] { return !publishesOf(0x0001).empty(); }, 1000));
    EXPECT_EQ(traceCount("PUBLISH to 010410 dropped"), 1u);
    EXPECT_EQ(mSim.phase(), Phase::Session);

    struct Case {
        const char* name;
        uint16_t vid;
        size_t bytes;
        bool stored;
        const char* trace;
    };
    const Case cases[] = {
        {"new and too long", 0x0003, 400, false,
         "400 bytes is longer than a PUBLISH carries (256): refused, no value"},
        {"an existing one made too long", 0x0001, 257, false,
         "257 bytes is longer than a PUBLISH carries (256): refused, the value stays"},
        {"the longest a PUBLISH carries", 0x0004, 256, true, nullptr},
    };
    for (const Case& test : cases) {
        upper().received.clear();
        const size_t refusals = traceCount("longer than a PUBLISH carries");
        const auto before = mSim.value(ROOM, test.vid);
        const sim::SimValue value{.type = 16, .bytes = std::vector<uint8_t>(test.bytes, 0x33)};
        mSim.publish(ROOM, test.vid, value);
        run(500);
        EXPECT_EQ(mSim.value(ROOM, test.vid), test.stored ? std::optional(value) : before) << test.name;
        EXPECT_EQ(publishesOf(test.vid), test.stored ? std::vector{value} : std::vector<sim::SimValue>{})
            << test.name;
        EXPECT_EQ(traceCount("longer than a PUBLISH carries"), refusals + (test.stored ? 0 : 1)) << test.name;
        if (test.trace != nullptr) {
            EXPECT_EQ(traceCount(test.trace), 1u) << test.name;
        }
    }
    EXPECT_FALSE(mSim.model().setValue(ROOM, 0x0005, tooLong));
    EXPECT_EQ(mSim.phase(), Phase::Session);
}

TEST_F(SimTest, ThePacketLogKeepsOnlyItsLastEntries) {
    startSession();
    run(300000); // 6000 polls and as many answers
    const auto& log = mSim.log();
    EXPECT_LE(log.size(), 2 * sim::SimConfig{}.keepLast);
    EXPECT_GE(log.size(), sim::SimConfig{}.keepLast);
    EXPECT_GE(log.back().at + 100, timer()) << "the newest entries are the ones kept";
}

TEST_F(SimTest, SilentClientIsLostAfterItsSupervisionTimeThenFoundAgainWithoutLearning) {
    startSession();
    mSim.setPump([] {}); // the display stops answering
    const uint64_t silentFrom = timer();
    ASSERT_TRUE(waitFor([this] { return mSim.phase() == Phase::Search; }, 5000));
    // Polled again as soon as a reply fails to begin, and given up by time, not by a count.
    EXPECT_GE(timer() - silentFrom, 3000u);
    EXPECT_LT(timer() - silentFrom, 3100u);
    EXPECT_GT(mSim.count(true, TNET_CMD_POLL), 20);
    mSim.setPump([] { tnet_task(); });
    ASSERT_TRUE(waitFor([this] { return mSim.phase() == Phase::Session; }, 2000));
    // The frozen display took the master's CONNECT as the end of its stale session.
    EXPECT_EQ(upper().disconnected, std::vector<int>{TNET_DISCONNECT_RECONNECT});
    EXPECT_EQ(upper().connected.size(), 2u);
}

TEST_F(SimTest, WaitUntilStopsAtItsTimeout) {
    const uint64_t start = timer();
    EXPECT_FALSE(mSim.wait_until([] { return false; }, 500));
    EXPECT_GE(timer() - start, 500u);
    EXPECT_LE(timer() - start, 510u);
    EXPECT_TRUE(mSim.wait_until([start] { return timer() - start >= 700; }, 1000));
}

TEST(SimModel, ValuesEncodeAsTheyTravel) {
    const auto negative = sim::sim_number(9, -2);
    ASSERT_TRUE(negative);
    EXPECT_EQ(negative->bytes, std::vector<uint8_t>{0xFE});
    EXPECT_EQ(negative->number(), -2);
    EXPECT_EQ(sim::sim_number(14, 0xFFFFFFFF)->number(), 0xFFFFFFFF);
    EXPECT_FALSE(sim::sim_number(15, 1));

    sim::SimValue none;
    none.type = 16;
    none.valid = false;
    const auto encoded = sim::sim_encode_publish(0x01020304, 0x8001, none);
    EXPECT_EQ(encoded, (std::vector<uint8_t>{4, 3, 2, 1, 1, 0x80, 16, 0, 0, 0, 0, 0xFF, 0xFF}));
    EXPECT_EQ(
        tnet_payload_check(TNET_CMD_PUBLISH, encoded.data(), static_cast<uint16_t>(encoded.size()), true), 0);
    const auto decoded = sim::sim_decode_publish(encoded.data(), encoded.size());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->value, none);
    auto truncated = encoded;
    truncated.pop_back();
    EXPECT_FALSE(sim::sim_decode_publish(truncated.data(), truncated.size()));
}

TEST_F(SimTest, MasterKeepsItsSearchPollAndReplyTimeoutCadence) {
    run(1100);
    const auto searches = packets(true, TNET_CMD_SEARCH);
    ASSERT_GE(searches.size(), 4u);
    for (size_t i = 1; i < searches.size(); ++i) {
        EXPECT_EQ(searches[i].at - searches[i - 1].at, 250u);
    }

    startSession();
    run(500);
    const auto polls = packets(true, TNET_CMD_POLL);
    ASSERT_GE(polls.size(), 9u);
    for (size_t i = 1; i < polls.size(); ++i) {
        EXPECT_EQ(polls[i].at - polls[i - 1].at, 50u);
    }

    // Replies lost after their bytes came: the master does not wait out its 150 ms slot but sends again once
    // the line has been quiet for its reply gap (here within its 10 ms steps).
    mSim.clearLog();
    mSim.faults().dropReplies = 2;
    run(500);
    const auto& log = mSim.log();
    std::vector<uint64_t> sent;
    for (const auto& packet : log) {
        if (packet.fromMaster) {
            sent.push_back(packet.at);
        }
    }
    ASSERT_GE(sent.size(), 4u);
    EXPECT_EQ(sent[1] - sent[0], 20u);
    EXPECT_EQ(sent[2] - sent[1], 20u);
    EXPECT_EQ(sent[3] - sent[2], 50u);
}

TEST_F(SimTest, ConverterEchoReachesTheDisplayOnlyWhileSwitchedOn) {
    startSession();
    const link_decoder* decoder = link_if_decoder(0);
    ASSERT_NE(decoder, nullptr);
    uint32_t before = decoder->packets;
    mSim.clearLog();
    run(500);
    const uint32_t withEcho = decoder->packets - before;
    // The master's packets and the display's own, echoed (give or take one on the way at either end).
    EXPECT_NEAR(withEcho, mSim.log().size(), 1);

    mLoop.setEcho(false);
    before = decoder->packets;
    mSim.clearLog();
    run(500);
    EXPECT_NEAR(decoder->packets - before, mSim.count(true, TNET_CMD_POLL), 1);
    EXPECT_GE(mSim.count(true, TNET_CMD_POLL), 9);
    EXPECT_EQ(tnet_get_state(), TNET_SESSION);
}

} // namespace
} // namespace tdx::test
