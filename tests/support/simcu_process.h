// The simulator executable (SIMCU_PATH, set by the test program's build) on a pseudo-terminal of its own, and
// the display's side run on the wall clock against it.
#pragma once

#include "Libraries/base/os.h"
#include "tests/support/child_process.h"

#include <chrono>
#include <fcntl.h>
#include <functional>
#include <spawn.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tdx::test {

// Started with `options` (--quiet unless told otherwise), its standard error silenced; its first output line
// names the pseudo-terminal slave it serves. The destructor ends it as stop() does.
class SimProcess {
public:
    explicit SimProcess(std::vector<std::string> options = {"--quiet"}) {
        int out[2];
        if (pipe(out) != 0) {
            return;
        }
        // As small as a pipe gets, so that a test can fill it by not reading.
        fcntl(out[0], F_SETPIPE_SZ, 4096);
        std::vector<std::string> words{SIMCU_PATH};
        words.insert(words.end(), options.begin(), options.end());
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        mProcess.spawn(words, &actions);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        mOutput = out[0];
        fcntl(mOutput, F_SETFL, O_NONBLOCK);
        if (mProcess.pid() > 0) {
            // A sanitizer-built simulator on a machine busy with other builds may take seconds to start; one
            // that ends without its line ends the wait at once.
            mSlave = readLine(20000);
        }
    }
    ~SimProcess() {
        stop();
        if (mOutput >= 0) {
            close(mOutput);
        }
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The first output line: the slave's path when started.
    const std::string& slave() const { return mSlave; }
    bool ok() const { return mProcess.pid() > 0 && mSlave.rfind("/dev/pts/", 0) == 0; }

    // Everything the simulator printed since the last call (without waiting).
    std::string readAvailable() const {
        std::string text;
        char buffer[256];
        ssize_t n = 0;
        while ((n = read(mOutput, buffer, sizeof buffer)) > 0) {
            text.append(buffer, static_cast<size_t>(n));
        }
        return text;
    }

    // Stops and continues the process (SIGSTOP, SIGCONT): a unit silent on the line for a while.
    void setPaused(bool paused) { mProcess.setPaused(paused); }

    // SIGTERM (a paused one continued first), then its exit status; -1 when it did not end normally or was
    // not running. One that does not end in time is killed and the test fails.
    int stop() { return mProcess.stop(); }

private:
    // One output line, waiting for it at most timeoutMs of real time.
    std::string readLine(int timeoutMs) const {
        std::string line;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        char c = 0;
        while (std::chrono::steady_clock::now() < end) {
            const ssize_t n = read(mOutput, &c, 1);
            if (n == 1) {
                if (c == '\n') {
                    return line;
                }
                line += c;
            } else if (n == 0) {
                break;
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
        return line;
    }

    ChildProcess mProcess{"the simulator"};
    int mOutput = -1;
    std::string mSlave;
};

// Runs `step` (the display's tasks) with the fake clock following the wall clock, as the simulator keeps real
// time, until `done` or `limit` of real time has passed. Whether `done` was met.
inline bool runOnWallClock(const std::function<void()>& step, const std::function<bool()>& done,
                           std::chrono::milliseconds limit) {
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + limit;
    auto last = Clock::now();
    while (Clock::now() < end) {
        step();
        const auto now = Clock::now();
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - last).count();
        if (elapsed > 0) {
            os_clock_advance(static_cast<uint64_t>(elapsed));
            last += std::chrono::milliseconds(elapsed);
        }
        if (done()) {
            return true;
        }
        std::this_thread::yield();
    }
    return false;
}

} // namespace tdx::test
