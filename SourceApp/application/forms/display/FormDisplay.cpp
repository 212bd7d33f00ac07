#include "SourceApp/application/forms/display/FormDisplay.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/App.h"
#include "SourceApp/application/OwnDevice.h"
#include "SourceApp/application/commands/ChangeStateCommand.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/Popup.h"
#include "SourceApp/application/update/SelfUpdateService.h"
#include "SourceApp/application/update/UpdateManager.h"
#include "SourceApp/system/SystemMgr.h"
#include "SourceApp/system/config.h"

namespace tdx {

namespace {

constexpr state_id_t SCREEN_SETTINGS_STATE_ID = 21;
constexpr state_id_t DEVICE_INFO_STATE_ID = 23;
constexpr state_id_t DATE_TIME_STATE_ID = 24;
constexpr state_id_t LANGUAGE_STATE_ID = 25;
constexpr int LINK_WIDTH = 209;
constexpr int ACTIONS_INDENT = 10;

NavigationLink* link(NavigationLink::Builder& builder, const char* text,
                     std::unique_ptr<ICommand> press = {}) {
    builder.text = gettext(text);
    NavigationLink* made = builder.build();
    if (press) {
        made->setPressCommand(std::move(press));
    }
    return made;
}

} // namespace

FormDisplay::FormDisplay(const State& state)
    : VexalHomeForm(state) {
    setName("FormDisplay");
    setHelp(gettext("General"));
    selectTab(mDisplayButton);

    StackedContainer* content = getContent();
    NavigationLink::Builder builder{
        .parent = content, .width = LINK_WIDTH, .height = 26, .buttonIcon = {res_arrow_right_double, 0, 0}};
    link(builder, N_("Screen settings"), std::make_unique<ChangeStateCommand>(SCREEN_SETTINGS_STATE_ID));
    // The display's own device object.
    link(builder, N_("Device information"),
         std::make_unique<ChangeStateCommand>(DEVICE_INFO_STATE_ID, own_network_address()));
    link(builder, N_("Date & Time"), std::make_unique<ChangeStateCommand>(DATE_TIME_STATE_ID));
    link(builder, N_("Languages & Country"), std::make_unique<ChangeStateCommand>(LANGUAGE_STATE_ID));
    mUpdateLink = link(builder, N_("Update software"));

    auto* actionsHeader = new DropdownButton(content, 0, 0, LINK_WIDTH, 26, gettext("Actions"));
    // Indented and as wide as the header, so that its right edge lies 10 pixels beyond the content's; it
    // paints nothing of its own there, and its links end with the header.
    StackedContainer* actions = StackedContainer::Builder{.parent = content,
                                                          .x = ACTIONS_INDENT,
                                                          .width = LINK_WIDTH,
                                                          .fitHeight = true,
                                                          .direction = DIRECTION_VERTICAL,
                                                          .spacing = 5}
                                    .build();
    actions->setVisible(false);
    builder.parent = actions;
    builder.width = LINK_WIDTH - ACTIONS_INDENT;
    mRestartLink = link(builder, N_("Restart display"));
    mResetLink = link(builder, N_("Reset to factory defaults"));
    actionsHeader->setCollapsibleContent(actions);
    content->fitToContent();
}

FormDisplay::~FormDisplay() = default;

void FormDisplay::handleMessage(Message* message) {
    // The base and the children may consume the message; what it was is decided on a copy.
    const Message m = *message;
    VexalHomeForm::handleMessage(message);
    if (m.isClick(mResetLink)) {
        mPendingAction = FactoryReset;
        Popup::create(gettext("Attention"), gettext("Reset to factory defaults"),
                      gettext("Display configuration will be set to defaults and setup wizard will start. Do "
                              "you want to continue?"),
                      PopupButtons::OkCancel);
    } else if (m.isPress(mRestartLink)) {
        // A finger held on the link presses it again and again: the question is asked once, and again only
        // after it was answered.
        if (mPendingAction != None) {
            return;
        }
        mPendingAction = Restart;
        Popup::create(gettext("Attention"), gettext("Restart"), gettext("Do you want to restart system?"),
                      PopupButtons::OkCancel);
    } else if (m.id == MSG_POPUP_RESULT) {
        // Whatever the answer, the question is closed; only OK on a question asked here acts.
        const PendingAction action = mPendingAction;
        mPendingAction = None;
        if ((m.p1 & 0xFF) != Popup::RESULT_OK || action == None) {
            return;
        }
        if (action == FactoryReset) {
            config_defaults();
        }
        getApplication()->getSystemManager()->systemRestart();
    } else if (m.isPress(mUpdateLink)) {
        // Every press asks, a held one too; the update manager starts one process only.
        SelfUpdateProcessFactory factory(*getApplication()->getTaskPool());
        getApplication()->getUpdateManager()->start(factory);
    }
}

} // namespace tdx
