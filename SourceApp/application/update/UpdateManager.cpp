#include "SourceApp/application/update/UpdateManager.h"

#include "Libraries/base/dbg.h"
#include "Libraries/link_bus/tnet_config.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/storage/net/TaviProtocol.h"

#include <utility>

namespace tdx {

namespace {

// The screen registry's not-enrolled screen.
constexpr state_id_t NOT_ENROLLED_STATE_ID = 1;
// A unit answers a request within half a minute, as the installer waits for one, and restarts at once, lost
// to the display some 3 s later: a minute without a loss is a restart that did not come.
constexpr uint32_t ANNOUNCED_RESTART_LAPSE_MS = 60000;
// A unit that answered the request restarts at once: silent within a couple of seconds of its answer, it is
// missed TNET_SUPERVISION_MS later. Still there after that, it refused the request.
constexpr uint32_t ANSWERED_RESTART_DUE_MS = TNET_SUPERVISION_MS + 2000;

} // namespace

UpdateManager::UpdateManager(Core& core)
    : mCore(core) {
    mCore.registerEventHandler(mNavigation);
}

UpdateManager::~UpdateManager() {
    mCore.unregisterEventHandler(mNavigation);
}

bool UpdateManager::start(const IProcessFactory& factory) {
    if (mProcess) {
        return false;
    }
    // Counting starts first: a process may open its first screen from its constructor.
    mNavigation.setEnabled(true);
    mProcess.reset(factory.create(mProcessInterface));
    mTerminated = false;
    mNetworkLossTaken = false;
    if (!mProcess) {
        mNavigation.setEnabled(false);
        return false;
    }
    return true;
}

void UpdateManager::task() {
    watchRestart();
    if (!mProcess) {
        return;
    }
    if (!mTerminated) {
        mProcess->task();
        return;
    }
    // The steps back are the rollback itself; they must not be counted.
    mNavigation.setEnabled(false);
    rollbackStateTransitions();
    mProcess.reset();
    // The process kept its screens through a loss of the network; a control unit that did not come back is
    // news for the screen the user returns to: the not-enrolled screen, as on any loss.
    if (std::exchange(mNetworkLossTaken, false) && Net::Tavi.isConnectionLost()) {
        mCore.changeState(NOT_ENROLLED_STATE_ID, 0, 0, 0, 0);
    }
}

bool UpdateManager::handleNetworkLoss() {
    if (mRestart == Restart::Announced || mRestart == Restart::Answered) {
        dbg_printf_h("update: the network is down with the announced restart, the screens stay");
        mRestart = Restart::Away;
        mRestartTimer.setTimeout(mRestartWaitMs);
        mRestartTimer.start();
        return true;
    }
    if (mRestart == Restart::Away) {
        return true;
    }
    if (mProcess == nullptr || mTerminated) {
        return false;
    }
    if (mProcess->expectsNetworkLoss()) {
        mNetworkLossTaken = true;
        return true;
    }
    // Nothing the process waits for can answer now, and its screens give way to the not-enrolled screen,
    // from which the unit's return leads through the splash: ended here, the process can no longer hold up
    // the splash's own search. The steps back come first and are not counted, so that the not-enrolled
    // screen stands on the screen that started the update.
    dbg_printf_h("update: the network is down, the update ends");
    mNavigation.setEnabled(false);
    mNetworkLossTaken = false;
    terminate(mProcess.get());
    rollbackStateTransitions();
    return false;
}

void UpdateManager::announceRestart(uint32_t waitMs, std::function<bool()> answered) {
    // A second request while the unit is away changes nothing: the wait already runs for its restart.
    if (mRestart == Restart::Away) {
        return;
    }
    if (mRestart != Restart::None) {
        // The unit answered the earlier request and is still here: that one brought no restart. Its end also
        // unmarks this request, written while changes were still kept, so that the unit's return does not get
        // the request again and restore a second time.
        endRestart("a new request replaces the announced restart");
    }
    mRestart = Restart::Announced;
    mRestartWaitMs = waitMs;
    mRestartAnswered = std::move(answered);
    mRestartTimer.setTimeout(ANNOUNCED_RESTART_LAPSE_MS);
    mRestartTimer.start();
    // The screens stay and take the user's changes: they are for the unit that comes back, also those made
    // before the unit is missed, which the restart may meet unsent or unanswered.
    Net::Tavi.keepOfflineWrites(true);
}

void UpdateManager::endRestart(const char* why) {
    dbg_printf_h("update: %s", why);
    mRestart = Restart::None;
    mRestartAnswered = nullptr;
    Net::Tavi.keepOfflineWrites(false);
}

void UpdateManager::watchRestart() {
    // A loss that a screen of its own road took, without asking here, was the restart all the same; one still
    // on its way to the screens is not taken yet.
    const bool lossTakenElsewhere =
        Net::Tavi.isConnectionLost() && !mCore.isEventQueued(EVENT_NETWORK_NOT_CONNECTED);
    switch (mRestart) {
        case Restart::None:
            return;
        case Restart::Announced:
            if (lossTakenElsewhere || mRestartTimer.isTimedOut()) {
                endRestart("the announced restart is no longer expected");
            } else if (Net::Tavi.isConnected() && mRestartAnswered && mRestartAnswered()) {
                dbg_printf_h("update: the control unit answered the request, its restart is due");
                mRestart = Restart::Answered;
                mRestartTimer.setTimeout(ANSWERED_RESTART_DUE_MS);
                mRestartTimer.start();
            }
            return;
        case Restart::Answered:
            if (lossTakenElsewhere) {
                endRestart("the announced restart is no longer expected");
            } else if (mRestartTimer.isTimedOut()) {
                endRestart("the control unit answered the request without restarting");
            }
            return;
        case Restart::Away:
            if (Net::Tavi.isConnected()) {
                endRestart("the control unit is back from its restart");
            } else if (mRestartTimer.isTimedOut()) {
                // Away for longer than a restart takes: lost as any unit, through the shown screen's own
                // road.
                endRestart("the control unit did not come back from its restart");
                mCore.sendEvent(EVENT_NETWORK_NOT_CONNECTED, 0, 0, 0, 0);
            }
            return;
    }
}

void UpdateManager::terminate(UpdateProcess* process) {
    if (mTerminated || process == nullptr || process != mProcess.get()) {
        return;
    }
    mTerminated = true;
    mProcess->handleTermination();
}

void UpdateManager::rollbackStateTransitions() {
    for (; mCount > 0; --mCount) {
        mCore.prevState();
    }
}

void UpdateManager::endProcess() {
    terminate(mProcess.get());
    mCount = 0;
}

void UpdateManager::NavigationEventHandlerImpl::handleNavigation(Navigation::Enum kind, uint16_t from,
                                                                 uint16_t to) {
    if (!mCounting) {
        return;
    }
    uint32_t& count = mManager.mCount;
    switch (kind) {
        case Navigation::Forward:
            ++count;
            dbg_printf_h("Navigate from %u to %u, count %u", from, to, count);
            return;
        case Navigation::Replace:
            dbg_printf_h("Replace %u with %u, count %u", from, to, count);
            return;
        case Navigation::Back:
            if (count == 0) {
                return;
            }
            if (--count > 0) {
                dbg_printf_h("Navigate from %u to %u, count %u", from, to, count);
                return;
            }
            // Leaving the first update screen ends the process, as home does.
            [[fallthrough]];
        case Navigation::Default:
            mManager.endProcess();
            dbg_printf_h("Navigate home from %u, count %u", from, count);
            return;
    }
}

} // namespace tdx
