#include "tests/Libraries/link_bus/link_fuzz.h"
#include "tests/support/corpus_replay.h"

#include <gtest/gtest.h>

namespace tdx::test {
namespace {

TEST(LinkFuzzCorpus, EveryPacketDecodedFromTheCorpusFramesAgainToItself) {
    EXPECT_GE(replayCorpus("tests/Libraries/link_bus/corpus", linkFuzzOne, 20), 5u);
}

} // namespace
} // namespace tdx::test
