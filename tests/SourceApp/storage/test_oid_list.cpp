// Id list values: decoding what the control unit stores, writing a list whole, withdrawing it.
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/OidList.h"

#include <gtest/gtest.h>

#include <vector>

namespace tdx {
namespace {

std::vector<unsigned> idsOf(const OidList& list) {
    return {list.begin(), list.end()};
}

std::vector<uint8_t> bytesOf(const std::vector<unsigned>& ids) {
    std::vector<uint8_t> bytes;
    for (const unsigned id : ids) {
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(static_cast<uint8_t>(id >> (8 * i)));
        }
    }
    return bytes;
}

TEST(OidList, DecodesWholeIdsOnlyOnceEachAndAtMostSixtyFour) {
    std::vector<unsigned> many;
    for (unsigned i = 1; i <= 70; ++i) {
        many.push_back(i << 24 | 0x316);
    }
    const std::vector<unsigned> first64(many.begin(), many.begin() + 64);
    std::vector<uint8_t> partial = bytesOf({0x01000316, 0x02000316});
    partial.resize(7); // the second id cut short
    const struct {
        const char* story;
        std::vector<uint8_t> bytes;
        int count;
        std::vector<unsigned> ids;
    } cases[] = {
        {"empty", {}, 0, {}},
        {"a failed read", bytesOf({0x01000316}), -2, {}},
        {"one", bytesOf({0x01000316}), 4, {0x01000316}},
        {"an incomplete last id", partial, 7, {0x01000316}},
        {"a repeated id", bytesOf({5, 6, 5}), 12, {5, 6}},
        {"more than 64", bytesOf(many), 280, first64},
        {"ids that name no device",
         bytesOf({0xFFFFFFFF, 0x01000316, 0, 0x00FFFFFF, 0x3F000000}),
         20,
         {0x01000316}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(idsOf(oid_list_decode(c.bytes.data(), c.count)), c.ids) << c.story;
    }
}

TEST(OidList, WritesWholeListsAndReadsThemBack) {
    proxytab_init();
    constexpr oid_t OWNER = 0x08000316;
    constexpr vid_t ROOMS = 0x80B8;
    EXPECT_TRUE(oid_list_read(OWNER, ROOMS).isEmpty()) << "no entry";
    OidList list;
    list.add(0x02000316);
    list.add(0x01000316);
    ASSERT_EQ(oid_list_write(OWNER, ROOMS, list), PT_OK);
    uint8_t bytes[16];
    ASSERT_EQ(pt_get_data(bytes, sizeof bytes, OWNER, ROOMS), 8);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 8), bytesOf({0x02000316, 0x01000316}));
    EXPECT_EQ(oid_list_read(OWNER, ROOMS), list);

    ASSERT_EQ(oid_list_write(OWNER, ROOMS, OidList{}), PT_OK);
    EXPECT_EQ(pt_get_data(bytes, sizeof bytes, OWNER, ROOMS), 0) << "an empty list is valid";
    ASSERT_EQ(oid_list_withdraw(OWNER, ROOMS), PT_OK);
    EXPECT_EQ(pt_get_data(bytes, sizeof bytes, OWNER, ROOMS), PT_ERR_NO_VALUE);
    EXPECT_TRUE(oid_list_read(OWNER, ROOMS).isEmpty());
}

TEST(OidList, IdsThatNameNoDeviceAreNeverWritten) {
    OidList list;
    for (const unsigned id : {0xFFFFFFFFu, 0x05000316u, 0x00000000u, 0x11FFFFFFu}) {
        list.add(id);
    }
    uint8_t bytes[OID_LIST_MAX_BYTES];
    const unsigned length = oid_list_encode(list, bytes);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + length), bytesOf({0x05000316}));

    OidList admitted;
    EXPECT_FALSE(oid_list_admit(admitted, 0x00FFFFFF));
    EXPECT_TRUE(oid_list_admit(admitted, OID_LOCATION)) << "the location, which a delete list may name";
    EXPECT_EQ(idsOf(admitted), std::vector<unsigned>{OID_LOCATION});
}

} // namespace
} // namespace tdx
