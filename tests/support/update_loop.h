// The display's network client and the simulated control unit on an in-process converter pipe, the bytes
// crossing at line speed, both sides on the shared fake clock: the stage for updating the control unit from
// the display, in the tests and in the update benchmark.
#pragma once

#include "Libraries/base/crc16.h"
#include "Libraries/base/os.h"
#include "Libraries/tavi_net/tnet.h"
#include "SourceApp/application/update/remote/BootloaderService.h"
#include "SourceHost/api_lib/loop_port.h"
#include "tools/simcu/simcu.h"

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

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
        tnet_set_serial_port(&loop_serial_port);
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
    bool runUntil(const std::function<bool()>& done, uint32_t ms, uint32_t stepMs = 10) {
        return mSim.wait_until(done, ms, stepMs);
    }
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

// Serves one image from memory to a bootloader service; its descriptor names the control unit and
// version 2.1.
class ImageOwner final : public BootloaderUpgradeInterface {
public:
    explicit ImageOwner(uint32_t size) {
        for (uint32_t i = 0; i < size; ++i) {
            image.push_back(static_cast<uint8_t>(i * 13 + 5));
        }
    }
    void handleEvent(bootloader_client_event event) override { events.push_back(event); }
    int getFileDescriptor(uint32_t, bl_file* file, void* extra, uint8_t* extraLength) override {
        *file = bl_file{};
        put_le32(file->length, static_cast<uint32_t>(image.size()));
        put_le16(file->crc, crc16(image.data(), image.size() - 4));
        file->type = 1;
        uint8_t descriptor[23] = {'T', 'B', 1,   'H', 'M', '3', '1', '6', 0,
                                  255, 'H', 'M', '3', '1', '6', 0,   255};
        descriptor[21] = 2;
        descriptor[22] = 1;
        std::memcpy(extra, descriptor, sizeof descriptor);
        *extraLength = sizeof descriptor;
        return 0;
    }
    int getFileData(uint32_t, uint8_t* buffer, uint32_t offset, uint32_t length) override {
        if (offset + length > image.size()) {
            return -1;
        }
        std::memcpy(buffer, image.data() + offset, length);
        return 0;
    }
    bool ended() const {
        return !events.empty() &&
               (events.back() == BCE_FINISHED || events.back() == BCE_TIMEOUT || events.back() == BCE_FAULT);
    }

    std::vector<uint8_t> image;
    std::vector<int> events;
};

} // namespace tdx::test
