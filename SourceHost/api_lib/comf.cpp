// Serial link driver on termios ports.
#include "SourceHost/api_lib/comf.h"
#include "SourceHost/api_lib/comf_internal.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace tdx {

char PortName[COMF_PORT_NAME_SIZE] = "AUTO";

namespace {

struct Slot {
    bool configured = false;
    bool connected = false;
    bool missingTraced = false;
    std::string port;
    int fd = -1;
    uint64_t nextRetry = 0;
    // The low-latency request writes sysfs and may block: once per comf_open, not on every reconnect of the
    // network task.
    bool lowLatencyRequested = false;
};

Slot sSlots[COMF_MAX_PORTS];

Slot* findSlot(int index) {
    return index >= 0 && index < COMF_MAX_PORTS ? &sSlots[index] : nullptr;
}

// A USB converter otherwise holds received bytes up to 16 ms before handing them on, far longer than a reply
// slot. Either request may be refused (not a USB serial port, no permission): traced, never fatal.
void requestLowLatency(int fd, const char* path) {
    serial_struct serial{};
    if (ioctl(fd, TIOCGSERIAL, &serial) == 0) {
        serial.flags |= ASYNC_LOW_LATENCY;
        if (ioctl(fd, TIOCSSERIAL, &serial) == 0) {
            dbg_printf_h("COMF: %s low latency on", path);
        } else {
            dbg_printf_h("COMF: %s low latency refused (%s)", path, std::strerror(errno));
        }
    } else {
        dbg_printf_h("COMF: %s has no low-latency flag (%s)", path, std::strerror(errno));
    }

    char real[PATH_MAX];
    if (realpath(path, real) == nullptr) {
        return;
    }
    const char* name = std::strrchr(real, '/');
    name = name != nullptr ? name + 1 : real;
    const std::string timer =
        std::string(comf_detail::sysfs_root()) + "/class/tty/" + name + "/device/latency_timer";
    if (access(timer.c_str(), F_OK) != 0) {
        return;
    }
    FILE* file = std::fopen(timer.c_str(), "w");
    const bool written = file != nullptr && std::fputs("1", file) >= 0;
    const bool closed = file != nullptr && std::fclose(file) == 0;
    if (written && closed) {
        dbg_printf_h("COMF: %s latency timer 1 ms", path);
    } else {
        dbg_printf_h("COMF: %s latency timer refused (%s)", path, std::strerror(errno));
    }
}

int openDevice(const char* path, bool traceFailure) {
    const int fd = open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (traceFailure) {
            dbg_printf_h("COMF: cannot open %s (%s)", path, std::strerror(errno));
        }
        return -1;
    }
    if (comf_detail::configure(fd, path) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// Opens the slot's port; false while it is missing.
bool connect(Slot& slot, int index) {
    slot.fd = openDevice(slot.port.c_str(), !slot.missingTraced);
    if (slot.fd >= 0 && !slot.lowLatencyRequested) {
        slot.lowLatencyRequested = true;
        requestLowLatency(slot.fd, slot.port.c_str());
    }
    slot.connected = slot.fd >= 0;
    if (slot.connected) {
        dbg_printf_h("COMF%d: %s open", index, slot.port);
        slot.missingTraced = false;
    } else {
        if (!slot.missingTraced) {
            dbg_printf_h("COMF%d: retrying %s every %u ms", index, slot.port,
                         static_cast<unsigned>(COMF_RETRY_MS));
        }
        slot.missingTraced = true;
        slot.nextRetry = os_clock() + COMF_RETRY_MS;
    }
    return slot.connected;
}

void disconnect(Slot& slot) {
    if (slot.fd >= 0) {
        close(slot.fd);
        slot.fd = -1;
    }
    slot.connected = false;
}

// The port went away (USB unplug, peer closed): close it and retry opening it every COMF_RETRY_MS.
void lost(Slot& slot, int index, const char* why) {
    dbg_printf_h("COMF%d: %s lost (%s)", index, slot.port, why);
    disconnect(slot);
    slot.missingTraced = false;
    slot.nextRetry = os_clock() + COMF_RETRY_MS;
}

// Ready for I/O: connected, or reconnected now that the retry time has come.
bool ready(Slot& slot, int index) {
    if (!slot.connected && os_clock() >= slot.nextRetry) {
        connect(slot, index);
    }
    return slot.connected;
}

} // namespace

namespace comf_detail {

const char* sysfs_root() {
    const char* root = std::getenv("TDX410_SYSFS_ROOT");
    return root != nullptr && root[0] != '\0' ? root : "/sys";
}

// Raw 57600 8N1 without flow control; reads return at once (VMIN = VTIME = 0); both queues flushed.
int configure(int fd, const char* path) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) {
        dbg_printf_h("COMF: %s is no serial port (%s)", path, std::strerror(errno));
        return -1;
    }
    cfmakeraw(&tio);
    cfsetispeed(&tio, B57600);
    cfsetospeed(&tio, B57600);
    tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (tcsetattr(fd, TCSANOW, &tio) != 0) {
        dbg_printf_h("COMF: cannot configure %s (%s)", path, std::strerror(errno));
        return -1;
    }
    tcflush(fd, TCIOFLUSH);
    return 0;
}

} // namespace comf_detail

