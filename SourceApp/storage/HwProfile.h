// Hardware profiles of the control unit: how its terminals are used. The installer picks one of those that
// HMU316::Device offers.
#pragma once

#include "SourceApp/big_table/bt_types.h"

#include <cstddef>

namespace tdx {
namespace HwProfile {

struct TerminalAssignment {
    u8 terminal;
    u8 function;
};

class IProfile {
public:
    virtual ~IProfile() {}
    virtual u32 getId() const = 0;
    virtual const char* getName() const = 0;
    virtual const char* getDescription() const = 0;
    virtual u8 getItcCount() const = 0;
    virtual u8 getHotWater() const = 0;
    virtual const TerminalAssignment* getAssignments() const = 0;
    virtual size_t getAssignmentCount() const = 0;
};

// A profile described by constants.
class Profile final : public IProfile {
public:
    constexpr Profile(u32 id, const char* name, u8 itcCount, u8 hotWater)
        : mId(id)
        , mName(name)
        , mItcCount(itcCount)
        , mHotWater(hotWater) {}
    u32 getId() const override { return mId; }
    const char* getName() const override { return mName; }
    const char* getDescription() const override { return ""; }
    u8 getItcCount() const override { return mItcCount; }
    u8 getHotWater() const override { return mHotWater; }
    const TerminalAssignment* getAssignments() const override { return nullptr; }
    size_t getAssignmentCount() const override { return 0; }

private:
    u32 mId;
    const char* mName;
    u8 mItcCount;
    u8 mHotWater;
};

} // namespace HwProfile

namespace HMU316 {

constexpr size_t PROFILE_COUNT = 14;
constexpr size_t OFFERED_PROFILE_COUNT = 13;

// Every profile of the control unit, by id; null for an unknown id.
const HwProfile::IProfile* findProfile(u32 id);

// The profiles offered to the installer, in the order they are shown.
class Device {
public:
    using const_iterator = const HwProfile::IProfile* const*;

    Device();
    const_iterator begin() const { return mProfiles; }
    const_iterator end() const { return mProfiles + OFFERED_PROFILE_COUNT; }

private:
    const HwProfile::IProfile* mProfiles[OFFERED_PROFILE_COUNT];
};

} // namespace HMU316
} // namespace tdx
