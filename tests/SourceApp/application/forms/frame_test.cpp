// The frame every screen sits in: the top bar's navigation, the alarm indicator, help, focus scrolling, the
// tabs and the wizard footer.
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/ScrollBar.h"
#include "SourceApp/application/forms/VexalHomeForm.h"
#include "SourceApp/application/forms/VexalStackedContentForm.h"
#include "SourceApp/application/forms/VexalWizardForm.h"
#include "SourceApp/application/resources/resource_mgr.h"
#include "SourceApp/gui/core/layout/Viewport.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "tests/SourceApp/application/forms/alarm_template.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <string>

namespace tdx::test {
namespace {

const Box BACK(0, 0, 51, 30);
const Box HOME(52, 0, 51, 30);
const Box ALARM_BUTTON(218, 0, 51, 30);
const Box HELP(270, 0, 51, 30);
constexpr oid_t RELAY = 0x06000316;

// The tab screens: each marks its own tab.
class TabScreen : public VexalHomeForm {
public:
    explicit TabScreen(const State& state)
        : VexalHomeForm(state) {
        selectTab(state.getStateId() == PROGRAMS_STATE_ID ? mProgramsButton : mInfoButton);
    }
};

// Twelve rows of 40 pixels, more than the viewport shows, with help on "Rows".
class RowsScreen : public VexalStackedContentForm {
public:
    explicit RowsScreen(const State& state)
        : VexalStackedContentForm(state) {
        for (int i = 0; i < 12; ++i) {
            rows.push_back(
                new Oblong(getContent(), 0, 0, 277, 40, i % 2 != 0 ? colour::CONTROL : colour::LIGHT));
        }
        getContent()->fitToContent();
        setHelp("Rows");
    }
    Viewport* viewport() const { return mViewport; }
    std::vector<Component*> rows;
};

// A wizard step; parameter 1 offers "Skip setup".
class WizardScreen : public VexalWizardForm {
public:
    explicit WizardScreen(const State& state)
        : VexalWizardForm(state, state.getP1() != 0) {}
    Button* exitButton() const { return mExitButton; }
};

constexpr unsigned ROWS = 40;
constexpr unsigned WIZARD = 41;

Form* frames(unsigned previous, unsigned next, const State& state) {
    switch (state.getStateId()) {
        case VexalHomeForm::HOME_STATE_ID:
        case VexalHomeForm::PROGRAMS_STATE_ID:
            return new TabScreen(state);
        case ROWS:
            return new RowsScreen(state);
        case WIZARD:
            return new WizardScreen(state);
        default:
            return AppChangeState(previous, next, state);
    }
}

class FrameTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        setRegistry(&frames);
    }
    void home() {
        mCore.defaultState();
        runTasks(2);
    }
    // A button of the top bar shows its icon in white while enabled, in grey while disabled.
    static bool enabled(const Box& button) { return shows(button, colour::WHITE); }
    IconButton* alarmButton() const {
        return find<IconButton>([](const IconButton& b) { return b.getLeft() == ALARM_BUTTON.x1; });
    }
    RowsScreen* rowsScreen() const { return dynamic_cast<RowsScreen*>(screen()); }
};

TEST_F(FrameTest, BackIsOfferedOnlyWithAHistoryAndHomeClearsIt) {
    home();
    EXPECT_FALSE(enabled(BACK));
    EXPECT_TRUE(shows(BACK, colour::CONTROL)) << "the disabled icon is grey";
    open(ROWS);
    EXPECT_TRUE(enabled(BACK));
    open(WIZARD);
    tap(25, 15);
    EXPECT_EQ(state().getStateId(), ROWS);

    open(WIZARD);
    tap(77, 15);
    EXPECT_EQ(state().getStateId(), 9u);
    EXPECT_EQ(historyDepth(), 0u);
    tap(25, 15);
    EXPECT_EQ(state().getStateId(), 9u) << "a disabled back goes nowhere";
    tap(243, 15);
    EXPECT_EQ(state().getStateId(), 7u) << "the alarm button opens the alarms";
}

