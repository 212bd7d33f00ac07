#include "tests/SourceApp/storage/net/fuzz/stack_fuzz.h"
#include "tests/support/corpus_replay.h"

#include <gtest/gtest.h>

namespace tdx::test {
namespace {

TEST(StackFuzzCorpus, ConversationsKeepTheRepliesWellFormedAndTheTreeSound) {
    EXPECT_GE(replayCorpus("tests/SourceApp/storage/net/fuzz/corpus", stackFuzzOne, 40), 4u);
}

} // namespace
} // namespace tdx::test
