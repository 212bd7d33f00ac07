#include "Libraries/base/circbuffer.h"

#include <cstring>

namespace tdx {

int circbuffer_init(circbuffer_t* buffer, void* storage, size_t count, size_t elementSize) {
    if (buffer == nullptr) {
        return -1;
    }
    const bool usable = storage != nullptr && count > 0 && elementSize > 0 && count <= SIZE_MAX / elementSize;
    *buffer = circbuffer_t{usable ? static_cast<uint8_t*>(storage) : nullptr, usable ? count : 0,
                           usable ? elementSize : 0, 0, 0};
    return usable ? 0 : -1;
}

int circbuffer_push_back(circbuffer_t* buffer, const void* element) {
    if (buffer == nullptr || element == nullptr || buffer->used >= buffer->count) {
        return -1;
    }
    size_t tail = buffer->head + buffer->used;
    if (tail >= buffer->count) {
        tail -= buffer->count;
    }
    std::memcpy(buffer->storage + tail * buffer->elementSize, element, buffer->elementSize);
    ++buffer->used;
    return 0;
}

int circbuffer_pop_front(circbuffer_t* buffer, void* element) {
    if (buffer == nullptr || element == nullptr || buffer->used == 0) {
        return -1;
    }
    std::memcpy(element, buffer->storage + buffer->head * buffer->elementSize, buffer->elementSize);
    if (++buffer->head == buffer->count) {
        buffer->head = 0;
    }
    --buffer->used;
    return 0;
}

} // namespace tdx
