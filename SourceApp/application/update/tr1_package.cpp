#include "SourceApp/application/update/tr1_package.h"

#include "Libraries/base/crc16.h"
#include "Libraries/base/dbg.h"

#include <algorithm>
#include <cstring>

namespace tdx {

namespace {

constexpr uint32_t CRC_CHUNK = 128;

// Continues the header CRC over the two blocks after the header; false on a short read.
bool crcBlocks(File& file, uint32_t length, uint16_t* crc) {
    uint8_t buffer[CRC_CHUNK];
    while (length > 0) {
        const uint32_t piece = std::min(length, CRC_CHUNK);
        const uint32_t got = file.read(buffer, piece);
        if (got != piece) {
            return false;
        }
        crc16_buffer(crc, buffer, got);
        length -= got;
    }
    return true;
}

} // namespace

bool tr1_read_descriptor(File& file, const tr1_package_item& item,
                         uint8_t (&descriptor)[TR1_DESCRIPTOR_SIZE]) {
    return file.seek(item.descriptorOffset()) &&
           file.read(descriptor, TR1_DESCRIPTOR_SIZE) == TR1_DESCRIPTOR_SIZE;
}

uint32_t tr1_firmware_scan(File& file, const tr1_firmware_device_compatible& compatible, tr1_item_sink sink,
                           void* context) {
    // Offsets are 64-bit: a hostile length must not wrap back into the file.
    const uint64_t size = file.getSize();
    if (size == 0 || !file.seek(0)) {
        return 0;
    }
    uint64_t offset = 0;
    uint32_t index = 0;
    while (offset < size) {
        if (index == TR1_MAX_ITEMS) {
            dbg_printf_h("TR1 %s: more than %u items, the rest is ignored", file.getFileName(),
                         TR1_MAX_ITEMS);
            break;
        }
        tr1_package_item item{};
        if (!file.seek(static_cast<uint32_t>(offset)) ||
            file.read(item.header, TR1_HEADER_SIZE) != TR1_HEADER_SIZE) {
            dbg_printf_h("TR1 failed to read %u bytes", TR1_HEADER_SIZE);
            break;
        }
        item.offset = static_cast<uint32_t>(offset);
        item.index = static_cast<uint8_t>(index);
        item.fileName = file.getFileName();
        const uint64_t dataOffset =
            offset + TR1_HEADER_SIZE + item.firstBlockLength() + item.descriptorLength();
        const uint64_t end = dataOffset + item.dataLength();
        if (item.descriptorLength() < TR1_DESCRIPTOR_SIZE) {
            dbg_printf_h("TR1 descriptor of item %u too short (%u bytes)", index, item.descriptorLength());
            break;
        }
        if (item.dataLength() < TR1_DATA_TRAILER) {
            dbg_printf_h("TR1 data of item %u too short (%u bytes)", index, item.dataLength());
            break;
        }
        if (size <= dataOffset) {
            dbg_printf_h("TR1 data offset (%u) greater than file size (%u)", dataOffset, size);
            break;
        }
        if (end > size) {
            dbg_printf_h("TR1 data end (%u) greater than file size (%u)", end, size);
            break;
        }
        uint16_t crc = crc16(item.header + 2, TR1_HEADER_SIZE - 2);
        if (!crcBlocks(file, item.firstBlockLength() + item.descriptorLength(), &crc)) {
            dbg_printf_h("TR1 short read in the blocks of item %u", index);
            break;
        }
        if (crc != get_le16(item.header)) {
            dbg_printf_h("TR1 header CRC of item %u wrong (%04X, expected %04X)", index, crc,
                         get_le16(item.header));
            break;
        }
        if (compatible(file, item)) {
            sink(context, item);
        }
        ++index;
        offset = end;
    }
    return index;
}

tr1_firmware_device_compatible::tr1_firmware_device_compatible(const bl_dev_info* device)
    : mDevice(*device) {}

bool tr1_firmware_device_compatible::operator()(File& file, const tr1_package_item& item) const {
    uint8_t d[TR1_DESCRIPTOR_SIZE];
    if (item.type() != TR1_TYPE_FIRMWARE || !tr1_read_descriptor(file, item, d)) {
        return false;
    }
    // Codes are compared as texts: a code shorter than its field ends with a 0 byte.
    const auto sameText = [](const uint8_t* a, const char* b, std::size_t n) {
        return std::strncmp(reinterpret_cast<const char*>(a), b, n) == 0;
    };
    return sameText(d + TR1_DESC_MAGIC, mDevice.magic, 2) && d[TR1_DESC_PROTOCOL] == mDevice.protocol &&
           sameText(d + TR1_DESC_HW_CODE, mDevice.hw_code, 5) && d[TR1_DESC_HW_MIN] <= mDevice.hw_version &&
           mDevice.hw_version <= d[TR1_DESC_HW_MAX] && sameText(d + TR1_DESC_SW_CODE, mDevice.sw_code, 5) &&
           d[TR1_DESC_VARIANT_MIN] <= mDevice.variant && mDevice.variant <= d[TR1_DESC_VARIANT_MAX];
}

tr1_firmware_is_incompatible::tr1_firmware_is_incompatible(const bl_dev_info* device)
    : mCompatible(device) {}

bool tr1_firmware_is_incompatible::operator()(const tr1_package_item& item) const {
    File file(item.fileName, FileOpenMode::Read);
    return !file.isOpened() || !mCompatible(file, item);
}

} // namespace tdx
