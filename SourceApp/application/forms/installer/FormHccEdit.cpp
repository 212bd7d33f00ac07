#include "SourceApp/application/forms/installer/FormHccEdit.h"

#include "Libraries/base/bytes.h"
#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/commands/ChangeStateCommand.h"
#include "SourceApp/application/commands/bindings/ProxyUpDownRow.h"
#include "SourceApp/application/commands/bindings/UnsignedValueToMultiIconIndexAdapter.h"
#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/forms/installer/FunctionEditorLayout.h"
#include "SourceApp/gui/core/state/State.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/ProxyStructure.h"
#include "SourceApp/storage/values/Catalogue.h"

namespace tdx {

namespace {

namespace General = DataModel::Implementation::General;
namespace Location = DataModel::Implementation::Location;
namespace HCC = DataModel::Implementation::HCC;

constexpr state_id_t ROOMS_STATE_ID = 63;
constexpr state_id_t HEAT_CURVE_STATE_ID = 64;
constexpr state_id_t ANALOG_STATE_ID = 69;
constexpr uint8_t SUBTYPE_ANALOG = 2;
constexpr vid_t VID_VALUE_SOURCE = 0x80A0;
constexpr int STATUS_CAPTION_WIDTH = 186;

} // namespace

oid_t FormHccEdit::findAnalogOutput(oid_t circuit) {
    for (const ProxyObject* object : Structure) {
        uint8_t source[8];
        if (object->type().is(BT_OBJ_OUTPUT, SUBTYPE_ANALOG) &&
            object->getData(source, sizeof source, VID_VALUE_SOURCE) == static_cast<int>(sizeof source) &&
            get_le32(source + 4) == circuit) {
            return object->oid();
        }
    }
    return 0;
}

FormHccEdit::FormHccEdit(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormHccEdit");
    setHelp(gettext("HCC"));
    const oid_t oid = state.getP1();
    ProxyObject* object = Structure.find(oid);
    if (object == nullptr || !object->type().is(BT_OBJ_HCC)) {
        backOrDefault();
        return;
    }
    std::string name;
    object->getText(name, VID_NAME);
    const bool curveControl = read_setting_byte(oid, HCC::CurveControl.vid) == 1;
    const unsigned curveType = read_setting_byte(oid, HCC::CurveType.vid);

    FunctionEditorLayout layout(getContent(), getModel());
    layout.addTitle(fmt_gettext("Functions | %s", name));
    layout.addNameRow(*object, name);

    auto* status = new RowContainer(getContent(), 0, 0, FunctionEditorLayout::ROW_WIDTH,
                                    FunctionEditorLayout::ROW_HEIGHT);
    new ContainedLabel(status, FunctionEditorLayout::CAPTION_X, 0, STATUS_CAPTION_WIDTH,
                       FunctionEditorLayout::ROW_HEIGHT, &bif_myriad12, gettext("Status"));
    auto* icon =
        new MultiIcon(status, 0, 0, colour::TEXT, FunctionEditorLayout::VALUE_WIDTH,
                      FunctionEditorLayout::ROW_HEIGHT, HorizontalAlign::Center, VerticalAlign::Middle);
    icon->addIcon(res_tick, 0, 0);
    icon->addIcon(res_heating_widget, 0, 0);
    icon->addIcon(res_cooling, 0, 0);
    const UnsignedOvi state65 = ovi_of(oid, HCC::State);
    getModel().bind(new UnsignedValueToMultiIconIndexAdapter(icon, state65), state65);

    StackedContainer* overview = layout.addGroup(gettext("Temperatures overview"));
    layout.addValueRow(overview, ovi_of(OID_LOCATION, General::OutdoorTemperature));
    layout.addValueRow(overview, ovi_of(OID_LOCATION, Location::FilteredOutdoorTemperature));
    layout.addValueRow(overview, ovi_of(oid, HCC::ActualInletTemperature));

    if (curveControl) {
        layout.addValueRow(overview, ovi_of(oid, HCC::DesiredInletTemperature));
        layout.addLink(gettext("See heat curve"), HEAT_CURVE_STATE_ID, oid);
        layout.addCurveGroup(oid,
                             {HCC::CurveType, HCC::Curve, HCC::CurveManual, HCC::CurveDesignInletTemperature,
                              HCC::CurveDesignOutdoorTemperature, HCC::CurveDesignRoomTemperature,
                              HCC::ParallelDisplacement, HCC::MinInletTemperature, HCC::MaxInletTemperature,
                              HCC::GainWithoutThermostat},
                             curveType);
    }

    StackedContainer* cutOff = layout.addGroup(gettext("Cut-off temperatures"));
    layout.addHeading(cutOff, gettext("Regulation cut-off"));
    layout.addUpDownRow(cutOff, ovi_of(oid, HCC::HotcoTemperature));
    layout.addSwitchRow(cutOff, ovi_of(oid, HCC::HtcoMode), gettext("High temperature cut-off"));
    layout.addUpDownRow(cutOff,
                        ovi_of(oid, curveControl ? HCC::HtcoTemperatureRelative : HCC::HtcoTemperature));

    layout.addLink(gettext("Room assignment for this circuit"), ROOMS_STATE_ID, oid);
    if (const oid_t output = findAnalogOutput(oid); output != 0) {
        std::string outputName;
        Structure.find(output)->getText(outputName, VID_NAME);
        layout.addLink(gettext("Setup analog output"),
                       std::make_unique<ChangeStateCommand>(SingleParamState<std::string>(
                           ANALOG_STATE_ID, output, 0, 0, 0,
                           fmt_gettext("System | Hardware profile | Configuration | %s", outputName))));
    }
    getContent()->fitToContent();
}

FormHccEdit::~FormHccEdit() = default;

} // namespace tdx
