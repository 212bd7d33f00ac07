// Serial link driver: termios ports and in-process loop ports behind one set of driver slots.
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
#include <deque>
#include <fcntl.h>
#include <linux/serial.h>
#include <map>
#include <memory>
#include <mutex>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace tdx {

char PortName[COMF_PORT_NAME_SIZE] = "AUTO";

struct comf_loop {
    std::string name;
    std::mutex mutex;
    std::deque<uint8_t> toPeer;
    std::deque<uint8_t> toDisplay;
    bool echo = true;
    bool plugged = true;
    // Changes at every unplug, so that a display end opened before it notices even a quick replug.
    uint32_t generation = 0;
};

namespace {

constexpr char LOOP_PREFIX[] = "loop:";
constexpr size_t LOOP_PREFIX_LENGTH = sizeof(LOOP_PREFIX) - 1;

std::mutex& loopRegistryMutex() {
    static std::mutex mutex;
    return mutex;
}
std::map<std::string, std::shared_ptr<comf_loop>>& loopRegistry() {
    static std::map<std::string, std::shared_ptr<comf_loop>> registry;
    return registry;
}

std::shared_ptr<comf_loop> findLoop(const std::string& name) {
    std::lock_guard lock(loopRegistryMutex());
    auto it = loopRegistry().find(name);
    return it != loopRegistry().end() ? it->second : nullptr;
}

struct Slot {
    bool configured = false;
    bool connected = false;
    bool missingTraced = false;
    std::string port;
    int fd = -1;
    std::shared_ptr<comf_loop> loop;
    uint32_t loopGeneration = 0;
    uint64_t nextRetry = 0;
    // The low-latency request writes sysfs and may block: once per comf_open, not on every reconnect of the
    // network task.
    bool lowLatencyRequested = false;
};

Slot sSlots[COMF_MAX_PORTS];

Slot* findSlot(int index) {
    return index >= 0 && index < COMF_MAX_PORTS ? &sSlots[index] : nullptr;
}

bool isLoopName(const std::string& port) {
    return port.compare(0, LOOP_PREFIX_LENGTH, LOOP_PREFIX) == 0;
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
    if (isLoopName(slot.port)) {
        auto loop = findLoop(slot.port.substr(LOOP_PREFIX_LENGTH));
        if (loop != nullptr) {
            std::lock_guard lock(loop->mutex);
            if (loop->plugged) {
                slot.loop = loop;
                slot.loopGeneration = loop->generation;
                loop->toDisplay.clear();
                slot.connected = true;
            }
        }
        if (!slot.connected && !slot.missingTraced) {
            dbg_printf_h("COMF%d: %s missing", index, slot.port);
        }
    } else {
        slot.fd = openDevice(slot.port.c_str(), !slot.missingTraced);
        if (slot.fd >= 0 && !slot.lowLatencyRequested) {
            slot.lowLatencyRequested = true;
            requestLowLatency(slot.fd, slot.port.c_str());
        }
        if (slot.fd >= 0) {
            slot.connected = true;
        }
    }
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
    slot.loop.reset();
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

bool loopUnplugged(const Slot& slot) {
    return !slot.loop->plugged || slot.loop->generation != slot.loopGeneration;
}

int loopPush(std::deque<uint8_t>& queue, const uint8_t* buf, int len) {
    const int room = COMF_LOOP_CAPACITY - static_cast<int>(queue.size());
    const int n = std::clamp(len, 0, std::max(room, 0));
    queue.insert(queue.end(), buf, buf + n);
    return n;
}

int loopPop(std::deque<uint8_t>& queue, uint8_t* buf, int max) {
    const int n = std::clamp(static_cast<int>(queue.size()), 0, std::max(max, 0));
    std::copy_n(queue.begin(), n, buf);
    queue.erase(queue.begin(), queue.begin() + n);
    return n;
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
    if (slot->loop != nullptr) {
        std::unique_lock lock(slot->loop->mutex);
        if (loopUnplugged(*slot)) {
            lock.unlock();
            lost(*slot, index, "unplugged");
            return 0;
        }
        return loopPop(slot->loop->toDisplay, buf, max);
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
    if (slot->loop != nullptr) {
        std::unique_lock lock(slot->loop->mutex);
        if (loopUnplugged(*slot)) {
            lock.unlock();
            lost(*slot, index, "unplugged");
            return 0;
        }
        const int n = loopPush(slot->loop->toPeer, buf, len);
        if (slot->loop->echo) {
            loopPush(slot->loop->toDisplay, buf, n);
        }
        return n;
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

// ---- Loop ports ----

comf_loop* comf_loop_create(const char* name) {
    if (name == nullptr || name[0] == '\0' || std::strlen(name) + LOOP_PREFIX_LENGTH >= COMF_PORT_NAME_SIZE) {
        dbg_printf_h("COMF: bad loop name");
        return nullptr;
    }
    std::lock_guard lock(loopRegistryMutex());
    auto& entry = loopRegistry()[name];
    if (entry != nullptr) {
        dbg_printf_h("COMF: loop:%s exists already", name);
        return nullptr;
    }
    entry = std::make_shared<comf_loop>();
    entry->name = name;
    return entry.get();
}

void comf_loop_destroy(comf_loop* loop) {
    if (loop == nullptr) {
        return;
    }
    comf_loop_set_plugged(loop, false);
    std::lock_guard lock(loopRegistryMutex());
    auto it = loopRegistry().find(loop->name);
    if (it != loopRegistry().end() && it->second.get() == loop) {
        loopRegistry().erase(it); // a display end still holding it frees it when it notices
    }
}

int comf_loop_read(comf_loop* loop, uint8_t* buf, int max) {
    if (loop == nullptr || buf == nullptr) {
        return -1;
    }
    std::lock_guard lock(loop->mutex);
    return loopPop(loop->toPeer, buf, max);
}

int comf_loop_write(comf_loop* loop, const uint8_t* buf, int len) {
    if (loop == nullptr || buf == nullptr) {
        return -1;
    }
    std::lock_guard lock(loop->mutex);
    return loop->plugged ? loopPush(loop->toDisplay, buf, len) : 0;
}

void comf_loop_set_echo(comf_loop* loop, bool on) {
    if (loop != nullptr) {
        std::lock_guard lock(loop->mutex);
        loop->echo = on;
    }
}

void comf_loop_set_plugged(comf_loop* loop, bool plugged) {
    if (loop == nullptr) {
        return;
    }
    std::lock_guard lock(loop->mutex);
    if (loop->plugged && !plugged) {
        ++loop->generation;
        loop->toPeer.clear();
        loop->toDisplay.clear();
    }
    loop->plugged = plugged;
}

} // namespace tdx
