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

// The header's layout of a catalogue.
struct Header {
    bool swapped; // written on a machine of the other byte order
    uint64_t count;
    uint64_t keyTable;
    uint64_t valueTable;
};

bool reject(const char* reason, uint64_t detail) {
    dbg_printf_h("i18n: catalogue rejected: %s (%u)", reason, detail);
    return false;
}

// Magic (either byte order), revision 0, and both string tables inside the size.
bool readHeader(const uint8_t* bytes, size_t size, Header& header) {
    if (bytes == nullptr) {
        return reject("no data", size);
    }
    if (size < MO_HEADER_SIZE) {
        return reject("shorter than its header", size);
    }
    const uint32_t magic = readWord(bytes, false);
    if (magic != MO_MAGIC && magic != MO_MAGIC_SWAPPED) {
        dbg_printf_h("i18n: catalogue rejected: bad magic %08X", magic);
        return false;
    }
    header.swapped = magic == MO_MAGIC_SWAPPED;
    const uint32_t revision = readWord(bytes + 4, header.swapped);
    if (revision != 0) {
        return reject("unknown revision", revision);
    }
    header.count = readWord(bytes + 8, header.swapped);
    header.keyTable = readWord(bytes + 12, header.swapped);
    header.valueTable = readWord(bytes + 16, header.swapped);
    if (header.keyTable + 8 * header.count > size || header.valueTable + 8 * header.count > size) {
        return reject("string tables past the end", header.count);
    }
    return true;
}

// Every string must lie inside the catalogue and end with its NUL there, so that lookups never read past
// the end.
bool stringsInside(const uint8_t* bytes, size_t size, const Header& header) {
    for (uint64_t i = 0; i < header.count; ++i) {
        for (uint64_t table : {header.keyTable, header.valueTable}) {
            const uint64_t length = readWord(bytes + table + 8 * i, header.swapped);
            const uint64_t offset = readWord(bytes + table + 8 * i + 4, header.swapped);
            if (offset + length >= size) {
                return reject("string past the end", i);
            }
            if (bytes[offset + length] != 0) {
                return reject("string without its NUL", i);
            }
        }
    }
    return true;
}

// Keys in strictly ascending byte order can be searched by bisection.
bool keysSorted(const uint8_t* bytes, const Header& header) {
    const char* previous = nullptr;
    for (uint64_t i = 0; i < header.count; ++i) {
        const char* key = reinterpret_cast<const char*>(
            bytes + readWord(bytes + header.keyTable + 8 * i + 4, header.swapped));
        if (previous != nullptr && std::strcmp(previous, key) >= 0) {
            return false;
        }
        previous = key;
    }
    return true;
}

} // namespace

int MoFile::loadFromMemory(const void* data, size_t size) {
    clear();
    const auto* bytes = static_cast<const uint8_t*>(data);
    Header header{};
    if (!readHeader(bytes, size, header) || !stringsInside(bytes, size, header)) {
        return -1;
    }
    const bool sorted = keysSorted(bytes, header);
    if (!sorted) {
        dbg_printf_h("i18n: catalogue keys are not sorted; searching %u entries one by one", header.count);
    }
    mData = bytes;
    mCount = static_cast<uint32_t>(header.count);
    mKeyTable = static_cast<uint32_t>(header.keyTable);
    mValueTable = static_cast<uint32_t>(header.valueTable);
    mSwapped = header.swapped;
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
