#include "SourceApp/drivers/serial_flash.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "SourceHost/api_lib/file.h"

#include <array>
#include <filesystem>
#include <memory>

namespace tdx {

namespace {

constinit int ProtectFlag = 1;
std::unique_ptr<File> sFile;

// One block of erased bytes: the whole chip is erased a block at a time, a sector with its first 4096.
constexpr std::array<uint8_t, SF_BLOCK_SIZE> ERASED = [] {
    std::array<uint8_t, SF_BLOCK_SIZE> bytes{};
    bytes.fill(0xFF);
    return bytes;
}();

// True when [address, address + n) lies inside the chip; otherwise traces the refusal.
bool inside(const char* operation, uint32_t address, size_t n) {
    if (address < SF_SIZE && n <= SF_SIZE - address) {
        return true;
    }
    dbg_printf_h("SFLASH %s refused: %u bytes at 0x%06x lie outside the %u-byte chip", operation, n, address,
                 SF_SIZE);
    return false;
}

size_t writeAt(uint32_t address, const void* data, size_t n) {
    if (!sFile || n == 0 || !sFile->seek(address)) {
        return 0;
    }
    return sFile->write(data, static_cast<uint32_t>(n));
}

// Writes 0xFF over [from, to) in writes of at most a block; the bytes written.
uint32_t fillErased(uint32_t from, uint32_t to) {
    uint32_t done = 0;
    for (uint32_t at = from; at < to; at += SF_BLOCK_SIZE) {
        const uint32_t n = (to - at < SF_BLOCK_SIZE) ? to - at : SF_BLOCK_SIZE;
        const size_t written = writeAt(at, ERASED.data(), n);
        done += static_cast<uint32_t>(written);
        if (written != n) {
            break;
        }
    }
    return done;
}

size_t program(const char* operation, uint32_t address, const void* data, size_t n) {
    if (data == nullptr && n != 0) {
        dbg_printf_h("SFLASH %s refused: no data", operation);
        return 0;
    }
    return inside(operation, address, n) ? writeAt(address, data, n) : 0;
}

} // namespace

int sf_init_serial_flash() {
    if (sFile) {
        return 0;
    }
    auto file = std::make_unique<File>(SF_FILE_NAME, FileOpenMode::ReadWrite);
    std::error_code ignored;
    if (!file->isOpened() && !std::filesystem::exists(SF_FILE_NAME, ignored)) {
        // "r+b" opens existing files only: create it, then open it again for reading and writing.
        File(SF_FILE_NAME, FileOpenMode::Write);
        file = std::make_unique<File>(SF_FILE_NAME, FileOpenMode::ReadWrite);
    }
    if (!file->isOpened()) {
        dbg_printf_h("SFLASH %s cannot be opened", SF_FILE_NAME);
        return -1;
    }
    // A new or short file is erased up to the chip's size, whatever the protection: the erased state of a
    // chip is all 0xFF.
    const uint32_t size = file->getSize();
    sFile = std::move(file);
    if (size < SF_SIZE && fillErased(size, SF_SIZE) != SF_SIZE - size) {
        dbg_printf_h("SFLASH %s cannot be padded to %u bytes", SF_FILE_NAME, SF_SIZE);
        sFile.reset();
        return -1;
    }
    return 0;
}

void sf_deinit_serial_flash() {
    sFile.reset();
}

int sf_protect_ctrl(int value) {
    ProtectFlag = (value != 1) ? 1 : 0;
    return ProtectFlag;
}

uint32_t sf_chip_erase() {
    OS_ASSERT_MSG(!ProtectFlag, "sf_chip_erase failed, flash protected");
    return fillErased(0, SF_SIZE);
}

uint32_t sf_sector_erase(uint32_t address) {
    OS_ASSERT_MSG(!ProtectFlag, "sf_chip_erase failed, flash protected");
    // Checked before rounding, so that an address past the chip cannot wrap onto a sector inside it.
    if (!inside("sf_sector_erase", address, 1)) {
        return 0;
    }
    const uint32_t start = address & ~(SF_SECTOR_SIZE - 1);
    return fillErased(start, start + SF_SECTOR_SIZE);
}

size_t sf_page_program(uint32_t address, const void* data, size_t n) {
    OS_ASSERT_MSG(!ProtectFlag, "sf_chip_erase failed, flash protected");
    return program("sf_page_program", address, data, n);
}

size_t sf_auto_program(uint32_t address, const void* data, size_t n) {
    OS_ASSERT_MSG(!ProtectFlag, "sf_chip_erase failed, flash protected");
    return program("sf_auto_program", address, data, n);
}

size_t sf_byte_read(uint32_t address, void* buffer, size_t n) {
    if (buffer == nullptr && n != 0) {
        dbg_printf_h("SFLASH sf_byte_read refused: no buffer");
        return 0;
    }
    if (!inside("sf_byte_read", address, n) || !sFile || n == 0 || !sFile->seek(address)) {
        return 0;
    }
    return sFile->read(buffer, static_cast<uint32_t>(n));
}

} // namespace tdx
