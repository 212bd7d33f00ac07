#include "SourceApp/application/forms/programs/FormLocation.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/commands/bindings/ProxyUpDownRow.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/application/controls/factories/ProxyDropdownFactory.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/values/Catalogue.h"

#include <algorithm>
#include <type_traits>

namespace tdx {

namespace {

constexpr int ROW_WIDTH = 277;
constexpr int SETTINGS_WIDTH = 267;

} // namespace

const char* FormLocation::getHcSwitchingText(unsigned char mode) {
    switch (mode) {
        case 0:
            return gettext("Switching between Winter and Summer mode is not available.");
        case 1:
            return gettext("User manually switches between Winter and Summer mode.");
        case 2:
            return gettext(
                "Switch between Winter and Summer mode is done automatically according to calendar.");
        case 3:
            return gettext("Switch between Winter and Summer mode is done automatically according to set "
                           "temperature and outdoor temperature.");
        case 4:
            return gettext("User manually switches between Winter and Summer mode by using external switch.");
        default:
            return gettext("Information about switching between Winter and Summer mode is not available.");
    }
}

FormLocation::FormLocation(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormLocation");
    namespace L = DataModel::Implementation::Location;
    const unsigned switching =
        static_cast<unsigned>(pt_read_int(OID_LOCATION, L::HcModeSwitching.vid).value_or(NOT_AVAILABLE));
    StackedContainer* content = getContent();
    new ContainedLabel(content, 0, 0, content->getWidth(), 12, &bif_myriad12,
                       gettext("Programs | Winter & Summer mode"), HorizontalAlign::Center);
    if (EditableDropdownRow* mode = ProxyDropdownFactory::create(
            content, EnumOvi(OID_LOCATION, L::HcMode.vid, L::HcMode.vtype, &L::HcMode))) {
        mode->setEnabled(switching == MANUAL);
    }
    new TextFrame(content, 0, 0, ROW_WIDTH, 0, &bif_myriad12,
                  getHcSwitchingText(static_cast<unsigned char>(std::min(switching, 0xFFu))));
    if (switching != NOT_AVAILABLE) {
        auto* header = new DropdownButton(content, 0, 0, ROW_WIDTH, 26, gettext("Cooling settings"));
        StackedContainer* settings = StackedContainer::Builder{.parent = content,
                                                               .x = 10,
                                                               .width = SETTINGS_WIDTH,
                                                               .fitHeight = true,
                                                               .direction = DIRECTION_VERTICAL,
                                                               .spacing = 5}
                                         .build();
        settings->setVisible(false);
        FormModel& model = getModel();
        auto row = [&](const auto& d, const char* title) {
            using Handle = std::conditional_t<
                std::is_same_v<std::decay_t<decltype(d)>, DataModel::Descriptor::VidSignedNumber>, SignedOvi,
                UnsignedOvi>;
            new ProxyUpDownRow(settings, 0, 0, SETTINGS_WIDTH, 26, Handle(OID_LOCATION, d.vid, d.vtype, &d),
                               model, gettext(title));
        };
        row(L::HcModeDewPointOffset, N_("Room dew point band"));
        if (switching == BY_TEMPERATURE) {
            new ContainedLabel(settings, 0, 0, SETTINGS_WIDTH, 26, &bif_myriad12_bold,
                               gettext("H/C change-over"));
            row(L::HcCoolingMinimumOutsideTemperature, N_("Minimum outside temperature"));
            row(L::HcModeSwitchCooldown, N_("Switching cooldown"));
            row(L::HcModeDeadband, N_("Deadband temperature"));
        }
        settings->fitToContent();
        header->setCollapsibleContent(settings);
    }
    content->fitToContent();
}

FormLocation::~FormLocation() = default;

} // namespace tdx
