#include "SourceApp/big_table/proxytab.h"

#include "Libraries/base/os.h"
#include "tests/support/trace_capture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace tdx;

namespace {

struct Change {
    u32 oid;
    u16 vid;
    u8 vtype;
    int origin;
    bool operator==(const Change&) const = default;
};

std::vector<Change> gChanges;

void record(u32 oid, u16 vid, u8 vtype, int origin) {
    gChanges.push_back({oid, vid, vtype, origin});
}

class ValueTable : public ::testing::Test {
protected:
    void SetUp() override {
        proxytab_init();
        pt_set_change_hook(record);
        gChanges.clear();
    }
    void TearDown() override { pt_set_change_hook(nullptr); }
    test::TraceCapture mTrace;

    static constexpr u32 kOid = 0x02010410;
};

// Stores "no valid value" the way the network does, so that the entry exists but was never given a number.
void withdraw_from_network(u32 oid, u16 vid, bt_vtype type) {
    ASSERT_EQ(0, pt_store(oid, vid, type, nullptr, PT_LENGTH_NO_VALUE, 0, PT_ORIGIN_NETWORK));
}

} // namespace

TEST_F(ValueTable, EveryIntegerTypeReadsItsNoValueMarkerWhenNothingIsStored) {
    const bt_vtype types[] = {9, 10, 11, 12, 13, 14, 17, 18, 19, 20};
    for (bt_vtype t : types) {
        SCOPED_TRACE(int{t});
        withdraw_from_network(kOid, t, t);
        int out = 1234;
        EXPECT_EQ(PT_ERR_NO_VALUE, pt_get_int(&out, kOid, t));
        EXPECT_EQ(BT_VTYPE_IS_D(t) ? 0x7FFFFFFF : static_cast<int>(0xFFFFFFFFu), out);
    }
}

TEST_F(ValueTable, AStoredMarkerIsNoValidValueAtTheTypesWidth) {
    struct Case {
        bt_vtype type;
        int written;
        int expectResult;
        int expectOut;
    };
    const Case cases[] = {
        {BT_VTYPE_S16_X100, 0x7FFF, PT_ERR_NO_VALUE, 0x7FFF},
        {BT_VTYPE_S16_X100, 2150, PT_OK, 2150},
        {BT_VTYPE_S16_X100, -50, PT_OK, -50},
        {BT_VTYPE_S16_X10, 0x7FFF, PT_ERR_NO_VALUE, 0x7FFF},
        {BT_VTYPE_U8, 0xFF, PT_ERR_NO_VALUE, 0xFF},
        {BT_VTYPE_U8, 0xFE, PT_OK, 0xFE},
        {BT_VTYPE_U16, 0x00FF, PT_OK, 0x00FF},
        {BT_VTYPE_U16, 0xFFFF, PT_ERR_NO_VALUE, 0xFFFF},
        {BT_VTYPE_S8, 0x7F, PT_ERR_NO_VALUE, 0x7F},
        {BT_VTYPE_S8, -128, PT_OK, -128},
        {BT_VTYPE_S32, 0x7FFFFFFF, PT_ERR_NO_VALUE, 0x7FFFFFFF},
        {BT_VTYPE_S32, -1, PT_OK, -1},
        {BT_VTYPE_U32, -1, PT_ERR_NO_VALUE, -1},
        {BT_VTYPE_U32, 0x7FFFFFFF, PT_OK, 0x7FFFFFFF},
        // Written wider than the type: the table keeps what a peer sees at the type's width.
        {BT_VTYPE_U8, 0x1FE, PT_OK, 0xFE},
        {BT_VTYPE_S16, 0x18000, PT_OK, -32768},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << int{c.type} << " value " << c.written);
        ASSERT_EQ(PT_OK, pt_set_int(kOid, 0x8001, c.written, c.type));
        int out = 0;
        EXPECT_EQ(c.expectResult, pt_get_int(&out, kOid, 0x8001));
        EXPECT_EQ(c.expectOut, out);
    }
}

TEST_F(ValueTable, MissingAndForeignEntriesLeaveTheOutputUntouched) {
    int out = 77;
    EXPECT_EQ(PT_ERR_NO_ENTRY, pt_get_int(&out, kOid, 0x8090));
    EXPECT_EQ(77, out);
    ASSERT_EQ(PT_OK, pt_set_text(kOid, 0x8090, "Kitchen"));
    EXPECT_EQ(PT_ERR_TYPE, pt_get_int(&out, kOid, 0x8090));
    EXPECT_EQ(77, out);

    bt_vtype type = 0;
    EXPECT_EQ(PT_ERR_NO_ENTRY, pt_get_vtype(&type, kOid, 0x8001));
    EXPECT_EQ(PT_OK, pt_get_vtype(&type, kOid, 0x8090));
    EXPECT_EQ(BT_VTYPE_TEXT, type);
}

