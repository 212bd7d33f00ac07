// A test against the simulated control unit on an in-process converter pipe, both sides run on the shared
// fake clock, with every trace line caught from the fixture's start to its end.
#pragma once

#include "tests/support/sim_values.h"
#include "tests/support/trace_capture.h"
#include "tools/simcu/simcu.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tdx::test {

class SimLoopTest : public ::testing::Test {
protected:
    // `name` starts the pipe's name; a number makes it unique in the program. With a wire, the bytes cross it
    // at its line speed (and noise) between the pipe and the master.
    explicit SimLoopTest(const std::string& name, std::optional<sim::WireConfig> wire = std::nullopt)
        : mLoop(uniqueName(name))
        , mWire(wire ? std::make_unique<sim::WireStream>(mLoop, *wire) : nullptr)
        , mSim(mWire ? static_cast<sim::IByteStream&>(*mWire) : mLoop) {}

    // Runs both sides for ms milliseconds of fake time.
    // Both end with the display's last replies taken in by the master.
    void run(uint32_t ms) {
        mSim.wait_until([] { return false; }, ms);
        mSim.receive();
    }

    bool waitFor(const std::function<bool()>& predicate, uint32_t ms = 3000) {
        const bool met = mSim.wait_until(predicate, ms);
        mSim.receive();
        return met;
    }

    static size_t traceCount(const std::string& text) { return countOf(traceText(), text); }

    sim::LoopStream mLoop;
    std::unique_ptr<sim::WireStream> mWire;
    sim::SimControlUnit mSim;
    // Last, so that it catches nothing of the pipe's start and ends first.
    TraceCapture mTrace;

private:
    static std::string uniqueName(const std::string& name) {
        static int counter = 0;
        return name + std::to_string(++counter);
    }
};

} // namespace tdx::test
