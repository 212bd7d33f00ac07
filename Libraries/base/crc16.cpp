#include "Libraries/base/crc16.h"

#include <array>

namespace tdx {

namespace {

constexpr uint16_t POLYNOMIAL = 0xA001; // 0x8005 reflected
constexpr uint16_t START = 0xFFFF;

constexpr std::array<uint16_t, 256> makeTable() {
    std::array<uint16_t, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        uint16_t crc = static_cast<uint16_t>(byte);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1u) != 0 ? static_cast<uint16_t>((crc >> 1) ^ POLYNOMIAL)
                                  : static_cast<uint16_t>(crc >> 1);
        }
        table[byte] = crc;
    }
    return table;
}

constexpr std::array<uint16_t, 256> TABLE = makeTable();

uint16_t update(uint16_t crc, const uint8_t* bytes, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        crc = static_cast<uint16_t>((crc >> 8) ^ TABLE[(crc ^ bytes[i]) & 0xFFu]);
    }
    return crc;
}

} // namespace

uint16_t crc16(const void* buffer, size_t length) {
    if (buffer == nullptr) {
        return START;
    }
    return update(START, static_cast<const uint8_t*>(buffer), length);
}

void crc16_init(uint16_t* crc) {
    if (crc != nullptr) {
        *crc = START;
    }
}

void crc16_buffer(uint16_t* crc, const void* buffer, size_t length) {
    if (crc == nullptr || buffer == nullptr) {
        return;
    }
    *crc = update(*crc, static_cast<const uint8_t*>(buffer), length);
}

} // namespace tdx
