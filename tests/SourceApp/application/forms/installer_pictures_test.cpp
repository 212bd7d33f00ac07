// The installer's wizards in every language: no line of text is cut at the edge of its box, and each picture
// goes to the screenshots for a person to look at (<Class>_<language>.bmp).
#include "Libraries/base/os.h"
#include "SourceApp/application/controls/DropdownButton.h"
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
            {"FormProfileChangeProcess", [this] { open(53, 10); }},
            {"FormProfileConfiguration", [this] { open(54); }},
            {"FormProfileOutdoorTemp", [this] { open(55); }},
            {"FormProfileUserOutputs", [this] { open(56); }},
            {"FormProfileUserOutputEdit", [this] { open(57, 0x06000316); }},
        };
    }
};

// The gallery's picture of each screen with the simulator's installation.
TEST_F(InstallerPictures, EachScreenWithTheDefaultInstallation) {
    eachScreen([this](const std::string& name) {
        EXPECT_EQ(screen()->getName(), name.substr(0, name.find("TimedOut")));
        screenshot(name);
    });
}

TEST_F(InstallerPictures, NoLineIsCutInAnyLanguage) {
    static const char* const LANGUAGES[] = {"en", "da", "cs", "nl"};
    for (uint8_t language = 0; language < 4; ++language) {
        i18n.switchLanguage(language);
        ASSERT_EQ(i18n.getLanguage(), language);
        eachScreen([&](const std::string& name) {
            const std::string picture = name + "_" + LANGUAGES[language];
            expectNoLabelCut(picture);
            screenshot(picture);
        });
    }
}

} // namespace
} // namespace tdx::test
