// The bootloader master against bootloader targets in memory: a simulated upgradable peripheral and the
// display's own target. Datagrams are handed across directly; time is the shared fake clock.
#include "Libraries/base/crc16.h"
#include "Libraries/base/os.h"
#include "Libraries/tavi_net/bl_client.h"
#include "Libraries/tavi_net/bl_service.h"
#include "SourceHost/api_lib/device_info.h"
#include "tests/support/trace_capture.h"
#include "tools/simcu/sim_bootloader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tdx::test {
namespace {

struct Event {
    int event = 0;
    uint32_t offset = 0;
    uint32_t length = 0;
    int32_t fault = 0;
    uint8_t status = 0;
    uint64_t at = 0;
};

struct Request {
    std::vector<uint8_t> bytes;
    uint64_t at = 0;
};

using Target = std::function<std::optional<std::vector<uint8_t>>(const std::vector<uint8_t>&)>;

class Exchange {
public:
    explicit Exchange(Target target)
        : mTarget(std::move(target)) {
        sCurrent = this;
        bl_client_init(&client, &Exchange::callback, 0x020304, 500);
    }
    ~Exchange() { sCurrent = nullptr; }

    // One pass of the owner's socket: a due request goes out, answers come back at once.
    void pump() {
        int length = bl_client_io_task(&client, mBuffer);
        while (length > 0) {
            requests.push_back({std::vector<uint8_t>(mBuffer, mBuffer + length), timer()});
            auto reply = mTarget(requests.back().bytes);
            if (!reply) {
                return;
            }
            std::copy(reply->begin(), reply->end(), mBuffer);
            length = bl_client_io_up(&client, mBuffer, static_cast<uint32_t>(reply->size()));
        }
    }

    bool runUntil(const std::function<bool()>& done, uint32_t ms) {
        for (uint32_t t = 0; t <= ms; t += 10) {
            pump();
            if (done()) {
                return true;
            }
            os_clock_advance(10);
        }
        return false;
    }

    // Connects and waits until the target has told what it is and runs.
    bool connect() {
        bl_client_connect(&client);
        return runUntil([this] { return client.state == BL_CL_READY; }, 2000);
    }

    bool sawEvent(int event) const {
        return std::any_of(events.begin(), events.end(),
                           [event](const Event& e) { return e.event == event; });
    }
    std::vector<int> eventCodes() const {
        std::vector<int> codes;
        for (const auto& e : events) {
            if (codes.empty() || e.event != BL_CL_EVENT_DATA) {
                codes.push_back(e.event);
            } else if (codes.back() != BL_CL_EVENT_DATA) {
                codes.push_back(e.event); // runs of chunks count once
            }
        }
        return codes;
    }
    std::vector<uint32_t> chunkOffsets() const {
        std::vector<uint32_t> offsets;
        for (const auto& e : events) {
            if (e.event == BL_CL_EVENT_DATA) {
                offsets.push_back(e.offset);
            }
        }
        return offsets;
    }
    int requestsOf(uint8_t cmd) const {
        return static_cast<int>(std::count_if(requests.begin(), requests.end(),
                                              [cmd](const Request& r) { return r.bytes[0] == cmd; }));
    }

    bl_client client{};
    std::vector<Event> events;
    std::vector<Request> requests;
    std::vector<uint8_t> file;
    bl_file descriptor{};
    int failDataAt = -1;
    bool failStart = false;

private:
    static int callback(bl_client*, bl_cl_event event, void* arg) {
        Exchange& self = *sCurrent;
        Event record{event, 0, 0, 0, 0, timer()};
        int result = 0;
        switch (event) {
            case BL_CL_EVENT_BL_STARTING:
                record.length = *static_cast<uint32_t*>(arg);
                break;
            case BL_CL_EVENT_UPGRADE_START: {
                auto* start = static_cast<bl_event_arg_upgrade_start*>(arg);
                *start->file = self.descriptor;
                *start->extra_length = 3;
                std::memcpy(start->extra, "xyz", 3);
                result = self.failStart ? -1 : 0;
                break;
            }
            case BL_CL_EVENT_DATA: {
                auto* data = static_cast<bl_event_arg_data*>(arg);
                record.offset = data->offset;
                record.length = data->length;
                if (static_cast<int>(data->offset) == self.failDataAt) {
                    result = -1;
                } else {
                    std::memcpy(data->buffer, self.file.data() + data->offset, data->length);
                }
                break;
            }
            case BL_CL_EVENT_FAULT: {
                auto* fault = static_cast<bl_event_arg_fault*>(arg);
                record.fault = fault->code;
                record.status = fault->status;
                break;
            }
            default:
                break;
        }
        self.events.push_back(record);
        return result;
    }

