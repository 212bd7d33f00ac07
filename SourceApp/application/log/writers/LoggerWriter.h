// Where log lines go: a writer collects them in a buffer and appends them to a text file on the memory card,
// asking its file-name object for the name each time, so that a log moves to a new file at midnight (daily
// names) or at the turn of the month (monthly names) by itself.
//
// A log file is UTF-8 that starts with a byte-order mark (written when the first bytes go into an empty or
// missing file); lines end with CR LF; files are only ever appended to. An append cut short (the power gone,
// the program killed) leaves part of a line at the end: the next writer of that file cuts it back to the last
// whole line first, so that no line is joined to a torn one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tdx {

class File;
class SystemMgr;

namespace Logging {

class FileName {
public:
    virtual ~FileName() = default;
    // The name of the file for the current local time, relative to the card folder.
    virtual std::string getFileName() const = 0;
};

// prefix + "_" + the date of the application's local time + "." + extension. The name is put together piece
// by piece: a prefix or extension is never read as a format.
class DatedFileName : public FileName {
public:
    std::string getFileName() const override;

protected:
    enum class Period { Day, Month };
    DatedFileName(const std::string& prefix, const std::string& extension, Period period);

private:
    // Kept from construction: a writer deleted while the program ends still finds the clock.
    const SystemMgr& mClock;
    std::string mPrefix;
    std::string mExtension;
    Period mPeriod;
};

// The date as YYYYMMDD.
class DailyFileName final : public DatedFileName {
public:
    DailyFileName(const std::string& prefix, const std::string& extension)
        : DatedFileName(prefix, extension, Period::Day) {}
};

// The date as YYYYMM.
class MonthlyFileName final : public DatedFileName {
public:
    MonthlyFileName(const std::string& prefix, const std::string& extension)
        : DatedFileName(prefix, extension, Period::Month) {}
};

} // namespace Logging

class LoggerWriter {
public:
    // Owns the name object; a null one is a fatal assertion.
    explicit LoggerWriter(Logging::FileName* filename);
    virtual ~LoggerWriter() = default;
    LoggerWriter(const LoggerWriter&) = delete;
    LoggerWriter& operator=(const LoggerWriter&) = delete;

    // text: length bytes without NUL.
    virtual void write(const char* data, uint32_t length) = 0;
    virtual void flush() = 0;
    // Nothing waits to be written and the current file is empty or missing.
    virtual bool isEmpty() const = 0;

protected:
    // The current file's path in the card folder.
    std::string currentPath() const;

private:
    std::unique_ptr<Logging::FileName> mFileName;
};

// Collects lines in a buffer of a fixed size and appends them in one go: when the next entry no longer fits,
// at flush() (every 5 s from the logger) and when the writer is deleted. An entry that meets a full buffer
// and a card that cannot be written is dropped; at a flush the buffer is kept for the next attempt.
class BufferedFileLoggerWriter final : public LoggerWriter {
public:
    // A torn tail is looked for from the file's end in pieces of this many bytes.
    static constexpr uint32_t READ_CHUNK = 128;

    // Capacity 0: every entry goes straight to the file.
    BufferedFileLoggerWriter(Logging::FileName* filename, uint32_t capacity);
    ~BufferedFileLoggerWriter() override;

    void write(const char* data, uint32_t length) override;
    void flush() override;
    bool isEmpty() const override;

private:
    // Appends the buffer's lines and then the entry, a line whole or not at all: what a missing or full card
    // does not take stays in the buffer for the next flush, an entry too while there is room (else it is
    // dropped, with a trace line).
    void append(const std::string& path, const char* entry, uint32_t length);
    // Cuts the file, opened for appending and of `size` bytes, back to its last whole line (or to its
    // byte-order mark) and sets `size` to what is left; false when it cannot be read or cut.
    bool cutTornLine(File& file, uint32_t& size);

    uint32_t mCapacity;
    std::unique_ptr<char[]> mBuffer;
    uint32_t mHeld = 0;
    // The file whose tail this writer has made whole: after that, it ends with this writer's own lines.
    std::string mWholePath;
};

} // namespace tdx
