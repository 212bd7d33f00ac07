// Files of the desktop port: a thin owner of a stdio stream with the byte-count results the embedded code
// expects (0 when nothing could be done, never an exception).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace tdx {

struct FileOpenMode {
    // A fixed type: a mode that came from elsewhere may hold any number, and the file refuses it.
    enum Enum : int {
        Read = 0,      // "rb": an existing file, reading only
        Write = 1,     // "wb": created or truncated
        ReadWrite = 2, // "r+b": an existing file, reading and writing
        Append = 3,    // "ab": created when missing, every write goes to the end at once (unbuffered)
    };
};

class File {
public:
    File(const std::string& path, FileOpenMode::Enum mode);
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool isOpened() const { return mFile != nullptr; }
    // Size in bytes; 0 when not open. The read/write position is left where it was.
    uint32_t getSize();
    // Absolute position; false when not open or the position cannot be set.
    bool seek(uint32_t position);
    // Bytes read: 0 at the end of the file or when not open.
    uint32_t read(void* buffer, uint32_t size);
    // Bytes written: less than size on a failure (disk full), 0 when not open. In Append mode the count is
    // what reached the file.
    uint32_t write(const void* data, uint32_t size);
    // Cuts the file to `size` bytes (what was written beyond is gone); false when not open or on a failure.
    bool truncate(uint32_t size);
    const std::string& getFileName() const { return mFileName; }

private:
    enum class Operation { None, Read, Write };
    // stdio needs a positioning call between a read and a write on an update stream.
    void switchTo(Operation operation);

    std::string mFileName;
    std::FILE* mFile = nullptr;
    Operation mLastOperation = Operation::None;
};

} // namespace tdx
