#include "SourceHost/api_lib/comf.h"
#include "tests/SourceHost/api_lib/comf_test_util.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace tdx {
namespace {

using test::Pty;
using test::TempDir;
using test::TraceCapture;

// A sysfs tree as the kernel builds it for USB serial ports: /class/tty/NAME links to the tty's folder below
// the USB interface, whose `device` links to the port; the USB device above holds the descriptor strings.
class ConverterDiscoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(mSys / "class/tty");
        setenv("TDX410_SYSFS_ROOT", mSys.path().c_str(), 1);
        unsetenv("TDX410_PORT");
        comf_set_port_override(nullptr);
    }
    void TearDown() override {
        unsetenv("TDX410_SYSFS_ROOT");
        unsetenv("TDX410_PORT");
        comf_set_port_override(nullptr);
    }

    struct Usb {
        const char* manufacturer = "KORVANTEX";
        const char* product = "HMU-300-USB";
        bool idVendor = true;
    };

    // ttyUSB/ttyACM port `name` on the USB device at `usbPath`; nullptr leaves an attribute out.
    void addUsbTty(const std::string& name, const std::string& usbPath, const Usb& usb) {
        const std::string device = "devices/pci0000:00/0000:00:14.0/" + usbPath;
        if (usb.idVendor) {
            mSys.write(device + "/idVendor", "0403\n");
        }
        if (usb.manufacturer != nullptr) {
            mSys.write(device + "/manufacturer", std::string(usb.manufacturer) + "\n");
        }
        if (usb.product != nullptr) {
            mSys.write(device + "/product", std::string(usb.product) + "\n");
        }
        const std::string leaf = usbPath.substr(usbPath.find_last_of('/') + 1);
        const std::string port = device + "/" + leaf + ":1.0/" + name;
        const std::string tty = port + "/tty/" + name;
        std::filesystem::create_directories(mSys / tty);
        std::filesystem::create_symlink(mSys / port, mSys / (tty + "/device"));
        std::filesystem::create_symlink(mSys / tty, mSys / ("class/tty/" + name));
    }
    void addVirtualTty(const std::string& name) {
        std::filesystem::create_directories(mSys / ("class/tty/" + name));
    }
    void addPlatformTty(const std::string& name) {
        const std::string port = "devices/platform/serial8250/" + name;
        std::filesystem::create_directories(mSys / (port + "/tty/" + name));
        std::filesystem::create_symlink(mSys / port, mSys / (port + "/tty/" + name + "/device"));
        std::filesystem::create_symlink(mSys / (port + "/tty/" + name), mSys / ("class/tty/" + name));
    }

    std::vector<std::string> find(int max = 8) {
        char paths[8][COMF_PORT_NAME_SIZE];
        const int n = comf_find_converters(paths, max);
        return std::vector<std::string>(paths, paths + n);
    }

    TempDir mSys;
};

TEST_F(ConverterDiscoveryTest, FindsConvertersAmongOtherTerminalsAlsoBehindTheAcmDriverAndAHub) {
    addVirtualTty("tty0");
    addPlatformTty("ttyS0");
    addUsbTty("ttyUSB3", "usb1/1-2", {});
    addUsbTty("ttyACM0", "usb2/2-1/2-1.4", {});
    EXPECT_EQ(find(), (std::vector<std::string>{"/dev/ttyACM0", "/dev/ttyUSB3"})); // in name order
    EXPECT_EQ(find(1), std::vector<std::string>{"/dev/ttyACM0"});
}

