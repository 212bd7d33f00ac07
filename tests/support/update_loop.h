// The display's network client and the simulated control unit on an in-process converter pipe, the bytes
// crossing at line speed, both sides on the shared fake clock: the stage for updating the control unit from
// the display, in the tests and in the update benchmark.
#pragma once

#include "Libraries/base/os.h"
#include "Libraries/tavi_net/tnet.h"
#include "tools/simcu/simcu.h"

#include <functional>
#include <memory>
#include <string>

namespace tdx::test {

class UpdateLoop {
public:
    explicit UpdateLoop(const sim::SimConfig& config)
        : mLoop("update" + std::to_string(++sCount))
        , mWire(mLoop)
        , mSim(mWire, config) {
        os_init();
        static const tnet_client_handler none{};
        tnet_init(&none);
        tnet_init_interface_bus(0, mLoop.port().c_str(), 1, 0);
        tnet_start();
        mSim.setPump([this] {
            tnet_task();
            if (mPump) {
                mPump();
            }
        });
    }
    ~UpdateLoop() { tnet_stop(); }
    UpdateLoop(const UpdateLoop&) = delete;
    UpdateLoop& operator=(const UpdateLoop&) = delete;

    // Runs after the client's task in every step: the display's own poll steps.
    void setPump(std::function<void()> pump) { mPump = std::move(pump); }
    // Learns and waits for the session.
    bool connect() {
        tnet_learn_request();
        return runUntil([] { return tnet_get_state() == TNET_SESSION; }, 3000);
    }
    bool runUntil(const std::function<bool()>& done, uint32_t ms) { return mSim.wait_until(done, ms); }
    void run(uint32_t ms) {
        mSim.wait_until([] { return false; }, ms);
    }

    sim::SimControlUnit& sim() { return mSim; }
    const sim::WireStream& wire() const { return mWire; }

private:
    static inline int sCount = 0;
    sim::LoopStream mLoop;
    sim::WireStream mWire;
    sim::SimControlUnit mSim;
    std::function<void()> mPump;
};

} // namespace tdx::test
