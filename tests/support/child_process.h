// Processes a test starts, with every wait for one of them bounded: past its bound a child is killed with the
// processes it started and the test fails saying so, so that no test run hangs on a child that does not end.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

extern char** environ;

namespace tdx::test {

// How long a child told to end may take: a sanitizer-built one checks for leaks on its way out, which takes
// seconds on a loaded machine.
inline constexpr std::chrono::milliseconds CHILD_END_BOUND{30000};
// How long a command a test runs may take from its start to its end.
inline constexpr std::chrono::milliseconds COMMAND_BOUND{120000};

// The exit status of a wait status; -1 when the child did not exit by itself or was not waited for.
inline int exitStatus(std::optional<int> status) {
    return status && WIFEXITED(*status) ? WEXITSTATUS(*status) : -1;
}

namespace detail {

using Clock = std::chrono::steady_clock;

// Looks for the end of the child `pid` until `end`: true with `status` once it ended, false when the time is
// up, nullopt when `pid` is no child of this process. Polled rather than waited for, so that the time holds;
// the first looks come quickly, as most children end at once.
inline std::optional<bool> lookForEnd(pid_t pid, Clock::time_point end, int& status) {
    auto interval = std::chrono::milliseconds(1);
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            return true;
        }
        if (done < 0 && errno != EINTR) {
            return std::nullopt;
        }
        if (Clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(interval);
        interval = std::min(interval * 2, std::chrono::milliseconds(20));
    }
}

// Kills `victim` (the child `pid`, or its process group as -pid), reaps the child and fails the test: `name`
// did not end within `bound`.
inline std::nullopt_t killPastBound(pid_t pid, pid_t victim, const std::string& name,
                                    std::chrono::milliseconds bound) {
    kill(victim, SIGKILL);
    // A killed process ends as soon as the kernel lets it; a bound here too, should it not.
    int status = 0;
    const bool reaped = lookForEnd(pid, Clock::now() + std::chrono::seconds(10), status).value_or(true);
    ADD_FAILURE() << name << " did not end within " << bound.count() << " ms: killed"
                  << (reaped ? "" : ", and still not reaped");
    return std::nullopt;
}

// reapChild() with the time given as its end; `bound` is what a failure names.
inline std::optional<int> reapChildBy(pid_t pid, const std::string& name, Clock::time_point end,
                                      std::chrono::milliseconds bound, pid_t victim) {
    int status = 0;
    const std::optional<bool> ended = pid > 0 ? lookForEnd(pid, end, status) : std::nullopt;
    if (!ended) {
        return std::nullopt;
    }
    return *ended ? std::optional<int>(status) : killPastBound(pid, victim != 0 ? victim : pid, name, bound);
}

// Spawn attributes that start the child as the leader of a process group of its own, so that what it starts
// can be killed with it.
struct OwnGroup {
    OwnGroup() {
        posix_spawnattr_init(&attributes);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
    }
    ~OwnGroup() { posix_spawnattr_destroy(&attributes); }
    OwnGroup(const OwnGroup&) = delete;
    OwnGroup& operator=(const OwnGroup&) = delete;

    posix_spawnattr_t attributes;
};

} // namespace detail

// Waits at most `bound` for the child `pid` to end, and returns its wait status. Past the bound `victim` (the
// child when 0, or its process group as -pid) is killed, the child reaped, and the test fails naming `name`
// and the bound: nullopt then, and when `pid` is no child of this process.
inline std::optional<int> reapChild(pid_t pid, const std::string& name, std::chrono::milliseconds bound,
                                    pid_t victim = 0) {
    return detail::reapChildBy(pid, name, detail::Clock::now() + bound, bound, victim);
}

