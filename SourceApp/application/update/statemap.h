// The runtime that every update state machine runs on. A machine is written as a context (the owner's
// reference plus the current and previous state), a state base class with one virtual operation per event,
// a default-state class whose Default ignores what a state does not handle, one class per state and one
// static object per state. The context's transition() and internal() carry out the steps that every machine
// shares, so that the machines only say which state follows which event and what runs on the way; its send()
// is how an owner hands the machine an event.
#pragma once

#include "Libraries/base/os.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

namespace statemap {

// A copy of at most the first 100 characters of text, always terminated (101 bytes); null for null.
std::unique_ptr<char[]> copyString(const char* text);

// One state of a machine: its name ("Map::State") and its number within the map.
class State {
public:
    State(const char* name, int32_t id);
    virtual ~State() = default;
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    const char* getName() const { return mName.get(); }
    int32_t getId() const { return mId; }

private:
    std::unique_ptr<char[]> mName;
    int32_t mId;
};

// The untyped half of every context. The current state is cleared only while a transition's actions run;
// an action that calls an event of its own machine directly therefore stops the program (deliver() makes
// the event wait instead).
class FSMContext {
public:
    virtual ~FSMContext() = default;
    FSMContext(const FSMContext&) = delete;
    FSMContext& operator=(const FSMContext&) = delete;

    virtual void enterStartState() = 0;

    // The state before the last transition; null until the first.
    const State* getPreviousState() const { return mPreviousState; }
    bool getDebugFlag() const { return mDebugFlag; }
    // True while a transition's actions run: the machine has no current state then.
    bool inTransition() const { return mState == nullptr; }
    // The current state's name, or "(in transition)".
    const char* getStateName() const;
    // When set, every state change writes the trace "ENTER STATE     : <name>".
    void setDebugFlag(bool debug) { mDebugFlag = debug; }

    // Runs an event for a machine whose actions set off callbacks (a driver that reports at once what an
    // action asked of it): an event that arrives while a transition's actions run waits until the machine
    // has a state again, and is then run in its turn.
    void deliver(std::function<void()> event);

protected:
    explicit FSMContext(State& start)
        : mState(&start) {}

    // The current state; a fatal assertion when there is none (inside a transition's actions).
    State& currentState() const;
    // The current state becomes the previous one and none is current until setState().
    void clearState();
    void setState(State& state);

private:
    State* mState;
    State* mPreviousState = nullptr;
    bool mDebugFlag = false;
    std::deque<std::function<void()>> mPending;
};

// Base of a machine's state base class: Entry and Exit do nothing; Default, which every event operation
// calls when a state does not handle the event, is fatal unless the machine's default state overrides it.
template <class Context>
class StateOf : public State {
public:
    using State::State;

    virtual void Entry(Context&) {}
    virtual void Exit(Context&) {}
    virtual void Default(Context&) { OS_ASSERT(false); }
};

// The typed half: a machine's context, holding its owner, whose member functions are the actions.
template <class Owner, class StateBase>
class Context : public FSMContext {
public:
    Context(Owner& owner, StateBase& start)
        : FSMContext(start)
        , mOwner(owner) {}

    Owner& getOwner() const { return mOwner; }
    StateBase& getState() const { return static_cast<StateBase&>(currentState()); }
    // Runs the current state's entry actions (at start, or to run them again).
    void enterStartState() override { getState().Entry(*this); }

    // Delivers one of the state base's events, with copies of its arguments, in its turn.
    template <class... Params, class... Args>
    void send(void (StateBase::*event)(Context&, Params...), Args... args) {
        deliver([this, event, args...] { (getState().*event)(*this, args...); });
    }

    // External transition, also to the current state: Exit, the actions, then the target's Entry.
    template <class Actions>
    void transition(StateBase& target, Actions&& actions) {
        getState().Exit(*this);
        clearState();
        actions();
        setState(target);
        target.Entry(*this);
    }
    void transition(StateBase& target) {
        transition(target, [] {});
    }

    // Internal transition: the actions run and the state stays, without Exit or Entry.
    template <class Actions>
    void internal(Actions&& actions) {
        StateBase& state = getState();
        clearState();
        actions();
        setState(state);
    }

private:
    Owner& mOwner;
};

} // namespace statemap
