// The first-start guide: its three pages, the two ways that end it (and store that it ended), every other way
// out that keeps it for the next start, and a screen that stays bright while it is shown.
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/DatePicker.h"
#include "SourceApp/application/controls/DropdownMenu.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/TimePicker.h"
#include "SourceApp/application/forms/system/SettingsDateTimeFormContent.h"
#include "SourceApp/application/forms/system/SettingsLocaleContent.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "SourceApp/system/SystemMgr.h"
#include "SourceApp/system/config.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

namespace tdx::test {
namespace {

constexpr unsigned WELCOME = 4;
constexpr unsigned LOCALE_PAGE = 5;
constexpr unsigned DATE_TIME_PAGE = 6;
constexpr unsigned HOME = 9;

class FirstStartGuideTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        useCatalogues();
        ASSERT_EQ(Configuration.first_start, 1) << "a new display's record";
    }
    void TearDown() override {
        system().setDelay(ssActive, 0);
        FormsTest::TearDown();
    }
    static SystemMgr& system() { return *getApplication()->getSystemManager(); }
    const IconButton* homeButton() const {
        return find<IconButton>([](const IconButton& b) { return b.getBoundingBox().contains(77, 15); });
    }
    void next() {
        tap(findByText(state().getStateId() == DATE_TIME_PAGE ? "Finish" : "Next"));
        runTasks(2);
    }
    // What the guide left behind: where the user is, the history behind it, the stored flag and stores.
    std::string outcome() const {
        return "state=" + std::to_string(state().getStateId()) +
               " history=" + std::to_string(historyDepth()) +
               " first_start=" + std::to_string(storedConfiguration().first_start) +
               " stores=" + std::to_string(configStores());
    }
};

TEST_F(FirstStartGuideTest, ThePagesLeadFromTheLanguageToTheDateAndFinishHomeForGood) {
    open(WELCOME);
    EXPECT_NE(findByText("Welcome!"), nullptr);
    EXPECT_EQ(find<EditableDropdownRow>()->getSelectedItem()->getTitle(), "English");
    EXPECT_NE(findByText("Skip setup"), nullptr);
    EXPECT_FALSE(homeButton()->isEnabled());

    next();
    EXPECT_EQ(state().getStateId(), LOCALE_PAGE);
    EXPECT_NE(find<SettingsLocaleContent>(), nullptr);
    EXPECT_EQ(findByText("Skip setup"), nullptr);
    EXPECT_FALSE(homeButton()->isEnabled());

    next();
    EXPECT_EQ(state().getStateId(), DATE_TIME_PAGE);
    EXPECT_NE(find<SettingsDateTimeFormContent>(), nullptr);
    EXPECT_EQ(findByText("Next"), nullptr);
    EXPECT_EQ(configStores(), 0) << "nothing is stored on the way";

    next();
    EXPECT_EQ(outcome(), "state=9 history=0 first_start=0 stores=1");
}

TEST_F(FirstStartGuideTest, SkipEndsTheGuideOtherWaysOutKeepItForTheNextStart) {
    open(WELCOME);
    tap(findByText("Skip setup"));
    runTasks(2);
    EXPECT_EQ(outcome(), "state=9 history=0 first_start=0 stores=1");

    Configuration.first_start = 1;
    config_apply();
    const int stores = configStores();
    open(WELCOME);
    next();
    tap(243, 15); // the alarm button
    runTasks(2);
    EXPECT_EQ(state().getStateId(), 7u);
    EXPECT_EQ(Configuration.first_start, 1);
    EXPECT_EQ(configStores(), stores);
}

TEST_F(FirstStartGuideTest, ALanguagePickedOnTheWelcomePageRebuildsItInThatLanguage) {
    open(WELCOME);
    auto* row = find<EditableDropdownRow>();
    tap(find<IconButton>([row](const IconButton& b) { return b.isChildOf(row); }));
    const DropdownMenu* menu = find<DropdownMenu>();
    tap(menu->getLeft() + 10, menu->getTop() + DropdownMenu::ITEM_HEIGHT + 1 + 13); // "Dansk"
    runTasks(2);
    EXPECT_EQ(state().getStateId(), WELCOME);
    EXPECT_EQ(find<EditableDropdownRow>()->getSelectedItem()->getTitle(), "Dansk");
    EXPECT_FALSE(find<EditableDropdownRow>()->isBeingEdited()) << "the list closed with the choice";
    EXPECT_NE(findByText(gettext("Welcome!")), nullptr);
    EXPECT_STRNE(gettext("Welcome!"), "Welcome!");
    EXPECT_EQ(storedConfiguration().language, 1);
    EXPECT_EQ(storedConfiguration().first_start, 1);
}

// The pickers open below their rows, near the page's bottom: they scroll themselves into view, on the guide's
// page and on the date and time screen alike.
TEST_F(FirstStartGuideTest, AnOpenedPickerScrollsItselfIntoViewWhole) {
    constexpr unsigned DATE_TIME_SCREEN = 24;
    for (const unsigned page : {DATE_TIME_PAGE, DATE_TIME_SCREEN}) {
        for (const bool time : {false, true}) {
            open(page);
            const EditableRow* row = time ? static_cast<EditableRow*>(find<EditableTimePickerRow>())
                                          : find<EditableDatePickerRow>();
            ASSERT_NE(row, nullptr) << page;
            tap(find<IconButton>([row](const IconButton& b) { return b.isChildOf(row); }));
            runTasks(2);
            const Component* picker = time ? static_cast<Component*>(find<TimePicker>()) : find<DatePicker>();
            ASSERT_NE(picker, nullptr) << page << " " << time;
            EXPECT_EQ(picker->getVisibleBox(), picker->getBoundingBox()) << page << " time=" << time;
            if (page == DATE_TIME_PAGE && time) {
                screenshot("FormFirstStartGuideDateTime_time_open");
            }
        }
    }
}

TEST_F(FirstStartGuideTest, TheScreenStaysBrightOnEveryPageAndDimsAgainAfterwards) {
    system().setDelay(ssActive, 10);
    for (const unsigned page : {WELCOME, LOCALE_PAGE, DATE_TIME_PAGE}) {
        open(page);
        wait(15000);
        EXPECT_EQ(system().getScreenState(), ssActive) << page;
    }
    next(); // "Finish": home
    wait(15000);
    EXPECT_EQ(state().getStateId(), HOME);
    EXPECT_EQ(system().getScreenState(), ssDimmed);
}

TEST_F(DefaultInstallationTest, FirstStartGuideScreens) {
    loadDefaultInstallation();
    runTasks();
    const struct {
        unsigned id;
        const char* picture;
    } pages[] = {{WELCOME, "FormFirstStartGuide"},
                 {LOCALE_PAGE, "FormFirstStartGuideLocale"},
                 {DATE_TIME_PAGE, "FormFirstStartGuideDateTime"}};
    for (const auto& p : pages) {
        open(p.id);
        screenshot(p.picture);
    }
    EXPECT_NE(findByText("Finish"), nullptr);
}

} // namespace
} // namespace tdx::test
