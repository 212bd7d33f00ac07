// The not-enrolled and not-implemented screens through the program's own registry.
#include "forms_fixture.h"

#include "SourceApp/application/controls/Button.h"
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

} // namespace
} // namespace tdx::test
