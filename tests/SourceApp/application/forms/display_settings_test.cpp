// The screen settings: the stored brightness and delays as the rows show them, the user's choices taking
// effect and being stored at once (and only then), the calibration notice, the touch test and the demo mode.
#include "SourceApp/application/controls/DropdownMenu.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Popup.h"
#include "SourceApp/application/controls/ScrollBar.h"
#include "SourceApp/application/controls/SwitchButton.h"
#include "SourceApp/system/SystemMgr.h"
#include "SourceApp/system/config.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <functional>
#include <string>
#include <vector>

namespace tdx::test {
namespace {

constexpr unsigned SCREEN_SETTINGS = 21;
enum Row { BRIGHTNESS = 0, DIM = 1, OFF = 2 };

class DisplaySettingsTest : public FormsTest {
protected:
    EditableDropdownRow* row(Row which) const { return findAll<EditableDropdownRow>().at(which); }
    std::string shown(Row which) const {
        const DropdownItem* item = row(which)->getSelectedItem();
        return item != nullptr ? item->getTitle() : "--";
    }
    std::vector<std::string> rows() const { return {shown(BRIGHTNESS), shown(DIM), shown(OFF)}; }
    // Opens the row's list, scrolls down until the item at index shows and taps it.
    void pick(Row which, int index) {
        EditableDropdownRow* r = row(which);
        tap(find<IconButton>([r](const IconButton& b) { return b.isChildOf(r); }));
        const DropdownMenu* menu = r->getMenu();
        const auto itemY = [&] { return menu->getTop() + index * (DropdownMenu::ITEM_HEIGHT + 1) + 13; };
        scrollDownWhile([&] { return itemY() > 230; });
        tap(menu->getLeft() + 10, itemY());
    }
    // The scroll bar's down arrow, until the end of the list shows.
    void scrollToEnd() {
        scrollDownWhile([] { return true; });
    }
    // Taps the down arrow while more is wanted and the list is not at its end. Every tap must move the list,
    // and the list is a few screens long: a scroll that goes nowhere fails here instead of tapping for ever.
    void scrollDownWhile(const std::function<bool()>& more) {
        constexpr int MAX_TAPS = 40;
        for (int taps = 0; more() && find<ScrollBar>()->getThumbPosition() < find<ScrollBar>()->getMax();
             ++taps) {
            const int position = find<ScrollBar>()->getThumbPosition();
            if (taps == MAX_TAPS) {
                ADD_FAILURE() << "the list still scrolls after " << MAX_TAPS << " taps, at " << position;
                return;
            }
            tap(find<ScrollBar>()->getDownButton());
            if (find<ScrollBar>()->getThumbPosition() <= position) {
                ADD_FAILURE() << "the down arrow left the list at " << position;
                return;
            }
        }
    }
    static SystemMgr& system() { return *getApplication()->getSystemManager(); }
};

TEST_F(DisplaySettingsTest, StoredValuesShowAsTheItemAtOrAboveThem) {
    const struct {
        unsigned intensity;
        uint32_t dim;
        uint32_t off;
        std::vector<std::string> rows;
    } cases[] = {
        {50, 10, 10, {"Medium", "10 seconds", "10 seconds"}}, // the defaults
        {7, 61, 901, {"Low", "3 minutes", "1 hour"}},
        {6, 0, 600, {"Very Low", "Never", "10 minutes"}},
        {101, 65536, 100000, {"--", "Never", "1 hour"}}, // delays compare modulo 65536
    };
    for (const auto& c : cases) {
        Configuration.screen_intensity[ssActive] = static_cast<uint8_t>(c.intensity);
        Configuration.screen_delay[ssActive] = c.dim;
        Configuration.screen_delay[ssDimmed] = c.off;
        open(SCREEN_SETTINGS);
        EXPECT_EQ(rows(), c.rows) << c.intensity << " " << c.dim << " " << c.off;
    }
    EXPECT_EQ(configStores(), 0) << "showing writes nothing";
}

TEST_F(DisplaySettingsTest, AChoiceTakesEffectAndIsStoredAtOnceAndOnlyWhenItChangesSomething) {
    open(SCREEN_SETTINGS);
    pick(BRIGHTNESS, 3);
    EXPECT_EQ(storedConfiguration().screen_intensity[ssActive], 100);
    pick(DIM, 0);
    EXPECT_EQ(storedConfiguration().screen_delay[ssActive], 0u);
    pick(OFF, 7);
    EXPECT_EQ(storedConfiguration().screen_delay[ssDimmed], 3600u);
    EXPECT_EQ(configStores(), 3);
    pick(OFF, 7);
    EXPECT_EQ(configStores(), 3) << "the item already chosen";
    EXPECT_EQ(rows(), (std::vector<std::string>{"High", "Never", "1 hour"}));
}

TEST_F(DisplaySettingsTest, AChosenDelayWakesADimmedScreenAndAnItemOutsideTheTableChangesNothing) {
    open(SCREEN_SETTINGS);
    wait(11000);
    ASSERT_EQ(system().getScreenState(), ssDimmed);
    DropdownItemImpl minute("1 minute", 0);
    minute.setIndex(2);
    FormDisplaySettings::ChangeStateDelayCommand(ssActive).execute(&minute);
    runTasks();
    EXPECT_EQ(system().getScreenState(), ssActive);
    EXPECT_EQ(storedConfiguration().screen_delay[ssActive], 60u);

    DropdownItemImpl stray("?", 0);
    stray.setIndex(8);
    FormDisplaySettings::ChangeStateDelayCommand(ssActive).execute(&stray);
    stray.setIndex(4);
    FormDisplaySettings::ChangeBrightnessCommand().execute(&stray);
    EXPECT_EQ(configStores(), 1);
    EXPECT_EQ(Configuration.screen_intensity[ssActive], 50);
}

TEST_F(DisplaySettingsTest, TheDemoSwitchStoresItsStateAndCalibrationIsOnlyExplained) {
    open(SCREEN_SETTINGS);
    scrollToEnd();
    auto* demo = find<SwitchButton>();
    EXPECT_FALSE(demo->getChecked());
    tap(demo);
    EXPECT_EQ(storedConfiguration().demo_mode, 1);
    tap(demo);
    EXPECT_EQ(storedConfiguration().demo_mode, 0);
    EXPECT_EQ(configStores(), 2);
    Configuration.demo_mode = 1;
    config_apply();
    open(SCREEN_SETTINGS);
    EXPECT_TRUE(find<SwitchButton>()->getChecked());
    EXPECT_EQ(configStores(), 3) << "the switch reporting the stored state writes nothing";

    scrollToEnd();
    tap(findByText("Calibrate touch screen"));
    EXPECT_NE(find<Popup>(), nullptr);
    EXPECT_EQ(state().getStateId(), SCREEN_SETTINGS);
    tap(findByText("Close"));
    tap(findByText("Test touch"));
    EXPECT_EQ(state().getStateId(), 72u);
}

TEST_F(DefaultInstallationTest, ScreenSettingsScreen) {
    loadDefaultInstallation();
    runTasks();
    picturesInEveryLanguage("FormDisplaySettings", [this] { open(SCREEN_SETTINGS); });
    open(SCREEN_SETTINGS);
    EXPECT_NE(findByText("Display | Screen settings"), nullptr);
}

} // namespace
} // namespace tdx::test
