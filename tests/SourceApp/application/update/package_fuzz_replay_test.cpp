#include "tests/support/corpus_replay.h"
#include "update/fuzz/package_fuzz.h"

#include <gtest/gtest.h>

namespace tdx::test {
namespace {

TEST(PackageFuzzCorpus, EveryPackageIsScannedToItsEndAndOnlyCheckedItemsAreOffered) {
    EXPECT_GE(replayCorpus("tests/SourceApp/application/update/fuzz/corpus", packageFuzzOne, 40), 6u);
}

} // namespace
} // namespace tdx::test
