// Installations of the simulated control unit, described in JSON:
//
//   { "address": "0x000316",                       the control unit's own address
//     "client": "0x010410",                         the display enrolled in it (optional): connected without
//                                                  a search, as the unit does after it restarted
//     "objects": [
//       { "oid": "0x01000316", "type": 6, "subtype": 0,
//         "outputs": ["0x03000316"],               rooms: their outputs, published as indices (0x808F)
//         "values": [
//           {"vid": "0x000C", "type": 18, "value": 2130},        numbers (decimal or "0x" text)
//           {"vid": "0x8090", "type": 15, "text": "Kitchen"},     text or data as UTF-8 bytes
//           {"vid": "0x80AE", "type": 16, "oids": ["0x000520"]},  list of 32-bit object ids
//           {"vid": "0x811A", "type": 16, "bytes": [0, 7]},       raw bytes
//           {"vid": "0x8043", "type": 16, "schedule": [7 x "0000..."]},  week schedule, one string per
//                                                  day (Monday first) of 24 hours or 96 quarter hours,
//                                                  each a period type 0..3
//           {"vid": "0x000D", "type": 18, "valid": false} ] } ] }  no valid value
//
// Like the real control unit, the simulator fills in what follows from the rest: every object's value-id
// list (0x809F), every device's object index list (0x80B0) and every room's output indices (0x808F, indices
// into the list of all outputs in ascending object id), unless the file gives them.
#pragma once

#include "tools/simcu/sim_model.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tdx::sim {

struct Installation {
    uint32_t address = 0x000316;
    std::optional<uint32_t> client;
    SimModel model;
};

// std::nullopt, with the reason in error, when the text is no usable installation.
std::optional<Installation> sim_parse_installation(const std::string& text, std::string* error);
std::optional<Installation> sim_load_installation(const std::string& path, std::string* error);

// The installation shipped with the simulator: one object of every kind the screens show (devices with
// thermostats and an external sensor, interface, input, outputs of every subtype, rooms, heating functions,
// hot water and its tank).
const char* sim_default_installation_path();

} // namespace tdx::sim
