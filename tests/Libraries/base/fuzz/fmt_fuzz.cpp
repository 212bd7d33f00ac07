// libFuzzer target for the printf engine (clang only). Build and run from the repository root:
//   cmake -S . -B build-clang -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang
//   cmake --build build-clang --target fuzz_fmt
//   build-clang/tests/Libraries/base/fuzz_fmt -max_total_time=60 tests/Libraries/base/fuzz/fmt_corpus
// The corpus is replayed by the ordinary tests (fmt_fuzz_replay_test.cpp).
#include "tests/Libraries/base/fuzz/fmt_fuzz_input.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!tdx::fuzz::formatOnce(data, size)) {
        std::abort();
    }
    return 0;
}
