#include "tests/Libraries/base/fuzz/fmt_fuzz_input.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace tdx {
namespace {

namespace fs = std::filesystem;

// The corpus folder: from TDX_SOURCE_DIR (set by ctest), else found above the working directory.
fs::path corpusFolder() {
    const fs::path relative = "tests/Libraries/base/fuzz/fmt_corpus";
    if (const char* root = std::getenv("TDX_SOURCE_DIR")) {
        return fs::path(root) / relative;
    }
    for (fs::path dir = fs::current_path(); !dir.empty(); dir = dir.parent_path()) {
        if (fs::is_directory(dir / relative)) {
            return dir / relative;
        }
        if (dir == dir.parent_path()) {
            break;
        }
    }
    return relative;
}

TEST(FmtFuzzCorpus, EveryInputKeepsTheEnginesPromises) {
    const fs::path folder = corpusFolder();
    ASSERT_TRUE(fs::is_directory(folder)) << folder;
    size_t inputs = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        std::ifstream file(entry.path(), std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                         std::istreambuf_iterator<char>());
        EXPECT_TRUE(fuzz::formatOnce(bytes.data(), bytes.size())) << entry.path();
        ++inputs;
    }
    EXPECT_GE(inputs, 20u);
}

} // namespace
} // namespace tdx
