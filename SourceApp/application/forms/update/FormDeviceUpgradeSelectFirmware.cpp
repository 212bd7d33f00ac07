#include "SourceApp/application/forms/update/FormDeviceUpgradeSelectFirmware.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/update/UpdateProcess.h"

namespace tdx {

namespace {
constexpr state_id_t CONFIRM_STATE_ID = 32;
constexpr int ENTRY_HEIGHT = 23;
} // namespace

FormDeviceUpgradeSelectFirmware::FormDeviceUpgradeSelectFirmware(const State& state)
    : DeviceUpgradeForm(state, true, "FormDeviceUpgradeSelectFirmware") {
    UpdateModel* model = requireModel();
    if (model == nullptr) {
        return;
    }
    addHeading(N_("Searching Firmwares"));
    if (model->begin() == model->end()) {
        addText(
            gettext("No suitable firmware was found on the SD card. Insert an SD card with suitable firmware "
                    "to continue."));
    } else {
        addText(gettext("Select file and click on the \"Next\" button to show more information."));
        for (auto it = model->begin(); it != model->end(); ++it) {
            auto* entry =
                new CheckButton(getContent(), 0, 0, contentWidth(), ENTRY_HEIGHT, packageName(it->fileName));
            entry->tag = it->index;
            mGroup.append(entry);
        }
    }
    setNextEnabled(false);
    if (!model->isCancellable()) {
        setExitEnabled(false);
    }
    finish();
}

FormDeviceUpgradeSelectFirmware::~FormDeviceUpgradeSelectFirmware() = default;

void FormDeviceUpgradeSelectFirmware::handleMessage(Message* message) {
    const Message m = *message;
    DeviceUpgradeForm::handleMessage(message);
    if (m.isClick(mExitButton)) {
        abortProcess();
    } else if (m.isClick(mNextButton)) {
        if (const Checkbox* chosen = mGroup.getSelected(); chosen != nullptr && process() != nullptr) {
            changeState(static_cast<int>(CONFIRM_STATE_ID), static_cast<int>(chosen->tag), 0, 0, 0);
        }
    } else if (m.id == MSG_TIMER && !mNextButton->isEnabled() && mGroup.hasSelected()) {
        setNextEnabled(true);
    }
}

} // namespace tdx
