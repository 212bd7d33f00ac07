#include "SourceHost/api_lib/sdcard.h"

#include "Libraries/base/dbg.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fnmatch.h>
#include <mutex>
#include <sys/stat.h>

namespace tdx {

namespace {

constexpr const char* DEFAULT_FOLDER = "sdcard";
constexpr const char* FOLDER_VARIABLE = "TDX410_SDCARD";

std::mutex sFolderLock;
std::string sFolder;
std::atomic<bool> sInserted{true};

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) {
        return name;
    }
    return folder.back() == '/' ? folder + name : folder + '/' + name;
}

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

void sdcard_set_folder(const std::string& folder) {
    std::lock_guard<std::mutex> lock(sFolderLock);
    sFolder = folder;
}

std::string sdcard_folder() {
    {
        std::lock_guard<std::mutex> lock(sFolderLock);
        if (!sFolder.empty()) {
            return sFolder;
        }
    }
    const char* variable = std::getenv(FOLDER_VARIABLE);
    return variable != nullptr && variable[0] != '\0' ? std::string(variable) : std::string(DEFAULT_FOLDER);
}

void sdcard_set_inserted(bool inserted) {
    sInserted.store(inserted);
}

int sdcard_is_inserted() {
    return sInserted.load() ? 1 : 0;
}

void sdcard_init() {
    const std::string folder = sdcard_folder();
    struct stat info {};
    if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        dbg_printf_h("SDCARD folder %s not found: no firmware packages", folder.c_str());
        return;
    }
    dbg_printf_h("SDCARD folder %s", folder.c_str());
}

// Files are plain host files: nothing to mount.
void fsystem_init() {}

FileFind::FileFind(const std::string& pattern) {
    if (!sdcard_is_inserted()) {
        return;
    }
    if (pattern.empty() || pattern.find('/') != std::string::npos) {
        dbg_printf_h("FILEFIND pattern '%s' rejected: a file-name pattern without folders is expected",
                     pattern.c_str());
        return;
    }
    const std::string folder = sdcard_folder();
    DIR* directory = opendir(folder.c_str());
    if (directory == nullptr) {
        dbg_printf_h("FILEFIND %s: cannot open the card folder (%s)", folder.c_str(), std::strerror(errno));
        return;
    }
    while (const dirent* entry = readdir(directory)) {
        // Names match regardless of case, as on a FAT card. FNM_PERIOD keeps hidden files out, such as the
        // "._name.fw" shadows other systems leave on cards.
        if (fnmatch(pattern.c_str(), entry->d_name, FNM_PERIOD | FNM_CASEFOLD) != 0) {
            continue;
        }
        std::string path = joinPath(folder, entry->d_name);
        if (isRegularFile(path)) {
            mMatches.push_back(std::move(path));
        }
    }
    closedir(directory);
    std::sort(mMatches.begin(), mMatches.end());
}

bool FileFind::find(std::string& name) {
    if (!sdcard_is_inserted() || mNext >= mMatches.size()) {
        return false;
    }
    name = mMatches[mNext++];
    return true;
}

} // namespace tdx