int comf_open(int index, const char* port) {
    Slot* slot = findSlot(index);
    if (slot == nullptr || port == nullptr || port[0] == '\0' || std::strlen(port) >= COMF_PORT_NAME_SIZE) {
        dbg_printf_h("COMF%d: bad port \"%s\"", index, port != nullptr ? port : "");
        return -1;
    }
    comf_close(index);
    slot->configured = true;
    slot->port = port;
    slot->missingTraced = false;
    slot->lowLatencyRequested = false;
    connect(*slot, index);
    return 0;
}

void comf_close(int index) {
    Slot* slot = findSlot(index);
    if (slot == nullptr || !slot->configured) {
        return;
    }
    disconnect(*slot);
    slot->configured = false;
}

bool comf_is_connected(int index) {
    const Slot* slot = findSlot(index);
    return slot != nullptr && slot->configured && slot->connected;
}

int comf_read(int index, uint8_t* buf, int max) {
    Slot* slot = findSlot(index);
    if (slot == nullptr || !slot->configured || buf == nullptr || max < 0) {
        return -1;
    }
    if (!ready(*slot, index)) {
        return 0;
    }
    // A hang-up shows in poll() even where read() would only report "no data".
    pollfd pfd{slot->fd, POLLIN, 0};
    if (poll(&pfd, 1, 0) < 0) {
        return 0;
    }
    if ((pfd.revents & POLLIN) == 0) {
        if ((pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            lost(*slot, index, "hang-up");
        }
        return 0;
    }
    const ssize_t n = read(slot->fd, buf, static_cast<size_t>(max));
    if (n > 0) {
        return static_cast<int>(n);
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        return 0;
    }
    lost(*slot, index, n == 0 ? "end of file" : std::strerror(errno));
    return 0;
}

int comf_write(int index, const uint8_t* buf, int len) {
    Slot* slot = findSlot(index);
    if (slot == nullptr || !slot->configured || buf == nullptr || len < 0) {
        return -1;
    }
    if (!ready(*slot, index)) {
        return 0;
    }
    const ssize_t n = write(slot->fd, buf, static_cast<size_t>(len));
    if (n >= 0) {
        return static_cast<int>(n);
    }
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
        return 0;
    }
    lost(*slot, index, std::strerror(errno));
    return 0;
}

int comf_input_descriptors(int* fds, int max) {
    int count = 0;
    for (const Slot& slot : sSlots) {
        if (slot.fd >= 0 && count < max) {
            fds[count++] = slot.fd;
        }
    }
    return count;
}

const serial_port comf_serial_port{comf_open, comf_read, comf_write, comf_close, comf_is_connected};

} // namespace tdx
