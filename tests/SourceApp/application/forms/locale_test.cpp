// Language and country: a choice is stored once and shows marked; a language takes effect at once.
#include "SourceApp/application/controls/DropdownMenu.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "SourceApp/system/config.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

namespace tdx::test {
namespace {

constexpr unsigned LOCALE = 25;

class LocaleTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        useCatalogues();
    }
    // The rows top to bottom: language, country.
    EditableDropdownRow* row(size_t n) const { return findAll<EditableDropdownRow>().at(n); }
    std::string marked(size_t n) const {
        const DropdownItem* item = row(n)->getSelectedItem();
        return item != nullptr ? item->getTitle() : "--";
    }
    // Opens the row's list and taps its item (one of the first four, which the list shows without a drag).
    void pick(size_t n, int index) {
        const EditableDropdownRow* r = row(n);
        tap(find<IconButton>([r](const IconButton& b) { return b.isChildOf(r); }));
        const DropdownMenu* menu = find<DropdownMenu>();
        tap(menu->getLeft() + 10, menu->getTop() + index * (DropdownMenu::ITEM_HEIGHT + 1) + 13);
        runTasks(2);
    }
    // The list's click on an item further down, which the user drags into sight first.
    void choose(size_t n, int index) {
        mCore.sendMessage(row(n)->getMenu(), MSG_ITEM_CLICK, index, 0, 0, 0);
        runTasks(2);
    }
};

TEST_F(LocaleTest, ALanguageSwitchesTheScreenAtOnceIsStoredOnceAndAgainChangesNothing) {
    open(LOCALE);
    EXPECT_EQ(marked(0), "English");
    pick(0, 1);
    EXPECT_EQ(i18n.getLocale(), Locale::Danish);
    EXPECT_EQ(configStores(), 1);
    EXPECT_EQ(storedConfiguration().language, 1);
    EXPECT_EQ(marked(0), "Dansk");
    EXPECT_STRNE(gettext("Display | Language & Country"), "Display | Language & Country");
    EXPECT_NE(findByText(gettext("Display | Language & Country")), nullptr)
        << "the screen is rebuilt in Danish";
    EXPECT_FALSE(row(0)->isBeingEdited()) << "the list closes with the choice, as every other list does";
    EXPECT_FALSE(row(0)->getMenu()->isVisible());

    findByText(gettext("Display | Language & Country"))->tag = 0xBEEF;
    pick(0, 1);
    EXPECT_NE(findByTag(0xBEEF), nullptr) << "choosing the language in use does not rebuild the screen";
    EXPECT_EQ(configStores(), 1);
}

TEST_F(LocaleTest, ACountryIsStoredOnceAndMarkedOnTheNextVisit) {
    open(LOCALE);
    EXPECT_EQ(marked(1), "Not specified");
    choose(1, 4);
    EXPECT_EQ(configStores(), 1);
    EXPECT_EQ(storedConfiguration().country, 7);
    open(LOCALE);
    EXPECT_EQ(marked(1), "France");
    choose(1, 4);
    EXPECT_EQ(configStores(), 1) << "the country in use is not stored again";
    Configuration.country = 13; // no row carries it
    open(LOCALE);
    EXPECT_EQ(marked(1), "--");
}

// Each country's name reads whole in the open list, in every language: the user opens the list and runs the
// screen's scroll bar from its top to its end, and each item in sight shows exactly its whole name, in the
// usual font or in the smaller one, clear of the item's edges. A name cut to fit would end in an ellipsis.
TEST_F(LocaleTest, EveryCountryReadsWholeInTheOpenList) {
    const struct {
        uint8_t language;
        const char* longest; // the name that needs the most room
    } cases[] = {{0, "Czech republic"}, {1, "Nederlandene"}, {2, "Nizozemsko"}, {3, "Denemarken"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.longest);
        speak(c.language);
        open(LOCALE);
        tap(find<IconButton>([this](const IconButton& b) { return b.isChildOf(row(1)); }));
        const DropdownMenu* menu = row(1)->getMenu();
        ASSERT_TRUE(menu->isGloballyVisible());
        std::set<std::string> seen;
        const auto look = [&] { expectItemsInSightWhole(*menu, seen); };
        scrollToEdge(false);
        look();
        scrollToEdge(true, look);
        EXPECT_EQ(seen.size(), std::size(I18n::COUNTRIES)) << "every country came into sight";
        EXPECT_TRUE(seen.contains(gettext(c.longest)));
    }
    speak(0);
}

TEST_F(DefaultInstallationTest, LocaleScreen) {
    loadDefaultInstallation();
    runTasks();
    picturesInEveryLanguage("FormSystemLocale", [this] { open(LOCALE); });
    // The country list open, at the screen's top and at its end.
    const auto openCountries = [this] {
        open(LOCALE);
        const EditableDropdownRow* countries = findAll<EditableDropdownRow>().at(1);
        tap(find<IconButton>([countries](const IconButton& b) { return b.isChildOf(countries); }));
    };
    picturesInEveryLanguage("FormSystemLocale_countries_top", [&] {
        openCountries();
        scrollToEdge(false);
    });
    picturesInEveryLanguage("FormSystemLocale_countries_end", [&] {
        openCountries();
        scrollToEdge(true);
    });
    open(LOCALE);
    EXPECT_NE(findByText("Display | Language & Country"), nullptr);
}

} // namespace
} // namespace tdx::test
