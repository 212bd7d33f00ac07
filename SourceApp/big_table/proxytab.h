// The value table: every mirrored value, keyed by (object id, value id). Values are owned here, not by the
// objects of the tree. The access functions take no lock; the application thread is their only caller.
//
// Result codes of the getters: 0 a valid value, -1 wrong value type, -2 no valid value, -3 no entry
// (pt_get_data returns the number of bytes copied instead of 0). Setters create a missing entry (-3 when the
// table is full, or for the wildcard ids OID_ALL and VID_ALL, with nothing written), return -1 for a value of
// the wrong kind, else 0.
#pragma once

#include "Libraries/base/limits.h"
#include "SourceApp/big_table/bt_types.h"

#include <functional>
#include <optional>
#include <string>

namespace tdx {

enum : int {
    PT_OK = 0,
    PT_ERR_TYPE = -1,
    PT_ERR_NO_VALUE = -2,
    PT_ERR_NO_ENTRY = -3,
};

// Length of a text or data value that holds no valid value ("withdrawn"); such a change is still published.
constexpr u32 PT_LENGTH_NO_VALUE = 0xFFFF;

// Where a change came from: written on this display (to be published) or stored from the network.
enum pt_origin : int {
    PT_ORIGIN_LOCAL = 0,
    PT_ORIGIN_NETWORK = 1,
};

// Called after every successful write; the object tree installs it.
using pt_change_hook = void (*)(u32 oid, u16 vid, u8 vtype, int origin);

// Called before a local write replaces a value (whose entry may not exist yet), while the entry still holds
// what it held: the network bridge keeps the control unit's value that the write overwrites.
using pt_local_write_hook = void (*)(u32 oid, u16 vid);
void pt_set_local_write_hook(pt_local_write_hook hook);

// A copy of one entry, as a PUBLISH is built from it.
struct pt_value {
    u32 oid;
    u16 vid;
    u8 vtype;
    bool valid;
    u32 timestamp;
    int value;  // integer types
    u16 length; // text and data
    u8 data[PT_MAX_DATA];
};

// Empties every slot. The change hook stays installed.
void proxytab_init();

void pt_set_change_hook(pt_change_hook hook);

int pt_get_int(int* out, u32 oid, u16 vid);
// The value when the entry holds a valid integer, none otherwise.
inline std::optional<int> pt_read_int(u32 oid, u16 vid) {
    int value = 0;
    return pt_get_int(&value, oid, vid) == PT_OK ? std::optional<int>(value) : std::nullopt;
}
int pt_set_int(u32 oid, u16 vid, int value, bt_vtype type);

int pt_get_data(void* buffer, u32 size, u32 oid, u16 vid);
int pt_set_data(u32 oid, u16 vid, const void* data, u32 length);

// Text values (type 15): the text ends at the value's length or at its first NUL byte.
int pt_get_text(std::string* out, u32 oid, u16 vid);
int pt_set_text(u32 oid, u16 vid, const std::string& text);

int pt_get_vtype(bt_vtype* out, u32 oid, u16 vid);
// 0 and the Unix time of the last write when the entry exists, else -3.
int pt_get_timestamp(u32* out, u32 oid, u16 vid);
// 0 and a copy of the entry, else -3.
int pt_get_value(pt_value* out, u32 oid, u16 vid);

// Stores a value received from the network: integers as `length` little-endian bytes of the type's width,
// text and data as up to PT_MAX_DATA bytes; a length of PT_LENGTH_NO_VALUE stores "no valid value". The type
// of an existing entry is replaced. Never re-published (the hook receives PT_ORIGIN_NETWORK). Returns 0, -1
// for a malformed value (unknown type, wrong width, oversize), -3 when the table is full.
int pt_store(u32 oid, u16 vid, bt_vtype vtype, const u8* bytes, u32 length, u32 unixTime, int origin);

// Frees every entry of one object; returns the number of entries freed.
int pt_remove_object(u32 oid);
// Frees one entry, which then reads as never written (-3); the change hook hears of it as a change from the
// network, so that what shows the value shows it missing. -3 when there is no such entry.
int pt_remove_value(u32 oid, u16 vid);
// Calls `visit` with the ids of every entry; it must not write or remove entries.
void pt_for_each(const std::function<void(u32 oid, u16 vid)>& visit);

// Number of entries in use.
int pt_count();

} // namespace tdx
