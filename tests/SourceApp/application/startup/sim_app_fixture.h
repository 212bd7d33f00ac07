// The whole application against the simulated control unit with its default installation: the real start-up
// and main loop on one side of the in-process converter pipe, the simulator on the other, one pass per
// millisecond of the shared fake clock and the host's tick every 62 ms.
#pragma once

#include "app_fixture.h"

#include "SourceApp/gui/core/Container.h"
#include "SourceApp/storage/ProxyStructure.h"
#include "SourceApp/storage/net/TaviProtocol.h"
#include "SourceApp/system/config.h"
#include "tests/support/sim_values.h"
#include "tools/simcu/installation.h"
#include "tools/simcu/sim_behaviour.h"
#include "tools/simcu/simcu.h"

#include <functional>
#include <memory>
#include <vector>

namespace tdx::test {

class EndToEnd : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        std::string error;
        auto installation = sim::sim_load_installation(sim::sim_default_installation_path(), &error);
        ASSERT_TRUE(installation) << error;
        mSim.model() = std::move(installation->model);
        start(mLoop.port());
    }

    // The simulator, then one pass, then a millisecond; false when `done` did not hold within `ms`.
    bool runUntil(const std::function<bool()>& done, uint32_t ms) {
        for (uint32_t t = 0; t < ms; ++t) {
            mSim.step();
            pass();
            os_clock_advance(1);
            if (++mSinceTick == 62) {
                mSinceTick = 0;
                core().tick();
            }
            if (done()) {
                mSim.receive();
                return true;
            }
        }
        return false;
    }

    void expectTheInstallationMirrored() {
        size_t objects = 0;
        mSim.model().forEachObject(sim::ALL_OBJECTS, [&](uint32_t oid, const sim::SimObject& o) {
            ++objects;
            const ProxyObject* object = Structure.find(oid);
            ASSERT_NE(object, nullptr) << std::hex << oid;
            EXPECT_TRUE(object->type().is(o.type, o.subtype)) << std::hex << oid;
        });
        EXPECT_EQ(Structure.size(), objects + 1); // and this display
    }

    static bool synchronised() { return Net::Tavi.isSynchronized(); }
    void run(uint32_t ms) {
        runUntil([] { return false; }, ms);
    }

    // Started and synchronised, the installation mirrored, with positions read as they are touched.
    void startSynchronised() {
        ASSERT_TRUE(runUntil(synchronised, 60000));
        run(500);
        Configuration.touch_scale_x = Configuration.touch_scale_y = 1.0f;
        Configuration.touch_offset_x = Configuration.touch_offset_y = 0.0f;
    }

    // Changes to the state and lets the new screen stand.
    void open(unsigned id, unsigned p1 = 0) {
        core().changeState(id, static_cast<int>(p1), 0, 0, 0);
        run(200);
    }

    // A finger on the glass for a fifth of a second, then what follows on the release.
    void tap(int x, int y) {
        handOver().setTouch(x, y);
        handOver().setTouchPress(true);
        run(200);
        handOver().setTouchPress(false);
        run(300);
    }
    void tap(const Component* c) {
        ASSERT_TRUE(c != nullptr && c->isGloballyVisible());
        const Box box = c->getVisibleBox();
        tap(box.x1 + box.getWidth() / 2, box.y1 + box.getHeight() / 2);
    }

    // Components of the open layers, newest layer first.
    static std::vector<Component*> components() {
        std::vector<Component*> all;
        std::function<void(Component*)> add = [&](Component* c) {
            all.push_back(c);
            if (c->isContainerType()) {
                for (Component* child : static_cast<Container*>(c)->getChildren()) {
                    add(child);
                }
            }
        };
        for (Component* layer : core().getModalLayers()) {
            add(layer);
        }
        return all;
    }
    template <class T>
    static T* find(const std::function<bool(const T&)>& match = nullptr) {
        for (Component* c : components()) {
            if (auto* t = dynamic_cast<T*>(c);
                t != nullptr && c->isGloballyVisible() && (!match || match(*t))) {
                return t;
            }
        }
        return nullptr;
    }
    template <class T>
    static T* withText(const std::string& text) {
        return find<T>([&](const T& t) { return t.getText() == text; });
    }
    // The texts of the visible components of a kind, in the order of `components`.
    template <class T>
    static std::vector<std::string> texts() {
        std::vector<std::string> all;
        for (Component* c : components()) {
            if (const auto* t = dynamic_cast<const T*>(c); t != nullptr && c->isGloballyVisible()) {
                all.push_back(t->getText());
            }
        }
        return all;
    }
    static unsigned stateId() { return core().getStateManager().getState().getStateId(); }
    // How often the control unit took in the value.
    size_t publishesOf(uint32_t oid, uint16_t vid) const {
        size_t n = 0;
        for (const sim::SimPublish& p : mSim.received_publishes()) {
            n += p.oid == oid && p.vid == vid ? 1 : 0;
        }
        return n;
    }

    sim::LoopStream mLoop{"app-e2e"};
    sim::SimControlUnit mSim{mLoop};
    int mSinceTick = 0;
};

// Synchronised, the installation mirrored, before the test's first line.
class SynchronisedEndToEnd : public EndToEnd {
protected:
    void SetUp() override {
        EndToEnd::SetUp();
        startSynchronised();
    }
};

// The same against a control unit that answers the display's writes as a unit does: it aims the rooms and
// functions where they mean and publishes what follows (a room's desired temperature, say).
class LivingEndToEnd : public EndToEnd {
protected:
    void SetUp() override {
        EndToEnd::SetUp();
        mLife = std::make_unique<sim::SimBehaviour>(mSim);
        mSim.setReceiveListener(
            [this](uint8_t cmd, const std::vector<uint8_t>& payload) { mLife->received(cmd, payload); });
        startSynchronised();
    }

    std::unique_ptr<sim::SimBehaviour> mLife;
};

} // namespace tdx::test
