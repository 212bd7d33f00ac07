#include "SourceApp/application/forms/update/FormDeviceUpgradeInfo.h"

#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/update/UpdateProcess.h"
#include "SourceApp/storage/dev_descriptor.h"

namespace tdx {

FormDeviceUpgradeInfo::FormDeviceUpgradeInfo(const State& state)
    : DeviceUpgradeForm(state, true, "FormDeviceUpgradeInfo") {
    setHelp(gettext("Remote Device Update"));
    UpdateModel* model = requireModel();
    if (model == nullptr) {
        return;
    }
    addHeading(N_("Device Update"));
    addText(gettext("You are about to update following device."));

    bl_dev_info info{};
    if (!model->getDeviceInfo(&info)) {
        // The process raises this step only once it knows the device; without it there is nothing to show.
        backOrDefault();
        return;
    }
    const dev_descriptor* descriptor = nullptr;
    if (dev_get_descriptor(&descriptor, info.hw_code, sizeof info.hw_code, info.sw_code, sizeof info.sw_code,
                           info.hw_version, info.sw_major) == 0) {
        addInfoRow(N_("Product name"), descriptor->product);
    } else {
        addInfoRow(N_("Hardware name"), fmt("%.5s", info.hw_code));
    }
    addInfoRow(N_("Current software"), info.sw_major == 0 ? std::string(gettext("Corrupted"))
                                                          : fmt("%.5s%02u", info.sw_code, info.sw_major));
    if (info.sw_minor != 0) {
        addInfoRow(N_("Current software minor version"), fmt("%u", info.sw_minor));
    }
    addInfoRow(N_("Hardware"), fmt("%.5s%02u", info.hw_code, info.hw_version));
    addText(gettext("Insert an SD card and press \"Next\" to find suitable software packages located on the "
                    "card."));
    if (!model->isCancellable()) {
        setNavigationEnabled(false);
        setExitEnabled(false);
    }
    finish();
}

FormDeviceUpgradeInfo::~FormDeviceUpgradeInfo() = default;

void FormDeviceUpgradeInfo::handleMessage(Message* message) {
    const Message m = *message;
    DeviceUpgradeForm::handleMessage(message);
    const bool cancel = m.isClick(mExitButton);
    if (!cancel && !m.isClick(mNextButton)) {
        return;
    }
    if (UpdateController* running = controller()) {
        if (cancel) {
            running->doAbort();
        } else {
            running->doSearchFirmwares();
        }
    }
}

} // namespace tdx
