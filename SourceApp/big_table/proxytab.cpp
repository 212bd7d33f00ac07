#include "SourceApp/big_table/proxytab.h"
#include "Libraries/base/bytes.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace tdx {
namespace {

// Open addressing with linear probing over an index twice the capacity, so that probe runs stay short; the
// entries themselves live in a fixed array and are recycled through a free list.
constexpr unsigned kIndexBits = 13;
constexpr unsigned kIndexSize = 1u << kIndexBits;
static_assert(kIndexSize >= 2 * PT_CAPACITY, "index must stay at most half full");
static_assert(PT_CAPACITY < 0xFFFF, "slot numbers are kept in 16 bits");

struct Entry {
    u32 oid = 0;
    u16 vid = 0;
    u8 vtype = 0;
    bool valid = false;
    u32 timestamp = 0;
    int value = 0;
    std::vector<u8> bytes;
};

Entry gEntries[PT_CAPACITY];
u16 gIndex[kIndexSize]; // slot + 1, 0 = empty bucket
u16 gFree[PT_CAPACITY]; // recycled slots
int gFreeCount = 0;
int gFresh = 0; // slots from gFresh on were never used since the last init
int gUsed = 0;
pt_change_hook gHook = nullptr;
pt_local_write_hook gLocalWriteHook = nullptr;

unsigned bucket_of(u32 oid, u16 vid) {
    const std::uint64_t key = (static_cast<std::uint64_t>(oid) << 16) | vid;
    return static_cast<unsigned>((key * 0x9E3779B97F4A7C15ull) >> (64 - kIndexBits));
}

// Bucket holding (oid, vid), or the empty bucket where it would go.
unsigned probe(u32 oid, u16 vid) {
    unsigned b = bucket_of(oid, vid);
    while (gIndex[b] != 0) {
        const Entry& e = gEntries[gIndex[b] - 1];
        if (e.oid == oid && e.vid == vid) {
            return b;
        }
        b = (b + 1) & (kIndexSize - 1);
    }
    return b;
}

Entry* find(u32 oid, u16 vid) {
    const unsigned b = probe(oid, vid);
    return gIndex[b] != 0 ? &gEntries[gIndex[b] - 1] : nullptr;
}

Entry* create(u32 oid, u16 vid, bt_vtype vtype) {
    // The wildcards of a subscription name no single value: an entry for one would be published to every
    // object (an empty output slot reads 0xFFFFFFFF).
    if (oid == OID_ALL || vid == VID_ALL) {
        dbg_printf_h("pt: %08X vid %04X names all objects or values, not stored", oid, vid);
        return nullptr;
    }
    int slot;
    if (gFreeCount > 0) {
        slot = gFree[--gFreeCount];
    } else if (gFresh < PT_CAPACITY) {
        slot = gFresh++;
    } else {
        dbg_printf_h("pt: table full, %06X:%02X vid %04X not stored", oid_address(oid), oid_index(oid), vid);
        return nullptr;
    }
    Entry& e = gEntries[slot];
    e.oid = oid;
    e.vid = vid;
    e.vtype = vtype;
    e.valid = false;
    e.timestamp = 0;
    e.value = 0;
    e.bytes.clear();
    gIndex[probe(oid, vid)] = static_cast<u16>(slot + 1);
    ++gUsed;
    return &e;
}

// Backward-shift deletion keeps every remaining key reachable from its home bucket without tombstones.
void erase_bucket(unsigned hole) {
    const int slot = gIndex[hole] - 1;
    gEntries[slot].bytes.clear();
    gFree[gFreeCount++] = static_cast<u16>(slot);
    --gUsed;
    gIndex[hole] = 0;
    unsigned b = (hole + 1) & (kIndexSize - 1);
    while (gIndex[b] != 0) {
        const Entry& e = gEntries[gIndex[b] - 1];
        const unsigned home = bucket_of(e.oid, e.vid);
        // Move the entry into the hole unless its home lies cyclically in (hole, b].
        const bool stays = hole < b ? (home > hole && home <= b) : (home > hole || home <= b);
        if (!stays) {
            gIndex[hole] = gIndex[b];
            gIndex[b] = 0;
            hole = b;
        }
        b = (b + 1) & (kIndexSize - 1);
    }
}

void before_local_write(u32 oid, u16 vid) {
    if (gLocalWriteHook != nullptr) {
        gLocalWriteHook(oid, vid);
    }
}

void notify(const Entry& e, int origin) {
    if (gHook != nullptr) {
        gHook(e.oid, e.vid, e.vtype, origin);
    }
}

u32 stamp_now() {
    return static_cast<u32>(os_time());
}

void trace_reject(const char* what, u32 oid, u16 vid) {
    dbg_printf_h("pt: %06X:%02X vid %04X: %s", oid_address(oid), oid_index(oid), vid, what);
}

// Integer value at its type's width equals the type's no-value marker.
bool is_marker(bt_vtype vtype, int value) {
    const unsigned width = bt_vtype_width(vtype);
    const u32 mask = width >= 4 ? 0xFFFFFFFFu : (1u << (8 * width)) - 1u;
    return (static_cast<u32>(value) & mask) == bt_vtype_marker(vtype);
}

int store_bytes(u32 oid, u16 vid, bt_vtype vtype, const void* data, u32 length, u32 timestamp, int origin,
                bool replaceType) {
    const bool withdraw = length == PT_LENGTH_NO_VALUE;
    if (!withdraw && length > PT_MAX_DATA) {
        trace_reject("value longer than the table keeps", oid, vid);
        return PT_ERR_TYPE;
    }
    if (!withdraw && length > 0 && data == nullptr) {
        trace_reject("no bytes given", oid, vid);
        return PT_ERR_TYPE;
    }
    Entry* e = find(oid, vid);
    if (e != nullptr && !replaceType && !BT_VTYPE_IS_BYTES(e->vtype)) {
        trace_reject("bytes written to an integer value", oid, vid);
        return PT_ERR_TYPE;
    }
    if (origin == PT_ORIGIN_LOCAL) {
        before_local_write(oid, vid);
    }
    if (e == nullptr && (e = create(oid, vid, vtype)) == nullptr) {
        return PT_ERR_NO_ENTRY;
    }
    if (replaceType) {
        e->vtype = vtype;
    }
    e->valid = !withdraw;
    e->value = 0;
    if (withdraw) {
        e->bytes.clear();
    } else {
        const u8* p = static_cast<const u8*>(data);
        e->bytes.assign(p, p + length);
    }
    e->timestamp = timestamp;
    notify(*e, origin);
    return PT_OK;
}

} // namespace

