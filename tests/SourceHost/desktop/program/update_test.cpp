// The control unit updated from the memory card by the real program, as an installer does it: the emulator
// window's canvas is touched (System, Actions, "Update control unit", Next, the package, Next, Update) while
// the application runs on its own thread against the simulator's executable on a pseudo-terminal, at real
// speed. The unit restarts twice and the network goes down with it: the wizard keeps its screens, and the
// result tells the truth also for a unit slower than it announces and for one that stays away. A unit lost
// where the update waits for nothing of it ends the update, and its return leads home.
#include "SourceHost/desktop/DesktopApplication.h"
#include "SourceHost/desktop/SimpleMainWindow.h"

#include "SourceApp/application/App.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/application/update/UpdateManager.h"
#include "SourceApp/gui/core/Container.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/gui/core/state/NavigationEventHandler.h"
#include "SourceApp/system/config.h"
#include "SourceHost/api_lib/comf.h"
#include "tests/SourceHost/api_lib/scratch_folder.h"
#include "tests/support/simcu_process.h"
#include "tests/support/trace_capture.h"

#include <QApplication>
#include <QMouseEvent>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}

namespace tdx::test {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr uint16_t SYSTEM = 11;
constexpr uint16_t DONE = 35;
const std::string READY = "PUBLISH 010410:00 vid 002F type 12 = 2";

// Every change of screen, as the GUI core reports it on the application thread.
class NavigationLog final : public NavigationEventHandler {
public:
    void handleNavigation(Navigation::Enum, uint16_t, uint16_t to) override {
        std::lock_guard<std::mutex> lock(mLock);
        mTargets.push_back(to);
    }
    std::vector<uint16_t> take() {
        std::lock_guard<std::mutex> lock(mLock);
        return std::exchange(mTargets, {});
    }

private:
    std::mutex mLock;
    std::vector<uint16_t> mTargets;
};

// Every component of the layers shown, breadth first; on the application thread.
std::vector<Component*> shownComponents() {
    std::vector<Component*> all = Core::current()->getModalLayers();
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i]->isContainerType()) {
            for (Component* child : static_cast<Container*>(all[i])->getChildren()) {
                all.push_back(child);
            }
        }
    }
    return all;
}

std::pair<int, int> centreOf(const Component& c) {
    const Box box = c.getVisibleBox();
    return {box.x1 + box.getWidth() / 2, box.y1 + box.getHeight() / 2};
}

