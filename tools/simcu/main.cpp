// The simulated control unit on a pseudo-terminal: prints the slave path on its first line, then runs the bus
// master until SIGINT or SIGTERM.
//
//   simcu [--no-echo] [--quiet]
#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "tools/simcu/simcu.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <poll.h>

namespace {

volatile std::sig_atomic_t sStop = 0;

void on_signal(int) {
    sStop = 1;
}

} // namespace

int main(int argc, char** argv) {
    using namespace tdx;
    bool echo = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-echo") == 0) {
            echo = false;
        } else if (std::strcmp(argv[i], "--quiet") == 0) {
            dbg_set_enabled(false);
        } else {
            std::fprintf(stderr, "usage: simcu [--no-echo] [--quiet]\n");
            return 2;
        }
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

    sim::SimControlUnit unit(stream);
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
    }
    std::fprintf(stderr, "\nsimcu: stopped\n");
    return 0;
}
