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
    ASSERT_TRUE(loop.runUntil([&] { return owner.ended(); }, 30000)) << trace.str();
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