void proxytab_init() {
    std::fill(std::begin(gIndex), std::end(gIndex), u16{0});
    for (int i = 0; i < gFresh; ++i) {
        gEntries[i].bytes.clear();
    }
    gFreeCount = 0;
    gFresh = 0;
    gUsed = 0;
}

void pt_set_change_hook(pt_change_hook hook) {
    gHook = hook;
}

void pt_set_local_write_hook(pt_local_write_hook hook) {
    gLocalWriteHook = hook;
}

int pt_get_int(int* out, u32 oid, u16 vid) {
    const Entry* e = find(oid, vid);
    if (e == nullptr) {
        return PT_ERR_NO_ENTRY;
    }
    if (!BT_VTYPE_IS_INT(e->vtype)) {
        return PT_ERR_TYPE;
    }
    if (out == nullptr) {
        trace_reject("integer read without a destination", oid, vid);
        return PT_ERR_TYPE;
    }
    if (!e->valid) {
        *out = BT_VTYPE_IS_D(e->vtype) ? 0x7FFFFFFF : static_cast<int>(0xFFFFFFFFu);
        return PT_ERR_NO_VALUE;
    }
    *out = e->value;
    return is_marker(e->vtype, e->value) ? PT_ERR_NO_VALUE : PT_OK;
}

int pt_set_int(u32 oid, u16 vid, int value, bt_vtype type) {
    if (!BT_VTYPE_IS_INT(type)) {
        dbg_printf_h("pt: %06X:%02X vid %04X: type %u is not an integer type", oid_address(oid),
                     oid_index(oid), vid, unsigned{type});
        return PT_ERR_TYPE;
    }
    Entry* e = find(oid, vid);
    if (e != nullptr && !BT_VTYPE_IS_INT(e->vtype)) {
        trace_reject("integer written to a text or data value", oid, vid);
        return PT_ERR_TYPE;
    }
    before_local_write(oid, vid);
    if (e == nullptr && (e = create(oid, vid, type)) == nullptr) {
        return PT_ERR_NO_ENTRY;
    }
    // Another integer type replaces the entry's type: the control unit may publish a value wider than the
    // display writes it.
    e->vtype = type;
    e->value = bt_vtype_normalise(type, value);
    e->valid = true;
    e->timestamp = stamp_now();
    notify(*e, PT_ORIGIN_LOCAL);
    return PT_OK;
}

int pt_get_data(void* buffer, u32 size, u32 oid, u16 vid) {
    const Entry* e = find(oid, vid);
    if (e == nullptr) {
        return PT_ERR_NO_ENTRY;
    }
    if (!BT_VTYPE_IS_BYTES(e->vtype)) {
        return PT_ERR_TYPE;
    }
    if (!e->valid) {
        return PT_ERR_NO_VALUE;
    }
    if (buffer == nullptr && size > 0) {
        trace_reject("data read without a buffer", oid, vid);
        return PT_ERR_TYPE;
    }
    const u32 n = std::min<u32>(size, static_cast<u32>(e->bytes.size()));
    if (n > 0) {
        std::memcpy(buffer, e->bytes.data(), n);
    }
    return static_cast<int>(n);
}

int pt_set_data(u32 oid, u16 vid, const void* data, u32 length) {
    return store_bytes(oid, vid, BT_VTYPE_DATA, data, length, stamp_now(), PT_ORIGIN_LOCAL, false);
}

