#include "SourceApp/application/forms/update/FormDeviceUpgradeWait.h"

#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/ProgressBar.h"
#include "SourceApp/application/update/UpdateProcess.h"

namespace tdx {

namespace {
// The countdown text changes once a second or so; the bar at every timer message.
constexpr int TEXT_TICKS_MASK = 0xF;

std::string countdown(uint32_t ms) {
    return fmt_gettext("Waiting for device %d second(s)", static_cast<int>(ms / 1000));
}
} // namespace

FormDeviceUpgradeWait::FormDeviceUpgradeWait(const State& state)
    : DeviceUpgradeForm(state, false, "FormDeviceUpgradeWait") {
    UpdateModel* model = requireModel();
    if (model == nullptr) {
        return;
    }
    mPeriod = model->getWaitPeriod();
    mTimer.setTimeout(mPeriod);
    mTimer.start();

    addHeading(N_("Waiting for Device"));
    addText(gettext("Device is restarting, please wait."));
    mBar = addBar();
    mBar->setProgress(100);
    mCountdown = addBarCaption(countdown(mPeriod));
    // Nothing to press: the process moves on by itself.
    setNavigationEnabled(false);
    setExitEnabled(false);
    setNextEnabled(false);
    finish();
}

FormDeviceUpgradeWait::~FormDeviceUpgradeWait() = default;

void FormDeviceUpgradeWait::handleMessage(Message* message) {
    const Message m = *message;
    DeviceUpgradeForm::handleMessage(message);
    if (m.id != MSG_TIMER || mBar == nullptr || mElapsed) {
        return;
    }
    if (mTimer.isTimedOut()) {
        mElapsed = true;
        mBar->setProgress(0);
        mCountdown->setText(gettext("Device is not responding"));
        return;
    }
    const uint32_t remaining = mTimer.getRemainingTime();
    if (mPeriod != 0) {
        mBar->setProgress(static_cast<int>(uint64_t{remaining} * 100 / mPeriod));
    }
    if ((m.p1 & TEXT_TICKS_MASK) == 0) {
        mCountdown->setText(countdown(remaining));
    }
}

} // namespace tdx
