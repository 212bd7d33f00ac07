// Id list values: object ids, 4 bytes each, least significant byte first, one after the other with no count
// or terminator, at most 64 of them (256 bytes). A function's rooms, a room's components, the location's
// learn and delete lists have this form.
#pragma once

#include "Libraries/misc/List.h"
#include "SourceApp/big_table/bt_types.h"

#include <cstdint>

namespace tdx {

using OidList = List<unsigned int, 64u>;

constexpr unsigned OID_LIST_MAX_BYTES = OidList::capacity() * 4;

// Whether the id can name an object of a device: its device address (the low 24 bits) is neither 0 nor
// 0xFFFFFF, the network's "all" address, which the no-id marker 0xFFFFFFFF carries too.
constexpr bool oid_names_device(unsigned id) {
    const unsigned address = id & 0xFFFFFFu;
    return address != 0 && address != 0xFFFFFFu;
}

// Appends the id unless it is already there, the list is full or the id names no device; an id that names no
// device is traced, once over the program's run. False when the id was left out because it names no device.
bool oid_list_admit(OidList& list, unsigned id);

// The ids of `bytes` bytes: the remainder of an incomplete last id is dropped, a repeated id is kept once,
// an id that names no device is dropped, the bytes past the 64th id are not read; a count of 0 or less is an
// empty list.
OidList oid_list_decode(const uint8_t* bytes, int count);
// Writes the ids that name a device into out (room for OID_LIST_MAX_BYTES) and returns the number of bytes
// written.
unsigned oid_list_encode(const OidList& list, uint8_t* out);

// The list stored in the value table; empty when the value is missing, invalid or not a data value.
OidList oid_list_read(oid_t owner, vid_t vid);
// Stores the whole list (an empty list as a valid value of length 0); the value-table result.
int oid_list_write(oid_t owner, vid_t vid, const OidList& list);
// Stores the value without a valid value: the list is withdrawn.
int oid_list_withdraw(oid_t owner, vid_t vid);

// The same ids, in any order.
bool oid_list_same_members(const OidList& a, const OidList& b);

} // namespace tdx
