#include "SourceApp/storage/HwProfile.h"

#include "Libraries/base/i18n.h"

namespace tdx {
namespace HMU316 {
namespace {

using HwProfile::Profile;

// By id; the two bytes are the number of inlet temperature controllers and whether hot water is served.
const Profile kProfiles[PROFILE_COUNT] = {
    {0, N_("1.0 District heating"), 0, 0},
    {1, N_("1.1 Boiler / Heat Pump ON/OFF"), 0, 0},
    {2, N_("1.2 Condensing boiler 0-10V"), 0, 0},
    {3, N_("1.3.1 District heating, 1 ITC"), 1, 0},
    {4, N_("1.3.2 District heating, 2 ITCs"), 2, 0},
    {5, N_("2.1 District heating, Mirelo, 2 ITCs"), 2, 0},
    {6, N_("2.2.1 Condensing boiler, 1 ITC"), 1, 0},
    {7, N_("3.3.0 Heat Pump with Manual H/C change-over"), 0, 0},
    {8, N_("3.3.1 Heat Pump with Automatic H/C change-over"), 0, 0},
    {9, N_("3.3.2 Heat Pump, 1 ITC, Manual H/C change-over"), 1, 0},
    {10, N_("3.3.3 Heat Pump, 1 ITC, Automatic H/C change-over"), 1, 0},
    {11, N_("2.2.2 Condensing boiler, 2 ITCs"), 2, 0},
    {12, N_("1.0.1 District heating with DHW"), 0, 1},
    {13, N_("1.1.1 Boiler / Heat Pump ON/OFF with DHW"), 0, 1},
};

// The Mirelo profile (5) is left out of the choice.
constexpr u32 kOffered[OFFERED_PROFILE_COUNT] = {0, 12, 1, 13, 2, 3, 4, 6, 11, 7, 8, 9, 10};

} // namespace

const HwProfile::IProfile* findProfile(u32 id) {
    return id < PROFILE_COUNT ? &kProfiles[id] : nullptr;
}

Device::Device() {
    for (size_t i = 0; i < OFFERED_PROFILE_COUNT; ++i) {
        mProfiles[i] = &kProfiles[kOffered[i]];
    }
}

} // namespace HMU316
} // namespace tdx
