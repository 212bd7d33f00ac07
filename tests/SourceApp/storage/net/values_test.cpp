// Values both ways between the simulated control unit and the display's tree, and what the bridge does with
// input it cannot use.
#include "bridge_harness.h"

#include "Libraries/base/timestamp.h"

#include <algorithm>
#include <numeric>

namespace tdx::test {
namespace {

constexpr oid_t ROOM = 0x01000316;
constexpr oid_t PERIPHERAL = 0x000777;
constexpr oid_t STRANGER = 0x000888;

class ValuesTest : public BridgeTest {
protected:
    void SetUp() override {
        BridgeTest::SetUp();
        addUnitWithRoom(ROOM);
        std::vector<uint8_t> components(4);
        put_le32(components.data(), PERIPHERAL);
        mSim.publish(LOCATION, 0x80AE, sim::sim_text(BT_VTYPE_DATA, components));
        mSim.publish(ROOM, 0x000C, BT_VTYPE_S16_X100, 2150);
        mSim.publish(ROOM, 0x801B, BT_VTYPE_S16_X100, 1900);
        ASSERT_TRUE(synchronise());
        run(500);
        mRecorder = std::make_unique<TreeRecorder>();
        mSim.clearLog();
    }

    void TearDown() override {
        mRecorder.reset();
        BridgeTest::TearDown();
    }

    static std::vector<uint8_t> publishPayload(oid_t oid, vid_t vid, u8 vtype, std::vector<uint8_t> value) {
        // Sized once and filled: GCC 12 misreads an insert after a sized construction as out of bounds.
        std::vector<uint8_t> payload(TNET_PUBLISH_HEADER_SIZE + value.size());
        put_le32(payload.data() + TNET_PUB_OFS_OID, oid);
        put_le16(payload.data() + TNET_PUB_OFS_VID, vid);
        payload[TNET_PUB_OFS_VTYPE] = vtype;
        std::copy(value.begin(), value.end(), payload.begin() + TNET_PUB_OFS_VALUE);
        return payload;
    }

