#include "SourceApp/storage/OidList.h"

#include "Libraries/base/bytes.h"
#include "SourceApp/big_table/proxytab.h"

namespace tdx {

OidList oid_list_decode(const uint8_t* bytes, int count) {
    OidList list;
    for (int i = 0; i + 3 < count && i + 3 < static_cast<int>(OID_LIST_MAX_BYTES); i += 4) {
        list.add(get_le32(bytes + i));
    }
    return list;
}

unsigned oid_list_encode(const OidList& list, uint8_t* out) {
    unsigned length = 0;
    for (const unsigned id : list) {
        put_le32(out + length, id);
        length += 4;
    }
    return length;
}

OidList oid_list_read(oid_t owner, vid_t vid) {
    uint8_t bytes[OID_LIST_MAX_BYTES];
    return oid_list_decode(bytes, pt_get_data(bytes, sizeof bytes, owner, vid));
}

int oid_list_write(oid_t owner, vid_t vid, const OidList& list) {
    uint8_t bytes[OID_LIST_MAX_BYTES];
    return pt_set_data(owner, vid, bytes, oid_list_encode(list, bytes));
}

int oid_list_withdraw(oid_t owner, vid_t vid) {
    return pt_set_data(owner, vid, nullptr, PT_LENGTH_NO_VALUE);
}

bool oid_list_same_members(const OidList& a, const OidList& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (const unsigned id : a) {
        if (!b.contains(id)) {
            return false;
        }
    }
    return true;
}

} // namespace tdx
