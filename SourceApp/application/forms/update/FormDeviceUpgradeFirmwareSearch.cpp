#include "SourceApp/application/forms/update/FormDeviceUpgradeFirmwareSearch.h"

#include "Libraries/base/i18n.h"

namespace tdx {

FormDeviceUpgradeFirmwareSearch::FormDeviceUpgradeFirmwareSearch(const State& state)
    : DeviceUpgradeForm(state, false, "FormDeviceUpgradeFirmwareSearch") {
    addHeading(N_("Searching Firmwares"));
    addText(gettext("Searching for suitable firmware images on the SD card, this may take a few moments."));
    addBusyBar();
    setNavigationEnabled(false);
    setNextEnabled(false);
    finish();
}

FormDeviceUpgradeFirmwareSearch::~FormDeviceUpgradeFirmwareSearch() = default;

} // namespace tdx