    std::unique_ptr<TreeRecorder> mRecorder;
};

// Listens after the recorder, to show the order of the calls.
class SecondListener : public ProxyValueChangeHandler {
public:
    explicit SecondListener(const TreeRecorder& first)
        : mFirst(first) {
        Structure.addValueChangeHandler(this);
    }
    ~SecondListener() override { Structure.removeValueChangeHandler(this); }
    SecondListener(const SecondListener&) = delete;
    SecondListener& operator=(const SecondListener&) = delete;
    std::vector<size_t> firstHadSeen;

protected:
    void handleProxyValueChange(ProxyObject&, const OviEx&) override {
        firstHadSeen.push_back(mFirst.changes.size());
    }

private:
    const TreeRecorder& mFirst;
};

TEST_F(ValuesTest, AValueOfTheControlUnitReachesEveryListenerOnceInOrderWithItsTime) {
    SecondListener second(*mRecorder);
    sim::SimValue value = *sim::sim_number(BT_VTYPE_S16_X100, 2240);
    value.timestamp = 790000000;
    mSim.publish(ROOM, 0x000C, value);
    ASSERT_TRUE(waitFor([this] { return mRecorder->changesOf(ROOM, 0x000C) > 0; }));
    run(300);
    ASSERT_EQ(mRecorder->changesOf(ROOM, 0x000C), 1);
    EXPECT_EQ(mRecorder->changes[0].vtype, u32{BT_VTYPE_S16_X100});
    EXPECT_TRUE(mRecorder->changes[0].objectInTree);
    EXPECT_EQ(second.firstHadSeen, (std::vector<size_t>{1}));
    EXPECT_EQ(tableInt(ROOM, 0x000C), 2240);
    u32 stamp = 0;
    ASSERT_EQ(pt_get_timestamp(&stamp, ROOM, 0x000C), PT_OK);
    EXPECT_EQ(stamp, 790000000u + NETWORK_TIME_OFFSET);

    // An unknown time is taken as now.
    mSim.publish(ROOM, 0x000D, BT_VTYPE_S16_X100, 2500);
    ASSERT_TRUE(waitFor([this] { return mRecorder->changesOf(ROOM, 0x000D) == 1; }));
    ASSERT_EQ(pt_get_timestamp(&stamp, ROOM, 0x000D), PT_OK);
    EXPECT_LE(std::llabs(static_cast<int64_t>(stamp) - os_time()), 2);
    // So is a time the table's 32-bit Unix seconds cannot hold (it would wrap to the 1970s).
    value = *sim::sim_number(BT_VTYPE_S16_X100, 2260);
    value.timestamp = 0xFFFFFFF0u;
    mSim.publish(ROOM, 0x000C, value);
    ASSERT_TRUE(waitFor([this] { return mRecorder->changesOf(ROOM, 0x000C) == 2; }));
    EXPECT_EQ(tableInt(ROOM, 0x000C), 2260);
    ASSERT_EQ(pt_get_timestamp(&stamp, ROOM, 0x000C), PT_OK);
    EXPECT_LE(std::llabs(static_cast<int64_t>(stamp) - os_time()), 2);
    EXPECT_NE(traceText().find("beyond the table's clock"), std::string::npos);
    // Stored from the network, so never sent back.
    run(300);
    EXPECT_EQ(mSim.count(false, TNET_CMD_PUBLISH), 0);
}

TEST_F(ValuesTest, TextDataAndWithdrawnValuesArriveAsSent) {
    mSim.publish(ROOM, 0x8090, sim::sim_text(BT_VTYPE_TEXT, {'K', 'i', 't', 'c', 'h', 'e', 'n'}));
    std::vector<uint8_t> schedule(170);
    std::iota(schedule.begin(), schedule.end(), 0);
    mSim.publish(ROOM, 0x8043, sim::sim_text(BT_VTYPE_DATA, schedule));
    sim::SimValue none = *sim::sim_number(BT_VTYPE_S16_X100, 0x7FFF);
    mSim.publish(ROOM, 0x000D, none);
    ASSERT_TRUE(waitFor([this] { return mRecorder->changesOf(ROOM, 0x000D) == 1; }));
    std::string name;
    EXPECT_EQ(Structure.find(ROOM)->getText(name, 0x000F8090), PT_OK);
    EXPECT_EQ(name, "Kitchen");
    std::vector<uint8_t> read(256);
    EXPECT_EQ(pt_get_data(read.data(), 256, ROOM, 0x8043), 170);
    read.resize(170);
    EXPECT_EQ(read, schedule);
    int value = 0;
    EXPECT_EQ(pt_get_int(&value, ROOM, 0x000D), PT_ERR_NO_VALUE);

    sim::SimValue withdrawn = sim::sim_text(BT_VTYPE_DATA, {});
    withdrawn.valid = false;
    mSim.publish(ROOM, 0x8043, withdrawn);
    ASSERT_TRUE(waitFor([this] { return mRecorder->changesOf(ROOM, 0x8043) == 2; }));
    EXPECT_EQ(pt_get_data(read.data(), 256, ROOM, 0x8043), PT_ERR_NO_VALUE);
}

TEST_F(ValuesTest, ValuesOfObjectsOutsideTheTreeAreStoredButNotDispatched) {
    mSim.publish(oid_make(STRANGER, 3), 0x000C, BT_VTYPE_S16_X100, 1800);
    mSim.publish(STRANGER, 0x002F, BT_VTYPE_U8, 2); // a device nobody listed
    mSim.publish(ROOM, 0x001D, BT_VTYPE_S16_X100, 2100);
    ASSERT_TRUE(waitFor([this] { return mRecorder->changesOf(ROOM, 0x001D) == 1; }));
    EXPECT_EQ(tableInt(oid_make(STRANGER, 3), 0x000C), 1800);
    EXPECT_EQ(tableInt(STRANGER, 0x002F), 2);
    EXPECT_EQ(mRecorder->changes.size(), 1u);
    EXPECT_EQ(Structure.find(STRANGER), nullptr);
}

TEST_F(ValuesTest, ObjectsComeAndGoAsTheControlUnitSays) {
    constexpr oid_t OUTPUT_A = 0x03000316;
    constexpr oid_t OUTPUT_B = 0x02000316;
    mSim.add_object(OUTPUT_A, BT_OBJ_OUTPUT, 7);
    mSim.add_object(OUTPUT_B, BT_OBJ_OUTPUT, 6);
    mSim.publish(OUTPUT_B, 0x004C, BT_VTYPE_S16_X100, 4000);
    ASSERT_TRUE(waitFor([this] { return mRecorder->changesOf(OUTPUT_B, 0x004C) == 1; }));
    EXPECT_EQ(mRecorder->appended, (std::vector<oid_t>{OUTPUT_A, OUTPUT_B}));
    ASSERT_NE(Structure.find(OUTPUT_A), nullptr);
    EXPECT_NE(Structure.find(OUTPUT_A)->getTemplate(), nullptr);
    EXPECT_EQ(Structure.getOutputAtIndex(0), OUTPUT_B);
    EXPECT_EQ(Structure.getOutputAtIndex(1), OUTPUT_A);

    mSim.remove_object(OUTPUT_B);
    ASSERT_TRUE(waitFor([this] { return !mRecorder->removed.empty(); }));
    EXPECT_EQ(mRecorder->removed, (std::vector<oid_t>{OUTPUT_B}));
    EXPECT_EQ(mRecorder->removedWasErased, (std::vector<bool>{true}));
    int value = 0;
    EXPECT_EQ(pt_get_int(&value, OUTPUT_B, 0x004C), PT_ERR_NO_ENTRY);
    EXPECT_EQ(Structure.getOutputAtIndex(0), OUTPUT_A);

    // A value that was on its way when the object went is not kept: nothing would ever free it.
    const int entries = pt_count();
    mSim.send(TNET_CMD_PUBLISH, publishPayload(OUTPUT_B, 0x004C, BT_VTYPE_S16_X100, {0x10, 0x20}));
    mSim.publish(ROOM, 0x001D, BT_VTYPE_S16_X100, 2100);
    ASSERT_TRUE(waitFor([this] { return mRecorder->changesOf(ROOM, 0x001D) == 1; }));
    EXPECT_EQ(pt_get_int(&value, OUTPUT_B, 0x004C), PT_ERR_NO_ENTRY);
    EXPECT_EQ(pt_count(), entries + 1);
    EXPECT_NE(traceText().find("PUBLISH 000316:02 vid 004C for a removed object dropped"), std::string::npos);
    // Announced again, it takes values again.
    mSim.add_object(OUTPUT_B, BT_OBJ_OUTPUT, 6);
    mSim.publish(OUTPUT_B, 0x004C, BT_VTYPE_S16_X100, 3000);
    ASSERT_TRUE(waitFor([this] { return mRecorder->changesOf(OUTPUT_B, 0x004C) == 2; }));
    EXPECT_EQ(tableInt(OUTPUT_B, 0x004C), 3000);
}

TEST_F(ValuesTest, ALocalWriteReachesTheControlUnitOncePerValueWithItsLastValue) {
    EXPECT_EQ(pt_set_int(ROOM, 0x801B, 2000, BT_VTYPE_S16_X100), PT_OK);
    EXPECT_EQ(pt_set_int(ROOM, 0x801B, 2050, BT_VTYPE_S16_X100), PT_OK);
    u32 written = 0;
    pt_get_timestamp(&written, ROOM, 0x801B);
    ASSERT_TRUE(waitFor([this] { return !publishesOf(ROOM, 0x801B).empty(); }));
    run(500);
    const auto sent = publishesOf(ROOM, 0x801B);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].value.type, BT_VTYPE_S16_X100);
    EXPECT_EQ(sent[0].value.number(), 2050);
    EXPECT_EQ(sent[0].value.timestamp, timestamp_to_network(written));
    EXPECT_EQ(heldNumber(mSim, ROOM, 0x801B), 2050);
    // Local listeners hear of it once as well.
    EXPECT_EQ(mRecorder->changesOf(ROOM, 0x801B), 1);

