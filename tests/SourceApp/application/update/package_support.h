// Packages for the tests: items built by the package tool's library, edited by hand where a test needs a
// damaged one.
#pragma once

#include "Libraries/base/crc16.h"
#include "Libraries/tavi_net/bl_protocol.h"
#include "SourceHost/api_lib/scratch_folder.h"
#include "SourceHost/api_lib/sdcard.h"
#include "tools/mkpackage/package_builder.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tdx::test {

using Bytes = std::vector<uint8_t>;

// A device as the packages here expect it: TB, protocol 1, hardware `code` version 1, software `code`,
// variant 0.
inline bl_dev_info deviceInfo(const char (&code)[6]) {
    bl_dev_info info{};
    std::memcpy(info.magic, "TB", 2);
    info.protocol = 1;
    std::memcpy(info.hw_code, code, 5);
    info.hw_version = 1;
    std::memcpy(info.sw_code, code, 5);
    return info;
}

inline bl_dev_info displayInfo() {
    return deviceInfo("TD410");
}

inline mkpackage::Item displayItem(uint8_t major, std::size_t dataSize = 1000) {
    mkpackage::Item item;
    item.descriptor.hwCode = "TD410";
    item.descriptor.swCode = "TD410";
    item.descriptor.hwMin = 1;
    item.descriptor.hwMax = 1;
    item.descriptor.versionMajor = major;
    item.descriptor.versionMinor = 7;
    for (std::size_t i = 0; i < dataSize; ++i) {
        item.data.push_back(static_cast<uint8_t>(i * 7 + major));
    }
    return item;
}

inline Bytes build(const mkpackage::Item& item) {
    std::string error;
    Bytes bytes = mkpackage::build_item(item, error);
    EXPECT_TRUE(error.empty()) << error;
    return bytes;
}

inline Bytes concat(std::initializer_list<Bytes> items) {
    Bytes out;
    for (const Bytes& item : items) {
        out.insert(out.end(), item.begin(), item.end());
    }
    return out;
}

// Recomputes the header CRC of the item at offset after a hand edit, so that the edit is what a reader sees.
inline void resealHeader(Bytes& package, std::size_t offset) {
    const std::size_t blocks = package[offset + 4] + package[offset + 5];
    put_le16(&package[offset], crc16(&package[offset + 2], 22 + blocks));
}

inline void writeBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A scratch working folder with an empty card folder "sdcard" in it, the card inserted.
class CardFolder : public ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        std::filesystem::create_directory("sdcard");
        sdcard_set_folder("sdcard");
        sdcard_set_inserted(true);
    }
    void TearDown() override {
        sdcard_set_folder("");
        sdcard_set_inserted(true);
        ScratchFolder::TearDown();
    }
};

} // namespace tdx::test
