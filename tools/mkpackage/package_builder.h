// Builds firmware package items (docs/firmware-package.md): the header with its CRC, the first block, the
// 23-byte device descriptor and the data with its checksum. A package is items written one after another.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tdx::mkpackage {

struct Descriptor {
    std::string magic = "TB"; // 2 characters
    uint8_t protocol = 1;
    std::string hwCode; // up to 5 characters
    uint8_t hwMin = 0;
    uint8_t hwMax = 255;
    std::string swCode; // up to 5 characters
    uint8_t variantMin = 0;
    uint8_t variantMax = 255;
    uint8_t versionMajor = 0;
    uint8_t versionMinor = 0;
};

struct Item {
    Descriptor descriptor;
    std::vector<uint8_t> data; // at least 4 bytes; the last 4 are not covered by the data checksum
    uint8_t type = 1;          // 1 firmware
    std::vector<uint8_t> firstBlock;
};

// The item's bytes; empty, with the reason in error, when the item cannot be built.
std::vector<uint8_t> build_item(const Item& item, std::string& error);

} // namespace tdx::mkpackage
