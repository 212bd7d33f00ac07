#include "SourceApp/application/forms/installer/FormItcEdit.h"

#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/commands/bindings/ProxyUpDownRow.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/Popup.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/application/forms/installer/FunctionEditorLayout.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/ProxyStructure.h"
#include "SourceApp/storage/values/Catalogue.h"

namespace tdx {

namespace {

namespace General = DataModel::Implementation::General;
namespace Location = DataModel::Implementation::Location;
namespace ITC = DataModel::Implementation::ITC;

constexpr state_id_t HEAT_CURVE_STATE_ID = 64;
constexpr state_id_t ROOMS_STATE_ID = 63;

enum LimiterMode : unsigned { MINIMUM = 1, MAXIMUM = 2 };

} // namespace

FormItcEdit::FormItcEdit(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormItcEdit");
    setHelp(gettext("ITC"));
    const oid_t oid = state.getP1();
    ProxyObject* object = Structure.find(oid);
    if (object == nullptr || !object->type().is(BT_OBJ_ITC)) {
        backOrDefault();
        return;
    }
    std::string name;
    object->getText(name, VID_NAME);
    const unsigned curveType = read_setting_byte(oid, ITC::CurveType.vid);
    const unsigned limiterMode = read_setting_byte(oid, ITC::ReturnTemperatureLimiterMode.vid);

    FunctionEditorLayout layout(getContent(), getModel());
    layout.addTitle(fmt_gettext("Functions | %s", name));
    layout.addNameRow(*object, name);

    StackedContainer* overview = layout.addGroup(gettext("Temperatures overview"));
    layout.addValueRow(overview, ovi_of(OID_LOCATION, General::OutdoorTemperature));
    layout.addValueRow(overview, ovi_of(OID_LOCATION, Location::FilteredOutdoorTemperature));
    layout.addValueRow(overview, ovi_of(oid, ITC::ActualInletTemperature));
    layout.addValueRow(overview, ovi_of(oid, ITC::ActualReturnTemperature));
    layout.addValueRow(overview, ovi_of(oid, ITC::DesiredInletTemperature));

    layout.addLink(gettext("See heat curve"), HEAT_CURVE_STATE_ID, oid);

    layout.addCurveGroup(oid,
                         {ITC::CurveType, ITC::Curve, ITC::CurveManual, ITC::CurveDesignInletTemperature,
                          ITC::CurveDesignOutdoorTemperature, ITC::CurveDesignRoomTemperature,
                          ITC::ParallelDisplacement, ITC::MinInletTemperature, ITC::MaxInletTemperature,
                          ITC::GainWithoutThermostat},
                         curveType);

    if (object->hasValue(ITC::ReturnTemperatureLimiterMode.vid)) {
        StackedContainer* limiter = layout.addGroup(gettext("Return temperature limiter"));
        FunctionEditorLayout::OptionRows limiterRows(limiter, ovi_of(oid, ITC::ReturnTemperatureLimiterMode),
                                                     limiterMode);
        limiterRows.add(layout.addUpDownRow(limiter, ovi_of(oid, ITC::MaxReturnTemperature)), MAXIMUM);
        limiterRows.add(layout.addUpDownRow(limiter, ovi_of(oid, ITC::MinReturnTemperature)), MINIMUM);
        limiterRows.add(layout.addUpDownRow(limiter, ovi_of(oid, ITC::GainMaxReturnTemperature)), MAXIMUM);
        limiterRows.add(layout.addUpDownRow(limiter, ovi_of(oid, ITC::GainMinReturnTemperature)), MINIMUM);
        layout.addSwitchRow(limiter, ovi_of(oid, ITC::PriorityOverInletTemperature),
                            gettext("Priority over inlet temperature"));
    }

    StackedContainer* optimisation = layout.addGroup(gettext("Optimization"));
    layout.addSwitchRow(optimisation, ovi_of(oid, ITC::BoostMode), gettext("Boost"));
    layout.addUpDownRow(optimisation, ovi_of(oid, ITC::BoostPercent));
    layout.addSwitchRow(optimisation, ovi_of(oid, ITC::RampingMode), gettext("Ramping"));
    layout.addUpDownRow(optimisation, ovi_of(oid, ITC::RampingTime));

    StackedContainer* safety = layout.addGroup(gettext("Safety & Cut-off temperatures"));
    layout.addUpDownRow(safety, ovi_of(oid, ITC::FrostProtectionTemperature));
    layout.addHeading(safety, gettext("Regulation cut-off"));
    layout.addUpDownRow(safety, ovi_of(oid, ITC::HotcoTemperature));
    layout.addUpDownRow(safety, ovi_of(oid, ITC::HtcoTemperature));

    StackedContainer* regulator = layout.addGroup(gettext("Regulator settings"));
    new TextFrame(
        regulator, 0, 0, FunctionEditorLayout::GROUP_ROW_WIDTH, 0, &bif_myriad12,
        gettext("We highly recommend not to change the settings below unless you are completely sure "
                "about the parameters."),
        VerticalAlign::Top, FunctionEditorLayout::NOTE_COLOUR);
    layout.addUpDownRow(regulator, ovi_of(oid, ITC::RegulatorPvalue));
    layout.addUpDownRow(regulator, ovi_of(oid, ITC::RegulatorIvalue));
    layout.addUpDownRow(regulator, ovi_of(oid, ITC::RegulatorHysteresis));

    layout.addLink(gettext("Room assignment for this loop"), ROOMS_STATE_ID, oid);
    layout.addHeading(getContent(), gettext("Configuration reset"));
    mResetLink = layout.addLink(gettext("Reset parameters to defaults"), nullptr);
    mResetLink->setEnabled(false);
    getContent()->fitToContent();
}

FormItcEdit::~FormItcEdit() = default;

void FormItcEdit::handleMessage(Message* message) {
    const Message m = *message;
    VexalStackedContentForm::handleMessage(message);
    if (mResetLink != nullptr && m.isClick(mResetLink)) {
        Popup::create(gettext("Attention"), gettext("Reset parameters"),
                      gettext("Do you want to reset settings of this ITC loop to defaults?"),
                      PopupButtons::OkCancel);
    }
}

} // namespace tdx