TEST_F(ValueTable, IntegerTypesMayChangeButNeverIntoTextOrData) {
    ASSERT_EQ(PT_OK, pt_set_int(OID_LOCATION, 0x0051, 1, BT_VTYPE_U8));
    // The control unit publishes the same value 16 bits wide: its idle reading 0x00FF is then valid.
    const u8 idle[] = {0xFF, 0x00};
    ASSERT_EQ(PT_OK, pt_store(OID_LOCATION, 0x0051, BT_VTYPE_U16, idle, 2, 0, PT_ORIGIN_NETWORK));
    int out = 0;
    EXPECT_EQ(PT_OK, pt_get_int(&out, OID_LOCATION, 0x0051));
    EXPECT_EQ(0xFF, out);
    ASSERT_EQ(PT_OK, pt_set_int(OID_LOCATION, 0x0051, 1, BT_VTYPE_U8));
    bt_vtype type = 0;
    pt_get_vtype(&type, OID_LOCATION, 0x0051);
    EXPECT_EQ(BT_VTYPE_U8, type);

    const u8 bytes[] = {1, 2};
    EXPECT_EQ(PT_ERR_TYPE, pt_set_data(OID_LOCATION, 0x0051, bytes, 2));
    EXPECT_EQ(PT_ERR_TYPE, pt_set_text(OID_LOCATION, 0x0051, "x"));
    ASSERT_EQ(PT_OK, pt_set_data(OID_LOCATION, 0x80AE, bytes, 2));
    EXPECT_EQ(PT_ERR_TYPE, pt_set_int(OID_LOCATION, 0x80AE, 1, BT_VTYPE_U8));
    EXPECT_EQ(0, pt_get_data(nullptr, 0, OID_LOCATION, 0x80AE)) << "a probe without a buffer copies nothing";
    u8 back[4] = {};
    EXPECT_EQ(2, pt_get_data(back, sizeof back, OID_LOCATION, 0x80AE));
    EXPECT_EQ(0, std::memcmp(back, bytes, 2));
}

TEST_F(ValueTable, DataLengthsAtTheEdges) {
    std::vector<u8> big(PT_MAX_DATA + 1);
    for (size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<u8>(i * 7);
    }
    u8 back[PT_MAX_DATA + 8];

    ASSERT_EQ(PT_OK, pt_set_data(kOid, 0x8043, big.data(), 0));
    EXPECT_EQ(0, pt_get_data(back, sizeof back, kOid, 0x8043)) << "empty is a valid value";

    ASSERT_EQ(PT_OK, pt_set_data(kOid, 0x8043, big.data(), PT_MAX_DATA));
    EXPECT_EQ(PT_MAX_DATA, pt_get_data(back, sizeof back, kOid, 0x8043));
    EXPECT_EQ(0, std::memcmp(back, big.data(), PT_MAX_DATA));
    EXPECT_EQ(10, pt_get_data(back, 10, kOid, 0x8043)) << "copies at most the buffer's size";

    gChanges.clear();
    EXPECT_EQ(PT_ERR_TYPE, pt_set_data(kOid, 0x8043, big.data(), PT_MAX_DATA + 1));
    EXPECT_EQ(PT_MAX_DATA, pt_get_data(back, sizeof back, kOid, 0x8043))
        << "refused write kept the old value";
    EXPECT_TRUE(gChanges.empty());
    EXPECT_NE(std::string::npos, mTrace.str().find("longer"));

    ASSERT_EQ(PT_OK, pt_set_data(kOid, 0x8043, nullptr, PT_LENGTH_NO_VALUE));
    EXPECT_EQ(PT_ERR_NO_VALUE, pt_get_data(back, sizeof back, kOid, 0x8043));
    EXPECT_EQ(1u, gChanges.size()) << "a withdrawal is a change like any other";

    EXPECT_EQ(PT_ERR_NO_ENTRY, pt_get_data(back, sizeof back, kOid, 0x8044));
}

