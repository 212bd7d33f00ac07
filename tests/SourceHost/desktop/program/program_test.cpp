// The desktop program on the offscreen platform, with the real application on its thread, against the
// simulator's executable on a pseudo-terminal: it synchronises, shows its screen, a screenshot through the
// Save button's command holds the canvas' pixels, and when the simulator stops and another one starts on the
// same port path the loss is reported and the new unit synchronised, without a restart of the program. And
// the program itself, started as a user starts it.
#include "SourceHost/desktop/DesktopApplication.h"
#include "SourceHost/desktop/Screenshot.h"
#include "SourceHost/desktop/SimpleMainWindow.h"

#include "Libraries/link_bus/tnet_config.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/UpDown.h"
#include "SourceApp/application/controls/Widget.h"
#include "SourceApp/application/resources/resource_mgr.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/gui/core/Container.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/storage/net/TaviProtocol.h"
#include "SourceHost/api_lib/comf.h"
#include "tests/SourceHost/api_lib/scratch_folder.h"
#include "tests/support/simcu_process.h"
#include "tests/support/trace_capture.h"

#include <QApplication>

#include <fcntl.h>
#include <stdlib.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <set>
#include <thread>
#include <vector>

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}

namespace tdx::test {
namespace {

class Program : public ScratchFolder {
protected:
    // For the application run in this process: its resources beside the working folder and its trace in a
    // file of it, whose path this returns.
    // The toolkit for the window of an application run in this process.
    static std::unique_ptr<QApplication> qtApplication() {
        static int argc = 1;
        static char name[] = "test_tdx410";
        static char* argv[] = {name, nullptr};
        return std::make_unique<QApplication>(argc, argv);
    }
    static std::string prepareInProcess() {
        std::filesystem::create_directories("Dist");
        std::filesystem::create_symlink(TDX_RESOURCES_FILE, "Dist/resources.win32.bin");
        const std::string tracePath = std::filesystem::absolute("trace.txt").string();
        setenv("TDX410_TRACE", tracePath.c_str(), 1);
        return tracePath;
    }
};

// The colour of a pixel of a 320 x 240 screenshot (24-bit BMP, rows bottom-up), as 0x00BBGGRR.
unsigned pixel(const std::string& bmp, int x, int y) {
    const size_t at = 54 + (static_cast<size_t>(239 - y) * 320 + static_cast<size_t>(x)) * 3;
    return static_cast<uint8_t>(bmp[at + 2]) | static_cast<uint8_t>(bmp[at + 1]) << 8 |
           static_cast<unsigned>(static_cast<uint8_t>(bmp[at])) << 16;
}

// The published "ready": the display's own device state 2 reaches the control unit.
const std::string READY = "PUBLISH 010410:00 vid 002F type 12 = 2";

// The program itself on the offscreen platform, its port `port`, tracing into trace.txt of the working
// folder; ended with SIGTERM when the object goes.
class ProgramProcess {
public:
    explicit ProgramProcess(const std::string& port) {
        std::vector<std::string> environment{"QT_QPA_PLATFORM=offscreen", "TDX410_TRACE=trace.txt"};
        for (char** variable = environ; *variable != nullptr; ++variable) {
            environment.emplace_back(*variable);
        }
        std::vector<char*> envp;
        for (std::string& variable : environment) {
            envp.push_back(variable.data());
        }
        envp.push_back(nullptr);
        mProcess.spawn({TDX410_PATH, "--port", port}, nullptr, envp.data());
    }

    bool running() { return mProcess.running(); }

