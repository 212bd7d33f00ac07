// The simulator executable on a real pseudo-terminal, the display's client on the real serial driver.
#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "Libraries/link_bus/dissector.h"
#include "Libraries/tavi_net/tnet.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace tdx::test {
namespace {

std::string sTrace;

int countOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

// Reads one line from fd, waiting for the child's output at most timeoutMs.
std::string readLine(int fd, int timeoutMs) {
    std::string line;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    char c = 0;
    while (std::chrono::steady_clock::now() < end) {
        const ssize_t n = read(fd, &c, 1);
        if (n == 1) {
            if (c == '\n') {
                return line;
            }
            line += c;
        } else if (n == 0) {
            break;
        } else {
            std::this_thread::yield();
        }
    }
    return line;
}

TEST(EndToEnd, ClientReachesSessionWithTheSimulatorOnAPseudoTerminalAndAnswersItsPolls) {
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char program[] = SIMCU_PATH;
    char quiet[] = "--quiet";
    char* argv[] = {program, quiet, nullptr};
    pid_t child = -1;
    ASSERT_EQ(posix_spawn(&child, SIMCU_PATH, &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    fcntl(out[0], F_SETFL, O_NONBLOCK);

    const std::string slave = readLine(out[0], 5000);
    ASSERT_EQ(slave.rfind("/dev/pts/", 0), 0u) << "first line: " << slave;

    sTrace.clear();
    dbg_set_output([](const char* text, size_t length) { sTrace.append(text, length); });
    os_init();
    static const tnet_client_handler handler{};
    tnet_init(&handler);
    ASSERT_EQ(tnet_init_interface_bus(0, slave.c_str(), 1, 0), 0);
    tnet_start();
    tnet_dissect_enable(true);
    tnet_learn_request();

    // Real time on both sides: the display's clock follows the wall clock while it waits for bytes.
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto last = start;
    uint64_t sessionAt = 0;
    while (Clock::now() - start < std::chrono::seconds(10)) {
        tnet_task();
        const auto now = Clock::now();
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - last).count();
        if (elapsed > 0) {
            os_clock_advance(static_cast<uint64_t>(elapsed));
            last += std::chrono::milliseconds(elapsed);
        }
        if (tnet_get_state() == TNET_SESSION && sessionAt == 0) {
            sessionAt = timer();
        }
        if (sessionAt != 0 && timer() - sessionAt >= 1000) {
            break;
        }
        std::this_thread::yield();
    }
    tnet_dissect_enable(false);
    EXPECT_EQ(tnet_get_state(), TNET_SESSION);
    EXPECT_EQ(tnet_get_owner(), 0x000316u);
    const int polls = countOf(sTrace, "RX 010410 POLL");
    const int nops = countOf(sTrace, "TX 010410 NOP");
    EXPECT_GE(polls, 10) << sTrace;
    EXPECT_GE(nops, polls - 1);
    EXPECT_GE(countOf(sTrace, "TX 010410 SEARCH_REPLY"), 1);
    tnet_stop();
    dbg_set_output(nullptr);

    // The simulator stops cleanly on SIGTERM.
    ASSERT_EQ(kill(child, SIGTERM), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    close(out[0]);
}

} // namespace
} // namespace tdx::test
