// Helpers of the serial driver tests: a temporary folder, captured trace output, a pseudo-terminal pair.
#pragma once

#include "SourceHost/api_lib/scratch_folder.h"
#include "tests/support/trace_capture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace tdx::test {

// The master side of a pseudo-terminal; the program under test opens the slave as its serial port.
class Pty {
public:
    Pty() {
        mMaster = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (mMaster >= 0 && grantpt(mMaster) == 0 && unlockpt(mMaster) == 0) {
            char name[128];
            if (ptsname_r(mMaster, name, sizeof(name)) == 0) {
                mSlave = name;
            }
        }
    }
    ~Pty() { close(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool ok() const { return mMaster >= 0 && !mSlave.empty(); }
    int master() const { return mMaster; }
    const std::string& slave() const { return mSlave; }
    void close() {
        if (mMaster >= 0) {
            ::close(mMaster);
            mMaster = -1;
        }
    }
    void send(const std::string& bytes) const {
        ASSERT_EQ(::write(mMaster, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    // Waits for the kernel to pass `count` bytes from the slave (at most two seconds).
    std::string receive(size_t count) const {
        std::string got;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
            pollfd pfd{mMaster, POLLIN, 0};
            if (poll(&pfd, 1, 100) > 0 && (pfd.revents & POLLIN) != 0) {
                char buf[256];
                const ssize_t n = ::read(mMaster, buf, sizeof(buf));
                if (n > 0) {
                    got.append(buf, static_cast<size_t>(n));
                }
            }
        }
        return got;
    }

private:
    int mMaster = -1;
    std::string mSlave;
};

// Repeats `step` until it reports done or two seconds have passed: the kernel hands pty bytes on
// asynchronously, so the driver's non-blocking calls may need a few rounds.
template <class Step>
bool keepTrying(Step step) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!step()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::yield();
    }
    return true;
}

} // namespace tdx::test
