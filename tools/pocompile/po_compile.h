// Message catalogues: reads the .po text that translators edit and writes the .mo image that the display
// reads (MoFile). Build-time code: used by the resource generator and by tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tdx {

// One entry of a .po file. The header is the entry with an empty id and no context.
struct PoEntry {
    bool hasContext = false;
    std::string context;
    std::string id;
    std::string translation;
    bool fuzzy = false;
    int line = 0; // line of the entry's msgid, for messages
};

// The key a catalogue files an entry under: the id, or context, '\x04' and id.
std::string po_key(const PoEntry& entry);

// Parses the text of a .po file: comments, the "fuzzy" flag, msgctxt, msgid and msgstr with strings
// continued on following lines and C escapes. Obsolete entries ("#~") are comments. Returns 0 and the
// entries in file order, or -1 and error ("line N: reason") for a malformed file, a duplicate entry, plural
// forms (not supported) or a header that declares a charset other than UTF-8.
int po_parse(std::string_view text, std::vector<PoEntry>& entries, std::string& error);

// The .mo image (little-endian, revision 0, no hash table) of the entries a program may use: translated
// and not fuzzy, the header kept even when fuzzy. Keys are sorted by their bytes, as readers expect for a
// binary search.
std::vector<uint8_t> po_build_mo(const std::vector<PoEntry>& entries);

// Reads and compiles a .po file. Returns 0, or -1 and error naming the file.
int po_compile_file(const std::string& path, std::vector<uint8_t>& mo, std::string& error);

} // namespace tdx
