#include "SourceApp/system/Fifo.h"

#include "Libraries/base/os.h"

namespace tdx {

void Fifo::init(int size) {
    // One byte is a fifo that is always full: its one slot is the one that stays free.
    OS_ASSERT_MSG(size >= 1, "a fifo needs at least 1 byte");
    mBuffer = std::make_unique<uint8_t[]>(static_cast<size_t>(size));
    mSize = static_cast<uint32_t>(size);
    clear();
}

bool Fifo::push(uint8_t b) {
    // A fifo that was never initialised has no room at all.
    if (mSize == 0 || next(mWrite) == mRead) {
        return false;
    }
    mBuffer[mWrite] = b;
    mWrite = next(mWrite);
    return true;
}

bool Fifo::pop(uint8_t* b) {
    if (empty()) {
        return false;
    }
    *b = mBuffer[mRead];
    mRead = next(mRead);
    return true;
}

bool Fifo::unpush(uint8_t* b) {
    if (empty()) {
        return false;
    }
    mWrite = (mWrite == 0 ? mSize : mWrite) - 1;
    *b = mBuffer[mWrite];
    return true;
}

} // namespace tdx
