// The simulated control unit on a pseudo-terminal: prints the slave path on its first line, then runs the bus
// master with an installation until SIGINT or SIGTERM, printing every value the display publishes.
//
//   simcu [--installation FILE] [--link PATH] [--no-echo] [--no-pacing] [--quiet] [update options]
//
// --link PATH makes PATH a symbolic link to the pseudo-terminal (replacing a link there) and removes it at
// the exit while it still points there: a program given PATH finds a simulator started again with the same
// link. The update options describe the unit as an updatable device (see USAGE).
//
// Bytes cross the pseudo-terminal at 57600 baud, as on the wire, unless --no-pacing. Its output never holds
// up the bus: a line that a full pipe or a stopped terminal will not take now is dropped and counted.
#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "Libraries/link_bus/tnet_packet.h"
#include "Libraries/tavi_net/tnet.h"
#include "tools/simcu/installation.h"
#include "tools/simcu/port_link.h"
#include "tools/simcu/sim_behaviour.h"
#include "tools/simcu/sim_installer.h"
#include "tools/simcu/simcu.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <set>
#include <string>
#include <unistd.h>
#include <utility>

namespace {

volatile std::sig_atomic_t sStop = 0;

const char* const USAGE =
    "usage: simcu [--installation FILE] [--link PATH] [--no-echo] [--no-pacing] [--quiet] [--help]\n"
    "             [--hw CODE] [--hw-version N] [--sw CODE] [--version MAJOR.MINOR] [--variant N]\n"
    "             [--restart-ms N] [--restart-seconds N] [--bootloader-restart-ms N]\n"
    "             [--start-in-bootloader] [--never-answer]\n"
    "             [--stay-down] [--silent-after CHUNKS] [--fault STATUS[@CHUNK]] [--app-fails]\n"
    "             [--installer WORD]... [--refuse OID:VID]...\n"
    "The unit is an updatable device (hardware and software HM316, version 1.0): --version 0.0 plays a\n"
    "corrupted application; --restart-ms is how long the bus stays silent on a restart (1500), shorter than\n"
    "the --restart-seconds it announces (3) unless it plays a unit slower than it says;\n"
    "--bootloader-restart-ms is the restart into the bootloader alone (as --restart-ms when not given);\n"
    "--never-answer leaves bootloader requests unanswered;\n"
    "--stay-down never comes back from the restart into the bootloader; --silent-after stops answering\n"
    "after that many data chunks; --fault answers UPGRADE_START (or data chunk CHUNK, from 0) with STATUS;\n"
    "--app-fails keeps the bootloader running after the upgrade.\n"
    "--link PATH makes PATH a symbolic link to the pseudo-terminal (a link already there is replaced, any\n"
    "other file is left alone and the simulator does not start) and removes it at the exit while it still\n"
    "points there: a program given PATH as its port finds a simulator started again with the same link.\n"
    "--refuse OID:VID (object and value id in hexadecimal, 01000316:801A) refuses every write of that value\n"
    "the display sends (NACK 3) and keeps what it holds.\n"
    "The installer's enrolment, removal and profile change are answered after a short delay:\n";

bool parseNumber(const char* text, unsigned long max, unsigned long& out) {
    char* end = nullptr;
    out = std::strtoul(text, &end, 10);
    return end != text && *end == '\0' && out <= max;
}

// "A.B" or "A@B": two numbers; without the separator the second stays as it is.
bool parsePair(const char* text, char separator, unsigned long& first, unsigned long& second) {
    const char* split = std::strchr(text, separator);
    if (split == nullptr) {
        return parseNumber(text, 255, first);
    }
    return parseNumber(std::string(text, split).c_str(), 255, first) && parseNumber(split + 1, 255, second);
}

// "OID:VID", both hexadecimal: one value of the installation.
bool parseValueId(const char* text, std::pair<uint32_t, uint16_t>& out) {
    const char* split = std::strchr(text, ':');
    if (split == nullptr || split == text || split[1] == '\0') {
        return false;
    }
    const std::string oid(text, split);
    char* end = nullptr;
    const unsigned long object = std::strtoul(oid.c_str(), &end, 16);
    if (*end != '\0' || object > 0xFFFFFFFFul) {
        return false;
    }
    const unsigned long value = std::strtoul(split + 1, &end, 16);
    if (*end != '\0' || value > 0xFFFFul) {
        return false;
    }
    out = {static_cast<uint32_t>(object), static_cast<uint16_t>(value)};
    return true;
}

void setCode(char (&field)[5], const char* code) {
    std::memset(field, 0, sizeof field);
    std::memcpy(field, code, std::min<size_t>(sizeof field, std::strlen(code)));
}

// One update option at argv[i] (its value taken from argv[i + 1]); false when it is none or malformed.
bool parseUpdateOption(int argc, char** argv, int& i, tdx::sim::SimBootloader::Config& bl) {
    const std::string option = argv[i];
    if (option == "--start-in-bootloader") {
        bl.startInBootloader = true;
    } else if (option == "--never-answer") {
        bl.neverAnswer = true;
    } else if (option == "--stay-down") {
        bl.stayDown = true;
    } else if (option == "--app-fails") {
        bl.stayInBootloaderAfterUpgrade = true;
    } else {
        if (i + 1 >= argc) {
            return false;
        }
        const char* value = argv[++i];
        unsigned long a = 0;
        unsigned long b = 0;
        if (option == "--hw" || option == "--sw") {
            setCode(option == "--hw" ? bl.info.hw_code : bl.info.sw_code, value);
        } else if (option == "--hw-version" && parseNumber(value, 255, a)) {
            bl.info.hw_version = static_cast<uint8_t>(a);
        } else if (option == "--variant" && parseNumber(value, 255, a)) {
            bl.info.variant = static_cast<uint8_t>(a);
        } else if (option == "--version" && parsePair(value, '.', a, b)) {
            bl.info.sw_major = static_cast<uint8_t>(a);
            bl.info.sw_minor = static_cast<uint8_t>(b);
        } else if (option == "--restart-ms" && parseNumber(value, 600000, a)) {
            bl.restartMs = static_cast<uint32_t>(a);
        } else if (option == "--bootloader-restart-ms" && parseNumber(value, 600000, a)) {
            bl.bootloaderRestartMs = static_cast<uint32_t>(a);
        } else if (option == "--restart-seconds" && parseNumber(value, 65535, a)) {
            bl.maxRestartSeconds = static_cast<uint16_t>(a);
        } else if (option == "--silent-after" && parseNumber(value, 1000000, a)) {
            bl.silentAfterChunks = static_cast<int>(a);
        } else if (option == "--fault" && parsePair(value, '@', a, b) && a != 0) {
            bl.faultStatus = static_cast<uint8_t>(a);
            bl.faultAtChunk = std::strchr(value, '@') ? static_cast<int>(b) : -1;
        } else {
            return false;
        }
    }
    return true;
}

// Output on a non-blocking descriptor: whole lines or nothing, and a count of what was dropped.
class Printer {
public:
    explicit Printer(int fd)
        : mFd(fd)
        , mFlags(fcntl(fd, F_GETFL)) {
        if (mFlags >= 0) {
            fcntl(fd, F_SETFL, mFlags | O_NONBLOCK);
        }
    }
    ~Printer() {
        if (mFlags >= 0) {
            fcntl(mFd, F_SETFL, mFlags);
        }
    }
    void print(const std::string& text) {
        if (mDropped != 0) {
            const std::string note = "(" + std::to_string(mDropped) + " lines dropped)\n";
            if (!put(note)) {
                ++mDropped;
                return;
            }
            mDropped = 0;
        }
        if (!put(text)) {
            ++mDropped;
        }
    }

private:
    // A line cut short by a full pipe is finished with a line end, so that the next one starts clean.
    bool put(const std::string& text) {
        const ssize_t n = ::write(mFd, text.data(), text.size());
        if (n == static_cast<ssize_t>(text.size())) {
            return true;
        }
        if (n > 0) {
            (void)!::write(mFd, "\n", 1);
        }
        return false;
    }
    int mFd;
    int mFlags;
    unsigned long mDropped = 0;
};

Printer* sOut = nullptr;
Printer* sTrace = nullptr;

void on_signal(int) {
    sStop = 1;
}

// "PUBLISH 000316:01 vid 801C type 18 = 2150" (numbers), "= \"Kitchen\"" (text), "= 170 bytes" (data).
void print_publish(const tdx::sim::SimPublish& publish) {
    std::string value;
    if (tdx::tnet_value_size(publish.value.type) > 0) {
        value = std::to_string(publish.value.number());
    } else if (!publish.value.valid) {
        value = "no value";
    } else if (publish.value.type == 15) {
        value = "\"" + std::string(publish.value.bytes.begin(), publish.value.bytes.end()) + "\"";
    } else {
        value = std::to_string(publish.value.bytes.size()) + " bytes";
    }
    char line[96];
    std::snprintf(line, sizeof line, "PUBLISH %06X:%02X vid %04X type %u = ", publish.oid & 0xFFFFFFu,
                  publish.oid >> 24, publish.vid, publish.value.type);
    sOut->print(line + value + "\n");
}

} // namespace

