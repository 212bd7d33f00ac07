#include "SourceHost/config/config_store.h"

#include "Libraries/base/dbg.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace tdx {

configuration_t Configuration = {};

namespace {

constexpr const char* TEMPORARY_NAME = "config.bin.tmp";

bool writeAll(int descriptor, const unsigned char* bytes, size_t length) {
    while (length > 0) {
        const ssize_t written = ::write(descriptor, bytes, length);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (written == 0) { // no progress: give up rather than spin
            errno = EIO;
            return false;
        }
        bytes += written;
        length -= static_cast<size_t>(written);
    }
    return true;
}

int failStore(const char* step) {
    const int error = errno;
    dbg_printf_h("CONFIG store failed: %s %s (%s)", step, TEMPORARY_NAME, std::strerror(error));
    ::unlink(TEMPORARY_NAME);
    return -1;
}

} // namespace

int config_platform_load(configuration_t* record) {
    if (record == nullptr) {
        return -1;
    }
    std::FILE* file = std::fopen(CONFIG_FILE_NAME, "rb");
    if (file == nullptr) {
        dbg_printf_h("CONFIG %s not loaded (%s)", CONFIG_FILE_NAME, std::strerror(errno));
        return -1;
    }
    // One byte more than the record tells a longer file from a complete one.
    unsigned char bytes[sizeof(configuration_t) + 1];
    const size_t count = std::fread(bytes, 1, sizeof bytes, file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        dbg_printf_h("CONFIG %s not loaded: read error", CONFIG_FILE_NAME);
        return -1;
    }
    const size_t used = count < sizeof(configuration_t) ? count : sizeof(configuration_t);
    if (count < sizeof(configuration_t)) {
        dbg_printf_h("CONFIG %s is short: %u of %u bytes", CONFIG_FILE_NAME, static_cast<unsigned>(count),
                     static_cast<unsigned>(sizeof(configuration_t)));
    } else if (count > sizeof(configuration_t)) {
        dbg_printf_h("CONFIG %s is longer than %u bytes: the rest is ignored", CONFIG_FILE_NAME,
                     static_cast<unsigned>(sizeof(configuration_t)));
    }
    std::memcpy(record, bytes, used);
    return static_cast<int>(used);
}

namespace {
config_store_hook sStoreHook = nullptr;
} // namespace

void config_platform_set_store_hook(config_store_hook hook) {
    sStoreHook = hook;
}

int config_platform_store(const configuration_t* record) {
    if (record == nullptr) {
        dbg_printf_h("CONFIG store failed: no record");
        return -1;
    }
    if (sStoreHook != nullptr) {
        return sStoreHook(record);
    }
    const int descriptor = ::open(TEMPORARY_NAME, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        // Nothing was created: keep an unrelated entry of that name (a folder, someone else's file) as it is.
        dbg_printf_h("CONFIG store failed: cannot create %s (%s)", TEMPORARY_NAME, std::strerror(errno));
        return -1;
    }
    const bool written =
        writeAll(descriptor, reinterpret_cast<const unsigned char*>(record), sizeof(*record));
    // The bytes must be on the disk before the name points at them, or a power cut could leave an empty file.
    const bool synced = written && ::fsync(descriptor) == 0;
    const int writeError = errno;
    if (::close(descriptor) != 0 && written && synced) {
        return failStore("closing");
    }
    if (!written || !synced) {
        errno = writeError;
        return failStore(written ? "syncing" : "writing");
    }
    if (::rename(TEMPORARY_NAME, CONFIG_FILE_NAME) != 0) {
        return failStore("renaming");
    }
    return 0;
}

} // namespace tdx
