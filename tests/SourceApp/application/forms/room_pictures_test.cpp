// The room screens in every language: no one-line text is wider than its box, every section opened, and the
// pictures go to the screenshots for a person to look at (<Class>.bmp and <Class>_<language>.bmp).
#include "Libraries/base/os.h"
#include "SourceApp/application/commands/bindings/ProxyUpDownRow.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/application/forms/VexalForm.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <functional>

namespace tdx::test {
namespace {

constexpr oid_t LIVING_ROOM = 0x01000316;
constexpr oid_t THERMOSTAT = 0x00000520;
constexpr int VIEW_TOP = 39;

class RoomPictures : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        os_init();
    }
    // Every label of the screen, shown or scrolled away, holds its text in its box, and every wrapped title
    // of a row its lines in the row. A name row's value is cut by its row, as everywhere, and left out.
    void expectNoLabelCut(const std::string& picture) {
        for (ContainedLabel* label : findAll<ContainedLabel>()) {
            if (!label->isVisible() || label->getText().empty() || inNameRow(label)) {
                continue;
            }
            const int width = bif_text_width(label->getFont()->getFont(), label->getText());
            EXPECT_LE(width, label->getWidth() - 2) << picture << ": " << label->getText();
        }
        for (TextFrame* frame : findAll<TextFrame>()) {
            if (dynamic_cast<ProxyUpDownRow*>(frame->getParent()) != nullptr) {
                EXPECT_LE(frame->getTextHeight(), frame->getHeight()) << picture << ": " << frame->getText();
            }
        }
    }
    static bool inNameRow(const Component* c) {
        for (const Component* p = c->getParent(); p != nullptr; p = p->getParent()) {
            if (dynamic_cast<const EditableStringRow*>(p) != nullptr) {
                return true;
            }
        }
        return false;
    }
    // The rest of a long screen, a page of 180 pixels further down in each picture.
    void scrolledPictures(const std::string& picture, int pages) {
        auto* form = dynamic_cast<VexalForm*>(screen());
        const auto* title = find<ContainedLabel>([](const ContainedLabel& l) { return l.getHeight() == 12; });
        ASSERT_TRUE(form != nullptr && title != nullptr);
        for (int page = 1; page <= pages; ++page) {
            form->scrollTo(title, FOCUS_TOP, VIEW_TOP + 180, 0);
            runTasks(2);
            screenshot(picture + "_" + std::to_string(page));
        }
    }
    void openEverySection() {
        for (DropdownButton* section : findAll<DropdownButton>()) {
            section->setCollapsed(true, false);
        }
        runTasks(2);
    }
};

TEST_F(RoomPictures, NoLineIsCutInAnyLanguage) {
    static const char* const LANGUAGES[] = {"en", "da", "cs", "nl"};
    loadDefaultInstallation();
    location().value(0x8076, 1);
    room(LIVING_ROOM).value(0x001C, 3).value(0x8004, 0).value(0x8005, 3).value(0x8006, START_TIME + 7200);
    runTasks();
    const struct {
        const char* name;
        std::function<void()> show;
        int pages;
    } screens[] = {
        {"FormRoomEdit", [this] { open(13, LIVING_ROOM); }, 2},
        {"FormRoomSettings",
         [this] {
             open(14, LIVING_ROOM);
             openEverySection();
         },
         9},
        {"FormRoomTemporaryMode",
         [this] {
             open(15, LIVING_ROOM);
             find<EditableDropdownRow>()->setSelectedItem(1);
             runTasks(2);
         },
         0},
        {"FormRoomThermostat",
         [this] {
             open(58, THERMOSTAT);
             openEverySection();
         },
         1},
    };
    for (uint8_t language = 0; language < 4; ++language) {
        speak(language);
        for (const auto& s : screens) {
            s.show();
            ASSERT_EQ(screen()->getName(), s.name);
            if (language == 0) {
                screenshot(s.name);
            }
            const std::string picture = std::string(s.name) + "_" + LANGUAGES[language];
            expectNoLabelCut(picture);
            expectTranslated(picture);
            screenshot(picture);
            scrolledPictures(picture, s.pages);
        }
    }
}

} // namespace
} // namespace tdx::test
