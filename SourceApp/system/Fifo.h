// A ring buffer of bytes. It holds at most size - 1 bytes: one slot stays free to tell full from empty.
#pragma once

#include <cstdint>
#include <memory>

namespace tdx {

class Fifo {
public:
    Fifo() = default;
    Fifo(const Fifo&) = delete;
    Fifo& operator=(const Fifo&) = delete;

    // Drops the contents and makes room for size - 1 bytes; a size below 1 is a fatal assertion (the fifo is
    // then left as it was).
    void init(int size);
    void clear() { mWrite = mRead = 0; }
    bool empty() const { return mWrite == mRead; }

    // False when full (nothing changes).
    bool push(uint8_t b);
    // The oldest byte; false when empty.
    bool pop(uint8_t* b);
    // Takes the newest byte back; false when empty.
    bool unpush(uint8_t* b);

private:
    uint32_t next(uint32_t position) const { return position + 1 == mSize ? 0 : position + 1; }

    std::unique_ptr<uint8_t[]> mBuffer;
    uint32_t mSize = 0;
    uint32_t mWrite = 0;
    uint32_t mRead = 0;
};

} // namespace tdx
