// Children a test starts end within their bounds: told to end, a paused one is continued first and one that
// was not paused gets no SIGCONT; one that ended by itself gives its exit status at once; one that does not
// end, or a command that runs on, is killed with what it started and the test fails saying so, instead of the
// run hanging.
#include "tests/SourceHost/api_lib/scratch_folder.h"
#include "tests/support/child_process.h"
#include "tests/support/simcu_process.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace tdx::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Whether `path` appeared within `limit`.
bool appears(const std::filesystem::path& path, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (!std::filesystem::exists(path) && Clock::now() < end) {
        std::this_thread::sleep_for(5ms);
    }
    return std::filesystem::exists(path);
}

// Whether the process `pid` ended within `limit`: gone, or a zombie left for whoever adopted it to reap.
bool ended(pid_t pid, std::chrono::milliseconds limit) {
    auto over = [pid] {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        const size_t name = text.rfind(')');
        return text.empty() || (name != std::string::npos && text.compare(name, 3, ") Z") == 0);
    };
    const auto end = Clock::now() + limit;
    while (!over() && Clock::now() < end) {
        std::this_thread::sleep_for(5ms);
    }
    return over();
}

// A shell that notes a SIGCONT in its exit status (3), ending a while after SIGTERM so that a SIGCONT sent
// after it is still seen; `ready` once its traps are set.
std::vector<std::string> signalSpy(const std::filesystem::path& ready) {
    return {"/bin/sh", "-c",
            "c=0; t=; trap 'c=3' CONT; trap 't=1' TERM; : > '" + ready.string() +
                "'; while [ -z \"$t\" ]; do sleep 0.02; done; sleep 0.3; exit $c"};
}

struct Ending {
    const char* what;
    bool simulator; // the simulator through SimProcess, else the signal spy
    bool paused;
    int status;
    bool endsFirst = false; // a child that exits by itself before it is told to, in place of the spy
};

void PrintTo(const Ending& c, std::ostream* os) {
    *os << c.what;
}

class ChildEnding : public testing::TestWithParam<Ending> {};

TEST_P(ChildEnding, EndsWithItsExitStatusAndGetsASigcontOnlyWhenItWasPaused) {
    const Ending& c = GetParam();
    int status = -2;
    const auto start = Clock::now();
    if (c.simulator) {
        SimProcess simulator;
        ASSERT_TRUE(simulator.ok()) << simulator.slave();
        simulator.setPaused(c.paused);
        status = simulator.stop();
    } else if (c.endsFirst) {
        ChildProcess quitter("the child that exits by itself");
        ASSERT_TRUE(quitter.spawn({"/bin/sh", "-c", "exit 5"}));
        const auto end = Clock::now() + 10s;
        while (quitter.running() && Clock::now() < end) {
            std::this_thread::sleep_for(5ms);
        }
        EXPECT_FALSE(quitter.running()) << "seen to have ended";
        EXPECT_EQ(quitter.pid(), -1) << "reaped: its id is no longer its";
        const auto told = Clock::now();
        status = quitter.stop();
        EXPECT_LT(Clock::now() - told, 1s) << "nothing left to wait for";
    } else {
        TempDir folder;
        ChildProcess spy("the signal spy");
        ASSERT_TRUE(spy.spawn(signalSpy(folder / "ready")));
        ASSERT_TRUE(appears(folder / "ready", 10s));
        spy.setPaused(c.paused);
        status = spy.stop();
    }
    EXPECT_EQ(status, c.status);
    EXPECT_LT(Clock::now() - start, CHILD_END_BOUND);
}

INSTANTIATE_TEST_SUITE_P(Table, ChildEnding,
                         testing::Values(Ending{"a running simulator", true, false, 0},
                                         Ending{"a paused simulator", true, true, 0},
                                         Ending{"a running child, never continued", false, false, 0},
                                         Ending{"a paused child, continued before its end", false, true, 3},
                                         Ending{"a child that ended by itself", false, false, 5, true}));

// Its own child ignores SIGTERM too and goes with it.
TEST(ChildProcess, OneThatIgnoresSigtermIsKilledPastItsBoundAndTheTestFailsSayingSo) {
    TempDir folder;
    const std::string ready = folder / "ready";
    ChildProcess stubborn("the stubborn child", 300ms);
    ASSERT_TRUE(stubborn.spawn({"/bin/sh", "-c",
                                "trap '' TERM; sleep 100 & echo $! > '" + ready + ".tmp'; mv '" + ready +
                                    ".tmp' '" + ready + "'; exec sleep 100"}));
    ASSERT_TRUE(appears(ready, 10s));
    const pid_t grandchild = std::stoi(folder.read("ready"));
    const pid_t pid = stubborn.pid();
    int status = -2;
    const auto start = Clock::now();
    EXPECT_NONFATAL_FAILURE(status = stubborn.stop(), "the stubborn child did not end within 300 ms: killed");
    EXPECT_LT(Clock::now() - start, 5s);
    EXPECT_EQ(status, -1);
    EXPECT_FALSE(std::filesystem::exists("/proc/" + std::to_string(pid))) << "killed and reaped";
    const bool gone = ended(grandchild, 5s);
    EXPECT_TRUE(gone) << "what it started goes with it";
    if (!gone) {
        kill(grandchild, SIGKILL);
    }
    EXPECT_EQ(stubborn.stop(), -1) << "nothing left to end";
}

struct Command {
    const char* what;
    const char* command;
    std::chrono::milliseconds bound;
    int status;
    const char* output; // its first line; none where that is the id of a process it started
    bool runsOn;        // past its bound: killed, the test failed
};

void PrintTo(const Command& c, std::ostream* os) {
    *os << c.what;
}

class CommandRun : public testing::TestWithParam<Command> {};

TEST_P(CommandRun, GivesItsStatusAndOutputOrIsKilledPastItsBound) {
    const Command& c = GetParam();
    std::string output;
    int status = -2;
    const auto start = Clock::now();
    if (c.runsOn) {
        EXPECT_NONFATAL_FAILURE(status = runCommand(c.command, output, c.bound),
                                std::string("the command ") + c.command + " did not end within " +
                                    std::to_string(c.bound.count()) + " ms: killed");
    } else {
        status = runCommand(c.command, output, c.bound);
    }
    EXPECT_LT(Clock::now() - start, c.bound + 5s);
    EXPECT_EQ(status, c.status);
    if (c.output != nullptr) {
        EXPECT_EQ(output.substr(0, output.find('\n') + 1), c.output);
    } else {
        ASSERT_FALSE(output.empty());
        EXPECT_TRUE(ended(std::stoi(output), 5s)) << "what it started goes with it: " << output;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandRun,
    testing::Values(Command{"an exit status", "echo said; exit 3", 10s, 3, "said\n", false},
                    Command{"standard error", "echo said >&2", 10s, 0, "said\n", false},
                    Command{"a command that runs on", "sleep 100 & echo $!; wait", 300ms, -1, nullptr, true},
                    Command{"a shell that left a child holding its output", "sleep 100 & echo $!", 300ms, -1,
                            nullptr, true}));

} // namespace
} // namespace tdx::test
