#include "SourceApp/application/forms/update/FormDeviceUpgradeUnidentified.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/update/UpdateProcess.h"

namespace tdx {

FormDeviceUpgradeUnidentified::FormDeviceUpgradeUnidentified(const State& state)
    : DeviceUpgradeForm(state, true, "FormDeviceUpgradeUnidentified") {
    addHeading(N_("Waiting for Device"));
    addText(gettext("Waiting for information about device. This should only take a few moments."));
    addBusyBar();
    setNextEnabled(false);
    finish();
}

FormDeviceUpgradeUnidentified::~FormDeviceUpgradeUnidentified() = default;

void FormDeviceUpgradeUnidentified::handleMessage(Message* message) {
    const Message m = *message;
    DeviceUpgradeForm::handleMessage(message);
    if (m.isClick(mExitButton)) {
        abortProcess();
    }
}

} // namespace tdx