    std::vector<uint8_t> schedule(170, 0x55);
    EXPECT_EQ(Structure.find(ROOM)->setData(0x8043, schedule.data(), 170), PT_OK);
    EXPECT_EQ(Structure.find(ROOM)->setText(Ovi(ROOM, 0x8090), "Bath"), PT_OK);
    ASSERT_TRUE(waitFor([this] { return !publishesOf(ROOM, 0x8090).empty(); }));
    EXPECT_EQ(heldValue(mSim, ROOM, 0x8043).bytes, schedule);
    EXPECT_EQ(heldValue(mSim, ROOM, 0x8090).bytes, (std::vector<uint8_t>{'B', 'a', 't', 'h'}));

    EXPECT_EQ(Structure.find(ROOM)->setData(0x8043, nullptr, PT_LENGTH_NO_VALUE), PT_OK);
    ASSERT_TRUE(waitFor([this] { return publishesOf(ROOM, 0x8043).size() == 2; }));
    EXPECT_FALSE(heldValue(mSim, ROOM, 0x8043).valid);
}

TEST_F(ValuesTest, CorruptedAndDuplicatedFramesChangeNothing) {
    mSim.faults().corruptFrames = 4;
    mSim.faults().duplicates = 4;
    for (int i = 0; i < 6; ++i) {
        mSim.publish(ROOM, static_cast<vid_t>(0x8010 + i), BT_VTYPE_S16_X100, 1000 + 10 * i);
    }
    ASSERT_TRUE(waitFor([this] { return mRecorder->changesOf(ROOM, 0x8015) == 1; }, 5000));
    run(1000);
    for (int i = 0; i < 6; ++i) {
        const vid_t vid = static_cast<vid_t>(0x8010 + i);
        EXPECT_EQ(tableInt(ROOM, vid), 1000 + 10 * i);
        EXPECT_EQ(mRecorder->changesOf(ROOM, vid), 1) << std::hex << vid;
    }
    EXPECT_EQ(mRecorder->changes.size(), 6u);
    EXPECT_TRUE(Net::Tavi.isSynchronized());
}