struct Case {
    const char* name;
    std::vector<std::string> options;
    bool identified; // the unit answers the first request: the wizard gets to the package
    const char* heading;
    const char* message; // the result's first sentence
    bool runsPackage;    // the unit reports the package's version afterwards
    bool notRunning;     // the result adds that the unit does not run its program
    uint16_t after; // the screen after "Finish": where the update started, or not enrolled without a unit
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

// The program in its window against the simulator on a port path that leads to it, as a converter's link
// does: a simulator started again behind the same path is the same unit after a power cycle.
class ProgramRun : public ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        std::filesystem::create_directories("sdcard");
        std::ofstream image("image.bin", std::ios::binary);
        for (uint32_t i = 0; i < 3000; ++i) {
            image.put(static_cast<char>(i * 7 + 3));
        }
        image.close();
        const std::string command = std::string(MKPACKAGE_PATH) +
                                    " --hw HM316 --sw HM316 --version 1.1 --data image.bin -o sdcard/unit.fw";
        std::string said;
        ASSERT_EQ(runCommand(command, said), 0) << said;
        std::filesystem::create_directories("Dist");
        std::filesystem::create_symlink(TDX_RESOURCES_FILE, "Dist/resources.win32.bin");
        mTrace = std::filesystem::absolute("trace.txt").string();
        setenv("TDX410_TRACE", mTrace.c_str(), 1);
    }

    void TearDown() override {
        if (mWindow) {
            onApp([this] { Core::current()->unregisterEventHandler(mNavigation); });
            EXPECT_TRUE(mWindow->host().stop());
            mWindow.reset();
        }
        mSimulator.reset();
        mQt.reset();
        ScratchFolder::TearDown();
    }

    std::string trace() const { return readFile(mTrace); }

    bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
        const auto end = Clock::now() + limit;
        while (!done() && Clock::now() < end) {
            QApplication::processEvents();
            if (mSimulator) {
                mPublished += mSimulator->readAvailable();
            }
            std::this_thread::sleep_for(20ms);
        }
        return done();
    }

    // Runs `what` on the application thread between two of its passes and waits for it.
    template <class F>
    auto onApp(F what) -> decltype(what()) {
        using Result = decltype(what());
        auto task = std::make_shared<std::packaged_task<Result()>>(std::move(what));
        std::future<Result> result = task->get_future();
        host_hand_over().postCommand([task] { (*task)(); });
        waitUntil([&] { return result.wait_for(0ms) == std::future_status::ready; }, 10s);
        return result.get();
    }

    // The program against a simulator started with these options, synchronised.
    void start(const std::vector<std::string>& options) {
        static int argc = 1;
        static char name[] = "test_tdx410_update";
        static char* argv[] = {name, nullptr};
        mQt = std::make_unique<QApplication>(argc, argv);
        std::vector<std::string> all{"--quiet"};
        all.insert(all.end(), options.begin(), options.end());
        mOptions = all;
        mSimulator = std::make_unique<SimProcess>(all);
        ASSERT_TRUE(mSimulator->ok());
        mPort = std::filesystem::absolute("port").string();
        std::filesystem::create_symlink(mSimulator->slave(), mPort);
        comf_set_port_override(mPort.c_str());
        ASSERT_EQ(comf_get_port(PortName), 0);
        mWindow = std::make_unique<CSimpleMainWindow>(desktop_application());
        mWindow->run();
        ASSERT_TRUE(waitUntil([&] { return mPublished.find(READY) != std::string::npos; }, 30s)) << trace();
        // The start road (splash, first-start guide) settles before the system screen is opened over it.
        ASSERT_TRUE(waitUntil([&] { return stateId() != 2; }, 20s));
        onApp([this] {
            Core::current()->registerEventHandler(mNavigation);
            Core::current()->changeState(SYSTEM, 0, 0, 0, 0);
        });
        ASSERT_TRUE(waitForState(SYSTEM, 3s));
        mNavigation.take();
    }

    uint16_t stateId() {
        return onApp(
            [] { return static_cast<uint16_t>(Core::current()->getStateManager().getState().getStateId()); });
    }
    bool waitForState(uint16_t id, std::chrono::milliseconds limit) {
        return waitUntil([&] { return stateId() == id; }, limit);
    }

    // The centre of the first visible component that `match` accepts, on the screen shown now.
    std::optional<std::pair<int, int>> find(const std::function<bool(const Component&)>& match) {
        return onApp([&]() -> std::optional<std::pair<int, int>> {
            for (Component* c : shownComponents()) {
                if (c->isGloballyVisible() && match(*c) && !c->getVisibleBox().isEmpty()) {
                    return centreOf(*c);
                }
            }
            return std::nullopt;
        });
    }
    template <class T>
    static std::function<bool(const Component&)> withText(const std::string& text) {
        return [text](const Component& c) {
            const auto* t = dynamic_cast<const T*>(&c);
            return t != nullptr && t->getText() == text;
        };
    }
    // Texts of the screen's labels and text frames, in tree order.
    std::vector<std::string> texts() {
        return onApp([] {
            std::vector<std::string> all;
            for (Component* c : shownComponents()) {
                if (const auto* label = dynamic_cast<const ContainedLabel*>(c)) {
                    all.push_back(label->getText());
                } else if (const auto* frame = dynamic_cast<const TextFrame*>(c)) {
                    all.push_back(frame->getText());
                }
            }
            return all;
        });
    }

    // A finger's tap on the canvas (the window's left mouse button, the canvas 6 pixels in).
    void tap(const std::optional<std::pair<int, int>>& at) {
        ASSERT_TRUE(at.has_value()) << "nothing to tap on screen " << stateId();
        const QPointF point(6 + at->first, 6 + at->second);
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, point, point, Qt::LeftButton,
                              type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                              Qt::NoModifier);
            QApplication::sendEvent(mWindow->GetHandle(), &event);
            waitUntil([] { return false; }, 150ms);
        }
    }
    void tapButton(const std::string& text) { tap(find(withText<Button>(text))); }

    // The system screen's actions: "Update control unit".
    void openUpdate() {
        // The second dropdown of the system screen holds the actions.
        const auto dropdowns = onApp([] {
            std::vector<std::pair<int, int>> centres;
            for (Component* c : shownComponents()) {
                if (dynamic_cast<const DropdownButton*>(c) != nullptr && c->isGloballyVisible()) {
                    centres.push_back(centreOf(*c));
                }
            }
            return centres;
        });
        ASSERT_GE(dropdowns.size(), 2u);
        tap(dropdowns[1]);
        tap(find(withText<NavigationLink>("Update control unit")));
    }
    // From the device's description to "Update" on the package's confirmation.
    void choosePackage() {
        ASSERT_TRUE(waitForState(28, 15s)) << trace();
        tapButton("Next");
        ASSERT_TRUE(waitForState(30, 10s)) << trace();
        tap(find(withText<CheckButton>("unit.fw")));
        waitUntil([] { return false; }, 300ms); // "Next" is enabled at the next timer message
        tapButton("Next");
        ASSERT_TRUE(waitForState(32, 5s)) << trace();
        tapButton("Update");
    }

    // The result screen shows the heading, a text that begins with the message and, or not, that the unit
    // does not run its program.
    void expectResult(const std::string& heading, const std::string& message, bool notRunning) {
        const std::vector<std::string> shown = texts();
        EXPECT_THAT(shown, testing::Contains(heading));
        const bool said = std::any_of(shown.begin(), shown.end(),
                                      [&](const std::string& text) { return text.rfind(message, 0) == 0; });
        EXPECT_TRUE(said) << testing::PrintToString(shown) << "\n" << trace();
        const bool says = std::any_of(shown.begin(), shown.end(), [](const std::string& text) {
            return text.find("The device does not run its program") != std::string::npos;
        });
        EXPECT_EQ(says, notRunning) << testing::PrintToString(shown);
    }

    // The unit is switched off and on again: the port path leads nowhere until the program has reported the
    // lost unit (a freed pseudo-terminal may go to another test's simulator), then to the new simulator.
    void powerCycle() {
        const size_t lost = countOf(trace(), "tavi: event 6");
        std::filesystem::remove(mPort);
        mPublished += mSimulator->readAvailable();
        mSimulator.reset();
        ASSERT_TRUE(waitUntil([&] { return countOf(trace(), "tavi: event 6") > lost; }, 10s)) << trace();
        mSimulator = std::make_unique<SimProcess>(mOptions);
        ASSERT_TRUE(mSimulator->ok());
        std::filesystem::create_symlink(mSimulator->slave(), mPort);
    }
    // The unit falls silent on the line for a while, longer than the session's supervision.
    void silence(std::chrono::milliseconds span) {
        mSimulator->setPaused(true);
        waitUntil([] { return false; }, span);
        mSimulator->setPaused(false);
    }

    std::string mTrace;
    std::string mPort;
    std::vector<std::string> mOptions;
    std::string mPublished;
    std::unique_ptr<QApplication> mQt; // before any widget, gone after them
    std::unique_ptr<SimProcess> mSimulator;
    std::unique_ptr<CSimpleMainWindow> mWindow;
    NavigationLog mNavigation;
};

