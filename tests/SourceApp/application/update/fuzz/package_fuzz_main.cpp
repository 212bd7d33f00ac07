// libFuzzer entry for the firmware package scanner and finder (built with clang only).
#include "update/fuzz/package_fuzz.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!tdx::test::packageFuzzOne(data, size)) {
        std::abort();
    }
    return 0;
}
