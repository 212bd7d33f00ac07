// The language, date and time rows' commands on the harness: a language picked rebuilds the screen in it and
// is stored once; a date or time accepted sets the clock by the offset of the moment set, across summer
// time, and sends the control unit the new time.
#include "SourceApp/system/settings/SystemSettingsCommands.h"

#include "Libraries/base/bytes.h"
#include "Libraries/base/os.h"
#include "Libraries/base/timestamp.h"
#include "Libraries/link_bus/tnet_packet.h"
#include "SourceApp/application/App.h"
#include "SourceApp/application/controls/DropdownMenu.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "SourceApp/storage/net/TaviProtocol.h"
#include "SourceApp/system/SystemMgr.h"
#include "tests/support/screen_harness.h"

#include <optional>

namespace tdx::test {
namespace {

constexpr int WIDTH = 277;
constexpr unsigned LANGUAGE_SCREEN = 25;

int gBuilt = 0;

// The language row as the locale panel builds it.
Form* languageScreen(unsigned, unsigned next, const State& state) {
    auto* form = new BlankForm(state);
    if (next == LANGUAGE_SCREEN) {
        ++gBuilt;
        auto* row = new EditableDropdownRow(form, 20, 20, WIDTH, "Language", 81);
        for (const I18n::Language& language : I18n::LANGUAGES) {
            row->addItem(new DropdownItemImpl(language.name, 0),
                         language.translationId == i18n.getTranslationId());
        }
        row->setOnItemClickCommand(std::make_unique<ChangeSystemLanguageCommand>());
    }
    return form;
}

class SettingsCommandsTest : public ScreenHarness {
protected:
    void SetUp() override {
        ScreenHarness::SetUp();
        useCatalogues();
    }
    // Opens a row's editor, taps the arrows given (indexes among the editor's arrows) and accepts or cancels.
    void edit(const EditableRow& row, std::initializer_list<int> arrows, const char* decision = "OK") {
        tap(headButton(row));
        for (int arrow : arrows) {
            tap(findAll<IconButton>().at(static_cast<size_t>(arrow) + 1));
        }
        tap(findByText(decision));
    }
    static const IconButton* headButton(const Container& row) {
        for (Component* c : row.getChildren()) {
            if (auto* b = dynamic_cast<IconButton*>(c)) {
                return b;
            }
            if (c->isContainerType()) {
                if (const IconButton* b = headButton(*static_cast<Container*>(c))) {
                    return b;
                }
            }
        }
        return nullptr;
    }
    // The time the display sends the control unit next, if it queued one.
    static std::optional<int64_t> timeSent() {
        uint8_t cmd = 0;
        uint8_t payload[64];
        for (int length; (length = Net::Tavi.handleTransmit(&cmd, payload, sizeof payload)) >= 0;) {
            Net::Tavi.handleTransmitted(cmd);
            if (cmd == TNET_CMD_SYNC_TIME) {
                return static_cast<int64_t>(get_le32(payload)) + NETWORK_TIME_OFFSET;
            }
        }
        return std::nullopt;
    }
    // Central European time: one hour east, summer time observed or not.
    void centralEurope(bool summerTime) {
        location()
            .value(SystemMgr::VID_LOCAL_TIME_OFFSET, BT_VTYPE_S32, 3600)
            .value(SystemMgr::VID_DAYLIGHT_SAVING, BT_VTYPE_U8, summerTime ? 1 : 0);
        connect();
        runTasks();
        timeSent(); // what the connection itself queued
    }
};

TEST_F(SettingsCommandsTest, APickedLanguageRebuildsTheScreenInItAndIsStoredOnce) {
    setRegistry(&languageScreen);
    gBuilt = 0;
    open(LANGUAGE_SCREEN);
    auto pick = [&](int index) {
        tap(headButton(*find<EditableDropdownRow>()));
        const DropdownMenu* menu = find<DropdownMenu>();
        tap(menu->getLeft() + 10, menu->getTop() + index * (DropdownMenu::ITEM_HEIGHT + 1) + 13);
        runTasks(2);
    };
    pick(1);
    EXPECT_EQ(i18n.getTranslationId(), 76u);
    EXPECT_EQ(i18n.getLocale(), Locale::Danish);
    EXPECT_EQ(configStores(), 1);
    EXPECT_EQ(storedConfiguration().language, 1);
    EXPECT_EQ(gBuilt, 2) << "the screen was rebuilt";
    EXPECT_EQ(find<EditableDropdownRow>()->getSelectedItem()->getTitle(), "Dansk");
    EXPECT_STRNE(gettext("Cancel"), "Cancel");
    screenshot("language_row_danish");

    pick(1);
    EXPECT_EQ(configStores(), 1) << "the language in use changes nothing";
    EXPECT_EQ(gBuilt, 2);
}

TEST_F(SettingsCommandsTest, AnAcceptedDateSetsTheClockByTheOffsetOfThatDay) {
    enum { DAY_UP = 0, DAY_DOWN = 1, MONTH_UP = 2 };
    const struct {
        bool summerTime;
        std::initializer_list<int> arrows;
        int64_t utc;
    } cases[] = {
        // Now 2026-03-04 13:00 local (12:00 UTC). 1 April lies in summer time: 13:00 there is 11:00 UTC.
        {true, {MONTH_UP, DAY_DOWN, DAY_DOWN, DAY_DOWN}, timestamp_make_simple(2026, 4, 1, 11, 0, 0)},
        {false, {MONTH_UP, DAY_DOWN, DAY_DOWN, DAY_DOWN}, timestamp_make_simple(2026, 4, 1, 12, 0, 0)},
        {true, {DAY_UP}, timestamp_make_simple(2026, 3, 5, 12, 0, 0)},
    };
    for (const auto& c : cases) {
        setTime(START_TIME);
        centralEurope(c.summerTime);
        auto* row = new EditableDatePickerRow(blank(), 20, 20, WIDTH, "Date");
        row->setOnAcceptCommand(std::make_unique<ChangeSystemDateCommand>(row));
        runTasks();
        edit(*row, c.arrows);
        EXPECT_EQ(os_time(), c.utc);
        EXPECT_EQ(timeSent(), c.utc) << "the control unit is sent the new time";
    }
}

TEST_F(SettingsCommandsTest, AnAcceptedTimeKeepsTheDayAndACancelChangesNothing) {
    centralEurope(true);
    auto* row = new EditableTimePickerRow(blank(), 20, 20, WIDTH, "Time");
    row->setOnAcceptCommand(std::make_unique<ChangeSystemTimeCommand>(row));
    runTasks();
    edit(*row, {0}); // hours up: 14:00 local
    EXPECT_EQ(os_time(), START_TIME + 3600);
    EXPECT_EQ(timeSent(), START_TIME + 3600);

    edit(*row, {0, 0}, "Cancel");
    EXPECT_EQ(os_time(), START_TIME + 3600);
    EXPECT_EQ(timeSent(), std::nullopt);
}

TEST_F(SettingsCommandsTest, ADateTheNetworkCannotCarryLeavesTheClock) {
    centralEurope(false);
    auto* row = new EditableDatePickerRow(blank(), 20, 20, WIDTH, "Date",
                                          Date(timestamp_make_simple(1990, 5, 1, 0, 0, 0), 3600));
    ChangeSystemDateCommand(row).execute();
    EXPECT_EQ(os_time(), START_TIME);
    EXPECT_EQ(timeSent(), std::nullopt);
    EXPECT_NE(trace().find("clock not set"), std::string::npos);
}

} // namespace
} // namespace tdx::test
