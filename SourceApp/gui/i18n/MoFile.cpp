#include "SourceApp/gui/i18n/MoFile.h"

#include "Libraries/base/dbg.h"

#include <cstring>

namespace tdx {

namespace {

constexpr uint32_t MO_MAGIC = 0x950412DE;
constexpr uint32_t MO_MAGIC_SWAPPED = 0xDE120495;
constexpr size_t MO_HEADER_SIZE = 28;
constexpr char CONTEXT_SEPARATOR = '\x04';

uint32_t readWord(const uint8_t* p, bool swapped) {
    uint32_t value;
    std::memcpy(&value, p, sizeof value);
    return swapped ? __builtin_bswap32(value) : value;
}

// strcmp of key against the virtual key context '\x04' id (or id alone), without building it.
int compareKey(const char* key, const char* context, const char* id) {
    auto next = [](const char*& k, unsigned char wanted) {
        unsigned char have = static_cast<unsigned char>(*k);
        if (have != wanted) {
            return have < wanted ? -1 : 1;
        }
        ++k;
        return 0;
    };
    if (context != nullptr) {
        for (const char* c = context; *c != '\0'; ++c) {
            if (int r = next(key, static_cast<unsigned char>(*c))) {
                return r;
            }
        }
        if (int r = next(key, CONTEXT_SEPARATOR)) {
            return r;
        }
    }
    for (const char* c = id; *c != '\0'; ++c) {
        if (int r = next(key, static_cast<unsigned char>(*c))) {
            return r;
        }
    }
    return *key == '\0' ? 0 : 1;
}

} // namespace

int MoFile::loadFromMemory(const void* data, size_t size) {
    clear();
    const auto* bytes = static_cast<const uint8_t*>(data);
    auto reject = [](const char* reason, uint64_t detail) {
        dbg_printf_h("i18n: catalogue rejected: %s (%u)", reason, detail);
        return -1;
    };
    if (bytes == nullptr) {
        return reject("no data", size);
    }
    if (size < MO_HEADER_SIZE) {
        return reject("shorter than its header", size);
    }
    const uint32_t magic = readWord(bytes, false);
    if (magic != MO_MAGIC && magic != MO_MAGIC_SWAPPED) {
        dbg_printf_h("i18n: catalogue rejected: bad magic %08X", magic);
        return -1;
    }
    const bool swapped = magic == MO_MAGIC_SWAPPED;
    const uint32_t revision = readWord(bytes + 4, swapped);
    if (revision != 0) {
        return reject("unknown revision", revision);
    }
    const uint64_t count = readWord(bytes + 8, swapped);
    const uint64_t keyTable = readWord(bytes + 12, swapped);
    const uint64_t valueTable = readWord(bytes + 16, swapped);
    if (keyTable + 8 * count > size || valueTable + 8 * count > size) {
        return reject("string tables past the end", count);
    }
    // Every string must lie inside the catalogue and end with its NUL there, so that lookups never read
    // past the end; keys are checked for order on the way.
    bool sorted = true;
    const char* previous = nullptr;
    for (uint64_t i = 0; i < count; ++i) {
        for (uint64_t table : {keyTable, valueTable}) {
            const uint64_t length = readWord(bytes + table + 8 * i, swapped);
            const uint64_t offset = readWord(bytes + table + 8 * i + 4, swapped);
            if (offset + length >= size) {
                return reject("string past the end", i);
            }
            if (bytes[offset + length] != 0) {
                return reject("string without its NUL", i);
            }
        }
        const char* key =
            reinterpret_cast<const char*>(bytes + readWord(bytes + keyTable + 8 * i + 4, swapped));
        if (previous != nullptr && std::strcmp(previous, key) >= 0) {
            sorted = false;
        }
        previous = key;
    }
    if (!sorted) {
        dbg_printf_h("i18n: catalogue keys are not sorted; searching %u entries one by one", count);
    }
    mData = bytes;
    mCount = static_cast<uint32_t>(count);
    mKeyTable = static_cast<uint32_t>(keyTable);
    mValueTable = static_cast<uint32_t>(valueTable);
    mSwapped = swapped;
    mSorted = sorted;
    return 0;
}

uint32_t MoFile::word(size_t offset) const {
    return readWord(mData + offset, mSwapped);
}

const char* MoFile::string(uint32_t table, uint32_t index) const {
    return reinterpret_cast<const char*>(mData + word(table + 8 * size_t{index} + 4));
}

const char* MoFile::find(const char* context, const char* id) const {
    // The empty id files the catalogue's header, which is no text for the screen.
    if (id == nullptr || mData == nullptr || (context == nullptr && *id == '\0')) {
        return nullptr;
    }
    if (mSorted) {
        uint32_t low = 0;
        uint32_t high = mCount;
        while (low < high) {
            const uint32_t middle = low + (high - low) / 2;
            const int order = compareKey(string(mKeyTable, middle), context, id);
            if (order == 0) {
                return string(mValueTable, middle);
            }
            if (order < 0) {
                low = middle + 1;
            } else {
                high = middle;
            }
        }
        return nullptr;
    }
    for (uint32_t i = 0; i < mCount; ++i) {
        if (compareKey(string(mKeyTable, i), context, id) == 0) {
            return string(mValueTable, i);
        }
    }
    return nullptr;
}

const char* MoFile::gettext(const char* key) const {
    if (key == nullptr) {
        return "";
    }
    const char* text = find(nullptr, key);
    return text != nullptr ? text : key;
}

const char* MoFile::pgettext(const char* context, const char* id) const {
    if (id == nullptr) {
        return "";
    }
    const char* text = find(context, id);
    return text != nullptr ? text : id;
}

} // namespace tdx
