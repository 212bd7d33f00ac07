// The not-enrolled and not-implemented screens through the program's own registry.
#include "forms_fixture.h"

#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/forms/common/FormSetup.h"
#include "SourceApp/gui/i18n/I18n.h"

namespace tdx::test {
namespace {

class StartScreens : public FormsTest {
protected:
    void TearDown() override {
        i18n.switchLanguage(0);
        FormsTest::TearDown();
    }
};

TEST_F(StartScreens, TheLearnButtonStaysCentredInEveryLanguage) {
    for (uint8_t language = 0; language < 4; ++language) {
        i18n.switchLanguage(language);
        open(1);
        const Button* learn = find<Button>();
        ASSERT_NE(learn, nullptr);
        EXPECT_EQ(learn->getText(), gettext("Learn"));
        EXPECT_LE(std::abs(learn->getLeft() + learn->getRight() - 2 * 160), 1) << learn->getText();
    }
    i18n.switchLanguage(0);
    open(1);
    screenshot("FormNotLearned");
    open(76);
    EXPECT_NE(findByText("Form not implemented"), nullptr);
    screenshot("FormNotImplemented");
}

constexpr unsigned SETUP = 40; // no state of the program opens it

Form* withSetup(unsigned previous, unsigned next, const State& state) {
    return next == SETUP ? new FormSetup(state) : AppChangeState(previous, next, state);
}

TEST_F(StartScreens, TheSetupMenuOffersThreeLinksThatLeadNowhere) {
    setRegistry(&withSetup);
    i18n.switchLanguage(3);
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