class ProgramUpdate : public ProgramRun, public ::testing::WithParamInterface<Case> {};

TEST_P(ProgramUpdate, TheWizardKeepsItsScreensThroughTheUnitsRestartsAndEndsOnTheTruth) {
    const Case& c = GetParam();
    start(c.options);
    if (HasFatalFailure()) {
        return;
    }
    openUpdate();
    if (c.identified) {
        choosePackage();
        if (HasFatalFailure()) {
            return;
        }
    }
    const auto startedAt = Clock::now();
    ASSERT_TRUE(waitForState(DONE, 90s)) << trace();
    const auto took = Clock::now() - startedAt;

    expectResult(c.heading, c.message, c.notRunning);
    for (uint16_t id : mNavigation.take()) {
        EXPECT_TRUE(id >= 27 && id <= 35) << "screen " << id << " while the update ran\n" << trace();
    }
    const std::string log = trace();
    EXPECT_EQ(log.find("navigation history full"), std::string::npos);
    EXPECT_EQ(log.find("ASSERTION"), std::string::npos);
    const std::string runs = "connected [hw:HM31601 sw:HM316 ver:1.1";
    EXPECT_EQ(log.find(runs) != std::string::npos, c.runsPackage) << log;
    std::printf("[ %s ] the result after %lld ms\n", c.name,
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));

    // The updated unit is synchronised again once its bootloader is done with: the display says it is ready.
    if (c.runsPackage) {
        EXPECT_TRUE(waitUntil([&] { return countOf(mPublished, READY) >= 2; }, 20s)) << trace();
    }
    // Finish: back where the update started, or told that the unit is not there.
    tapButton("Finish");
    EXPECT_TRUE(waitForState(c.after, 5s)) << trace();
}

