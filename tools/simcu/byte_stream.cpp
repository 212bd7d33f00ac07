#include "tools/simcu/byte_stream.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "SourceHost/api_lib/loop_port.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace tdx::sim {

LoopStream::LoopStream(const std::string& name)
    : mPort("loop:" + name)
    , mLoop(comf_loop_create(name.c_str())) {
    if (mLoop == nullptr) {
        dbg_printf_h("sim: loop port %s cannot be registered", mPort);
    }
}

LoopStream::~LoopStream() {
    if (mLoop) {
        comf_loop_destroy(mLoop);
    }
}

void LoopStream::setPlugged(bool plugged) {
    if (mLoop) {
        comf_loop_set_plugged(mLoop, plugged);
    }
}

int LoopStream::read(uint8_t* buf, int max) {
    return mLoop ? comf_loop_read(mLoop, buf, max) : -1;
}

int LoopStream::write(const uint8_t* buf, int len) {
    return mLoop ? comf_loop_write(mLoop, buf, len) : -1;
}

void LoopStream::setEcho(bool on) {
    if (mLoop) {
        comf_loop_set_echo(mLoop, on);
    }
}

PtyStream::PtyStream() {
    const int fd = posix_openpt(O_RDWR | O_NOCTTY);
    if (fd < 0) {
        dbg_printf_h("sim: no pseudo-terminal (errno %d)", errno);
        return;
    }
    const char* name = (grantpt(fd) == 0 && unlockpt(fd) == 0) ? ptsname(fd) : nullptr;
    if (name == nullptr) {
        dbg_printf_h("sim: pseudo-terminal not usable (errno %d)", errno);
        close(fd);
        return;
    }
    mSlavePath = name;
    // Raw from the start: the slave must neither echo our frames back nor hold them for a line end before the
    // display has configured its side.
    mSlaveKeeper = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (mSlaveKeeper >= 0) {
        termios tio{};
        if (tcgetattr(mSlaveKeeper, &tio) == 0) {
            cfmakeraw(&tio);
            tcsetattr(mSlaveKeeper, TCSANOW, &tio);
        }
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    mFd = fd;
}

PtyStream::~PtyStream() {
    if (mSlaveKeeper >= 0) {
        close(mSlaveKeeper);
    }
    if (mFd >= 0) {
        close(mFd);
    }
}

int PtyStream::read(uint8_t* buf, int max) {
    if (mFd < 0) {
        return -1;
    }
    const ssize_t n = ::read(mFd, buf, static_cast<size_t>(max));
    if (n < 0) {
        return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR || errno == EIO) ? 0 : -1;
    }
    if (n > 0 && mEcho) {
        write(buf, static_cast<int>(n));
    }
    return static_cast<int>(n);
}

int PtyStream::write(const uint8_t* buf, int len) {
    if (mFd < 0) {
        return -1;
    }
    const ssize_t n = ::write(mFd, buf, static_cast<size_t>(len));
    if (n < 0) {
        return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? 0 : -1;
    }
    return static_cast<int>(n);
}

namespace {
constexpr uint64_t TICKS_PER_BYTE = 10 * 1000; // 10 bits a byte, in ticks of 1 / (1000 x baud) s
} // namespace

WireStream::WireStream(IByteStream& inner, WireConfig config)
    : mInner(inner)
    , mConfig(config)
    , mStartMs(timer())
    , mRandom(config.seed)
    , mSpoil(std::clamp(config.noise, 0.0, 1.0)) {
    if (mConfig.baud == 0) {
        mConfig.baud = 1;
    }
}

uint64_t WireStream::now() const {
    return (timer() - mStartMs) * mConfig.baud;
}

WireStream::InTransit WireStream::carry(uint8_t byte) {
    mLineFree = std::max(mLineFree, now()) + TICKS_PER_BYTE;
    ++mCarried;
    if (mSpoil(mRandom)) {
        ++mSpoiled;
        byte ^= static_cast<uint8_t>(1 + mRandom() % 255);
    }
    return {byte, mLineFree};
}

void WireStream::release() {
    const uint64_t at = now();
    uint8_t due[256];
    while (!mToDisplay.empty() && mToDisplay.front().due <= at) {
        int n = 0;
        for (auto it = mToDisplay.begin(); it != mToDisplay.end() && it->due <= at && n < 256; ++it) {
            due[n++] = it->byte;
        }
        const int taken = mInner.write(due, n);
        if (taken <= 0) {
            return; // the display's side is full: the bytes wait on the line
        }
        mToDisplay.erase(mToDisplay.begin(), mToDisplay.begin() + taken);
    }
}

int WireStream::read(uint8_t* buf, int max) {
    release();
    uint8_t incoming[256];
    uint64_t overrun = 0;
    for (;;) {
        const int n = mInner.read(incoming, sizeof incoming);
        if (n < 0) {
            return -1;
        }
        for (int i = 0; i < n; ++i) {
            if (mFromDisplay.size() < mConfig.receiveBuffer) {
                mFromDisplay.push_back(carry(incoming[i]));
            } else {
                ++overrun;
            }
        }
        if (n < static_cast<int>(sizeof incoming)) {
            break;
        }
    }
    if (overrun != 0) {
        mOverrun += overrun;
        dbg_printf_h("sim: receive buffer full, %llu bytes from the display lost (%llu in all)",
                     static_cast<unsigned long long>(overrun), static_cast<unsigned long long>(mOverrun));
    }
    const uint64_t at = now();
    int n = 0;
    while (n < max && !mFromDisplay.empty() && mFromDisplay.front().due <= at) {
        buf[n++] = mFromDisplay.front().byte;
        mFromDisplay.pop_front();
    }
    return n;
}

int WireStream::write(const uint8_t* buf, int len) {
    for (int i = 0; i < len; ++i) {
        mToDisplay.push_back(carry(buf[i]));
    }
    release();
    return len;
}

uint32_t WireStream::pendingMs() const {
    const uint64_t at = now();
    const uint64_t last = mToDisplay.empty() ? at : mToDisplay.back().due;
    return last > at ? static_cast<uint32_t>((last - at + mConfig.baud - 1) / mConfig.baud) : 0;
}

} // namespace tdx::sim
