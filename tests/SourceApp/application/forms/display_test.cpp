// The display tab: its links, the software update, and the restart and factory reset behind their popups.
#include "Libraries/base/os.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/Popup.h"
#include "SourceApp/system/config.h"
#include "SourceHost/api_lib/device_info.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <cstdio>
#include <functional>
#include <string>

namespace tdx::test {
namespace {

constexpr unsigned DISPLAY = 12;

class DisplayTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        os_init();
    }
    void openActions() { tap(find<DropdownButton>()); }
    // What followed, as one line: record stores since `stores`, the stored first-start flag and whether a
    // restart began.
    std::string outcome(int stores) const {
        return "stores=" + std::to_string(configStores() - stores) +
               " first_start=" + std::to_string(storedConfiguration().first_start) +
               " restart=" + std::to_string(trace().find("SYSTEM restart") != std::string::npos);
    }
};

TEST_F(DisplayTest, LinksNavigateOnThePressAndDeviceInformationIsTheDisplaysOwn) {
    device(DI.hw->network_address);
    device(0x000520);
    runTasks();
    const struct {
        const char* text;
        unsigned state;
        unsigned p1;
    } cases[] = {
        {"Screen settings", 21, 0},
        {"Device information", 23, DI.hw->network_address},
        {"Date & Time", 24, 0},
        {"Languages & Country", 25, 0},
    };
    for (const auto& c : cases) {
        open(DISPLAY);
        const Component* link = findByText(c.text);
        ASSERT_NE(link, nullptr) << c.text;
        const Box box = link->getVisibleBox();
        press(box.x1 + 20, box.y1 + 10);
        runTasks(2);
        EXPECT_EQ(state().getStateId(), c.state) << c.text;
        EXPECT_EQ(state().getP1(), c.p1) << c.text;
        release();
    }
}

TEST_F(DisplayTest, ActionsAreHiddenUntilTheHeaderOpensThemAndResetWaitsForTheRelease) {
    open(DISPLAY);
    EXPECT_EQ(findByText("Restart display"), nullptr);
    openActions();
    const Component* restart = findByText("Restart display");
    const Component* reset = findByText("Reset to factory defaults");
    ASSERT_NE(restart, nullptr);
    ASSERT_NE(reset, nullptr);
    const DropdownButton* header = find<DropdownButton>();
    EXPECT_EQ(restart->getLeft(), header->getLeft() + 10);
    EXPECT_EQ(restart->getRight(), header->getRight()) << "the links end with the header";
    EXPECT_EQ(
        restart->getParent()->getBoundingBox(),
        Box(header->getLeft() + 10, restart->getParent()->getTop(), 209, restart->getParent()->getHeight()))
        << "their container is as wide as the header, 10 pixels beyond it";

    press(reset->getLeft() + 20, reset->getTop() + 10);
    runTasks(2);
    EXPECT_EQ(find<Popup>(), nullptr) << "the reset asks on the click";
    release();
    runTasks();
    EXPECT_NE(find<Popup>(), nullptr);
    tap(findByText("Cancel"));

    press(restart->getLeft() + 20, restart->getTop() + 10);
    runTasks(2);
    EXPECT_NE(find<Popup>(), nullptr) << "the restart asks on the press";
    release();
}

// A finger held on the link presses it again and again: the question is asked once, and a press repeated once
// it has been answered asks again.
TEST_F(DisplayTest, AFingerHeldOnRestartAsksOnceAndARepeatAsksAgainOnlyOnceAnswered) {
    open(DISPLAY);
    openActions();
    Component* restart = findByText("Restart display");
    ASSERT_NE(restart, nullptr);
    press(restart->getLeft() + 20, restart->getTop() + 10);
    tick(40);
    EXPECT_EQ(findAll<Popup>().size(), 1u) << "held for 2.5 s";
    mCore.sendMessage(restart, MSG_PRESS, 1, 0, 0, 0); // a repeat that reaches the screen meanwhile
    runTasks(2);
    EXPECT_EQ(findAll<Popup>().size(), 1u) << "no second question over the first";
    release();
    tap(findByText("Cancel"));
    EXPECT_TRUE(findAll<Popup>().empty());
    mCore.sendMessage(restart, MSG_PRESS, 1, 0, 0, 0);
    runTasks(2);
    EXPECT_EQ(findAll<Popup>().size(), 1u) << "a repeat after the answer asks again";
}

