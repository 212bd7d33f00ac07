// The serial flash: a 1 MiB chip of 4096-byte sectors, emulated byte for byte by the file "spiflash.bin" in
// the working directory; an erased byte is 0xFF. Erasing and programming need the protection off
// (sf_protect_ctrl(1)); doing either while protected is a fatal assertion. Reading is always allowed.
// Accesses that do not lie wholly inside the chip are refused with a trace and do nothing.
// Application thread only.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tdx {

inline constexpr const char* SF_FILE_NAME = "spiflash.bin";
inline constexpr uint32_t SF_SIZE = 0x100000;
inline constexpr uint32_t SF_SECTOR_SIZE = 4096;
inline constexpr uint32_t SF_BLOCK_SIZE = 65536;

// Opens "spiflash.bin", creating it or padding a short one to the whole chip with 0xFF, whatever the
// protection. Only the first call after start (or after sf_deinit_serial_flash) acts. 0, or -1 when the
// file cannot be opened or padded (the flash then reads and writes nothing).
int sf_init_serial_flash();
// Closes the file; the next sf_init_serial_flash opens it again.
void sf_deinit_serial_flash();

// 1 unprotects, any other value protects; returns the new protection flag (1 protected).
int sf_protect_ctrl(int value);

// Each returns the number of bytes written or read: the full count, or less when the file failed, 0 when the
// access was refused or the flash is not initialised.
uint32_t sf_chip_erase();
// Erases the whole sector holding the address.
uint32_t sf_sector_erase(uint32_t address);
// Both write the bytes as they are (no flash AND of old and new bits).
size_t sf_page_program(uint32_t address, const void* data, size_t n);
size_t sf_auto_program(uint32_t address, const void* data, size_t n);
size_t sf_byte_read(uint32_t address, void* buffer, size_t n);

} // namespace tdx
