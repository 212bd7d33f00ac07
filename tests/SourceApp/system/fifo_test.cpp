#include "SourceApp/system/Fifo.h"

#include "Libraries/base/os.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tdx {
namespace {

std::vector<int> drain(Fifo& fifo) {
    std::vector<int> out;
    for (uint8_t b = 0; fifo.pop(&b);) {
        out.push_back(b);
    }
    return out;
}

TEST(Fifo, HoldsOneByteLessThanItsSize) {
    Fifo fifo;
    fifo.init(4);
    EXPECT_TRUE(fifo.push(1) && fifo.push(2) && fifo.push(3));
    EXPECT_FALSE(fifo.push(4));
    EXPECT_EQ(drain(fifo), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(fifo.empty());
}

TEST(Fifo, UnpushTakesTheNewestByteBackAcrossTheWrap) {
    Fifo fifo;
    fifo.init(4);
    uint8_t b = 0;
    for (int round = 0; round < 5; ++round) { // the positions wrap at different places
        ASSERT_TRUE(fifo.push(1) && fifo.push(2) && fifo.push(3));
        ASSERT_TRUE(fifo.unpush(&b));
        EXPECT_EQ(b, 3);
        ASSERT_TRUE(fifo.pop(&b));
        EXPECT_EQ(b, 1);
        EXPECT_EQ(drain(fifo), (std::vector<int>{2}));
        EXPECT_FALSE(fifo.unpush(&b));
    }
}

TEST(Fifo, ASizeBelowOneIsRefusedAndANeverInitialisedFifoHoldsNothing) {
    struct Refused {};
    os_set_assert_handler([](const AssertionFailure&) { throw Refused{}; });
    Fifo fifo;
    uint8_t b = 0;
    EXPECT_FALSE(fifo.push(1));
    EXPECT_FALSE(fifo.pop(&b));
    fifo.init(2);
    ASSERT_TRUE(fifo.push(9));
    for (int size : {0, -5}) {
        EXPECT_THROW(fifo.init(size), Refused) << size;
    }
    EXPECT_EQ(drain(fifo), (std::vector<int>{9})) << "a refused init leaves the fifo as it was";

    // One byte is taken, and holds nothing: its one slot is the one that stays free.
    ASSERT_TRUE(fifo.push(9));
    EXPECT_NO_THROW(fifo.init(1));
    os_set_assert_handler(nullptr);
    EXPECT_TRUE(fifo.empty()) << "the earlier contents are dropped";
    EXPECT_FALSE(fifo.push(1));
    EXPECT_FALSE(fifo.pop(&b));
    EXPECT_FALSE(fifo.unpush(&b));
    EXPECT_TRUE(fifo.empty());
}

} // namespace
} // namespace tdx
