// The memory card of the desktop port is a folder: the one given with `--sdcard DIR`, else the one named by
// the environment variable TDX410_SDCARD, else "sdcard" in the working directory.
#pragma once

#include <string>
#include <vector>

namespace tdx {

void sdcard_init();
// Non-zero while a card is present; the desktop card is always in unless a test takes it out.
int sdcard_is_inserted();
// The card folder as it is used in paths ("sdcard" by default). An empty folder restores the default choice.
void sdcard_set_folder(const std::string& folder);
std::string sdcard_folder();
// Test hook: simulate taking the card out (false) and putting it back (true).
void sdcard_set_inserted(bool inserted);

void fsystem_init();

// Directory search on the card. The pattern is a file-name pattern ("*.fw") matched against the names in the
// card folder; a pattern with a directory part is rejected. Names are yielded sorted, as "folder/name".
class FileFind {
public:
    explicit FileFind(const std::string& pattern);
    // The next match; false when there is none (no card, no folder, no further match).
    bool find(std::string& name);

private:
    std::vector<std::string> mMatches;
    size_t mNext = 0;
};

} // namespace tdx
