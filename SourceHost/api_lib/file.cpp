#include "SourceHost/api_lib/file.h"

#include "Libraries/base/dbg.h"

#include <cerrno>
#include <cstring>
#include <limits>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace tdx {

namespace {

const char* stdioMode(FileOpenMode::Enum mode) {
    switch (mode) {
        case FileOpenMode::Read:
            return "rb";
        case FileOpenMode::Write:
            return "wb";
        case FileOpenMode::ReadWrite:
            return "r+b";
        case FileOpenMode::Append:
            return "ab";
    }
    return nullptr;
}

} // namespace

File::File(const std::string& path, FileOpenMode::Enum mode)
    : mFileName(path) {
    const char* stdio = stdioMode(mode);
    if (stdio == nullptr) {
        dbg_printf_h("FILE %s: unknown open mode %d", path.c_str(), static_cast<int>(mode));
        return;
    }
    mFile = std::fopen(path.c_str(), stdio);
    // A missing file opened for reading is an ordinary answer (no log, no card); only other failures are
    // news.
    if (mFile == nullptr) {
        if (!(errno == ENOENT && (mode == FileOpenMode::Read || mode == FileOpenMode::ReadWrite))) {
            dbg_printf_h("FILE %s: cannot open (%s)", path.c_str(), std::strerror(errno));
        }
        return;
    }
    // stdio opens a folder for reading, and its size then reads as the largest one: a card holds files only.
    struct stat info {};
    if (fstat(fileno(mFile), &info) == 0 && S_ISDIR(info.st_mode)) {
        dbg_printf_h("FILE %s: cannot open (a folder)", path.c_str());
        std::fclose(mFile);
        mFile = nullptr;
        return;
    }
    // An appending writer must know how much of a write is in the file (a full card takes only part of it),
    // not only how much stdio took into its buffer.
    if (mode == FileOpenMode::Append) {
        std::setvbuf(mFile, nullptr, _IONBF, 0);
    }
}

File::~File() {
    if (mFile != nullptr && std::fclose(mFile) != 0) {
        dbg_printf_h("FILE %s: close failed (%s)", mFileName.c_str(), std::strerror(errno));
    }
}

void File::switchTo(Operation operation) {
    if (mLastOperation != Operation::None && mLastOperation != operation) {
        fseeko(mFile, 0, SEEK_CUR);
    }
    mLastOperation = operation;
}

uint32_t File::getSize() {
    if (mFile == nullptr) {
        return 0;
    }
    const off_t position = ftello(mFile);
    if (position < 0 || fseeko(mFile, 0, SEEK_END) != 0) {
        return 0;
    }
    const off_t end = ftello(mFile);
    fseeko(mFile, position, SEEK_SET);
    mLastOperation = Operation::None;
    if (end < 0) {
        return 0;
    }
    // The embedded code counts in 32 bits; a bigger file reads as the largest size it can express.
    return end > static_cast<off_t>(std::numeric_limits<uint32_t>::max())
               ? std::numeric_limits<uint32_t>::max()
               : static_cast<uint32_t>(end);
}

bool File::seek(uint32_t position) {
    if (mFile == nullptr) {
        return false;
    }
    mLastOperation = Operation::None;
    return fseeko(mFile, static_cast<off_t>(position), SEEK_SET) == 0;
}

uint32_t File::read(void* buffer, uint32_t size) {
    if (mFile == nullptr || buffer == nullptr || size == 0) {
        return 0;
    }
    switchTo(Operation::Read);
    return static_cast<uint32_t>(std::fread(buffer, 1, size, mFile));
}

bool File::truncate(uint32_t size) {
    if (mFile == nullptr || std::fflush(mFile) != 0) {
        return false;
    }
    mLastOperation = Operation::None;
    if (ftruncate(fileno(mFile), static_cast<off_t>(size)) != 0) {
        dbg_printf_h("FILE %s: cannot cut to %u bytes (%s)", mFileName.c_str(), static_cast<unsigned>(size),
                     std::strerror(errno));
        return false;
    }
    return true;
}

uint32_t File::write(const void* data, uint32_t size) {
    if (mFile == nullptr || data == nullptr || size == 0) {
        return 0;
    }
    switchTo(Operation::Write);
    const size_t written = std::fwrite(data, 1, size, mFile);
    if (written != size) {
        dbg_printf_h("FILE %s: wrote %u of %u bytes (%s)", mFileName.c_str(), static_cast<unsigned>(written),
                     static_cast<unsigned>(size), std::strerror(errno));
    }
    return static_cast<uint32_t>(written);
}

} // namespace tdx