TEST_F(ConverterDiscoveryTest, OtherProductsAndMissingAttributesRuleAPortOutAndStringsCompareTrimmedExactly) {
    TraceCapture trace;
    addUsbTty("ttyUSB0", "usb1/1-1", {.manufacturer = nullptr});
    addUsbTty("ttyUSB1", "usb1/1-2", {.product = nullptr});
    addUsbTty("ttyUSB2", "usb1/1-3", {.idVendor = false}); // no USB device above it at all
    addUsbTty("ttyUSB3", "usb1/1-4", {.manufacturer = "FTDI", .product = "FT232R USB UART"});
    addUsbTty("ttyUSB4", "usb1/1-5", {.manufacturer = "  KORVANTEX \t", .product = "HMU-300-USB  "});
    addUsbTty("ttyUSB5", "usb1/1-6", {.manufacturer = "KORVANTEX", .product = "HMU-300-USB2"});
    addUsbTty("ttyUSB6", "usb1/1-7", {.manufacturer = "korvantex", .product = "HMU-300-USB"});
    EXPECT_EQ(find(), std::vector<std::string>{"/dev/ttyUSB4"});
    EXPECT_TRUE(trace.contains("ttyUSB0: USB device without manufacturer or product")) << trace.str();
    EXPECT_TRUE(trace.contains("ttyUSB1: USB device without manufacturer or product")) << trace.str();
    EXPECT_TRUE(trace.contains("ttyUSB3 is \"FTDI\" \"FT232R USB UART\", no converter")) << trace.str();
}

TEST_F(ConverterDiscoveryTest, NoSysfsMeansNoConverter) {
    setenv("TDX410_SYSFS_ROOT", (mSys / "absent").c_str(), 1);
    TraceCapture trace;
    EXPECT_TRUE(find().empty());
    EXPECT_TRUE(trace.contains("cannot read")) << trace.str();
}

TEST_F(ConverterDiscoveryTest, AnExplicitPortIsTakenAtOnceWithoutLookingAtSysfs) {
    addUsbTty("ttyUSBtdx410gone", "usb1/1-1", {});
    char portName[COMF_PORT_NAME_SIZE] = "AUTO";

    setenv("TDX410_PORT", "/dev/pts/7", 1);
    EXPECT_EQ(comf_get_port(portName), 0);
    EXPECT_STREQ(portName, "/dev/pts/7");

    // The command line wins over the environment.
    comf_set_port_override("/tmp/tdx410-port");
    EXPECT_EQ(comf_get_port(portName), 0);
    EXPECT_STREQ(portName, "/tmp/tdx410-port");

    // Too long to be a port name: refused.
    comf_set_port_override(std::string(COMF_PORT_NAME_SIZE, 'p').c_str());
    std::strcpy(portName, "AUTO");
    EXPECT_EQ(comf_get_port(portName), -1);
    EXPECT_STREQ(portName, "AUTO");

    // Without it the search finds no answering converter (sysfs lists one without a device node): the name
    // stays.
    comf_set_port_override("");
    unsetenv("TDX410_PORT");
    EXPECT_EQ(comf_get_port(portName), -1);
    EXPECT_STREQ(portName, "AUTO");

    // A port name filled in before the search is kept.
    std::strcpy(portName, "/dev/ttyUSB9");
    EXPECT_EQ(comf_get_port(portName), 0);
    EXPECT_STREQ(portName, "/dev/ttyUSB9");

    EXPECT_EQ(comf_get_port(nullptr), -1);
}

TEST(ConverterProbe, AnswersWhenTheBusCarriesTraffic) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    // The control unit polls continuously; the probe flushes what came before it listens.
    std::atomic<bool> stop{false};
    std::thread master([&] {
        const char poll = static_cast<char>(0xC0);
        while (!stop.load()) {
            (void)::write(pty.master(), &poll, 1);
            std::this_thread::yield();
        }
    });
    const int result = comf_probe(pty.slave().c_str());
    stop = true;
    master.join();
    EXPECT_EQ(result, 0);
}

TEST(ConverterProbe, FailsAtOnceWithoutAPort) {
    TempDir dir;
    dir.write("file", "x");
    EXPECT_EQ(comf_probe((dir / "absent").c_str()), -1);
    EXPECT_EQ(comf_probe((dir / "file").c_str()), -1);
    EXPECT_EQ(comf_probe(nullptr), -1);
    EXPECT_EQ(comf_probe(""), -1);
}

} // namespace
} // namespace tdx
