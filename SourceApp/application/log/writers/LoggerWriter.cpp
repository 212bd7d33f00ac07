#include "SourceApp/application/log/writers/LoggerWriter.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/fmt.h"
#include "Libraries/base/os.h"
#include "SourceApp/application/App.h"
#include "SourceApp/system/SystemMgr.h"
#include "SourceHost/api_lib/file.h"
#include "SourceHost/api_lib/sdcard.h"

#include <algorithm>
#include <cstring>
#include <optional>

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

// Appends the bytes whole or not at all: what a full card took only in part is cut off again. The file's size
// before is `size`.
bool appendWhole(File& file, uint32_t size, const char* data, uint32_t length) {
    if (file.write(data, length) == length) {
        return true;
    }
    dbg_printf_h("log: %s: %u bytes do not fit, kept for later", file.getFileName(), length);
    file.truncate(size);
    return false;
}

// Where the file's last whole line ends: just past its last LF, 0 when it has none; nothing when the file of
// `size` bytes cannot be read.
std::optional<uint32_t> lastLineEnd(File& file, uint32_t size) {
    char chunk[BufferedFileLoggerWriter::READ_CHUNK];
    for (uint32_t end = size; end > 0;) {
        const uint32_t length = std::min<uint32_t>(end, sizeof chunk);
        const uint32_t start = end - length;
        if (!file.seek(start) || file.read(chunk, length) != length) {
            dbg_printf_h("log: %s cannot be read", file.getFileName());
            return std::nullopt;
        }
        for (uint32_t at = length; at > 0; --at) {
            if (chunk[at - 1] == '\n') {
                return start + at;
            }
        }
        end = start;
    }
    return 0;
}

// How much of the file is whole: up to the end of its last line, or its byte-order mark when no line ends
// in it (a torn mark is not whole).
std::optional<uint32_t> wholePart(File& file, uint32_t size) {
    const std::optional<uint32_t> end = lastLineEnd(file, size);
    if (!end || *end > 0) {
        return end;
    }
    char start[sizeof BOM] = {};
    const bool marked = size >= sizeof BOM && file.seek(0) &&
                        file.read(start, sizeof start) == sizeof start &&
                        std::memcmp(start, BOM, sizeof BOM) == 0;
    return marked ? static_cast<uint32_t>(sizeof BOM) : 0u;
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
    uint32_t size = file ? file->getSize() : 0;
    if (file && path != mWholePath && !cutTornLine(*file, size)) {
        file.reset();
    }
    if (file && size == 0) {
        if (!appendWhole(*file, 0, BOM, sizeof BOM)) {
            file.reset();
        }
        size = sizeof BOM;
    }
    if (file && mHeld > 0) {
        // A full card may take only the first lines: those stay, the rest waits here for the next flush.
        const uint32_t written = file->write(mBuffer.get(), mHeld);
        uint32_t whole = written;
        while (whole < mHeld && whole > 0 && mBuffer[whole - 1] != '\n') {
            --whole;
        }
        if (whole < written) {
            file->truncate(size + whole);
        }
        std::memmove(mBuffer.get(), mBuffer.get() + whole, mHeld - whole);
        mHeld -= whole;
        size += whole;
        if (mHeld > 0) {
            dbg_printf_h("log: %s: %u bytes do not fit, kept for later", path, mHeld);
            file.reset();
        }
    }
    if (length == 0 || (file && appendWhole(*file, size, entry, length))) {
        return;
    }
    // Not written: it waits with the others when there is room, else it is lost (and said so).
    if (mCapacity > 0 && length <= mCapacity - 1 - mHeld) {
        std::memcpy(mBuffer.get() + mHeld, entry, length);
        mHeld += length;
    } else {
        dbg_printf_h("log: %s: an entry of %u bytes dropped", path, length);
    }
}

bool BufferedFileLoggerWriter::cutTornLine(File& file, uint32_t& size) {
    std::optional<uint32_t> whole;
    {
        File reader(file.getFileName(), FileOpenMode::Read);
        whole = wholePart(reader, size);
    }
    if (!whole) {
        return false;
    }
    if (*whole < size) {
        if (!file.truncate(*whole)) {
            return false;
        }
        dbg_printf_h("log: %s: a torn line of %u bytes cut off", file.getFileName(), size - *whole);
        size = *whole;
    }
    // From here on the file ends with what this writer appended, whole.
    mWholePath = file.getFileName();
    return true;
}

bool BufferedFileLoggerWriter::isEmpty() const {
    if (mHeld > 0) {
        return false;
    }
    // A file with no whole line yet (a byte-order mark alone, or a line torn before its end) still wants the
    // header of a table log: the torn bytes are cut off before it.
    File file(currentPath(), FileOpenMode::Read);
    const uint32_t size = file.getSize();
    return size == 0 || lastLineEnd(file, size) == 0u;
}

} // namespace tdx
