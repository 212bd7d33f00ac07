// One fuzz input through the frame decoder; false when a delivered packet broke the decoder's promises.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tdx::test {

bool linkFuzzOne(const uint8_t* data, size_t size);

} // namespace tdx::test