    // Waits at most `limit` until `simulator` printed READY `times` times (counting what `published` already
    // holds, to which it appends), while the program runs.
    bool waitForReady(const SimProcess& simulator, std::string& published, size_t times,
                      std::chrono::seconds limit = std::chrono::seconds(30)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (countOf(published, READY) < times && std::chrono::steady_clock::now() < end && running()) {
            published += simulator.readAvailable();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return countOf(published, READY) >= times;
    }

private:
    ChildProcess mProcess{"the program"};
};

TEST_F(Program, StartedFromAFolderOfItsOwnItFindsItsResourcesBesideItselfAndSynchronises) {
    SimProcess simulator({"--quiet"});
    ASSERT_TRUE(simulator.ok());
    // The working folder is this test's scratch folder: no resources file in it.
    ASSERT_FALSE(std::filesystem::exists(RESOURCES_PATH));
    bool ready = false;
    {
        ProgramProcess program(simulator.slave());
        std::string published;
        ready = program.waitForReady(simulator, published, 1);
    }
    EXPECT_TRUE(ready) << readFile("trace.txt");
    EXPECT_EQ(readFile("trace.txt").find("ASSERTION"), std::string::npos);
}

// Without a display the program says so in its own words and ends with its documented code 4, not with the
// toolkit's abort: no display named, one named where nothing listens, a platform that is not there.
TEST_F(Program, WithoutADisplayItSaysSoAndEndsWithFour) {
    const char* const settings[] = {"-u DISPLAY QT_QPA_PLATFORM=xcb", "DISPLAY=:987 QT_QPA_PLATFORM=xcb",
                                    "-u DISPLAY QT_QPA_PLATFORM=wayland"};
    for (const char* setting : settings) {
        SCOPED_TRACE(setting);
        const std::string command =
            std::string("env -u WAYLAND_DISPLAY ") + setting + " '" + TDX410_PATH + "' --port /dev/null";
        std::string said;
        EXPECT_EQ(runCommand(command, said), 4) << said;
        EXPECT_NE(said.find("No display to show the window on."), std::string::npos) << said;
        EXPECT_EQ(said.find("Reinstalling"), std::string::npos) << said;
    }
}

// What the user asked for and nothing else: the tone output set up and silenced around the run is no line of
// the trace on the terminal.
TEST_F(Program, ItsHelpIsAllItSays) {
    std::string said;
    EXPECT_EQ(runCommand(std::string("'") + TDX410_PATH + "' --help", said), 0);
    EXPECT_EQ(said.rfind("Usage: tdx410", 0), 0u) << said;
    EXPECT_EQ(said.find("BUZZER"), std::string::npos) << said;
}

// As README tells a user: the simulator started with --link, the program given the link as its port; the
// simulator stopped and started again by hand with the same link (it lands on another pseudo-terminal, as the
// first one's may still be taken), and the running program synchronises with it without a restart.
TEST_F(Program, ARunningProgramSynchronisesAgainWithASimulatorStartedAgainWithTheSameLink) {
    const std::string link = (mFolder / "simcu.port").string();
    auto first = std::make_unique<SimProcess>(std::vector<std::string>{"--quiet", "--link", link});
    ASSERT_TRUE(first->ok());
    ProgramProcess program(link);
    std::string published;
    ASSERT_TRUE(program.waitForReady(*first, published, 1)) << readFile("trace.txt");
    const std::string firstPort = first->slave();
    first.reset();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
    // The program reports the lost unit and lets go of its port.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (countOf(readFile("trace.txt"), "tavi: event 6") == 0 && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(countOf(readFile("trace.txt"), "tavi: event 6"), 1u) << "the lost unit reported";
    // New pseudo-terminals take the lowest free number: the test holds them up to the first simulator's
    // own, so that the second cannot land on it by luck and the program must follow the link.
    struct Held {
        std::vector<int> fds;
        ~Held() {
            for (const int fd : fds) {
                close(fd);
            }
        }
    } held;
    const int firstNumber = std::stoi(firstPort.substr(firstPort.rfind('/') + 1));
    for (int number = -1; number < firstNumber;) {
        const int fd = posix_openpt(O_RDWR | O_NOCTTY);
        const char* name = fd >= 0 ? ptsname(fd) : nullptr;
        if (name == nullptr) {
            break;
        }
        held.fds.push_back(fd);
        number = std::stoi(std::string(name).substr(std::string(name).rfind('/') + 1));
    }
    SimProcess second({"--quiet", "--link", link});
    ASSERT_TRUE(second.ok());
    EXPECT_NE(second.slave(), firstPort);
    std::string republished;
    EXPECT_TRUE(program.waitForReady(second, republished, 1)) << readFile("trace.txt");
    EXPECT_TRUE(program.running());
    EXPECT_EQ(readFile("trace.txt").find("ASSERTION"), std::string::npos);
}

TEST_F(Program, SynchronisesWithTheSimulatorAndTheScreenshotShowsTheScreen) {
    const std::unique_ptr<QApplication> application = qtApplication();
    // The application thread traces into a file that the test reads.
    const std::string tracePath = prepareInProcess();
    auto traced = [&tracePath](const std::string& what) {
        std::ifstream in(tracePath, std::ios::binary);
        return countOf(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()),
                       what);
    };
    auto optional = std::make_unique<SimProcess>(std::vector<std::string>{"--quiet"});
    SimProcess& simulator = *optional;
    ASSERT_TRUE(simulator.ok());
    // The port path stays, the device behind it changes (as a converter's link under /dev/serial/by-id).
    const std::string port = std::filesystem::absolute("port").string();
    std::filesystem::create_symlink(simulator.slave(), port);
    comf_set_port_override(port.c_str());
    ASSERT_EQ(comf_get_port(PortName), 0);

    CSimpleMainWindow window(desktop_application());
    window.run();
    const std::string& ready = READY;
    std::string published;
    auto waitForReady = [&](size_t times) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (countOf(published, ready) < times && std::chrono::steady_clock::now() < end) {
            QApplication::processEvents();
            published += simulator.readAvailable();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return countOf(published, ready) >= times;
    };
    ASSERT_TRUE(waitForReady(1)) << published;
    // A restart of the display (as after a factory reset) starts the application again on a new thread and
    // synchronises anew.
    os_restart();
    EXPECT_TRUE(waitForReady(2)) << published;
    // Synchronised and still, the loop rests between the control unit's polls and the ticks instead of
    // passing every millisecond.
    uint32_t cycles = 0;
    const auto still = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    do {
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        cycles = window.host().cyclesPerSecond();
    } while ((cycles == 0 || cycles >= 300) && std::chrono::steady_clock::now() < still);
    EXPECT_GT(cycles, 0u);
    EXPECT_LT(cycles, 300u);

    std::vector<std::string> reports;
    SaveScreenshotDialog save(
        window.canvas(), [](const std::string&) { return std::string("shot.bmp"); },
        [&](const std::string& text) { reports.push_back(text); });
    save.execute(nullptr);