// A child process a test started, the leader of a process group of its own: past its bound it is killed with
// everything it started. It is ended when the object goes, as stop() ends it.
class ChildProcess {
public:
    // `name` says which child a failure is about; `endBound` is how long stop() waits for its end.
    explicit ChildProcess(std::string name, std::chrono::milliseconds endBound = CHILD_END_BOUND)
        : mName(std::move(name))
        , mEndBound(endBound) {}
    ~ChildProcess() { stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts the program `words` names with its arguments; whether it started. One child per object.
    bool spawn(std::vector<std::string> words, const posix_spawn_file_actions_t* actions = nullptr,
               char* const* envp = environ) {
        if (mPid > 0 || words.empty()) {
            return false;
        }
        std::vector<char*> argv;
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        const detail::OwnGroup group;
        if (posix_spawn(&mPid, argv[0], actions, &group.attributes, argv.data(), envp) != 0) {
            mPid = -1;
        }
        mPaused = false;
        mEnded.reset();
        return mPid > 0;
    }

    // The child's process id while it was not reaped; -1 otherwise.
    pid_t pid() const { return mPid; }

    // Whether it still runs; one that ended is reaped and its status kept for stop().
    bool running() {
        if (mPid <= 0) {
            return false;
        }
        int status = 0;
        if (waitpid(mPid, &status, WNOHANG) == mPid) {
            mPid = -1;
            mEnded = status;
        }
        return mPid > 0;
    }

    // Stops and continues it (SIGSTOP, SIGCONT).
    void setPaused(bool paused) {
        if (mPid > 0 && paused != mPaused) {
            kill(mPid, paused ? SIGSTOP : SIGCONT);
            mPaused = paused;
        }
    }

    // Ends it with SIGTERM and returns its exit status: -1 when it did not exit by itself, did not end within
    // the bound (killed then with its process group, the test failed), or was not running. A paused one is
    // continued first, never after: a SIGCONT on its way out would undo the stop a sanitizer's leak check
    // puts it in, and the check would wait for ever. One that ended by itself and was reaped by running()
    // gets no signal: its id may belong to another process by now.
    int stop() {
        if (mPid > 0) {
            setPaused(false);
            // A child that left the group it was started in is killed alone.
            const pid_t victim = getpgid(mPid) == mPid ? -mPid : mPid;
            kill(mPid, SIGTERM);
            mEnded = reapChild(mPid, mName, mEndBound, victim);
            mPid = -1;
        }
        return exitStatus(std::exchange(mEnded, std::nullopt));
    }

private:
    std::string mName;
    std::chrono::milliseconds mEndBound;
    pid_t mPid = -1;
    bool mPaused = false;
    std::optional<int> mEnded;
};

// Runs a shell command, waiting at most `bound` for it; returns its exit status and, in output, what it wrote
// to stdout and stderr. A command past its bound is killed with all it started, and the test fails.
inline int runCommand(const std::string& command, std::string& output,
                      std::chrono::milliseconds bound = COMMAND_BOUND) {
    using detail::Clock;
    const auto end = Clock::now() + bound;
    output.clear();
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "no pipe for " << command;
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
    std::string shell = "/bin/sh";
    std::string option = "-c";
    std::string text = command;
    char* argv[] = {shell.data(), option.data(), text.data(), nullptr};
    pid_t pid = -1;
    // A group of its own, so that what the shell started goes with it.
    const detail::OwnGroup group;
    const int spawned = posix_spawn(&pid, shell.c_str(), &actions, &group.attributes, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
        close(pipeFds[0]);
        ADD_FAILURE() << "cannot start " << command;
        return -1;
    }
    // Read until every writer closed its end or the time is up.
    bool closed = false;
    while (!closed) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd ready{pipeFds[0], POLLIN, 0};
        const int polled = ::poll(&ready, 1, static_cast<int>(std::min<long long>(left.count(), 1000)));
        if (polled < 0 && errno != EINTR) {
            break;
        }
        if (polled <= 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
        if (got > 0) {
            output.append(buffer, static_cast<size_t>(got));
        } else {
            closed = got == 0 || errno != EINTR;
        }
    }
    close(pipeFds[0]);
    const std::string name = "the command " + command;
    // The output still open past the time: something it started still runs, the shell itself or not.
    return exitStatus(closed ? detail::reapChildBy(pid, name, end, bound, -pid)
                             : detail::killPastBound(pid, -pid, name, bound));
}

} // namespace tdx::test
