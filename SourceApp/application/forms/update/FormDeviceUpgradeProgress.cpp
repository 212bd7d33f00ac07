#include "SourceApp/application/forms/update/FormDeviceUpgradeProgress.h"

#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/ProgressBar.h"
#include "SourceApp/application/update/UpdateProcess.h"

#include <algorithm>

namespace tdx {

namespace {
// The bar stands below the text, the percentage under the bar.
constexpr int BAR_GAP = 18;
constexpr int BAR_HEIGHT = 8;
constexpr int LABEL_GAP = 4;
constexpr int LABEL_HEIGHT = 13;

std::string percentText(uint32_t percent) {
    return fmt_gettext("Downloading %u %%", percent);
}
} // namespace

FormDeviceUpgradeProgress::FormDeviceUpgradeProgress(const State& state)
    : DeviceUpgradeForm(state, false, "FormDeviceUpgradeProgress") {
    addHeading(N_("Updating"));
    addText(gettext("Downloading firmware. Do not turn off the device or remove the SD card."));
    mBar = new ProgressBar(getContent(), 0, BAR_GAP, contentWidth(), BAR_HEIGHT);
    mPercent = new ContainedLabel(getContent(), 0, LABEL_GAP, contentWidth(), LABEL_HEIGHT, &bif_myriad12,
                                  percentText(0), HorizontalAlign::Left, VerticalAlign::Middle);
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
