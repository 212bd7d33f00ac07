#include "SourceHost/host/CHost.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "SourceApp/gui/core/Core.h"

namespace tdx {

namespace {
// The host os_restart() reaches: one runs at a time.
std::atomic<CHost*> sRunning{nullptr};

void restartHook() {
    if (CHost* host = sRunning.load()) {
        host->requestRestart();
    }
}
} // namespace

CHost::CHost(HostApplication application, HostHandOver& handOver, TimerQueue* timers)
    : mApplication(std::move(application))
    , mHandOver(handOver)
    , mOwnTimers(timers == nullptr ? std::make_unique<ThreadTimerQueue>() : nullptr)
    , mTimers(timers == nullptr ? mOwnTimers.get() : timers) {
    mHandOver.open();
}

CHost::~CHost() {
    // A thread that does not end in time still uses this host: waiting is the only safe choice left.
    if (!stop() && mThread.joinable()) {
        mThread.join();
    }
    CHost* self = this;
    sRunning.compare_exchange_strong(self, nullptr);
}

void CHost::startTimers() {
    // The sample first, then the tick.
    mSecondTimer = mTimers->add(SAMPLE, [this] { onSample(); });
    mTickTimer = mTimers->add(TICK, [this] { onTick(); });
}

void CHost::stopTimers() {
    if (mTickTimer != 0) {
        mTimers->remove(mTickTimer);
        mTickTimer = 0;
    }
    if (mSecondTimer != 0) {
        mTimers->remove(mSecondTimer);
        mSecondTimer = 0;
    }
}

void CHost::Initialize() {
    sRunning.store(this);
    os_set_restart_hook(restartHook);
    launch();
    startTimers();
}

void CHost::InitializeStepMode() {
    sRunning.store(this);
    os_set_restart_hook(restartHook);
    mStepMode = true;
    startTimers();
}

void CHost::launch() {
    {
        std::lock_guard<std::mutex> lock(mDoneLock);
        mThreadDone = false;
    }
    mRestart.store(false);
    // The default stack: the embedded code was written for a device, not for a small thread stack.
    mThread = std::thread([this] { threadMain(); });
}

void CHost::startUp() {
    os_init();
    if (mApplication.init) {
        mApplication.init();
    }
}

void CHost::threadMain() {
    startUp();
    while (mHandOver.isOpen() && !mRestart.load()) {
        runOnce();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        // Rather than a pass every millisecond whatever there is to do, the application rests in its idle
        // hook until its next tick or input: at rest the loop makes about 50 passes a second instead of about
        // 900 ("Cycles/s" shows it) and the program takes about one per cent of a core or less.
        if (mApplication.idle && !mRestart.load()) {
            mApplication.idle();
        }
    }
    {
        std::lock_guard<std::mutex> lock(mDoneLock);
        mThreadDone = true;
    }
    mDoneSignal.notify_all();
}

void CHost::runOnce() {
    if (mApplication.pass) {
        mApplication.pass();
    }
}

bool CHost::step() {
    if (!mHandOver.isOpen()) {
        return false;
    }
    if (mRestart.exchange(false)) {
        mNeedsInit = true;
    }
    if (mNeedsInit) {
        mNeedsInit = false;
        startUp();
    }
    runOnce();
    return true;
}

bool CHost::stop(std::chrono::milliseconds wait) {
    stopTimers();
    mHandOver.close();
    if (!mThread.joinable()) {
        return true;
    }
    std::unique_lock<std::mutex> lock(mDoneLock);
    if (!mDoneSignal.wait_for(lock, wait, [this] { return mThreadDone; })) {
        dbg_printf_h("HOST the application thread did not end within %lld ms",
                     static_cast<long long>(wait.count()));
        return false;
    }
    lock.unlock();
    mThread.join();
    return true;
}

void CHost::requestRestart() {
    dbg_printf_h("HOST restart of the application");
    mRestart.store(true);
    os_wake();
}

void CHost::onTick() {
    timer0_isr();
    if (mStepMode || !mRestart.load()) {
        return;
    }
    bool ended = false;
    {
        std::lock_guard<std::mutex> lock(mDoneLock);
        ended = mThreadDone;
    }
    // The old thread has left its loop: start the application again while the window stays.
    if (ended && mHandOver.isOpen()) {
        mThread.join();
        launch();
    }
}

void CHost::onSample() {
    mCyclesPerSecond.store(mHandOver.takePassCount(), std::memory_order_relaxed);
}

bool CHost::sendEvent(event_kind_t kind, int x, int y) {
    Event event;
    event.kind = kind;
    event.x = x;
    event.y = y;
    if (mStepMode) {
        return mHandOver.postEvent(event, std::chrono::milliseconds(0));
    }
    return mHandOver.postEvent(event);
}

void CHost::sendCommand(std::shared_ptr<Command> command) {
    if (!command) {
        return;
    }
    mHandOver.postCommand([command] { command->execute(nullptr); });
}

namespace {
class DeselectCommand : public Command {
public:
    void execute(MessageArgument*) override {
        Core* core = Core::current();
        if (core != nullptr && core->getDebugger() != nullptr) {
            core->getDebugger()->setSelectedComponent(nullptr);
        }
    }
};
} // namespace

void CHost::DeselectComponent() {
    sendCommand(std::make_shared<DeselectCommand>());
}

void CHost::SelectComponent(int x, int y) {
    DeselectComponent();
    sendEvent(EVENT_DEBUG_SELECT, x, y);
}

void SendMessageCommand::execute(MessageArgument*) {
    if (Core* core = Core::current()) {
        core->sendMessage(mMessage.source, mMessage.id, mMessage.p1, mMessage.p2, mMessage.p3, mMessage.p4);
    }
}

void TypeCharacterCommand::execute(MessageArgument*) {
    if (Core* core = Core::current()) {
        core->sendCharacter(mCode);
    }
}

void InspectorPressKeyCommand::execute(MessageArgument*) {
    if (Core* core = Core::current()) {
        core->sendMessage(nullptr, MSG_KEY, static_cast<int>(mKey), 0, 0, 0);
    }
}

} // namespace tdx
