// Firmware packages ("*.fw"): a chain of items, each a 24-byte header guarded by a CRC-16, a first block, a
// device descriptor saying which hardware and software the firmware fits, and the data with a CRC-16 of its
// own (docs/firmware-package.md). The scanner walks one package and keeps the items a predicate accepts.
#pragma once

#include "Libraries/tavi_net/bl_protocol.h"
#include "SourceHost/api_lib/file.h"

#include <cstdint>
#include <string>

namespace tdx {

inline constexpr uint32_t TR1_HEADER_SIZE = 24;
inline constexpr uint32_t TR1_DESCRIPTOR_SIZE = 23;
// The last data bytes, which the data checksum does not cover.
inline constexpr uint32_t TR1_DATA_TRAILER = 4;
inline constexpr uint8_t TR1_TYPE_FIRMWARE = 1;
// A package holds at most this many items; further ones are not looked at.
inline constexpr uint32_t TR1_MAX_ITEMS = 64;

// Offsets within the device descriptor.
enum tr1_descriptor_field : uint8_t {
    TR1_DESC_MAGIC = 0,
    TR1_DESC_PROTOCOL = 2,
    TR1_DESC_HW_CODE = 3,
    TR1_DESC_HW_MIN = 8,
    TR1_DESC_HW_MAX = 9,
    TR1_DESC_SW_CODE = 10,
    TR1_DESC_VARIANT_MIN = 15,
    TR1_DESC_VARIANT_MAX = 16,
    TR1_DESC_VERSION_MAJOR = 21,
    TR1_DESC_VERSION_MINOR = 22,
};
inline constexpr uint32_t TR1_SW_CODE_LENGTH = TR1_DESC_VARIANT_MIN - TR1_DESC_SW_CODE;

// One item found in a package.
struct tr1_package_item {
    uint8_t header[TR1_HEADER_SIZE];
    std::string fileName;
    uint32_t offset;      // of the header in the file
    uint8_t index;        // within the file, counting every item from 0, fitting or not
    uint8_t checksumFail; // set when the data does not match its checksum, or could not be checked

    uint8_t firstBlockLength() const { return header[4]; }
    uint8_t descriptorLength() const { return header[5]; }
    uint32_t dataLength() const { return get_le32(header + 12); }
    uint16_t dataChecksum() const { return get_le16(header + 16); }
    uint8_t type() const { return header[18]; }
    uint32_t descriptorOffset() const { return offset + TR1_HEADER_SIZE + firstBlockLength(); }
    uint32_t dataOffset() const { return descriptorOffset() + descriptorLength(); }
};

// Reads the item's 23-byte device descriptor from its open package file; false when it cannot be read.
bool tr1_read_descriptor(File& file, const tr1_package_item& item,
                         uint8_t (&descriptor)[TR1_DESCRIPTOR_SIZE]);

// True when the item is firmware for the device: type, magic, protocol, hardware code and version range,
// software code and variant range all fit.
class tr1_firmware_device_compatible {
public:
    explicit tr1_firmware_device_compatible(const bl_dev_info* device);
    bool operator()(File& file, const tr1_package_item& item) const;

private:
    bl_dev_info mDevice;
};

// The negation, for removal from a list: opens the item's file itself and is true when it cannot.
class tr1_firmware_is_incompatible {
public:
    explicit tr1_firmware_is_incompatible(const bl_dev_info* device);
    bool operator()(const tr1_package_item& item) const;

private:
    tr1_firmware_device_compatible mCompatible;
};

using tr1_item_sink = void (*)(void* context, const tr1_package_item& item);

// Walks one open package from its start and hands every item the predicate accepts to the sink. A header
// that cannot be read, lengths that do not fit in the file or a wrong header CRC end the walk; the items
// handed over before stay. Returns the number of items walked (fitting or not).
uint32_t tr1_firmware_scan(File& file, const tr1_firmware_device_compatible& compatible, tr1_item_sink sink,
                           void* context);

// The same into an output iterator (a back-inserter into a list of items).
template <class Output>
void tr1_firmware_scan_insert(File& file, Output output, const tr1_firmware_device_compatible& compatible) {
    tr1_firmware_scan(
        file, compatible,
        [](void* context, const tr1_package_item& item) { *(*static_cast<Output*>(context))++ = item; },
        &output);
}

} // namespace tdx
