// Every choice of every dropdown on the screens reads whole, in every language: in the row, where the chosen
// one shows, and in the list the row opens. The pictures of the open lists go to the screenshots
// (<Class>_list<n>.bmp and <Class>_list<n>_<language>.bmp).
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace tdx::test {
namespace {

constexpr oid_t LOCATION = 0xFEFFFFFE;
constexpr oid_t LIVING_ROOM = 0x01000316;
constexpr oid_t RELAY = 0x06000316;
constexpr oid_t ANALOG_OUTPUT = 0x07000316;
constexpr oid_t ITC = 0x08000316;
constexpr oid_t HCC = 0x09000316;
constexpr oid_t HOT_WATER = 0x0A000316;
constexpr unsigned OBJECT_EDITOR = 70;

class DropdownChoices : public DefaultInstallationTest {
protected:
    void SetUp() override {
        DefaultInstallationTest::SetUp();
        useCatalogues();
        loadDefaultInstallation();
        location().value(0x8076, 1); // the season switched by hand: its row takes a choice
        runTasks();
    }
    void TearDown() override {
        speak(0);
        DefaultInstallationTest::TearDown();
    }
    void bringIntoSight(const Component& component, int top, int bottom) {
        static_cast<VexalForm*>(screen())->scrollTo(&component, FOCUS_AS_NEEDED, top, bottom);
        runTasks(2);
    }
    void unfoldEverySection() {
        for (DropdownButton* section : findAll<DropdownButton>()) {
            section->setCollapsed(true, false);
        }
        runTasks(2);
    }
    // The object editor, which offers every enumeration of the object with a row of the dropdown factory.
    void edit(oid_t oid) {
        mCore.changeState(SingleParamState<std::string>(OBJECT_EDITOR, oid, 0, 0, 0, "Object"));
        runTasks(3);
    }
    // The row shows each of its choices whole, as it does when the choice comes from the control unit, and
    // its title whole; it is left showing its longest choice.
    void expectEveryValueWhole(EditableDropdownRow& row) {
        bringIntoSight(row, row.getTop(), row.getBottom());
        // The row's labels in the order it makes them: its title, then the chosen item's title.
        std::vector<ContainedLabel*> labels;
        for (ContainedLabel* label : findAll<ContainedLabel>()) {
            if (label->isChildOf(&row)) {
                labels.push_back(label);
            }
        }
        ASSERT_EQ(labels.size(), 2u);
        const ContainedLabel& value = *labels[1];
        uint16_t longest = 0;
        int longestInk = 0;
        for (uint16_t i = 0; i < row.getMenu()->getItemCount(); ++i) {
            const std::string& title = row.getMenu()->getItem(i)->getTitle();
            row.showItem(i);
            runTasks();
            ASSERT_TRUE(value.getVisibleBox() == value.getBoundingBox()) << title << " out of sight";
            const Box cell = value.getBoundingBox();
            EXPECT_TRUE(showsWhole(cell, title, value.getFaceColor(), colour::CONTROL))
                << title << " is not shown whole in its row";
            const Box ink = inkIn(cell, colour::CONTROL);
            EXPECT_TRUE(ink.x1 > cell.x1 && ink.x2 < cell.x2) << title << " touches the row's separators";
            if (ink.getWidth() > longestInk) {
                longest = i;
                longestInk = ink.getWidth();
            }
        }
        // The longest choice stays in the row, for the picture of the open list.
        row.showItem(longest);
        // The row's title beside a value's cell widened for a long choice.
        const ContainedLabel& title = *labels[0];
        EXPECT_LE(bif_text_width(title.getFont()->getFont(), title.getText()), title.getWidth())
            << title.getText() << " is not shown whole";
    }
    // The user opens the row's list and brings each item into sight in turn: each reads whole.
    void expectEveryItemWhole(EditableDropdownRow& row, const std::string& picture) {
        bringIntoSight(row, row.getTop(), row.getBottom());
        tap(find<IconButton>([&row](const IconButton& b) { return b.isChildOf(&row); }));
        const DropdownMenu& menu = *row.getMenu();
        ASSERT_TRUE(menu.isGloballyVisible()) << picture;
        // As wide as its widest choice needs in the smaller font, and no wider: never below the value's
        // column, never beyond the row's limit.
        int needed = 81;
        for (uint16_t i = 0; i < menu.getItemCount(); ++i) {
            needed = std::max(needed, bif_text_width(bif_myriad10.getFont(), menu.getItem(i)->getTitle()) +
                                          2 * DropdownMenu::TEXT_INSET);
        }
        EXPECT_EQ(menu.getWidth(), std::min(needed, row.getWidth() - 40))
            << picture << " is not as wide as it needs";
        screenshot(picture);
        std::set<std::string> seen;
        for (uint16_t i = 0; i < menu.getItemCount(); ++i) {
            const int top = menu.getTop() + i * (DropdownMenu::ITEM_HEIGHT + 1);
            bringIntoSight(menu, top, top + DropdownMenu::ITEM_HEIGHT - 1);
            expectItemsInSightWhole(menu, seen);
        }
        std::set<std::string> titles;
        for (uint16_t i = 0; i < menu.getItemCount(); ++i) {
            titles.insert(menu.getItem(i)->getTitle());
        }
        EXPECT_EQ(seen, titles) << "every item came into sight";
        row.closeEditor();
        runTasks();
    }
};

// The long ones: the Dutch "Vloerverwarming" of the heat curve type, the Czech and Dutch dryer control of the
// humidity sensor, "Without expiration" of the vacation mode in English and Dutch, and in the object editor a
// room's overridden schedule and the functions of the 0-10 V output, in English, Danish and Dutch.
TEST_F(DropdownChoices, EveryChoiceReadsWholeInItsRowAndInItsOpenList) {
    static const char* const LANGUAGES[] = {"en", "da", "cs", "nl"};
    const struct {
        const char* name; // of the pictures
        std::function<void()> show;
        size_t rows; // the dropdown rows the screen shows
    } screens[] = {
        {"FormDisplaySettings", [this] { open(21); }, 3},
        {"FormSystemLocale", [this] { open(25); }, 2},
        {"FormFirstStartGuideLocale", [this] { open(5); }, 2},
        {"FormVacationMode", [this] { open(65); }, 1},
        {"FormLocation", [this] { open(38); }, 1},
        {"FormRoomTemporaryMode", [this] { open(15, LIVING_ROOM); }, 1},
        {"FormRoomSettings",
         [this] {
             open(14, LIVING_ROOM);
             unfoldEverySection();
         },
         3},
        {"FormProfileUserOutputEdit", [this] { open(57, RELAY); }, 1},
        {"FormItcEdit",
         [this] {
             open(62, ITC);
             unfoldEverySection();
         },
         2},
        {"FormHccEdit",
         [this] {
             open(61, HCC);
             unfoldEverySection();
         },
         1},
        {"FormMireloEdit",
         [this] {
             open(73, HOT_WATER);
             unfoldEverySection();
         },
         2},
        {"FormObjectEditorLocation", [this] { edit(LOCATION); }, 1},
        {"FormObjectEditorRoom", [this] { edit(LIVING_ROOM); }, 4},
        {"FormObjectEditorItc", [this] { edit(ITC); }, 2},
        {"FormObjectEditorHcc", [this] { edit(HCC); }, 1},
        {"FormObjectEditorRelay", [this] { edit(RELAY); }, 1},
        {"FormObjectEditorAnalog", [this] { edit(ANALOG_OUTPUT); }, 1},
    };
    for (uint8_t language = 0; language < 4; ++language) {
        speak(language);
        for (const auto& s : screens) {
            SCOPED_TRACE(std::string(s.name) + " " + LANGUAGES[language]);
            s.show();
            ASSERT_EQ(std::string(s.name).rfind(screen()->getName(), 0), 0u) << screen()->getName();
            const std::vector<EditableDropdownRow*> rows = findAll<EditableDropdownRow>();
            ASSERT_EQ(rows.size(), s.rows);
            for (size_t n = 0; n < rows.size(); ++n) {
                expectEveryValueWhole(*rows[n]);
                // A row the screen disables never opens its list.
                if (rows[n]->isEnabled()) {
                    const std::string picture = std::string(s.name) + "_list" + std::to_string(n);
                    expectEveryItemWhole(*rows[n],
                                         language == 0 ? picture : picture + "_" + LANGUAGES[language]);
                }
            }
        }
    }
}

} // namespace
} // namespace tdx::test
