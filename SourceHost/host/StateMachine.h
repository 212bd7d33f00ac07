// A state machine driven by event names. It is a bus `Command` fed machine events (a name and the payload of
// the bus event that caused it); an adapter on the bus turns a bus event into a machine event of a fixed
// name. On a transition the old state's onExit, then the new state's onEnter run; then the current state's
// onEvent runs, transition or not. States are told apart by object, never by name.
#pragma once

#include "SourceHost/host/Command.h"

#include <map>
#include <memory>
#include <string>

namespace tdx {

class StateCommand : public Command {
public:
    explicit StateCommand(std::string name)
        : mName(std::move(name)) {}
    std::string getName() const { return mName; }
    // A machine event runs onEvent with its name and inner payload; anything else does nothing.
    void execute(MessageArgument* argument) override;
    virtual void onEnter(const std::string& /*event*/, MessageArgument* /*argument*/) {}
    virtual void onExit(const std::string& /*event*/, MessageArgument* /*argument*/) {}
    virtual void onEvent(const std::string& /*event*/, MessageArgument* /*argument*/) {}

private:
    std::string mName;
};

class StateMachine : public Command {
public:
    explicit StateMachine(std::string name)
        : mName(std::move(name)) {}
    // The first registration of a (state, event) pair stays in force.
    void addTransition(std::shared_ptr<StateCommand> from, const std::string& event,
                       std::shared_ptr<StateCommand> to);
    // Makes `initial` current without running a hook.
    void start(std::shared_ptr<StateCommand> initial) { mCurrent = std::move(initial); }
    std::shared_ptr<StateCommand> getState() const { return mCurrent; }
    std::string getName() const { return mName; }
    // Ignores anything but a machine event, and everything before start().
    void execute(MessageArgument* argument) override;

private:
    std::string mName;
    std::map<std::shared_ptr<StateCommand>, std::map<std::string, std::shared_ptr<StateCommand>>>
        mTransitions;
    std::shared_ptr<StateCommand> mCurrent;
};

// Feeds the machine the event `event` with whatever bus payload it is executed with.
class CommandToStateMachineAdapter : public Command {
public:
    CommandToStateMachineAdapter(std::shared_ptr<StateMachine> machine, std::string event)
        : mMachine(std::move(machine))
        , mEvent(std::move(event)) {}
    void execute(MessageArgument* argument) override;

private:
    std::shared_ptr<StateMachine> mMachine;
    std::string mEvent;
};

class SimplePredicate {
public:
    virtual ~SimplePredicate() = default;
    virtual bool operator()() const = 0;
};

class CommandPredicate {
public:
    virtual ~CommandPredicate() = default;
    virtual bool operator()(MessageArgument* argument) const = 0;
};

// True while the machine's current state is this very state object.
class IsInState : public SimplePredicate {
public:
    IsInState(std::shared_ptr<StateMachine> machine, std::shared_ptr<StateCommand> state)
        : mMachine(std::move(machine))
        , mState(std::move(state)) {}
    bool operator()() const override { return mMachine->getState() == mState; }

private:
    std::shared_ptr<StateMachine> mMachine;
    std::shared_ptr<StateCommand> mState;
};

class ExecuteIfPredicate : public Command {
public:
    ExecuteIfPredicate(std::shared_ptr<SimplePredicate> predicate, std::shared_ptr<Command> command)
        : mPredicate(std::move(predicate))
        , mCommand(std::move(command)) {}
    void execute(MessageArgument* argument) override {
        if ((*mPredicate)()) {
            mCommand->execute(argument);
        }
    }

private:
    std::shared_ptr<SimplePredicate> mPredicate;
    std::shared_ptr<Command> mCommand;
};

class ExecuteIfCommandPredicate : public Command {
public:
    ExecuteIfCommandPredicate(std::shared_ptr<CommandPredicate> predicate, std::shared_ptr<Command> command)
        : mPredicate(std::move(predicate))
        , mCommand(std::move(command)) {}
    void execute(MessageArgument* argument) override {
        if ((*mPredicate)(argument)) {
            mCommand->execute(argument);
        }
    }

private:
    std::shared_ptr<CommandPredicate> mPredicate;
    std::shared_ptr<Command> mCommand;
};

} // namespace tdx
