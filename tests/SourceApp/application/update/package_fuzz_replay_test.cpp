#include "update/fuzz/package_fuzz.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

namespace tdx::test {
namespace {

// The fuzz corpus, and deterministic mutations of it, through the same entry as the libFuzzer target.
TEST(PackageFuzzCorpus, ReplaysWithoutFault) {
    const std::filesystem::path dir = std::filesystem::path(std::getenv("TDX_SOURCE_DIR")) /
                                      "tests/SourceApp/application/update/fuzz/corpus";
    std::vector<std::vector<uint8_t>> inputs;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::ifstream file(entry.path(), std::ios::binary);
        inputs.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    ASSERT_GE(inputs.size(), 6u);
    std::mt19937 random(410);
    for (const auto& input : inputs) {
        packageFuzzOne(input.data(), input.size());
        for (int i = 0; i < 40; ++i) {
            std::vector<uint8_t> mutated = input;
            // Damage where it matters most: the header bytes and lengths of the first items.
            const int edits = 1 + static_cast<int>(random() % 3);
            for (int e = 0; e < edits && !mutated.empty(); ++e) {
                const std::size_t at = random() % 2 ? random() % std::min<std::size_t>(mutated.size(), 24)
                                                    : random() % mutated.size();
                mutated[at] = static_cast<uint8_t>(random());
            }
            if (random() % 4 == 0) {
                mutated.resize(random() % (mutated.size() + 1));
            }
            packageFuzzOne(mutated.data(), mutated.size());
        }
    }
}

} // namespace
} // namespace tdx::test
