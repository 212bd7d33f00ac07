// A running GUI core with the real fonts and icons, an empty screen to put widgets on, touch helpers and a
// message log.
#pragma once

#include "Libraries/base/i18n.h"
#include "Libraries/base/os.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/application/resources/resource_mgr.h"
#include "SourceApp/gui/core/core_fixture.h"

#include <stdexcept>
#include <string>

namespace tdx::test {

struct FailedAssertion : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Counts its runs.
class CountingCommand : public ICommand {
public:
    explicit CountingCommand(int& runs)
        : mRuns(runs) {}
    void execute() override { ++mRuns; }

private:
    int& mRuns;
};

class WidgetTest : public CoreTest {
protected:
    static void SetUpTestSuite() {
        sResources = new ResourceMgr;
        if (sResources->load(TDX_RESOURCES_FILE) != 0) {
            throw std::runtime_error("resources file missing: " TDX_RESOURCES_FILE);
        }
    }
    static void TearDownTestSuite() {
        delete sResources;
        sResources = nullptr;
    }

    void SetUp() override {
        CoreTest::SetUp();
        widgets_set_resources(sResources);
        os_set_assert_handler([](const AssertionFailure& f) { throw FailedAssertion(f.expression); });
        mCore.changeState(1, 0, 0, 0, 0);
        pass();
        mLog.clear();
        new Listener(screen(), "screen", mLog);
    }
    void TearDown() override {
        os_set_assert_handler(nullptr);
        i18n_set_provider(nullptr);
        widgets_set_local_time(nullptr);
        widgets_set_resources(nullptr);
        CoreTest::TearDown();
    }

    TestForm* form() const { return screen(); }

    void tap(int x, int y) {
        touch(EVENT_TOUCH_PRESS, x, y);
        pass();
        touch(EVENT_TOUCH_RELEASE, x, y);
        pass(2); // the click, then what widgets sent on it
    }

    // One host tick as the main loop passes it on: the core counts it and a timer message goes out.
    void timer(int ticks = 1) {
        for (int i = 0; i < ticks; ++i) {
            mCore.tick();
            mCore.takeTimerFlag();
            mCore.sendMessage(nullptr, MSG_TIMER, static_cast<int>(mCore.getTickCount()), 0, 0, 0);
            pass();
        }
        pass(); // paints what the last message changed
    }

    // The messages of one id seen since the last clear, optionally from one source.
    int count(unsigned id, const Component* source = nullptr) const {
        int n = 0;
        for (const Seen& s : mLog) {
            n += s.id == id && (source == nullptr || s.source == source);
        }
        return n;
    }
    const Seen* last(unsigned id) const {
        for (auto it = mLog.rbegin(); it != mLog.rend(); ++it) {
            if (it->id == id) {
                return &*it;
            }
        }
        return nullptr;
    }

    // Pixels of one colour in a box.
    static int count_colour(const Box& box, unsigned colour) {
        int n = 0;
        for (int y = box.y1; y <= box.y2; ++y)
            for (int x = box.x1; x <= box.x2; ++x)
                n += at(x, y) == colour;
        return n;
    }

    // Pixels within 0x30 of a colour in every channel (text and icons are anti-aliased).
    static int count_near(const Box& box, unsigned colour) {
        auto close = [](unsigned a, unsigned b) {
            for (int shift = 0; shift < 24; shift += 8) {
                const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
                if (d > 0x30 || d < -0x30)
                    return false;
            }
            return true;
        };
        int n = 0;
        for (int y = box.y1; y <= box.y2; ++y)
            for (int x = box.x1; x <= box.x2; ++x)
                n += close(at(x, y), colour);
        return n;
    }

    // The same pixels in two boxes of one size.
    static bool same_pixels(const Box& a, const Box& b) {
        for (int y = 0; y < a.getHeight(); ++y)
            for (int x = 0; x < a.getWidth(); ++x)
                if (at(a.x1 + x, a.y1 + y) != at(b.x1 + x, b.y1 + y))
                    return false;
        return true;
    }

    static inline ResourceMgr* sResources = nullptr;
    SeenLog mLog;
};

} // namespace tdx::test
