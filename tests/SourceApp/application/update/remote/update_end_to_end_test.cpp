// Updating the simulated control unit from the display over the in-process pipe at line speed, on the shared
// fake clock.
#include "Libraries/base/crc16.h"
#include "Libraries/tavi_net/tnet_datalink.h"
#include "SourceApp/application/update/remote/BootloaderService.h"
#include "support/trace_capture.h"
#include "support/update_loop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace tdx::test {
namespace {

constexpr uint32_t UNIT = 0x000316;

// Serves one image from memory; the descriptor names the control unit and version 2.1.
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
        bl_put_u32(file->length, static_cast<uint32_t>(image.size()));
        bl_put_u16(file->crc, crc16(image.data(), image.size() - 4));
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

    std::vector<uint8_t> image;
    std::vector<int> events;
};

TEST(UpdateEndToEnd, ControlUnitRestartsIntoItsBootloaderTakesTheImageAndReturnsWithTheNewVersion) {
    TraceCapture trace;
    UpdateLoop loop(sim::SimConfig{});
    ImageOwner owner(3000);
    BootloaderService service(UNIT, owner);
    loop.setPump([&] { service.task(); });
    ASSERT_TRUE(loop.connect());
    service.start();
    ASSERT_TRUE(loop.runUntil([&] { return !owner.events.empty(); }, 3000));
    service.upgrade(0);
    const auto ended = [&] {
        const int last = owner.events.back();
        return last == BCE_FINISHED || last == BCE_TIMEOUT || last == BCE_FAULT;
    };
    ASSERT_TRUE(loop.runUntil(ended, 30000)) << trace.str();
    EXPECT_EQ(owner.events.back(), BCE_FINISHED) << trace.str();
    EXPECT_EQ(loop.sim().bootloader().image(), owner.image);
    EXPECT_EQ(loop.sim().bootloader().info().sw_major, 2);
    EXPECT_EQ(loop.sim().bootloader().info().sw_minor, 1);
}

TEST(UpdateEndToEnd, ServiceDestroyedWithItsSocketOpenLeavesNoUserBehindAndFreesTheSocket) {
    TraceCapture trace;
    UpdateLoop loop(sim::SimConfig{});
    ImageOwner owner(100);
    auto service = std::make_unique<BootloaderService>(UNIT, owner);
    ASSERT_TRUE(loop.connect());
    service->start();
    ASSERT_TRUE(loop.runUntil([&] { return !loop.sim().received_datagrams().empty(); }, 1000));
    service.reset(); // the answer to its first request is on its way
    loop.run(1000);
    EXPECT_TRUE(owner.events.empty());
    EXPECT_EQ(trace.count("nobody listens: dropped"), 1u) << trace.str();
    xsock* socket = tnet_datalink_connect(
        BL_PORT, UNIT, BL_PORT, [](xsock_event, uint8_t*, uint32_t, void*) {}, nullptr);
    EXPECT_NE(socket, nullptr) << "the one outgoing socket is free again";
    tnet_datalink_close(socket);
}

} // namespace
} // namespace tdx::test
