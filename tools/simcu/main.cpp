// The simulated control unit on a pseudo-terminal: prints the slave path on its first line, then runs the bus
// master with an installation until SIGINT or SIGTERM, printing every value the display publishes.
//
//   simcu [--installation FILE] [--no-echo] [--quiet]
#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "Libraries/link_bus/tnet_packet.h"
#include "Libraries/tavi_net/tnet.h"
#include "tools/simcu/installation.h"
#include "tools/simcu/sim_behaviour.h"
#include "tools/simcu/simcu.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <string>

namespace {

volatile std::sig_atomic_t sStop = 0;

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
    std::printf("PUBLISH %06X:%02X vid %04X type %u = %s\n", publish.oid & 0xFFFFFFu, publish.oid >> 24,
                publish.vid, publish.value.type, value.c_str());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    using namespace tdx;
    bool echo = true;
    std::string path = sim::sim_default_installation_path();
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-echo") == 0) {
            echo = false;
        } else if (std::strcmp(argv[i], "--quiet") == 0) {
            dbg_set_enabled(false);
        } else if (std::strcmp(argv[i], "--installation") == 0 && i + 1 < argc) {
            path = argv[++i];
        } else {
            std::fprintf(stderr, "usage: simcu [--installation FILE] [--no-echo] [--quiet]\n");
            return 2;
        }
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
    std::printf("%s\n", stream.slavePath().c_str());
    std::fflush(stdout);

    sim::SimConfig config;
    config.address = installation->address;
    sim::SimControlUnit unit(stream, config);
    unit.model() = std::move(installation->model);
    sim::SimBehaviour behaviour(unit);
    unit.setReceiveListener([&](uint8_t cmd, const std::vector<uint8_t>& payload) {
        if (cmd == TNET_CMD_PUBLISH) {
            if (const auto publish = sim::sim_decode_publish(payload.data(), payload.size())) {
                print_publish(*publish);
            }
        }
        behaviour.received(cmd, payload);
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
    std::fprintf(stderr, "\nsimcu: stopped\n");
    return 0;
}
