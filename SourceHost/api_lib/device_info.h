// The display's own descriptors: production data, software descriptor and bootloader descriptor, reached
// through DI once os_init() has run.
#pragma once

#include "Libraries/base/descriptors.h"

#include <cstdint>

namespace tdx {

extern device_info_t DI;

// The display's network address when nothing else is said.
inline constexpr uint32_t DEFAULT_NETWORK_ADDRESS = 0x010410;

// Gives the display another network address (and serial number), so that several displays can share one
// network. os_init() takes it from the environment variable TDX410_ADDRESS (hexadecimal, "0x" optional) when
// that is set; this call changes it at any time after. Valid: 0x000001 .. 0xFFFFFE. Returns 0, or -1 for an
// invalid address (traced; the address stays as it was).
int os_set_network_address(uint32_t address);

} // namespace tdx
