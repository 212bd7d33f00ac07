// The simulated control unit's installation: objects (type, subtype) and the values it is master of.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace tdx::sim {

constexpr uint32_t ALL_OBJECTS = 0xFFFFFFFF;
constexpr uint16_t ALL_VALUES = 0xFFFF;
constexpr uint8_t OBJECT_TYPE_OUTPUT = 5;
constexpr uint8_t OBJECT_TYPE_ROOM = 6;
// A room's outputs: one byte each, the output's index in sim_output_list().
constexpr uint16_t VID_ROOM_OUTPUTS = 0x808F;

// One value as it travels: the type code and the value field's bytes (1, 2 or 4 bytes little endian for
// numbers; the bytes of a text or data value). A text or data value without a valid value has valid = false.
struct SimValue {
    uint8_t type = 0;
    bool valid = true;
    uint32_t timestamp = 0; // network seconds since 2000
    std::vector<uint8_t> bytes;

    // Numbers of any type, sign-extended for the signed types.
    int64_t number() const;
    bool operator==(const SimValue&) const = default;
};

// A number of a numeric type; std::nullopt for text, data or an unknown type.
std::optional<SimValue> sim_number(uint8_t type, int64_t value);
// A text or data value of the bytes as given (one longer than a PUBLISH carries is refused when stored).
SimValue sim_text(uint8_t type, const std::vector<uint8_t>& bytes);

// PUBLISH payload of one value; parsing is the inverse (std::nullopt for a malformed payload).
std::vector<uint8_t> sim_encode_publish(uint32_t oid, uint16_t vid, const SimValue& value);
struct SimPublish {
    uint32_t oid = 0;
    uint16_t vid = 0;
    SimValue value;
};
std::optional<SimPublish> sim_decode_publish(const uint8_t* payload, size_t len);

struct SimObject {
    uint8_t type = 0;
    uint8_t subtype = 0;
};

class SimModel {
public:
    void setObject(uint32_t oid, uint8_t type, uint8_t subtype);
    // Removes the object and its values; false when there was none.
    bool removeObject(uint32_t oid);
    // Refuses (traced, false) a value longer than a PUBLISH carries: it would never reach the client.
    bool setValue(uint32_t oid, uint16_t vid, const SimValue& value);
    // Removes one value; false when there was none.
    bool removeValue(uint32_t oid, uint16_t vid);
    std::optional<SimValue> value(uint32_t oid, uint16_t vid) const;
    std::optional<SimObject> object(uint32_t oid) const;

    static bool matches(uint32_t oid, uint16_t vid, uint32_t oidFilter, uint16_t vidFilter) {
        return (oidFilter == ALL_OBJECTS || oidFilter == oid) &&
               (vidFilter == ALL_VALUES || vidFilter == vid);
    }
    void forEachObject(uint32_t oidFilter,
                       const std::function<void(uint32_t, const SimObject&)>& visit) const;
    void forEachValue(uint32_t oidFilter, uint16_t vidFilter,
                      const std::function<void(uint32_t, uint16_t, const SimValue&)>& visit) const;

private:
    std::map<uint32_t, SimObject> mObjects;
    std::map<std::pair<uint32_t, uint16_t>, SimValue> mValues;
};

// Every output in ascending object id, at most 64: the list the display numbers the rooms' outputs by.
std::vector<uint32_t> sim_output_list(const SimModel& model);

} // namespace tdx::sim