TEST_F(FrameTest, TheAlarmIconShowsTheWorstActiveEntryAndTurnsPassiveWhenTheLastGoes) {
    objectOf(PERIPHERAL, RELAY, BT_OBJ_OUTPUT, 7).text(VID_NAME, "Relay");
    open(ROWS);
    const struct {
        const char* step;
        vid_t vid;
        int code;
        resource_id icon;
        unsigned colour;
    } steps[] = {
        {"nothing active", 0, 0, res_warning_passive, colour::CONTROL},
        {"a warning", WARNING, 3, res_warning_active, VexalForm::WARNING_COLOR},
        {"an alarm joins it", ALARM, 3, res_warning_active, VexalForm::ALARM_COLOR},
        {"the alarm goes", ALARM, 0, res_warning_active, VexalForm::WARNING_COLOR},
        {"the warning goes", WARNING, 0, res_warning_passive, colour::CONTROL},
    };
    for (const auto& s : steps) {
        if (s.vid != 0) {
            receive(RELAY, s.vid, s.code);
            runTasks(2);
        }
        EXPECT_EQ(alarmButton()->getIcon(), s.icon) << s.step;
        EXPECT_TRUE(shows(ALARM_BUTTON, s.colour)) << s.step;
    }
}

TEST_F(FrameTest, AFocusRequestScrollsTheContentAsFarAsItAsksAndOnlyForTheContent) {
    open(ROWS);
    // Rows 40 high, 9 apart, from y 39; the view shows y 39 to 230; the content can scroll 579 - 192 = 387.
    const struct {
        const char* what;
        FocusPosition position;
        int top;
        int bottom;
        int scrolled;
    } cases[] = {
        {"its top at the top", FOCUS_TOP, 284, 323, 245},
        {"its bottom at the bottom", FOCUS_BOTTOM, 284, 323, 93},
        {"as needed, below the view", FOCUS_AS_NEEDED, 284, 323, 93},
        {"as needed, inside the view", FOCUS_AS_NEEDED, 84, 134, 0},
        {"as needed, taller than the view", FOCUS_AS_NEEDED, 20, 400, 0},
        {"past the end", FOCUS_TOP, 578, 617, 387},
    };
    for (const auto& c : cases) {
        find<ScrollBar>()->setThumbPosition(0);
        runTasks();
        rowsScreen()->rows[5]->requestFocus(c.position, c.top, c.bottom);
        runTasks();
        EXPECT_EQ(rowsScreen()->viewport()->getVerticalPosition(), c.scrolled) << c.what;
    }
    alarmButton()->requestFocus(FOCUS_TOP, 0, 29);
    runTasks();
    EXPECT_EQ(rowsScreen()->viewport()->getVerticalPosition(), 387) << "the top bar is not in the content";
    EXPECT_NE(trace().find("focus request from outside the content ignored"), std::string::npos);
}

TEST_F(FrameTest, TheProgramsTabNavigatesWhileTheFingerIsStillDown) {
    home();
    EXPECT_TRUE(shows(Box(0, 31, 68, 66), colour::WHITE)) << "the tab of the screen shown is white";
    EXPECT_TRUE(shows(Box(0, 31, 68, 66), colour::TEXT)) << "with a black caption";
    EXPECT_FALSE(shows(Box(0, 31, 68, 66), colour::DISABLED));
    press(34, 130);
    EXPECT_EQ(state().getStateId(), 10u);
    release();
    EXPECT_EQ(state().getStateId(), 10u);
    EXPECT_EQ(pixel(2, 100), colour::WHITE) << "now the programs tab is the white one";
    EXPECT_EQ(pixel(2, 40), 0x9B7B3Au);
}

