#include "SourceApp/application/forms/objects/FormThermoheadOverview.h"

#include "Libraries/base/dbg.h"
#include "SourceApp/application/controls/Widget.h"
#include "SourceApp/application/controls/factories/ProxyWidgetFactory.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/ProxyStructure.h"

namespace tdx {

namespace {

constexpr int OUTPUT_SLOTS = 64;
constexpr unsigned LIST_BYTES = 256;
constexpr uint8_t SUBTYPE_THERMOHEAD = 6;
constexpr uint8_t SUBTYPE_UNSPECIFIED = 0;

} // namespace

FormThermoheadOverview::FormThermoheadOverview(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormThermoheadOverview");
    ProxyObject* room = Structure.find(state.getP1());
    if (room == nullptr || !room->type().is(BT_OBJ_ROOM)) {
        backOrDefault();
        return;
    }
    updateObjects(*room);
    getContent()->fitToContent();
}

FormThermoheadOverview::~FormThermoheadOverview() = default;

void FormThermoheadOverview::updateObjects(ProxyObject& room) {
    uint8_t entries[LIST_BYTES];
    // A list of exactly 256 bytes is read as 256 entries: an 8-bit count would wrap to none and hide every
    // thermohead of a full list.
    const int count = pt_get_data(entries, sizeof entries, room.oid(), VID_THERMOHEADS);
    const WidgetSmall::Builder builder{.mParent = getContent()};
    for (int i = 0; i < count; ++i) {
        // Each entry is a signed byte indexing the output list; the list has 64 slots.
        const int index = static_cast<int8_t>(entries[i]);
        if (index < 0 || index >= OUTPUT_SLOTS) {
            dbg_printf_h("FormThermoheadOverview: entry %d of room %08X indexes no output (%d)", i,
                         room.oid(), index);
            continue;
        }
        ProxyObject* output = Structure.find(Structure.getOutputAtIndex(index));
        if (output == nullptr || !(output->type().is(BT_OBJ_OUTPUT, SUBTYPE_THERMOHEAD) ||
                                   output->type().is(BT_OBJ_OUTPUT, SUBTYPE_UNSPECIFIED))) {
            continue;
        }
        if (Widget* tile = ProxyWidgetFactory::create(builder, *output, getModel())) {
            tile->tag = output->oid();
        }
    }
    getContent()->fitToContent();
}

} // namespace tdx
