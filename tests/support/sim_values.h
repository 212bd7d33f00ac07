// What the simulated control unit holds, read by a test. A value the unit does not hold is a failure that
// names it, never a read of an empty optional; in a wait it is simply not there yet. `unit` is anything with
// value(oid, vid) giving a std::optional<sim::SimValue>: the simulator or its model.
#pragma once

#include "tools/simcu/sim_model.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ios>
#include <optional>
#include <source_location>
#include <utility>
#include <vector>

namespace tdx::test {

// The value at oid/vid; one the unit does not hold fails the test at the caller's line and reads as an
// invalid value without bytes.
template <class Unit>
sim::SimValue heldValue(const Unit& unit, uint32_t oid, uint16_t vid,
                        std::source_location where = std::source_location::current()) {
    if (std::optional<sim::SimValue> value = unit.value(oid, vid)) {
        return *std::move(value);
    }
    ADD_FAILURE_AT(where.file_name(), static_cast<int>(where.line()))
        << "the unit holds no value " << std::hex << vid << " of object " << oid;
    sim::SimValue missing;
    missing.valid = false;
    return missing;
}

// The number at oid/vid; one the unit does not hold fails the test as above and reads as 0.
template <class Unit>
int64_t heldNumber(const Unit& unit, uint32_t oid, uint16_t vid,
                   std::source_location where = std::source_location::current()) {
    return heldValue(unit, oid, vid, where).number();
}

// For a wait: whether the unit holds this number (or these bytes) at oid/vid yet.
template <class Unit>
bool holds(const Unit& unit, uint32_t oid, uint16_t vid, int64_t number) {
    const std::optional<sim::SimValue> value = unit.value(oid, vid);
    return value && value->number() == number;
}
template <class Unit>
bool holds(const Unit& unit, uint32_t oid, uint16_t vid, const std::vector<uint8_t>& bytes) {
    const std::optional<sim::SimValue> value = unit.value(oid, vid);
    return value && value->bytes == bytes;
}

} // namespace tdx::test
