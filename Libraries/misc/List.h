// A list of distinct values with fixed capacity and an 8-bit count, kept in the order of adding.
#pragma once

#include "Libraries/base/os.h"

#include <cstdint>

namespace tdx {

template <class T, unsigned int Capacity>
class List {
    static_assert(Capacity > 0 && Capacity <= 255, "the count is 8 bits");

public:
    // Appends value unless the list holds it already or is full; then nothing happens.
    void add(const T& value) {
        if (mCount < Capacity && !contains(value)) {
            mItems[mCount++] = value;
        }
    }

    bool contains(const T& value) const {
        for (uint8_t i = 0; i < mCount; ++i) {
            if (mItems[i] == value) {
                return true;
            }
        }
        return false;
    }

    void clear() { mCount = 0; }

    uint8_t size() const { return mCount; }
    bool isEmpty() const { return mCount == 0; }
    bool isFull() const { return mCount == Capacity; }
    static constexpr unsigned int capacity() { return Capacity; }

    // The value at index; an index past the count is a programming error.
    const T& operator[](unsigned int index) const {
        OS_ASSERT_MSG(index < mCount, "List index out of range");
        return mItems[index];
    }

    const T* begin() const { return mItems; }
    const T* end() const { return mItems + mCount; }

    // Same values in the same order.
    friend bool operator==(const List& a, const List& b) {
        if (a.mCount != b.mCount) {
            return false;
        }
        for (uint8_t i = 0; i < a.mCount; ++i) {
            if (!(a.mItems[i] == b.mItems[i])) {
                return false;
            }
        }
        return true;
    }

private:
    T mItems[Capacity]{};
    uint8_t mCount = 0;
};

} // namespace tdx
