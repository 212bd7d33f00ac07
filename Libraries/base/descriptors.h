// Records of the display's firmware image: the production data (hw_descr_t), the software descriptor
// (sw_descr_t) and the bootloader descriptor (bl_descr_t). Their layouts are fixed byte for byte: the
// bootloader protocol and firmware packages copy them, so every offset is checked below. Multi-byte fields
// are little-endian, as on the display itself.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tdx {

static_assert(std::endian::native == std::endian::little, "descriptor records are little-endian");

// Production data.
struct hw_descr_t {
    char hw_code[5];          // "TD410", not terminated
    uint8_t hw_version;       // 1
    char sw_code[5];          // software that may run on this hardware, "TD410", not terminated
    uint8_t variant;          // 0
    uint32_t serial;          // serial number (= network address)
    uint16_t serial_prefix;   // 1530
    uint8_t flags;            // 0
    uint8_t reserved;         //
    uint32_t network_address; // low 24 bits the display's address (its own object id), high byte 0
};

// Software descriptor.
struct sw_descr_t {
    char magic[4];         // "SWD1"
    char sw_code[5];       // "TD410", not terminated
    uint8_t reserved[11];  //
    uint8_t descr_version; // 1
    uint8_t version_major; //
    uint8_t version_minor; // non-zero for pre-release software
    uint8_t build;         // 0 for a release build
    uint32_t build_time;   // Unix seconds
    uint32_t image_crc;    //
};

// Bootloader descriptor.
struct bl_descr_t {
    char magic[2];            // "TB"
    uint8_t protocol_version; // 1
    uint8_t bl_version;       //
    uint8_t reserved[4];      //
};

// The descriptors of the running program, set up by the platform's os_init.
struct device_info_t {
    const uint8_t* bl;
    const hw_descr_t* hw;
    const sw_descr_t* sw;
};

static_assert(sizeof(hw_descr_t) == 24);
static_assert(offsetof(hw_descr_t, hw_code) == 0 && offsetof(hw_descr_t, hw_version) == 5 &&
              offsetof(hw_descr_t, sw_code) == 6 && offsetof(hw_descr_t, variant) == 11 &&
              offsetof(hw_descr_t, serial) == 12 && offsetof(hw_descr_t, serial_prefix) == 16 &&
              offsetof(hw_descr_t, flags) == 18 && offsetof(hw_descr_t, reserved) == 19 &&
              offsetof(hw_descr_t, network_address) == 20);
static_assert(sizeof(sw_descr_t) == 32);
static_assert(offsetof(sw_descr_t, magic) == 0 && offsetof(sw_descr_t, sw_code) == 4 &&
              offsetof(sw_descr_t, reserved) == 9 && offsetof(sw_descr_t, descr_version) == 20 &&
              offsetof(sw_descr_t, version_major) == 21 && offsetof(sw_descr_t, version_minor) == 22 &&
              offsetof(sw_descr_t, build) == 23 && offsetof(sw_descr_t, build_time) == 24 &&
              offsetof(sw_descr_t, image_crc) == 28);
static_assert(sizeof(bl_descr_t) == 8);
static_assert(offsetof(bl_descr_t, magic) == 0 && offsetof(bl_descr_t, protocol_version) == 2 &&
              offsetof(bl_descr_t, bl_version) == 3);

// The short version text: the 5-character software code, the major version as "%02d", then "b%d" of the build
// byte when it is non-zero ("TD41003", "TD41003b7"). A null descriptor gives "".
std::string build_get_short_version(const sw_descr_t* descriptor);

} // namespace tdx
