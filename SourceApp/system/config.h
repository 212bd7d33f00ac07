// The display's settings record: checked, converted from older versions or reset when the program starts,
// and stored again whenever a user of a field asks for it. The record itself (`configuration_t`, the global
// `Configuration`) and its file belong to the port; this module decides what a valid record is.
#pragma once

#include "SourceHost/config/config_store.h"

#include <array>
#include <bit>
#include <cstdint>

namespace tdx {

inline constexpr uint16_t CONFIG_VERSION = 4;
inline constexpr uint16_t CONFIG_SIZE = sizeof(configuration_t);

// The seeded sum over the first Min(size, 52) bytes, in whole words, with the checksum field taken as 0: the
// value that makes the 32-bit sum of the seed and every covered word, the checksum included, come out 0.
constexpr uint32_t config_checksum(const configuration_t& record) {
    configuration_t copy = record;
    copy.checksum = 0;
    const auto bytes = std::bit_cast<std::array<uint8_t, sizeof(configuration_t)>>(copy);
    const unsigned covered = (copy.size < CONFIG_SIZE ? copy.size : CONFIG_SIZE) / 4u * 4u;
    uint32_t sum = 0x3CD29B3Fu;
    for (unsigned at = 0; at < covered; at += 4) {
        sum += static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
               static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
    }
    return 0u - sum;
}

namespace config_detail {
constexpr configuration_t withChecksum(configuration_t record) {
    record.checksum = config_checksum(record);
    return record;
}
} // namespace config_detail

// What a missing or damaged record becomes. The touch offsets of 1.0 move every touch by a pixel; records in
// the field carry them, so they stay.
inline constexpr configuration_t DefaultConfiguration = config_detail::withChecksum({
    .version = CONFIG_VERSION,
    .size = CONFIG_SIZE,
    .reserved = 0,
    .checksum = 0,
    .touch_scale_x = 1.0f,
    .touch_offset_x = 1.0f,
    .touch_scale_y = 1.0f,
    .touch_offset_y = 1.0f,
    .screen_delay = {0, 10, 10},
    .screen_intensity = {0, 6, 50},
    .reserved_43 = 0,
    .language = 0,
    .country = 0,
    .first_start = 1,
    .reserved_47 = 1,
    .daylight_saving = 0,
    .demo_mode = 0,
    .reserved_50 = {0, 0},
});

// Start-up, before anything reads the record: loads "config.bin", keeps a valid record, converts a valid
// record of an older version, and otherwise falls back to the defaults; stores whatever it changed.
void config_init();

// Whoever changed a field calls this: stores the record when it differs from the one last stored. A store
// that fails is traced and the record stays in memory; the next call tries again.
void config_apply();

// Factory reset: every field to its default, stored at once.
void config_defaults();

} // namespace tdx
