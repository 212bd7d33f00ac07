// The function editors, the room assignment and the heat curve with the simulator's default installation,
// in every language, for a person to look at (<Class>.bmp in English, <Class>_<language>.bmp; "Open" pictures
// with the curve group unfolded).
#include "Libraries/base/os.h"
#include "SourceApp/application/forms/VexalStackedContentForm.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "tests/SourceApp/application/forms/function_editors_fixture.h"

#include <algorithm>
#include <functional>

namespace tdx::test {
namespace {

constexpr oid_t ITC = 0x08000316;
constexpr oid_t HCC = 0x09000316;

TEST_F(DefaultInstallationTest, FunctionEditors) {
    static const char* const LANGUAGES[] = {"en", "da", "cs", "nl"};
    os_init();
    useCatalogues();
    loadDefaultInstallation();
    runTasks();
    const auto unfold = [this](size_t group) {
        DropdownButton* header = findAll<DropdownButton>().at(group);
        static_cast<VexalForm*>(screen())->scrollTo(header, FOCUS_TOP, header->getTop(), header->getBottom());
        runTasks(2);
        tap(header);
    };
    // The group of this title unfolded at the top of the column.
    const auto unfoldTitled = [&](const char* title) {
        const auto* header =
            find<DropdownButton>([&](const DropdownButton& d) { return d.getTitle() == gettext(title); });
        ASSERT_NE(header, nullptr) << title;
        const auto& all = findAll<DropdownButton>();
        unfold(static_cast<size_t>(std::find(all.begin(), all.end(), header) - all.begin()));
    };
    // The end of the column at the bottom of the viewport.
    const auto showEnd = [this] {
        auto* editor = static_cast<VexalStackedContentForm*>(screen());
        const Component* last = editor->getContent()->getChildren().back();
        editor->scrollTo(last, FOCUS_BOTTOM, last->getTop(), last->getBottom());
        runTasks(2);
    };
    const struct {
        const char* name;
        std::function<void()> show;
    } screens[] = {
        {"FormItcEdit", [&] { open(62, ITC); }},
        {"FormItcEditOpen", [&] { unfold(1); }},
        {"FormItcEditCutOff",
         [&] {
             open(62, ITC);
             unfoldTitled("Safety & Cut-off temperatures");
         }},
        {"FormItcEditEnd",
         [&] {
             open(62, ITC);
             showEnd();
         }},
        {"FormHccEdit", [&] { open(61, HCC); }},
        {"FormHccEditOpen", [&] { unfold(1); }},
        {"FormHccEditCutOff",
         [&] {
             open(61, HCC);
             unfoldTitled("Cut-off temperatures");
         }},
        {"FormItcRooms", [&] { open(63, HCC); }},
        {"FormHeatCurve", [&] { open(64, HCC); }},
        {"FormHeatCurveItc", [&] { open(64, ITC); }},
    };
    for (uint8_t language = 0; language < 4; ++language) {
        speak(language);
        for (const auto& s : screens) {
            s.show();
            runTasks(2);
            EXPECT_EQ(screen()->getName().substr(0, 8), std::string(s.name).substr(0, 8)) << s.name;
            const std::string picture =
                language == 0 ? std::string(s.name) : std::string(s.name) + "_" + LANGUAGES[language];
            expectNoLabelCut(picture);
            expectTranslated(picture);
            screenshot(picture);
        }
        // Every row of the editors, each group unfolded, shows its text whole.
        for (const oid_t function : {ITC, HCC}) {
            open(function == ITC ? 62 : 61, function);
            const std::vector<DropdownButton*> groups = findAll<DropdownButton>();
            for (auto header = groups.rbegin(); header != groups.rend(); ++header) {
                (*header)->setCollapsed(true, false);
            }
            runTasks();
            for (ContainedLabel* label : findAll<ContainedLabel>()) {
                static_cast<VexalForm*>(screen())->scrollTo(label, FOCUS_TOP, label->getTop(),
                                                            label->getBottom());
                runTasks();
                expectWhole(*label, std::string(LANGUAGES[language]) + " " + std::to_string(function));
            }
        }
    }
}

} // namespace
} // namespace tdx::test
