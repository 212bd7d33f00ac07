#include "SourceHost/config/config_store.h"

#include "Libraries/base/dbg.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tdx {

configuration_t Configuration = {};

namespace {

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

int failStore(const char* step, const char* temporary) {
    const int error = errno;
    dbg_printf_h("CONFIG store failed: %s %s (%s)", step, temporary, std::strerror(error));
    ::unlink(temporary);
    return -1;
}

// After a rename the new name lives in the folder's entry; without syncing the folder a power cut can
// bring back the old record, or no file at all.
bool syncFolder() {
    const int folder = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        return false;
    }
    const bool synced = ::fsync(folder) == 0;
    const int error = errno;
    ::close(folder);
    errno = error;
    return synced;
}

// A store's temporary file: "config.bin." and the six characters mkostemp chose.
bool isTemporaryName(const char* name) {
    const size_t prefix = std::strlen(CONFIG_FILE_NAME) + 1;
    if (std::strncmp(name, CONFIG_FILE_NAME, prefix - 1) != 0 || name[prefix - 1] != '.' ||
        std::strlen(name) != prefix + 6) {
        return false;
    }
    for (const char* c = name + prefix; *c != '\0'; ++c) {
        if (std::isalnum(static_cast<unsigned char>(*c)) == 0) {
            return false;
        }
    }
    return true;
}

// A store killed between creating its temporary file and the rename leaves the file behind. Those of earlier
// runs go; a young one may belong to another program storing right now and stays for a later start. One dated
// after now was written before the clock was set back, not by a store running now: it goes too.
void removeLeftovers() {
    constexpr time_t LEFTOVER_AGE_S = 10;
    DIR* folder = ::opendir(".");
    if (folder == nullptr) {
        return;
    }
    const time_t now = ::time(nullptr);
    while (const dirent* entry = ::readdir(folder)) {
        struct stat info {};
        if (!isTemporaryName(entry->d_name) || ::lstat(entry->d_name, &info) != 0 || !S_ISREG(info.st_mode)) {
            continue;
        }
        const time_t age = now - info.st_mtime;
        if (age >= 0 && age < LEFTOVER_AGE_S) {
            continue;
        }
        if (::unlink(entry->d_name) == 0) {
            dbg_printf_h("CONFIG removed %s, left by an interrupted store", entry->d_name);
        }
    }
    ::closedir(folder);
}

} // namespace

int config_platform_load(configuration_t* record) {
    if (record == nullptr) {
        return -1;
    }
    removeLeftovers();
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
    // Each store writes under a name of its own, so that two programs sharing the working folder never write
    // into each other's temporary file.
    char temporary[] = "config.bin.XXXXXX";
    const int descriptor = ::mkostemp(temporary, O_CLOEXEC);
    if (descriptor < 0) {
        dbg_printf_h("CONFIG store failed: cannot create %s (%s)", temporary, std::strerror(errno));
        return -1;
    }
    // Readable by all, as the record always was; a unique temporary file starts owner-only.
    const bool written =
        ::fchmod(descriptor, 0644) == 0 &&
        writeAll(descriptor, reinterpret_cast<const unsigned char*>(record), sizeof(*record));
    // The bytes must be on the disk before the name points at them, or a power cut could leave an empty file.
    const bool synced = written && ::fsync(descriptor) == 0;
    const int writeError = errno;
    if (::close(descriptor) != 0 && written && synced) {
        return failStore("closing", temporary);
    }
    if (!written || !synced) {
        errno = writeError;
        return failStore(written ? "syncing" : "writing", temporary);
    }
    if (::rename(temporary, CONFIG_FILE_NAME) != 0) {
        return failStore("renaming", temporary);
    }
    if (!syncFolder()) {
        dbg_printf_h("CONFIG stored, but the folder could not be synced (%s): a power cut may undo it",
                     std::strerror(errno));
        return -1;
    }
    return 0;
}

} // namespace tdx
