// Language and country: a choice is stored once and shows marked; a language takes effect at once.
#include "SourceApp/application/controls/DropdownMenu.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/application/controls/IconButton.h"
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

TEST_F(DefaultInstallationTest, LocaleScreen) {
    loadDefaultInstallation();
    runTasks();
    picturesInEveryLanguage("FormSystemLocale", [this] { open(LOCALE); });
    open(LOCALE);
    EXPECT_NE(findByText("Display | Language & Country"), nullptr);
}

} // namespace
} // namespace tdx::test
