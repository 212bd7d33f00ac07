#include "SourceApp/application/commands/bindings/RoomController.h"

#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/OidList.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/ProxyStructure.h"
#include "SourceApp/storage/net/TaviProtocol.h"

#include <optional>

namespace tdx {

namespace {

constexpr uint8_t STATE_HEATING = 2;
constexpr uint8_t STATE_COOLING = 3;

std::optional<int> read(oid_t oid, vid_t vid) {
    return pt_read_int(oid, vid);
}

void write(oid_t oid, vid_t vid, int value, bt_vtype type) {
    pt_set_int(oid, vid, value, type);
}

} // namespace

bool RoomController::exists() const {
    return Structure.find(mRoom) != nullptr;
}

const RoomController::Temperatures* RoomController::season() {
    const std::optional<int> mode = read(OID_LOCATION, VID_SEASON);
    if (!mode) {
        return nullptr;
    }
    return (*mode & 0xFF) == 1 ? &COOLING : &HEATING;
}

int RoomController::getStatus() const {
    const std::optional<int> state = read(mRoom, VID_STATE);
    const std::optional<int> blocking = read(mRoom, VID_BLOCKING);
    if (!state || !blocking) {
        return -1;
    }
    const bool blocked = *blocking != 0;
    switch (*state & 0xFF) {
        case STATE_HEATING:
            return blocked ? 2 : 1;
        case STATE_COOLING:
            return blocked ? 4 : 3;
        default:
            return 0;
    }
}

int RoomController::getTemporaryMode() const {
    const std::optional<int> mode = read(mRoom, VID_MODE);
    const std::optional<int> override = read(mRoom, VID_OVERRIDE);
    if (!mode || !override) {
        return -1;
    }
    if (*override == OVERRIDE_TEMPORARY) {
        return 2;
    }
    return *override == OVERRIDE_SCHEDULE && *mode == 0 ? 1 : 0;
}

std::optional<vid_t> RoomController::desiredSource() const {
    const Temperatures* temperatures = season();
    const std::optional<int> mode = read(mRoom, VID_MODE);
    const std::optional<int> override = read(mRoom, VID_OVERRIDE);
    if (temperatures == nullptr || !mode || !override || read(OID_LOCATION, VID_STANDBY) == 1 ||
        isInVacation()) {
        return std::nullopt;
    }
    return setPoint(*temperatures, *mode, *override);
}

std::optional<vid_t> RoomController::setPoint(const Temperatures& temperatures, int mode, int override) {
    if (override == OVERRIDE_TEMPORARY) {
        return temperatures.temporary;
    }
    if (override == OVERRIDE_SCHEDULE) {
        return temperatures.adjusted;
    }
    if (mode != 0) {
        return temperatures.manual;
    }
    return std::nullopt;
}

std::optional<int> RoomController::getDesiredTemperature() const {
    // The restore's values and the return's synchronisation bring the unit's desired temperature from before
    // the user's change, which the unit derives anew only once it holds the change for good.
    if (const std::optional<vid_t> source = desiredSource(); source && Net::Tavi.holdsWrite(mRoom, *source)) {
        if (const std::optional<int> written = read(mRoom, *source)) {
            return written;
        }
    }
    return read(mRoom, VID_DESIRED);
}

int RoomController::getDesiredTemperatureMode() const {
    const Temperatures* temperatures = season();
    const std::optional<int> desired = getDesiredTemperature();
    if (temperatures == nullptr || !desired) {
        return -1;
    }
    const vid_t presets[] = {temperatures->eco, temperatures->comfort, temperatures->extraComfort};
    for (int i = 0; i < 3; ++i) {
        if (read(mRoom, presets[i]) == desired) {
            return i + 1;
        }
    }
    return 0;
}

bool RoomController::isInVacation(uint32_t* endTime) const {
    const std::optional<int> allowed = read(mRoom, VID_ALLOW_VACATION);
    const std::optional<int> vacation = read(OID_LOCATION, VID_VACATION);
    const std::optional<int> end = read(OID_LOCATION, VID_VACATION_END);
    auto on = [](const std::optional<int>& flag) { return flag && *flag >= 1 && *flag <= 254; };
    if (!on(allowed) || !on(vacation) || !end) {
        return false;
    }
    if (endTime != nullptr) {
        *endTime = static_cast<uint32_t>(*end);
    }
    return true;
}

void RoomController::setDesiredTemperature(int temperature) {
    const Temperatures* temperatures = season();
    const std::optional<int> mode = read(mRoom, VID_MODE);
    const std::optional<int> override = read(mRoom, VID_OVERRIDE);
    if (temperatures == nullptr || !mode || !override || !exists()) {
        return;
    }
    const std::optional<vid_t> target = setPoint(*temperatures, *mode, *override);
    if (!target) {
        // On the schedule's own presets: the change adjusts the schedule.
        write(mRoom, VID_OVERRIDE, OVERRIDE_SCHEDULE, BT_VTYPE_U8);
    }
    write(mRoom, target.value_or(temperatures->adjusted), temperature, BT_VTYPE_S16_X100);
}

std::optional<int> RoomController::setDesiredTemperatureByProfile(RoomMode mode) {
    const Temperatures* temperatures = season();
    if (temperatures == nullptr) {
        return std::nullopt;
    }
    vid_t vid = temperatures->manual;
    switch (mode) {
        case RoomModeEco:
            vid = temperatures->eco;
            break;
        case RoomModeComfort:
            vid = temperatures->comfort;
            break;
        case RoomModeExtraComfort:
            vid = temperatures->extraComfort;
            break;
        default:
            break;
    }
    const std::optional<int> temperature = read(mRoom, vid);
    if (temperature) {
        setDesiredTemperature(*temperature);
    }
    return temperature;
}

void RoomController::setSchedulerEnabled(bool enabled) {
    if (!exists()) {
        return;
    }
    if (enabled) {
        write(mRoom, VID_MODE, 0, BT_VTYPE_U8);
        return;
    }
    write(mRoom, VID_MODE, 1, BT_VTYPE_U8);
    if (read(mRoom, VID_OVERRIDE) == OVERRIDE_SCHEDULE) {
        write(mRoom, VID_OVERRIDE, OVERRIDE_NONE, BT_VTYPE_U8);
        write(mRoom, VID_OVERRIDE_END, 0, BT_VTYPE_U32);
    }
}

void RoomController::cancelModeOverride() {
    const std::optional<int> override = read(mRoom, VID_OVERRIDE);
    if (override && *override != OVERRIDE_NONE && exists()) {
        write(mRoom, VID_OVERRIDE, OVERRIDE_NONE, BT_VTYPE_U8);
        write(mRoom, VID_OVERRIDE_END, 0, BT_VTYPE_U32);
    }
}

bool RoomController::hasPeripheralWithValue(unsigned vid) const {
    if (!exists()) {
        return false;
    }
    for (const unsigned id : oid_list_read(mRoom, VID_PERIPHERALS)) {
        const ProxyObject* peripheral = Structure.find(id);
        if (peripheral != nullptr && peripheral->hasValue(static_cast<u16>(vid & 0xFFFF))) {
            return true;
        }
    }
    return false;
}

bool HumidityController::isEnabled() const {
    return Structure.find(mRoom) != nullptr && pt_read_int(mRoom, VID_ENABLED) == 1;
}

void HumidityController::setEnabled(HumidityState state) {
    if (Structure.find(mRoom) == nullptr) {
        return;
    }
    int value = 0;
    const int result = pt_get_int(&value, mRoom, VID_ENABLED);
    const unsigned current = result == PT_OK || result == PT_ERR_NO_VALUE ? (value & 0xFF) : 0xFF;
    if (current == state) {
        return;
    }
    pt_set_int(mRoom, VID_ENABLED, state == HumidityDryerControl ? 1 : 0, BT_VTYPE_U8);
}

} // namespace tdx
