// The start road's screens in every language: no line of text is cut at the edge of its box, and each
// picture goes to the screenshots for a person to look at (<Class>_<language>.bmp).
#include "Libraries/base/os.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <functional>

namespace tdx::test {
namespace {

class StartPictures : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        os_init();
        useCatalogues();
    }
};

TEST_F(StartPictures, NoLineIsCutInAnyLanguage) {
    static const char* const LANGUAGES[] = {"en", "da", "cs", "nl"};
    loadDefaultInstallation();
    runTasks();
    const struct {
        const char* name;
        std::function<void()> show;
    } screens[] = {
        {"FormSplash", [this] { open(2); }},
        {"FormSplashWaiting", [this] { tick(50); }},
        {"FormNotLearned", [this] { open(1); }},
        {"FormTouchCalibration", [this] { open(3); }},
        {"FormTouchCalibrationCheck",
         [this] {
             for (int i = 0; i < 4; ++i) {
                 mCore.sendEvent(EVENT_TOUCH_PRESS, 5, 5, 64 + 192 * (i == 1 || i == 2), 64 + 112 * (i >= 2));
                 runTasks(2);
             }
         }},
        {"FormHome", [this] { open(9); }},
        {"FormHelp",
         [this] {
             mCore.changeState(SingleParamState<std::string>(8, 0, 0, 0, 0, gettext("Info")));
             runTasks(2);
         }},
    };
    for (uint8_t language = 0; language < 4; ++language) {
        speak(language);
        ASSERT_EQ(i18n.getLanguage(), language);
        for (const auto& s : screens) {
            s.show();
            const std::string picture = std::string(s.name) + "_" + LANGUAGES[language];
            expectNoLabelCut(picture);
            expectTranslated(picture);
            screenshot(picture);
        }
    }
}

} // namespace
} // namespace tdx::test
