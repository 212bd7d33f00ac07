#include "SourceApp/application/controls/factories/ProxyDropdownFactory.h"

#include "Libraries/base/i18n.h"
#include "Libraries/base/os.h"
#include "SourceApp/application/commands/bindings/ProxyEditorHandlers.h"
#include "SourceApp/application/controls/DropdownItem.h"
#include "SourceApp/application/controls/DropdownMenu.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/storage/ProxyStructure.h"

#include <memory>
#include <vector>

namespace tdx {

namespace {

constexpr unsigned MENU_WIDTH = 81;
constexpr uint16_t NO_OPTION = 0xFFFF;

} // namespace

EditableDropdownRow* ProxyDropdownFactory::create(Container* parent, const EnumOvi& ovi) {
    OS_ASSERT(ovi.descriptor);
    if (Structure.find(ovi.oid) == nullptr) {
        return nullptr;
    }
    int stored = 0;
    const unsigned current = pt_get_int(&stored, ovi.oid, ovi.vid) == PT_OK ? stored & 0xFFFF : NO_OPTION;

    std::vector<DropdownItem*> items;
    uint16_t selected = NO_OPTION;
    const DataModel::Descriptor::VidEnum& d = *ovi.descriptor;
    for (uint16_t i = 0; i < d.optionCount; ++i) {
        items.push_back(new DropdownItemImpl(gettext(d.options[i].text), d.options[i].value));
        if (d.options[i].value == current) {
            selected = i; // of equal options the later one is shown
        }
    }
    // Wider where an option would not read whole in the usual list.
    auto* row = new EditableDropdownRow(parent, 0, 0, parent->getWidth(), gettext(d.name),
                                        DropdownMenu::widthToHold(items, MENU_WIDTH));
    row->setOnItemClickCommand(std::make_unique<ProxyDropdownEditorHandler>(row, ovi));
    row->addItems(items.cbegin(), items.cend());
    row->showItem(selected);
    return row;
}

} // namespace tdx