TEST_F(ValueTable, TextsEndAtTheirLengthOrFirstNul) {
    const char code[5] = {'H', 'M', '3', '1', '6'};
    ASSERT_EQ(PT_OK, pt_store(kOid, 0x80E3, BT_VTYPE_TEXT, reinterpret_cast<const u8*>(code), 5, 0,
                              PT_ORIGIN_NETWORK));
    std::string text = "old";
    EXPECT_EQ(PT_OK, pt_get_text(&text, kOid, 0x80E3));
    EXPECT_EQ("HM316", text);

    const char padded[8] = {'A', 'b', 0, 'x', 0, 0, 0, 0};
    ASSERT_EQ(PT_OK, pt_store(kOid, 0x8090, BT_VTYPE_TEXT, reinterpret_cast<const u8*>(padded), 8, 0,
                              PT_ORIGIN_NETWORK));
    EXPECT_EQ(PT_OK, pt_get_text(&text, kOid, 0x8090));
    EXPECT_EQ("Ab", text);

    const u8 list[] = {1, 0, 0, 0};
    ASSERT_EQ(PT_OK, pt_set_data(kOid, 0x80AE, list, 4));
    text = "kept";
    EXPECT_EQ(PT_ERR_TYPE, pt_get_text(&text, kOid, 0x80AE)) << "data is not text";
    EXPECT_EQ("kept", text);
    EXPECT_EQ(PT_ERR_TYPE, pt_set_text(kOid, 0x8090, std::string(PT_MAX_DATA + 1, 'x')));
}

TEST_F(ValueTable, AFullTableAnswersNoEntryAndWritesNothing) {
    for (int i = 0; i < PT_CAPACITY; ++i) {
        ASSERT_EQ(PT_OK, pt_set_int(static_cast<u32>(i / 100), static_cast<u16>(i % 100), i, BT_VTYPE_S32));
    }
    EXPECT_EQ(PT_CAPACITY, pt_count());
    gChanges.clear();
    const u8 bytes[] = {1};
    EXPECT_EQ(PT_ERR_NO_ENTRY, pt_set_int(0x999, 1, 5, BT_VTYPE_U8));
    EXPECT_EQ(PT_ERR_NO_ENTRY, pt_set_data(0x999, 2, bytes, 1));
    EXPECT_EQ(PT_ERR_NO_ENTRY, pt_set_text(0x999, 3, "a"));
    EXPECT_EQ(PT_ERR_NO_ENTRY, pt_store(0x999, 4, BT_VTYPE_U8, bytes, 1, 0, PT_ORIGIN_NETWORK));
    EXPECT_TRUE(gChanges.empty());
    EXPECT_EQ(PT_CAPACITY, pt_count());
    int out = -5;
    EXPECT_EQ(PT_ERR_NO_ENTRY, pt_get_int(&out, 0x999, 1));
    EXPECT_EQ(-5, out);
    // Existing entries can still be written, and every one of them is intact.
    EXPECT_EQ(PT_OK, pt_set_int(0, 0, 42, BT_VTYPE_S32));
    for (int i = 1; i < PT_CAPACITY; ++i) {
        ASSERT_EQ(PT_OK, pt_get_int(&out, static_cast<u32>(i / 100), static_cast<u16>(i % 100)));
        ASSERT_EQ(i, out);
    }
    // Freeing one object makes room again.
    EXPECT_EQ(100, pt_remove_object(7));
    EXPECT_EQ(PT_OK, pt_set_int(0x999, 1, 5, BT_VTYPE_U8));
}

TEST_F(ValueTable, RemovingAnObjectKeepsEveryOtherValueReachable) {
    // Many objects with interleaved values, so that removals punch holes into shared probe runs.
    for (u32 o = 0; o < 60; ++o) {
        for (u16 v = 0; v < 40; ++v) {
            ASSERT_EQ(PT_OK, pt_set_int(0x01000000u | o, v, static_cast<int>(o * 1000 + v), BT_VTYPE_S32));
        }
    }
    for (u32 o = 0; o < 60; o += 3) {
        EXPECT_EQ(40, pt_remove_object(0x01000000u | o));
    }
    EXPECT_EQ(0, pt_remove_object(0x01000000u));
    for (u32 o = 0; o < 60; ++o) {
        for (u16 v = 0; v < 40; ++v) {
            int out = -1;
            const int r = pt_get_int(&out, 0x01000000u | o, v);
            if (o % 3 == 0) {
                ASSERT_EQ(PT_ERR_NO_ENTRY, r);
            } else {
                ASSERT_EQ(PT_OK, r);
                ASSERT_EQ(static_cast<int>(o * 1000 + v), out);
            }
        }
    }
    EXPECT_EQ(40 * 40, pt_count());
}

