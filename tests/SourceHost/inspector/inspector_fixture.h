// The inspector's model on a real GUI core with small trees, a host in step mode whose pass runs the queued
// work and one core pass, and a bus that writes down what reaches it.
#pragma once

#include "SourceApp/gui/core/core_fixture.h"
#include "SourceHost/inspector/InspectorLink.h"
#include "SourceHost/inspector/Model.h"

#include <deque>
#include <mutex>

namespace tdx::test {

// Writes every event of the names it listens to as one line: the name, then what it carries.
class BusLog : public Application {
public:
    explicit BusLog(std::string name = "Log")
        : Application(std::move(name)) {}
    void run() override {}
    void listen(Application& bus, const std::vector<std::string>& names) {
        for (const std::string& name : names) {
            bus.addListener(name, std::make_shared<Line>(*this, name));
        }
    }
    std::vector<std::string> take() {
        std::lock_guard<std::mutex> guard(mLock);
        return std::exchange(mLines, {});
    }

private:
    class Line : public Command {
    public:
        Line(BusLog& log, std::string name)
            : mLog(log)
            , mName(std::move(name)) {}
        void execute(MessageArgument* argument) override {
            std::string text = mName;
            MessageReaderComponent component;
            if (component.tryRead(argument)) {
                text += " " + (component.getComponent() ? component.getComponent()->getName() : "-");
            } else if (const ComponentCopy* copy = read_component_copy(argument)) {
                text += " " + copy->typeName + " " + std::to_string(copy->box.x1) + "," +
                        std::to_string(copy->box.y1) + " " + std::to_string(copy->box.getWidth()) + "x" +
                        std::to_string(copy->box.getHeight());
            } else if (const auto* rows = payload_as<MessageArgumentComponentRows>(argument)) {
                text += " " + std::to_string(rows->getRows().size()) + " rows";
            }
            std::lock_guard<std::mutex> guard(mLog.mLock);
            mLog.mLines.push_back(text);
        }

    private:
        BusLog& mLog;
        std::string mName;
    };
    std::mutex mLock;
    std::vector<std::string> mLines;
};

class LambdaCommand : public Command {
public:
    explicit LambdaCommand(std::function<void(MessageArgument*)> f)
        : mF(std::move(f)) {}
    void execute(MessageArgument* argument) override { mF(argument); }

private:
    std::function<void(MessageArgument*)> mF;
};

// The GUI core's selection, which the bridge's base keeps (the inspector's bridge names the component it
// last announced).
inline Component* coreSelection(Model& model) {
    return static_cast<DebuggerBridge&>(model.bridge()).getSelectedComponent();
}

inline const std::vector<std::string> MODEL_EVENTS = {"STATE_CHANGE", "COMPONENT_SELECT",
                                                      "COMPONENT_DESELECT", "COMPONENT_NOTIFY_CHANGE",
                                                      "COMPONENT_TREE_CHANGE"};

// Work posted to the window thread, run when the test says.
class PostQueue {
public:
    WindowPoster poster() {
        return [this](std::function<void()> work) {
            std::lock_guard<std::mutex> guard(mLock);
            mWork.push_back(std::move(work));
        };
    }
    // Runs what was posted so far; the number run.
    size_t run() {
        std::deque<std::function<void()>> work;
        {
            std::lock_guard<std::mutex> guard(mLock);
            work.swap(mWork);
        }
        for (auto& w : work) {
            w();
        }
        return work.size();
    }

private:
    std::mutex mLock;
    std::deque<std::function<void()>> mWork;
};

class InspectorTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        model.attach(&mCore);
        host.InitializeStepMode();
    }
    void TearDown() override {
        host.stop();
        model.attach(nullptr);
        CoreTest::TearDown();
    }
    // One host pass: the queued commands and events, then one core pass.
    void step(int n = 1) {
        for (int i = 0; i < n; ++i) {
            host.step();
        }
    }
    TestForm* openScreen(unsigned id) {
        mCore.changeState(id, 0, 0, 0, 0);
        pass();
        return screen();
    }
    template <class T = Patch>
    T* add(Container* parent, const std::string& name, int x, int y, int w, int h) {
        auto* c = new T(parent, x, y, w, h, 0x123456);
        c->setName(name);
        return c;
    }

    Model model;
    HostHandOver handOver;
    ManualTimerQueue timers;
    CHost host{{nullptr,
                [this] {
                    handOver.runQueued(
                        [this](const Event& e) { mCore.sendEvent(e.kind, e.x, e.y, e.a, e.b); });
                    mCore.task();
                }},
               handOver,
               &timers};
};

} // namespace tdx::test
