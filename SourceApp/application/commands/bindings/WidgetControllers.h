// Controllers that keep a dashboard tile's status icons in step with its object: a form-model listener per
// tile, holding only the tile and the object's id.
#pragma once

#include "SourceApp/application/commands/bindings/DataModelListener.h"
#include "SourceApp/big_table/bt_types.h"

namespace tdx {

class WidgetLarge;

// A room: whether it heats or cools (or is blocked from it), its mode (week schedule, eco, comfort, extra
// comfort, temporary) and the installation's vacation and standby.
class RoomWidgetController : public DataModel::Listener {
public:
    // Icon keys of the tile's icon list, in the order they are drawn.
    enum Icon : unsigned {
        HEATING = 0,
        HEATING_BLOCKED = 1,
        COOLING = 2,
        COOLING_BLOCKED = 3,
        SCHEDULE = 4,
        ECO = 5,
        COMFORT = 6,
        EXTRA_COMFORT = 7,
        TEMPORARY = 8,
        VACATION = 9,
        STANDBY = 10,
    };
    static constexpr unsigned ICON_COUNT = 11;

    // Adds the icons to the tile and shows those that apply now.
    RoomWidgetController(WidgetLarge* tile, oid_t roomOid);

protected:
    void handleNotify(ProxyObject& object, const Ovi& ovi) override;

private:
    void update();

    WidgetLarge* mTile;
    oid_t mRoom;
};

// A room thermostat: its battery level and whether it can be reached.
class ThermostatWidgetController : public DataModel::Listener {
public:
    enum Icon : unsigned {
        BATTERY_EMPTY = 0,
        BATTERY_LOW = 1,
        BATTERY_HALF = 2,
        BATTERY_FULL = 3,
        UNREACHABLE = 4,
    };

    ThermostatWidgetController(WidgetLarge* tile, oid_t deviceOid);

protected:
    void handleNotify(ProxyObject& object, const Ovi& ovi) override;

private:
    void update();

    WidgetLarge* mTile;
    oid_t mDevice;
};

} // namespace tdx
