// The device information screen: a device's identity as the user reads it, and its name as the user edits it.
#include "Libraries/base/os.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/KeyboardEditor.h"
#include "SourceHost/api_lib/device_info.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <string>

namespace tdx::test {
namespace {

constexpr uint32_t THERMOSTAT = 0x000520;
constexpr oid_t DEVICE = THERMOSTAT; // object index 0: the device itself
constexpr unsigned DEVICE_INFO = 23;

class DeviceInfoTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        device(THERMOSTAT)
            .text(VID_NAME, "Hall thermostat")
            .text(0x80E4, "TDX")
            .value(0x800D, 5)
            .value(0x809E, 0)
            .text(0x80E3, "HW")
            .value(0x800E, 1)
            .value(0x80DF, 1234)
            .value(0x800C, 567890);
        runTasks();
    }
    // The value shown right of a caption.
    std::string valueOf(const std::string& caption) const {
        const Component* label = findByText(caption);
        if (label == nullptr) {
            return "<no " + caption + ">";
        }
        for (Component* c : components()) {
            if (c->getParent() == label->getParent() && c->getLeft() > label->getRight()) {
                return textOf(*c).value_or("");
            }
        }
        return "<nothing>";
    }
};

TEST_F(DeviceInfoTest, VersionsAndSerialNumberReadAsTheDeviceReportsThem) {
    const struct {
        const char* what;
        vid_t vid;
        int value;
        const char* caption;
        const char* shown;
    } cases[] = {
        {"a release", 0x809E, 0, "Software", "TDX05"},
        {"the first build", 0x809E, 1, "Software", "TDX05b1"},
        {"the last build", 0x809E, 254, "Software", "TDX05b254"},
        {"no build", 0x809E, 255, "Software", "TDX05"},
        {"a three-digit hardware version", 0x800E, 100, "Hardware", "HW100"},
        {"a serial number", 0x800C, 567890, "Serial number", "1234-00-0056-7890"},
        {"no serial number", 0x800C, -1, "Serial number", "--"},
    };
    for (const auto& c : cases) {
        receive(DEVICE, c.vid, c.value);
        open(DEVICE_INFO, DEVICE);
        EXPECT_EQ(valueOf(c.caption), c.shown) << c.what;
    }
    ObjectBuilder(DEVICE).invalid(0x800C);
    open(DEVICE_INFO, DEVICE);
    EXPECT_EQ(valueOf("Serial number"), "--") << "an unreadable serial number is no serial number 0";
    EXPECT_NE(findByText("Hall thermostat | Device information"), nullptr);
}

// A number that cannot be read is shown as unknown, as the tiles show it, never as a version 00.
TEST_F(DeviceInfoTest, AVersionThatCannotBeReadShowsDashes) {
    const struct {
        vid_t unreadable;
        const char* software;
        const char* hardware;
    } cases[] = {{0x800D, "--", "HW01"}, {0x800E, "TDX05b3", "--"}};
    for (const auto& c : cases) {
        ObjectBuilder(DEVICE).value(0x800D, 5).value(0x800E, 1).value(0x809E, 3).invalid(c.unreadable);
        open(DEVICE_INFO, DEVICE);
        EXPECT_EQ(valueOf("Software"), c.software);
        EXPECT_EQ(valueOf("Hardware"), c.hardware);
    }
}

// The display's own identity has no name: its title is the screen's alone.
TEST_F(DeviceInfoTest, ADeviceWithoutANameIsTitledWithoutASeparator) {
    const struct {
        const char* name;
        const char* title;
    } cases[] = {{"", "Device information"}, {"Hall thermostat", "Hall thermostat | Device information"}};
    for (const auto& c : cases) {
        ObjectBuilder(DEVICE).text(VID_NAME, c.name);
        open(DEVICE_INFO, DEVICE);
        EXPECT_NE(findByText(c.title), nullptr) << c.title;
        EXPECT_EQ(findByText(" | Device information"), nullptr);
        EXPECT_EQ(findByText("| Device information"), nullptr);
    }
}

TEST_F(DeviceInfoTest, TheEditedNameIsWrittenOnAcceptAndTheTitleFollowsOnTheNextVisit) {
    open(DEVICE_INFO, DEVICE);
    typeAfterName(" 2");
    runTasks(2);
    EXPECT_EQ(published(), (Published{{DEVICE, VID_NAME, std::string("Hall thermostat 2")}}));
    EXPECT_NE(findByText("Hall thermostat | Device information"), nullptr) << "read once, when built";
    open(DEVICE_INFO, DEVICE);
    EXPECT_NE(findByText("Hall thermostat 2 | Device information"), nullptr);
}

TEST_F(DeviceInfoTest, ADeviceThatIsNotInTheInstallationSendsTheUserBack) {
    open(21);
    open(DEVICE_INFO, 0x000999);
    runTasks(2);
    EXPECT_EQ(state().getStateId(), 21u);
}

TEST_F(DefaultInstallationTest, DeviceInformationScreen) {
    loadDefaultInstallation();
    runTasks();
    picturesInEveryLanguage("FormDeviceInfo", [this] { open(DEVICE_INFO, CONTROL_UNIT); });
    open(DEVICE_INFO, CONTROL_UNIT);
    EXPECT_NE(findByText("Serial number"), nullptr);
    // The display's own, as its menu opens it: no name, so a title of its own.
    // With the identity it publishes once synchronised, as a user sees it.
    os_init();
    device(DI.hw->network_address)
        .text(0x80E3, std::string(DI.hw->hw_code, sizeof DI.hw->hw_code))
        .value(0x800E, DI.hw->hw_version)
        .value(0x800C, static_cast<int>(DI.hw->serial))
        .value(0x80DF, DI.hw->serial_prefix)
        .text(0x80E4, std::string(DI.sw->sw_code, sizeof DI.sw->sw_code))
        .value(0x800D, DI.sw->version_major)
        .value(0x809E, DI.sw->build);
    runTasks();
    picturesInEveryLanguage("FormDeviceInfo_display", [this] {
        open(12);
        tap(findByText(gettext("Device information")));
        runTasks(3);
        ASSERT_EQ(state().getStateId(), DEVICE_INFO);
        EXPECT_NE(findByText(gettext("Device information")), nullptr);
    });
}

} // namespace
} // namespace tdx::test
