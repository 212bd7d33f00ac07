#include "tools/simcu/installation.h"

#include "Libraries/tavi_net/tnet.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <vector>

#ifndef SIMCU_DEFAULT_INSTALLATION
#define SIMCU_DEFAULT_INSTALLATION "installation.json"
#endif

namespace tdx::sim {

namespace {

using nlohmann::json;

constexpr uint16_t VID_VALUE_LIST = 0x809F;
constexpr uint16_t VID_OBJECT_INDICES = 0x80B0;
constexpr uint8_t TYPE_DEVICE = 2;
constexpr uint8_t TYPE_DATA = 16;
constexpr size_t MAX_BYTES = 256;
constexpr size_t MAX_VALUE_IDS = 128;

// A mistake in the file, with where it is.
struct Invalid : std::runtime_error {
    using std::runtime_error::runtime_error;
};

int64_t integer(const json& node, const std::string& where) {
    if (node.is_number_integer()) {
        return node.get<int64_t>();
    }
    if (node.is_string()) {
        const std::string text = node.get<std::string>();
        size_t used = 0;
        try {
            const int64_t value = std::stoll(text, &used, 0);
            if (used == text.size()) {
                return value;
            }
        } catch (const std::exception&) {
        }
    }
    throw Invalid(where + ": " + node.dump() + " is no integer");
}

int64_t integer_in(const json& node, int64_t low, int64_t high, const std::string& where) {
    const int64_t value = integer(node, where);
    if (value < low || value > high) {
        throw Invalid(where + ": " + std::to_string(value) + " outside " + std::to_string(low) + ".." +
                      std::to_string(high));
    }
    return value;
}

const json& member(const json& node, const char* name, const std::string& where) {
    if (!node.is_object() || !node.contains(name)) {
        throw Invalid(where + ": \"" + name + "\" missing");
    }
    return node.at(name);
}

std::string hex(uint32_t id) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", id);
    return text;
}

void put_u32(std::vector<uint8_t>& bytes, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}

// A week schedule: two leading bytes, then 24 bytes a day, 2 bits a quarter hour (the first in bits 0-1).
std::vector<uint8_t> week_schedule(const json& days, const std::string& where) {
    if (!days.is_array() || days.size() != 7) {
        throw Invalid(where + ": a schedule has 7 days");
    }
    std::vector<uint8_t> bytes(2 + 7 * 24, 0);
    for (size_t d = 0; d < 7; ++d) {
        const std::string day = days[d].is_string() ? days[d].get<std::string>() : std::string();
        const size_t perHour = day.size() == 24 ? 1 : day.size() == 96 ? 4 : 0;
        if (perHour == 0 || day.find_first_not_of("0123") != std::string::npos) {
            throw Invalid(where + ": day " + std::to_string(d) + " needs 24 or 96 digits 0..3");
        }
        for (size_t q = 0; q < 96; ++q) {
            const uint8_t type = static_cast<uint8_t>(day[perHour == 1 ? q / 4 : q] - '0');
            bytes[2 + 24 * d + q / 4] |= static_cast<uint8_t>(type << (2 * (q % 4)));
        }
    }
    return bytes;
}

SimValue parse_value(const json& node, const std::string& where) {
    const uint8_t type =
        static_cast<uint8_t>(integer_in(member(node, "type", where), 9, 20, where + ".type"));
    const int size = tnet_value_size(type);
    if (size < 0) {
        throw Invalid(where + ": no value type " + std::to_string(type));
    }
    const bool isSigned = type == 9 || type == 10 || type == 11 || type == 17 || type == 18;
    const int64_t high = size > 0 ? (int64_t{1} << (8 * size - (isSigned ? 1 : 0))) - 1 : 0;
    const int64_t low = isSigned ? -high - 1 : 0;
    if (node.contains("valid") && node.at("valid").is_boolean() && !node.at("valid").get<bool>()) {
        if (size > 0) {
            return *sim_number(type, high); // the type's no-value marker
        }
        SimValue none = sim_text(type, {});
        none.valid = false;
        return none;
    }
    if (size > 0) {
        return *sim_number(type, integer_in(member(node, "value", where), low, high, where + ".value"));
    }
    std::vector<uint8_t> bytes;
    if (node.contains("text")) {
        const json& text = node.at("text");
        if (!text.is_string()) {
            throw Invalid(where + ": text must be a string");
        }
        const std::string s = text.get<std::string>();
        bytes.assign(s.begin(), s.end());
    } else if (node.contains("oids")) {
        for (const json& id : node.at("oids")) {
            put_u32(bytes, static_cast<uint32_t>(integer_in(id, 0, 0xFFFFFFFF, where + ".oids")));
        }
    } else if (node.contains("bytes")) {
        for (const json& b : node.at("bytes")) {
            bytes.push_back(static_cast<uint8_t>(integer_in(b, 0, 255, where + ".bytes")));
        }
    } else if (node.contains("schedule")) {
        bytes = week_schedule(node.at("schedule"), where + ".schedule");
    } else {
        throw Invalid(where + ": \"text\", \"oids\", \"bytes\" or \"schedule\" missing");
    }
    if (bytes.size() > MAX_BYTES) {
        throw Invalid(where + ": " + std::to_string(bytes.size()) + " bytes, at most 256");
    }
    return sim_text(type, bytes);
}

SimValue data_value(const std::vector<uint8_t>& bytes) {
    return sim_text(TYPE_DATA, bytes);
}

// What the control unit derives from the objects themselves.
void derive(SimModel& model, const std::map<uint32_t, std::vector<uint32_t>>& roomOutputs) {
    const std::vector<uint32_t> outputs = sim_output_list(model);
    std::map<uint32_t, std::vector<uint8_t>> indicesOfDevice;
    model.forEachObject(ALL_OBJECTS, [&](uint32_t oid, const SimObject&) {
        if ((oid >> 24) != 0) {
            indicesOfDevice[oid & 0xFFFFFF].push_back(static_cast<uint8_t>(oid >> 24));
        }
    });
    for (const auto& [room, list] : roomOutputs) {
        if (model.value(room, VID_ROOM_OUTPUTS)) {
            continue;
        }
        std::vector<uint8_t> indices;
        for (const uint32_t output : list) {
            const auto at = std::find(outputs.begin(), outputs.end(), output);
            if (at == outputs.end()) {
                // Dropping it would leave the room without that output and nobody told why.
                throw Invalid("room " + hex(room) + ": " + hex(output) +
                              " is none of the installation's first 64 outputs");
            }
            indices.push_back(static_cast<uint8_t>(at - outputs.begin()));
        }
        model.setValue(room, VID_ROOM_OUTPUTS, data_value(indices));
    }
    std::vector<uint32_t> devices;
    model.forEachObject(ALL_OBJECTS, [&](uint32_t oid, const SimObject& object) {
        if (object.type == TYPE_DEVICE && (oid >> 24) == 0) {
            devices.push_back(oid);
        }
    });
    for (const uint32_t device : devices) {
        if (!model.value(device, VID_OBJECT_INDICES)) {
            model.setValue(device, VID_OBJECT_INDICES, data_value(indicesOfDevice[device]));
        }
    }
    std::map<uint32_t, std::vector<uint8_t>> valueLists;
    model.forEachValue(ALL_OBJECTS, ALL_VALUES, [&](uint32_t oid, uint16_t vid, const SimValue&) {
        std::vector<uint8_t>& list = valueLists[oid];
        if (list.size() < 2 * MAX_VALUE_IDS) {
            list.push_back(static_cast<uint8_t>(vid));
            list.push_back(static_cast<uint8_t>(vid >> 8));
        }
    });
    for (const auto& [oid, list] : valueLists) {
        if (!model.value(oid, VID_VALUE_LIST) && model.object(oid)) {
            std::vector<uint8_t> withItself = list;
            if (withItself.size() < 2 * MAX_VALUE_IDS) {
                withItself.push_back(static_cast<uint8_t>(VID_VALUE_LIST));
                withItself.push_back(static_cast<uint8_t>(VID_VALUE_LIST >> 8));
            }
            model.setValue(oid, VID_VALUE_LIST, data_value(withItself));
        }
    }
}

} // namespace

