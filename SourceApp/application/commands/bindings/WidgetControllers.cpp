#include "SourceApp/application/commands/bindings/WidgetControllers.h"

#include "SourceApp/application/controls/SortedIconList.h"
#include "SourceApp/application/controls/Widget.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/ProxyStructure.h"

#include <optional>

namespace tdx {

namespace {

constexpr vid_t ROOM_STATE = 0x001B; // 2 heating, 3 cooling
constexpr vid_t ROOM_BLOCKING = 0x001C;
constexpr vid_t ROOM_MODE = 0x8004;          // 0 week schedule, 2 eco, 3 comfort, 4 extra comfort
constexpr vid_t ROOM_MODE_OVERRIDE = 0x8005; // 1 temporary
constexpr vid_t ROOM_ALLOWS_VACATION = 0x8084;
constexpr vid_t LOCATION_VACATION = 0x8085;
constexpr vid_t LOCATION_STANDBY = 0x8087;
constexpr vid_t DEVICE_BATTERY = 0x002C; // percent
constexpr vid_t DEVICE_UNREACHABLE = 0x4001;

bool is(oid_t oid, vid_t vid, int expected) {
    return pt_read_int(oid, vid) == expected;
}

} // namespace

// ---- RoomWidgetController ----

RoomWidgetController::RoomWidgetController(WidgetLarge* tile, oid_t roomOid)
    : mTile(tile)
    , mRoom(roomOid) {
    static constexpr resource_id ICONS[ICON_COUNT] = {
        res_heating_widget, res_heating_blocked, res_cooling, res_cooling_blocked, res_schedule, res_eco,
        res_comfort,        res_extra_comfort,   res_manual,  res_holiday,         res_standby};
    for (unsigned key = 0; key < ICON_COUNT; ++key) {
        mTile->getIconList()->add(key, ICONS[key], 0);
    }
    update();
}

void RoomWidgetController::handleNotify(ProxyObject&, const Ovi& ovi) {
    if (ovi.oid == mRoom || ovi.oid == OID_LOCATION) {
        update();
    }
}

void RoomWidgetController::update() {
    SortedIconList* icons = mTile->getIconList();
    const std::optional<int> state = pt_read_int(mRoom, ROOM_STATE);
    const bool blocked = pt_read_int(mRoom, ROOM_BLOCKING).value_or(0) != 0;
    icons->setIconVisible(HEATING, state == 2 && !blocked);
    icons->setIconVisible(HEATING_BLOCKED, state == 2 && blocked);
    icons->setIconVisible(COOLING, state == 3 && !blocked);
    icons->setIconVisible(COOLING_BLOCKED, state == 3 && blocked);

    // Standby and vacation rule over the room's own mode.
    const bool standby = is(OID_LOCATION, LOCATION_STANDBY, 1);
    const bool vacation = !standby && is(OID_LOCATION, LOCATION_VACATION, 1) &&
                          pt_read_int(mRoom, ROOM_ALLOWS_VACATION).value_or(0) != 0;
    const bool ownMode = !standby && !vacation;
    const bool temporary = ownMode && is(mRoom, ROOM_MODE_OVERRIDE, 1);
    const std::optional<int> mode = ownMode && !temporary ? pt_read_int(mRoom, ROOM_MODE) : std::nullopt;
    icons->setIconVisible(SCHEDULE, mode == 0);
    icons->setIconVisible(ECO, mode == 2);
    icons->setIconVisible(COMFORT, mode == 3);
    icons->setIconVisible(EXTRA_COMFORT, mode == 4);
    icons->setIconVisible(TEMPORARY, temporary);
    icons->setIconVisible(VACATION, vacation);
    icons->setIconVisible(STANDBY, standby);
}

// ---- ThermostatWidgetController ----

ThermostatWidgetController::ThermostatWidgetController(WidgetLarge* tile, oid_t deviceOid)
    : mTile(tile)
    , mDevice(oid_make(oid_address(deviceOid), 0)) {
    static constexpr resource_id ICONS[] = {res_battery_empty, res_battery_low, res_battery_half,
                                            res_battery_full, res_warning_active};
    for (unsigned key = 0; key <= UNREACHABLE; ++key) {
        mTile->getIconList()->add(key, ICONS[key], 0);
    }
    update();
}

void ThermostatWidgetController::handleNotify(ProxyObject&, const Ovi& ovi) {
    if (ovi.oid == mDevice) {
        update();
    }
}

void ThermostatWidgetController::update() {
    SortedIconList* icons = mTile->getIconList();
    const bool reachable = is(mDevice, VID_DEVICE_STATE, DEVICE_ONLINE) &&
                           pt_read_int(mDevice, DEVICE_UNREACHABLE).value_or(0) == 0;
    icons->setIconVisible(UNREACHABLE, !reachable);
    // A device off the network has no battery level worth showing.
    const std::optional<int> level = reachable ? pt_read_int(mDevice, DEVICE_BATTERY) : std::nullopt;
    const bool known = level.has_value() && *level >= 0 && *level <= 100;
    const int percent = level.value_or(0);
    icons->setIconVisible(BATTERY_EMPTY, known && percent < 10);
    icons->setIconVisible(BATTERY_LOW, known && percent >= 10 && percent < 40);
    icons->setIconVisible(BATTERY_HALF, known && percent >= 40 && percent < 75);
    icons->setIconVisible(BATTERY_FULL, known && percent >= 75);
}

} // namespace tdx
