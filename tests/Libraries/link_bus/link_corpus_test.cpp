// Replays the fuzz corpus in the ordinary test run, so that every input that once mattered keeps passing.
#include "Libraries/base/dbg.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace tdx {
namespace {

TEST(LinkFuzzCorpus, EveryCorpusInputIsHandledSafely) {
    const std::filesystem::path dir(LINK_CORPUS_DIR);
    ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
        EXPECT_EQ(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 0);
        ++files;
    }
    dbg_set_enabled(true);
    EXPECT_GE(files, 5);
}

} // namespace
} // namespace tdx
