#include "SourceApp/application/forms/update/FormDeviceUpgradeWait.h"

#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/ProgressBar.h"
#include "SourceApp/application/update/UpdateProcess.h"

#include <algorithm>
#include <optional>

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
    // A process that knows how long it still waits is followed: its waits pause while the network is down,
    // which a countdown of its own cannot know.
    mFollowsProcess = model->getWaitLeft().has_value();
    const uint32_t left = mFollowsProcess ? *model->getWaitLeft() : mPeriod;
    mScale = left;

    addHeading(N_("Waiting for Device"));
    addText(gettext("Device is restarting, please wait."));
    mBar = addBar();
    mBar->setProgress(100);
    mCountdown = addBarCaption(countdown(left));
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
    std::optional<uint32_t> remaining;
    if (!mFollowsProcess) {
        remaining = mTimer.isTimedOut() ? 0 : mTimer.getRemainingTime();
    } else if (UpdateProcess* running = process()) {
        remaining = running->getModel()->getWaitLeft();
    }
    // A process between two supervised steps tells nothing: the screen stays as it is.
    if (!remaining) {
        return;
    }
    if (*remaining == 0) {
        mElapsed = true;
        mBar->setProgress(0);
        mCountdown->setText(gettext("Device is not responding"));
        return;
    }
    // The process's wait grows when the network goes down: the bar then runs from full again.
    mScale = std::max(mScale, *remaining);
    if (mScale != 0) {
        mBar->setProgress(static_cast<int>(uint64_t{*remaining} * 100 / mScale));
    }
    if ((m.p1 & TEXT_TICKS_MASK) == 0) {
        mCountdown->setText(countdown(*remaining));
    }
}

} // namespace tdx
