#include "SourceApp/application/OwnDevice.h"

#include "Libraries/base/os.h"
#include "SourceHost/api_lib/device_info.h"

namespace tdx {

uint32_t own_network_address() {
    OS_ASSERT(DI.hw != nullptr);
    return DI.hw->network_address;
}

std::string own_build_version() {
    return DI.sw != nullptr && DI.sw->build != 0 ? build_get_short_version(DI.sw) : std::string();
}

} // namespace tdx
