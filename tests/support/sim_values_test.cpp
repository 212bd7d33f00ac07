// Reading what the simulated unit holds: a value it lacks fails the reading test and names the value, and a
// wait for it goes on.
#include "tests/support/sim_values.h"

#include <gmock/gmock.h>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <string>

namespace tdx::test {
namespace {

constexpr uint32_t ROOM = 0x01000316;
constexpr uint16_t DESIRED = 0x001D;
constexpr uint16_t NAME = 0x8090;

sim::SimModel unitWithARoom() {
    sim::SimModel model;
    model.setObject(ROOM, 6, 0);
    model.setValue(ROOM, DESIRED, *sim::sim_number(18, 2150));
    model.setValue(ROOM, NAME, sim::sim_text(15, {'H', 'a', 'l', 'l'}));
    return model;
}

TEST(SimValues, AHeldValueReadsAsTheUnitHoldsIt) {
    const sim::SimModel model = unitWithARoom();
    EXPECT_EQ(heldNumber(model, ROOM, DESIRED), 2150);
    EXPECT_EQ(heldValue(model, ROOM, NAME).bytes, (std::vector<uint8_t>{'H', 'a', 'l', 'l'}));
    EXPECT_TRUE(heldValue(model, ROOM, NAME).valid);
}

struct MissingCase {
    const char* name;
    uint32_t oid;
    uint16_t vid;
    const char* failure;
};

class MissingValue : public ::testing::TestWithParam<MissingCase> {};

TEST_P(MissingValue, FailsTheTestNamingItAndReadsAsNothing) {
    const MissingCase& c = GetParam();
    const sim::SimModel model = unitWithARoom();
    int64_t number = -1;
    EXPECT_NONFATAL_FAILURE(number = heldNumber(model, c.oid, c.vid), c.failure);
    EXPECT_EQ(number, 0);
    sim::SimValue value;
    EXPECT_NONFATAL_FAILURE(value = heldValue(model, c.oid, c.vid), c.failure);
    EXPECT_FALSE(value.valid);
    EXPECT_TRUE(value.bytes.empty());
    EXPECT_FALSE(holds(model, c.oid, c.vid, 0)) << "a wait goes on";
    EXPECT_FALSE(holds(model, c.oid, c.vid, std::vector<uint8_t>{})) << "a wait goes on";
}

INSTANTIATE_TEST_SUITE_P(Values, MissingValue,
                         ::testing::Values(MissingCase{"OtherValue", ROOM, 0x801B,
                                                       "the unit holds no value 801b of object 1000316"},
                                           MissingCase{"OtherObject", 0x01000317, DESIRED,
                                                       "the unit holds no value 1d of object 1000317"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SimValues, AMissingValueFailsAtTheLineThatReadsIt) {
    const sim::SimModel model = unitWithARoom();
    ::testing::TestPartResultArray failures;
    int line = 0;
    {
        const ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
        line = __LINE__ + 1;
        heldNumber(model, ROOM, 0x801B);
    }
    ASSERT_EQ(failures.size(), 1);
    EXPECT_EQ(failures.GetTestPartResult(0).line_number(), line);
    EXPECT_THAT(failures.GetTestPartResult(0).file_name(), ::testing::EndsWith("sim_values_test.cpp"));
}

TEST(SimValues, AWaitEndsOnlyOnWhatItWaitsFor) {
    sim::SimModel model = unitWithARoom();
    EXPECT_TRUE(holds(model, ROOM, DESIRED, 2150));
    EXPECT_FALSE(holds(model, ROOM, DESIRED, 2151));
    EXPECT_TRUE(holds(model, ROOM, NAME, std::vector<uint8_t>{'H', 'a', 'l', 'l'}));
    EXPECT_FALSE(holds(model, ROOM, NAME, std::vector<uint8_t>{'H', 'a', 'l'}));
    model.setValue(ROOM, DESIRED, *sim::sim_number(18, 2151));
    EXPECT_TRUE(holds(model, ROOM, DESIRED, 2151));
}

} // namespace
} // namespace tdx::test