TEST_F(FrameTest, TheTabCaptionsShowWholeInEveryLanguage) {
    static constexpr const char* CODES[] = {"en", "da", "cs", "nl"};
    for (uint8_t language = 0; language < 4; ++language) {
        speak(language);
        home();
        std::vector<std::string> captions;
        for (Button* tab : findAll<Button>()) {
            if (tab->getLeft() != 0 || tab->getTop() < 31) {
                continue;
            }
            captions.push_back(tab->getText());
            for (const std::string& line : tab->getShownLines()) {
                EXPECT_EQ(line.find("\u2026"), std::string::npos) << CODES[language] << ": " << line;
            }
        }
        ASSERT_EQ(captions.size(), 4u);
        EXPECT_EQ(captions[1] == "Programs", language == 0) << "translated: " << captions[1];
        screenshot(std::string("tabs_") + CODES[language]);
    }
}

TEST_F(FrameTest, TheWizardFooterOffersNextAndSkipSetupOnlyWhenAsked) {
    const Box next(240, 210, 80, 30);
    const Box exit(0, 210, 80, 30);
    for (const bool withExit : {true, false}) {
        open(WIZARD, withExit ? 1 : 0);
        auto* wizard = dynamic_cast<WizardScreen*>(screen());
        ASSERT_NE(wizard, nullptr);
        EXPECT_EQ(wizard->exitButton() != nullptr, withExit);
        EXPECT_EQ(findByText("Skip setup") != nullptr, withExit);
        EXPECT_EQ(shows(exit, colour::TEXT), withExit) << "a grey filler without the button";
        EXPECT_TRUE(shows(next, colour::TEXT));

        wizard->setNextEnabled(false);
        wizard->setExitEnabled(false);
        runTasks();
        EXPECT_FALSE(shows(next, colour::TEXT));
        EXPECT_TRUE(shows(next, colour::DISABLED));
        EXPECT_FALSE(enabled(HOME));
        EXPECT_EQ(shows(exit, colour::DISABLED), withExit);
        clearMessages();
        tap(next.x1 + 40, 225);
        EXPECT_EQ(state().getStateId(), WIZARD) << "a disabled Next goes nowhere";
    }
}

TEST_F(FrameTest, TheHelpButtonIsAsWideAsTheOthersItsLastColumnOffTheScreenAndItsIconInside) {
    open(ROWS);
    const auto* help = find<IconButton>([](const IconButton& b) { return b.getLeft() == HELP.x1; });
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->getBoundingBox(), HELP) << "its last column lies at x 320, off the screen";
    EXPECT_EQ(help->getVisibleBox(), Box(270, 0, 50, 30));
    const Box icon = inkIn(help->getVisibleBox(), VexalForm::TOP_BAR_COLOR);
    EXPECT_LE(std::abs((icon.x1 - HELP.x1) - (HELP.x2 - icon.x2)), 1) << "the icon is centred in the button";
}

TEST_F(FrameTest, HelpIsOfferedOnlyInALanguageWithHelpTexts) {
    open(ROWS);
    EXPECT_TRUE(enabled(HELP));
    press(295, 15);
    release();
    ASSERT_EQ(state().getStateId(), VexalForm::HELP_STATE_ID);
    const auto* help = dynamic_cast<const SingleParamState<std::string>*>(&state());
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->getParam(), "Rows");

    speak(2);
    ASSERT_EQ(i18n.getTranslationId(), res_translation_cs);
    open(ROWS);
    EXPECT_FALSE(enabled(HELP)) << "there is no res_translation_cs_help";
    tap(295, 15);
    EXPECT_EQ(state().getStateId(), ROWS);

    speak(0);
    replaceResource(res_translation_en_help, {}, RESFILE_EMPTY); // a resources file made without it
    open(ROWS);
    EXPECT_FALSE(enabled(HELP)) << "no English help texts";
    tap(295, 15);
    EXPECT_EQ(state().getStateId(), ROWS);
}

} // namespace
} // namespace tdx::test
