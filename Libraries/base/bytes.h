// Little-endian fields in byte buffers: packets, datagrams, resource and catalogue files, stored values.
// Callers check the buffer's length first.
#pragma once

#include <cstdint>

namespace tdx {

// The first `width` bytes (at most 8) as an unsigned number.
constexpr uint64_t get_le(const uint8_t* p, unsigned width) {
    uint64_t value = 0;
    for (unsigned i = width; i-- > 0;) {
        value = value << 8 | p[i];
    }
    return value;
}
constexpr uint16_t get_le16(const uint8_t* p) {
    return static_cast<uint16_t>(get_le(p, 2));
}
constexpr uint32_t get_le24(const uint8_t* p) {
    return static_cast<uint32_t>(get_le(p, 3));
}
constexpr uint32_t get_le32(const uint8_t* p) {
    return static_cast<uint32_t>(get_le(p, 4));
}

// Writes the low `width` bytes (at most 8) of value.
constexpr void put_le(uint8_t* p, uint64_t value, unsigned width) {
    for (unsigned i = 0; i < width; ++i) {
        p[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}
constexpr void put_le16(uint8_t* p, uint16_t value) {
    put_le(p, value, 2);
}
constexpr void put_le24(uint8_t* p, uint32_t value) {
    put_le(p, value, 3);
}
constexpr void put_le32(uint8_t* p, uint32_t value) {
    put_le(p, value, 4);
}

} // namespace tdx
