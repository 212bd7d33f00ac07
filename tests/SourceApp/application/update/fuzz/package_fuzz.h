// One fuzz input as a package on the card: the finder scans it for the display, verifies the data checksum
// of every item found and builds the wizard's rows. It must end within a bounded number of steps without a
// fault, whatever the bytes say.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tdx::test {

// False when the finder broke a promise.
bool packageFuzzOne(const uint8_t* data, size_t size);

} // namespace tdx::test
