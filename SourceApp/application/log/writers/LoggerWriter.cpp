#include "SourceApp/application/log/writers/LoggerWriter.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/fmt.h"
#include "Libraries/base/os.h"
#include "SourceApp/application/App.h"
#include "SourceApp/system/SystemMgr.h"
#include "SourceHost/api_lib/file.h"
#include "SourceHost/api_lib/sdcard.h"

#include <cstring>

namespace tdx {

namespace {

constexpr char BOM[] = {'\xEF', '\xBB', '\xBF'};

// Opens the file for appending; null (traced) when there is no card or the file cannot be opened.
std::unique_ptr<File> openForAppend(const std::string& path) {
    if (sdcard_is_inserted()) {
        auto file = std::make_unique<File>(path, FileOpenMode::Append);
        if (file->isOpened()) {
            return file;
        }
    }
    dbg_printf_h("log: %s cannot be written", path);
    return nullptr;
}

void writeAll(File& file, const char* data, uint32_t length) {
    if (file.write(data, length) != length) {
        dbg_printf_h("log: %s: only part of %u bytes written", file.getFileName(), length);
    }
}

} // namespace

namespace Logging {

DatedFileName::DatedFileName(const std::string& prefix, const std::string& extension, Period period)
    : mClock(*getApplication()->getSystemManager())
    , mPrefix(prefix)
    , mExtension(extension)
    , mPeriod(period) {}

std::string DatedFileName::getFileName() const {
    const Date now = mClock.getLocalTime();
    const std::string date = mPeriod == Period::Day
                                 ? fmt("_%d%02d%02d.", now.getYear(), now.getMonth() + 1, now.getDay())
                                 : fmt("_%d%02d.", now.getYear(), now.getMonth() + 1);
    return mPrefix + date + mExtension;
}

} // namespace Logging

LoggerWriter::LoggerWriter(Logging::FileName* filename)
    : mFileName(filename) {
    OS_ASSERT(filename);
}

std::string LoggerWriter::currentPath() const {
    return sdcard_folder() + "/" + mFileName->getFileName();
}

BufferedFileLoggerWriter::BufferedFileLoggerWriter(Logging::FileName* filename, uint32_t capacity)
    : LoggerWriter(filename)
    , mCapacity(capacity)
    , mBuffer(capacity > 0 ? std::make_unique<char[]>(capacity) : nullptr) {}

BufferedFileLoggerWriter::~BufferedFileLoggerWriter() {
    // A logger switched off, or the program ending, must not lose the last lines.
    flush();
}

void BufferedFileLoggerWriter::write(const char* data, uint32_t length) {
    // One byte of the buffer stays unused.
    if (mCapacity > 0 && length <= mCapacity - 1 - mHeld) {
        std::memcpy(mBuffer.get() + mHeld, data, length);
        mHeld += length;
        return;
    }
    append(currentPath(), data, length);
}

void BufferedFileLoggerWriter::flush() {
    // The file named now: lines buffered before midnight go into the new day's file.
    if (mHeld > 0) {
        append(currentPath(), nullptr, 0);
    }
}

void BufferedFileLoggerWriter::append(const std::string& path, const char* entry, uint32_t length) {
    std::unique_ptr<File> file = openForAppend(path);
    if (!file) {
        return;
    }
    if (file->getSize() == 0) {
        writeAll(*file, BOM, sizeof BOM);
    }
    if (mHeld > 0) {
        writeAll(*file, mBuffer.get(), mHeld);
        mHeld = 0;
    }
    if (length > 0) {
        writeAll(*file, entry, length);
    }
}

bool BufferedFileLoggerWriter::isEmpty() const {
    if (mHeld > 0) {
        return false;
    }
    File file(currentPath(), FileOpenMode::Read);
    return file.getSize() == 0;
}

} // namespace tdx