    static inline Exchange* sCurrent = nullptr;
    Target mTarget;
    uint8_t mBuffer[TNET_DATALINK_MTU] = {};
};

// A firmware file of `size` bytes whose descriptor carries its length and the CRC of all but its last 4
// bytes.
void makeFile(Exchange& exchange, uint32_t size) {
    exchange.file.resize(size);
    for (uint32_t i = 0; i < size; ++i) {
        exchange.file[i] = static_cast<uint8_t>(i * 31 + 7);
    }
    put_le32(exchange.descriptor.length, size);
    put_le16(exchange.descriptor.crc, crc16(exchange.file.data(), size - 4));
    exchange.descriptor.type = 2;
}

sim::SimBootloader::Config peripheralConfig() {
    sim::SimBootloader::Config config;
    config.info = sim::SimBootloader::makeInfo("KD201", 2, "KD201", 1, 4, 0x020304);
    config.upgradable = true;
    config.maxRestartSeconds = 2;
    config.restartMs = 1200;
    config.maxChunk = 128;
    return config;
}

Target answerWith(sim::SimBootloader& device) {
    return [&device](const std::vector<uint8_t>& request) { return device.answer(request); };
}

class BootloaderTest : public ::testing::Test {
protected:
    void SetUp() override { os_init(); }
    TraceCapture mTrace;
};

TEST_F(BootloaderTest, FullUpgradeRestartsIntoBootloaderSendsEveryChunkAndReturnsToTheApplication) {
    sim::SimBootloader device(peripheralConfig());
    Exchange exchange(answerWith(device));
    makeFile(exchange, 1000);

    ASSERT_TRUE(exchange.connect());
    EXPECT_EQ(exchange.eventCodes(), (std::vector<int>{BL_CL_EVENT_DEVICE_INFO, BL_CL_EVENT_APPLICATION}));
    EXPECT_EQ(std::string(exchange.client.info.hw_code, 5), "KD201");
    EXPECT_EQ(exchange.client.info.sw_minor, 4);

    bl_client_run_upgrade(&exchange.client, 77);
    ASSERT_TRUE(exchange.runUntil([&] { return exchange.sawEvent(BL_CL_EVENT_DONE); }, 10000));
    bl_client_run_app(&exchange.client);
    ASSERT_TRUE(
        exchange.runUntil([&] { return exchange.events.back().event == BL_CL_EVENT_APPLICATION; }, 5000));

    ASSERT_EQ(exchange.eventCodes(),
              (std::vector<int>{BL_CL_EVENT_DEVICE_INFO, BL_CL_EVENT_APPLICATION, BL_CL_EVENT_BL_STARTING,
                                BL_CL_EVENT_BOOTLOADER, BL_CL_EVENT_UPGRADE_START, BL_CL_EVENT_DATA,
                                BL_CL_EVENT_DONE, BL_CL_EVENT_DEVICE_INFO, BL_CL_EVENT_APPLICATION}));
    EXPECT_TRUE(device.upgraded());
    EXPECT_EQ(device.image(), exchange.file);
    EXPECT_EQ(exchange.client.file_size, 1000u);

    // Whole chunks of the target's size, then the rest.
    EXPECT_EQ(exchange.chunkOffsets(), (std::vector<uint32_t>{0, 128, 256, 384, 512, 640, 768, 896}));
    const auto last = [&](int code) {
        return *std::find_if(exchange.events.rbegin(), exchange.events.rend(),
                             [code](const Event& e) { return e.event == code; });
    };
    EXPECT_EQ(last(BL_CL_EVENT_DATA).length, 104u);

    // The announced restart time reached the owner; the master kept asking until the bootloader answered.
    const Event starting = last(BL_CL_EVENT_BL_STARTING);
    EXPECT_EQ(starting.length, 2u);
    EXPECT_GE(last(BL_CL_EVENT_BOOTLOADER).at - starting.at, 1200u);
    EXPECT_GE(exchange.requestsOf(BL_CMD_GET_BL_STATE), 3);
    EXPECT_EQ(exchange.requestsOf(BL_CMD_RUN_BL), 1);
    EXPECT_EQ(exchange.client.state, BL_CL_READY);
}

TEST_F(BootloaderTest, RepeatedChunkOffsetIsAskedForAgainAndTheUpgradeStillCompletes) {
    sim::SimBootloader device(peripheralConfig());
    Exchange exchange(answerWith(device));
    makeFile(exchange, 300);
    ASSERT_TRUE(exchange.connect());
    device.repeatNextChunk();
    bl_client_run_upgrade(&exchange.client, 1);
    ASSERT_TRUE(exchange.runUntil([&] { return exchange.sawEvent(BL_CL_EVENT_DONE); }, 10000));
    EXPECT_EQ(exchange.chunkOffsets(), (std::vector<uint32_t>{0, 0, 128, 256}));
    EXPECT_EQ(device.image(), exchange.file);
}

TEST_F(BootloaderTest, FailingOwnerCallbackRaisesFault4AndTheMasterFallsSilent) {
    for (const bool failStart : {true, false}) {
        sim::SimBootloader device(peripheralConfig());
        Exchange exchange(answerWith(device));
        makeFile(exchange, 600);
        exchange.failStart = failStart;
        exchange.failDataAt = 128;
        ASSERT_TRUE(exchange.connect());
        bl_client_run_upgrade(&exchange.client, 5);
        ASSERT_TRUE(exchange.runUntil([&] { return exchange.sawEvent(BL_CL_EVENT_FAULT); }, 10000));

        EXPECT_EQ(exchange.events.back().event, BL_CL_EVENT_FAULT);
        EXPECT_EQ(exchange.events.back().fault, BL_FAULT_CALLBACK);
        EXPECT_EQ(exchange.client.state, BL_CL_IDLE);
        EXPECT_EQ(exchange.requestsOf(BL_CMD_UPGRADE_DATA), failStart ? 0 : 1);
        const size_t sent = exchange.requests.size();
        exchange.runUntil([] { return false; }, 2000);
        EXPECT_EQ(exchange.requests.size(), sent);
    }
}

TEST_F(BootloaderTest, StaleRepliesAreIgnoredAndTheCurrentOneCounts) {
    std::vector<std::vector<uint8_t>> seen;
    Exchange exchange([&](const std::vector<uint8_t>& request) -> std::optional<std::vector<uint8_t>> {
        seen.push_back(request);
        return std::nullopt;
    });
    bl_client_connect(&exchange.client);
    exchange.pump();
    ASSERT_EQ(seen.size(), 1u);
    const uint16_t seq = get_le16(seen[0].data() + 2);
    uint8_t buffer[TNET_DATALINK_MTU];

    const std::vector<std::vector<uint8_t>> stale{
        {BL_CMD_GET_PROTO_VERSION | BL_REPLY_FLAG, 0, static_cast<uint8_t>(seq + 1),
         static_cast<uint8_t>((seq + 1) >> 8), 1, 0},
        {BL_CMD_GET_DEV_INFO | BL_REPLY_FLAG, 0, static_cast<uint8_t>(seq), static_cast<uint8_t>(seq >> 8), 1,
         0},
        {BL_CMD_GET_PROTO_VERSION | BL_REPLY_FLAG, 3, static_cast<uint8_t>(seq - 1),
         static_cast<uint8_t>((seq - 1) >> 8)},
        {BL_CMD_GET_PROTO_VERSION | BL_REPLY_FLAG, 0},
    };
    for (const auto& reply : stale) {
        std::copy(reply.begin(), reply.end(), buffer);
        EXPECT_EQ(bl_client_io_up(&exchange.client, buffer, static_cast<uint32_t>(reply.size())), 0);
        EXPECT_EQ(exchange.client.state, BL_CL_PROTO);
    }
    EXPECT_TRUE(exchange.events.empty());
    EXPECT_TRUE(mTrace.contains("stale reply"));

    const std::vector<uint8_t> current{BL_CMD_GET_PROTO_VERSION | BL_REPLY_FLAG, 0, static_cast<uint8_t>(seq),
                                       static_cast<uint8_t>(seq >> 8),           1, BL_MODE_BOOTLOADER};
    std::copy(current.begin(), current.end(), buffer);
    const int next = bl_client_io_up(&exchange.client, buffer, static_cast<uint32_t>(current.size()));
    ASSERT_EQ(next, BL_HEADER_SIZE);
    EXPECT_EQ(buffer[0], BL_CMD_GET_DEV_INFO);
    EXPECT_EQ(get_le16(buffer + 2), static_cast<uint16_t>(seq + 1));
    EXPECT_EQ(exchange.client.state, BL_CL_DEV_INFO);

    // The answers to the copies the master resent while the first answer was on its way: expected, so
    // ignored without a word; an answer to an older request still is stale.
    mTrace.clear();
    for (int copy = 0; copy < 3; ++copy) {
        std::copy(current.begin(), current.end(), buffer);
        EXPECT_EQ(bl_client_io_up(&exchange.client, buffer, static_cast<uint32_t>(current.size())), 0);
    }
    EXPECT_EQ(exchange.client.state, BL_CL_DEV_INFO);
    EXPECT_TRUE(exchange.events.empty());
    EXPECT_EQ(mTrace.str(), "");
    std::copy(stale[2].begin(), stale[2].end(), buffer);
    EXPECT_EQ(bl_client_io_up(&exchange.client, buffer, static_cast<uint32_t>(stale[2].size())), 0);
    EXPECT_TRUE(mTrace.contains("stale reply"));
}

TEST_F(BootloaderTest, SimulatedPeripheralNeverAnswersAReply) {
    sim::SimBootloader device(peripheralConfig());
    const std::vector<uint8_t> lateReply{BL_CMD_GET_BL_STATE | BL_REPLY_FLAG, BL_STATUS_OK, 9, 0, 0, 0, 2, 0};
    EXPECT_FALSE(device.answer(lateReply).has_value());
    EXPECT_EQ(device.requests(), 0);
    EXPECT_TRUE(mTrace.contains("reply 0x82 dropped"));

    const std::vector<uint8_t> request{BL_CMD_GET_PROTO_VERSION, 0, 10, 0};
    const auto answer = device.answer(request);
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ((*answer)[0], BL_CMD_GET_PROTO_VERSION | BL_REPLY_FLAG);
}

TEST_F(BootloaderTest, UnansweredRequestIsRepeatedEveryRetryPeriodWithTheSameSequenceNumber) {
    Exchange exchange([](const std::vector<uint8_t>&) { return std::nullopt; });
    bl_client_connect(&exchange.client);
    exchange.runUntil([] { return false; }, 1600);
    ASSERT_EQ(exchange.requests.size(), 4u);
    for (size_t i = 1; i < exchange.requests.size(); ++i) {
        EXPECT_EQ(exchange.requests[i].bytes, exchange.requests[0].bytes);
        EXPECT_EQ(exchange.requests[i].at - exchange.requests[i - 1].at, 500u);
    }
}

TEST_F(BootloaderTest, DisplayTargetAnswersAsRunningApplicationWithItsOwnDeviceInformation) {
    Exchange exchange([](const std::vector<uint8_t>& request) -> std::optional<std::vector<uint8_t>> {
        uint8_t buffer[TNET_DATALINK_MTU];
        std::copy(request.begin(), request.end(), buffer);
        const int length = bl_target_answer(buffer, static_cast<uint32_t>(request.size()));
        if (length <= 0) {
            return std::nullopt;
        }
        return std::vector<uint8_t>(buffer, buffer + length);
    });
    bl_start_service();
    bl_client_connect(&exchange.client);
    ASSERT_TRUE(exchange.runUntil([&] { return exchange.client.state == BL_CL_READY; }, 1000));
    EXPECT_EQ(exchange.eventCodes(), (std::vector<int>{BL_CL_EVENT_DEVICE_INFO, BL_CL_EVENT_APPLICATION}));

    const auto* bytes = reinterpret_cast<const uint8_t*>(&exchange.client.info);
    const auto* hw = reinterpret_cast<const uint8_t*>(DI.hw);
    const auto* sw = reinterpret_cast<const uint8_t*>(DI.sw);
    EXPECT_EQ(0, std::memcmp(bytes, DI.bl, 4));
    EXPECT_EQ(0, std::memcmp(bytes + 4, hw, 20));
    EXPECT_EQ(bytes[24], sw[21]);
    EXPECT_EQ(bytes[25], sw[22]);
    EXPECT_EQ(bytes[26], hw[18]);
    EXPECT_EQ(std::string(exchange.client.info.hw_code, 5), "TD410");
    EXPECT_EQ(bl_dev_info_serial(&exchange.client.info), DI.hw->serial);

    // The display cannot be upgraded over the network: RUN_BL is refused, which the master reports as
    // fault 1.
    bl_client_run_upgrade(&exchange.client, 3);
    ASSERT_TRUE(exchange.runUntil([&] { return exchange.sawEvent(BL_CL_EVENT_FAULT); }, 1000));
    EXPECT_EQ(exchange.events.back().fault, BL_FAULT_DEVICE_STATUS);
    EXPECT_EQ(exchange.events.back().status, BL_STATUS_NOT_SUPPORTED);
}

TEST_F(BootloaderTest, DisplayTargetRefusesWhatItCannotDo) {
    struct Case {
        std::vector<uint8_t> request;
        uint8_t status;
    };
    const std::vector<Case> cases{
        {{BL_CMD_UPGRADE_START, 0, 1, 0}, BL_STATUS_BAD_STATE},
        {{BL_CMD_UPGRADE_DATA, 0, 2, 0, 0, 0, 0, 0, 1, 0, 9}, BL_STATUS_BAD_STATE},
        {{0x55, 0, 3, 0}, BL_STATUS_UNKNOWN_COMMAND},
        {{0x00, 0, 3, 0}, BL_STATUS_UNKNOWN_COMMAND},
        {{BL_CMD_GET_PROTO_VERSION, 0, 4, 0, 1}, BL_STATUS_BAD_LENGTH},
        {{BL_CMD_RUN_APP, 0, 5, 0}, BL_STATUS_OK},
    };
    for (const auto& c : cases) {
        uint8_t buffer[TNET_DATALINK_MTU];
        std::copy(c.request.begin(), c.request.end(), buffer);
        const int length = bl_target_answer(buffer, static_cast<uint32_t>(c.request.size()));
        ASSERT_EQ(length, BL_HEADER_SIZE);
        EXPECT_EQ(buffer[0], c.request[0] | BL_REPLY_FLAG);
        EXPECT_EQ(buffer[1], c.status);
        EXPECT_EQ(buffer[2], c.request[2]);
    }
    uint8_t shortRequest[TNET_DATALINK_MTU] = {BL_CMD_GET_DEV_INFO, 0, 1};
    EXPECT_EQ(bl_target_answer(shortRequest, 3), 0);
    EXPECT_TRUE(mTrace.contains("request of 3 bytes dropped"));

    // A reply is no request: a late answer to the display's own upgrading side that reaches this port (its
    // socket closed meanwhile) must not be answered, or two targets would answer each other forever.
    for (uint8_t cmd : {uint8_t{BL_CMD_GET_DEV_INFO | BL_REPLY_FLAG}, uint8_t{0xFF}}) {
        uint8_t reply[TNET_DATALINK_MTU] = {cmd, BL_STATUS_UNKNOWN_COMMAND, 7, 0};
        EXPECT_EQ(bl_target_answer(reply, BL_HEADER_SIZE), 0);
    }
    EXPECT_TRUE(mTrace.contains("reply 83 from a peer ignored")) << mTrace.str();
}

TEST_F(BootloaderTest, ContradictoryRepliesEndTheExchangeWithTheirFaultCodes) {
    struct Case {
        const char* name;
        std::function<std::optional<std::vector<uint8_t>>(sim::SimBootloader&, const std::vector<uint8_t>&)>
            target;
        int32_t fault;
    };
    const std::vector<Case> cases{
        {"short proto reply",
         [](sim::SimBootloader&, const std::vector<uint8_t>& request) -> std::optional<std::vector<uint8_t>> {
             return std::vector<uint8_t>{static_cast<uint8_t>(request[0] | BL_REPLY_FLAG), 0, request[2],
                                         request[3], 1};
         },
         BL_FAULT_MALFORMED_REPLY},
        {"offset beyond the file",
         [](sim::SimBootloader& device,
            const std::vector<uint8_t>& request) -> std::optional<std::vector<uint8_t>> {
             auto reply = device.answer(request);
             if (reply && request[0] == BL_CMD_UPGRADE_START && reply->size() == 11) {
                 put_le32(reply->data() + 4, 5000);
             }
             return reply;
         },
         BL_FAULT_OFFSET},
        {"verify failed",
         [](sim::SimBootloader& device,
            const std::vector<uint8_t>& request) -> std::optional<std::vector<uint8_t>> {
             std::vector<uint8_t> spoiled = request;
             if (request[0] == BL_CMD_UPGRADE_DATA && request.size() > 10) {
                 spoiled[10] ^= 0xFF;
             }
             return device.answer(spoiled);
         },
         BL_FAULT_DEVICE_STATUS},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sim::SimBootloader device(peripheralConfig());
        Exchange exchange([&](const std::vector<uint8_t>& request) { return c.target(device, request); });
        makeFile(exchange, 200);
        bl_client_connect(&exchange.client);
        exchange.runUntil([&] { return exchange.client.state == BL_CL_READY || exchange.sawEvent(8); }, 2000);
        if (!exchange.sawEvent(BL_CL_EVENT_FAULT)) {
            bl_client_run_upgrade(&exchange.client, 9);
            exchange.runUntil([&] { return exchange.sawEvent(BL_CL_EVENT_FAULT); }, 10000);
        }
        ASSERT_TRUE(exchange.sawEvent(BL_CL_EVENT_FAULT));
        EXPECT_EQ(exchange.events.back().fault, c.fault);
        EXPECT_FALSE(exchange.sawEvent(BL_CL_EVENT_DONE));
        EXPECT_EQ(exchange.client.state, BL_CL_IDLE);
    }
}

} // namespace
} // namespace tdx::test
