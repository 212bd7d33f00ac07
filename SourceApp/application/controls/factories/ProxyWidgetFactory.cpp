#include "SourceApp/application/controls/factories/ProxyWidgetFactory.h"

#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/commands/ChangeStateCommand.h"
#include "SourceApp/application/commands/bindings/FormModel.h"
#include "SourceApp/application/commands/bindings/RoomController.h"
#include "SourceApp/application/commands/bindings/ValueAdapters.h"
#include "SourceApp/application/commands/bindings/WidgetControllers.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/SortedIconList.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/gui/core/state/State.h"
#include "SourceApp/storage/DataModel.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/values/Catalogue.h"

#include <cstring>
#include <memory>
#include <optional>
#include <string>

namespace tdx {

namespace {

using DataModel::DataValue;
using DataModel::SignedValue;
using DataModel::UnsignedValue;

// Screens the arrows open.
constexpr state_id_t STATE_ROOM = 13;
constexpr state_id_t STATE_DEVICE = 23;
constexpr state_id_t STATE_DHW = 36;
constexpr state_id_t STATE_OUTPUT = 37;
constexpr state_id_t STATE_THERMOSTAT = 58;
constexpr state_id_t STATE_HCC = 61;
constexpr state_id_t STATE_ITC = 62;
constexpr state_id_t STATE_OBJECT_EDITOR = 70;
constexpr state_id_t STATE_DHW_TANK = 75;

constexpr vid_t ROOM_AIR = 0x000C;
constexpr vid_t ROOM_FLOOR = 0x000D;
constexpr vid_t ROOM_DESIRED = 0x001D;
constexpr vid_t ROOM_FLOOR_SENSOR_MODE = 0x8014;
constexpr vid_t DEVICE_AIR = 0x000C;
constexpr vid_t DEVICE_HUMIDITY = 0x0002;
constexpr vid_t DEVICE_OUTDOOR = 0x0036;
constexpr vid_t DEVICE_HARDWARE_CODE = 0x80E3;
constexpr vid_t DEVICE_SOFTWARE_CODE = 0x80E4;
constexpr vid_t DEVICE_SOFTWARE_VERSION = 0x800D;
constexpr vid_t DEVICE_SOFTWARE_BUILD = 0x809E;
constexpr vid_t OUTPUT_VALUE = 0x004C;
constexpr vid_t OUTPUT_FUNCTION = 0x80E7; // 1 manual control
constexpr vid_t DHW_DESIRED = 0x0031;
constexpr vid_t DHW_SET = 0x8094;
constexpr size_t CODE_LENGTH = 5;

// Captions: the home screen's large tiles in one context, the overviews' small tiles in another.
const char* context(bool large) {
    return large ? "home widget" : "widget";
}

void setClick(Widget* tile, unsigned state, const ProxyObject& object) {
    tile->setClickCommand(std::make_unique<ChangeStateCommand>(state, object.oid()));
}

// A value of the object's template; none when the object has no template (the data model does not know its
// type) or the template lacks the value.
template <class V>
const V* templateValue(const ProxyObject& object, vid_t vid) {
    const DataModel::ObjectTemplate* t = object.getTemplate();
    return t != nullptr ? t->find<V>(vid) : nullptr;
}

// The object's name in the heading, following it. Every object has its name, also one whose type the data
// model does not know.
void bindHeading(Widget* tile, const ProxyObject& object, FormModel& model) {
    const DataValue* name = templateValue<DataValue>(object, VID_NAME);
    const DataOvi ovi = name != nullptr ? name->ovi(object.oid())
                                        : DataOvi(object.oid(), VID_NAME, BT_VTYPE_TEXT,
                                                  &DataModel::Implementation::General::ObjectName);
    model.bind(new DataValueToStringComponentAdapter(tile->getHeadingLabel(), ovi), ovi);
}

// A number of the object formatted by its descriptor, following it; "--" when there is no such value to read.
void bindNumber(IStringComponent* label, const ProxyObject& object, vid_t vid, FormModel& model) {
    if (const SignedValue* value = templateValue<SignedValue>(object, vid)) {
        const SignedOvi ovi = value->ovi(object.oid());
        model.bind(new NumberValueToStringComponentAdapter(label, ovi), ovi);
    } else if (const UnsignedValue* unsignedValue = templateValue<UnsignedValue>(object, vid)) {
        const UnsignedOvi ovi = unsignedValue->ovi(object.oid());
        model.bind(new NumberValueToStringComponentAdapter(label, ovi), ovi);
    } else {
        label->setText(NO_VALUE_TEXT);
    }
}

// The room's desired temperature as its room screen shows it: it follows the unit's 0x001D, and the user's
// writes of the set temperature, which stand in for it until the unit holds them; "--" without the value.
void bindRoomDesired(IStringComponent* label, const ProxyObject& object, FormModel& model) {
    const SignedValue* value = templateValue<SignedValue>(object, ROOM_DESIRED);
    if (value == nullptr) {
        label->setText(NO_VALUE_TEXT);
        return;
    }
    const SignedOvi ovi = value->ovi(object.oid());
    model.bind(new RoomDesiredToStringComponentAdapter(label, ovi), ovi);
    for (const vid_t written : RoomController::DESIRED_SOURCES) {
        model.bind(new RoomDesiredToStringComponentAdapter(label, ovi), Ovi(object.oid(), written));
    }
}

// A measurement of a peripheral: "Off-line" while its device is; "--" when there is no such value to read.
void listenNumber(IStringComponent* label, const ProxyObject& object, vid_t vid, FormModel& model,
                  std::unique_ptr<DataModel::Formatter> formatter = nullptr) {
    if (const SignedValue* value = templateValue<SignedValue>(object, vid)) {
        const SignedOvi ovi = value->ovi(object.oid());
        model.addListener(
            formatter ? std::make_unique<DeviceNumberToStringListener>(label, ovi, std::move(formatter), "")
                      : std::make_unique<DeviceNumberToStringListener>(label, ovi, ""));
    } else {
        label->setText(NO_VALUE_TEXT);
    }
}

// Up to five bytes of a text value, zero-padded: the hardware and software codes.
std::array<char, CODE_LENGTH> code(ProxyObject& object, vid_t vid) {
    std::array<char, CODE_LENGTH> bytes{};
    object.getData(bytes.data(), CODE_LENGTH, vid);
    return bytes;
}

bool hasHardwareCode(ProxyObject& object, std::initializer_list<const char*> codes) {
    const std::array<char, CODE_LENGTH> own = code(object, DEVICE_HARDWARE_CODE);
    for (const char* candidate : codes) {
        std::array<char, CODE_LENGTH> padded{};
        std::memcpy(padded.data(), candidate, std::min(std::strlen(candidate), CODE_LENGTH));
        if (padded == own) {
            return true;
        }
    }
    return false;
}

const RoomWidgetTemplate roomWidgetTemplate;
const ItcWidgetTemplate itcWidgetTemplate;
const HccWidgetTemplate hccWidgetTemplate;
const DhwTankWidgetTemplate dhwTankWidgetTemplate;
const DhwWidgetTemplate dhwWidgetTemplate;
const OutputWidgetTemplate outputWidgetTemplate;
const ThermoheadWidgetTemplate thermoheadWidgetTemplate;
const ThermostatWidgetTemplate thermostatWidgetTemplate;
const ExternalSensorWidgetTemplate externalSensorWidgetTemplate;
const DeviceWidgetTemplate deviceWidgetTemplate;

} // namespace

const std::array<TemplateRow, 10> Templates = {{
    {BT_OBJ_ROOM, &roomWidgetTemplate},
    {BT_OBJ_ITC, &itcWidgetTemplate},
    {BT_OBJ_HCC, &hccWidgetTemplate},
    {BT_OBJ_DHW_TANK, &dhwTankWidgetTemplate},
    {BT_OBJ_DHW, &dhwWidgetTemplate},
    {BT_OBJ_OUTPUT, &outputWidgetTemplate},
    {BT_OBJ_OUTPUT, &thermoheadWidgetTemplate},
    {BT_OBJ_DEVICE, &thermostatWidgetTemplate},
    {BT_OBJ_DEVICE, &externalSensorWidgetTemplate},
    {BT_OBJ_DEVICE, &deviceWidgetTemplate},
}};

// ---- Every template ----

Widget* WidgetTemplate::bind(Widget* tile, ProxyObject& object, FormModel& model) const {
    commonBind(tile, object, model, false);
    return tile;
}

WidgetLarge* WidgetTemplate::bind(WidgetLarge* tile, ProxyObject& object, FormModel& model) const {
    commonBind(tile, object, model, true);
    bindLarge(tile, object, model);
    return tile;
}

// ---- Room ----

void RoomWidgetTemplate::commonBind(Widget* tile, ProxyObject& object, FormModel& model, bool large) const {
    setClick(tile, STATE_ROOM, object);
    bindHeading(tile, object, model);
    // The air is shown where the floor sensor does not regulate; the choice is made once, at binding.
    const std::optional<int> floorMode = pt_read_int(object.oid(), ROOM_FLOOR_SENSOR_MODE);
    const bool air = floorMode.has_value() && (*floorMode & 0xFF) != 0;
    bindNumber(tile->getFirstValueLabel(), object, air ? ROOM_AIR : ROOM_FLOOR, model);
    tile->setFirstLabel(air ? pgettext("home widget", "Room temp.") : pgettext("home widget", "Floor temp."));
    bindRoomDesired(tile->getSecondValueLabel(), object, model);
    tile->setSecondLabel(large ? pgettext("home widget", "Set temp.")
                               : pgettext("widget", "Set temperature"));
}

void RoomWidgetTemplate::bindLarge(WidgetLarge* tile, ProxyObject& object, FormModel& model) const {
    model.addListener(std::make_unique<RoomWidgetController>(tile, object.oid()));
}

// ---- Inlet temperature controller, heating/cooling circuit, hot-water tank ----

void HeatingWidgetTemplate::commonBind(Widget* tile, ProxyObject& object, FormModel& model,
                                       bool large) const {
    setClick(tile, mLook.state, object);
    bindHeading(tile, object, model);
    bindNumber(tile->getFirstValueLabel(), object, mLook.first, model);
    bindNumber(tile->getSecondValueLabel(), object, mLook.second, model);
    tile->setFirstLabel(pgettext(context(large), mLook.firstCaption[large ? 0 : 1]));
    tile->setSecondLabel(large ? pgettext("home widget", "Set temp.")
                               : pgettext("widget", "Set temperature"));
}

void HeatingWidgetTemplate::bindLarge(WidgetLarge* tile, ProxyObject& object, FormModel& model) const {
    SortedIconList* icons = tile->getIconList();
    for (const Icon& icon : mLook.icons) {
        icons->add(icon.key, icon.resource, 0);
    }
    if (const UnsignedValue* value = templateValue<UnsignedValue>(object, mLook.iconValue)) {
        const UnsignedOvi ovi = value->ovi(object.oid());
        auto* adapter = new UnsignedValueToIconListAdapter(icons, ovi);
        for (unsigned i = 0; i < mLook.ruleCount; ++i) {
            adapter->addIconIndex(mLook.rules[i].value, mLook.rules[i].key);
        }
        model.bind(adapter, ovi);
    }
}

namespace {

constexpr std::array<HeatingWidgetTemplate::Icon, 3> CIRCUIT_ICONS = {
    {{0, res_ht_cutoff}, {1, res_pump_stopped}, {2, res_pump_running}}};
constexpr std::array<HeatingWidgetTemplate::Icon, 3> TANK_ICONS = {
    {{0, res_boiler_stopped}, {1, res_boiler_running}, {2, res_boiler_running}}};

} // namespace

ItcWidgetTemplate::ItcWidgetTemplate()
    : HeatingWidgetTemplate(
          Look{.state = STATE_ITC,
               .first = 0x003E,
               .firstCaption = {NC_("home widget", "Inlet temp."), NC_("widget", "Inlet temperature")},
               .second = 0x003B,
               .iconValue = 0x400E,
               .icons = CIRCUIT_ICONS,
               .rules = {{{1, 0}}},
               .ruleCount = 1}) {}

HccWidgetTemplate::HccWidgetTemplate()
    : HeatingWidgetTemplate(
          Look{.state = STATE_HCC,
               .first = 0x003E,
               .firstCaption = {NC_("home widget", "Inlet temp."), NC_("widget", "Inlet temperature")},
               .second = 0x003A,
               .iconValue = 0x401F,
               .icons = CIRCUIT_ICONS,
               .rules = {{{1, 0}}},
               .ruleCount = 1}) {}

DhwTankWidgetTemplate::DhwTankWidgetTemplate()
    : HeatingWidgetTemplate(
          Look{.state = STATE_DHW_TANK,
               .first = 0x0061,
               .firstCaption = {NC_("home widget", "Actual temp."), NC_("widget", "Actual temperature")},
               .second = 0x0062,
               .iconValue = 0x0060,
               .icons = TANK_ICONS,
               .rules = {{{0, 0}, {1, 1}, {2, 2}}},
               .ruleCount = 3}) {}

// ---- Hot water ----

void DhwWidgetTemplate::commonBind(Widget* tile, ProxyObject& object, FormModel& model, bool large) const {
    setClick(tile, STATE_DHW, object);
    bindHeading(tile, object, model);
    bindNumber(tile->getFirstValueLabel(), object, DHW_DESIRED, model);
    bindNumber(tile->getSecondValueLabel(), object, DHW_SET, model);
    tile->setFirstLabel(large ? pgettext("home widget", "Desired temp.")
                              : pgettext("widget", "Desired temperature"));
    tile->setSecondLabel(large ? pgettext("home widget", "Set temp.")
                               : pgettext("widget", "Set temperature"));
}

// ---- Output under manual control ----

bool OutputWidgetTemplate::isSupported(ProxyObject& object) const {
    const u8 subtype = object.type().subtype();
    const std::optional<int> function = pt_read_int(object.oid(), OUTPUT_FUNCTION);
    return (subtype == 7 || subtype == 10) && function.has_value() && (*function & 0xFF) == 1;
}

void OutputWidgetTemplate::commonBind(Widget* tile, ProxyObject& object, FormModel& model, bool large) const {
    setClick(tile, STATE_OUTPUT, object);
    bindHeading(tile, object, model);
    tile->setFirstLabel(large ? pgettext("home widget", "Man. output") : pgettext("widget", "Manual output"));
    tile->setSecondLabel((large ? pgettext("home widget", "Status") : pgettext("widget", "Status")));
    if (const SignedValue* value = templateValue<SignedValue>(object, OUTPUT_VALUE)) {
        const SignedOvi ovi = value->ovi(object.oid());
        // The output's value is the same share as a thermohead's, and reads as one: "100 %", not a bare 100.
        model.bind(
            new NumberValueToStringComponentAdapter(
                tile->getSecondValueLabel(), ovi,
                std::unique_ptr<DataModel::Formatter>(DataModel::Factories::Formatters::Percent.create())),
            ovi);
    }
}

// ---- Thermohead ----

bool ThermoheadWidgetTemplate::isSupported(ProxyObject& object) const {
    const u8 subtype = object.type().subtype();
    return subtype == 6 || subtype == 0;
}

void ThermoheadWidgetTemplate::commonBind(Widget* tile, ProxyObject& object, FormModel& model,
                                          bool large) const {
    // The object editor shows the name as its caption: it travels with the state, read once.
    std::string name;
    object.getText(name, VID_NAME);
    tile->setClickCommand(std::make_unique<ChangeStateCommand>(
        SingleParamState<std::string>(STATE_OBJECT_EDITOR, object.oid(), 0, 0, 0, name)));
    bindHeading(tile, object, model);
    tile->setFirstLabel((large ? pgettext("home widget", "Status") : pgettext("widget", "Status")));
    listenNumber(tile->getFirstValueLabel(), object, OUTPUT_VALUE, model,
                 std::unique_ptr<DataModel::Formatter>(DataModel::Factories::Formatters::Percent.create()));
}

// ---- Room thermostat ----

bool ThermostatWidgetTemplate::isSupported(ProxyObject& object) const {
    return hasHardwareCode(object, {"KD201", "KD203", "KD204", "KD202", "MB210"});
}

void ThermostatWidgetTemplate::commonBind(Widget* tile, ProxyObject& object, FormModel& model,
                                          bool large) const {
    setClick(tile, STATE_THERMOSTAT, object);
    bindHeading(tile, object, model);
    listenNumber(tile->getFirstValueLabel(), object, DEVICE_AIR, model);
    listenNumber(tile->getSecondValueLabel(), object, DEVICE_HUMIDITY, model);
    tile->setFirstLabel(large ? pgettext("home widget", "Air temp.") : pgettext("widget", "Air temperature"));
    tile->setSecondLabel((large ? pgettext("home widget", "Humidity") : pgettext("widget", "Humidity")));
}

// ---- External sensor ----

bool ExternalSensorWidgetTemplate::isSupported(ProxyObject& object) const {
    return hasHardwareCode(object, {"KB201"});
}

void ExternalSensorWidgetTemplate::commonBind(Widget* tile, ProxyObject& object, FormModel& model,
                                              bool large) const {
    setClick(tile, STATE_THERMOSTAT, object);
    bindHeading(tile, object, model);
    listenNumber(tile->getFirstValueLabel(), object, DEVICE_OUTDOOR, model);
    tile->setFirstLabel(
        (large ? pgettext("home widget", "Outdoor temp.") : pgettext("widget", "Outdoor temp.")));
}

// ---- Any other device ----

bool DeviceWidgetTemplate::isSupported(ProxyObject& object) const {
    return object.type().is(BT_OBJ_DEVICE);
}

std::string DeviceWidgetTemplate::softwareText(ProxyObject& object) {
    const std::optional<int> version = pt_read_int(object.oid(), DEVICE_SOFTWARE_VERSION);
    if (!version) {
        // A device that has not told its version yet has no software to name.
        return "--";
    }
    const std::array<char, CODE_LENGTH> softwareCode = code(object, DEVICE_SOFTWARE_CODE);
    std::string text = fmt("%.5s%02u", std::string(softwareCode.data(), CODE_LENGTH).c_str(),
                           static_cast<unsigned>(*version & 0xFF));
    // Builds 0 and 255 are no builds.
    if (const std::optional<int> build = pt_read_int(object.oid(), DEVICE_SOFTWARE_BUILD)) {
        const unsigned b = static_cast<unsigned>(*build & 0xFF);
        if (b >= 1 && b <= 254) {
            text += fmt("b%02u", b);
        }
    }
    return text;
}

void DeviceWidgetTemplate::commonBind(Widget* tile, ProxyObject& object, FormModel& model, bool large) const {
    setClick(tile, STATE_DEVICE, object);
    bindHeading(tile, object, model);
    tile->setFirstLabel((large ? pgettext("home widget", "Software") : pgettext("widget", "Software")));
    tile->setFirstValue(softwareText(object));
}

// ---- The factory ----

namespace {

// An object whose type the data model does not know still gets a tile from a template that takes every
// object of its type; its values are shown where the data model can read them.
const WidgetTemplate* templateFor(ProxyObject& object) {
    for (const TemplateRow& row : Templates) {
        if (object.type().is(row.type) && row.widgetTemplate->isSupported(object)) {
            return row.widgetTemplate;
        }
    }
    return nullptr;
}

} // namespace

WidgetLarge* ProxyWidgetFactory::create(const WidgetLarge::Builder& builder, ProxyObject& object,
                                        FormModel& model) {
    const WidgetTemplate* found = templateFor(object);
    return found != nullptr ? found->bind(builder.build(), object, model) : nullptr;
}

WidgetSmall* ProxyWidgetFactory::create(const WidgetSmall::Builder& builder, ProxyObject& object,
                                        FormModel& model) {
    const WidgetTemplate* found = templateFor(object);
    if (found == nullptr) {
        return nullptr;
    }
    WidgetSmall* tile = builder.build();
    found->bind(static_cast<Widget*>(tile), object, model);
    return tile;
}

} // namespace tdx
