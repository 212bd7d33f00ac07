// Runs at most one update process at a time. While it runs, the manager counts the screens the process has
// pushed onto the navigation history; when the process ends, the manager pops exactly those screens, so the
// user is back where the update was started (or on home, when home ended it), and deletes the process.
#pragma once

#include "Libraries/base/Timer.h"
#include "SourceApp/application/update/UpdateProcess.h"
#include "SourceApp/gui/core/state/NavigationEventHandler.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace tdx {

class Core;

class UpdateManager {
public:
    // Listens to the core's navigation from construction to destruction.
    explicit UpdateManager(Core& core);
    ~UpdateManager();
    UpdateManager(const UpdateManager&) = delete;
    UpdateManager& operator=(const UpdateManager&) = delete;

    // Creates the process through the factory; false (and nothing changes) while one exists, also while it
    // is ending, or when the factory makes none.
    bool start(const IProcessFactory& factory);
    // Once per main-loop pass: watches an announced restart of the control unit, then polls the running
    // process, or rolls back and deletes an ended one.
    void task();
    // The running process; null when none runs.
    UpdateProcess* getProcess() const { return mProcess.get(); }
    // Ends the running process (ignored for any other, and when it is already ending).
    void terminate(UpdateProcess* process);
    // Pops every screen the process has pushed.
    void rollbackStateTransitions();
    // The network went down while a screen is shown. True when the running process takes the loss
    // (UpdateProcess::expectsNetworkLoss): its screens stay, and the manager shows the not-enrolled screen
    // once the process has ended, when the network is still down. Any other process ends now, its screens
    // leave the history at once and it is deleted at the next task: false, and the caller shows the
    // not-enrolled screen as on any loss. So no process outlives its screens behind that screen, and nothing
    // that waits for the end of an update (the splash's search) waits for one that nobody could end.
    // Also true for the first loss after announceRestart() and any further one while that restart is waited
    // for.
    bool handleNetworkLoss();
    // The control unit restarts of its own accord soon: the user confirmed a request that ends in a restart
    // and the display wrote it. The first loss of the network after this is that restart, and the screens
    // stay, whichever the user opens or leaves meanwhile, for up to waitMs: the wait belongs to no screen.
    // What the user writes from now until the unit is back goes to the unit that returns, also when the unit
    // took it before its restart (Net::TaviProtocol::keepOfflineWrites). A unit still away then is lost as
    // any unit, to the not-enrolled screen from whatever screen is shown; one back by then resynchronises
    // under it. answered() tells that the unit has answered the request: it restarts at once after its
    // answer, so an answer that no loss follows within the time a silent unit takes to be missed was a
    // refusal, and the announcement ends. With neither a loss nor an answer within a minute it lapses
    // too (the request went unanswered, or the unit restarted too quickly to be missed). Once it has ended,
    // the next loss is a unit lost at once. A new request while the unit is still here ends the announcement
    // under way first (no restart came of it) and announces its own: the request itself is no change for the
    // unit that returns. One while the unit is away changes nothing.
    void announceRestart(uint32_t waitMs, std::function<bool()> answered);
    // A restart is announced or its wait runs.
    bool expectsRestart() const { return mRestart != Restart::None; }
    // The network went down with the announced restart and the unit's return is waited for.
    bool awaitsRestartedUnit() const { return mRestart == Restart::Away; }

private:
    class ProcessInterfaceImpl final : public ProcessInterface {
    public:
        explicit ProcessInterfaceImpl(UpdateManager& manager)
            : mManager(manager) {}
        void terminate(UpdateProcess* process) override { mManager.terminate(process); }

    private:
        UpdateManager& mManager;
    };

    class NavigationEventHandlerImpl final : public NavigationEventHandler {
    public:
        explicit NavigationEventHandlerImpl(UpdateManager& manager)
            : mManager(manager) {}
        void handleNavigation(Navigation::Enum kind, uint16_t from, uint16_t to) override;
        void setEnabled(bool on) { mCounting = on; }

    private:
        UpdateManager& mManager;
        bool mCounting = false;
    };

    // Announced: the request is written; Answered: the unit answered it and has a moment left to restart;
    // Away: the network went down with the restart.
    enum class Restart { None, Announced, Answered, Away };

    void endProcess();
    void watchRestart();
    void endRestart(const char* why);

    ProcessInterfaceImpl mProcessInterface{*this};
    NavigationEventHandlerImpl mNavigation{*this};
    std::unique_ptr<UpdateProcess> mProcess;
    uint32_t mCount = 0; // screens pushed by the running process and not yet left
    bool mTerminated = false;
    bool mNetworkLossTaken = false; // by the running process
    Restart mRestart = Restart::None;
    uint32_t mRestartWaitMs = 0;
    std::function<bool()> mRestartAnswered;
    // The announcement's lapse, then the unit's moment to restart after its answer, then the wait for its
    // return.
    Timer mRestartTimer;
    Core& mCore;
};

} // namespace tdx
