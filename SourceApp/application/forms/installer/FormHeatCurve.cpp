#include "SourceApp/application/forms/installer/FormHeatCurve.h"

#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/commands/bindings/RoomController.h"
#include "SourceApp/application/controls/HeatCurveChart.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/ScrollBar.h"
#include "SourceApp/application/controls/TopBar.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/OidList.h"
#include "SourceApp/storage/ProxyObject.h"

#include <algorithm>
#include <optional>

namespace tdx {

namespace {

constexpr vid_t VID_ROOMS = 0x80B8;
constexpr vid_t VID_ROOM_DESIRED = 0x001D;
constexpr vid_t VID_FILTERED_OUTDOOR = 0x0028;
constexpr int16_t NO_LOWEST = 32767;
constexpr int16_t NO_HIGHEST = -32768;

// The values that feed a curve, per kind of function: the room list, then source demand, desired room
// temperature, minimum and maximum inlet, parallel displacement, gain, curve and the cut-off.
constexpr vid_t ITC_VIDS[] = {VID_ROOMS, 0x0039, 0x0029, 0x8063, 0x8064, 0x8066, 0x80C4, 0x003D, 0x80C3};
constexpr vid_t HCC_VIDS[] = {VID_ROOMS, 0x0053, 0x0054, 0x8102, 0x8103, 0x8106, 0x810A, 0x0056, 0x810B};

const vid_t* curveVids(const ProxyObject& function) {
    return function.type().is(BT_OBJ_HCC) ? HCC_VIDS : ITC_VIDS;
}

// A value read only when valid: one that the control unit has without a valid value keeps its field.
template <class T>
void readInto(T& field, oid_t oid, vid_t vid) {
    int value = 0;
    if (pt_get_int(&value, oid, vid) == PT_OK) {
        field = static_cast<T>(value);
    }
}

// A room's desired temperature, or a value the user's change of it writes.
bool isRoomDesired(vid_t vid) {
    const auto& sources = RoomController::DESIRED_SOURCES;
    return vid == VID_ROOM_DESIRED || std::find(sources.begin(), sources.end(), vid) != sources.end();
}

int16_t low16(int64_t value) {
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint64_t>(value) & 0xFFFFu));
}

} // namespace

FormHeatCurve::FormHeatCurve(const State& state)
    : VexalForm(state)
    , mFunction(state.getP1()) {
    setName("FormHeatCurve");
    setHelp(gettext("Heat Curve"));
    const ProxyObject* function = Structure.find(mFunction);
    if (function == nullptr || !(function->type().is(BT_OBJ_ITC) || function->type().is(BT_OBJ_HCC))) {
        backOrDefault();
        return;
    }
    std::string name;
    function->getText(name, VID_NAME);
    new ContainedLabel(this, 0, TopBar::HEIGHT + 9, getWidth() - ScrollBar::WIDTH, 12, &bif_myriad12,
                       fmt_gettext("Functions | %s | Heat Curve", name), HorizontalAlign::Center);
    mChart = new HeatCurveChart(this, 9, 57, 277, 160);
    updateChart(*function);
    new ContainedLabel(this, 6, 64, 15, 141, &bif_myriad10_bold, gettext("Inlet water temperature"),
                       HorizontalAlign::Center, VerticalAlign::Top, TextOrientation::Rotated);
    new ContainedLabel(this, 40, getBottom() - 22, 241, 15, &bif_myriad10_bold,
                       gettext("Outdoor air temperature"), HorizontalAlign::Center, VerticalAlign::Bottom);
    (new ScrollBar(this, 295, 31, 209))->setEnabled(false);
    Structure.addValueChangeHandler(this);
    mListening = true;
}

FormHeatCurve::~FormHeatCurve() {
    if (mListening) {
        Structure.removeValueChangeHandler(this);
    }
}

bool FormHeatCurve::fillCurveParams(const ProxyObject& function, HeatCurveParams& params) {
    if (!(function.type().is(BT_OBJ_ITC) || function.type().is(BT_OBJ_HCC)) ||
        Structure.find(OID_LOCATION) == nullptr) {
        return false;
    }
    const oid_t oid = function.oid();
    const vid_t* vids = curveVids(function);
    readInto(params.outdoor, OID_LOCATION, VID_FILTERED_OUTDOOR);
    readInto(params.sourceDemand, oid, vids[1]);
    readInto(params.desiredRoom, oid, vids[2]);
    readInto(params.minInlet, oid, vids[3]);
    readInto(params.maxInlet, oid, vids[4]);
    readInto(params.parallelDisplacement, oid, vids[5]);
    readInto(params.gain, oid, vids[6]);
    readInto(params.curve, oid, vids[7]);
    readInto(params.outsideExceeds, oid, vids[8]);
    return true;
}

