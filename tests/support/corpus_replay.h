// Replays a fuzz corpus in the ordinary test run, so that every input that once mattered keeps passing: each
// file of the folder, and deterministic mutations of it (bytes changed, inserted and erased), through the
// same entry as the libFuzzer target, which tells whether the code under test kept its promises.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace tdx::test {

using FuzzEntry = std::function<bool(const uint8_t* data, size_t size)>;

// `folder` is below the source tree. Returns the number of corpus files replayed.
inline size_t replayCorpus(const std::string& folder, const FuzzEntry& one, int mutationsPerInput = 0) {
    const char* root = std::getenv("TDX_SOURCE_DIR");
    const std::filesystem::path dir = std::filesystem::path(root ? root : ".") / folder;
    EXPECT_TRUE(std::filesystem::is_directory(dir)) << dir;
    if (!std::filesystem::is_directory(dir)) {
        return 0;
    }
    size_t files = 0;
    std::mt19937 random(410);
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        std::ifstream file(entry.path(), std::ios::binary);
        const std::vector<uint8_t> input((std::istreambuf_iterator<char>(file)),
                                         std::istreambuf_iterator<char>());
        EXPECT_TRUE(one(input.data(), input.size())) << entry.path().filename();
        ++files;
        for (int i = 0; i < mutationsPerInput; ++i) {
            std::vector<uint8_t> mutated = input;
            for (int edits = 1 + static_cast<int>(random() % 4); edits > 0; --edits) {
                // Half of the edits hit the first bytes, where headers and lengths are.
                const size_t span = mutated.size() + 1;
                const size_t at = random() % (random() % 2 ? std::min<size_t>(span, 24) : span);
                switch (random() % 3) {
                    case 0:
                        if (at < mutated.size()) {
                            mutated[at] = static_cast<uint8_t>(random());
                        }
                        break;
                    case 1:
                        mutated.insert(mutated.begin() + static_cast<long>(at),
                                       static_cast<uint8_t>(random()));
                        break;
                    default:
                        if (at < mutated.size()) {
                            mutated.erase(mutated.begin() + static_cast<long>(at));
                        }
                        break;
                }
            }
            EXPECT_TRUE(one(mutated.data(), mutated.size())) << entry.path().filename() << " mutation " << i;
        }
    }
    return files;
}

} // namespace tdx::test