TEST_F(ValuesTest, MalformedAndUnwantedInputIsDroppedWithATrace) {
    const int before = tableInt(ROOM, 0x000C);
    // A number one byte short, and a type that does not exist.
    mSim.send(TNET_CMD_PUBLISH, publishPayload(ROOM, 0x000C, BT_VTYPE_S16_X100, {0x10}));
    mSim.send(TNET_CMD_PUBLISH, publishPayload(ROOM, 0x000C, 21, {0x10, 0x20}));
    // Text whose length field promises more than follows.
    mSim.send(TNET_CMD_PUBLISH, publishPayload(ROOM, 0x8090, BT_VTYPE_TEXT, {5, 0, 'a'}));
    // A completion nobody asked for, an object without a template, a type change, an unknown removal.
    std::vector<uint8_t> synchronized(TNET_SUBSCRIBE_SIZE);
    put_le32(synchronized.data(), ROOM);
    put_le16(synchronized.data() + TNET_PUB_OFS_VID, 0x1234);
    mSim.send(TNET_CMD_SYNCHRONIZED, synchronized);
    mSim.add_object(0x04000316, 99, 1);
    mSim.add_object(ROOM, BT_OBJ_ITC, 0);
    mSim.remove_object(0x04000316);
    std::vector<uint8_t> unknown(TNET_OBJECT_REMOVE_SIZE);
    put_le32(unknown.data(), 0x09000316);
    mSim.send(TNET_CMD_OBJECT_REMOVE, unknown);
    // A value for all objects at once.
    mSim.send(TNET_CMD_PUBLISH, publishPayload(OID_ALL, 0x000C, BT_VTYPE_S16_X100, {0x10, 0x20}));
    // Then a good value, to know that everything before it was handled.
    mSim.publish(ROOM, 0x001D, BT_VTYPE_S16_X100, 2100);
    ASSERT_TRUE(waitFor([this] { return mRecorder->changesOf(ROOM, 0x001D) == 1; }, 5000));

    EXPECT_EQ(tableInt(ROOM, 0x000C), before);
    EXPECT_EQ(pt_get_vtype(nullptr, OID_ALL, 0x000C), PT_ERR_NO_ENTRY);
    EXPECT_NE(traceText().find("PUBLISH FFFFFF:FF vid 000C type 18 not stored"), std::string::npos);
    std::string name = "unchanged";
    EXPECT_EQ(pt_get_text(&name, ROOM, 0x8090), PT_ERR_NO_ENTRY);
    EXPECT_EQ(traceCount("PUBLISH from the master with"), 3u);
    EXPECT_NE(traceText().find("SYNCHRONIZED 000316:01 vid 1234 in READY not asked for"), std::string::npos);
    EXPECT_NE(traceText().find("000316:04 of type 99/1 has no template"), std::string::npos);
    EXPECT_NE(traceText().find("000316:01 announced as 7/0, kept as 6/0"), std::string::npos);
    EXPECT_NE(traceText().find("OBJECT_REMOVE of unknown 000316:09"), std::string::npos);
    // The object without a template lived in the tree until it was removed.
    EXPECT_EQ(mRecorder->appended, (std::vector<oid_t>{0x04000316}));
    EXPECT_EQ(mRecorder->removed, (std::vector<oid_t>{0x04000316}));
    EXPECT_TRUE(Structure.find(ROOM)->type().is(BT_OBJ_ROOM));
    EXPECT_TRUE(Net::Tavi.isSynchronized());
}

TEST_F(ValuesTest, TheBridgeChecksPayloadsItselfToo) {
    // Handed straight to the bridge, as a client without checks would.
    const u8 shortPublish[] = {0x16, 0x03, 0x00, 0x01, 0x0C, 0x00, 18, 0, 0, 0, 0, 0x10};
    Net::Tavi.handleReceived(TNET_CMD_PUBLISH, shortPublish, sizeof shortPublish);
    Net::Tavi.handleReceived(TNET_CMD_OBJECT_INFO, shortPublish, 3);
    Net::Tavi.handleReceived(TNET_CMD_SYNCHRONIZED, nullptr, 6);
    EXPECT_EQ(traceCount("tavi: malformed"), 3u);
    EXPECT_EQ(tableInt(ROOM, 0x000C), 2150);
    EXPECT_TRUE(Net::Tavi.isSynchronized());
}

} // namespace
} // namespace tdx::test
