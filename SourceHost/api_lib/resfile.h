// The resources file: every font, image and catalogue of the application in one file, read whole at start-up
// and kept resident for the life of the process, so that pointers into it never dangle.
//
// Layout (little-endian):
//   0 "TDXR"   4 u16 version (1)   6 u16 entry count   8 u16 CRC-16 of the names joined by '\n'   10 u16 0
//   12 count x {u8 type (0 empty, 1 font, 2 image, 3 translation), u8[3] 0, u32 offset, u32 size}
//   then the blobs, each starting on a 4-byte boundary.
// This module checks the container; what is inside a blob is checked by its user.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tdx {

inline constexpr char RESFILE_MAGIC[4] = {'T', 'D', 'X', 'R'};
inline constexpr uint16_t RESFILE_VERSION = 1;
inline constexpr size_t RESFILE_HEADER = 12;
inline constexpr size_t RESFILE_ENTRY = 12;
// Far above any real file; a bigger one is refused before it is read.
inline constexpr size_t RESFILE_MAX_SIZE = 16u << 20;

enum resfile_type : uint8_t {
    RESFILE_EMPTY = 0,
    RESFILE_FONT = 1,
    RESFILE_IMAGE = 2,
    RESFILE_TRANSLATION = 3,
};

struct resfile_entry {
    uint8_t type = RESFILE_EMPTY; // RESFILE_EMPTY also for an entry that failed its checks
    uint32_t offset = 0;
    uint32_t size = 0;
};

struct resfile {
    std::string path;
    std::vector<uint8_t> bytes; // the whole file
    std::vector<resfile_entry> entries;

    // The blob of entry `index` (0-based), null for an empty entry or an index out of range.
    const uint8_t* data(size_t index, uint32_t* size = nullptr) const;
    uint8_t type(size_t index) const {
        return index < entries.size() ? entries[index].type : uint8_t{RESFILE_EMPTY};
    }
};

// Reads and checks a resources file made for a table of `count` names whose CRC is `names_crc`.
// 0: loaded; entries out of bounds or of unknown type are kept as empty entries, each with a trace line.
// -1: missing or unreadable file, or a bad header (magic, version, count, names CRC, entry table); traced.
int resfile_load(const char* path, uint16_t count, uint16_t names_crc, resfile* out);
// The same checks on bytes already in memory; `path` only names the source in traces.
int resfile_parse(std::vector<uint8_t> bytes, uint16_t count, uint16_t names_crc, const char* path,
                  resfile* out);

// The CRC that identifies a name table: CRC-16 of the names joined by '\n'.
uint16_t resfile_names_crc(const char* const* names, size_t count);

// Lays out a file from its blobs (type and bytes per entry): used by the build-time generator.
struct resfile_blob {
    uint8_t type = RESFILE_EMPTY;
    std::vector<uint8_t> bytes;
};
std::vector<uint8_t> resfile_build(uint16_t names_crc, const std::vector<resfile_blob>& blobs);

} // namespace tdx
