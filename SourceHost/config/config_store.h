// The display's configuration record and its store, the file "config.bin" in the working directory. The
// record is the same byte image in memory and on file; checking, converting and defaults belong to the
// application.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace tdx {

static_assert(std::endian::native == std::endian::little, "the record is stored as its little-endian image");

struct configuration_t {
    uint16_t version;  // record version, 4
    uint16_t size;     // leading bytes covered by the checksum, 52
    uint32_t reserved; // not used; kept and summed
    uint32_t checksum; // seeded 32-bit sum of the covered words
    float touch_scale_x;
    float touch_offset_x;
    float touch_scale_y;
    float touch_offset_y;
    uint32_t screen_delay[3];    // seconds, per screen state (off, dimmed, active); 0 = never
    uint8_t screen_intensity[3]; // backlight percent per screen state
    uint8_t reserved_43;
    uint8_t language;
    uint8_t country;
    uint8_t first_start;
    uint8_t reserved_47;
    uint8_t daylight_saving; // non-zero: the broken-down wall clock is one hour ahead (os_time_tm)
    uint8_t demo_mode;
    uint8_t reserved_50[2];
};

static_assert(sizeof(configuration_t) == 52);
static_assert(
    offsetof(configuration_t, version) == 0 && offsetof(configuration_t, size) == 2 &&
    offsetof(configuration_t, reserved) == 4 && offsetof(configuration_t, checksum) == 8 &&
    offsetof(configuration_t, touch_scale_x) == 12 && offsetof(configuration_t, touch_offset_x) == 16 &&
    offsetof(configuration_t, touch_scale_y) == 20 && offsetof(configuration_t, touch_offset_y) == 24 &&
    offsetof(configuration_t, screen_delay) == 28 && offsetof(configuration_t, screen_intensity) == 40 &&
    offsetof(configuration_t, reserved_43) == 43 && offsetof(configuration_t, language) == 44 &&
    offsetof(configuration_t, country) == 45 && offsetof(configuration_t, first_start) == 46 &&
    offsetof(configuration_t, reserved_47) == 47 && offsetof(configuration_t, daylight_saving) == 48 &&
    offsetof(configuration_t, demo_mode) == 49 && offsetof(configuration_t, reserved_50) == 50);

// The record every part of the program reads and writes; all bytes 0 until the application loads it.
extern configuration_t Configuration;

inline constexpr const char* CONFIG_FILE_NAME = "config.bin";

// Reads up to 52 bytes of "config.bin" over the start of the record; bytes the file does not hold keep their
// value (an older, shorter record is converted by the application). Returns the number of bytes read, or -1
// when the file cannot be opened (the record is unchanged). First removes the temporary files that stores of
// earlier runs left when they were interrupted (older than 10 s: a younger one may be another program's; one
// dated in the future, from before the clock was set back, goes too).
int config_platform_load(configuration_t* record);

// Replaces "config.bin" with the 52 bytes of the record: written to a temporary file of this store's own
// ("config.bin.XXXXXX") first, synced, renamed over the old file, and the folder synced, so that neither a
// failure nor another program storing at the same time leaves a half-written record. Returns 0, or -1 after
// tracing the failure: the old file is then as it was, except when only the final sync of the folder failed
// (the new record is in place but may not survive a power cut).
int config_platform_store(const configuration_t* record);

// Tests keep the record in memory: while a hook is installed, config_platform_store hands the record to it
// instead of writing the file and returns what the hook returns. Null writes the file again.
using config_store_hook = int (*)(const configuration_t* record);
void config_platform_set_store_hook(config_store_hook hook);

} // namespace tdx
