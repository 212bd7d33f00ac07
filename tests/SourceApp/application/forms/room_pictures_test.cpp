// The room screens in every language: no one-line text is wider than its box, every section opened, and the
// pictures go to the screenshots for a person to look at (<Class>.bmp and <Class>_<language>.bmp).
#include "Libraries/base/fmt.h"
#include "Libraries/base/os.h"
#include "SourceApp/application/commands/bindings/ProxyUpDownRow.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/application/controls/EditableRow.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/application/controls/Timeline.h"
#include "SourceApp/application/forms/VexalForm.h"
#include "SourceApp/application/utils/Date.h"
#include "SourceApp/system/SystemMgr.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <functional>
#include <vector>

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

// The 28th at 23:45 of a month of 2026 in the installation's local time.
Date late28th(unsigned char month) {
    Date date(28, month, 2026);
    date.addHours(23);
    date.addMinutes(45);
    return date;
}

int localOffset() {
    return getApplication()->getSystemManager()->getLocalTime().getLocalTimeOffset();
}

// The mode's lines as shown on the room screen, top to bottom: the screen's only bold texts.
std::vector<ContainedLabel*> modeLines(const std::vector<ContainedLabel*>& labels) {
    std::vector<ContainedLabel*> lines;
    for (ContainedLabel* label : labels) {
        if (label->isVisible() &&
            (label->getFont() == &bif_myriad12_bold || label->getFont() == &bif_myriad10_bold)) {
            lines.push_back(label);
        }
    }
    return lines;
}

// A mode that ends after tonight names the end's day and month: with the longest month of each language on
// the 28th at 23:45, every mode text reads whole, in the bold font where it fits, else in the smaller bold
// one, else on two lines of that, and the timeline below keeps clear of it.
TEST_F(RoomPictures, ADatedModeLineReadsWholeInEveryLanguage) {
    static const char* const LANGUAGES[] = {"en", "da", "cs", "nl"};
    // The month whose name is the widest in the language's date (Czech names the month in its genitive).
    const unsigned char longestMonth[] = {8, 8, 10, 8};
    const struct {
        const char* picture;
        int override;
        int desired;
        int vacation;
        const char* until;
    } modes[] = {
        {"temporary", 1, 2000, 0, "Temporary mode until %s"},
        {"eco", 1, 1900, 0, "Temporary eco mode until %s"},
        {"comfort", 1, 2150, 0, "Temporary comfort mode until %s"},
        {"extra_comfort", 1, 2300, 0, "Temporary extra comfort mode until %s"},
        {"overridden", 3, 2000, 0, "Schedule overridden until %s"},
        {"vacation", 0, 2000, 1, "Vacation mode until %s"},
    };
    loadDefaultInstallation();
    location().value(0x803D, 0).value(0x8087, 0);
    room(LIVING_ROOM)
        .value(0x8004, 0)
        .value(0x8084, 1)
        .value(0x801B, 1900)
        .value(0x801C, 2150)
        .value(0x801D, 2300);
    runTasks();
    const int offset = localOffset();
    useCatalogues();
    for (uint8_t language = 0; language < 4; ++language) {
        speak(language);
        const unsigned char month = longestMonth[language];
        auto dateWidth = [](unsigned char m) {
            return bif_text_width(bif_myriad12_bold.getFont(),
                                  i18n.format(late28th(m), DateFormatOptions::DayMonthTime));
        };
        for (unsigned char other = 0; other < 12; ++other) {
            EXPECT_LE(dateWidth(other), dateWidth(month))
                << LANGUAGES[language] << ": month " << int(other) << " is wider";
        }
        // Opened on the 1st at noon: the end lies weeks after tonight.
        Date noon(1, month, 2026);
        noon.addHours(12);
        setTime(noon.getLocalTimestamp() - offset);
        const Date end = late28th(month);
        const int endUtc = static_cast<int>(end.getLocalTimestamp() - offset);
        for (const auto& mode : modes) {
            const std::string picture =
                std::string("FormRoomEdit_until_") + mode.picture + "_" + LANGUAGES[language];
            SCOPED_TRACE(picture);
            location().value(0x8085, mode.vacation).value(0x8086, endUtc);
            room(LIVING_ROOM).value(0x8005, mode.override).value(0x8006, endUtc).value(0x001D, mode.desired);
            runTasks();
            open(13, LIVING_ROOM);
            ASSERT_EQ(screen()->getName(), "FormRoomEdit");
            const std::string text =
                fmt_gettext(mode.until, i18n.format(end, DateFormatOptions::DayMonthTime));
            const std::vector<ContainedLabel*> lines = modeLines(findAll<ContainedLabel>());
            ASSERT_TRUE(lines.size() == 1 || lines.size() == 2) << lines.size();
            std::string shown = lines[0]->getText();
            if (lines.size() == 2) {
                shown += " " + lines[1]->getText();
            }
            EXPECT_EQ(shown, text) << "the whole text, its date included";
            const int usual = bif_text_width(bif_myriad12_bold.getFont(), text);
            const int smaller = bif_text_width(bif_myriad10_bold.getFont(), text);
            if (usual <= 275) {
                EXPECT_EQ(lines[0]->getFont(), &bif_myriad12_bold) << "fits the bold font";
                EXPECT_EQ(lines.size(), 1u);
            } else {
                EXPECT_EQ(lines[0]->getFont(), &bif_myriad10_bold) << "falls to the smaller font";
                EXPECT_EQ(lines.size(), smaller <= 275 ? 1u : 2u) << usual << " / " << smaller << " px";
            }
            const auto* timeline = find<Timeline>();
            ASSERT_TRUE(timeline != nullptr && timeline->isVisible());
            for (ContainedLabel* line : lines) {
                EXPECT_LT(line->getPaintBox().y2, timeline->getTop()) << line->getText();
                EXPECT_FALSE(inkOf(*line).isEmpty()) << line->getText();
                EXPECT_LT(inkOf(*line).y2, timeline->getTop()) << line->getText();
            }
            if (lines.size() == 2) {
                EXPECT_LT(lines[0]->getPaintBox().y2 - 2, lines[1]->getTop()) << "the lines stand apart";
            }
            expectNoLabelCut(picture);
            expectTranslated(picture);
            screenshot(picture);
        }
    }
    speak(0);
}

} // namespace
} // namespace tdx::test
