// The screen monkey: any state id of the screen registry, built or not, on the simulated control unit's
// default installation or on a few crafted objects, under a stream of steps decoded from bytes - presses,
// moves and releases, ticks, values and objects from the control unit, network events and popup answers.
// After every step the screens must still be sound: no assertion (and, in the sanitizer builds, no report),
// exactly one screen alive, no control left pressed once the finger is up, every component inside the screen.
//
// It drives the program's own registry, so screens added to the registry are covered without a change here.
//
// The input, every byte read past its end being 0:
//   byte 0   the state id, modulo the registry's size plus one (the last: an id beyond the registry)
//   byte 1   the state: bits 0-2 its class (plain, text, schedule, value handle, id list), bit 3 parameter 1
//            raw (otherwise an object id of the tree), bit 4 parameters 2 to 4 raw (otherwise 0)
//   byte 2   the scene: bits 0-1 the installation (default, the two roots only, crafted objects without
//            values, crafted objects at their no-value markers), bits 2-3 the network (synchronised,
//            connected and subscribing, not connected), bits 4-5 the language
//   then     the state's parameters, then steps until the input ends: an opcode byte and its operands
//            (see Op in screen_monkey.cpp)
#pragma once

#include "SourceApp/gui/core/Core.h"

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>

namespace tdx::test {

// Where the monkey's bytes come from: a fuzzer's input and then zeros, or given bytes and then a seeded
// generator without end.
class MonkeyBytes {
public:
    MonkeyBytes(const uint8_t* data, size_t size)
        : mData(data)
        , mSize(size) {}
    MonkeyBytes(const uint8_t* data, size_t size, uint32_t seed)
        : mData(data)
        , mSize(size)
        , mRandom(seed)
        , mEndless(true) {}

    // True once a finite input is used up; an endless source never is.
    bool exhausted() const { return !mEndless && mAt >= mSize; }
    uint8_t u8();
    uint16_t u16();
    uint32_t u32();

private:
    const uint8_t* mData = nullptr;
    size_t mSize = 0;
    size_t mAt = 0;
    std::mt19937 mRandom;
    bool mEndless = false;
};

struct MonkeyVerdict {
    bool sound = true;
    unsigned steps = 0;
    // What broke, on which screen, after which steps.
    std::string report;
};

// Runs the scene and at most maxSteps steps from the bytes on a fresh application object and harness, and
// leaves nothing of them behind. The screens come from the program's registry unless another is given.
MonkeyVerdict runScreenMonkey(MonkeyBytes& bytes, unsigned maxSteps,
                              Core::ChangeStateCallback registry = nullptr);
MonkeyVerdict runScreenMonkey(const uint8_t* data, size_t size);

} // namespace tdx::test
