// The client on the real serial driver with the simulator executable on the other end of a pseudo-terminal:
// a session is reached and polls are answered; the simulator going away (its side of the pseudo-terminal
// closed) is survived, and the link returns when a simulator is there again.
#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "Libraries/link_bus/dissector.h"
#include "Libraries/link_bus/link_bus.h"
#include "Libraries/tavi_net/tnet.h"
#include "SourceHost/api_lib/comf.h"
#include "tests/SourceHost/api_lib/comf_test_util.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace tdx::test {
namespace {

// The simulator executable; its first output line names the pseudo-terminal slave it serves.
class SimProcess {
public:
    SimProcess() {
        int out[2];
        if (pipe(out) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        char program[] = SIMCU_PATH;
        char quiet[] = "--quiet";
        char* argv[] = {program, quiet, nullptr};
        if (posix_spawn(&mPid, SIMCU_PATH, &actions, nullptr, argv, environ) != 0) {
            mPid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        mOutput = out[0];
        fcntl(mOutput, F_SETFL, O_NONBLOCK);
        mSlave = firstLine();
    }
    ~SimProcess() {
        stop();
        if (mOutput >= 0) {
            close(mOutput);
        }
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    const std::string& slave() const { return mSlave; }
    bool ok() const { return mPid > 0 && mSlave.rfind("/dev/pts/", 0) == 0; }

    // SIGTERM; the exit status, -1 when it did not end normally.
    int stop() {
        if (mPid <= 0) {
            return -1;
        }
        kill(mPid, SIGTERM);
        int status = 0;
        const pid_t done = waitpid(mPid, &status, 0);
        mPid = -1;
        return done > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    std::string firstLine() {
        std::string line;
        bool found = keepTrying([&] {
            char c = 0;
            while (read(mOutput, &c, 1) == 1) {
                if (c == '\n') {
                    return true;
                }
                line += c;
            }
            return false;
        });
        return found ? line : std::string();
    }

    pid_t mPid = -1;
    int mOutput = -1;
    std::string mSlave;
};

struct Heard {
    std::vector<uint32_t> connected;
    std::vector<int> disconnected;
};

Heard& heard() {
    static Heard instance;
    return instance;
}

int countOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

// Runs the network task on the wall clock (the simulator keeps real time) until `done` or `seconds` passed.
bool runUntil(const std::function<bool()>& done, int seconds) {
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    auto last = Clock::now();
    while (Clock::now() < end) {
        tnet_task();
        if (done()) {
            return true;
        }
        const auto now = Clock::now();
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - last).count();
        if (elapsed > 0) {
            os_clock_advance(static_cast<uint64_t>(elapsed));
            last += std::chrono::milliseconds(elapsed);
        }
        std::this_thread::yield();
    }
    return false;
}

bool inSession() {
    return tnet_get_state() == TNET_SESSION;
}

TEST(SerialSession, SessionOnAPseudoTerminalSurvivesTheSimulatorLeavingAndReturns) {
    heard() = Heard{};
    TempDir dir;
    // The display's port is a stable name (as udev gives a converter) for whichever terminal is there now.
    const std::string port = dir / "ttyHMU0";
    auto plug = [&](const SimProcess& sim) {
        std::filesystem::remove(port);
        std::filesystem::create_symlink(sim.slave(), port);
    };

    TraceCapture trace;
    os_init();
    static const tnet_client_handler handler{
        [](uint32_t owner) { heard().connected.push_back(owner); },
        [](int reason) { heard().disconnected.push_back(reason); },
        nullptr,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
    };
    tnet_init(&handler);

    auto first = std::make_unique<SimProcess>();
    ASSERT_TRUE(first->ok()) << "first line: " << first->slave();
    plug(*first);
    ASSERT_EQ(tnet_init_interface_bus(0, port.c_str(), 1, 0), 0);
    tnet_start();
    tnet_learn_request();
    ASSERT_TRUE(runUntil(inSession, 10)) << trace.str();
    EXPECT_EQ(heard().connected, std::vector<uint32_t>{0x000316});

    // Polls are answered, one reply each.
    tnet_dissect_enable(true);
    const uint64_t from = timer();
    runUntil([&] { return timer() - from >= 500; }, 5);
    tnet_dissect_enable(false);
    const int polls = countOf(trace.str(), "RX 010410 POLL");
    EXPECT_GE(polls, 5) << trace.str();
    EXPECT_GE(countOf(trace.str(), "TX 010410 NOP"), polls - 1);

    // The simulator leaves: the driver notices the hang-up, the session ends by supervision, nothing blocks.
    EXPECT_EQ(first->stop(), 0);
    ASSERT_TRUE(runUntil([] { return !link_if_is_connected(0); }, 5)) << trace.str();
    EXPECT_TRUE(trace.contains("lost (")) << trace.str();
    os_clock_advance(TNET_SUPERVISION_MS);
    tnet_task();
    EXPECT_EQ(tnet_get_state(), TNET_OFFLINE);
    EXPECT_EQ(heard().disconnected, std::vector<int>{TNET_DISCONNECT_SUPERVISION});

    // A simulator is there again: the port reopens within the retry period. A new simulator process knows no
    // clients (as a control unit after a factory reset), so the display learns once more.
    SimProcess second;
    ASSERT_TRUE(second.ok());
    plug(second);
    ASSERT_TRUE(runUntil([] { return link_if_is_connected(0); }, 5)) << trace.str();
    tnet_learn_request();
    ASSERT_TRUE(runUntil(inSession, 10)) << trace.str();
    EXPECT_EQ(heard().connected, (std::vector<uint32_t>{0x000316, 0x000316}));
    EXPECT_EQ(second.stop(), 0);

    tnet_stop();
}

} // namespace
} // namespace tdx::test
