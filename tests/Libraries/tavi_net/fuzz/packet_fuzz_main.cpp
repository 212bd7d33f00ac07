// libFuzzer entry for the client's packet parser (built with clang only).
#include "Libraries/tavi_net/fuzz/packet_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tdx::test::packetFuzzOne(data, size);
    return 0;
}
