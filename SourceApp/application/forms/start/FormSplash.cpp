#include "SourceApp/application/forms/start/FormSplash.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/App.h"
#include "SourceApp/application/OwnDevice.h"
#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/ProgressBar.h"
#include "SourceApp/application/update/UpdateManager.h"
#include "SourceApp/application/update/remote/RemoteUpdateService.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/storage/net/TaviProtocol.h"
#include "SourceApp/system/config.h"

#include <string>

namespace tdx {

namespace {

constexpr state_id_t NOT_ENROLLED_STATE_ID = 1;
constexpr state_id_t CALIBRATION_STATE_ID = 3;
constexpr state_id_t FIRST_START_STATE_ID = 4;
constexpr unsigned LOGO_COLOUR = 0xCBA14F;
constexpr uint32_t ADDRESS_MASK = 0xFFFFFF;

Core& core() {
    return *getApplication()->getCore();
}

} // namespace

const std::array<const char*, 12> FormSplash::sLoadingStrings = {
    N_("Materializing all your rooms"),
    N_("Sorting rooms by their area"),
    N_("Counting your thermostats"),
    N_("Looking for possible leaks"),
    N_("So many pipes..."),
    N_("Mixing the right shade of blue"),
    N_("Filling all the gray boxes"),
    N_("Painting icons"),
    N_("Oh, I almost forgot this one room"),
    N_("The bits are slower than usual"),
    N_("Are you as nervous as I am?"),
    N_("Please wait"),
};

FormSplash::FormSplash(const State& state)
    : Form(state) {
    setName("FormSplash");
    new Oblong(this, 0, 0, getWidth(), getHeight(), colour::WHITE);
    mText =
        new ContainedLabel(this, 0, 195, 320, 20, &bif_myriad12, gettext("Press to calibrate touch screen"),
                           HorizontalAlign::Center, VerticalAlign::Middle);
    mProgress = new ProgressBar(this, 20, 215, 280, 8);
    mProgress->setProgress(ProgressBar::INDETERMINATE);
    Icon* logo = Icon::create(this, 0, 0, res_logo, LOGO_COLOUR);
    logo->setPosition((getWidth() - logo->getWidth()) / 2, (getHeight() - logo->getHeight()) / 2);
    // Numbered builds say which one they are; a release shows none.
    if (const std::string version = own_build_version(); !version.empty()) {
        new ContainedLabel(this, 4, 4, 312, 20, &bif_myriad10, version, HorizontalAlign::Left,
                           VerticalAlign::Top, TextOrientation::Horizontal, colour::DISABLED);
    }
    setAwakeOverride(true);
    mTimer.start();
}

FormSplash::~FormSplash() = default;

void FormSplash::handleEvent(Event* event) {
    if (mPhase == PHASE_START && (event->kind == EVENT_TOUCH_PRESS || event->kind == EVENT_TOUCH_MOVE)) {
        mTimer.start();
        mProgress->setProgress(100);
        mPhase = PHASE_FINGER_HELD;
    } else if (mPhase == PHASE_FINGER_HELD && event->kind == EVENT_TOUCH_RELEASE) {
        mTimer.cancel();
        mTimer.start();
        mProgress->setProgress(ProgressBar::INDETERMINATE);
        waitForNetwork();
    }
    if (event->kind == EVENT_NETWORK_NOT_CONNECTED) {
        leaveTo(NOT_ENROLLED_STATE_ID);
    }
    Form::handleEvent(event);
}

void FormSplash::handleMessage(Message* message) {
    const Message m = *message;
    Form::handleMessage(message);
    if (m.id == MSG_TIMER) {
        step(static_cast<uint32_t>(m.p1));
    }
}

void FormSplash::step(uint32_t tick) {
    if (mLeaving) {
        return;
    }
    switch (mPhase) {
        case PHASE_START:
            if (mTimer.isTimedOut()) {
                waitForNetwork();
            }
            break;
        case PHASE_FINGER_HELD:
            if (mTimer.isTimedOut()) {
                leaveTo(CALIBRATION_STATE_ID);
            } else {
                mProgress->setProgress(
                    static_cast<int>(mTimer.getRemainingTime() * 100u / mTimer.getTimeout()));
            }
            break;
        case PHASE_WAIT_NETWORK:
            if (Net::Tavi.isConnected()) {
                startRemoteUpgrade();
            } else if (Net::Tavi.isConnectionLost()) {
                // The "not connected" went to a screen before this one (the update manager brought the
                // splash back after it): the display is still not enrolled.
                leaveTo(NOT_ENROLLED_STATE_ID);
            }
            break;
        case PHASE_SEARCHING:
            if (getApplication()->getUpdateManager()->getProcess() == nullptr) {
                mPhase = PHASE_SYNCHRONISING;
                mText->setText("");
                mTimer.start();
            }
            break;
        case PHASE_SYNCHRONISING:
            if (Net::Tavi.isSynchronized()) {
                navigateToNextState();
            } else if (Net::Tavi.isConnected() && (tick & 0xF) == 0 && mTimer.isTimedOut() &&
                       mLoadingShown < sLoadingStrings.size()) {
                mText->setText(gettext(sLoadingStrings[mLoadingShown]));
                ++mLoadingShown;
                mTimer.start();
            }
            break;
        default:
            break;
    }
}

void FormSplash::waitForNetwork() {
    mPhase = PHASE_WAIT_NETWORK;
    mText->setText(gettext("Waiting for network connection"));
}

void FormSplash::startRemoteUpgrade() {
    // Only the control unit's own network address names a device; the owner word may carry more.
    const uint32_t owner = Net::Tavi.getOwner() & ADDRESS_MASK;
    dbg_printf_h("SPLASH searching devices in distress behind %06X", static_cast<unsigned>(owner));
    const RemoteUpdateProcessFactory factory(owner, RUSM_WAIT_BOOTLOADER);
    // Refused while another process runs: then the splash waits for that one to end.
    getApplication()->getUpdateManager()->start(factory);
    mText->setText(gettext("Searching devices in distress"));
    mPhase = PHASE_SEARCHING;
}

void FormSplash::navigateToNextState() {
    leaveTo(Configuration.first_start != 0 ? FIRST_START_STATE_ID : DEFAULT_STATE_ID);
}

void FormSplash::leaveTo(unsigned stateId) {
    // A lost network overrides a way out already asked for; nothing else asks twice.
    if (mLeaving && stateId != NOT_ENROLLED_STATE_ID) {
        return;
    }
    if (mLeaving && core().getStateManager().getState().getStateId() == NOT_ENROLLED_STATE_ID) {
        return;
    }
    mLeaving = true;
    if (stateId == DEFAULT_STATE_ID) {
        // Home with an empty history: back never returns to the splash.
        core().defaultState();
    } else {
        core().changeState(stateId, 0, 0, 0, 0);
    }
}

} // namespace tdx
