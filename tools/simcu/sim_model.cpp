#include "tools/simcu/sim_model.h"
#include "Libraries/base/bytes.h"
#include "Libraries/base/dbg.h"

#include "Libraries/link_bus/tnet_packet.h"
#include "Libraries/tavi_net/tnet.h"

#include <algorithm>
#include <iterator>

namespace tdx::sim {

namespace {

constexpr uint16_t NO_DATA = 0xFFFF;
constexpr uint16_t MAX_DATA = 256;

bool is_signed(uint8_t type) {
    return type == 9 || type == 10 || type == 11 || type == 17 || type == 18;
}

} // namespace

int64_t SimValue::number() const {
    uint64_t raw = get_le(bytes.data(), static_cast<unsigned>(std::min<size_t>(bytes.size(), 8)));
    const size_t bits = bytes.size() * 8;
    if (is_signed(type) && bits > 0 && bits < 64 && (raw >> (bits - 1)) & 1) {
        raw |= ~uint64_t{0} << bits;
    }
    return static_cast<int64_t>(raw);
}

std::optional<SimValue> sim_number(uint8_t type, int64_t value) {
    const int size = tnet_value_size(type);
    if (size <= 0) {
        return std::nullopt;
    }
    SimValue result;
    result.type = type;
    result.bytes.resize(static_cast<size_t>(size));
    put_le(result.bytes.data(), static_cast<uint64_t>(value), static_cast<unsigned>(size));
    return result;
}

SimValue sim_text(uint8_t type, const std::vector<uint8_t>& bytes) {
    SimValue result;
    result.type = type;
    result.bytes = bytes;
    return result;
}

std::vector<uint8_t> sim_encode_publish(uint32_t oid, uint16_t vid, const SimValue& value) {
    std::vector<uint8_t> out(TNET_PUBLISH_HEADER_SIZE);
    put_le32(out.data(), oid);
    put_le16(out.data() + TNET_PUB_OFS_VID, vid);
    out[TNET_PUB_OFS_VTYPE] = value.type;
    put_le32(out.data() + TNET_PUB_OFS_TIMESTAMP, value.timestamp);
    if (tnet_value_size(value.type) == 0) {
        const uint16_t count = value.valid ? static_cast<uint16_t>(value.bytes.size()) : NO_DATA;
        out.push_back(static_cast<uint8_t>(count));
        out.push_back(static_cast<uint8_t>(count >> 8));
        if (value.valid) {
            out.insert(out.end(), value.bytes.begin(), value.bytes.end());
        }
    } else {
        out.insert(out.end(), value.bytes.begin(), value.bytes.end());
    }
    return out;
}

std::optional<SimPublish> sim_decode_publish(const uint8_t* payload, size_t len) {
    if (len < TNET_PUBLISH_HEADER_SIZE) {
        return std::nullopt;
    }
    SimPublish result;
    result.oid = get_le32(payload);
    result.vid = get_le16(payload + TNET_PUB_OFS_VID);
    result.value.type = payload[TNET_PUB_OFS_VTYPE];
    result.value.timestamp = get_le32(payload + TNET_PUB_OFS_TIMESTAMP);
    const uint8_t* value = payload + TNET_PUB_OFS_VALUE;
    const size_t rest = len - TNET_PUBLISH_HEADER_SIZE;
    const int size = tnet_value_size(result.value.type);
    if (size > 0) {
        if (rest != static_cast<size_t>(size)) {
            return std::nullopt;
        }
        result.value.bytes.assign(value, value + size);
        return result;
    }
    if (size < 0 || rest < 2) {
        return std::nullopt;
    }
    const uint16_t count = get_le16(value);
    if (count == NO_DATA) {
        if (rest != 2) {
            return std::nullopt;
        }
        result.value.valid = false;
        return result;
    }
    if (count > MAX_DATA || rest != 2u + count) {
        return std::nullopt;
    }
    result.value.bytes.assign(value + 2, value + 2 + count);
    return result;
}

void SimModel::setObject(uint32_t oid, uint8_t type, uint8_t subtype) {
    mObjects[oid] = SimObject{type, subtype};
}

bool SimModel::removeObject(uint32_t oid) {
    const bool existed = mObjects.erase(oid) > 0;
    for (auto it = mValues.begin(); it != mValues.end();) {
        it = it->first.first == oid ? mValues.erase(it) : std::next(it);
    }
    return existed;
}

bool SimModel::removeValue(uint32_t oid, uint16_t vid) {
    return mValues.erase({oid, vid}) > 0;
}

bool SimModel::setValue(uint32_t oid, uint16_t vid, const SimValue& value) {
    if (value.bytes.size() > MAX_DATA) {
        dbg_printf_h("sim: %06X:%02X vid %04X: a value of %u bytes is longer than a PUBLISH carries (%u): "
                     "refused, %s",
                     oid & 0xFFFFFF, oid >> 24, vid, static_cast<unsigned>(value.bytes.size()),
                     unsigned{MAX_DATA},
                     mValues.count({oid, vid}) != 0 ? "the value stays" : "no value stored");
        return false;
    }
    mValues[{oid, vid}] = value;
    return true;
}

std::optional<SimValue> SimModel::value(uint32_t oid, uint16_t vid) const {
    auto it = mValues.find({oid, vid});
    return it == mValues.end() ? std::nullopt : std::optional<SimValue>(it->second);
}

std::optional<SimObject> SimModel::object(uint32_t oid) const {
    auto it = mObjects.find(oid);
    return it == mObjects.end() ? std::nullopt : std::optional<SimObject>(it->second);
}

void SimModel::forEachObject(uint32_t oidFilter,
                             const std::function<void(uint32_t, const SimObject&)>& visit) const {
    for (const auto& [oid, object] : mObjects) {
        if (matches(oid, 0, oidFilter, ALL_VALUES)) {
            visit(oid, object);
        }
    }
}

void SimModel::forEachValue(uint32_t oidFilter, uint16_t vidFilter,
                            const std::function<void(uint32_t, uint16_t, const SimValue&)>& visit) const {
    for (const auto& [key, value] : mValues) {
        if (matches(key.first, key.second, oidFilter, vidFilter)) {
            visit(key.first, key.second, value);
        }
    }
}

std::vector<uint32_t> sim_output_list(const SimModel& model) {
    constexpr size_t MAX_OUTPUTS = 64;
    std::vector<uint32_t> outputs;
    model.forEachObject(ALL_OBJECTS, [&](uint32_t oid, const SimObject& object) {
        if (object.type == OBJECT_TYPE_OUTPUT && outputs.size() < MAX_OUTPUTS) {
            outputs.push_back(oid);
        }
    });
    return outputs;
}

} // namespace tdx::sim
