#include "Libraries/base/circbuffer.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace tdx {
namespace {

TEST(Circbuffer, HoldsExactlyItsCountAndDropsTheRest) {
    std::vector<uint8_t> storage(4096);
    circbuffer_t ring;
    ASSERT_EQ(circbuffer_init(&ring, storage.data(), storage.size(), 1), 0);
    for (unsigned i = 0; i < 4096; ++i) {
        const uint8_t byte = static_cast<uint8_t>(i * 7);
        ASSERT_EQ(circbuffer_push_back(&ring, &byte), 0) << i;
    }
    const uint8_t extra = 0xEE;
    EXPECT_EQ(circbuffer_push_back(&ring, &extra), -1);
    for (unsigned i = 0; i < 4096; ++i) {
        uint8_t byte = 0;
        ASSERT_EQ(circbuffer_pop_front(&ring, &byte), 0) << i;
        ASSERT_EQ(byte, static_cast<uint8_t>(i * 7)) << i;
    }
    uint8_t byte = 0x55;
    EXPECT_EQ(circbuffer_pop_front(&ring, &byte), -1);
    EXPECT_EQ(byte, 0x55);
}

TEST(Circbuffer, KeepsOrderAcrossTheWrapWithWideElements) {
    struct Entry {
        uint16_t id;
        uint8_t kind;
    };
    std::array<Entry, 3> storage{};
    circbuffer_t ring;
    ASSERT_EQ(circbuffer_init(&ring, storage.data(), storage.size(), sizeof(Entry)), 0);
    uint16_t nextIn = 0;
    uint16_t nextOut = 0;
    // Fill two, take one, many times: the head and tail walk round the storage.
    for (int round = 0; round < 10; ++round) {
        while (true) {
            const Entry entry{nextIn, static_cast<uint8_t>(nextIn % 5)};
            if (circbuffer_push_back(&ring, &entry) != 0) {
                break;
            }
            ++nextIn;
        }
        EXPECT_EQ(nextIn - nextOut, 3);
        Entry entry{};
        ASSERT_EQ(circbuffer_pop_front(&ring, &entry), 0);
        EXPECT_EQ(entry.id, nextOut);
        EXPECT_EQ(entry.kind, nextOut % 5);
        ++nextOut;
    }
    Entry entry{};
    while (circbuffer_pop_front(&ring, &entry) == 0) {
        EXPECT_EQ(entry.id, nextOut++);
    }
    EXPECT_EQ(nextOut, nextIn);
}

TEST(Circbuffer, UnusableStorageGivesARingThatHoldsNothing) {
    uint8_t storage[4] = {};
    const uint8_t in = 1;
    uint8_t out = 9;
    circbuffer_t ring;

    EXPECT_EQ(circbuffer_init(&ring, storage, 0, 1), -1);
    EXPECT_EQ(circbuffer_push_back(&ring, &in), -1);
    EXPECT_EQ(circbuffer_pop_front(&ring, &out), -1);

    EXPECT_EQ(circbuffer_init(&ring, nullptr, 4, 1), -1);
    EXPECT_EQ(circbuffer_push_back(&ring, &in), -1);

    EXPECT_EQ(circbuffer_init(&ring, storage, 4, 0), -1);
    EXPECT_EQ(circbuffer_push_back(&ring, &in), -1);

    EXPECT_EQ(circbuffer_init(&ring, storage, SIZE_MAX / 2, 4), -1);
    EXPECT_EQ(circbuffer_push_back(&ring, &in), -1);

    EXPECT_EQ(circbuffer_init(nullptr, storage, 4, 1), -1);
    EXPECT_EQ(out, 9);
}

TEST(Circbuffer, NullElementsAreRefused) {
    uint8_t storage[2] = {};
    circbuffer_t ring;
    ASSERT_EQ(circbuffer_init(&ring, storage, 2, 1), 0);
    EXPECT_EQ(circbuffer_push_back(&ring, nullptr), -1);
    EXPECT_EQ(circbuffer_push_back(nullptr, storage), -1);
    const uint8_t in = 3;
    ASSERT_EQ(circbuffer_push_back(&ring, &in), 0);
    EXPECT_EQ(circbuffer_pop_front(&ring, nullptr), -1);
    uint8_t out = 0;
    EXPECT_EQ(circbuffer_pop_front(&ring, &out), 0);
    EXPECT_EQ(out, 3);
}

} // namespace
} // namespace tdx
