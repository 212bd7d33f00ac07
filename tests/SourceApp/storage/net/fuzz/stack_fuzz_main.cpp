// libFuzzer entry for the whole receiving stack (built with clang only).
#include "tests/SourceApp/storage/net/fuzz/stack_fuzz.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!tdx::test::stackFuzzOne(data, size)) {
        std::abort();
    }
    return 0;
}