std::string caseName(const testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

const char* const FINISHED = "Update Finished";
const char* const FAILED = "Update Failed";
const char* const SUCCESS = "Device has updated successfully.";
constexpr uint16_t NOT_ENROLLED = 1;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Units, ProgramUpdate, testing::Values(
    //   name                     simulator options                    identified heading   first sentence
    //                                                                 runs 1.1  not running  after "Finish"
    Case{"Defaults",              {},                                  true,  FINISHED, SUCCESS,
                                                                       true,  false, SYSTEM},
    // Restarts that take 6 s, or 9 s into the bootloader, where the unit announces 3 s.
    Case{"SlowerThanAnnounced",   {"--restart-ms", "6000"},            true,  FINISHED, SUCCESS,
                                                                       true,  false, SYSTEM},
    Case{"SlowIntoItsBootloader", {"--bootloader-restart-ms", "9000"}, true,  FINISHED, SUCCESS,
                                                                       true,  false, SYSTEM},
    Case{"StaysDown",             {"--stay-down"},                     true,  FAILED,
                                  "Device failed to entry download mode.", false, true, NOT_ENROLLED},
    Case{"ApplicationFails",      {"--app-fails"},                     true,  FAILED,
                                  "Device did not start its new program.", false, true, SYSTEM},
    Case{"NeverAnswers",          {"--never-answer"},                  false, FAILED,
                                  "Device did not respond to update request.", false, false, SYSTEM}),
    caseName);
// clang-format on

// Roads through a restart of the unit where the wait screen and the result must tell the truth: a unit that
// never comes back from its restart into the bootloader is waited for with one countdown that ends at 0 as
// the result comes, never starting again after it; a unit switched off and on during the download is asked
// afterwards, and the result says that the download was interrupted and the unit runs its previous program.
struct StoryCase {
    const char* name;
    std::vector<std::string> options;
    bool powerCycledInTheDownload;
    const char* message; // the result's first sentence
    bool notRunning;     // the result adds that the unit does not run its program
    bool waitsToTheEnd;  // the countdown reaches 0
    uint16_t after;      // the screen after "Finish"
};

void PrintTo(const StoryCase& c, std::ostream* os) {
    *os << c.name;
}

class ProgramUpdateStory : public ProgramRun, public ::testing::WithParamInterface<StoryCase> {
protected:
    // The seconds of the countdown the wait screen shows now (0 for "Device is not responding"), if shown.
    std::optional<int> countdown() {
        for (const std::string& text : texts()) {
            const std::string prefix = "Waiting for device ";
            if (text.rfind(prefix, 0) == 0) {
                return std::stoi(text.substr(prefix.size()));
            }
            if (text == "Device is not responding") {
                return 0;
            }
        }
        return std::nullopt;
    }
};

TEST_P(ProgramUpdateStory, TheWaitCountsDownOnceToTheResultAndTheResultSaysWhatTheUnitRuns) {
    const StoryCase& c = GetParam();
    start(c.options);
    if (HasFatalFailure()) {
        return;
    }
    openUpdate();
    choosePackage();
    if (HasFatalFailure()) {
        return;
    }
    // Every change of the figure, with when it showed; and when the result came.
    std::vector<std::pair<int, Clock::time_point>> figures;
    bool powerCycled = false;
    const bool done = waitUntil(
        [&] {
            const uint16_t id = stateId();
            if (id == 33) {
                if (const std::optional<int> figure = countdown();
                    figure && (figures.empty() || figures.back().first != *figure)) {
                    figures.emplace_back(*figure, Clock::now());
                }
            }
            if (id == 34 && c.powerCycledInTheDownload && !powerCycled) {
                powerCycled = true;
                powerCycle();
            }
            return id == DONE;
        },
        120s);
    const auto resultAt = Clock::now();
    ASSERT_TRUE(done) << trace();
    EXPECT_EQ(powerCycled, c.powerCycledInTheDownload);

    std::string all;
    for (const auto& figure : figures) {
        all += std::to_string(figure.first) + " ";
    }
    const auto zero =
        std::find_if(figures.begin(), figures.end(), [](const auto& f) { return f.first == 0; });
    EXPECT_EQ(zero != figures.end(), c.waitsToTheEnd) << all;
    EXPECT_TRUE(std::none_of(zero, figures.end(), [](const auto& f) { return f.first > 0; }))
        << "a countdown after 0: " << all;
    if (zero != figures.end()) {
        EXPECT_LT(resultAt - zero->second, 2500ms) << "0 is the end of the wait: " << all;
    }
    std::printf("[ %s ] countdown: %s\n", c.name, all.c_str());

    expectResult("Update Failed", c.message, c.notRunning);
    EXPECT_EQ(trace().find("ASSERTION"), std::string::npos);
    tapButton("Finish");
    EXPECT_TRUE(waitForState(c.after, 10s)) << "on screen " << stateId() << "\n" << trace();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Stories, ProgramUpdateStory, testing::Values(
    //         name                   simulator options           power cycle  first sentence
    //                                                                         not running  to 0  after "Finish"
    StoryCase{"StaysDown",            {"--stay-down"},            false, "Device failed to entry download mode.",
                                                                               true,  true,  NOT_ENROLLED},
    StoryCase{"PowerCycledInTheDownload", {"--silent-after", "4"}, true,
              "The download was interrupted. The device runs its previous program again.",
                                                                               false, false, SYSTEM}),
    testing::PrintToStringParamName());
