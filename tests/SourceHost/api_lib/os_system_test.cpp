#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "SourceHost/api_lib/device_info.h"
#include "SourceHost/api_lib/scratch_folder.h"
#include "SourceHost/config/config_store.h"
#include "tests/support/trace_capture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>

namespace tdx {
namespace {

class DeviceInfo : public ::testing::Test {
protected:
    void SetUp() override { unsetenv("TDX410_ADDRESS"); }
    void TearDown() override {
        unsetenv("TDX410_ADDRESS");
        os_set_network_address(DEFAULT_NETWORK_ADDRESS);
        os_init();
    }
};

// A release at the default address, or at a valid one from the environment (hexadecimal even without 0x).
TEST_F(DeviceInfo, TheAddressIsTheDefaultOrAValidOneFromTheEnvironment) {
    const struct {
        const char* text;
        uint32_t address;
    } cases[] = {{nullptr, 0x010410}, {"0x0A0B0C", 0x0A0B0C}, {"010411", 0x010411}};
    for (const auto& c : cases) {
        if (c.text != nullptr) {
            setenv("TDX410_ADDRESS", c.text, 1);
        }
        os_init();
        ASSERT_NE(DI.hw, nullptr);
        EXPECT_EQ(DI.hw->network_address, c.address);
        EXPECT_EQ(DI.hw->serial, c.address);
    }
    EXPECT_EQ(build_get_short_version(DI.sw), "TD41001");
}

TEST_F(DeviceInfo, InvalidAddressesAreRejectedAndTheAddressStays) {
    ASSERT_EQ(os_set_network_address(0x020304), 0);
    for (const char* text : {"xyz", "1000000", "FFFFFF", "0", "-5", "12 34", "0x"}) {
        setenv("TDX410_ADDRESS", text, 1);
        os_init();
        EXPECT_EQ(DI.hw->network_address, 0x020304u) << text;
    }
    EXPECT_EQ(os_set_network_address(0), -1);
    EXPECT_EQ(os_set_network_address(0x1000000), -1);
    EXPECT_EQ(os_set_network_address(0xFFFFFF), -1);
    EXPECT_EQ(DI.hw->network_address, 0x020304u);
    EXPECT_EQ(os_set_network_address(0xFFFFFE), 0);
    EXPECT_EQ(DI.hw->network_address, 0xFFFFFEu);
}

class TraceFile : public test::ScratchFolder {
protected:
    void TearDown() override {
        unsetenv("TDX410_TRACE");
        os_init();
        ScratchFolder::TearDown();
    }
};

TEST_F(TraceFile, TraceIsAppendedToTheFileNamedByTheEnvironmentUntilItIsUnset) {
    writeFile("trace.txt", "earlier run");
    setenv("TDX410_TRACE", "trace.txt", 1);
    os_init();
    dbg_printf_h("first %u", 1u);
    const std::string trace = readFile("trace.txt");
    EXPECT_EQ(trace.rfind("earlier run", 0), 0u) << trace;
    EXPECT_NE(trace.find(" first 1\n"), std::string::npos) << trace;

    unsetenv("TDX410_TRACE");
    os_init();
    dbg_printf_h("to stderr");
    EXPECT_EQ(readFile("trace.txt").find("to stderr"), std::string::npos);
}

TEST_F(TraceFile, TraceFileThatCannotBeOpenedIsReportedAndTraceKeepsItsOutput) {
    test::TraceCapture trace;
    setenv("TDX410_TRACE", "no/such/folder/trace.txt", 1);
    os_init();
    dbg_printf_h("still traced");

    EXPECT_FALSE(std::filesystem::exists("no"));
    EXPECT_TRUE(trace.contains("TDX410_TRACE=no/such/folder/trace.txt cannot be opened")) << trace.str();
    EXPECT_TRUE(trace.contains(" still traced")) << trace.str();
}

class WallClock : public ::testing::Test {
protected:
    void TearDown() override { Configuration.daylight_saving = 0; }

    // The broken-down time and the seconds that passed since `set` (almost always 0; no sleeping involved).
    static std::pair<tm, int64_t> brokenDownSince(uint32_t set) {
        for (;;) {
            const int64_t before = os_time();
            tm out{};
            os_time_tm(&out);
            if (os_time() == before) {
                return {out, before - set};
            }
        }
    }
};

// The wall clock runs on from the time set, also past 2038; broken down it is UTC, one hour later with the
// daylight flag (any non-zero value), which it reports.
TEST_F(WallClock, RunsFromTheTimeSetAndBreaksDownAsUtcPlusTheDaylightHour) {
    const struct {
        uint32_t set;
        uint8_t daylight;
        int year, yearDay, weekDay, secondOfDay, isDst;
    } cases[] = {
        {1718452800, 0, 124, 166, 6, 12 * 3600, 0}, // 2024-06-15 12:00:00, a Saturday
        {1704065400, 1, 124, 0, 1, 30 * 60, 1},     // 2023-12-31 23:30:00 + 1 h: 2024-01-01, a Monday
        {1704065400, 0xFF, 124, 0, 1, 30 * 60, 1},  // any non-zero flag counts
        {4102444800u, 0, 200, 0, 5, 0, 0},          // 2100-01-01, a Friday
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.set);
        os_time_set(c.set);
        Configuration.daylight_saving = c.daylight;
        const auto [out, elapsed] = brokenDownSince(c.set);
        EXPECT_GE(elapsed, 0);
        EXPECT_LT(elapsed, 60);
        EXPECT_EQ(out.tm_year, c.year);
        EXPECT_EQ(out.tm_yday, c.yearDay);
        EXPECT_EQ(out.tm_wday, c.weekDay);
        EXPECT_EQ(out.tm_hour * 3600 + out.tm_min * 60 + out.tm_sec, c.secondOfDay + elapsed);
        EXPECT_EQ(out.tm_isdst, c.isDst);
    }
    os_time_tm(nullptr);
}

} // namespace
} // namespace tdx
