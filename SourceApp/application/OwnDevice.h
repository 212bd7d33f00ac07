// The display's own identity, for the screens, which do not reach the platform's records themselves.
#pragma once

#include <cstdint>

namespace tdx {

// The network-address word of the display's production data: the low 24 bits its network address, the high
// byte 0, which makes it the object id of its own device object. A fatal assertion before os_init.
uint32_t own_network_address();

} // namespace tdx