int main(int argc, char** argv) {
    using namespace tdx;
    bool echo = true;
    bool pacing = true;
    std::string path = sim::sim_default_installation_path();
    std::string link;
    sim::SimConfig config;
    sim::SimInstallerConfig installerConfig;
    std::set<std::pair<uint32_t, uint16_t>> refused;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-echo") == 0) {
            echo = false;
        } else if (std::strcmp(argv[i], "--no-pacing") == 0) {
            pacing = false;
        } else if (std::strcmp(argv[i], "--quiet") == 0) {
            dbg_set_enabled(false);
        } else if (std::strcmp(argv[i], "--installation") == 0 && i + 1 < argc) {
            path = argv[++i];
        } else if (std::strcmp(argv[i], "--link") == 0 && i + 1 < argc) {
            link = argv[++i];
        } else if (std::strcmp(argv[i], "--installer") == 0 && i + 1 < argc) {
            if (!sim::sim_installer_option(argv[++i], installerConfig)) {
                std::fprintf(stderr, "simcu: unknown --installer %s\n%s", argv[i], sim::sim_installer_help());
                return 2;
            }
        } else if (std::strcmp(argv[i], "--refuse") == 0 && i + 1 < argc) {
            std::pair<uint32_t, uint16_t> value;
            if (!parseValueId(argv[++i], value)) {
                std::fprintf(stderr, "simcu: --refuse takes OID:VID in hexadecimal, not %s\n", argv[i]);
                return 2;
            }
            refused.insert(value);
        } else if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(USAGE, stdout);
            std::fputs(sim::sim_installer_help(), stdout);
            return 0;
        } else if (!parseUpdateOption(argc, argv, i, config.bootloader)) {
            std::fputs(USAGE, stderr);
            return 2;
        }
    }
    // A unit slower than it announces breaks its promise on purpose: said, not refused.
    if (std::max(config.bootloader.restartMs, config.bootloader.bootloaderRestartMs) >=
        config.bootloader.maxRestartSeconds * 1000u) {
        std::fprintf(stderr,
                     "simcu: its restarts take longer than the %u s it announces (--restart-seconds)\n",
                     unsigned{config.bootloader.maxRestartSeconds});
    }
    std::string error;
    auto installation = sim::sim_load_installation(path, &error);
    if (!installation) {
        std::fprintf(stderr, "simcu: %s\n", error.c_str());
        return 1;
    }

    struct sigaction action {};
    action.sa_handler = on_signal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    sim::PtyStream stream;
    if (!stream.isOpen()) {
        std::fprintf(stderr, "simcu: no pseudo-terminal\n");
        return 1;
    }
    stream.setEcho(echo);
    if (!link.empty()) {
        const std::string error = sim::sim_link_port(link, stream.slavePath());
        if (!error.empty()) {
            std::fprintf(stderr, "simcu: --link: %s\n", error.c_str());
            return 1;
        }
    }
    std::printf("%s\n", stream.slavePath().c_str());
    std::fflush(stdout);
    Printer out(STDOUT_FILENO);
    Printer trace(STDERR_FILENO);
    sOut = &out;
    sTrace = &trace;
    dbg_set_output([](const char* text, size_t length) { sTrace->print(std::string(text, length)); });

    config.address = installation->address;
    config.keepLast = 0;
    sim::WireStream wire(stream);
    sim::SimControlUnit unit(pacing ? static_cast<sim::IByteStream&>(wire) : stream, config);
    unit.model() = std::move(installation->model);
    unit.faults().refusedWrites = refused;
    if (installation->client) {
        // Known from before: a display that is not learning (the simulator restarted under it, as a control
        // unit restarts) is connected again.
        unit.knowClient(*installation->client, true);
    }
    sim::SimBehaviour behaviour(unit);
    sim::SimInstaller installer(unit, installerConfig);
    unit.setReceiveListener([&](uint8_t cmd, const std::vector<uint8_t>& payload) {
        if (cmd == TNET_CMD_PUBLISH) {
            if (const auto publish = sim::sim_decode_publish(payload.data(), payload.size())) {
                print_publish(*publish);
            }
        }
        behaviour.received(cmd, payload);
        installer.received(cmd, payload);
    });

    using Clock = std::chrono::steady_clock;
    auto last = Clock::now();
    while (!sStop) {
        pollfd fd{stream.fd(), POLLIN, 0};
        poll(&fd, 1, 5);
        // The master's timers run on the platform clock; here it follows real time.
        const auto now = Clock::now();
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - last).count();
        if (elapsed > 0) {
            os_clock_advance(static_cast<uint64_t>(elapsed));
            last += std::chrono::milliseconds(elapsed);
        }
        unit.step();
        behaviour.step();
    }
    dbg_set_output(nullptr);
    sim::sim_unlink_port(link, stream.slavePath());
    trace.print("\nsimcu: stopped\n");
    return 0;
}
