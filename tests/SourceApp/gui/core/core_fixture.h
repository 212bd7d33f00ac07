// A running GUI core over an off-screen 320 x 240 surface, with small components that draw flat colours,
// take touch and write down the messages they receive, a screen registry for test screens, and a record of
// every trace line and every flipped rectangle.
#pragma once

#include "SourceApp/gui/core/Container.h"
#include "SourceApp/gui/core/Control.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/gui/core/Form.h"
#include "SourceApp/gui/support/screen.h"
#include "tests/support/trace_capture.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tdx::test {

// A flat rectangle in one colour.
class Patch : public Component {
public:
    Patch(Container* parent, int x, int y, int w, int h, unsigned colour)
        : Component(parent, x, y, w, h)
        , mColour(colour) {
        setName("Patch");
    }
    void setColour(unsigned colour) {
        mColour = colour;
        invalidate();
    }
    void handleDraw() override {
        gfx_setcolor(mColour);
        gfx_fill_rect(getBoundingBox());
    }

private:
    unsigned mColour;
};

// A plain container that paints its ground first.
class Panel : public Container {
public:
    Panel(Container* parent, int x, int y, int w, int h, unsigned colour)
        : Container(parent, x, y, w, h)
        , mColour(colour) {}
    void handleDraw() override {
        gfx_setcolor(mColour);
        gfx_fill_rect(getBoundingBox());
        Container::handleDraw();
    }

private:
    unsigned mColour;
};

// A control drawn in one colour, another while active.
class Key : public Control {
public:
    static constexpr unsigned IDLE = 0x00AA00;
    static constexpr unsigned ACTIVE = 0x0000AA;

    Key(Container* parent, int x, int y, int w, int h)
        : Control(parent, x, y, w, h) {
        setName("Key");
    }
    void handleDraw() override {
        gfx_setcolor(isActive() ? ACTIVE : IDLE);
        gfx_fill_rect(getBoundingBox());
    }
};

// One message as a component saw it.
struct Seen {
    std::string who;
    unsigned id;
    const Component* source;
    int p1;

    friend bool operator==(const Seen&, const Seen&) = default;
};
inline void PrintTo(const Seen& s, std::ostream* os) {
    *os << "{" << s.who << " id " << s.id << " src " << s.source << " p1 " << s.p1 << "}";
}

// A log that every Listener of one test writes to.
using SeenLog = std::vector<Seen>;

// Writes down every message (except timers) and optionally stops one id.
class Listener : public Component {
public:
    Listener(Container* parent, std::string who, SeenLog& log, unsigned stopId = MSG_NONE)
        : Component(parent, 0, 0, 1, 1)
        , mWho(std::move(who))
        , mLog(log)
        , mStopId(stopId) {}
    void handleMessage(Message* m) override {
        mLog.push_back({mWho, m->id, m->source, m->p1});
        if (mStopId != MSG_NONE && m->id == mStopId) {
            m->stopPropagation();
        }
    }

private:
    std::string mWho;
    SeenLog& mLog;
    unsigned mStopId;
};

// A screen for the test registry; its build function fills it.
class TestForm : public Form {
public:
    explicit TestForm(const State& state)
        : Form(state) {
        setName("TestForm");
    }
    ~TestForm() override { ++sDestroyed; }
    static inline int sDestroyed = 0;
    void handleDraw() override {
        gfx_setcolor(0xFFFFFF);
        gfx_fill_rect(getBoundingBox());
        Container::handleDraw();
    }
};

class CoreTest : public ScreenTest {
protected:
    using Builder = std::function<void(TestForm&)>;

    void SetUp() override {
        ScreenTest::SetUp();
        sFixture = this;
        sFlips.clear();
        gfx_set_flip_hook(
            [](const gfx_surface&, int x, int y, int w, int h) { sFlips.push_back(Box(x, y, w, h)); });
        mCore.setChangeStateCallback(&CoreTest::buildScreen);
    }
    void TearDown() override {
        ScreenTest::TearDown();
        sFixture = nullptr;
    }

    // The registry: state id -> what the screen holds. Unknown ids build an empty TestForm.
    static Form* buildScreen(unsigned previous, unsigned next, const State& state) {
        sFixture->mBuilt.push_back({previous, next});
        auto* form = new TestForm(state);
        if (auto it = sFixture->mScreens.find(next); it != sFixture->mScreens.end()) {
            it->second(*form);
        }
        return form;
    }

    // Runs n core passes.
    void pass(int n = 1) {
        for (int i = 0; i < n; ++i) {
            mCore.task();
        }
    }
    void touch(event_kind_t kind, int x, int y) { mCore.sendEvent(kind, x, y, x, y); }

    // The screen shown now (the oldest layer).
    TestForm* screen() const { return dynamic_cast<TestForm*>(mCore.getScreen()); }
    unsigned shownId() const { return mCore.getScreen() ? mCore.getScreen()->getState().getStateId() : 0u; }

    static inline CoreTest* sFixture = nullptr;
    TraceCapture mTrace;
    // The captured text, under the name the widget tests use.
    static inline std::string& sTrace = traceText();
    static inline std::vector<Box> sFlips;

    Core mCore;
    std::map<unsigned, Builder> mScreens;
    std::vector<std::pair<unsigned, unsigned>> mBuilt; // (previous, next) per screen built
};

} // namespace tdx::test
