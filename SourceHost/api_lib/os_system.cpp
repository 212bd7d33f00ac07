// Start-up of the desktop port: the device-information record and the broken-down wall clock.
#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "Libraries/base/timestamp.h"
#include "SourceHost/api_lib/device_info.h"
#include "SourceHost/config/config_store.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace tdx {

namespace {

constexpr const char* ADDRESS_VARIABLE = "TDX410_ADDRESS";
constexpr const char* TRACE_VARIABLE = "TDX410_TRACE";
constexpr uint32_t LAST_ADDRESS = 0xFFFFFE; // 0xFFFFFF addresses everybody

constexpr uint8_t VERSION_MAJOR = 1;
constexpr uint8_t VERSION_MINOR = 0; // non-zero only for pre-release software
constexpr uint8_t BUILD = 0;         // 0: a release build

hw_descr_t sHardware = {
    .hw_code = {'T', 'D', '4', '1', '0'},
    .hw_version = 1,
    .sw_code = {'T', 'D', '4', '1', '0'},
    .variant = 0,
    .serial = DEFAULT_NETWORK_ADDRESS,
    .serial_prefix = 1530,
    .flags = 0,
    .reserved = 0,
    .network_address = DEFAULT_NETWORK_ADDRESS,
};

const sw_descr_t sSoftware = {
    .magic = {'S', 'W', 'D', '1'},
    .sw_code = {'T', 'D', '4', '1', '0'},
    .reserved = {},
    .descr_version = 1,
    .version_major = VERSION_MAJOR,
    .version_minor = VERSION_MINOR,
    .build = BUILD,
    .build_time = 0, // not recorded, so that builds are reproducible
    .image_crc = 0,  // the desktop program has no firmware image
};

const bl_descr_t sBootloader = {
    .magic = {'T', 'B'},
    .protocol_version = 1,
    .bl_version = 1,
    .reserved = {},
};

void takeAddressFromEnvironment() {
    const char* text = std::getenv(ADDRESS_VARIABLE);
    if (text == nullptr || text[0] == '\0') {
        return;
    }
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(text, &end, 16);
    if (errno != 0 || end == text || *end != '\0' || text[0] == '-' || value > LAST_ADDRESS || value == 0) {
        dbg_printf_h("%s='%s' rejected: expected a hexadecimal address 000001 to FFFFFE; using %06X",
                     ADDRESS_VARIABLE, text, sHardware.network_address);
        return;
    }
    os_set_network_address(static_cast<uint32_t>(value));
}

std::mutex sTraceLock;
std::FILE* sTraceFile = nullptr;

void writeTraceFile(const char* text, size_t length) {
    std::lock_guard<std::mutex> lock(sTraceLock);
    if (sTraceFile != nullptr) {
        std::fwrite(text, 1, length, sTraceFile);
        // Flushed at once: the trace is read most when the program has just died.
        std::fflush(sTraceFile);
    }
}

// Trace goes to stderr, or is appended to the file named by TDX410_TRACE.
void routeTrace() {
    const char* path = std::getenv(TRACE_VARIABLE);
    std::FILE* file = nullptr;
    if (path != nullptr && path[0] != '\0') {
        file = std::fopen(path, "ab");
        if (file == nullptr) {
            dbg_printf_h("%s=%s cannot be opened (%s): tracing to stderr", TRACE_VARIABLE, path,
                         std::strerror(errno));
        }
    }
    std::lock_guard<std::mutex> lock(sTraceLock);
    if (sTraceFile != nullptr) {
        std::fclose(sTraceFile);
        sTraceFile = nullptr;
        dbg_set_output(nullptr);
    }
    if (file != nullptr) {
        sTraceFile = file;
        dbg_set_output(writeTraceFile);
    }
}

} // namespace

device_info_t DI = {nullptr, nullptr, nullptr};

int os_set_network_address(uint32_t address) {
    if (address == 0 || address > LAST_ADDRESS) {
        dbg_printf_h("network address %X rejected: expected 000001 to FFFFFE", address);
        return -1;
    }
    sHardware.network_address = address;
    sHardware.serial = address;
    return 0;
}

void os_init() {
    // The critical section is a function-local static of the core: ready before its first use.
    routeTrace();
    takeAddressFromEnvironment();
    DI.bl = reinterpret_cast<const uint8_t*>(&sBootloader);
    DI.hw = &sHardware;
    DI.sw = &sSoftware;
    dbg_printf_h("DEVICE %06X", DI.hw->network_address);
}

void os_time_tm(struct tm* out) {
    if (out == nullptr) {
        return;
    }
    // The daylight flag moves the clock by one hour whatever the season: the record knows no rule.
    const bool daylight = Configuration.daylight_saving != 0;
    timestamp_broke(out, static_cast<time_t>(os_time() + (daylight ? 3600 : 0)));
    out->tm_isdst = daylight ? 1 : 0;
}

} // namespace tdx
