// The screens of the system and display menus in the whole application against the simulated control unit:
// what a user touches reaches the control unit or the configuration record, and what the control unit
// reports reaches the screens.
#include "sim_app_fixture.h"

#include "SourceApp/application/OwnDevice.h"
#include "SourceApp/application/controls/DropdownMenu.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/KeyboardEditor.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/system/SystemMgr.h"
#include "SourceHost/config/config_store.h"

namespace tdx::test {
namespace {

constexpr unsigned ALARMS = 7;
constexpr unsigned DISPLAY = 12;
constexpr unsigned SCREEN_SETTINGS = 21;
constexpr unsigned DEVICE_INFO = 23;
constexpr uint32_t CONTROL_UNIT = 0x000316;
constexpr uint32_t BOILER_RELAY = 0x06000316;
constexpr uint16_t OUTPUT_ALARM = 0x4010; // an unsigned 8-bit code (type 12)

using Screens = SynchronisedEndToEnd;

TEST_F(Screens, TheDisplayMenuLinksOpenTheirScreens) {
    const struct {
        const char* link;
        unsigned state;
        unsigned p1;
        const char* screen;
    } rows[] = {
        {"Screen settings", SCREEN_SETTINGS, 0, "FormDisplaySettings"},
        {"Device information", DEVICE_INFO, own_network_address(), "FormDeviceInfo"},
    };
    for (const auto& row : rows) {
        open(DISPLAY);
        ASSERT_EQ(core().getScreen()->getName(), "FormDisplay");
        tap(withText<NavigationLink>(row.link));
        EXPECT_EQ(stateId(), row.state) << row.link;
        EXPECT_EQ(core().getStateManager().getState().getP1(), row.p1) << row.link;
        EXPECT_EQ(core().getScreen()->getName(), row.screen) << row.link;
    }
}

TEST_F(Screens, AnotherBrightnessIsStoredInTheConfigurationRecord) {
    open(SCREEN_SETTINGS);
    auto* brightness = find<EditableDropdownRow>();
    ASSERT_NE(brightness, nullptr);
    tap(find<IconButton>([&](const IconButton& b) { return b.isChildOf(brightness); }));
    const DropdownMenu* menu = brightness->getMenu();
    tap(menu->getLeft() + 10, menu->getTop() + 3 * (DropdownMenu::ITEM_HEIGHT + 1) + 13); // "High"
    EXPECT_EQ(brightness->getSelectedItem()->getTitle(), "High");
    configuration_t stored{};
    ASSERT_EQ(config_platform_load(&stored), int{sizeof stored});
    EXPECT_EQ(stored.screen_intensity[ssActive], 100);
}

TEST_F(Screens, TheControlUnitsDeviceInformationComesFromItAndARenameReachesIt) {
    open(DEVICE_INFO, CONTROL_UNIT);
    ASSERT_EQ(core().getScreen()->getName(), "FormDeviceInfo");
    EXPECT_EQ(
        texts<ContainedLabel>(),
        (std::vector<std::string>{"Control unit | Device information", "Name", "Control unit", "Software",
                                  "HM31601", "Hardware", "HM31601", "Serial number", "1530-00-0000-0790"}));

    auto* name = find<EditableStringRow>();
    ASSERT_NE(name, nullptr);
    tap(find<IconButton>([&](const IconButton& b) { return b.isChildOf(name); }));
    for (const char c : std::string(" A")) {
        core().sendMessage(nullptr, MSG_KEY, c, KEY_CHARACTER, 0, 0);
    }
    core().sendMessage(nullptr, MSG_KEY, KeyboardEditor::KEY_ENTER, 0, 0, 0);
    const std::string renamed = "Control unit A";
    ASSERT_TRUE(runUntil(
        [&] {
            const std::optional<sim::SimValue> v = mSim.value(CONTROL_UNIT, VID_NAME);
            return v && std::string(v->bytes.begin(), v->bytes.end()) == renamed;
        },
        3000));
}

TEST_F(Screens, AnAlarmRaisedOnTheControlUnitAppearsOnTheAlarmsScreenUntilItIsCleared) {
    open(ALARMS);
    EXPECT_EQ(texts<TextFrame>(), (std::vector<std::string>{}));
    mSim.publish(BOILER_RELAY, OUTPUT_ALARM, 12, 3);
    ASSERT_TRUE(runUntil([] { return texts<TextFrame>().size() == 2; }, 3000));
    EXPECT_EQ(texts<TextFrame>(),
              (std::vector<std::string>{"You can mute alarm until next error is reported.",
                                        "Boiler relay - Output has a problem, code 3."}));
    // Cleared on the control unit, it leaves the list.
    mSim.publish(BOILER_RELAY, OUTPUT_ALARM, 12, 0);
    EXPECT_TRUE(runUntil([] { return texts<TextFrame>().empty(); }, 3000));
}

} // namespace
} // namespace tdx::test
