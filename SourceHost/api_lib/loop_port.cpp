#include "SourceHost/api_lib/loop_port.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "SourceHost/api_lib/comf.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace tdx {

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

std::mutex& registryMutex() {
    static std::mutex mutex;
    return mutex;
}
std::map<std::string, std::shared_ptr<comf_loop>>& registry() {
    static std::map<std::string, std::shared_ptr<comf_loop>> loops;
    return loops;
}

// The display's end of a pipe in one slot.
struct End {
    bool configured = false;
    bool missingTraced = false;
    std::string port;
    std::shared_ptr<comf_loop> loop;
    uint32_t generation = 0;
    uint64_t nextRetry = 0;
};

End sEnds[COMF_MAX_PORTS];

End* findEnd(int index) {
    return index >= 0 && index < COMF_MAX_PORTS ? &sEnds[index] : nullptr;
}

void attach(End& end, int index) {
    std::shared_ptr<comf_loop> loop;
    {
        std::lock_guard lock(registryMutex());
        const auto it = registry().find(end.port.substr(LOOP_PREFIX_LENGTH));
        loop = it != registry().end() ? it->second : nullptr;
    }
    if (loop != nullptr) {
        std::lock_guard lock(loop->mutex);
        if (loop->plugged) {
            end.loop = loop;
            end.generation = loop->generation;
            loop->toDisplay.clear();
        }
    }
    if (end.loop != nullptr) {
        dbg_printf_h("COMF%d: %s open", index, end.port);
        end.missingTraced = false;
        return;
    }
    if (!end.missingTraced) {
        dbg_printf_h("COMF%d: %s missing, retrying every %u ms", index, end.port,
                     static_cast<unsigned>(COMF_RETRY_MS));
        end.missingTraced = true;
    }
    end.nextRetry = os_clock() + COMF_RETRY_MS;
}

// The pipe under the lock when the display's end may use it now; nullptr while it is missing or unplugged.
comf_loop* usable(End& end, int index, std::unique_lock<std::mutex>& lock) {
    if (end.loop == nullptr && os_clock() >= end.nextRetry) {
        attach(end, index);
    }
    if (end.loop == nullptr) {
        return nullptr;
    }
    lock = std::unique_lock(end.loop->mutex);
    if (end.loop->plugged && end.loop->generation == end.generation) {
        return end.loop.get();
    }
    lock.unlock();
    dbg_printf_h("COMF%d: %s lost (unplugged)", index, end.port);
    end.loop.reset();
    end.missingTraced = false;
    end.nextRetry = os_clock() + COMF_RETRY_MS;
    return nullptr;
}

int push(std::deque<uint8_t>& queue, const uint8_t* buf, int len) {
    const int room = COMF_LOOP_CAPACITY - static_cast<int>(queue.size());
    const int n = std::clamp(len, 0, std::max(room, 0));
    queue.insert(queue.end(), buf, buf + n);
    return n;
}

int pop(std::deque<uint8_t>& queue, uint8_t* buf, int max) {
    const int n = std::clamp(static_cast<int>(queue.size()), 0, std::max(max, 0));
    std::copy_n(queue.begin(), n, buf);
    queue.erase(queue.begin(), queue.begin() + n);
    return n;
}

void endClose(int index) {
    if (End* end = findEnd(index)) {
        *end = End{};
    }
}

int endOpen(int index, const char* port) {
    End* end = findEnd(index);
    if (end == nullptr || port == nullptr || std::strncmp(port, LOOP_PREFIX, LOOP_PREFIX_LENGTH) != 0 ||
        std::strlen(port) >= COMF_PORT_NAME_SIZE) {
        dbg_printf_h("COMF%d: bad loop port \"%s\"", index, port != nullptr ? port : "");
        return -1;
    }
    endClose(index);
    end->configured = true;
    end->port = port;
    attach(*end, index);
    return 0;
}

int endRead(int index, uint8_t* buf, int max) {
    End* end = findEnd(index);
    if (end == nullptr || !end->configured || buf == nullptr) {
        return -1;
    }
    std::unique_lock<std::mutex> lock;
    comf_loop* loop = usable(*end, index, lock);
    return loop != nullptr ? pop(loop->toDisplay, buf, max) : 0;
}

int endWrite(int index, const uint8_t* buf, int len) {
    End* end = findEnd(index);
    if (end == nullptr || !end->configured || buf == nullptr) {
        return -1;
    }
    std::unique_lock<std::mutex> lock;
    comf_loop* loop = usable(*end, index, lock);
    if (loop == nullptr) {
        return 0;
    }
    const int n = push(loop->toPeer, buf, len);
    if (loop->echo) {
        push(loop->toDisplay, buf, n);
    }
    return n;
}

bool endConnected(int index) {
    const End* end = findEnd(index);
    return end != nullptr && end->configured && end->loop != nullptr;
}

} // namespace

const serial_port loop_serial_port{endOpen, endRead, endWrite, endClose, endConnected};

comf_loop* comf_loop_create(const char* name) {
    if (name == nullptr || name[0] == '\0' || std::strlen(name) + LOOP_PREFIX_LENGTH >= COMF_PORT_NAME_SIZE) {
        dbg_printf_h("COMF: bad loop name");
        return nullptr;
    }
    std::lock_guard lock(registryMutex());
    auto& entry = registry()[name];
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
    std::lock_guard lock(registryMutex());
    auto it = registry().find(loop->name);
    if (it != registry().end() && it->second.get() == loop) {
        registry().erase(it); // a display end still holding it frees it when it notices
    }
}

int comf_loop_read(comf_loop* loop, uint8_t* buf, int max) {
    if (loop == nullptr || buf == nullptr) {
        return -1;
    }
    std::lock_guard lock(loop->mutex);
    return pop(loop->toPeer, buf, max);
}

int comf_loop_write(comf_loop* loop, const uint8_t* buf, int len) {
    if (loop == nullptr || buf == nullptr) {
        return -1;
    }
    std::lock_guard lock(loop->mutex);
    return loop->plugged ? push(loop->toDisplay, buf, len) : 0;
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
