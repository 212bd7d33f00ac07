#include "update/fuzz/package_fuzz.h"

#include "Libraries/base/dbg.h"
#include "SourceApp/application/update/FirmwareFinder.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace tdx::test {

namespace {

const std::string& cardFolder() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/tdx-package-fuzz-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            std::abort();
        }
        return std::string(pattern);
    }();
    return folder;
}

} // namespace

bool packageFuzzOne(const uint8_t* data, size_t size) {
    const bool traced = dbg_is_enabled();
    dbg_set_enabled(false);
    const std::string path = cardFolder() + "/input.fw";
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    sdcard_set_folder(cardFolder());

    // Fit the display, or the device the first descriptor names, so that crafted items get verified too.
    bl_dev_info device{};
    std::memcpy(&device, "TB\x01\x01TD410\x01TD410", 15);
    if (size >= 24 + 23) {
        const uint8_t* d = data + 24 + data[4];
        if (static_cast<size_t>(d - data) + 23 <= size) {
            std::memcpy(device.magic, d, 3);
            std::memcpy(device.hw_code, d + 3, 5);
            device.hw_version = d[8];
            std::memcpy(device.sw_code, d + 10, 5);
            device.variant = d[15];
        }
    }

    TaskPool pool;
    FirmwareFinder finder(&device, pool);
    // One package of at most 64 items: a few steps per item and a checksum of at most a few KiB.
    for (int step = 0; step < 10000 && !finder.hasFinished(); ++step) {
        finder.task();
        pool.run();
    }
    bool kept = finder.hasFinished() && finder.size() <= TR1_MAX_ITEMS;
    for (const ui_firmware_info& row : tr1_firmware_list(finder)) {
        kept = kept && !row.item.checksumFail && row.item.dataOffset() + row.item.dataLength() <= size;
    }
    sdcard_set_folder("");
    dbg_set_enabled(traced);
    return kept;
}

} // namespace tdx::test
