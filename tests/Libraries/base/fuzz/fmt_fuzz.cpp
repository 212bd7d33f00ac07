// libFuzzer target for the printf engine. Fuzz targets are built with clang and the sanitizers, which also give
// every library libFuzzer's coverage hooks. From the repository root:
//   cmake -S . -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DTDX_SANITIZE=ON
//   cmake --build build/fuzz --target fuzz_fmt
//   build/fuzz/tests/Libraries/base/fuzz_fmt -max_total_time=60 tests/Libraries/base/fuzz/fmt_corpus
// The same goes for fuzz_link_decoder, fuzz_tavi_net_packet, fuzz_update_package and fuzz_network_stack. Each
// corpus is replayed by the ordinary tests (tests/support/corpus_replay.h).
#include "tests/Libraries/base/fuzz/fmt_fuzz_input.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!tdx::fuzz::formatOnce(data, size)) {
        std::abort();
    }
    return 0;
}
