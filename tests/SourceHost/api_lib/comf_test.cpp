#include "Libraries/base/os.h"
#include "SourceHost/api_lib/comf.h"
#include "SourceHost/api_lib/loop_port.h"
#include "tests/SourceHost/api_lib/comf_test_util.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <termios.h>

namespace tdx {
namespace {

using test::keepTrying;
using test::Pty;
using test::TempDir;
using test::TraceCapture;

constexpr int SLOT = 1;

std::string readAll(int index, const serial_port& port = comf_serial_port) {
    std::string got;
    uint8_t buf[256];
    int n;
    while ((n = port.read(index, buf, sizeof(buf))) > 0) {
        got.append(reinterpret_cast<const char*>(buf), static_cast<size_t>(n));
    }
    return got;
}

std::string readUntil(int index, size_t count) {
    std::string got;
    keepTrying([&] {
        got += readAll(index);
        return got.size() >= count;
    });
    return got;
}

int writeText(int index, const std::string& text, const serial_port& port = comf_serial_port) {
    return port.write(index, reinterpret_cast<const uint8_t*>(text.data()), static_cast<int>(text.size()));
}

// The serial port as udev would name it: a stable link to whichever pseudo-terminal is the converter now.
class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(mPty.ok());
        mPort = mDir / "ttyKORV0";
        plug(mPty);
    }
    void TearDown() override { comf_close(SLOT); }

    void plug(const Pty& pty) {
        std::filesystem::remove(mPort);
        std::filesystem::create_symlink(pty.slave(), mPort);
    }

    TempDir mDir;
    Pty mPty;
    std::string mPort;
};

TEST_F(SerialPortTest, OpensRaw57600EightNoneOneWithoutFlowControlAndNonBlockingReads) {
    ASSERT_EQ(comf_open(SLOT, mPort.c_str()), 0);
    ASSERT_TRUE(comf_is_connected(SLOT));

    const int fd = open(mPty.slave().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios tio{};
    ASSERT_EQ(tcgetattr(fd, &tio), 0);
    close(fd);
    EXPECT_EQ(cfgetispeed(&tio), B57600);
    EXPECT_EQ(cfgetospeed(&tio), B57600);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | IXANY | ICRNL | ISTRIP), 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    EXPECT_EQ(tio.c_cc[VMIN], 0);
    EXPECT_EQ(tio.c_cc[VTIME], 0);

    // Nothing waiting: the read returns at once with nothing.
    uint8_t buf[16];
    EXPECT_EQ(comf_read(SLOT, buf, sizeof(buf)), 0);
}

TEST_F(SerialPortTest, BytesTravelBothWaysUnchanged) {
    ASSERT_EQ(comf_open(SLOT, mPort.c_str()), 0);
    const std::string fromBus("\xC0\x0D\x0A\x11\x13\x03\x7F\xFF\x00\xC1", 10);
    mPty.send(fromBus);
    EXPECT_EQ(readUntil(SLOT, fromBus.size()), fromBus);

    const std::string toBus("\xC0\x0A\x0D\x11\x13\x04\x00\xC1", 8);
    EXPECT_EQ(writeText(SLOT, toBus), static_cast<int>(toBus.size()));
    EXPECT_EQ(mPty.receive(toBus.size()), toBus);
}

TEST_F(SerialPortTest, LowLatencyIsRequestedAndARefusalIsOnlyTraced) {
    // A pseudo-terminal has no low-latency flag; the fake sysfs gives it the converter's latency timer.
    TempDir sysfs;
    const std::string tty = std::filesystem::path(mPty.slave()).filename();
    sysfs.write("class/tty/" + tty + "/device/latency_timer", "16\n");
    setenv("TDX410_SYSFS_ROOT", sysfs.path().c_str(), 1);
    TraceCapture trace;
    const int result = comf_open(SLOT, mPort.c_str());
    unsetenv("TDX410_SYSFS_ROOT");
    ASSERT_EQ(result, 0);
    EXPECT_TRUE(comf_is_connected(SLOT));
    EXPECT_EQ(sysfs.read("class/tty/" + tty + "/device/latency_timer"), "1");
    EXPECT_TRUE(trace.contains("has no low-latency flag") || trace.contains("low latency refused"))
        << trace.str();
    EXPECT_TRUE(trace.contains("latency timer 1 ms")) << trace.str();
}