// clang-format on

// The unit lost where the update waits for nothing of it: on the wizard's first page, on each result, and
// as the installer power-cycles a unit that the failure's text tells to power-cycle; switched off and on
// again behind the same port path, or silent on the line for 5 s. The update ends, the not-enrolled screen
// shows, and the unit's return leads through the splash home, with the unit synchronised again.
enum class Loss { PowerCycle, Silence };

struct LossCase {
    const char* name;
    std::vector<std::string> options;
    bool update;         // the package is chosen and sent
    bool cancel;         // "Cancel" on the first page
    uint16_t page;       // where the unit goes
    const char* heading; // of the result shown then; none on the first page
    Loss loss;
};

void PrintTo(const LossCase& c, std::ostream* os) {
    *os << c.name;
}

class ProgramUpdateLoss : public ProgramRun, public ::testing::WithParamInterface<LossCase> {};

constexpr uint16_t HOME = 9;

TEST_P(ProgramUpdateLoss, TheUpdateEndsAndTheDisplayComesBackHomeWithTheUnit) {
    const LossCase& c = GetParam();
    start(c.options);
    if (HasFatalFailure()) {
        return;
    }
    // A display whose first-start guide is done: the splash leads home.
    onApp([] { Configuration.first_start = 0; });
    openUpdate();
    if (c.update) {
        choosePackage();
    } else if (c.cancel) {
        ASSERT_TRUE(waitForState(28, 15s)) << trace();
        tapButton("Cancel");
    }
    if (HasFatalFailure()) {
        return;
    }
    ASSERT_TRUE(waitForState(c.page, 90s)) << trace();
    if (c.heading != nullptr) {
        EXPECT_THAT(texts(), testing::Contains(std::string(c.heading)));
    }
    if (c.update) {
        // The unit's restarts are over and the display synchronised, or the unit stays in its bootloader.
        waitUntil([&] { return countOf(mPublished, READY) >= 2; }, 15s);
    }
    const size_t ready = countOf(mPublished, READY);
    mNavigation.take();
    if (c.loss == Loss::PowerCycle) {
        powerCycle();
    } else {
        silence(5s);
    }
    if (HasFatalFailure()) {
        return;
    }
    EXPECT_TRUE(waitForState(HOME, 60s)) << "on screen " << stateId() << "\n" << trace();
    EXPECT_TRUE(waitUntil([&] { return countOf(mPublished, READY) > ready; }, 30s)) << "synchronised again";
    const std::vector<uint16_t> shown = mNavigation.take();
    EXPECT_THAT(shown, testing::Contains(uint16_t{1})) << "the not-enrolled screen";
    EXPECT_THAT(shown, testing::Contains(uint16_t{2})) << "the splash";
    EXPECT_TRUE(onApp([] { return getApplication()->getUpdateManager()->getProcess() == nullptr; }));
    const std::string log = trace();
    EXPECT_EQ(log.find("navigation history full"), std::string::npos);
    EXPECT_EQ(log.find("ASSERTION"), std::string::npos);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Losses, ProgramUpdateLoss, testing::Values(
    //       name                       simulator options  update cancel page  heading   the loss
    LossCase{"FirstPagePowerCycled",    {},                false, false, 28,   nullptr,  Loss::PowerCycle},
    LossCase{"FirstPageSilent",         {},                false, false, 28,   nullptr,  Loss::Silence},
    LossCase{"FinishedPowerCycled",     {},                true,  false, DONE, FINISHED, Loss::PowerCycle},
    LossCase{"AbortedSilent",           {},                false, true,  DONE, "Update Aborted", Loss::Silence},
    LossCase{"FailedSilent",            {"--never-answer"}, false, false, DONE, FAILED,  Loss::Silence},
    // "Device did not start its new program ... power-cycle it": the installer does so.
    LossCase{"FailedThenPowerCycled",   {"--app-fails"},   true,  false, DONE, FAILED,   Loss::PowerCycle}),
    testing::PrintToStringParamName());
// clang-format on

} // namespace
} // namespace tdx::test