    // The control unit goes away: reported as "network not connected" within the supervision time.
    using Clock = std::chrono::steady_clock;
    auto waitUntil = [](const std::function<bool()>& done, std::chrono::milliseconds limit) {
        const auto end = Clock::now() + limit;
        while (!done() && Clock::now() < end) {
            QApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return done();
    };
    const size_t lost = traced("tavi: event 6");
    // The path leads nowhere while no simulator is behind it: the pseudo-terminal freed by the stop may be
    // handed to another test's simulator at once, which the program would otherwise open and talk to.
    std::filesystem::remove(port);
    const auto stoppedAt = Clock::now();
    optional.reset();
    ASSERT_TRUE(waitUntil([&] { return traced("tavi: event 6") > lost; }, std::chrono::seconds(10)));
    EXPECT_LE(Clock::now() - stoppedAt, std::chrono::milliseconds(TNET_SUPERVISION_MS + 1000));

    // Another one starts behind the same path: a new session within a few seconds, then a full
    // synchronisation.
    const size_t sessions = traced("tavi: event 5");
    SimProcess second({"--quiet"});
    ASSERT_TRUE(second.ok());
    std::filesystem::remove(port);
    std::filesystem::create_symlink(second.slave(), port);
    const auto backAt = Clock::now();
    ASSERT_TRUE(waitUntil([&] { return traced("tavi: event 5") > sessions; }, std::chrono::seconds(10)));
    EXPECT_LE(Clock::now() - backAt, std::chrono::seconds(3));
    std::string republished;
    EXPECT_TRUE(waitUntil(
        [&] {
            republished += second.readAvailable();
            return countOf(republished, ready) >= 1;
        },
        std::chrono::seconds(30)))
        << republished;
    EXPECT_TRUE(window.host().stop());
    EXPECT_TRUE(reports.empty());
    std::ifstream in("shot.bmp", std::ios::binary);
    const std::string bmp((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(bmp.size(), 230454u);
    // A screen of the start road (the splash's logo, or the first-start guide that follows it) on white.
    EXPECT_EQ(pixel(bmp, 5, 200), 0xFFFFFFu);
    int ink = 0;
    for (int y = 90; y < 150; ++y) {
        for (int x = 80; x < 240; ++x) {
            ink += pixel(bmp, x, y) != 0xFFFFFFu;
        }
    }
    EXPECT_GT(ink, 150);
}

// Runs on the application thread between its passes, where the screens live.
class OnApplication : public Command {
public:
    explicit OnApplication(std::function<void()> action)
        : mAction(std::move(action)) {}
    void execute(MessageArgument*) override { mAction(); }

private:
    std::function<void()> mAction;
};

// The first shown component that matches in the open layers; on the application thread.
Component* shownWhere(const std::function<bool(Component*)>& match) {
    Core* core = Core::current();
    if (core == nullptr) {
        return nullptr;
    }
    std::function<Component*(Component*)> search = [&](Component* c) -> Component* {
        if (c->isGloballyVisible() && match(c)) {
            return c;
        }
        if (c->isContainerType()) {
            for (Component* child : static_cast<Container*>(c)->getChildren()) {
                if (Component* found = search(child)) {
                    return found;
                }
            }
        }
        return nullptr;
    };
    for (Component* layer : core->getModalLayers()) {
        if (Component* found = search(layer)) {
            return found;
        }
    }
    return nullptr;
}

// The first shown component with this text in the open layers; on the application thread.
Component* shownWithText(const std::string& text) {
    return shownWhere([&](Component* c) {
        const auto* link = dynamic_cast<const NavigationLink*>(c);
        const auto* button = dynamic_cast<const Button*>(c);
        return (link != nullptr && link->getText() == text) ||
               (button != nullptr && button->getText() == text);
    });
}

// The application of this process in its window on its own thread, against the simulator at real speed: what
// a user does through the window, and what the screens and the line show meanwhile.
class ProgramOnTheLine {
public:
    // The simulator started with these options, the program's port on it; the application traces into
    // tracePath.
    ProgramOnTheLine(std::unique_ptr<QApplication> toolkit, std::string tracePath,
                     std::vector<std::string> simulatorOptions = {"--quiet"})
        : mToolkit(std::move(toolkit))
        , mTracePath(std::move(tracePath))
        , mSimulator(std::move(simulatorOptions))
        , mPortSet(mSimulator.ok() &&
                   (comf_set_port_override(mSimulator.slave().c_str()), comf_get_port(PortName) == 0))
        , mWindow(desktop_application()) {
        mWindow.run();
    }

    bool ok() const { return mPortSet; }
    std::string trace() const {
        std::ifstream in(mTracePath, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    SimProcess& simulator() { return mSimulator; }
    CSimpleMainWindow& window() { return mWindow; }
    // Everything the simulator printed so far: among it the values published to it.
    const std::string& published() const { return mPublished; }
    size_t sent(const std::string& what) const { return countOf(mPublished, what); }

    // Runs the window until done() or the limit; whether done() was met.
    bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
        const auto end = Clock::now() + limit;
        while (!done() && Clock::now() < end) {
            QApplication::processEvents();
            mPublished += mSimulator.readAvailable();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return done();
    }
    void pause(std::chrono::milliseconds time) {
        waitUntil([] { return false; }, time);
    }
    // Asks the application thread and waits for its answer; std::nullopt when none came.
    template <class T>
    std::optional<T> answer(std::function<T()> question) {
        auto result = std::make_shared<std::optional<T>>();
        auto done = std::make_shared<std::atomic<bool>>(false);
        mWindow.host().sendCommand(std::make_shared<OnApplication>([result, done, question] {
            *result = question();
            done->store(true);
        }));
        waitUntil([done] { return done->load(); }, std::chrono::seconds(3));
        return done->load() ? *result : std::nullopt;
    }
    // The same for a number: -2 when no answer came.
    int ask(std::function<int()> question) { return answer<int>(std::move(question)).value_or(-2); }
    // A finger on the point, as the mouse puts it there.
    void touch(int x, int y) {
        mWindow.host().setTouch(x, y);
        mWindow.host().setTouchPress(true);
        pause(std::chrono::milliseconds(150));
        mWindow.host().setTouchPress(false);
        pause(std::chrono::milliseconds(300));
    }
    // A finger on the middle of what find() names on the application thread; false when it is not shown.
    bool tapOn(std::function<const Component*()> find) {
        const int at = ask([find] {
            const Component* c = find();
            if (c == nullptr) {
                return -1;
            }
            const Box box = c->getVisibleBox();
            return (box.x1 + box.x2) / 2 * 1000 + (box.y1 + box.y2) / 2;
        });
        if (at < 0) {
            return false;
        }
        touch(at / 1000, at % 1000);
        return true;
    }
    // A finger on the middle of what shows the text.
    bool tap(const std::string& text) {
        return tapOn([text] { return shownWithText(text); });
    }
    bool enabled(const std::string& text) {
        return ask([text] {
                   const Component* c = shownWithText(text);
                   return c != nullptr && c->isEnabled() ? 1 : 0;
               }) == 1;
    }
    int state() {
        return ask([] { return int(Core::current()->getStateManager().getState().getStateId()); });
    }

    using Clock = std::chrono::steady_clock;

private:
    std::unique_ptr<QApplication> mToolkit;
    std::string mTracePath;
    SimProcess mSimulator;
    const bool mPortSet;
    CSimpleMainWindow mWindow;
    std::string mPublished;
};

// A location value the simulator's backup does not hold.
constexpr vid_t ADDED_SINCE_THE_BACKUP = 0x8099;

bool holdsAddedValue(ProgramOnTheLine& line) {
    return line.ask([] {
        int value = 0;
        return pt_get_int(&value, OID_LOCATION, ADDED_SINCE_THE_BACKUP) == PT_ERR_NO_ENTRY ? 0 : 1;
    }) == 1;
}

// The start road's end, on the first-start guide's welcome page (state 4) of a display without settings,
// then the backup screen of state 26, a backup stored (a restore needs one), and the restore asked and
// confirmed in its popup. lost: how many losses of the unit the trace held before the restore.
void restoreWithABackup(ProgramOnTheLine& line, size_t& lost) {
    ASSERT_TRUE(line.ok());
    ASSERT_TRUE(line.waitUntil([&] { return line.sent(READY) >= 1; }, std::chrono::seconds(30)))
        << line.published();
    ASSERT_TRUE(line.waitUntil([&] { return line.state() == 4; }, std::chrono::seconds(30))) << line.state();
    line.ask([] {
        Core::current()->changeState(26, 0, 0, 0, 0);
        return 0;
    });
    ASSERT_TRUE(
        line.waitUntil([&] { return line.enabled("Backup configuration"); }, std::chrono::seconds(3)));

    ASSERT_TRUE(line.tap("Backup configuration"));
    EXPECT_TRUE(
        line.waitUntil([&] { return line.sent("vid 0051 type 12 = 1") >= 1; }, std::chrono::seconds(3)));
    EXPECT_FALSE(line.enabled("Backup configuration")) << "busy while the unit stores";
    EXPECT_TRUE(
        line.waitUntil([&] { return line.enabled("Backup configuration"); }, std::chrono::seconds(10)))
        << "idle again once stored";
    // A value set since the backup, which the restore takes back.
    line.ask([] { return pt_set_int(OID_LOCATION, ADDED_SINCE_THE_BACKUP, 7, BT_VTYPE_U16); });
    EXPECT_TRUE(
        line.waitUntil([&] { return line.sent("vid 8099 type 13 = 7") >= 1; }, std::chrono::seconds(3)))
        << line.published();
    EXPECT_TRUE(holdsAddedValue(line));

    lost = countOf(line.trace(), "tavi: event 6");
    ASSERT_TRUE(line.tap("Restore from latest backup"));
    ASSERT_TRUE(line.tap("OK"));
    EXPECT_TRUE(
        line.waitUntil([&] { return line.sent("vid 0052 type 12 = 1") >= 1; }, std::chrono::seconds(3)));
}

// restoreWithABackup(), then the loss of the unit as it restarts after the restore.
void restoreUntilTheRestart(ProgramOnTheLine& line) {
    size_t lost = 0;
    ASSERT_NO_FATAL_FAILURE(restoreWithABackup(line, lost));
    ASSERT_TRUE(line.waitUntil([&] { return countOf(line.trace(), "tavi: event 6") > lost; },
                               std::chrono::seconds(20)))
        << line.trace();
}

// The room of the simulator's installation, and its temperature of the fixed mode (0x801A, the comfort value
// there), which the room screen's up-down sets.
constexpr oid_t RESTORED_ROOM = 0x01000316;
constexpr vid_t ROOM_TEMPERATURE = 0x801A;

// The room's temperature as the display's table holds it, -1 when none; on the application thread.
int roomTemperature() {
    int value = 0;
    return pt_get_int(&value, RESTORED_ROOM, ROOM_TEMPERATURE) == PT_OK ? value : -1;
}

// The room screen's up-down, null when none is shown; on the application thread.
NumericUpDown<int>* roomUpDown() {
    NumericUpDown<int>* found = nullptr;
    std::function<void(Component*)> search = [&](Component* c) {
        if (found == nullptr) {
            found = dynamic_cast<NumericUpDown<int>*>(c);
        }
        if (c->isContainerType()) {
            for (Component* child : static_cast<Container*>(c)->getChildren()) {
                search(child);
            }
        }
    };
    for (Component* layer : Core::current()->getModalLayers()) {
        search(layer);
    }
    return found;
}

// The up-down's arrow on the right, which raises the temperature; on the application thread.
const Component* raiseArrow() {
    const Component* up = nullptr;
    if (NumericUpDown<int>* box = roomUpDown()) {
        for (Component* child : box->getChildren()) {
            if (dynamic_cast<IconButton*>(child) != nullptr &&
                (up == nullptr || child->getLeft() > up->getLeft())) {
                up = child;
            }
        }
    }
    return up;
}

// The room screen opened, and its temperature raised by a tap on the arrow: what the table holds before, or
// -2 when the screen or its arrow is not shown.
int raiseTheRoomsTemperature(ProgramOnTheLine& line) {
    const int before = line.ask(roomTemperature);
    line.ask([] {
        Core::current()->changeState(13, static_cast<int>(RESTORED_ROOM), 0, 0, 0);
        return 0;
    });
    if (before <= 0 || !line.waitUntil([&] { return line.state() == 13; }, std::chrono::seconds(3)) ||
        !line.tapOn(raiseArrow)) {
        return -2;
    }
    return before;
}

// What the room screen's up-down shows, -1 when none is shown.
int shownOnTheUpDown(ProgramOnTheLine& line) {
    return line.ask([] {
        const NumericUpDown<int>* box = roomUpDown();
        return box != nullptr ? box->getValue() : -1;
    });
}

// The configuration backup and restore of state 26 at real speed: the backup answered, then a restore that
// restarts the control unit; the program reports the loss and synchronises again on its own.
TEST_F(Program, ARestoreRestartsTheUnitAndTheProgramSynchronisesAgain) {
    ProgramOnTheLine line(qtApplication(), prepareInProcess());
    auto trace = [&line] { return line.trace(); };
    size_t lost = 0;
    ASSERT_NO_FATAL_FAILURE(restoreWithABackup(line, lost));
    // Taken back, then the unit restarts: silent for a while, then polling and synchronising again. The
    // popup announced the restart: the screen stays meanwhile, with no not-enrolled screen.
    std::vector<int> shown;
    auto watched = [&](const std::function<bool()>& done) {
        return [&, done] {
            if (const int id = line.state(); shown.empty() || shown.back() != id) {
                shown.push_back(id);
            }
            return done();
        };
    };
    EXPECT_TRUE(line.waitUntil(watched([&] { return countOf(trace(), "tavi: event 6") > lost; }),
                               std::chrono::seconds(20)))
        << trace();
    EXPECT_TRUE(line.waitUntil(watched([&] { return line.sent(READY) >= 2; }), std::chrono::seconds(40)))
        << line.published();
    line.waitUntil(watched([] { return false; }), std::chrono::seconds(1));
    EXPECT_EQ(shown, std::vector<int>{26}) << trace();
    EXPECT_FALSE(holdsAddedValue(line)) << "the value taken back with the restore stays on the display";
    EXPECT_TRUE(line.window().host().stop());
    EXPECT_EQ(trace().find("ASSERTION"), std::string::npos);
}

// The unit refuses the restore: it reports it idle and goes on without restarting. Lost for good 8 s later,
// it is reported as any lost unit, at once, not held as a restart.
TEST_F(Program, ARestoreTheUnitRefusesLeavesALossOfTheUnitReportedAtOnce) {
    ProgramOnTheLine line(qtApplication(), prepareInProcess(), {"--quiet", "--installer", "restore=fail"});
    auto trace = [&line] { return line.trace(); };
    size_t lost = 0;
    ASSERT_NO_FATAL_FAILURE(restoreWithABackup(line, lost));
    ASSERT_TRUE(
        line.waitUntil([&] { return line.enabled("Restore from latest backup"); }, std::chrono::seconds(10)))
        << "the unit's answer: idle";
    line.pause(std::chrono::seconds(8));
    EXPECT_EQ(countOf(trace(), "tavi: event 6"), lost) << "no restart came";
    line.simulator().setPaused(true);
    EXPECT_TRUE(line.waitUntil([&] { return line.state() == 1; }, std::chrono::seconds(10)))
        << "the not-enrolled screen, as for any lost unit";
    EXPECT_NE(trace().find("update: the control unit answered the request without restarting"),
              std::string::npos);
    EXPECT_EQ(trace().find("the network is down with the announced restart"), std::string::npos);
    line.simulator().setPaused(false);
    EXPECT_TRUE(line.window().host().stop());
    EXPECT_EQ(trace().find("ASSERTION"), std::string::npos);
}

// The user stays on the backup screen from the restore's OK until the unit is back from its restart, and
// presses Backup 1 s and 4 s after OK (before and after the unit's answer, both before its restart): neither
// link is offered until the unit is back, nothing of those presses reaches the unit, and the restore goes
// once. Once back, one press on Backup gives one backup at the unit.
TEST_F(Program, TheBackupScreenOffersNoRequestFromARestoresOkUntilTheUnitIsBack) {
    ProgramOnTheLine line(qtApplication(), prepareInProcess());
    auto trace = [&line] { return line.trace(); };
    size_t lost = 0;
    ASSERT_NO_FATAL_FAILURE(restoreWithABackup(line, lost));
    const auto okAt = ProgramOnTheLine::Clock::now();
    const std::string backup = "vid 0051 type 12 = 1";
    const std::string restore = "vid 0052 type 12 = 1";
    const size_t backups = line.sent(backup);
    const size_t ready = line.sent(READY);
    // The links offered and whether the unit's session is open, seen together on the application thread.
    enum : int { BACKUP_OFFERED = 1, RESTORE_OFFERED = 2, CONNECTED = 4, ON_THE_SCREEN = 8 };
    auto look = [&line] {
        return line.ask([] {
            const Component* backup = shownWithText("Backup configuration");
            const Component* restore = shownWithText("Restore from latest backup");
            return (backup != nullptr && backup->isEnabled() ? BACKUP_OFFERED : 0) |
                   (restore != nullptr && restore->isEnabled() ? RESTORE_OFFERED : 0) |
                   (Net::Tavi.isConnected() ? CONNECTED : 0) |
                   (Core::current()->getStateManager().getState().getStateId() == 26 ? ON_THE_SCREEN : 0);
        });
    };
    std::string offered; // what was offered when, after OK, before the unit was back
    bool away = false;
    bool back = false;
    auto watched = [&](const std::function<bool()>& done) {
        return [&, done] {
            const int seen = look();
            away = away || countOf(trace(), "tavi: event 6") > lost;
            back = back || (away && seen >= 0 && (seen & CONNECTED) != 0);
            const double at = std::chrono::duration<double>(ProgramOnTheLine::Clock::now() - okAt).count();
            if (!back && (seen < 0 || (seen & ON_THE_SCREEN) == 0 ||
                          (seen & (BACKUP_OFFERED | RESTORE_OFFERED)) != 0)) {
                offered += std::to_string(seen) + " at " + std::to_string(at) + " s\n";
            }
            return done();
        };
    };
    auto after = [&](int seconds) {
        return
            [&, seconds] { return ProgramOnTheLine::Clock::now() - okAt >= std::chrono::seconds(seconds); };
    };
    for (const int pressAt : {1, 4}) {
        line.waitUntil(watched(after(pressAt)), std::chrono::seconds(5));
        line.tap("Backup configuration");
    }
    ASSERT_TRUE(line.waitUntil(watched([&] { return back; }), std::chrono::seconds(40))) << trace();
    EXPECT_EQ(offered, "") << "nothing offered, the screen shown, from OK until the unit is back";
    // The unit's report that the restore is idle may be lost in its restart: the return's synchronisation
    // brings it then.
    ASSERT_TRUE(line.waitUntil([&] { return line.sent(READY) > ready; }, std::chrono::seconds(40)))
        << line.published();
    EXPECT_TRUE(line.waitUntil(
        [&] { return line.enabled("Backup configuration") && line.enabled("Restore from latest backup"); },
        std::chrono::seconds(3)))
        << "offered once the unit is back";
    line.pause(std::chrono::seconds(2));
    EXPECT_EQ(line.sent(backup), backups) << "no press before the return reached the unit";
    EXPECT_EQ(line.sent(restore), 1u) << "the restore went once";

    ASSERT_TRUE(line.tap("Backup configuration"));
    EXPECT_TRUE(line.waitUntil([&] { return line.sent(backup) > backups; }, std::chrono::seconds(3)));
    EXPECT_TRUE(
        line.waitUntil([&] { return line.enabled("Backup configuration"); }, std::chrono::seconds(10)))
        << "stored";
    line.pause(std::chrono::seconds(3));
    EXPECT_EQ(line.sent(backup), backups + 1) << "one press, one backup\n" << line.published();
    EXPECT_TRUE(line.window().host().stop());
    EXPECT_EQ(trace().find("ASSERTION"), std::string::npos);
}

// The room's temperature (the fixed mode's 0x801A, the comfort value in the simulator's installation) is
// raised on the room screen while the unit restarts after the restore: the screen shows it, and the unit
// receives it once, when it is back and synchronised (after the display's "ready"), and keeps it.
TEST_F(Program, AChangeMadeWhileTheUnitRestartsAfterARestoreReachesTheUnitOnItsReturn) {
    ProgramOnTheLine line(qtApplication(), prepareInProcess());
    auto trace = [&line] { return line.trace(); };
    ASSERT_NO_FATAL_FAILURE(restoreUntilTheRestart(line));
    // Held silent a while longer, so that the change surely falls into the restart.
    line.simulator().setPaused(true);
    EXPECT_EQ(line.state(), 26) << "the restart was announced: the screen stays";
    auto desired = [&line] { return line.ask(roomTemperature); };
    const int before = raiseTheRoomsTemperature(line);
    ASSERT_GT(before, 0) << "the room's temperature is shown, and its arrow";
    ASSERT_TRUE(line.waitUntil([&] { return desired() > before; }, std::chrono::seconds(5))) << "written\n"
                                                                                             << trace();
    const int chosen = desired();
    EXPECT_EQ(line.ask([] { return Net::Tavi.isConnected() ? 1 : 0; }), 0)
        << "written while the unit is away";
    auto shown = [&line] { return shownOnTheUpDown(line); };
    ASSERT_EQ(shown(), chosen) << "the screen shows the change";

    line.simulator().setPaused(false);
    const size_t ready = line.sent(READY);
    const size_t returned = line.published().size();
    ASSERT_TRUE(line.waitUntil([&] { return line.sent(READY) > ready; }, std::chrono::seconds(40)))
        << line.published();
    const std::string sentChosen = "PUBLISH 000316:01 vid 801A type 18 = " + std::to_string(chosen) + "\n";
    EXPECT_TRUE(
        line.waitUntil([&] { return line.published().find(sentChosen, returned) != std::string::npos; },
                       std::chrono::seconds(5)))
        << line.published();
    EXPECT_LT(line.published().find(READY, returned), line.published().find(sentChosen, returned))
        << "the synchronisation first";
    // Whatever the synchronisation showed meanwhile, the unit holds the change at the end, and took it once.
    line.pause(std::chrono::seconds(3));
    EXPECT_EQ(line.sent(sentChosen), 1u) << line.published();
    EXPECT_EQ(desired(), chosen) << "the unit kept it";
    EXPECT_EQ(shown(), chosen);
    EXPECT_EQ(line.state(), 13);
    EXPECT_TRUE(line.window().host().stop());
    EXPECT_EQ(trace().find("ASSERTION"), std::string::npos);
}

// The user raises the room's temperature 1 s after the restore's OK, as the unit still answers: the unit
// takes the change, then takes the configuration back (publishing the room's temperature from before) and
// restarts. The change stands on the screen throughout and at the end, also on the up-down, which shows the
// desired temperature the unit derives from it, and the unit receives it again after its return's
// synchronisation, once, and holds it: the last value of the room's temperature it received.
TEST_F(Program, AChangeMadeRightAfterARestoresOkStandsAndIsWrittenAgainAfterTheUnitsReturn) {
    ProgramOnTheLine line(qtApplication(), prepareInProcess());
    auto trace = [&line] { return line.trace(); };
    size_t lost = 0;
    ASSERT_NO_FATAL_FAILURE(restoreWithABackup(line, lost));
    const auto okAt = ProgramOnTheLine::Clock::now();
    line.waitUntil([&] { return ProgramOnTheLine::Clock::now() - okAt >= std::chrono::seconds(1); },
                   std::chrono::seconds(2));
    auto desired = [&line] { return line.ask(roomTemperature); };
    const int before = raiseTheRoomsTemperature(line);
    ASSERT_GT(before, 0) << "the room's temperature is shown, and its arrow";
    ASSERT_TRUE(line.waitUntil([&] { return desired() > before; }, std::chrono::seconds(5))) << trace();
    const int chosen = desired();
    const std::string sentChosen = "PUBLISH 000316:01 vid 801A type 18 = " + std::to_string(chosen) + "\n";
    const std::string sentBefore = "PUBLISH 000316:01 vid 801A type 18 = " + std::to_string(before) + "\n";
    ASSERT_TRUE(line.waitUntil([&] { return line.sent(sentChosen) == 1; }, std::chrono::seconds(5)))
        << line.published();
    // What the table holds of the room's temperature from here to the end, and what the up-down shows: the
    // change, whatever the restore publishes of it and of the desired temperature derived from it.
    std::set<int> seen;
    std::set<int> seenOnTheScreen;
    auto watched = [&](const std::function<bool()>& done) {
        return [&, done] {
            seen.insert(desired());
            seenOnTheScreen.insert(shownOnTheUpDown(line));
            return done();
        };
    };
    ASSERT_TRUE(line.waitUntil(watched([&] { return countOf(trace(), "tavi: event 6") > lost; }),
                               std::chrono::seconds(20)))
        << trace();
    EXPECT_EQ(line.sent(sentChosen), 1u) << "taken before the restart\n" << line.published();
    const size_t ready = line.sent(READY);
    const size_t returned = line.published().size();
    ASSERT_TRUE(line.waitUntil(watched([&] { return line.sent(READY) > ready; }), std::chrono::seconds(40)))
        << line.published();
    EXPECT_TRUE(line.waitUntil(watched([&] { return line.sent(sentChosen) == 2; }), std::chrono::seconds(5)))
        << line.published();
    EXPECT_LT(line.published().find(READY, returned), line.published().find(sentChosen, returned))
        << "written again after the return's synchronisation";
    line.waitUntil(watched([] { return false; }), std::chrono::seconds(3));
    EXPECT_EQ(seen, (std::set<int>{chosen})) << "the restored " << before << " never held";
    EXPECT_EQ(seenOnTheScreen, (std::set<int>{chosen})) << "the restored " << before << " never shown";
    EXPECT_EQ(line.sent(sentChosen), 2u) << "once before the restart, once after the return";
    EXPECT_EQ(line.published().rfind(sentChosen),
              line.published().rfind("PUBLISH 000316:01 vid 801A type 18 = "))
        << "the last value of it the unit received";
    EXPECT_EQ(line.published().find(sentBefore), std::string::npos) << "the display never wrote the old one";
    EXPECT_EQ(desired(), chosen) << "the unit holds it";
    EXPECT_EQ(shownOnTheUpDown(line), chosen) << "and derives the room's desired temperature from it";
    EXPECT_FALSE(holdsAddedValue(line)) << "the configuration was taken back";
    EXPECT_EQ(line.state(), 13);
    EXPECT_TRUE(line.window().host().stop());
    EXPECT_EQ(trace().find("ASSERTION"), std::string::npos);
}

// The user leaves the backup screen for home while the unit restarts after the restore, and the unit stays
// away: the wait for it does not end with the screen. The not-enrolled screen comes when the wait is over,
// and the unit's return leads through the splash to the end of the start road.
TEST_F(Program, ARestoreLeftForHomeDuringTheRestartShowsTheNotEnrolledScreenWhenTheUnitStaysAway) {
    ProgramOnTheLine line(qtApplication(), prepareInProcess());
    auto trace = [&line] { return line.trace(); };
    ASSERT_NO_FATAL_FAILURE(restoreUntilTheRestart(line));
    // Silent in its restart, the unit now stays silent for good; home, in the top bar, meanwhile.
    const auto lostAt = ProgramOnTheLine::Clock::now();
    line.simulator().setPaused(true);
    EXPECT_EQ(line.state(), 26) << "the restart was announced: the screen stays";
    line.touch(77, 15);
    EXPECT_EQ(line.state(), 9);
    ASSERT_TRUE(line.waitUntil([&] { return line.state() == 1; }, std::chrono::seconds(30))) << line.state();
    const auto waited = ProgramOnTheLine::Clock::now() - lostAt;
    EXPECT_GE(waited, std::chrono::seconds(19));
    EXPECT_LE(waited, std::chrono::seconds(23));

    std::vector<int> shown;
    line.simulator().setPaused(false);
    EXPECT_TRUE(line.waitUntil(
        [&] {
            if (const int id = line.state(); shown.empty() || shown.back() != id) {
                shown.push_back(id);
            }
            return shown.back() == 4;
        },
        std::chrono::seconds(60)))
        << trace();
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 4})) << "back through the splash";
    EXPECT_FALSE(holdsAddedValue(line)) << "the value taken back with the restore stays on the display";
    EXPECT_TRUE(line.window().host().stop());
    EXPECT_EQ(trace().find("ASSERTION"), std::string::npos);
}

// The living room of the simulator's default installation, in the fixed mode comfort at 21.5.
constexpr oid_t LIVING_ROOM = 0x01000316;
constexpr state_id_t HOME_STATE = 9;
constexpr state_id_t ROOM_STATE = 13;

const Widget* tileOf(oid_t room) {
    return static_cast<const Widget*>(shownWhere([room](Component* c) {
        const auto* tile = dynamic_cast<const Widget*>(c);
        return tile != nullptr && tile->tag == room;
    }));
}

const UpDownBase* setTemperature() {
    return static_cast<const UpDownBase*>(
        shownWhere([](Component* c) { return dynamic_cast<const UpDownBase*>(c) != nullptr; }));
}

// A part of the room screen's set temperature: its value's label, or its right (up) arrow.
template <class Part>
const Part* partOfSetTemperature() {
    const UpDownBase* upDown = setTemperature();
    const Part* rightmost = nullptr;
    for (Component* child : upDown != nullptr ? upDown->getChildren() : std::vector<Component*>{}) {
        const auto* part = dynamic_cast<const Part*>(child);
        if (part != nullptr && (rightmost == nullptr || part->getLeft() > rightmost->getLeft())) {
            rightmost = part;
        }
    }
    return rightmost;
}

// What the home screen's tile of the room shows as its set temperature; empty without the tile.
std::string tileSetTemperature(ProgramOnTheLine& line) {
    return line
        .answer<std::string>([] {
            const Widget* tile = tileOf(LIVING_ROOM);
            return tile != nullptr ? tile->getSecondValueLabel()->getText() : std::string();
        })
        .value_or("");
}

// What the room screen shows as its set temperature; empty without the screen.
std::string roomSetTemperature(ProgramOnTheLine& line) {
    return line
        .answer<std::string>([] {
            const auto* label = partOfSetTemperature<ContainedLabel>();
            return label != nullptr ? label->getText() : std::string();
        })
        .value_or("");
}

int held(ProgramOnTheLine& line, vid_t vid) {
    return line.ask([vid] { return pt_read_int(LIVING_ROOM, vid).value_or(-1); });
}

// The room opened from its home tile's arrow (a screen gone dark takes the first touch to wake).
bool openRoomFromHome(ProgramOnTheLine& line) {
    for (int touch = 0; touch < 2 && line.state() != ROOM_STATE; ++touch) {
        if (!line.tapOn(
                [] { return tileOf(LIVING_ROOM) != nullptr ? tileOf(LIVING_ROOM)->getButton() : nullptr; })) {
            return false;
        }
    }
    return line.waitUntil([&] { return line.state() == ROOM_STATE; }, std::chrono::seconds(3));
}

// A newcomer's first try against the simulator: the room's up arrow once, home, the room again. The unit
// takes the manual temperature the arrow wrote as the room's desired temperature, and keeps it while its
// life goes on: the tile and the room screen opened again show the new value.
TEST_F(Program, ARoomsTemperatureSetWithItsArrowStandsAtHomeAndWhenTheRoomOpensAgain) {
    ProgramOnTheLine line(qtApplication(), prepareInProcess());
    ASSERT_TRUE(line.ok());
    ASSERT_TRUE(line.waitUntil([&] { return line.sent(READY) >= 1; }, std::chrono::seconds(30)))
        << line.published();
    ASSERT_TRUE(line.waitUntil([&] { return line.state() == 4; }, std::chrono::seconds(30))) << line.state();
    line.ask([] {
        Core::current()->changeState(HOME_STATE, 0, 0, 0, 0);
        return 0;
    });
    ASSERT_TRUE(
        line.waitUntil([&] { return tileSetTemperature(line) == "21.5\u00B0"; }, std::chrono::seconds(3)))
        << tileSetTemperature(line);
    ASSERT_TRUE(openRoomFromHome(line));
    ASSERT_EQ(roomSetTemperature(line), "21.5\u00B0");

    ASSERT_TRUE(line.tapOn([] { return partOfSetTemperature<IconButton>(); }));
    const std::string manual = "PUBLISH 000316:01 vid 801A type 18 = 2200";
    ASSERT_TRUE(line.waitUntil([&] { return line.sent(manual) == 1; }, std::chrono::seconds(5)))
        << line.published();
    EXPECT_EQ(roomSetTemperature(line), "22.0\u00B0");
    // The unit answers with the room's new desired temperature.
    EXPECT_TRUE(line.waitUntil([&] { return held(line, 0x001D) == 2200; }, std::chrono::seconds(5)))
        << held(line, 0x001D);

    line.touch(77, 15);
    ASSERT_EQ(line.state(), HOME_STATE);
    EXPECT_EQ(tileSetTemperature(line), "22.0\u00B0");
    // A period of the unit's life passes (the room's air moves toward the new aim): the value stands.
    const int air = held(line, 0x000C);
    EXPECT_TRUE(line.waitUntil([&] { return held(line, 0x000C) != air; }, std::chrono::seconds(30))) << air;
    EXPECT_EQ(held(line, 0x001D), 2200);
    EXPECT_EQ(tileSetTemperature(line), "22.0\u00B0");

    ASSERT_TRUE(openRoomFromHome(line));
    EXPECT_EQ(roomSetTemperature(line), "22.0\u00B0");
    EXPECT_EQ(held(line, 0x001D), 2200);
    // One write, of the manual temperature, and no override: the room is in a fixed mode.
    EXPECT_EQ(line.sent(manual), 1u) << line.published();
    EXPECT_EQ(line.sent("vid 8005"), 0u) << line.published();
    EXPECT_TRUE(line.window().host().stop());
    EXPECT_EQ(line.trace().find("ASSERTION"), std::string::npos);
}

} // namespace
} // namespace tdx::test
