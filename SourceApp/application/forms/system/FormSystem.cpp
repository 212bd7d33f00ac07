#include "SourceApp/application/forms/system/FormSystem.h"

#include "SourceApp/application/forms/installer/InstallerValues.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/App.h"
#include "SourceApp/application/commands/ChangeStateCommand.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/update/UpdateManager.h"
#include "SourceApp/application/update/remote/RemoteUpdateService.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/storage/ProxyObject.h"
#include "SourceApp/storage/ProxyStructure.h"
#include "SourceApp/storage/net/TaviProtocol.h"

namespace tdx {

namespace {

constexpr state_id_t OBJECT_OVERVIEW_STATE_ID = 71;
constexpr state_id_t ENROL_STATE_ID = 39;
constexpr state_id_t REMOVE_STATE_ID = 45;
constexpr state_id_t BACKUP_STATE_ID = 26;
constexpr state_id_t PERIPHERALS_STATE_ID = 60;
constexpr state_id_t DEVICE_INFO_STATE_ID = 23;
constexpr state_id_t PROFILE_STATE_ID = 51;
constexpr int LINK_WIDTH = 209;
constexpr int SECTION_INDENT = 10;

struct Function {
    const char* text;
    uint8_t type;
};
constexpr Function FUNCTIONS[] = {
    {N_("Domestic hot water"), BT_OBJ_DHW},
    {N_("Hot water storage tank"), BT_OBJ_DHW_TANK},
    {N_("Heating/Cooling circuits"), BT_OBJ_HCC},
    {N_("Inlet temperature controller"), BT_OBJ_ITC},
};

// The text a link shows beside its button.
constexpr int LINK_TEXT_MARGIN = NavigationLink::BUTTON_WIDTH + NavigationLink::TEXT_INSET + 6;

NavigationLink* link(NavigationLink::Builder& builder, const char* text,
                     std::unique_ptr<ICommand> press = {}) {
    builder.text = gettext(text);
    // A long name, as several functions and translations have, is shown whole in the smaller font rather
    // than cut short.
    const bool fits =
        bif_text_width(bif_myriad12.getFont(), builder.text) <= builder.width - LINK_TEXT_MARGIN;
    builder.font = fits ? &bif_myriad12 : &bif_myriad10;
    NavigationLink* made = builder.build();
    if (press) {
        made->setPressCommand(std::move(press));
    }
    return made;
}

// A section header and the hidden column of links it opens.
StackedContainer* section(StackedContainer* content, const char* title) {
    auto* header = new DropdownButton(content, 0, 0, LINK_WIDTH, 26, gettext(title));
    StackedContainer* rows = StackedContainer::Builder{.parent = content,
                                                       .x = SECTION_INDENT,
                                                       .width = LINK_WIDTH - SECTION_INDENT,
                                                       .fitHeight = true,
                                                       .direction = DIRECTION_VERTICAL,
                                                       .spacing = 5}
                                 .build();
    rows->setVisible(false);
    header->setCollapsibleContent(rows);
    return rows;
}

} // namespace

FormSystem::FormSystem(const State& state)
    : VexalHomeForm(state) {
    setName("FormSystem");
    setHelp(gettext("System"));
    selectTab(mSystemButton);

    StackedContainer* content = getContent();
    NavigationLink::Builder builder{.parent = section(content, N_("Functions")),
                                    .width = LINK_WIDTH - SECTION_INDENT,
                                    .height = 26,
                                    .buttonIcon = {res_arrow_right_double, 0, 0}};
    for (const Function& function : FUNCTIONS) {
        if (hasObjectOfType(function.type)) {
            link(builder, function.text,
                 std::make_unique<ChangeStateCommand>(OBJECT_OVERVIEW_STATE_ID, function.type));
        }
    }

    builder.parent = section(content, N_("Actions"));
    link(builder, N_("Enroll components"), std::make_unique<ChangeStateCommand>(ENROL_STATE_ID));
    link(builder, N_("Remove components"), std::make_unique<ChangeStateCommand>(REMOVE_STATE_ID));
    mUpdateLink = link(builder, N_("Update control unit"));
    link(builder, N_("Configuration backup & restore"),
         std::make_unique<ChangeStateCommand>(BACKUP_STATE_ID));

    builder.parent = content;
    builder.width = LINK_WIDTH;
    // The only link that waits for the finger to lift: the list behind it is long to build.
    link(builder, N_("Show global peripherals"))
        ->setClickCommand(std::make_unique<ChangeStateCommand>(PERIPHERALS_STATE_ID, OID_LOCATION));
    const uint32_t controlUnit = installer::controlUnit();
    link(builder, N_("System information"),
         std::make_unique<ChangeStateCommand>(DEVICE_INFO_STATE_ID, controlUnit))
        ->setEnabled(controlUnit != installer::NO_ID);
    link(builder, N_("Hardware profile"), std::make_unique<ChangeStateCommand>(PROFILE_STATE_ID));
    content->fitToContent();
}

FormSystem::~FormSystem() = default;

bool FormSystem::hasObjectOfType(uint8_t type) {
    for (const ProxyObject* object : Structure) {
        if (object->type().is(type)) {
            return true;
        }
    }
    return false;
}

void FormSystem::handleMessage(Message* message) {
    // The base and the children may consume the message; what it was is decided on a copy.
    const Message m = *message;
    VexalHomeForm::handleMessage(message);
    // A finger held on the link presses it again and again: each press asks, the update manager starts
    // one process only.
    if (!m.isPress(mUpdateLink)) {
        return;
    }
    // Before a connection there is no control unit to update: the owner is no address then.
    if (!Net::Tavi.isConnected()) {
        dbg_printf_h("FormSystem: no control unit to update while not connected");
        return;
    }
    RemoteUpdateProcessFactory factory(Net::Tavi.getOwner() & installer::ADDRESS_MASK, RUSM_MANUAL);
    getApplication()->getUpdateManager()->start(factory);
}

} // namespace tdx
