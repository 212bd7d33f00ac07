#include "SourceApp/application/OwnDevice.h"

#include "Libraries/base/os.h"
#include "SourceHost/api_lib/device_info.h"

namespace tdx {

uint32_t own_network_address() {
    OS_ASSERT(DI.hw != nullptr);
    return DI.hw->network_address;
}

} // namespace tdx
