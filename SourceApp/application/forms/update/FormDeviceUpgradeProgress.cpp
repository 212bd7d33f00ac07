#include "SourceApp/application/forms/update/FormDeviceUpgradeProgress.h"

#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/ProgressBar.h"
#include "SourceApp/application/update/UpdateProcess.h"

#include <algorithm>

namespace tdx {

namespace {

std::string percentText(uint32_t percent) {
    return fmt_gettext("Downloading %u %%", percent);
}
} // namespace

FormDeviceUpgradeProgress::FormDeviceUpgradeProgress(const State& state)
    : DeviceUpgradeForm(state, false, "FormDeviceUpgradeProgress") {
    addHeading(N_("Updating"));
    addText(gettext("Downloading firmware. Do not turn off the device or remove the SD card."));
    mBar = addBar();
    mPercent = addBarCaption(percentText(0));
    setNextEnabled(false);
    setNavigationEnabled(false);
    setExitEnabled(false);
    finish();
}

FormDeviceUpgradeProgress::~FormDeviceUpgradeProgress() = default;

uint32_t FormDeviceUpgradeProgress::percent(uint32_t progress, uint32_t max) {
    // 64 bits: progress x 100 outgrows 32 bits from about 43 MB on. A count past its maximum reads as done.
    const uint64_t scaled = uint64_t{progress} * 100 / std::max<uint32_t>(max, 1);
    return static_cast<uint32_t>(std::min<uint64_t>(scaled, 100));
}

void FormDeviceUpgradeProgress::handleMessage(Message* message) {
    const Message m = *message;
    DeviceUpgradeForm::handleMessage(message);
    if (m.id != MSG_TIMER) {
        return;
    }
    UpdateProcess* running = process();
    if (running == nullptr) {
        return;
    }
    const UpdateModel& model = *running->getModel();
    const uint32_t done = percent(model.getProgress(), model.getProgressMax());
    mBar->setProgress(static_cast<int>(done));
    mPercent->setText(percentText(done));
}

} // namespace tdx
