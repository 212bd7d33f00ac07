#include "SourceApp/application/forms/room/FormRoomThermostat.h"

#include "SourceApp/application/forms/room/ScreenTitle.h"

#include "Libraries/base/fmt.h"
#include "Libraries/misc/text.h"
#include "SourceApp/application/commands/bindings/FormModel.h"
#include "SourceApp/application/commands/bindings/ProxyEditorHandlers.h"
#include "SourceApp/application/commands/bindings/ValueAdapters.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/DataModel.h"
#include "SourceApp/storage/ProxyObject.h"

#include <memory>
#include <optional>

namespace tdx {

namespace {

constexpr vid_t VID_ASSOCIATED = 0x80DE;
constexpr unsigned short PERIPHERAL_PRODUCT = 1530;
constexpr uint32_t ADDRESS_MASK = 0x00FFFFFFu;
constexpr int WIDTH = 277;
constexpr int INNER_WIDTH = 267;
constexpr int ROW_HEIGHT = 26;
constexpr int INDENT = 9;

// The measurements a device may offer, in the order they are shown.
constexpr struct {
    const char* caption;
    vid_t vid;
} MEASUREMENTS[] = {
    {N_("Outdoor temperature"), 0x0036}, {N_("Air temperature"), 0x000C},
    {N_("Floor temperature"), 0x000D},   {N_("Humidity"), 0x0002},
    {N_("Battery level"), 0x002C},
};

std::string associatedName(const ProxyObject& device) {
    std::string name = NO_VALUE_TEXT;
    const std::optional<int> id = pt_read_int(device.oid(), VID_ASSOCIATED);
    if (!id || *id == 0 || static_cast<uint32_t>(*id) == 0xFFFFFFFFu) {
        return name;
    }
    if (const ProxyObject* associated = Structure.find(static_cast<oid_t>(*id))) {
        associated->getText(name, VID_NAME);
    }
    return name;
}

ContainedLabel* addRow(Container* parent, int width, int captionWidth, const char* caption,
                       const std::string& value) {
    auto* row = new RowContainer(parent, 0, 0, width, ROW_HEIGHT);
    new ContainedLabel(row, INDENT, 0, captionWidth, ROW_HEIGHT, &bif_myriad12, gettext(caption));
    return new ContainedLabel(row, 0, 0, width - INDENT - captionWidth - 1, ROW_HEIGHT, &bif_myriad12, value,
                              HorizontalAlign::Center);
}

} // namespace

FormRoomThermostat::FormRoomThermostat(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormRoomThermostat");
    const ProxyObject* device = Structure.find(state.getP1());
    if (device == nullptr) {
        backOrDefault();
        return;
    }
    std::string name = NO_VALUE_TEXT;
    device->getText(name, VID_NAME);
    const std::string associated = associatedName(*device);
    StackedContainer* content = getContent();
    add_screen_title(content, fmt_gettext("%s | Peripherals | %s", associated, name));

    const DataModel::ObjectTemplate* deviceTemplate = device->getTemplate();
    bind_name_row(new EditableStringRow(content, 0, 0, WIDTH, gettext("Name"), name), *device);
    addRow(content, WIDTH, 145, N_("Associated to"), associated);

    for (const auto& m : MEASUREMENTS) {
        if (!device->hasValue(m.vid)) {
            continue;
        }
        // The device offers the value: its row stands, with "--" where the data model has no typed value.
        ContainedLabel* value = addRow(content, WIDTH, 186, m.caption, NO_VALUE_TEXT);
        if (deviceTemplate == nullptr) {
            continue;
        }
        if (const auto* s = deviceTemplate->find<DataModel::SignedValue>(m.vid)) {
            getModel().addListener(
                std::make_unique<DeviceNumberToStringListener>(value, s->ovi(device->oid()), ""));
        } else if (const auto* u = deviceTemplate->find<DataModel::UnsignedValue>(m.vid)) {
            getModel().addListener(
                std::make_unique<DeviceNumberToStringListener>(value, u->ovi(device->oid()), ""));
        }
    }

    auto* more = new DropdownButton(content, 0, 0, WIDTH, ROW_HEIGHT, gettext("More info and settings"));
    StackedContainer* details = StackedContainer::Builder{.parent = content,
                                                          .x = 10,
                                                          .width = INNER_WIDTH,
                                                          .fitHeight = true,
                                                          .direction = DIRECTION_VERTICAL,
                                                          .spacing = 5}
                                    .build();
    addRow(details, INNER_WIDTH, 116, N_("Serial number"),
           format_serial_number(PERIPHERAL_PRODUCT, device->oid() & ADDRESS_MASK));
    addRow(details, INNER_WIDTH, 116, N_("Software"), device_software_text(*device));
    addRow(details, INNER_WIDTH, 116, N_("Hardware"), device_hardware_text(*device));
    details->fitToContent();
    details->setVisible(false);
    more->setCollapsibleContent(details);
    content->fitToContent();
}

FormRoomThermostat::~FormRoomThermostat() = default;

} // namespace tdx
