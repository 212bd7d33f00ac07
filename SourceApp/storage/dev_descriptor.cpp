#include "SourceApp/storage/dev_descriptor.h"

#include "Libraries/base/dbg.h"

namespace tdx {
namespace {

const dev_descriptor kDescriptors[] = {
    {"HMU-316", "HM316", "HM316", 0, 255, 0, 255},
    {"TDX-410", "TD410", "TD410", 0, 255, 0, 255},
};

// strncmp over a name and length bytes that need not be terminated; never reads past the name's end.
bool name_equals(const char* name, const char* given, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (name[i] != given[i]) {
            return false;
        }
        if (name[i] == '\0') {
            return true;
        }
    }
    return true;
}

} // namespace

int dev_get_descriptor(const dev_descriptor** out, const char* hw, size_t hwLen, const char* sw, size_t swLen,
                       u8 hwVersion, u8 swVersion) {
    if (out == nullptr || (hw == nullptr && hwLen > 0) || (sw == nullptr && swLen > 0)) {
        dbg_printf_h("device descriptor: lookup without names or destination");
        return -1;
    }
    for (const dev_descriptor& d : kDescriptors) {
        if (name_equals(d.hwName, hw, hwLen) && name_equals(d.swName, sw, swLen) && hwVersion >= d.hwMin &&
            hwVersion <= d.hwMax && swVersion >= d.swMin && swVersion <= d.swMax) {
            *out = &d;
            return 0;
        }
    }
    return -1;
}

} // namespace tdx
