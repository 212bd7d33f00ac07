#include "SourceHost/api_lib/resfile.h"

#include "Libraries/base/bytes.h"
#include "Libraries/base/crc16.h"
#include "Libraries/base/dbg.h"

#include <cstdio>
#include <cstring>

namespace tdx {

namespace {

int reject(const char* path, const char* reason) {
    dbg_printf_h("RESOURCES %s refused: %s", path, reason);
    return -1;
}

} // namespace

const uint8_t* resfile::data(size_t index, uint32_t* size) const {
    if (index >= entries.size() || entries[index].type == RESFILE_EMPTY) {
        if (size)
            *size = 0;
        return nullptr;
    }
    if (size)
        *size = entries[index].size;
    return bytes.data() + entries[index].offset;
}

uint16_t resfile_names_crc(const char* const* names, size_t count) {
    uint16_t crc;
    crc16_init(&crc);
    for (size_t i = 0; i < count; ++i) {
        if (i > 0)
            crc16_buffer(&crc, "\n", 1);
        if (names[i])
            crc16_buffer(&crc, names[i], std::strlen(names[i]));
    }
    return crc;
}

int resfile_parse(std::vector<uint8_t> bytes, uint16_t count, uint16_t names_crc, const char* path,
                  resfile* out) {
    if (out == nullptr)
        return -1;
    *out = resfile{};
    const char* name = path ? path : "(memory)";
    const size_t size = bytes.size();
    if (size < RESFILE_HEADER)
        return reject(name, "shorter than its header");
    const uint8_t* p = bytes.data();
    if (std::memcmp(p, RESFILE_MAGIC, sizeof RESFILE_MAGIC) != 0)
        return reject(name, "not a resources file");
    if (get_le16(p + 4) != RESFILE_VERSION)
        return reject(name, "unknown version");
    if (get_le16(p + 6) != count)
        return reject(name, "wrong number of entries");
    if (get_le16(p + 8) != names_crc)
        return reject(name, "made for another table of names");
    const size_t table_end = RESFILE_HEADER + size_t{count} * RESFILE_ENTRY;
    if (table_end > size)
        return reject(name, "entry table cut short");

    out->entries.resize(count);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* e = p + RESFILE_HEADER + i * RESFILE_ENTRY;
        resfile_entry entry{e[0], get_le32(e + 4), get_le32(e + 8)};
        if (entry.type > RESFILE_TRANSLATION) {
            dbg_printf_h("RESOURCES %s: entry %u has unknown type %u", name, static_cast<unsigned>(i + 1),
                         static_cast<unsigned>(entry.type));
            entry = resfile_entry{};
        } else if (entry.type != RESFILE_EMPTY &&
                   (entry.offset < table_end || entry.offset > size || entry.size > size - entry.offset)) {
            dbg_printf_h("RESOURCES %s: entry %u lies outside the file", name, static_cast<unsigned>(i + 1));
            entry = resfile_entry{};
        }
        out->entries[i] = entry;
    }
    out->path = name;
    out->bytes = std::move(bytes);
    return 0;
}

int resfile_load(const char* path, uint16_t count, uint16_t names_crc, resfile* out) {
    if (out == nullptr)
        return -1;
    *out = resfile{};
    if (path == nullptr)
        return reject("(no path)", "no file name");
    FILE* f = std::fopen(path, "rb");
    if (f == nullptr)
        return reject(path, "cannot be opened");
    std::vector<uint8_t> bytes;
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    const long length = ok ? std::ftell(f) : -1;
    ok = ok && length >= 0 && static_cast<unsigned long>(length) <= RESFILE_MAX_SIZE &&
         std::fseek(f, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(static_cast<size_t>(length));
        ok = std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
    }
    std::fclose(f);
    if (!ok)
        return reject(path, length > 0 && static_cast<unsigned long>(length) > RESFILE_MAX_SIZE
                                ? "too large"
                                : "cannot be read");
    return resfile_parse(std::move(bytes), count, names_crc, path, out);
}

std::vector<uint8_t> resfile_build(uint16_t names_crc, const std::vector<resfile_blob>& blobs) {
    const size_t count = blobs.size();
    std::vector<uint8_t> out(RESFILE_HEADER + count * RESFILE_ENTRY, 0);
    std::memcpy(out.data(), RESFILE_MAGIC, sizeof RESFILE_MAGIC);
    put_le16(&out[4], RESFILE_VERSION);
    put_le16(&out[6], static_cast<uint16_t>(count));
    put_le16(&out[8], names_crc);
    for (size_t i = 0; i < count; ++i) {
        const resfile_blob& blob = blobs[i];
        const size_t entry = RESFILE_HEADER + i * RESFILE_ENTRY;
        out.resize((out.size() + 3) & ~size_t{3}, 0);
        out[entry] = blob.type;
        if (blob.type == RESFILE_EMPTY)
            continue;
        put_le32(&out[entry + 4], static_cast<uint32_t>(out.size()));
        put_le32(&out[entry + 8], static_cast<uint32_t>(blob.bytes.size()));
        out.insert(out.end(), blob.bytes.begin(), blob.bytes.end());
    }
    return out;
}

} // namespace tdx
