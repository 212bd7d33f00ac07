// The named-event bus, the string-driven state machine and the signals, driven through their interfaces.
#include "SourceHost/host/EventBus.h"
#include "SourceHost/host/StateMachine.h"
#include "SourceHost/host/sigslot.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace tdx {
namespace {

using Log = std::vector<std::string>;

class Recorder : public Command {
public:
    Recorder(Log& log, std::string name)
        : mLog(log)
        , mName(std::move(name)) {}
    void execute(MessageArgument* argument) override {
        MessageReaderInteger value;
        mLog.push_back(value.tryRead(argument) ? mName + std::to_string(value.getIntegerValue()) : mName);
    }

private:
    Log& mLog;
    std::string mName;
};

class Bus : public Application {
public:
    Bus()
        : Application("Bus") {}
    void run() override {}
};

TEST(EventBus, DeliversInOrderOfAdditionAcrossJoinedBuses) {
    Log log;
    Bus window, model;
    auto a = std::make_shared<Recorder>(log, "a");
    window.raise("X", nullptr); // before any listener: nobody
    window.addListener("X", a);
    model.addListener("X", std::make_shared<Recorder>(log, "model"));
    window.addListener("X", model.getListener("X"));
    window.addListener("X", std::make_shared<Recorder>(log, "c"));
    window.addListener("x", std::make_shared<Recorder>(log, "lower"));
    window.addListener("X", a);
    MessageArgumentInteger seven(7);
    window.raise("X", &seven);
    EXPECT_EQ(log, (Log{"a7", "model7", "c7", "a7"}));

    log.clear();
    window.removeListener("X", a); // the first occurrence only
    window.raise("X", nullptr);
    EXPECT_EQ(log, (Log{"model", "c", "a"}));
}

TEST(EventBus, AListenerMayAddAndRemoveListenersOfItsOwnSender) {
    Log log;
    Bus bus;
    auto late = std::make_shared<Recorder>(log, "late");
    struct Grower : Command {
        Bus& bus;
        std::shared_ptr<Command> late;
        Grower(Bus& b, std::shared_ptr<Command> l)
            : bus(b)
            , late(std::move(l)) {}
        void execute(MessageArgument*) override {
            for (int i = 0; i < 64; ++i) { // enough to move the list in memory
                bus.addListener("E", late);
            }
        }
    };
    auto grower = std::make_shared<Grower>(bus, late);
    bus.addListener("E", grower);
    bus.raise("E", nullptr);
    EXPECT_EQ(log.size(), 64u);
}

TEST(EventBus, ReadersTakeOnlyTheirExactKind) {
    MessageArgumentMouseEvent mouse(3, 4);
    MessageArgumentMouseButtonEvent button(5, 6, true, false);
    MessageArgumentKey key("\xC3\xA9", 2);

    MessageReaderMouseEvent mouseReader;
    MessageReaderMouseButtonEvent buttonReader;
    EXPECT_FALSE(mouseReader.tryRead(&button));
    EXPECT_FALSE(buttonReader.tryRead(&mouse));
    EXPECT_FALSE(mouseReader.tryRead(nullptr));
    ASSERT_TRUE(mouseReader.tryRead(&mouse));
    EXPECT_FALSE(mouseReader.tryRead(&key)); // a failed read keeps the earlier values
    EXPECT_EQ(mouseReader.getX() * 10 + mouseReader.getY(), 34);

    MessageReaderKey keyReader;
    EXPECT_THROW(keyReader.getKeySize(), std::logic_error);
    ASSERT_TRUE(keyReader.tryRead(&key));
    EXPECT_EQ(keyReader.getKeySize(), 2u);
    EXPECT_EQ(std::string(keyReader.getKeyValue(), 2), "\xC3\xA9");
}

class HookState : public StateCommand {
public:
    HookState(Log& log, const std::string& name, std::shared_ptr<StateMachine>* machine = nullptr)
        : StateCommand(name)
        , mLog(log)
        , mMachine(machine) {}
    void onEnter(const std::string& e, MessageArgument* a) override { note("enter", e, a); }
    void onExit(const std::string& e, MessageArgument* a) override { note("exit", e, a); }
    void onEvent(const std::string& e, MessageArgument* a) override { note("event", e, a); }

private:
    void note(const char* hook, const std::string& event, MessageArgument* argument) {
        std::string line = getName() + " " + hook + " " + event + (argument ? " arg" : "");
        if (mMachine) {
            line += " in " + (*mMachine)->getState()->getName();
        }
        mLog.push_back(line);
    }
    Log& mLog;
    std::shared_ptr<StateMachine>* mMachine;
};

TEST(StateMachine, RunsExitEnterAndEventInThatOrder) {
    Log log;
    auto machine = std::make_shared<StateMachine>("M");
    auto a = std::make_shared<HookState>(log, "A", &machine);
    auto b = std::make_shared<HookState>(log, "B", &machine);
    auto c = std::make_shared<HookState>(log, "C");
    machine->addTransition(a, "x", b);
    machine->addTransition(a, "x", c); // the first registration stays
    machine->addTransition(b, "self", b);
    CommandToStateMachineAdapter x(machine, "x"), y(machine, "y"), self(machine, "self");

    y.execute(nullptr); // before start: nothing at all
    machine->start(a);  // no hook
    MessageArgumentInteger payload(1);
    y.execute(nullptr);
    x.execute(&payload);
    self.execute(nullptr);
    EXPECT_EQ(log, (Log{"A event y in A", "A exit x arg in A", "B enter x arg in B", "B event x arg in B",
                        "B exit self in B", "B enter self in B", "B event self in B"}));
    log.clear();
    machine->execute(&payload); // not a machine event
    machine->execute(nullptr);
    EXPECT_TRUE(log.empty());
}

TEST(StateMachine, GuardsSeeTransitionsOfEarlierListeners) {
    Log log;
    Bus bus;
    auto machine = std::make_shared<StateMachine>("M");
    auto s = std::make_shared<HookState>(log, "S");
    auto t = std::make_shared<HookState>(log, "T");
    auto u = std::make_shared<HookState>(log, "U");
    machine->addTransition(s, "toT", t);
    machine->addTransition(s, "toU", u);
    auto inS = std::make_shared<IsInState>(machine, s);
    bus.addListener("E", std::make_shared<ExecuteIfPredicate>(
                             inS, std::make_shared<CommandToStateMachineAdapter>(machine, "toT")));
    bus.addListener("E", std::make_shared<ExecuteIfPredicate>(
                             inS, std::make_shared<CommandToStateMachineAdapter>(machine, "toU")));
    EXPECT_FALSE((*inS)());
    machine->start(s);
    EXPECT_TRUE((*inS)());
    bus.raise("E", nullptr);
    EXPECT_EQ(machine->getState(), t);
}

struct Receiver : sigslot::has_slots<> {
    Receiver(Log* l, std::string n)
        : log(l)
        , name(std::move(n)) {}
    Log* log;
    std::string name;
    void onValue(int v) { log->push_back(name + std::to_string(v)); }
};

TEST(Signals, DestroyingEitherSideRemovesTheConnection) {
    Log log;
    sigslot::signal1<int> first, second;
    Receiver kept(&log, "kept");
    {
        Receiver gone(&log, "gone");
        first.connect(&gone, &Receiver::onValue);
        first.connect(&kept, &Receiver::onValue);
        first.connect(&gone, &Receiver::onValue);
        second.connect(&gone, &Receiver::onValue);
        first.emit(1);
        EXPECT_EQ(log, (Log{"gone1", "kept1", "gone1"}));
    }
    log.clear();
    first.emit(2);
    second.emit(3);
    EXPECT_EQ(log, (Log{"kept2"}));
    EXPECT_EQ(second.connection_count(), 0u);
    {
        sigslot::signal1<int> shortLived;
        shortLived.connect(&kept, &Receiver::onValue);
    } // kept's destructor later finds no trace of it
}

} // namespace
} // namespace tdx