TEST_F(SerialPortTest, UnplugIsSurvivedAndTheLinkReturnsWhenThePeerDoes) {
    TraceCapture trace;
    ASSERT_EQ(comf_open(SLOT, mPort.c_str()), 0);
    mPty.send("ab");
    ASSERT_EQ(readUntil(SLOT, 2), "ab");

    // Unplugged: the driver notices the hang-up, closes the port and keeps answering without blocking.
    mPty.close();
    ASSERT_TRUE(keepTrying([] {
        readAll(SLOT);
        return !comf_is_connected(SLOT);
    }));
    EXPECT_TRUE(trace.contains("lost (hang-up)") || trace.contains("lost (")) << trace.str();
    EXPECT_EQ(writeText(SLOT, "lost"), 0);

    // Plugged in again: reopened on the next attempt, one retry period after the loss, without asking for
    // low latency again (that may wait on sysfs, and the reopening runs in the network task).
    const size_t latencyRequests = trace.count("latency");
    Pty again;
    ASSERT_TRUE(again.ok());
    plug(again);
    os_clock_advance(COMF_RETRY_MS - 1);
    readAll(SLOT);
    EXPECT_FALSE(comf_is_connected(SLOT));
    os_clock_advance(1);
    readAll(SLOT);
    ASSERT_TRUE(comf_is_connected(SLOT));
    EXPECT_EQ(trace.count("latency"), latencyRequests) << trace.str();

    again.send("cd");
    EXPECT_EQ(readUntil(SLOT, 2), "cd");
    EXPECT_EQ(writeText(SLOT, "ef"), 2);
    EXPECT_EQ(again.receive(2), "ef");
}

TEST_F(SerialPortTest, AMissingPortIsRetriedEverySecondUntilItAppears) {
    TraceCapture trace;
    std::filesystem::remove(mPort);
    ASSERT_EQ(comf_open(SLOT, mPort.c_str()), 0);
    EXPECT_FALSE(comf_is_connected(SLOT));
    EXPECT_TRUE(trace.contains("retrying " + mPort + " every 1000 ms")) << trace.str();
    uint8_t buf[8];
    EXPECT_EQ(comf_read(SLOT, buf, sizeof(buf)), 0);
    os_clock_advance(COMF_RETRY_MS);
    EXPECT_EQ(comf_read(SLOT, buf, sizeof(buf)), 0);
    EXPECT_FALSE(comf_is_connected(SLOT));

    plug(mPty);
    os_clock_advance(COMF_RETRY_MS);
    EXPECT_EQ(comf_read(SLOT, buf, sizeof(buf)), 0);
    EXPECT_TRUE(comf_is_connected(SLOT));
}

TEST(SerialPort, BadSlotsNamesAndFilesAreRefused) {
    TempDir dir;
    dir.write("not-a-tty", "x");
    uint8_t buf[4] = {};
    EXPECT_EQ(comf_open(-1, "/dev/null"), -1);
    EXPECT_EQ(comf_open(COMF_MAX_PORTS, "/dev/null"), -1);
    EXPECT_EQ(comf_open(0, nullptr), -1);
    EXPECT_EQ(comf_open(0, ""), -1);
    EXPECT_EQ(comf_open(0, std::string(COMF_PORT_NAME_SIZE, 'x').c_str()), -1);
    EXPECT_EQ(comf_read(0, buf, sizeof(buf)), -1);
    EXPECT_EQ(comf_write(0, buf, sizeof(buf)), -1);
    EXPECT_EQ(comf_read(COMF_MAX_PORTS, buf, sizeof(buf)), -1);

    // A file that is no serial port never counts as connected.
    TraceCapture trace;
    ASSERT_EQ(comf_open(0, (dir / "not-a-tty").c_str()), 0);
    EXPECT_FALSE(comf_is_connected(0));
    EXPECT_TRUE(trace.contains("is no serial port")) << trace.str();
    EXPECT_EQ(comf_write(0, buf, sizeof(buf)), 0);
    comf_close(0);
    EXPECT_EQ(comf_read(0, buf, sizeof(buf)), -1);
}