int pt_get_text(std::string* out, u32 oid, u16 vid) {
    const Entry* e = find(oid, vid);
    if (e == nullptr) {
        return PT_ERR_NO_ENTRY;
    }
    if (e->vtype != BT_VTYPE_TEXT || out == nullptr) {
        return PT_ERR_TYPE;
    }
    if (!e->valid) {
        return PT_ERR_NO_VALUE;
    }
    const auto end = std::find(e->bytes.begin(), e->bytes.end(), u8{0});
    out->assign(e->bytes.begin(), end);
    return PT_OK;
}

int pt_set_text(u32 oid, u16 vid, const std::string& text) {
    const Entry* e = find(oid, vid);
    if (e != nullptr && !BT_VTYPE_IS_BYTES(e->vtype)) {
        trace_reject("text written to an integer value", oid, vid);
        return PT_ERR_TYPE;
    }
    if (text.size() > PT_MAX_DATA) {
        trace_reject("text longer than the table keeps", oid, vid);
        return PT_ERR_TYPE;
    }
    return store_bytes(oid, vid, BT_VTYPE_TEXT, text.data(), static_cast<u32>(text.size()), stamp_now(),
                       PT_ORIGIN_LOCAL, true);
}

int pt_get_vtype(bt_vtype* out, u32 oid, u16 vid) {
    const Entry* e = find(oid, vid);
    if (e == nullptr) {
        return PT_ERR_NO_ENTRY;
    }
    if (out != nullptr) {
        *out = e->vtype;
    }
    return PT_OK;
}

int pt_get_timestamp(u32* out, u32 oid, u16 vid) {
    const Entry* e = find(oid, vid);
    if (e == nullptr) {
        return PT_ERR_NO_ENTRY;
    }
    if (out != nullptr) {
        *out = e->timestamp;
    }
    return PT_OK;
}

int pt_get_value(pt_value* out, u32 oid, u16 vid) {
    const Entry* e = find(oid, vid);
    if (e == nullptr) {
        return PT_ERR_NO_ENTRY;
    }
    if (out == nullptr) {
        return PT_ERR_TYPE;
    }
    out->oid = e->oid;
    out->vid = e->vid;
    out->vtype = e->vtype;
    out->valid = e->valid;
    out->timestamp = e->timestamp;
    out->value = e->value;
    out->length = static_cast<u16>(e->bytes.size());
    if (!e->bytes.empty()) {
        std::memcpy(out->data, e->bytes.data(), e->bytes.size());
    }
    return PT_OK;
}

int pt_store(u32 oid, u16 vid, bt_vtype vtype, const u8* bytes, u32 length, u32 unixTime, int origin) {
    if (BT_VTYPE_IS_BYTES(vtype)) {
        return store_bytes(oid, vid, vtype, bytes, length, unixTime, origin, true);
    }
    if (!BT_VTYPE_IS_INT(vtype)) {
        dbg_printf_h("pt: %06X:%02X vid %04X: unknown value type %u", oid_address(oid), oid_index(oid), vid,
                     unsigned{vtype});
        return PT_ERR_TYPE;
    }
    const unsigned width = bt_vtype_width(vtype);
    const bool withdraw = length == PT_LENGTH_NO_VALUE;
    if (!withdraw && (length != width || bytes == nullptr)) {
        dbg_printf_h("pt: %06X:%02X vid %04X: %u bytes for a value of type %u", oid_address(oid),
                     oid_index(oid), vid, unsigned{length}, unsigned{vtype});
        return PT_ERR_TYPE;
    }
    Entry* e = find(oid, vid);
    if (e == nullptr && (e = create(oid, vid, vtype)) == nullptr) {
        return PT_ERR_NO_ENTRY;
    }
    const u32 raw = withdraw ? 0 : static_cast<u32>(get_le(bytes, width));
    e->vtype = vtype;
    e->valid = !withdraw;
    e->value = withdraw ? 0 : bt_vtype_normalise(vtype, static_cast<int>(raw));
    e->bytes.clear();
    e->timestamp = unixTime;
    notify(*e, origin);
    return PT_OK;
}

int pt_remove_object(u32 oid) {
    int removed = 0;
    for (unsigned b = 0; b < kIndexSize;) {
        if (gIndex[b] != 0 && gEntries[gIndex[b] - 1].oid == oid) {
            // The shift may pull a later entry into this bucket: look at it again.
            erase_bucket(b);
            ++removed;
        } else {
            ++b;
        }
    }
    return removed;
}

int pt_remove_value(u32 oid, u16 vid) {
    const unsigned b = probe(oid, vid);
    if (gIndex[b] == 0) {
        return PT_ERR_NO_ENTRY;
    }
    const u8 vtype = gEntries[gIndex[b] - 1].vtype;
    erase_bucket(b);
    if (gHook != nullptr) {
        gHook(oid, vid, vtype, PT_ORIGIN_NETWORK);
    }
    return PT_OK;
}

void pt_for_each(const std::function<void(u32 oid, u16 vid)>& visit) {
    for (const u16 slot : gIndex) {
        if (slot != 0) {
            visit(gEntries[slot - 1].oid, gEntries[slot - 1].vid);
        }
    }
}

int pt_count() {
    return gUsed;
}

} // namespace tdx
