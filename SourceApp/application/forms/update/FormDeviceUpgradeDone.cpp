#include "SourceApp/application/forms/update/FormDeviceUpgradeDone.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/update/UpdateProcess.h"

namespace tdx {

namespace {
const char* heading(UpdateResultType::Enum type) {
    switch (type) {
        case UpdateResultType::Aborted:
            return N_("Update Aborted");
        case UpdateResultType::Failed:
            return N_("Update Failed");
        default:
            return N_("Update Finished");
    }
}
} // namespace

FormDeviceUpgradeDone::FormDeviceUpgradeDone(const State& state)
    : DeviceUpgradeForm(state, false, "FormDeviceUpgradeDone") {
    UpdateModel* model = requireModel();
    if (model == nullptr) {
        return;
    }
    const UpdateResult& result = model->getResult();
    addHeading(heading(result.getResultType()));
    // The process translated its message when it set it.
    addText(result.getResultMessage());
    mNextButton->setText(gettext("Finish"));
    setNavigationEnabled(false);
    finish();
}

FormDeviceUpgradeDone::~FormDeviceUpgradeDone() = default;

void FormDeviceUpgradeDone::handleMessage(Message* message) {
    const Message m = *message;
    DeviceUpgradeForm::handleMessage(message);
    if (m.isClick(mNextButton)) {
        if (UpdateController* running = controller()) {
            running->doConfirmExit();
        }
    }
}

} // namespace tdx
