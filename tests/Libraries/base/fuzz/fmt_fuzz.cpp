// libFuzzer target for the printf engine (clang only). Build and run from the repository root:
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. \
//       tests/Libraries/base/fuzz/fmt_fuzz.cpp Libraries/base/fmt.cpp -o /tmp/fmt_fuzz
//   /tmp/fmt_fuzz -max_total_time=60 tests/Libraries/base/fuzz/fmt_corpus
// The corpus is replayed by the ordinary tests (fmt_fuzz_replay_test.cpp).
#include "tests/Libraries/base/fuzz/fmt_fuzz_input.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!tdx::fuzz::formatOnce(data, size)) {
        std::abort();
    }
    return 0;
}
