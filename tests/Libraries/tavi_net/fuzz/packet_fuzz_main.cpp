// libFuzzer entry for the client's packet parser (built with clang only).
#include "Libraries/tavi_net/fuzz/packet_fuzz.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!tdx::test::packetFuzzOne(data, size)) {
        std::abort();
    }
    return 0;
}
