// What the installer's wizards share: the location's request values, id lists as the control unit keeps them
// (object ids of 4 bytes, least significant byte first, at most 64, no count), a device's children by their
// index list, and the label of a component in a list.
#pragma once

#include "SourceApp/big_table/bt_types.h"
#include "SourceApp/storage/ProxyStructure.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tdx {

class ProxyObject;

namespace installer {

constexpr vid_t VID_CONTROL_UNIT = 0x80DC;
constexpr vid_t VID_ROOM_COMPONENTS = 0x80AE;
constexpr vid_t VID_LEARN_LIST = 0x80AC;
constexpr vid_t VID_LEARN_SERIAL = 0x80AD;
constexpr vid_t VID_DELETE_LIST = 0x80E6;
constexpr vid_t VID_PROFILE = 0x80E8;
constexpr vid_t VID_REQUESTED_PROFILE = 0x80EE;
constexpr vid_t VID_OUTDOOR_SOURCE = 0x80EF;
constexpr vid_t VID_OBJECT_INDICES = 0x80B0;
constexpr vid_t VID_OUTPUT_USE = 0x80A0;
constexpr size_t MAX_IDS = 64;
constexpr uint32_t NO_ID = 0xFFFFFFFFu;
constexpr uint32_t ADDRESS_MASK = 0xFFFFFF;
constexpr unsigned short SERIAL_PREFIX = 1530;
// The colour of a failed request and of a wrong entry.
constexpr unsigned FAILURE_COLOUR = 0x312CD8;

// The ids of an id list value, at most 64; empty when it cannot be read.
std::vector<uint32_t> readIds(oid_t oid, vid_t vid);
// Each id that names a device once, in order, the first 64 distinct ones.
std::vector<uint32_t> distinctIds(const std::vector<uint32_t>& ids);
// Writes the ids (the caller keeps them distinct and at most 64); the result of pt_set_data.
int writeIds(oid_t oid, vid_t vid, const std::vector<uint32_t>& ids);
// The value without a valid value, as the control unit takes a withdrawn list.
void withdraw(oid_t oid, vid_t vid);

// The control unit's device object id as the location names it; NO_ID while unknown or naming no device.
uint32_t controlUnit();
// The objects a device holds, by its object index list, in list order; ids without an object are skipped.
std::vector<ProxyObject*> children(const ProxyObject& device);
// The object's name; empty when it cannot be read.
std::string nameOf(const ProxyObject& object);
// "<name><separator>1530-DD-DDDD-DDDD", "Not responding" for the name of an id without an object.
std::string componentLabel(uint32_t id, const char* separator);

} // namespace installer
} // namespace tdx
