#include "SourceApp/application/forms/system/FormDeviceInfo.h"

#include "Libraries/base/fmt.h"
#include "Libraries/misc/text.h"
#include "SourceApp/application/commands/bindings/ProxyEditorHandlers.h"
#include "SourceApp/application/commands/bindings/ValueAdapters.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/DataModel.h"
#include "SourceApp/storage/ProxyObject.h"

#include <optional>

namespace tdx {

namespace {

constexpr vid_t VID_SERIAL_NUMBER = 0x800C;
constexpr vid_t VID_SERIAL_PREFIX = 0x80DF;
constexpr uint32_t NO_SERIAL = 0xFFFFFFFFu;

std::string text(const ProxyObject& object, vid_t vid) {
    std::string value;
    object.getText(value, vid);
    return value;
}

// A device whose serial number cannot be read has none to show: no made-up zero.
std::string serialText(const ProxyObject& object) {
    const std::optional<int> serial = pt_read_int(object.oid(), VID_SERIAL_NUMBER);
    if (!serial || static_cast<uint32_t>(*serial) == NO_SERIAL) {
        return NO_VALUE_TEXT;
    }
    const auto prefix = static_cast<unsigned short>(pt_read_int(object.oid(), VID_SERIAL_PREFIX).value_or(0));
    return format_serial_number(prefix, static_cast<uint32_t>(*serial));
}

void addInfoRow(Container* content, const char* caption, int captionWidth, const std::string& value) {
    auto* row = new RowContainer(content, 0, 0, 277, 26);
    new ContainedLabel(row, 9, 0, captionWidth, 26, &bif_myriad12, gettext(caption));
    new ContainedLabel(row, 0, 0, 276 - 9 - captionWidth, 26, &bif_myriad12, value, HorizontalAlign::Center);
}

} // namespace

FormDeviceInfo::FormDeviceInfo(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormDeviceInfo");
    setHelp(gettext("Device information"));
    const ProxyObject* device = Structure.find(state.getP1());
    if (device == nullptr) {
        backOrDefault();
        return;
    }
    const std::string name = text(*device, VID_NAME);
    StackedContainer* content = getContent();
    // A device without a name (the display's own has none) is titled without a separator before nothing.
    new ContainedLabel(content, 0, 0, content->getWidth(), 12, &bif_myriad12,
                       name.empty() ? std::string(gettext("Device information"))
                                    : fmt_gettext("%s | Device information", name),
                       HorizontalAlign::Center);

    bind_name_row(new EditableStringRow(content, 0, 0, 277, gettext("Name"), name), *device);
    addInfoRow(content, N_("Software"), 186, device_software_text(*device));
    addInfoRow(content, N_("Hardware"), 186, device_hardware_text(*device));
    addInfoRow(content, N_("Serial number"), 116, serialText(*device));
    content->fitToContent();
}

FormDeviceInfo::~FormDeviceInfo() = default;

} // namespace tdx
