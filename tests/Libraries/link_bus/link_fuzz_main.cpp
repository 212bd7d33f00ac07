// libFuzzer entry for the frame decoder (built with clang only).
#include "tests/Libraries/link_bus/link_fuzz.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!tdx::test::linkFuzzOne(data, size)) {
        std::abort();
    }
    return 0;
}
