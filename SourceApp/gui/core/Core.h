// The GUI core: the modal layers (the open screen and the popups above it), the input-event and message
// queues, the repaint of dirty areas, deferred deletion and the navigation between screens. Everything but
// tick() runs on the application thread, one task() pass per main-loop pass.
#pragma once

#include "SourceApp/gui/core/DebuggerBridge.h"
#include "SourceApp/gui/core/state/NavigationEventHandler.h"
#include "SourceApp/gui/core/state/StateManager.h"
#include "SourceApp/gui/core/types.h"
#include "SourceApp/gui/geometry/box.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace tdx {

class Component;
class Container;
class Form;

// Calls from the engine up into the application, installed by start-up. Empty hooks do nothing.
struct CoreHooks {
    std::function<void()> runJobs;              // one slice of the background job pool
    std::function<void()> feedWatchdog;         // at the end of every pass
    std::function<void()> click;                // the buzzer's key click
    std::function<void(bool)> setAwakeOverride; // keep the screen from dimming
};

class Core {
public:
    // Builds the screen for a state: (previous state id, new state id, new state) -> the new screen.
    using ChangeStateCallback = Form* (*)(state_id_t previous, state_id_t next, const State& state);

    static constexpr std::size_t MAX_QUEUED = 256;
    // Beyond this many separate dirty areas the core redraws their common bounding box instead.
    static constexpr std::size_t MAX_DIRTY_AREAS = 16;

    Core();
    ~Core();
    Core(const Core&) = delete;
    Core& operator=(const Core&) = delete;

    // The core of the running application, null when there is none.
    static Core* current();

    void setHooks(CoreHooks hooks) { mHooks = std::move(hooks); }
    const CoreHooks& getHooks() const { return mHooks; }
    void setChangeStateCallback(ChangeStateCallback callback) { mChangeState = callback; }

    // One pass: job pool, pending change of screen, input events, repaint, messages, deferred deletions,
    // inspector hook, watchdog.
    void task();
    // Whether the next pass has anything to do before new input or the next tick: queued events and
    // messages, dirty areas, a change of screen, components to delete.
    bool hasWork() const;

    // The host's 62 ms tick (any thread): counts and raises the timer flag.
    void tick();
    uint32_t getTickCount() const { return mTicks.load(std::memory_order_relaxed); }
    // Reads and clears the timer flag: true once per tick (or per batch of ticks).
    bool takeTimerFlag() { return mTimerFlag.exchange(false); }

    void sendEvent(event_kind_t kind, int x, int y, int a, int b);
    // An event of this kind waits for the next pass.
    bool isEventQueued(event_kind_t kind) const;
    void sendMessage(Component* source, unsigned id, int p1, int p2, int p3, int p4);
    // A character typed on the host's keyboard: MSG_KEY with the code point and KEY_CHARACTER. Control
    // characters, surrogates and values beyond U+10FFFF are refused with a trace line.
    void sendCharacter(char32_t code);

    // Navigation; the screen changes at the start of the next pass.
    void changeState(unsigned id, int p1, int p2, int p3, int p4);
    void changeState(const State& state);
    void replaceState(unsigned id, int p1, int p2, int p3, int p4);
    void replaceState(const State& state);
    void prevState();
    void defaultState();
    void restartState();
    const StateManager& getStateManager() const { return mStates; }
    void registerEventHandler(NavigationEventHandler& handler);
    void unregisterEventHandler(NavigationEventHandler& handler);

    // Layers, newest first. A component without a parent opens itself as the newest layer.
    void newModalLayer(Component* layer);
    void closeModalLayer(Component* layer);
    void closeLastModalLayer();
    // Deletes every layer and every component waiting for deletion at once: the end or restart of the
    // application, while the services its screens use still exist.
    void closeAllLayers();
    std::vector<Component*> getModalLayers() const { return mLayers; }
    // The screen built by the last change of state, null when none is open.
    Form* getScreen() const { return mScreen; }

    // Deletes the component after the message phase (once, however often it is asked).
    void deleteLater(Component* component);

    // Repaint list: areas redrawn in the next pass.
    void addDirtyArea(const Box& area);

    // Replaces the bridge (null detaches); the old bridge's selection is dropped first, as its component
    // would otherwise stay highlighted and be freed behind the old bridge's back.
    void attachDebuggerBridge(DebuggerBridge* bridge);
    DebuggerBridge* getDebugger() const { return mBridge; }

    // A component is being destroyed: forget every reference to it.
    void forget(Component* component);

    // A component that took a touch (a pressed control, a dragged thumb) holds it (holds true) until the
    // touch ends for it (false). Hidden, alone or with a container above it, it would never hear the release:
    // before the next input event the core sends it EVENT_TOUCH_CANCEL. One destroyed ends its touch with it.
    void holdTouch(Component* holder, bool holds);

private:
    void performStateChange();
    void deliverEvents();
    void endLostTouches();
    void cancelTouchBehindFront();
    void cancelTouchOfHidden();
    void repaintDirtyAreas();
    void deliverMessages();
    void deleteScheduled();
    void notifyNavigation(Navigation::Enum kind, unsigned currentId, unsigned newId);
    void saveScreen();
    void restoreScreen();
    bool isLayer(const Component* component) const;
    void detachLayer(Component* layer);
    void closeAllLayersNow();

    CoreHooks mHooks;
    ChangeStateCallback mChangeState = nullptr;
    std::atomic<uint32_t> mTicks{0};
    std::atomic<bool> mTimerFlag{false};

    std::deque<Event> mEvents;
    std::deque<Message> mMessages;
    std::deque<Message> mInFlight; // the batch being delivered
    std::vector<Box> mDirty;
    std::vector<Component*> mLayers; // newest first
    bool mTouchCancelDue = false;    // a layer came in front of others
    std::vector<Component*> mTouchHolders;
    std::vector<Component*> mDoomed;
    Form* mScreen = nullptr;

    StateManager mStates;
    std::vector<NavigationEventHandler*> mHandlers;
    bool mChangePending = false;
    unsigned mShownStateId = 0;

    DebuggerBridge* mBridge = nullptr;
};

} // namespace tdx
