// The not-enrolled and not-implemented screens through the program's own registry.
#include "forms_fixture.h"

#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/forms/common/FormSetup.h"

#include <string>
#include <vector>

namespace tdx::test {
namespace {

using StartScreens = FormsTest;

TEST_F(StartScreens, TheLearnButtonStaysCentredInEveryLanguage) {
    std::vector<std::string> captions;
    for (uint8_t language = 0; language < 4; ++language) {
        speak(language);
        open(1);
        const Button* learn = find<Button>();
        ASSERT_NE(learn, nullptr);
        captions.push_back(learn->getText());
        EXPECT_EQ(learn->getShownLines(), std::vector<std::string>{learn->getText()}) << "never cut";
        EXPECT_LE(std::abs(learn->getLeft() + learn->getRight() - 2 * 160), 1) << learn->getText();
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"Learn", "Indl\u00E6r", "P\u00E1rovat", "Inleren"}));
    speak(0);
    open(1);
    screenshot("FormNotLearned");
    open(76);
    EXPECT_NE(findByText("Form not implemented"), nullptr);
    screenshot("FormNotImplemented");
}

TEST_F(StartScreens, TheLearnButtonIsBlackWithGreyTextThatDarkensWhilePressed) {
    open(1);
    const Box box = find<Button>()->getBoundingBox();
    const Box inside(box.x1 + 2, box.y1 + 2, box.getWidth() - 4, box.getHeight() - 4);
    for (bool pressed : {false, true}) {
        if (pressed) {
            press(box.x1 + box.getWidth() / 2, box.y1 + box.getHeight() / 2);
            runTasks();
        }
        EXPECT_EQ(pixel(box.x1, box.y1), 0x000000u) << pressed;
        // The glyphs' cores show the text colour itself.
        EXPECT_EQ(countColour(inside, colour::CONTROL) > 0, !pressed);
        EXPECT_EQ(countColour(inside, colour::PRESSED) > 0, pressed);
    }
    release();
}

constexpr unsigned SETUP = 40; // no state of the program opens it

Form* withSetup(unsigned previous, unsigned next, const State& state) {
    return next == SETUP ? new FormSetup(state) : AppChangeState(previous, next, state);
}

TEST_F(StartScreens, TheSetupMenuOffersThreeLinksThatLeadNowhere) {
    setRegistry(&withSetup);
    speak(3); // the captions stay English
    open(SETUP);
    std::vector<std::string> captions;
    for (const NavigationLink* link : findAll<NavigationLink>()) {
        captions.push_back(link->getText());
        EXPECT_EQ(link->getWidth(), 195);
        EXPECT_EQ(link->getLeft(), 50);
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"Manual setup", "Auto step", "Advanced setup"}));
    for (const NavigationLink* link : findAll<NavigationLink>()) {
        tap(link);
        EXPECT_EQ(state().getStateId(), SETUP);
    }
    screenshot("FormSetup");
}

} // namespace
} // namespace tdx::test
