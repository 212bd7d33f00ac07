// The installer's wizards in every language: no line of text is cut at the edge of its box, and each picture
// goes to the screenshots for a person to look at (<Class>_<language>.bmp).
#include "Libraries/base/os.h"
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "tests/SourceApp/application/forms/installer_fixture.h"

namespace tdx::test {
namespace {

class InstallerPictures : public InstallerTest {
protected:
    void SetUp() override {
        InstallerTest::SetUp();
        os_init();
        useCatalogues();
        loadDefaultInstallation();
        connect();
        runTasks();
    }
    struct Screen {
        const char* name;
        std::function<void()> show;
    };
    // Opens each screen in turn, with its first section open, and hands it to the check.
    void eachScreen(const std::function<void(const std::string&)>& check) {
        for (const Screen& s : screens()) {
            s.show();
            if (auto* section = find<DropdownButton>()) {
                tap(section);
            }
            check(s.name);
        }
    }
    std::vector<Screen> screens() {
        return {
            {"FormEnrollComponent", [this] { open(39); }},
            {"FormEnrollIntoNew", [this] { open(40); }},
            {"FormEnrollIntoLocation", [this] { open(41); }},
            {"FormEnrollIntoExisting", [this] { open(42); }},
            {"FormEnrollEnterSerial", [this] { openWith(43, {CU}); }},
            {"FormEnrollProcess", [this] { openWith(44, {CU}, 1601); }},
            {"FormRemoveComponent", [this] { open(45); }},
            {"FormRemoveFromLocation", [this] { open(46); }},
            {"FormRemoveFromExisting", [this] { open(47); }},
            {"FormRemoveRoom", [this] { open(48); }},
            {"FormRemoveLocation", [this] { open(49); }},
            {"FormRemoveProcess", [this] { openWith(50, {0x000520}); }},
            {"FormRemoveProcessTimedOut", [this] { wait(30100); }},
            {"FormProfile", [this] { open(51); }},
            {"FormProfileChange", [this] { open(52); }},
            {"FormProfileChangeLongNames",
             [this] {
                 Component* last = findAll<CheckButton>().back();
                 static_cast<VexalForm*>(screen())->scrollTo(last, FOCUS_AS_NEEDED, last->getTop(),
                                                             last->getBottom());
                 runTasks(2);
             }},
            {"FormProfileChangeProcess", [this] { open(53, 10); }},
            {"FormProfileConfiguration", [this] { open(54); }},
            {"FormProfileOutdoorTemp", [this] { open(55); }},
            {"FormProfileUserOutputs", [this] { open(56); }},
            {"FormProfileUserOutputEdit", [this] { open(57, 0x06000316); }},
        };
    }
};

// Each screen with the simulator's installation in every language, its labels whole: <Class>.bmp for the
// gallery and <Class>_<language>.bmp.
TEST_F(InstallerPictures, EachScreenInEveryLanguageWithNoLineCut) {
    static const char* const LANGUAGES[] = {"en", "da", "cs", "nl"};
    for (uint8_t language = 0; language < 4; ++language) {
        speak(language);
        ASSERT_EQ(i18n.getLanguage(), language);
        eachScreen([&](const std::string& name) {
            EXPECT_EQ(screen()->getName(),
                      name.substr(0, std::min(name.find("TimedOut"), name.find("LongNames"))));
            const std::string picture = name + "_" + LANGUAGES[language];
            expectNoLabelCut(picture);
            expectTranslated(picture);
            screenshot(picture);
            if (language == 0) {
                screenshot(name);
            }
        });
    }
}

// The one-line texts of the wizards in the widths they get: headings, titles, links and the choices.
TEST_F(InstallerPictures, EveryOneLineTextFitsItsBoxInEveryLanguage) {
    constexpr int LINK = 277 - NavigationLink::BUTTON_WIDTH - NavigationLink::TEXT_INSET - 6;
    constexpr int CHOICE = 277 - 40 - 9;
    const struct {
        const char* text;
        Font* font;
        int width;
        int lines = 1;
    } rows[] = {
        {"Enroll component into new room", &bif_myriad14, 277},
        {"Enroll global component", &bif_myriad14, 277},
        {"Enroll component into existing room", &bif_myriad14, 277},
        {"Enter component's serial number", &bif_myriad14, 277},
        {"Enrolling", &bif_myriad14, 277},
        {"Removing", &bif_myriad14, 277},
        {"Changing profile", &bif_myriad14, 277},
        {"Remove global component", &bif_myriad14, 277},
        {"Remove component associated to a room", &bif_myriad14, 277},
        {"Remove room and associated components", &bif_myriad14, 277},
        {"Remove all rooms", &bif_myriad14, 277},
        {"System | Enroll component", &bif_myriad12, 277},
        {"System | Remove component", &bif_myriad12, 277},
        {"System | Hardware profile", &bif_myriad12, 277},
        {"System | Hardware profile | Change", &bif_myriad12, 277},
        {"System | Hardware profile | Configuration", &bif_myriad12, 277},
        {"System | Hardware profile | Outdoor temperature source", &bif_myriad10, 277},
        {"System | Hardware profile | Relays", &bif_myriad12, 277},
        {"There are no rooms at this moment", &bif_myriad12, 277 - 9 - 30},
        {"There are no global components enrolled", &bif_myriad12, 277 - 9 - 30},
        {"Current profile", &bif_myriad12, 145},
        {"Use external sensor", &bif_myriad12, 186},
        {"Global component", &bif_myriad12, LINK},
        {"Component to a new room", &bif_myriad12, LINK},
        {"Component to an existing room", &bif_myriad12, LINK},
        {"Component associated to a room", &bif_myriad12, LINK},
        {"Room and associated components", &bif_myriad12, LINK},
        {"Change profile", &bif_myriad12, LINK},
        {"Enroll global component", &bif_myriad12, LINK},
        {"Set outdoor temperature source", &bif_myriad12, LINK},
        {"Configure required inputs and outputs", &bif_myriad12, LINK},
        {"Configure unused relays", &bif_myriad12, LINK},
        {"3.3.3 Heat Pump, 1 ITC, Automatic H/C change-over", &bif_myriad10, CHOICE, 2},
        {"3.3.2 Heat Pump, 1 ITC, Manual H/C change-over", &bif_myriad10, CHOICE, 2},
        {"3.3.1 Heat Pump with Automatic H/C change-over", &bif_myriad10, CHOICE, 2},
    };
    for (uint8_t language = 0; language < 4; ++language) {
        speak(language);
        for (const auto& row : rows) {
            const std::string shown = gettext(row.text);
            EXPECT_LE(bif_count_lines(row.font->getFont(), shown, row.width), row.lines)
                << int{language} << ": " << shown;
        }
    }
}

} // namespace
} // namespace tdx::test
