// The display's own identity, for the screens, which do not reach the platform's records themselves.
#pragma once

#include <cstdint>
#include <string>

namespace tdx {

// The network-address word of the display's production data: the low 24 bits its network address, the high
// byte 0, which makes it the object id of its own device object. A fatal assertion before os_init.
uint32_t own_network_address();

// The short version of the display's own software ("TD41003b7") for a numbered build, empty for a release
// build (build number 0) or before os_init.
std::string own_build_version();

} // namespace tdx