// An update process of some other device, running until it is told to end.
class OtherUpdate final : public UpdateProcess {
public:
    using UpdateProcess::UpdateProcess;
    UpdateModel* getModel() override { return nullptr; }
    UpdateController* getController() override { return nullptr; }
    void handleTask() override {}
    void handleTermination() override {}
};

struct OtherUpdateFactory final : IProcessFactory {
    UpdateProcess* create(ProcessInterface& manager) const override { return new OtherUpdate(manager); }
};

// A press held on "Update software" while another update runs starts the display's own once that one ends.
TEST_F(DisplayTest, AFingerHeldOnUpdateSoftwareStartsItOnceAnotherUpdateHasEnded) {
    open(DISPLAY);
    ASSERT_TRUE(updates().start(OtherUpdateFactory()));
    UpdateProcess* other = updates().getProcess();
    const Box box = findByText("Update software")->getVisibleBox();
    press(box.x1 + 20, box.y1 + 10);
    tick(14);
    EXPECT_EQ(updates().getProcess(), other) << "one update at a time";
    EXPECT_EQ(state().getStateId(), DISPLAY);
    updates().terminate(other);
    for (int ticks = 0; ticks < 40 && state().getStateId() == DISPLAY; ++ticks) {
        tick();
    }
    EXPECT_EQ(state().getStateId(), 28u) << "the repeated press started the display's own update";
    EXPECT_NE(updates().getProcess(), nullptr);
    release();
}

// A restart cannot be undone within a test program, so each answer is given in a child process, which reports
// what followed on its error output.
TEST_F(DisplayTest, OnlyAConfirmedQuestionActsAndAResetStoresTheDefaultsBeforeTheRestart) {
    const struct {
        const char* link; // null: no question asked
        const char* answer;
        const char* outcome;
    } cases[] = {
        {"Restart display", "Cancel", "stores=0 first_start=0 restart=0"},
        {"Reset to factory defaults", "Cancel", "stores=0 first_start=0 restart=0"},
        {"Restart display", "OK", "stores=0 first_start=0 restart=1"},
        {"Reset to factory defaults", "OK", "stores=1 first_start=1 restart=1"},
        {nullptr, "OK", "stores=0 first_start=0 restart=0"},
    };
    for (const auto& c : cases) {
        EXPECT_EXIT(
            {
                Configuration.first_start = 0;
                config_apply();
                const int stores = configStores();
                open(DISPLAY);
                openActions();
                if (c.link != nullptr) {
                    tap(findByText(c.link));
                    tap(findByText(c.answer));
                    if (c.link == std::string("Restart display")) {
                        // A cancelled question leaves nothing behind for a later popup's OK.
                        mCore.sendMessage(nullptr, MSG_POPUP_RESULT, Popup::RESULT_OK, 0, 0, 0);
                    }
                } else {
                    mCore.sendMessage(nullptr, MSG_POPUP_RESULT, Popup::RESULT_OK, 0, 0, 0);
                }
                runTasks();
                std::fprintf(stderr, "%s\n", outcome(stores).c_str());
                std::fflush(stderr);
                std::_Exit(0);
            },
            ::testing::ExitedWithCode(0), c.outcome)
            << (c.link ? c.link : "nothing asked") << " / " << c.answer;
    }
}

TEST_F(DisplayTest, UpdateSoftwareStartsTheSelfUpdateOnThePressAndOnceWhileItRuns) {
    open(DISPLAY);
    const Box box = findByText("Update software")->getVisibleBox();
    press(box.x1 + 20, box.y1 + 10);
    runTasks();
    EXPECT_EQ(state().getStateId(), 28u) << "the display's own device information opens the wizard";
    release();
    UpdateProcess* running = updates().getProcess();
    ASSERT_NE(running, nullptr);

    open(DISPLAY);
    tap(findByText("Update software"));
    runTasks();
    EXPECT_EQ(state().getStateId(), DISPLAY);
    EXPECT_EQ(updates().getProcess(), running);
}

TEST_F(DefaultInstallationTest, DisplayScreen) {
    os_init();
    loadDefaultInstallation();
    runTasks();
    const auto show = [this] {
        open(DISPLAY);
        tap(find<DropdownButton>());
    };
    picturesInEveryLanguage("FormDisplay", show);
    show();
    EXPECT_NE(findByText("Reset to factory defaults"), nullptr);
}

} // namespace
} // namespace tdx::test