bool FormHeatCurve::isCurveParam(const ProxyObject& function, const OviEx& change) {
    const vid_t* vids = curveVids(function);
    return std::find(vids, vids + std::size(ITC_VIDS), change.vid) != vids + std::size(ITC_VIDS);
}

int16_t FormHeatCurve::calcInletTemperature(int desiredRoom, int gain, int outdoor, int curve) {
    const int64_t r = desiredRoom;
    const int64_t k = curve;
    return low16(2460 + ((r - outdoor) * k) / 10 + ((r - 2000) * k * gain) / 100);
}

int16_t FormHeatCurve::calcOutdoorTemperature(int desiredRoom, int gain, int inlet, int curve) {
    const int64_t s = std::max<int16_t>(low16(curve), 1);
    const int64_t r = desiredRoom;
    const int64_t q = ((r - 2000) * s * gain) / 100;
    return low16(r - 10 * ((inlet - 2460 - q) / s));
}

bool FormHeatCurve::updateDesiredTemperatures(const ProxyObject& function) {
    int16_t lowest = NO_LOWEST;
    int16_t highest = NO_HIGHEST;
    for (const unsigned id : oid_list_read(function.oid(), VID_ROOMS)) {
        const ProxyObject* room = Structure.find(id);
        if (room == nullptr || !room->hasValue(VID_ROOM_DESIRED)) {
            continue;
        }
        // As the room screen shows it: the user's change, not the unit's value from before it, until the
        // unit holds it.
        const std::optional<int> value = RoomController(id).getDesiredTemperature();
        if (!value) {
            continue;
        }
        lowest = std::min(lowest, low16(*value));
        highest = std::max(highest, low16(*value));
    }
    const bool changed = lowest != mDesiredMin || highest != mDesiredMax;
    mDesiredMin = lowest;
    mDesiredMax = highest;
    return changed;
}

void FormHeatCurve::updateChart(const ProxyObject& function) {
    HeatCurveParams p;
    fillCurveParams(function, p);
    const int16_t yMin = low16(p.parallelDisplacement + p.minInlet);
    const int16_t yMax = low16(p.parallelDisplacement + p.maxInlet);
    updateDesiredTemperatures(function);
    mChart->clear();
    const auto plotFor = [&](int desired, bool active) {
        plot(*mChart, yMin, yMax, calcOutdoorTemperature(desired, p.gain, p.minInlet, p.curve),
             calcOutdoorTemperature(desired, p.gain, p.maxInlet, p.curve), p.outsideExceeds, active);
    };
    if (mDesiredMin != NO_LOWEST) {
        plotFor(mDesiredMin, false);
    }
    if (mDesiredMax != NO_HIGHEST) {
        plotFor(mDesiredMax, false);
    }
    if (p.sourceDemand == 0) {
        return;
    }
    if (p.outdoor < p.outsideExceeds) {
        const int16_t inlet =
            low16(p.parallelDisplacement + calcInletTemperature(p.desiredRoom, p.gain, p.outdoor, p.curve));
        mChart->setWorkingPoint(p.outdoor, inlet > yMax ? yMax : std::max(inlet, yMin));
    }
    plotFor(p.desiredRoom, true);
}

void FormHeatCurve::handleProxyValueChange(ProxyObject& object, const OviEx& change) {
    if (change.oid == mFunction && isCurveParam(object, change)) {
        updateChart(object);
        return;
    }
    const ProxyObject* function = Structure.find(mFunction);
    if (function == nullptr) {
        return;
    }
    // The working point follows the outdoor temperature.
    if (change.oid == OID_LOCATION && change.vid == VID_FILTERED_OUTDOOR) {
        updateChart(*function);
    } else if (isRoomDesired(change.vid) && function->isOidInList(change.oid, VID_ROOMS) &&
               updateDesiredTemperatures(*function)) {
        updateChart(*function);
    }
}

} // namespace tdx
