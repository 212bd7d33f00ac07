#include "SourceApp/storage/OidList.h"

#include "Libraries/base/bytes.h"
#include "Libraries/base/dbg.h"
#include "SourceApp/big_table/proxytab.h"

#include <atomic>
#include <cstdint>

namespace tdx {

namespace {

// One bit for each id that names no device: its top byte, and whether its address is 0 or 0xFFFFFF. A list
// that the control unit keeps is read again at every change, so each such id is traced only the first time.
std::atomic<uint64_t> gTraced[512 / 64];

// True when the id names a device; otherwise traces it if it is the first time.
bool names_device_or_trace(unsigned id) {
    if (oid_names_device(id)) {
        return true;
    }
    const unsigned bit = (id >> 24) * 2 + ((id & 0xFFFFFFu) != 0 ? 1 : 0);
    const uint64_t mask = uint64_t{1} << (bit % 64);
    if ((gTraced[bit / 64].fetch_or(mask) & mask) == 0) {
        dbg_printf_h("id list: %08X names no device, left out", id);
    }
    return false;
}

} // namespace

bool oid_list_admit(OidList& list, unsigned id) {
    if (!names_device_or_trace(id)) {
        return false;
    }
    list.add(id);
    return true;
}

OidList oid_list_decode(const uint8_t* bytes, int count) {
    OidList list;
    for (int i = 0; i + 3 < count && i + 3 < static_cast<int>(OID_LIST_MAX_BYTES); i += 4) {
        oid_list_admit(list, get_le32(bytes + i));
    }
    return list;
}

unsigned oid_list_encode(const OidList& list, uint8_t* out) {
    unsigned length = 0;
    for (const unsigned id : list) {
        if (!names_device_or_trace(id)) {
            continue;
        }
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