// ---- Loop ports ----

// A converter loop with the display's side opened on it.
class LoopPort : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(loop = comf_loop_create("comf-test"), nullptr);
        ASSERT_EQ(loop_serial_port.open(0, "loop:comf-test"), 0);
    }
    void TearDown() override {
        loop_serial_port.close(0);
        comf_loop_destroy(loop);
    }
    comf_loop* loop = nullptr;
};

TEST_F(LoopPort, CarriesBytesBothWaysAndEchoesTheDisplaysWrites) {
    EXPECT_EQ(comf_loop_create("comf-test"), nullptr);
    ASSERT_TRUE(loop_serial_port.connected(0));

    const uint8_t poll[] = {1, 2, 3};
    EXPECT_EQ(comf_loop_write(loop, poll, 3), 3);
    EXPECT_EQ(readAll(0, loop_serial_port), "\x01\x02\x03");
    EXPECT_EQ(writeText(0, "xy", loop_serial_port), 2);
    uint8_t peer[8];
    EXPECT_EQ(comf_loop_read(loop, peer, sizeof(peer)), 2);
    EXPECT_EQ(readAll(0, loop_serial_port), "xy"); // the converter's echo

    comf_loop_set_echo(loop, false);
    EXPECT_EQ(writeText(0, "z", loop_serial_port), 1);
    EXPECT_EQ(readAll(0, loop_serial_port), "");
    EXPECT_EQ(comf_loop_read(loop, peer, sizeof(peer)), 1);
    EXPECT_EQ(peer[0], 'z');
}

TEST_F(LoopPort, AFullDirectionTakesNoMore) {
    comf_loop_set_echo(loop, false);
    const std::string chunk(COMF_LOOP_CAPACITY - 10, 'a');
    EXPECT_EQ(writeText(0, chunk, loop_serial_port), COMF_LOOP_CAPACITY - 10);
    EXPECT_EQ(writeText(0, std::string(20, 'b'), loop_serial_port), 10);
    EXPECT_EQ(writeText(0, "c", loop_serial_port), 0);
    uint8_t peer[COMF_LOOP_CAPACITY];
    EXPECT_EQ(comf_loop_read(loop, peer, sizeof(peer)), COMF_LOOP_CAPACITY);
    EXPECT_EQ(peer[COMF_LOOP_CAPACITY - 1], 'b');
}

TEST_F(LoopPort, AQuickUnplugAndReplugIsStillNoticed) {
    const uint8_t stale[] = {9, 9};
    comf_loop_write(loop, stale, 2);
    comf_loop_set_plugged(loop, false);
    comf_loop_set_plugged(loop, true);
    EXPECT_EQ(readAll(0, loop_serial_port), ""); // bytes in the unplugged converter are gone
    EXPECT_FALSE(loop_serial_port.connected(0));
    os_clock_advance(COMF_RETRY_MS);
    EXPECT_EQ(readAll(0, loop_serial_port), "");
    EXPECT_TRUE(loop_serial_port.connected(0));
}

TEST(LoopPorts, BadNamesAreRefused) {
    EXPECT_EQ(comf_loop_create(nullptr), nullptr);
    EXPECT_EQ(comf_loop_create(""), nullptr);
    EXPECT_EQ(comf_loop_create(std::string(COMF_PORT_NAME_SIZE, 'n').c_str()), nullptr);
    uint8_t buf[2];
    EXPECT_EQ(comf_loop_read(nullptr, buf, 2), -1);
    EXPECT_EQ(comf_loop_write(nullptr, buf, 2), -1);
    comf_loop_destroy(nullptr);
    // An unknown loop is a missing port, retried like an unplugged converter.
    ASSERT_EQ(loop_serial_port.open(0, "loop:nobody"), 0);
    EXPECT_FALSE(loop_serial_port.connected(0));
    loop_serial_port.close(0);
}

} // namespace
} // namespace tdx
