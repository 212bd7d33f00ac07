// The road from power-on to home, in the whole application against the simulated control unit.
#include "sim_app_fixture.h"

#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/Widget.h"

namespace tdx::test {
namespace {

constexpr unsigned SPLASH = 2;
constexpr unsigned GUIDE = 4;
constexpr unsigned LANGUAGE_PAGE = 5;
constexpr unsigned DATE_TIME_PAGE = 6;
constexpr unsigned HOME = 9;

class StartRoad : public EndToEnd {
protected:
    // The states shown, each once, from now until `last` is shown (or `ms` have passed).
    std::vector<unsigned> roadTo(unsigned last, uint32_t ms) {
        std::vector<unsigned> road{stateId()};
        runUntil(
            [&] {
                if (stateId() != road.back()) {
                    road.push_back(stateId());
                }
                return stateId() == last;
            },
            ms);
        run(300); // the last screen stands and draws its tiles
        return road;
    }
    static std::vector<std::string> tiles() {
        std::vector<std::string> headings;
        for (Component* c : components()) {
            if (auto* tile = dynamic_cast<Widget*>(c); tile != nullptr && c->isGloballyVisible()) {
                headings.push_back(tile->getHeadingLabel()->getText());
            }
        }
        return headings;
    }
    const std::vector<std::string> ROOMS_AND_MANUAL_OUTPUTS = {"Living room", "Bedroom", "Circulation pump"};
};

TEST_F(StartRoad, AFreshDisplayGoesThroughTheGuideAndARestartStraightHome) {
    pass();
    ASSERT_EQ(stateId(), SPLASH);
    EXPECT_EQ(core().getScreen()->getName(), "FormSplash");
    EXPECT_EQ(Configuration.first_start, 1);
    EXPECT_EQ(roadTo(GUIDE, 60000), (std::vector<unsigned>{SPLASH, GUIDE}));
    EXPECT_TRUE(synchronised());
    EXPECT_EQ(core().getScreen()->getName(), "FormFirstStartGuide");

    // Through the guide's pages: language and country, then date and time, and home.
    const struct {
        const char* button;
        unsigned next;
        const char* screen;
    } pages[] = {
        {"Next", LANGUAGE_PAGE, "FormFirstStartGuideLocale"},
        {"Next", DATE_TIME_PAGE, "FormFirstStartGuideDateTime"},
        {"Finish", HOME, "FormHome"},
    };
    for (const auto& page : pages) {
        tap(withText<Button>(page.button));
        EXPECT_EQ(stateId(), page.next) << page.button;
        EXPECT_EQ(core().getScreen()->getName(), page.screen) << page.button;
    }
    EXPECT_EQ(Configuration.first_start, 0);
    run(300);
    EXPECT_EQ(tiles(), ROOMS_AND_MANUAL_OUTPUTS);

    static bool restarted = false;
    restarted = false;
    os_set_restart_hook([] { restarted = true; });
    os_restart();
    ASSERT_TRUE(restarted);
    start(mLoop.port());
    pass();
    EXPECT_EQ(roadTo(HOME, 60000), (std::vector<unsigned>{SPLASH, HOME}));
    EXPECT_EQ(tiles(), ROOMS_AND_MANUAL_OUTPUTS);
    EXPECT_FALSE(core().getStateManager().isBackEnabled());
}

} // namespace
} // namespace tdx::test
