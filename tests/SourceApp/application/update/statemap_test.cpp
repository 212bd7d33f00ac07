// A small machine in the generated-context style, driven through its owner as the update services drive
// theirs.
#include "SourceApp/application/update/statemap.h"
#include "support/trace_capture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class Lamp;
class LampState;
using LampContext = statemap::Context<Lamp, LampState>;

class LampState : public statemap::StateOf<LampContext> {
public:
    using StateOf::StateOf;
    // Events in alphabetical order.
    virtual void blink(LampContext& context) { Default(context); }
    virtual void off(LampContext& context) { Default(context); }
    virtual void on(LampContext& context) { Default(context); }
    virtual void poke(LampContext& context) { Default(context); }
    virtual void reset(LampContext& context) { Default(context); }
};

class LampMap_Default : public LampState {
public:
    using LampState::LampState;
    void Default(LampContext&) override {}
    void reset(LampContext& context) override;
};

class LampMap_Dark : public LampMap_Default {
public:
    using LampMap_Default::LampMap_Default;
    void on(LampContext& context) override;
};

class LampMap_Lit : public LampMap_Default {
public:
    using LampMap_Default::LampMap_Default;
    void Entry(LampContext& context) override;
    void Exit(LampContext& context) override;
    void blink(LampContext& context) override;
    void off(LampContext& context) override;
    void on(LampContext& context) override;
    void poke(LampContext& context) override;
};

struct LampMap {
    static LampMap_Dark Dark;
    static LampMap_Lit Lit;
};
LampMap_Dark LampMap::Dark("LampMap::Dark", 0);
LampMap_Lit LampMap::Lit("LampMap::Lit", 1);

class Lamp {
public:
    Lamp()
        : mContext(*this, LampMap::Dark) {
        mContext.setDebugFlag(true);
        mContext.enterStartState();
    }
    void on() { mContext.getState().on(mContext); }
    void off() { mContext.getState().off(mContext); }
    void blink() { mContext.getState().blink(mContext); }
    void poke() { mContext.getState().poke(mContext); }
    void reset() { mContext.getState().reset(mContext); }

    void note(const char* what) { log += what; }

    LampContext mContext;
    std::string log;
};

void LampMap_Default::reset(LampContext& context) {
    context.transition(LampMap::Dark, [&] { context.getOwner().note("reset;"); });
}
void LampMap_Dark::on(LampContext& context) {
    context.transition(LampMap::Lit, [&] { context.getOwner().note("switch;"); });
}
void LampMap_Lit::Entry(LampContext& context) {
    context.getOwner().note("entry;");
}
void LampMap_Lit::Exit(LampContext& context) {
    context.getOwner().note("exit;");
}
void LampMap_Lit::blink(LampContext& context) {
    context.internal([&] { context.getOwner().note("blink;"); });
}
void LampMap_Lit::off(LampContext& context) {
    context.transition(LampMap::Dark);
}
void LampMap_Lit::on(LampContext& context) {
    context.transition(LampMap::Lit);
}
void LampMap_Lit::poke(LampContext& context) {
    // An action that sends an event to its own machine.
    context.internal([&] { context.getOwner().off(); });
}

TEST(StateMachine, TransitionsRunExitActionsEntryInOrderAndTraceTheNewState) {
    tdx::test::TraceCapture trace;
    struct Case {
        void (Lamp::*event)();
        const char* log;
        const char* state;
        const char* previous;
        int traces;
    };
    // From Lit, each event in turn.
    const Case cases[] = {
        {&Lamp::blink, "blink;", "LampMap::Lit", "LampMap::Lit", 1},       // internal: no exit, no entry
        {&Lamp::on, "exit;entry;", "LampMap::Lit", "LampMap::Lit", 1},     // to itself: exit, then entry
        {&Lamp::reset, "exit;reset;", "LampMap::Dark", "LampMap::Lit", 1}, // the map's default transition
        {&Lamp::off, "exit;", "LampMap::Dark", "LampMap::Lit", 1},
    };
    for (const Case& c : cases) {
        Lamp lamp;
        EXPECT_EQ(lamp.mContext.getPreviousState(), nullptr);
        lamp.on();
        EXPECT_EQ(lamp.log, "switch;entry;");
        lamp.log.clear();
        trace.clear();
        (lamp.*c.event)();
        EXPECT_EQ(lamp.log, c.log);
        EXPECT_STREQ(lamp.mContext.getState().getName(), c.state);
        EXPECT_STREQ(lamp.mContext.getPreviousState()->getName(), c.previous);
        EXPECT_EQ(trace.count("ENTER STATE     : "), static_cast<size_t>(c.traces)) << c.log;
        EXPECT_TRUE(trace.contains(std::string("ENTER STATE     : ") + c.state + "\n")) << trace.str();
    }
}

TEST(StateMachine, UnhandledEventChangesNothingAndTracesNothing) {
    tdx::test::TraceCapture trace;
    Lamp lamp;
    lamp.on();
    lamp.off();
    trace.clear();
    for (void (Lamp::*event)() : {&Lamp::off, &Lamp::blink, &Lamp::poke}) {
        (lamp.*event)();
    }
    EXPECT_EQ(lamp.mContext.getState().getId(), 0);
    EXPECT_STREQ(lamp.mContext.getPreviousState()->getName(), "LampMap::Lit");
    EXPECT_EQ(lamp.log, "switch;entry;exit;");
    EXPECT_EQ(trace.str(), "");
}

TEST(StateMachine, DebugFlagClearMeansNoTrace) {
    tdx::test::TraceCapture trace;
    Lamp lamp;
    lamp.mContext.setDebugFlag(false);
    lamp.on();
    lamp.blink();
    EXPECT_EQ(trace.str(), "");
}

TEST(StateMachine, AnActionSendingAnEventToItsOwnMachineIsFatal) {
    Lamp lamp;
    lamp.on();
    EXPECT_DEATH(lamp.poke(), "ASSERTION FAILED.*\n.*_state != NULL");
}

TEST(StateMachine, EventReachingTheBaseDefaultIsFatal) {
    class Bare : public LampState {
    public:
        using LampState::LampState;
    } bare("Bare", 7);
    Lamp lamp;
    EXPECT_DEATH(bare.on(lamp.mContext), "ASSERTION FAILED.*\n.*false");
}

TEST(StateMachine, NamesAreCutTo100Characters) {
    const std::string longName(150, 'x');
    statemap::State state(longName.c_str(), 3);
    EXPECT_EQ(std::string(state.getName()), longName.substr(0, 100));
    EXPECT_EQ(state.getId(), 3);
    EXPECT_EQ(statemap::copyString(nullptr), nullptr);
    EXPECT_STREQ(statemap::copyString("Map::Idle").get(), "Map::Idle");
}

} // namespace