std::optional<Installation> sim_parse_installation(const std::string& text, std::string* error) {
    try {
        const json root = json::parse(text);
        Installation installation;
        installation.address = static_cast<uint32_t>(
            integer_in(member(root, "address", "installation"), 1, 0xFFFFFE, "address"));
        if (root.contains("client")) {
            installation.client = static_cast<uint32_t>(integer_in(root.at("client"), 1, 0xFFFFFE, "client"));
        }
        const json& objects = member(root, "objects", "installation");
        if (!objects.is_array()) {
            throw Invalid("objects: must be a list");
        }
        std::map<uint32_t, std::vector<uint32_t>> roomOutputs;
        for (size_t i = 0; i < objects.size(); ++i) {
            const json& node = objects[i];
            const std::string where = "objects[" + std::to_string(i) + "]";
            const uint32_t oid =
                static_cast<uint32_t>(integer_in(member(node, "oid", where), 0, 0xFFFFFFFE, where));
            if (installation.model.object(oid)) {
                throw Invalid(where + ": object " + member(node, "oid", where).dump() + " given twice");
            }
            const auto type =
                static_cast<uint8_t>(integer_in(member(node, "type", where), 1, 255, where + ".type"));
            const auto subtype = static_cast<uint8_t>(
                node.contains("subtype") ? integer_in(node.at("subtype"), 0, 255, where) : 0);
            installation.model.setObject(oid, type, subtype);
            if (node.contains("outputs")) {
                if (type != OBJECT_TYPE_ROOM) {
                    throw Invalid(where + ": only rooms have outputs");
                }
                for (const json& output : node.at("outputs")) {
                    roomOutputs[oid].push_back(
                        static_cast<uint32_t>(integer_in(output, 0, 0xFFFFFFFF, where + ".outputs")));
                }
            }
            const json& values = member(node, "values", where);
            std::set<uint16_t> seen;
            for (size_t j = 0; j < values.size(); ++j) {
                const std::string at = where + ".values[" + std::to_string(j) + "]";
                const auto vid =
                    static_cast<uint16_t>(integer_in(member(values[j], "vid", at), 0, 0xFFFE, at));
                if (!seen.insert(vid).second) {
                    throw Invalid(at + ": value " + values[j].at("vid").dump() + " given twice");
                }
                installation.model.setValue(oid, vid, parse_value(values[j], at));
            }
        }
        derive(installation.model, roomOutputs);
        return installation;
    } catch (const json::exception& e) {
        if (error) {
            *error = e.what();
        }
    } catch (const Invalid& e) {
        if (error) {
            *error = e.what();
        }
    }
    return std::nullopt;
}

std::optional<Installation> sim_load_installation(const std::string& path, std::string* error) {
    std::ifstream file(path);
    if (!file) {
        if (error) {
            *error = path + ": cannot be read";
        }
        return std::nullopt;
    }
    std::stringstream text;
    text << file.rdbuf();
    std::string reason;
    auto installation = sim_parse_installation(text.str(), &reason);
    if (!installation && error) {
        *error = path + ": " + reason;
    }
    return installation;
}

const char* sim_default_installation_path() {
    return SIMCU_DEFAULT_INSTALLATION;
}

} // namespace tdx::sim
