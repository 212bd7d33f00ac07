// libFuzzer entry for the firmware package scanner and finder (built with clang only).
#include "update/fuzz/package_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tdx::test::packageFuzzOne(data, size);
    return 0;
}