TEST_F(ValueTable, TheChangeHookTellsLocalWritesFromNetworkStores) {
    const u8 temp[] = {0x66, 0x08}; // 2150 little-endian
    ASSERT_EQ(PT_OK, pt_store(kOid, 0x000C, BT_VTYPE_S16_X100, temp, 2, 1000, PT_ORIGIN_NETWORK));
    ASSERT_EQ(PT_OK, pt_set_int(kOid, 0x801B, 2100, BT_VTYPE_S16_X100));
    ASSERT_EQ(PT_OK, pt_set_text(kOid, 0x8090, "Bath"));
    const std::vector<Change> expected = {
        {kOid, 0x000C, BT_VTYPE_S16_X100, PT_ORIGIN_NETWORK},
        {kOid, 0x801B, BT_VTYPE_S16_X100, PT_ORIGIN_LOCAL},
        {kOid, 0x8090, BT_VTYPE_TEXT, PT_ORIGIN_LOCAL},
    };
    EXPECT_EQ(expected, gChanges);
    int out = 0;
    EXPECT_EQ(PT_OK, pt_get_int(&out, kOid, 0x000C));
    EXPECT_EQ(2150, out);
    u32 stamp = 0;
    EXPECT_EQ(PT_OK, pt_get_timestamp(&stamp, kOid, 0x000C));
    EXPECT_EQ(1000u, stamp);
    EXPECT_EQ(PT_OK, pt_get_timestamp(&stamp, kOid, 0x801B));
    EXPECT_EQ(static_cast<u32>(os_time()), stamp) << "local writes are stamped with the wall clock";
}

TEST_F(ValueTable, BadInputIsRejectedWithATrace) {
    EXPECT_EQ(PT_ERR_TYPE, pt_set_int(kOid, 0x8001, 1, BT_VTYPE_TEXT));
    EXPECT_EQ(PT_ERR_TYPE, pt_set_int(kOid, 0x8001, 1, 0));
    EXPECT_EQ(PT_ERR_TYPE, pt_set_int(kOid, 0x8001, 1, 21));
    EXPECT_EQ(PT_ERR_NO_ENTRY, pt_get_int(nullptr, kOid, 0x8001)) << "nothing was created";
    EXPECT_NE(std::string::npos, mTrace.str().find("not an integer type"));

    const u8 bytes[4] = {1, 2, 3, 4};
    EXPECT_EQ(PT_ERR_TYPE, pt_store(kOid, 0x8002, BT_VTYPE_S16, bytes, 3, 0, PT_ORIGIN_NETWORK));
    EXPECT_EQ(PT_ERR_TYPE, pt_store(kOid, 0x8002, BT_VTYPE_S16, nullptr, 2, 0, PT_ORIGIN_NETWORK));
    EXPECT_EQ(PT_ERR_TYPE, pt_store(kOid, 0x8002, 42, bytes, 4, 0, PT_ORIGIN_NETWORK));
    EXPECT_EQ(PT_ERR_TYPE,
              pt_store(kOid, 0x8002, BT_VTYPE_DATA, bytes, PT_MAX_DATA + 1, 0, PT_ORIGIN_NETWORK));
    EXPECT_EQ(PT_ERR_TYPE, pt_set_data(kOid, 0x8002, nullptr, 4));
    EXPECT_EQ(0, pt_count());
    EXPECT_TRUE(gChanges.empty());

    ASSERT_EQ(PT_OK, pt_set_int(kOid, 0x8001, 1, BT_VTYPE_U8));
    EXPECT_EQ(PT_ERR_TYPE, pt_get_int(nullptr, kOid, 0x8001));
    ASSERT_EQ(PT_OK, pt_set_data(kOid, 0x8003, bytes, 4));
    EXPECT_EQ(PT_ERR_TYPE, pt_get_data(nullptr, 4, kOid, 0x8003));
    EXPECT_EQ(PT_ERR_TYPE, pt_get_text(nullptr, kOid, 0x8003));
}

// A write to the wildcards would be published to every object or value.
TEST_F(ValueTable, TheWildcardIdsNeverGetAnEntry) {
    const u8 bytes[2] = {0x66, 0x08};
    EXPECT_EQ(PT_ERR_NO_ENTRY, pt_set_int(OID_ALL, 0x80F0, 1, BT_VTYPE_S16_X100));
    EXPECT_EQ(PT_ERR_NO_ENTRY, pt_set_int(kOid, VID_ALL, 1, BT_VTYPE_U8));
    EXPECT_EQ(PT_ERR_NO_ENTRY, pt_set_data(OID_ALL, 0x8043, bytes, 2));
    EXPECT_EQ(PT_ERR_NO_ENTRY, pt_set_text(kOid, VID_ALL, "Bath"));
    EXPECT_EQ(PT_ERR_NO_ENTRY, pt_store(OID_ALL, 0x000C, BT_VTYPE_S16_X100, bytes, 2, 0, PT_ORIGIN_NETWORK));
    EXPECT_EQ(0, pt_count());
    EXPECT_TRUE(gChanges.empty()) << "nothing to publish";
    EXPECT_NE(std::string::npos,
              mTrace.str().find("FFFFFFFF vid 80F0 names all objects or values, not stored"));
}
