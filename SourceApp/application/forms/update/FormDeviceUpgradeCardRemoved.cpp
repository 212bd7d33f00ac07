#include "SourceApp/application/forms/update/FormDeviceUpgradeCardRemoved.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/update/UpdateProcess.h"

namespace tdx {

FormDeviceUpgradeCardRemoved::FormDeviceUpgradeCardRemoved(const State& state)
    : DeviceUpgradeForm(state, true, "FormDeviceUpgradeCardRemoved") {
    UpdateModel* model = requireModel();
    if (model == nullptr) {
        return;
    }
    addHeading(N_("Insert an SD card"));
    addText(gettext("Waiting for an SD card to be inserted."));
    addBusyBar();
    mBackButton->setEnabled(false);
    mBackButton->setFaceColor(0xCCCCCC);
    setNextEnabled(false);
    if (!model->isCancellable()) {
        setNavigationEnabled(false);
        setExitEnabled(false);
    }
    finish();
}

FormDeviceUpgradeCardRemoved::~FormDeviceUpgradeCardRemoved() = default;

void FormDeviceUpgradeCardRemoved::handleMessage(Message* message) {
    const Message m = *message;
    DeviceUpgradeForm::handleMessage(message);
    if (m.isClick(mExitButton)) {
        abortProcess();
    }
}

} // namespace tdx
