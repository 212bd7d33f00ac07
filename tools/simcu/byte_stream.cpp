#include "tools/simcu/byte_stream.h"

#include "Libraries/base/dbg.h"
#include "SourceHost/api_lib/comf.h"

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

} // namespace tdx::sim
