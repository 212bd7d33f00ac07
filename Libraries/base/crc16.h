// CRC-16/MODBUS: reflected polynomial 0xA001, start value 0xFFFF, no final xor. Check value of "123456789" is
// 0x4B37. Firmware packages and the link layer use it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tdx {

// The CRC of length bytes; a null buffer counts as no bytes.
uint16_t crc16(const void* buffer, size_t length);
// Starts a running CRC.
void crc16_init(uint16_t* crc);
// Continues a running CRC over length more bytes; crc16_buffer over the pieces of a buffer gives crc16 of the
// whole. A null crc or buffer changes nothing.
void crc16_buffer(uint16_t* crc, const void* buffer, size_t length);

} // namespace tdx
