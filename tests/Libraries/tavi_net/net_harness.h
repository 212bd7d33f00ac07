// The display's network client wired to the simulated control unit over an in-process converter pipe, on the
// shared fake clock. Records everything the client tells its upper layer and every trace line.
#pragma once

#include "Libraries/base/os.h"
#include "Libraries/tavi_net/tnet.h"
#include "Libraries/tavi_net/tnet_datalink.h"
#include "SourceHost/api_lib/loop_port.h"
#include "tests/support/sim_loop_test.h"
#include "tools/simcu/simcu.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace tdx::test {

// What the client handed to its upper layer.
struct Upper {
    std::vector<uint32_t> connected;
    std::vector<int> disconnected;
    std::vector<std::pair<uint8_t, std::vector<uint8_t>>> received;
    std::vector<uint8_t> transmitted;
    std::vector<uint8_t> failed;
    std::vector<int> learning;
    std::deque<std::pair<uint8_t, std::vector<uint8_t>>> toSend;

    int receivedCount(uint8_t cmd) const {
        int n = 0;
        for (const auto& [code, payload] : received) {
            n += code == cmd;
        }
        return n;
    }
};

inline Upper& upper() {
    static Upper instance;
    return instance;
}

inline const tnet_client_handler* recordingHandler() {
    static const tnet_client_handler table{
        [](uint32_t owner) { upper().connected.push_back(owner); },
        [](int reason) { upper().disconnected.push_back(reason); },
        [](uint8_t cmd, const uint8_t* payload, uint16_t len) {
            upper().received.emplace_back(cmd, std::vector<uint8_t>(payload, payload + len));
        },
        [](uint8_t* cmd, uint8_t* payload, uint16_t max) -> int {
            auto& queue = upper().toSend;
            if (queue.empty() || queue.front().second.size() > max) {
                return -1;
            }
            *cmd = queue.front().first;
            std::copy(queue.front().second.begin(), queue.front().second.end(), payload);
            const int length = static_cast<int>(queue.front().second.size());
            queue.pop_front();
            return length;
        },
        [](uint8_t cmd) { upper().transmitted.push_back(cmd); },
        [](uint8_t cmd) { upper().failed.push_back(cmd); },
        [](int learning) { upper().learning.push_back(learning); },
    };
    return &table;
}

constexpr uint32_t DISPLAY = 0x010410;
constexpr uint32_t UNIT = 0x000316;

inline std::vector<uint8_t> subscribePayload(uint32_t oid, uint16_t vid) {
    std::vector<uint8_t> payload(TNET_SUBSCRIBE_SIZE);
    put_le32(payload.data(), oid);
    put_le16(payload.data() + TNET_PUB_OFS_VID, vid);
    return payload;
}

class NetTest : public SimLoopTest {
protected:
    NetTest()
        : SimLoopTest("net") {}

    void SetUp() override {
        upper() = Upper{};
        os_init();
        ASSERT_TRUE(mLoop.isOpen());
        tnet_init(recordingHandler());
        tnet_set_serial_port(&loop_serial_port);
        ASSERT_EQ(tnet_init_interface_bus(0, mLoop.port().c_str(), 1, 0), 0);
        tnet_start();
        mSim.setPump([] { tnet_task(); });
    }

    void TearDown() override {
        if (HasFailure()) {
            std::string text;
            for (const auto& packet : mSim.log()) {
                text += std::string(packet.fromMaster ? "M " : "C ") +
                        (tnet_command_name(packet.cmd) ? tnet_command_name(packet.cmd) : "?") +
                        " ctl=" + std::to_string(packet.control) +
                        " len=" + std::to_string(packet.payload.size()) + "\n";
            }
            ADD_FAILURE() << "bus:\n" << text << "trace:" << traceText();
        }
        tnet_stop();
    }

    void startSession() {
        tnet_learn_request();
        ASSERT_TRUE(waitFor([] { return tnet_get_state() == TNET_SESSION; }));
        ASSERT_TRUE(waitFor([this] { return mSim.phase() == sim::SimControlUnit::Phase::Session; }));
        mSim.clearLog();
    }

    std::vector<sim::SimPacket> packets(bool fromMaster, uint8_t cmd) const {
        std::vector<sim::SimPacket> out;
        for (const auto& packet : mSim.log()) {
            if (packet.fromMaster == fromMaster && packet.cmd == cmd) {
                out.push_back(packet);
            }
        }
        return out;
    }
};

} // namespace tdx::test
