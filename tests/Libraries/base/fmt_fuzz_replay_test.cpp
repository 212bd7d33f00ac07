#include "tests/Libraries/base/fuzz/fmt_fuzz_input.h"
#include "tests/support/corpus_replay.h"

#include <gtest/gtest.h>

namespace tdx::test {
namespace {

TEST(FmtFuzzCorpus, EveryInputKeepsTheEnginesPromises) {
    EXPECT_GE(replayCorpus("tests/Libraries/base/fuzz/fmt_corpus", fuzz::formatOnce), 20u);
}

} // namespace
} // namespace tdx::test
