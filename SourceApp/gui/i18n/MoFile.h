// A message catalogue in the .mo layout, read in place: the catalogue keeps a pointer to the caller's bytes
// (a resident resource), so every text it returns stays valid as long as those bytes do.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tdx {

class MoFile {
public:
    constexpr MoFile() = default;

    // Checks the whole catalogue before using it: magic (either byte order), revision 0, both tables and
    // every string inside the size given, every string NUL-terminated. Keys in strictly ascending byte
    // order are searched by bisection, others one by one. Returns 0, or -1 with a trace line naming the
    // fault; a rejected catalogue is empty (every lookup misses).
    int loadFromMemory(const void* data, size_t size);
    void clear() { *this = MoFile{}; }

    bool isLoaded() const { return mData != nullptr; }
    // Number of entries, the header included.
    uint32_t count() const { return mCount; }

    // The translation of id (in context, when context is not null), or nullptr when the catalogue has none.
    const char* find(const char* context, const char* id) const;
    // The translation of key, or key itself when there is none; "" for a null key.
    const char* gettext(const char* key) const;
    // As gettext, for the id in context.
    const char* pgettext(const char* context, const char* id) const;

private:
    uint32_t word(size_t offset) const;
    const char* string(uint32_t table, uint32_t index) const;

    const uint8_t* mData = nullptr;
    uint32_t mCount = 0;
    uint32_t mKeyTable = 0;
    uint32_t mValueTable = 0;
    bool mSwapped = false; // written on a machine of the other byte order
    bool mSorted = false;
};

} // namespace tdx
