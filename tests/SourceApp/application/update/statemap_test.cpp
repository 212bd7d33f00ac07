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
    // Sends an event as an owner does.
    void send(void (LampState::*event)(LampContext&)) { (mContext.getState().*event)(mContext); }
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
    context.internal([&] { context.getOwner().send(&LampState::off); });
}

TEST(StateMachine, TransitionsRunExitActionsEntryInOrderAndTraceTheNewState) {
    tdx::test::TraceCapture trace;
    struct Case {
        void (LampState::*event)(LampContext&);
        const char* log;
        const char* state;
    };
    // From Lit, each event in turn; the previous state is Lit after each.
    const Case cases[] = {
        {&LampState::blink, "blink;", "LampMap::Lit"},       // internal: no exit, no entry
        {&LampState::on, "exit;entry;", "LampMap::Lit"},     // to itself: exit, then entry
        {&LampState::reset, "exit;reset;", "LampMap::Dark"}, // the map's default transition
        {&LampState::off, "exit;", "LampMap::Dark"},
    };
    for (const Case& c : cases) {
        Lamp lamp;
        EXPECT_EQ(lamp.mContext.getPreviousState(), nullptr);
        lamp.send(&LampState::on);
        EXPECT_EQ(lamp.log, "switch;entry;");
        lamp.log.clear();
        trace.clear();
        lamp.send(c.event);
        EXPECT_EQ(lamp.log, c.log);
        EXPECT_STREQ(lamp.mContext.getState().getName(), c.state);
        EXPECT_STREQ(lamp.mContext.getPreviousState()->getName(), "LampMap::Lit");
        EXPECT_EQ(trace.count("ENTER STATE     : "), 1u) << c.log;
        EXPECT_TRUE(trace.contains(std::string("ENTER STATE     : ") + c.state + "\n")) << trace.str();
    }
    Lamp quiet;
    quiet.mContext.setDebugFlag(false);
    trace.clear();
    quiet.send(&LampState::on);
    EXPECT_EQ(trace.str(), "");
}

TEST(StateMachine, UnhandledEventChangesNothingAndTracesNothing) {
    tdx::test::TraceCapture trace;
    Lamp lamp;
    lamp.send(&LampState::on);
    lamp.send(&LampState::off);
    trace.clear();
    for (auto event : {&LampState::off, &LampState::blink, &LampState::poke}) {
        lamp.send(event);
    }
    EXPECT_EQ(lamp.mContext.getState().getId(), 0);
    EXPECT_STREQ(lamp.mContext.getPreviousState()->getName(), "LampMap::Lit");
    EXPECT_EQ(lamp.log, "switch;entry;exit;");
    EXPECT_EQ(trace.str(), "");
}

TEST(StateMachine, AnEventFromAnActionOrOneNoStateHandlesIsFatal) {
    Lamp lamp;
    lamp.send(&LampState::on);
    EXPECT_DEATH(lamp.send(&LampState::poke), "ASSERTION FAILED.*\n.*_state != NULL");
    // A state base without a default state's override.
    LampState bare("Bare", 7);
    EXPECT_DEATH(bare.on(lamp.mContext), "ASSERTION FAILED.*\n.*false");
}

TEST(StateMachine, NamesAreCutTo100Characters) {
    const std::string longName(150, 'x');
    statemap::State state(longName.c_str(), 3);
    EXPECT_EQ(std::string(state.getName()), longName.substr(0, 100));
    EXPECT_EQ(state.getId(), 3);
    EXPECT_EQ(statemap::copyString(nullptr), nullptr);
}

} // namespace
