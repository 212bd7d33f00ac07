#include "SourceApp/gui/core/Core.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "SourceApp/gui/core/Container.h"
#include "SourceApp/gui/core/Form.h"
#include "SourceApp/gui/gfx/gfx.h"
#include "SourceHost/api_lib/layer.h"

#include <algorithm>

namespace tdx {

namespace {

Core* gCurrent = nullptr;

constexpr Box SCREEN_BOX{0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};

// Calls f on the component and all its descendants, parents before children, in registration order.
template <class F>
void forEachPreOrder(Component* component, F&& f) {
    f(component);
    if (component->isContainerType()) {
        for (Component* child : static_cast<Container*>(component)->getChildren()) {
            forEachPreOrder(child, f);
        }
    }
}

} // namespace

Core::Core() {
    OS_ASSERT_MSG(gCurrent == nullptr, "only one GUI core at a time");
    gCurrent = this;
}

Core::~Core() {
    attachDebuggerBridge(nullptr);
    while (!mLayers.empty()) {
        Component* layer = mLayers.front();
        mLayers.erase(mLayers.begin());
        delete layer;
    }
    while (!mDoomed.empty()) {
        Component* component = mDoomed.front();
        mDoomed.erase(mDoomed.begin());
        delete component;
    }
    gCurrent = nullptr;
}

Core* Core::current() {
    return gCurrent;
}

void Core::task() {
    if (mHooks.runJobs) {
        mHooks.runJobs();
    }
    if (mChangePending) {
        performStateChange();
    }
    deliverEvents();
    repaintDirtyAreas();
    deliverMessages();
    deleteScheduled();
    if (!mLayers.empty() && mBridge != nullptr) {
        mBridge->onCoreTaskEnd();
    }
    if (mHooks.feedWatchdog) {
        mHooks.feedWatchdog();
    }
}

bool Core::hasWork() const {
    return !mEvents.empty() || !mMessages.empty() || !mInFlight.empty() || !mDirty.empty() ||
           mChangePending || !mDoomed.empty();
}

void Core::tick() {
    mTicks.fetch_add(1, std::memory_order_relaxed);
    mTimerFlag.store(true);
}

void Core::attachDebuggerBridge(DebuggerBridge* bridge) {
    if (mBridge != nullptr && mBridge != bridge) {
        mBridge->setSelectedComponent(nullptr);
    }
    mBridge = bridge;
}

// ---- input events ----

void Core::sendEvent(event_kind_t kind, int x, int y, int a, int b) {
    if (!event_is_known(kind)) {
        dbg_printf_h("GUI: event of unknown kind %d ignored", static_cast<int>(kind));
        return;
    }
    if (event_is_positional(kind) && !SCREEN_BOX.contains(x, y)) {
        dbg_printf_h("GUI: event %d at %d,%d outside the screen ignored", static_cast<int>(kind), x, y);
        return;
    }
    if (mEvents.size() >= MAX_QUEUED) {
        dbg_printf_h("GUI: event queue full, event %d dropped", static_cast<int>(kind));
        return;
    }
    mEvents.push_back({kind, x, y, a, b});
}

bool Core::isEventQueued(event_kind_t kind) const {
    return std::any_of(mEvents.begin(), mEvents.end(), [kind](const Event& e) { return e.kind == kind; });
}

void Core::deliverEvents() {
    // Only the events queued before this phase; what handlers queue waits for the next pass.
    for (std::size_t n = mEvents.size(); n > 0 && !mEvents.empty(); --n) {
        endLostTouches();
        Event event = mEvents.front();
        mEvents.pop_front();
        if (event_is_network(event.kind)) {
            // News of the network concerns the screen as well as a popup or editor open above it: every
            // layer hears it, newest first, until one consumes it.
            const std::vector<Component*> layers = mLayers;
            for (Component* layer : layers) {
                if (event.kind == EVENT_NONE) {
                    break;
                }
                if (isLayer(layer) && layer->isVisible()) {
                    layer->handleEvent(&event);
                }
            }
        } else if (!mLayers.empty() && mLayers.front()->isVisible()) {
            mLayers.front()->handleEvent(&event);
        }
    }
    endLostTouches();
}

void Core::endLostTouches() {
    cancelTouchBehindFront();
    cancelTouchOfHidden();
}

void Core::cancelTouchBehindFront() {
    // A control pressed when a layer opened above it never sees the release: it would stay drawn pressed
    // and click on a later release that began elsewhere.
    if (!mTouchCancelDue) {
        return;
    }
    mTouchCancelDue = false;
    const std::vector<Component*> layers = mLayers;
    for (std::size_t i = 1; i < layers.size(); ++i) {
        if (isLayer(layers[i])) {
            Event cancel{EVENT_TOUCH_CANCEL, 0, 0, 0, 0};
            layers[i]->handleEvent(&cancel);
        }
    }
}

void Core::holdTouch(Component* holder, bool holds) {
    const bool held = std::find(mTouchHolders.begin(), mTouchHolders.end(), holder) != mTouchHolders.end();
    if (!holds) {
        std::erase(mTouchHolders, holder);
    } else if (holder != nullptr && !held) {
        mTouchHolders.push_back(holder);
    }
}

void Core::cancelTouchOfHidden() {
    // Checked between events rather than at every setVisible: a screen that hides its rows and shows again
    // those that stay (the home tiles when an object comes or goes) keeps a press on one that stayed.
    const std::vector<Component*> holders = mTouchHolders;
    for (Component* holder : holders) {
        if (std::find(mTouchHolders.begin(), mTouchHolders.end(), holder) == mTouchHolders.end() ||
            holder->isGloballyVisible()) {
            continue;
        }
        // Let go even of a holder that ignores the cancel, so that it is not cancelled again and again.
        holdTouch(holder, false);
        Event cancel{EVENT_TOUCH_CANCEL, 0, 0, 0, 0};
        holder->handleEvent(&cancel);
    }
}

// ---- messages ----

void Core::sendMessage(Component* source, unsigned id, int p1, int p2, int p3, int p4) {
    if (id == MSG_NONE || id > 0xFFFF) {
        dbg_printf_h("GUI: message id %u rejected", id);
        return;
    }
    if (mMessages.size() >= MAX_QUEUED) {
        dbg_printf_h("GUI: message queue full, message %u dropped", id);
        return;
    }
    mMessages.push_back({source, p1, p2, p3, p4, static_cast<uint16_t>(id)});
    if (mBridge != nullptr) {
        mBridge->onMessagePush(source, id, p1, p2, p3, p4);
    }
}

void Core::sendCharacter(char32_t code) {
    const bool control = code < 0x20 || (code >= 0x7F && code <= 0x9F);
    if (control || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
        dbg_printf_h("GUI: character U+%04X refused", static_cast<unsigned>(code));
        return;
    }
    sendMessage(nullptr, MSG_KEY, static_cast<int>(code), KEY_CHARACTER, 0, 0);
}

void Core::deliverMessages() {
    // Messages queued during delivery wait for the next pass.
    mInFlight.swap(mMessages);
    while (!mInFlight.empty()) {
        Message message = mInFlight.front();
        mInFlight.pop_front();
        const std::vector<Component*> layers = mLayers;
        for (Component* layer : layers) {
            if (message.id == MSG_NONE) {
                break;
            }
            if (isLayer(layer)) {
                layer->handleMessage(&message);
            }
        }
    }
}

// ---- layers, deletion, repaint ----

bool Core::isLayer(const Component* component) const {
    return std::find(mLayers.begin(), mLayers.end(), component) != mLayers.end();
}

void Core::newModalLayer(Component* layer) {
    if (layer == nullptr || isLayer(layer)) {
        return;
    }
    mLayers.insert(mLayers.begin(), layer);
    mTouchCancelDue = mTouchCancelDue || mLayers.size() > 1;
    layer->invalidate();
    if (mBridge != nullptr) {
        mBridge->onComponentAdd(layer);
    }
}

void Core::detachLayer(Component* layer) {
    auto it = std::find(mLayers.begin(), mLayers.end(), layer);
    if (it == mLayers.end()) {
        return;
    }
    if (mBridge != nullptr) {
        mBridge->onComponentRemove(layer);
    }
    mLayers.erase(it);
    // What the layer covered shows through again.
    addDirtyArea(layer->getBoundingBox());
}

void Core::closeModalLayer(Component* layer) {
    if (!isLayer(layer)) {
        dbg_printf_h("GUI: close of a component that is no layer ignored");
        return;
    }
    detachLayer(layer);
    deleteLater(layer);
}

void Core::closeLastModalLayer() {
    if (!mLayers.empty()) {
        closeModalLayer(mLayers.front());
    }
}

void Core::closeAllLayersNow() {
    while (!mLayers.empty()) {
        Component* layer = mLayers.front();
        detachLayer(layer);
        delete layer;
    }
}

void Core::closeAllLayers() {
    closeAllLayersNow();
    deleteScheduled();
    mScreen = nullptr;
}

void Core::deleteLater(Component* component) {
    if (component != nullptr && std::find(mDoomed.begin(), mDoomed.end(), component) == mDoomed.end()) {
        mDoomed.push_back(component);
    }
}

void Core::deleteScheduled() {
    // A deleted container takes its scheduled descendants out of the list (forget), so each goes once.
    while (!mDoomed.empty()) {
        Component* component = mDoomed.front();
        mDoomed.erase(mDoomed.begin());
        detachLayer(component);
        delete component;
    }
}

void Core::forget(Component* component) {
    detachLayer(component);
    std::erase(mDoomed, component);
    holdTouch(component, false);
    auto fromIt = [component](const Message& m) { return m.source == component; };
    std::erase_if(mMessages, fromIt);
    std::erase_if(mInFlight, fromIt);
    if (mScreen == component) {
        mScreen = nullptr;
    }
    if (mBridge != nullptr) {
        mBridge->forget(component);
    }
}

void Core::addDirtyArea(const Box& area) {
    const Box clipped = area.intersect(SCREEN_BOX);
    if (clipped.isEmpty()) {
        return;
    }
    for (const Box& known : mDirty) {
        if (known.intersect(clipped) == clipped) {
            return;
        }
    }
    std::erase_if(mDirty, [&clipped](const Box& known) { return clipped.intersect(known) == known; });
    if (mDirty.size() >= MAX_DIRTY_AREAS) {
        // Many scattered changes: one redraw of the area around them all is cheaper than a walk per change.
        Box all = clipped;
        for (const Box& known : mDirty) {
            all = Box::fromCorners(std::min(all.x1, known.x1), std::min(all.y1, known.y1),
                                   std::max(all.x2, known.x2), std::max(all.y2, known.y2));
        }
        mDirty.assign(1, all);
        return;
    }
    mDirty.push_back(clipped);
}

void Core::repaintDirtyAreas() {
    for (auto it = mLayers.rbegin(); it != mLayers.rend(); ++it) {
        (*it)->repaint();
    }
    if (mDirty.empty()) {
        return;
    }
    const Box saved = gfx_get_clip();
    for (const Box& area : mDirty) {
        // Oldest layer first, so that popups cover the screen.
        for (auto it = mLayers.rbegin(); it != mLayers.rend(); ++it) {
            gfx_set_clip(area);
            (*it)->draw();
        }
        gfx_flip(area.x1, area.y1, area.x2, area.y2);
    }
    mDirty.clear();
    gfx_set_clip(saved);
}

// ---- navigation ----

void Core::changeState(unsigned id, int p1, int p2, int p3, int p4) {
    changeState(State(id, static_cast<unsigned>(p1), static_cast<unsigned>(p2), static_cast<unsigned>(p3),
                      static_cast<unsigned>(p4)));
}

void Core::changeState(const State& state) {
    const unsigned current = mStates.getState().getStateId();
    saveScreen();
    mStates.push(state);
    mChangePending = true;
    notifyNavigation(Navigation::Forward, current, state.getStateId());
}

void Core::replaceState(unsigned id, int p1, int p2, int p3, int p4) {
    replaceState(State(id, static_cast<unsigned>(p1), static_cast<unsigned>(p2), static_cast<unsigned>(p3),
                       static_cast<unsigned>(p4)));
}

void Core::replaceState(const State& state) {
    const unsigned current = mStates.getState().getStateId();
    mStates.replace(state);
    mChangePending = true;
    notifyNavigation(Navigation::Replace, current, state.getStateId());
}

void Core::prevState() {
    const unsigned current = mStates.getState().getStateId();
    mStates.pop();
    mChangePending = true;
    notifyNavigation(Navigation::Back, current, mStates.getState().getStateId());
}

void Core::defaultState() {
    const unsigned current = mStates.getState().getStateId();
    mStates.clear();
    mChangePending = true;
    notifyNavigation(Navigation::Default, current, DEFAULT_STATE_ID);
}

void Core::restartState() {
    saveScreen();
    mChangePending = true;
}

void Core::registerEventHandler(NavigationEventHandler& handler) {
    if (std::find(mHandlers.begin(), mHandlers.end(), &handler) == mHandlers.end()) {
        mHandlers.push_back(&handler);
    }
}

void Core::unregisterEventHandler(NavigationEventHandler& handler) {
    std::erase(mHandlers, &handler);
}

void Core::notifyNavigation(Navigation::Enum kind, unsigned currentId, unsigned newId) {
    const std::vector<NavigationEventHandler*> handlers = mHandlers;
    for (NavigationEventHandler* handler : handlers) {
        // A handler may unregister another one while we are calling round.
        if (std::find(mHandlers.begin(), mHandlers.end(), handler) != mHandlers.end()) {
            handler->handleNavigation(kind, static_cast<uint16_t>(currentId), static_cast<uint16_t>(newId));
        }
    }
}

void Core::saveScreen() {
    // While a change is pending the screen on show no longer belongs to the newest history entry.
    if (mScreen == nullptr || mChangePending) {
        return;
    }
    SavedComponents& saved = mStates.getSaved();
    saved.clear();
    unsigned ordinal = 0;
    forEachPreOrder(mScreen, [&](Component* c) {
        if (c->isSerializable()) {
            if (auto record = c->handleSerialize()) {
                saved.emplace_back(ordinal, std::move(record));
            }
            ++ordinal;
        }
    });
}

void Core::restoreScreen() {
    const SavedComponents& saved = mStates.getSaved();
    if (saved.empty() || mScreen == nullptr) {
        return;
    }
    unsigned ordinal = 0;
    forEachPreOrder(mScreen, [&](Component* c) {
        if (!c->isSerializable()) {
            return;
        }
        for (const auto& [at, record] : saved) {
            if (at == ordinal && c->isOwnSerializedState(record.get())) {
                c->handleDeserialize(record.get());
            }
        }
        ++ordinal;
    });
}

void Core::performStateChange() {
    // Cleared first: a screen constructor that navigates again is honoured in the next pass.
    mChangePending = false;
    const unsigned previous = mShownStateId;
    // The callback gets a copy: the constructor may navigate and so replace the history entry.
    const std::unique_ptr<State> next = mStates.getState().clone();

    // Every layer goes, popups included, so that none outlives its screen.
    closeAllLayersNow();
    mScreen = nullptr;

    if (mChangeState == nullptr) {
        dbg_printf_h("GUI: no screen registry, state %u not shown", next->getStateId());
        return;
    }
    Form* screen = mChangeState(previous, next->getStateId(), *next);
    if (screen == nullptr) {
        dbg_printf_h("GUI: no screen built for state %u", next->getStateId());
        return;
    }
    mScreen = screen;
    mShownStateId = next->getStateId();
    // A constructor that navigated on has made another history entry current: its saved states belong to a
    // different screen, and this one is replaced in the next pass anyway.
    if (!mChangePending) {
        restoreScreen();
    }
    if (mBridge != nullptr) {
        mBridge->onAfterStateChange(previous, mShownStateId);
    }
}

} // namespace tdx
