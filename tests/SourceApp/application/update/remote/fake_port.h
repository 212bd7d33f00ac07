// A bootloader master that the test drives: it records what the service asks of it and raises the master's
// events as a device's answers would.
#pragma once

#include "SourceApp/application/update/remote/BootloaderPort.h"

#include <string>
#include <vector>

namespace tdx::test {

class FakePort final : public BootloaderPort {
public:
    void init(uint32_t, uint32_t, BootloaderPortListener& l) override {
        listener = &l;
        calls.push_back("init");
    }
    bool connect() override {
        calls.push_back("connect");
        return true;
    }
    void disconnect() override { calls.push_back("disconnect"); }
    void runUpgrade(uint32_t fileId) override {
        calls.push_back("upgrade " + std::to_string(fileId));
        if (faultOnUpgrade) {
            fault(BL_FAULT_CALLBACK); // as the master does when the descriptor cannot be had
        }
    }
    void runApp() override { calls.push_back("app"); }
    const bl_dev_info& deviceInfo() const override { return info; }
    uint32_t fileSize() const override { return size; }
    uint8_t masterState() const override { return 0; }
    bool canReachDevice() const override { return reachable; }

    int raise(bl_cl_event event, void* arg = nullptr) { return listener->handleMasterEvent(event, arg); }
    int chunk(uint32_t offset, uint32_t length) {
        std::vector<uint8_t> buffer(length);
        bl_event_arg_data data{0, offset, length, buffer.data()};
        return raise(BL_CL_EVENT_DATA, &data);
    }
    void restarting(uint32_t seconds) { raise(BL_CL_EVENT_BL_STARTING, &seconds); }
    void fault(int32_t code) {
        bl_event_arg_fault fault{code, 0, 0};
        raise(BL_CL_EVENT_FAULT, &fault);
    }

    BootloaderPortListener* listener = nullptr;
    std::vector<std::string> calls;
    bl_dev_info info{};
    uint32_t size = 600;
    bool faultOnUpgrade = false;
    bool reachable = true; // the network is up
};

} // namespace tdx::test
