#include "SourceApp/application/forms/installer/InstallerValues.h"

#include "Libraries/base/i18n.h"
#include "Libraries/misc/text.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/OidList.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/ProxyStructure.h"

#include <algorithm>

namespace tdx::installer {

namespace {
constexpr size_t INDEX_BYTES = 256;
} // namespace

std::vector<uint32_t> readIds(oid_t oid, vid_t vid) {
    const OidList list = oid_list_read(oid, vid);
    return {list.begin(), list.end()};
}

std::vector<uint32_t> distinctIds(const std::vector<uint32_t>& ids) {
    OidList kept;
    for (const uint32_t id : ids) {
        oid_list_admit(kept, id);
    }
    return {kept.begin(), kept.end()};
}

int writeIds(oid_t oid, vid_t vid, const std::vector<uint32_t>& ids) {
    OidList list;
    for (const uint32_t id : ids) {
        oid_list_admit(list, id);
    }
    return oid_list_write(oid, vid, list);
}

void withdraw(oid_t oid, vid_t vid) {
    oid_list_withdraw(oid, vid);
}

uint32_t controlUnit() {
    if (Structure.find(OID_LOCATION) == nullptr) {
        return NO_ID;
    }
    const auto id =
        static_cast<uint32_t>(pt_read_int(OID_LOCATION, VID_CONTROL_UNIT).value_or(static_cast<int>(NO_ID)));
    return oid_names_device(id) ? id : NO_ID;
}

std::vector<ProxyObject*> children(const ProxyObject& device) {
    uint8_t indices[INDEX_BYTES];
    const int length = pt_get_data(indices, sizeof indices, device.oid(), VID_OBJECT_INDICES);
    std::vector<ProxyObject*> found;
    for (int i = 0; i < length; ++i) {
        const uint32_t id = (static_cast<uint32_t>(indices[i]) << 24) | (device.oid() & ADDRESS_MASK);
        if (ProxyObject* child = Structure.find(id)) {
            found.push_back(child);
        }
    }
    return found;
}

std::string nameOf(const ProxyObject& object) {
    std::string name;
    object.getText(name, VID_NAME);
    return name;
}

std::string componentLabel(uint32_t id, const char* separator) {
    const ProxyObject* object = Structure.find(id);
    const std::string name = object != nullptr ? nameOf(*object) : std::string(gettext("Not responding"));
    return name + gettext(separator) + format_serial_number(SERIAL_PREFIX, id & ADDRESS_MASK);
}

} // namespace tdx::installer
