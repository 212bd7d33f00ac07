#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "SourceHost/api_lib/device_info.h"
#include "SourceHost/api_lib/devices.h"
#include "SourceHost/api_lib/scratch_folder.h"
#include "SourceHost/config/config_store.h"

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

    static std::string bytes(const void* record, size_t count) {
        return std::string(static_cast<const char*>(record), count);
    }
};

TEST_F(DeviceInfo, DescriptorsCarryTheDisplaysIdentityByteForByte) {
    os_init();
    ASSERT_NE(DI.bl, nullptr);
    ASSERT_NE(DI.hw, nullptr);
    ASSERT_NE(DI.sw, nullptr);

    EXPECT_EQ(bytes(DI.bl, 4), std::string("TB\x01\x01", 4));
    // Production data: hardware code and version, software code, variant, serial (= address), prefix 1530,
    // flags, reserved, network address; all little-endian.
    EXPECT_EQ(bytes(DI.hw, 24), std::string("TD410\x01TD410\x00"
                                            "\x10\x04\x01\x00"
                                            "\xFA\x05\x00\x00"
                                            "\x10\x04\x01\x00",
                                            24));
    EXPECT_EQ(DI.hw->network_address, 0x010410u);
    const auto* software = reinterpret_cast<const uint8_t*>(DI.sw);
    EXPECT_EQ(bytes(software, 9), "SWD1TD410");
    EXPECT_EQ(software[20], 1) << "descriptor version";
    EXPECT_EQ(software[21], 1) << "version major";
    EXPECT_EQ(software[22], 0) << "version minor: a release";
    EXPECT_EQ(build_get_short_version(DI.sw), "TD41001");
}

TEST_F(DeviceInfo, AddressComesFromTheEnvironmentWhenItIsValid) {
    setenv("TDX410_ADDRESS", "0x0A0B0C", 1);
    os_init();
    EXPECT_EQ(DI.hw->network_address, 0x0A0B0Cu);
    EXPECT_EQ(DI.hw->serial, 0x0A0B0Cu);

    setenv("TDX410_ADDRESS", "010411", 1);
    os_init();
    EXPECT_EQ(DI.hw->network_address, 0x010411u) << "hexadecimal even without 0x";
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
    dbg_printf(", continued");
    const std::string trace = readFile("trace.txt");
    EXPECT_EQ(trace.rfind("earlier run\r\n", 0), 0u) << trace;
    EXPECT_NE(trace.find(" first 1, continued"), std::string::npos) << trace;

    unsetenv("TDX410_TRACE");
    os_init();
    dbg_printf_h("to stderr");
    EXPECT_EQ(readFile("trace.txt").find("to stderr"), std::string::npos);
}

std::string sCapturedTrace;
void captureTrace(const char* text, size_t length) {
    sCapturedTrace.append(text, length);
}

TEST_F(TraceFile, TraceFileThatCannotBeOpenedIsReportedAndTraceKeepsItsOutput) {
    sCapturedTrace.clear();
    dbg_set_output(captureTrace);
    setenv("TDX410_TRACE", "no/such/folder/trace.txt", 1);
    os_init();
    dbg_printf_h("still traced");
    dbg_set_output(nullptr);

    EXPECT_FALSE(std::filesystem::exists("no"));
    EXPECT_NE(sCapturedTrace.find("TDX410_TRACE=no/such/folder/trace.txt cannot be opened"),
              std::string::npos)
        << sCapturedTrace;
    EXPECT_NE(sCapturedTrace.find(" still traced"), std::string::npos) << sCapturedTrace;
}

TEST(Devices, DesktopHasNoDevicesAndReportsNoMemoryUse) {
    const uint32_t before = buzzer_platform_last().count;
    buzzer_platform_init();
    buzzer_platform_play(2000, 50);
    EXPECT_EQ(buzzer_platform_last().kind, buzzer_platform_call::Play);
    EXPECT_EQ(buzzer_platform_last().frequency, 2000);
    EXPECT_EQ(buzzer_platform_last().volume, 50);
    buzzer_platform_stop();
    EXPECT_EQ(buzzer_platform_last().kind, buzzer_platform_call::Stop);
    EXPECT_EQ(buzzer_platform_last().count, before + 3);
    lcd_turn_on();
    lcd_set_backlight(100);
    lcd_turn_off();
    const uint32_t asked = diagnostics_platform_memory_calls();
    uint32_t figures[4] = {1, 2, 3, 4};
    diagnostics_platform_memory_usage(figures);
    EXPECT_EQ(figures[0] | figures[1] | figures[2] | figures[3], 0u);
    diagnostics_platform_memory_usage(nullptr);
    EXPECT_EQ(diagnostics_platform_memory_calls(), asked + 2);
    os_restart();
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

TEST_F(WallClock, SetTimeIsTheWallClockFromNowOn) {
    const uint32_t set = 1718452800; // 2024-06-15 12:00:00 UTC
    os_time_set(set);
    const int64_t now = os_time();
    EXPECT_GE(now, set);
    EXPECT_LT(now, static_cast<int64_t>(set) + 60);

    os_time_set(4102444800u); // 2100-01-01: past 2038 and within the 32-bit unsigned argument
    EXPECT_GE(os_time(), 4102444800LL);
}

TEST_F(WallClock, BrokenDownTimeIsUtcWithoutTheDaylightFlag) {
    const uint32_t set = 1718452800; // 2024-06-15 12:00:00 UTC, a Saturday
    os_time_set(set);
    Configuration.daylight_saving = 0;
    const auto [out, elapsed] = brokenDownSince(set);
    EXPECT_EQ(out.tm_year, 124);
    EXPECT_EQ(out.tm_mon, 5);
    EXPECT_EQ(out.tm_mday, 15);
    EXPECT_EQ(out.tm_wday, 6);
    EXPECT_EQ(out.tm_hour * 3600 + out.tm_min * 60 + out.tm_sec, 12 * 3600 + elapsed);
    EXPECT_EQ(out.tm_isdst, 0);
}

TEST_F(WallClock, DaylightFlagAddsOneHourAcrossTheYearEndAndReportsDaylightSaving) {
    const uint32_t set = 1704065400; // 2023-12-31 23:30:00 UTC
    os_time_set(set);
    Configuration.daylight_saving = 1;
    const auto [out, elapsed] = brokenDownSince(set);
    EXPECT_EQ(out.tm_year, 124);
    EXPECT_EQ(out.tm_mon, 0);
    EXPECT_EQ(out.tm_mday, 1);
    EXPECT_EQ(out.tm_yday, 0);
    EXPECT_EQ(out.tm_wday, 1) << "2024-01-01 is a Monday";
    EXPECT_EQ(out.tm_hour * 3600 + out.tm_min * 60 + out.tm_sec, 30 * 60 + elapsed);
    EXPECT_EQ(out.tm_isdst, 1);

    Configuration.daylight_saving = 0xFF;
    tm again{};
    os_time_tm(&again);
    EXPECT_EQ(again.tm_isdst, 1) << "any non-zero flag counts";
    os_time_tm(nullptr);
}

} // namespace
} // namespace tdx
