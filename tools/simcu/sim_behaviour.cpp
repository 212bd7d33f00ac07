#include "tools/simcu/sim_behaviour.h"

#include "Libraries/base/bytes.h"
#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "Libraries/base/timestamp.h"
#include "Libraries/link_bus/tnet_packet.h"
#include "Libraries/tavi_net/tnet.h"

#include <algorithm>

namespace tdx::sim {

namespace {

constexpr uint32_t LOCATION = 0xFEFFFFFE;
constexpr uint8_t TYPE_ROOM = 6;
constexpr uint8_t TYPE_TANK = 11;
constexpr uint8_t TYPE_DHW = 8;
constexpr uint8_t TYPE_ITC = 7;
constexpr uint8_t TYPE_HCC = 9;
constexpr uint8_t REFERENCE = 14;
constexpr uint8_t DATA = 16;
constexpr uint32_t NO_FUNCTION = 0xFFFFFFFF;
constexpr uint8_t TYPE_OUTPUT = 5;
constexpr uint8_t U8 = 12;
constexpr uint8_t U32 = 14;
constexpr uint8_t TEMPERATURE = 18;
constexpr int FULLY_OPEN = 10000;

// Room values.
constexpr uint16_t AIR = 0x000C;
constexpr uint16_t FLOOR = 0x000D;
constexpr uint16_t STATE = 0x001B;
constexpr uint16_t DESIRED = 0x001D;
constexpr uint16_t MODE = 0x8004;
constexpr uint16_t OVERRIDE = 0x8005;
constexpr uint16_t OVERRIDE_END = 0x8006;
constexpr uint16_t SCHEDULE = 0x8043;
constexpr uint16_t OUTPUTS = 0x808F;
constexpr uint16_t OUTPUT_VALUE = 0x004C;
constexpr uint16_t ASSOCIATED = 0x80DE;
constexpr uint16_t SERVING_FUNCTION = 0x810C;
// Room modes and overrides.
constexpr int64_t MODE_SCHEDULE = 0;
constexpr int64_t MODE_ECO = 2;
constexpr int64_t MODE_COMFORT = 3;
constexpr int64_t MODE_EXTRA_COMFORT = 4;
constexpr int64_t OVERRIDE_NONE = 0;
constexpr int64_t OVERRIDE_TEMPORARY = 1;
constexpr int64_t OVERRIDE_SCHEDULE = 3;
// Room states.
constexpr int STATE_IDLE = 0;
constexpr int STATE_HEATING = 2;
constexpr int STATE_COOLING = 3;
// Function values.
constexpr uint16_t ROOM_LIST = 0x80B8;
// An output under manual control: the display asks for a value, the output takes it.
constexpr uint16_t OUTPUT_REQUEST = 0x80F0;
// Location values.
constexpr uint16_t OUTDOOR = 0x0036;
constexpr uint16_t LOCAL_OFFSET = 0x002E;
constexpr uint16_t SEASON = 0x803D; // 1 summer: the rooms cool
constexpr uint16_t VACATION = 0x8085;
constexpr uint16_t ALLOW_VACATION = 0x8084; // a room's
constexpr uint16_t STANDBY = 0x8087;
constexpr uint16_t CONTROL_UNIT = 0x80DC;
constexpr uint16_t OUTDOOR_SOURCE = 0x80EF;
// Hot water.
constexpr uint16_t DHW_DESIRED = 0x0031;
constexpr uint16_t DHW_SET = 0x8094;
constexpr uint16_t TANK_STATE = 0x0060;
constexpr uint16_t TANK_TEMP = 0x0061;
constexpr uint16_t TANK_SET = 0x0062;
constexpr uint16_t TANK_COMFORT = 0x8115;
constexpr uint16_t TANK_STANDBY = 0x8116;
constexpr uint16_t TANK_VACATION = 0x8117;
constexpr uint16_t TANK_ALLOW_VACATION = 0x808D;
constexpr uint16_t TANK_ALLOW_STANDBY = 0x8113;
constexpr int TANK_IDLE = 0;
constexpr int TANK_HEATING = 1;
// What an unheated tank loses its heat to.
constexpr int TANK_SURROUNDINGS = 2000;

// A room's temperature settings of one season.
struct Setpoints {
    uint16_t manual;
    uint16_t eco;
    uint16_t comfort;
    uint16_t extraComfort;
    uint16_t temporary;
    uint16_t vacation;
    uint16_t adjusted;
    uint16_t standby;
};
constexpr Setpoints HEATING{0x801A, 0x801B, 0x801C, 0x801D, 0x801E, 0x801F, 0x8020, 0x8021};
constexpr Setpoints COOLING{0x802D, 0x802E, 0x802F, 0x8030, 0x8031, 0x8032, 0x8033, 0x8082};

// The preset a fixed mode starts from; 0 for a mode without one (manual, hotel).
uint16_t preset_of(const Setpoints& set, int64_t mode) {
    switch (mode) {
        case MODE_ECO:
            return set.eco;
        case MODE_COMFORT:
            return set.comfort;
        case MODE_EXTRA_COMFORT:
            return set.extraComfort;
        default:
            return 0;
    }
}

int step_toward(int64_t from, int64_t to, int step) {
    return static_cast<int>(from + std::clamp<int64_t>(to - from, -step, step));
}

std::vector<uint32_t> ids_of(const std::optional<SimValue>& value) {
    std::vector<uint32_t> ids;
    if (value && value->valid) {
        for (size_t i = 0; i + 3 < value->bytes.size(); i += 4) {
            ids.push_back(get_le32(value->bytes.data() + i));
        }
    }
    return ids;
}

} // namespace

SimBehaviour::SimBehaviour(SimControlUnit& unit, uint32_t periodMs)
    : mUnit(unit)
    , mPeriodMs(periodMs)
    , mNextLife(timer() + periodMs)
    , mClockBase(timestamp_to_network(static_cast<time_t>(os_time())))
    , mClockAt(timer()) {}

uint32_t SimBehaviour::networkTime() const {
    return mClockBase + static_cast<uint32_t>((timer() - mClockAt) / 1000);
}

void SimBehaviour::step() {
    const bool inSession = mUnit.phase() == SimControlUnit::Phase::Session;
    if (inSession && !mInSession) {
        sendClock();
    }
    mInSession = inSession;
    if (timer() >= mNextLife) {
        mNextLife += mPeriodMs;
        live();
    }
}

void SimBehaviour::sendClock() {
    std::vector<uint8_t> payload(TNET_SYNC_TIME_SIZE);
    put_le32(payload.data(), networkTime());
    mUnit.send(TNET_CMD_SYNC_TIME, payload);
}

void SimBehaviour::received(uint8_t cmd, const std::vector<uint8_t>& payload) {
    if (cmd == TNET_CMD_SYNC_TIME && payload.size() == TNET_SYNC_TIME_SIZE) {
        mClockBase = get_le32(payload.data());
        mClockAt = timer();
        dbg_printf_h("sim: clock set to %u by the display", mClockBase);
        return;
    }
    if (cmd != TNET_CMD_PUBLISH || payload.size() < TNET_PUBLISH_HEADER_SIZE) {
        return;
    }
    const uint32_t oid = get_le32(payload.data());
    const auto object = mUnit.model().object(oid);
    if (!object) {
        return;
    }
    const uint16_t vid = get_le16(payload.data() + TNET_PUB_OFS_VID);
    if (object->type == TYPE_DHW && vid == DHW_SET) {
        if (const auto set = number(oid, DHW_SET)) {
            publishNumber(oid, DHW_DESIRED, TEMPERATURE, *set);
        }
    }
    if ((object->type == TYPE_ITC || object->type == TYPE_HCC) && vid == ROOM_LIST) {
        assignRooms(oid);
    }
    if (object->type == TYPE_ROOM && vid == MODE) {
        startMode(oid);
    }
    if (object->type == TYPE_OUTPUT && vid == OUTPUT_REQUEST) {
        if (const auto requested = number(oid, OUTPUT_REQUEST)) {
            publishNumber(oid, OUTPUT_VALUE, TEMPERATURE, *requested);
        }
    }
    // A room's or tank's settings or the location's programs may have moved what they aim at.
    aimRooms();
    for (const uint32_t room : rooms()) {
        regulate(room);
    }
    for (const uint32_t tank : objectsOf(TYPE_TANK)) {
        aimTank(tank);
        regulateTank(tank);
    }
    if (oid == LOCATION && vid == OUTDOOR_SOURCE) {
        followOutdoor();
    }
}

std::optional<int64_t> SimBehaviour::number(uint32_t oid, uint16_t vid) const {
    const auto value = mUnit.model().value(oid, vid);
    if (!value || tnet_value_size(value->type) <= 0) {
        return std::nullopt;
    }
    return value->number();
}

void SimBehaviour::publishNumber(uint32_t oid, uint16_t vid, uint8_t type, int64_t value) {
    const auto current = mUnit.model().value(oid, vid);
    if (current && current->type == type && current->number() == value) {
        return;
    }
    if (auto next = sim_number(type, value)) {
        next->timestamp = networkTime();
        mUnit.publish(oid, vid, *next);
    }
}

bool SimBehaviour::cooling() const {
    return number(LOCATION, SEASON).value_or(0) == 1;
}

std::vector<uint32_t> SimBehaviour::objectsOf(uint8_t type) const {
    std::vector<uint32_t> found;
    mUnit.model().forEachObject(ALL_OBJECTS, [&](uint32_t oid, const SimObject& object) {
        if (object.type == type) {
            found.push_back(oid);
        }
    });
    return found;
}

std::vector<uint32_t> SimBehaviour::rooms() const {
    return objectsOf(TYPE_ROOM);
}

std::optional<int> SimBehaviour::schedulePeriod(uint32_t room) const {
    const auto schedule = mUnit.model().value(room, SCHEDULE);
    if (!schedule || schedule->bytes.size() < 2 + 7 * 24) {
        return std::nullopt;
    }
    const int64_t local = unixTime() + number(LOCATION, LOCAL_OFFSET).value_or(0);
    if (local < 0) {
        return std::nullopt;
    }
    const int64_t days = local / 86400;
    const int64_t weekday = (days + 3) % 7; // 1970-01-01 was a Thursday; Monday is day 0
    const int64_t second = local % 86400;
    const uint8_t hour = schedule->bytes[static_cast<size_t>(2 + 24 * weekday + second / 3600)];
    return (hour >> (2 * ((second % 3600) / 900))) & 3;
}

std::optional<int> SimBehaviour::desiredOf(uint32_t room) const {
    const Setpoints& set = cooling() ? COOLING : HEATING;
    uint16_t setting = set.comfort;
    const int64_t override = number(room, OVERRIDE).value_or(OVERRIDE_NONE);
    // Vacation reaches only the rooms that take part in it, as the display shows them.
    if (number(LOCATION, VACATION).value_or(0) == 1 && number(room, ALLOW_VACATION).value_or(0) == 1) {
        setting = set.vacation;
    } else if (number(LOCATION, STANDBY).value_or(0) == 1) {
        setting = set.standby;
    } else if (override == OVERRIDE_TEMPORARY) {
        setting = set.temporary;
    } else if (override == OVERRIDE_SCHEDULE) {
        // The display's set point over the schedule, in any mode: it is where its arrows wrote.
        setting = set.adjusted;
    } else if (number(room, MODE).value_or(MODE_COMFORT) != MODE_SCHEDULE) {
        setting = set.manual;
    } else if (const auto period = schedulePeriod(room)) {
        // Period 0 eco, 3 extra comfort, the others comfort.
        setting = *period == 0 ? set.eco : *period == 3 ? set.extraComfort : set.comfort;
    }
    const auto value = number(room, setting);
    return value ? std::optional<int>(static_cast<int>(*value)) : std::nullopt;
}

void SimBehaviour::startMode(uint32_t room) {
    const auto mode = number(room, MODE);
    const auto known = mModes.find(room);
    if (!mode || (known != mModes.end() && known->second == *mode)) {
        return;
    }
    mModes[room] = *mode;
    // Both seasons' manual temperatures, so that a change of season later keeps to the chosen preset.
    for (const Setpoints* set : {&HEATING, &COOLING}) {
        if (const uint16_t preset = preset_of(*set, *mode)) {
            if (const auto temperature = number(room, preset)) {
                publishNumber(room, set->manual, TEMPERATURE, *temperature);
            }
        }
    }
}

void SimBehaviour::endOverride(uint32_t room) {
    const int64_t end = number(room, OVERRIDE_END).value_or(0);
    if (number(room, OVERRIDE).value_or(OVERRIDE_NONE) == OVERRIDE_NONE || end == 0 || unixTime() < end) {
        return;
    }
    dbg_printf_h("sim: the override of %08X ended", room);
    publishNumber(room, OVERRIDE, U8, OVERRIDE_NONE);
    publishNumber(room, OVERRIDE_END, U32, 0);
}

void SimBehaviour::regulate(uint32_t room) {
    const auto air = number(room, AIR);
    const auto desired = number(room, DESIRED);
    if (!air || !desired) {
        return;
    }
    const bool cools = cooling();
    // In standby the rooms drift without the unit's help.
    const bool calls =
        number(LOCATION, STANDBY).value_or(0) != 1 && (cools ? *air > *desired : *air < *desired);
    publishNumber(room, STATE, U8, !calls ? STATE_IDLE : cools ? STATE_COOLING : STATE_HEATING);
    const std::vector<uint32_t> outputs = sim_output_list(mUnit.model());
    if (const auto indices = mUnit.model().value(room, OUTPUTS)) {
        for (const uint8_t index : indices->bytes) {
            if (index < outputs.size()) {
                publishNumber(outputs[index], OUTPUT_VALUE, TEMPERATURE, calls ? FULLY_OPEN : 0);
            }
        }
    }
}

void SimBehaviour::aimRooms() {
    for (const uint32_t room : rooms()) {
        endOverride(room);
        if (const auto desired = desiredOf(room)) {
            publishNumber(room, DESIRED, TEMPERATURE, *desired);
        }
        if (const auto mode = number(room, MODE)) {
            mModes[room] = *mode;
        } else {
            mModes.erase(room);
        }
    }
}

void SimBehaviour::aimTank(uint32_t tank) {
    // Like the rooms, a tank keeps out of the location's programs it takes no part in.
    uint16_t setting = TANK_COMFORT;
    if (number(LOCATION, VACATION).value_or(0) == 1 && number(tank, TANK_ALLOW_VACATION).value_or(0) == 1) {
        setting = TANK_VACATION;
    } else if (number(LOCATION, STANDBY).value_or(0) == 1 &&
               number(tank, TANK_ALLOW_STANDBY).value_or(0) == 1) {
        setting = TANK_STANDBY;
    }
    if (const auto set = number(tank, setting)) {
        publishNumber(tank, TANK_SET, TEMPERATURE, *set);
    }
}

void SimBehaviour::regulateTank(uint32_t tank) {
    const auto temperature = number(tank, TANK_TEMP);
    const auto set = number(tank, TANK_SET);
    if (!temperature || !set) {
        return;
    }
    // Heating stops at the set temperature and starts again only once the tank has cooled well below it, so
    // that the burner does not start for every tenth of a degree the water loses.
    bool heats = number(tank, TANK_STATE).value_or(TANK_IDLE) == TANK_HEATING;
    if (*temperature >= *set) {
        heats = false;
    } else if (*temperature < *set - TANK_HYSTERESIS) {
        heats = true;
    }
    publishNumber(tank, TANK_STATE, U8, heats ? TANK_HEATING : TANK_IDLE);
}

void SimBehaviour::followOutdoor() {
    // The source the location names, or else its own sensor (not the control unit's wired one).
    std::optional<int64_t> outdoor;
    const auto named = number(LOCATION, OUTDOOR_SOURCE);
    if (named && mUnit.model().object(static_cast<uint32_t>(*named))) {
        outdoor = number(static_cast<uint32_t>(*named), OUTDOOR);
    }
    const auto unit = number(LOCATION, CONTROL_UNIT);
    mUnit.model().forEachValue(ALL_OBJECTS, ASSOCIATED, [&](uint32_t oid, uint16_t, const SimValue& value) {
        if (!outdoor && value.number() == LOCATION && (!unit || *unit != oid)) {
            outdoor = number(oid, OUTDOOR);
        }
    });
    if (outdoor) {
        publishNumber(LOCATION, OUTDOOR, TEMPERATURE, *outdoor);
    }
}

void SimBehaviour::assignRooms(uint32_t function) {
    const std::vector<uint32_t> listed = ids_of(mUnit.model().value(function, ROOM_LIST));
    for (const uint32_t room : rooms()) {
        const bool served = std::find(listed.begin(), listed.end(), room) != listed.end();
        const uint32_t owner = static_cast<uint32_t>(number(room, SERVING_FUNCTION).value_or(NO_FUNCTION));
        if (served && owner != function) {
            std::vector<uint32_t> others = ids_of(mUnit.model().value(owner, ROOM_LIST));
            if (const auto at = std::find(others.begin(), others.end(), room); at != others.end()) {
                others.erase(at);
                SimValue list{.type = DATA, .timestamp = networkTime(), .bytes = {}};
                for (const uint32_t id : others) {
                    list.bytes.resize(list.bytes.size() + 4);
                    put_le32(list.bytes.data() + list.bytes.size() - 4, id);
                }
                mUnit.publish(owner, ROOM_LIST, list);
            }
            publishNumber(room, SERVING_FUNCTION, REFERENCE, function);
        } else if (!served && owner == function) {
            publishNumber(room, SERVING_FUNCTION, REFERENCE, NO_FUNCTION);
        }
    }
}

void SimBehaviour::live() {
    aimRooms();
    followOutdoor();
    std::vector<std::pair<uint32_t, uint32_t>> thermostats; // device, room
    mUnit.model().forEachValue(ALL_OBJECTS, ASSOCIATED, [&](uint32_t oid, uint16_t, const SimValue& value) {
        thermostats.emplace_back(oid, static_cast<uint32_t>(value.number()));
    });
    for (const uint32_t room : rooms()) {
        const auto air = number(room, AIR);
        const auto desired = number(room, DESIRED);
        if (!air || !desired) {
            continue;
        }
        const int next = step_toward(*air, *desired, ROOM_STEP);
        publishNumber(room, AIR, TEMPERATURE, next);
        publishNumber(room, FLOOR, TEMPERATURE, next + 200);
        regulate(room);
        for (const auto& [device, served] : thermostats) {
            if (served == room) {
                publishNumber(device, AIR, TEMPERATURE, next);
                publishNumber(device, FLOOR, TEMPERATURE, next + 200);
            }
        }
    }
    for (const uint32_t tank : objectsOf(TYPE_TANK)) {
        aimTank(tank);
        const auto temperature = number(tank, TANK_TEMP);
        const auto set = number(tank, TANK_SET);
        if (!temperature || !set) {
            continue;
        }
        // A heated tank rises to its set temperature, an unheated one cools slowly; judged after it moved.
        const bool heats = number(tank, TANK_STATE).value_or(TANK_IDLE) == TANK_HEATING;
        publishNumber(tank, TANK_TEMP, TEMPERATURE,
                      heats ? step_toward(*temperature, *set, TANK_STEP)
                            : step_toward(*temperature, TANK_SURROUNDINGS, TANK_LOSS));
        regulateTank(tank);
    }
}

} // namespace tdx::sim
