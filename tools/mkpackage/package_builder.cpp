#include "tools/mkpackage/package_builder.h"

#include "Libraries/base/crc16.h"
#include "Libraries/tavi_net/bl_protocol.h"

#include <algorithm>

namespace tdx::mkpackage {

namespace {
constexpr std::size_t HEADER_SIZE = 24;
constexpr std::size_t DESCRIPTOR_SIZE = 23;
constexpr std::size_t TRAILER = 4;

void putText(uint8_t* out, const std::string& text) {
    std::copy(text.begin(), text.end(), out);
}
} // namespace

std::vector<uint8_t> build_item(const Item& item, std::string& error) {
    const Descriptor& d = item.descriptor;
    if (d.magic.size() != 2) {
        error = "the magic must be 2 characters";
    } else if (d.hwCode.size() > 5 || d.swCode.size() > 5) {
        error = "hardware and software codes have at most 5 characters";
    } else if (d.hwMin > d.hwMax || d.variantMin > d.variantMax) {
        error = "a range's lowest value is above its highest";
    } else if (item.data.size() < TRAILER || item.data.size() > UINT32_MAX) {
        error = "the data must hold at least 4 bytes and fit in 4 GiB";
    } else if (item.firstBlock.size() > 255) {
        error = "the first block holds at most 255 bytes";
    }
    if (!error.empty()) {
        return {};
    }

    std::vector<uint8_t> out(HEADER_SIZE, 0);
    out[4] = static_cast<uint8_t>(item.firstBlock.size());
    out[5] = DESCRIPTOR_SIZE;
    put_le32(&out[12], static_cast<uint32_t>(item.data.size()));
    put_le16(&out[16], crc16(item.data.data(), item.data.size() - TRAILER));
    out[18] = item.type;
    out.insert(out.end(), item.firstBlock.begin(), item.firstBlock.end());

    uint8_t descriptor[DESCRIPTOR_SIZE] = {};
    putText(descriptor + 0, d.magic);
    descriptor[2] = d.protocol;
    putText(descriptor + 3, d.hwCode);
    descriptor[8] = d.hwMin;
    descriptor[9] = d.hwMax;
    putText(descriptor + 10, d.swCode);
    descriptor[15] = d.variantMin;
    descriptor[16] = d.variantMax;
    descriptor[21] = d.versionMajor;
    descriptor[22] = d.versionMinor;
    out.insert(out.end(), descriptor, descriptor + DESCRIPTOR_SIZE);

    // The header CRC covers header bytes 2 to 23 and both blocks.
    put_le16(&out[0], crc16(&out[2], out.size() - 2));
    out.insert(out.end(), item.data.begin(), item.data.end());
    return out;
}

} // namespace tdx::mkpackage
