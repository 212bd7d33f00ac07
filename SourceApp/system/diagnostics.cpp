#include "SourceApp/system/diagnostics.h"

#include "Libraries/base/circbuffer.h"
#include "Libraries/base/fmt.h"
#include "Libraries/base/os.h"
#include "SourceHost/api_lib/devices.h"
#include "SourceHost/api_lib/layer.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace tdx {

diagnostics_t Diagnostics = {};

namespace {

constexpr int SAMPLES = 10;

struct diagnostics_stat {
    uintptr_t key;
    char name[32];
    uint32_t kind; // 0 timing measure, 1 stored value
    uint64_t start_ms;
    uint16_t start_us;
    uint32_t maximum;
    uint32_t samples[SAMPLES]; // timing: the last ten times; value: the first is the current value
    uint32_t last;
    uint8_t index; // of the next sample
};

// Console colour controls of the page.
constexpr char GREY_TEXT[] = {static_cast<char>(CONSOLE_TEXT_COLOUR), '7', 0};
constexpr char BLUE_BACK[] = {static_cast<char>(CONSOLE_BACK_COLOUR), '4', 0};
constexpr char BLACK_BACK[] = {static_cast<char>(CONSOLE_BACK_COLOUR), '0', 0};

constexpr uint32_t KIND_TIMING = 0;
constexpr uint32_t KIND_VALUE = 1;

// Guarded by the critical section: characters may be put from any thread.
constinit uint8_t sOutputStorage[DIAGNOSTICS_BUFFER_SIZE] = {};
constinit circbuffer_t sOutput = {};

// Ascending by the address of the name.
std::map<uintptr_t, diagnostics_stat>& stats() {
    static std::map<uintptr_t, diagnostics_stat> s_stats;
    return s_stats;
}

uintptr_t keyOf(const char* name) {
    OS_ASSERT(name);
    return reinterpret_cast<uintptr_t>(name);
}

diagnostics_stat newStat(uintptr_t key, const char* name, size_t nameLength, uint32_t kind) {
    diagnostics_stat stat{};
    stat.key = key;
    std::strncpy(stat.name, name, nameLength);
    stat.kind = kind;
    return stat;
}

void startMeasure(diagnostics_stat& stat) {
    stat.start_ms = timer();
    stat.start_us = static_cast<uint16_t>(timer_us());
}

uint32_t currentValue(const diagnostics_stat& stat) {
    if (stat.kind == KIND_TIMING) {
        uint64_t sum = 0;
        for (uint32_t sample : stat.samples) {
            sum += sample;
        }
        return static_cast<uint32_t>(sum / SAMPLES);
    }
    return stat.kind == KIND_VALUE ? stat.samples[0] : 0;
}

unsigned percent(uint32_t used, uint32_t size) {
    return static_cast<unsigned>(uint64_t{used} * 100 / std::max<uint32_t>(size, 1));
}

} // namespace

console_t& diagnostics_console() {
    static console_t console = [] {
        console_t c;
        console_init(&c, Box(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT));
        return c;
    }();
    return console;
}

void diagnostics_init() {
    os_enter_critical();
    circbuffer_init(&sOutput, sOutputStorage, DIAGNOSTICS_BUFFER_SIZE, 1);
    os_exit_critical();
}

void diagnostics_putchar(char c) {
    os_enter_critical();
    circbuffer_push_back(&sOutput, &c);
    os_exit_critical();
    if (Diagnostics.state == DIAGNOSTICS_ECHO) {
        console_put_char(&diagnostics_console(), c);
    }
}

int diagnostics_getchar(char* c) {
    os_enter_critical();
    const int result = circbuffer_pop_front(&sOutput, c);
    os_exit_critical();
    return result;
}

void diagnostics_memory_usage() {
    uint32_t figures[4] = {};
    diagnostics_platform_memory_usage(figures);
    Diagnostics.stack_used = figures[0];
    Diagnostics.heap_used = figures[1];
    Diagnostics.stack_size = figures[2];
    Diagnostics.heap_size = figures[3];
}

uint32_t diagnostics_get_state() {
    return Diagnostics.state;
}

void diagnostics_set_state(uint32_t state) {
    if (state == Diagnostics.state) {
        return;
    }
    Diagnostics.state = state;
    console_clear(&diagnostics_console());
    if (state == DIAGNOSTICS_PAGE) {
        diagnostics_draw();
    }
}

void diagnostics_begin_measure(const char* name) {
    const uintptr_t key = keyOf(name);
    auto it = stats().find(key);
    if (it == stats().end()) {
        it = stats().emplace(key, newStat(key, name, 15, KIND_TIMING)).first;
    }
    startMeasure(it->second);
}

void diagnostics_end_measure(const char* name) {
    auto& s_stats = stats();
    const auto it = s_stats.find(keyOf(name));
    OS_ASSERT(it != s_stats.end());
    diagnostics_stat& stat = it->second;
    // Whole milliseconds from the platform clock, the part below a millisecond from the microsecond stamps
    // (their 16-bit difference is right modulo 65536, so only its remainder modulo 1000 is used).
    const uint64_t ms = timer() - stat.start_ms;
    const uint16_t us = static_cast<uint16_t>(static_cast<uint16_t>(timer_us()) - stat.start_us);
    const uint64_t elapsed = std::min<uint64_t>(ms * 1000 + us % 1000, UINT32_MAX);
    stat.samples[stat.index] = static_cast<uint32_t>(elapsed);
    stat.last = static_cast<uint32_t>(elapsed);
    stat.maximum = std::max(stat.maximum, stat.last);
    stat.index = static_cast<uint8_t>((stat.index + 1) % SAMPLES);
}

void diagnostics_store_stat(const char* name, uint32_t value) {
    const uintptr_t key = keyOf(name);
    auto it = stats().find(key);
    if (it == stats().end()) {
        diagnostics_stat stat = newStat(key, name, 31, KIND_VALUE);
        stat.samples[0] = value;
        stat.maximum = value;
        stats().emplace(key, stat);
        return;
    }
    it->second.samples[0] = value;
    it->second.maximum = std::max(it->second.maximum, value);
}

void diagnostics_draw() {
    if (Diagnostics.state != DIAGNOSTICS_PAGE) {
        return;
    }
    console_t* console = &diagnostics_console();
    const diagnostics_t& d = Diagnostics;
    console_clear(console);
    console_print(console, GREY_TEXT);
    console_print(console, fmt("Stack %u/%u, %u%%, Heap %u/%u, %u%%\n", d.stack_used, d.stack_size,
                               percent(d.stack_used, d.stack_size), d.heap_used, d.heap_size,
                               percent(d.heap_used, d.heap_size)));
    console_print(console, BLUE_BACK);
    console_print(console, GREY_TEXT);
    console_print(console, "Name                              Current   Maximum\n");
    console_print(console, BLACK_BACK);
    console_print(console, GREY_TEXT);
    for (const auto& [key, stat] : stats()) {
        console_print(console, fmt("%-32s%9u %9u\n", stat.name, currentValue(stat), stat.maximum));
    }
}

} // namespace tdx
