// The desktop program on the offscreen platform, with the real application on its thread, against the
// simulator's executable on a pseudo-terminal: it synchronises, shows its screen, and a screenshot through
// the Save button's command holds the canvas' pixels.
#include "SourceHost/desktop/DesktopApplication.h"
#include "SourceHost/desktop/Screenshot.h"
#include "SourceHost/desktop/SimpleMainWindow.h"

#include "SourceHost/api_lib/comf.h"
#include "tests/SourceHost/api_lib/scratch_folder.h"
#include "tests/support/simcu_process.h"
#include "tests/support/trace_capture.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}

namespace tdx::test {
namespace {

class Program : public ScratchFolder {};

// The colour of a pixel of a 320 x 240 screenshot (24-bit BMP, rows bottom-up), as 0x00BBGGRR.
unsigned pixel(const std::string& bmp, int x, int y) {
    const size_t at = 54 + (static_cast<size_t>(239 - y) * 320 + static_cast<size_t>(x)) * 3;
    return static_cast<uint8_t>(bmp[at + 2]) | static_cast<uint8_t>(bmp[at + 1]) << 8 |
           static_cast<unsigned>(static_cast<uint8_t>(bmp[at])) << 16;
}

TEST_F(Program, SynchronisesWithTheSimulatorAndTheScreenshotShowsTheScreen) {
    static int argc = 1;
    static char name[] = "test_tdx410";
    static char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    std::filesystem::create_directories("Dist");
    std::filesystem::create_symlink(TDX_RESOURCES_FILE, "Dist/resources.win32.bin");
    SimProcess simulator({"--quiet"});
    ASSERT_TRUE(simulator.ok());
    comf_set_port_override(simulator.slave().c_str());
    ASSERT_EQ(comf_get_port(PortName), 0);

    CSimpleMainWindow window(desktop_application());
    window.run();
    // "ready": the display's own device state 2 reaches the control unit.
    const std::string ready = "PUBLISH 010410:00 vid 002F type 12 = 2";
    std::string published;
    auto waitForReady = [&](size_t times) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (countOf(published, ready) < times && std::chrono::steady_clock::now() < end) {
            QApplication::processEvents();
            published += simulator.readAvailable();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return countOf(published, ready) >= times;
    };
    ASSERT_TRUE(waitForReady(1)) << published;
    // A restart of the display (as after a factory reset) starts the application again on a new thread and
    // synchronises anew.
    os_restart();
    EXPECT_TRUE(waitForReady(2)) << published;
    EXPECT_GT(window.host().cyclesPerSecond(), 100u);

    std::vector<std::string> reports;
    SaveScreenshotDialog save(
        window.canvas(), [](const std::string&) { return std::string("shot.bmp"); },
        [&](const std::string& text) { reports.push_back(text); });
    save.execute(nullptr);
    EXPECT_TRUE(window.host().stop());
    EXPECT_TRUE(reports.empty());
    std::ifstream in("shot.bmp", std::ios::binary);
    const std::string bmp((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(bmp.size(), 230454u);
    // A screen of the start road (the splash's logo, or the screen that follows it) on white.
    EXPECT_EQ(pixel(bmp, 5, 200), 0xFFFFFFu);
    EXPECT_EQ(pixel(bmp, 314, 235), 0xFFFFFFu);
    int ink = 0;
    for (int y = 90; y < 150; ++y) {
        for (int x = 80; x < 240; ++x) {
            ink += pixel(bmp, x, y) != 0xFFFFFFu;
        }
    }
    EXPECT_GT(ink, 150);
}

} // namespace
} // namespace tdx::test
