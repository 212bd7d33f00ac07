// First-in first-out ring of fixed-size elements over caller storage; holds exactly `count` elements.
// Not synchronised: callers that share a ring between threads guard it themselves.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tdx {

struct circbuffer_t {
    uint8_t* storage;
    size_t count;       // capacity in elements
    size_t elementSize; // bytes per element
    size_t head;        // index of the oldest element
    size_t used;        // elements held
};

// Prepares an empty ring of count elements of elementSize bytes in storage (count * elementSize bytes).
// Returns 0, or -1 for a null buffer; a null storage, count 0 or element size 0 give a ring that holds
// nothing (every push -1) and also return -1.
int circbuffer_init(circbuffer_t* buffer, void* storage, size_t count, size_t elementSize);
// Appends a copy of element. Returns 0, or -1 when full (the element is dropped) or an argument is null.
int circbuffer_push_back(circbuffer_t* buffer, const void* element);
// Moves the oldest element into element. Returns 0, or -1 when empty or an argument is null.
int circbuffer_pop_front(circbuffer_t* buffer, void* element);

} // namespace tdx
