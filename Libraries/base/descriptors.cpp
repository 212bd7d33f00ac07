#include "Libraries/base/descriptors.h"

#include "Libraries/base/fmt.h"

namespace tdx {

std::string build_get_short_version(const sw_descr_t* descriptor) {
    if (descriptor == nullptr) {
        return {};
    }
    if (descriptor->build == 0) {
        return fmt("%.5s%02d", descriptor->sw_code, descriptor->version_major);
    }
    return fmt("%.5s%02db%d", descriptor->sw_code, descriptor->version_major, descriptor->build);
}

} // namespace tdx
