// The descriptors the screens bind by name, each with the value id the screen expects. A name or an id that
// drifts from this list fails the build here, not in the screen that needs it.
#include "SourceApp/storage/values/Catalogue.h"

#include <cstddef>

namespace tdx::DataModel {
namespace {

namespace I = Implementation;

struct Named {
    const Descriptor::VidBase& descriptor;
    u16 vid;
};

constexpr Named kScreenNames[] = {
    {I::DHW::TempDesired, 0x0031},
    {I::DHW::TempSet, 0x8094},
    {I::DHW::TempSpanMax, 0x8093},
    {I::DHW::TempSpanMin, 0x8092},
    {I::DHWTank::AllowStandby, 0x8113},
    {I::DHWTank::AllowVacationAway, 0x808D},
    {I::DHWTank::CleaningInterval, 0x811A},
    {I::DHWTank::CleaningPeriod, 0x811B},
    {I::DHWTank::CleaningTimeBeforeFail, 0x811C},
    {I::DHWTank::Schedule, 0x808B},
    {I::DHWTank::TankDesiredTemp, 0x0062},
    {I::DHWTank::TankState, 0x0060},
    {I::DHWTank::TankTemp, 0x0061},
    {I::DHWTank::TempSetCleaning, 0x8118},
    {I::DHWTank::TempSetComfort, 0x8115},
    {I::DHWTank::TempSetEco, 0x8114},
    {I::DHWTank::TempSetStandby, 0x8116},
    {I::DHWTank::TempSetVacation, 0x8117},
    {I::General::ObjectName, 0x8090},
    {I::General::OutdoorTemperature, 0x0036},
    {I::HCC::ActualInletTemperature, 0x003E},
    {I::HCC::Curve, 0x0056},
    {I::HCC::CurveDesignInletTemperature, 0x8107},
    {I::HCC::CurveDesignOutdoorTemperature, 0x8109},
    {I::HCC::CurveDesignRoomTemperature, 0x8108},
    {I::HCC::CurveManual, 0x8105},
    {I::HCC::CurveType, 0x8104},
    {I::HCC::DesiredInletTemperature, 0x003A},
    {I::HCC::GainWithoutThermostat, 0x810A},
    {I::HCC::HotcoTemperature, 0x810B},
    {I::HCC::HtcoMode, 0x80F9},
    {I::HCC::HtcoTemperature, 0x80F6},
    {I::HCC::HtcoTemperatureRelative, 0x8101},
    {I::HCC::MaxInletTemperature, 0x8103},
    {I::HCC::MinInletTemperature, 0x8102},
    {I::HCC::ParallelDisplacement, 0x8106},
    {I::HCC::State, 0x0065},
    {I::ITC::ActualInletTemperature, 0x003E},
    {I::ITC::ActualReturnTemperature, 0x003F},
    {I::ITC::BoostMode, 0x80CF},
    {I::ITC::BoostPercent, 0x80D0},
    {I::ITC::ConsumersList, 0x80B8},
    {I::ITC::Curve, 0x003D},
    {I::ITC::CurveDesignInletTemperature, 0x80C5},
    {I::ITC::CurveDesignOutdoorTemperature, 0x80C7},
    {I::ITC::CurveDesignRoomTemperature, 0x80C6},
    {I::ITC::CurveManual, 0x80C9},
    {I::ITC::CurveType, 0x80C8},
    {I::ITC::DesiredInletTemperature, 0x003B},
    {I::ITC::FrostProtectionTemperature, 0x80D6},
    {I::ITC::GainMaxReturnTemperature, 0x80CD},
    {I::ITC::GainMinReturnTemperature, 0x80CE},
    {I::ITC::GainWithoutThermostat, 0x80C4},
    {I::ITC::HotcoTemperature, 0x80C3},
    {I::ITC::HtcoTemperature, 0x8059},
    {I::ITC::MaxInletTemperature, 0x8064},
    {I::ITC::MaxReturnTemperature, 0x80CB},
    {I::ITC::MinInletTemperature, 0x8063},
    {I::ITC::MinReturnTemperature, 0x80CC},
    {I::ITC::ParallelDisplacement, 0x8066},
    {I::ITC::PriorityOverInletTemperature, 0x80DB},
    {I::ITC::RampingMode, 0x80D1},
    {I::ITC::RampingTime, 0x80D2},
    {I::ITC::RegulatorHysteresis, 0x80D9},
    {I::ITC::RegulatorIvalue, 0x80D8},
    {I::ITC::RegulatorPvalue, 0x80D7},
    {I::ITC::ReturnTemperatureLimiterMode, 0x80CA},
    {I::Location::FilteredOutdoorTemperature, 0x0028},
    {I::Location::HcCoolingMinimumOutsideTemperature, 0x80FF},
    {I::Location::HcMode, 0x803D},
    {I::Location::HcModeDeadband, 0x80FB},
    {I::Location::HcModeDewPointOffset, 0x8100},
    {I::Location::HcModeSwitchCooldown, 0x80FC},
    {I::Location::HcModeSwitching, 0x8076},
    {I::Location::Standby, 0x8087},
    {I::Location::Vacation, 0x8085},
    {I::Location::VacationEndTime, 0x8086},
    {I::Output::Analog::AnalogHighTemperature, 0x80A2},
    {I::Output::Analog::AnalogHighVoltage, 0x80F7},
    {I::Output::Analog::AnalogIdleVoltage, 0x810F},
    {I::Output::Analog::AnalogLowTemperature, 0x80A1},
    {I::Output::Analog::AnalogLowVoltage, 0x80F8},
    {I::Output::Analog::AnalogThreshold, 0x80A3},
    {I::Output::Analog::ServiceValue, 0x80A6},
    {I::Output::Analog::Value, 0x004C},
    {I::Output::DelayedStart, 0x80A7},
    {I::Output::DelayedStop, 0x80A8},
    {I::Output::RelayFunction, 0x80E7},
    {I::Output::ServiceMode, 0x80A5},
    {I::Output::SourceMaxValue, 0x80A2},
    {I::Output::SourceMinValue, 0x80A1},
    {I::Output::Value, 0x004C},
    {I::Output::ValueSource, 0x80A0},
    {I::Room::AllowVacationAway, 0x8084},
    {I::Room::HumCtrlEnabled, 0x8083},
    {I::Room::HumCtrlHysteresis, 0x803B},
    {I::Room::HumCtrlSetManual, 0x803A},
    {I::Room::HumCtrlState, 0x001E},
    {I::Room::TempCtrlCoolTempHysteresis, 0x8034},
    {I::Room::TempCtrlCoolTempSetComfort, 0x802F},
    {I::Room::TempCtrlCoolTempSetEco, 0x802E},
    {I::Room::TempCtrlCoolTempSetExtraComfort, 0x8030},
    {I::Room::TempCtrlCoolTempSetStandby, 0x8082},
    {I::Room::TempCtrlCoolTempSetVacation, 0x8032},
    {I::Room::TempCtrlCoolTempSpanMax, 0x802C},
    {I::Room::TempCtrlCoolTempSpanMin, 0x802B},
    {I::Room::TempCtrlFloorTempAlarmHigh, 0x80F4},
    {I::Room::TempCtrlFloorTempAlarmLow, 0x80F3},
    {I::Room::TempCtrlHeatAdaptiveModeEna, 0x8016},
    {I::Room::TempCtrlHeatFloorTempHysteresis, 0x8078},
    {I::Room::TempCtrlHeatFloorTempLimitMaxComfort, 0x8080},
    {I::Room::TempCtrlHeatFloorTempLimitMaxEco, 0x8079},
    {I::Room::TempCtrlHeatFloorTempLimitMaxExtraComfort, 0x8081},
    {I::Room::TempCtrlHeatFloorTempLimitMinComfort, 0x8024},
    {I::Room::TempCtrlHeatFloorTempLimitMinEco, 0x8023},
    {I::Room::TempCtrlHeatFloorTempLimitMinExtraComfort, 0x8025},
    {I::Room::TempCtrlHeatRegulatedValSrc, 0x8014},
    {I::Room::TempCtrlHeatTempHysteresis, 0x8022},
    {I::Room::TempCtrlHeatTempSetComfort, 0x801C},
    {I::Room::TempCtrlHeatTempSetEco, 0x801B},
    {I::Room::TempCtrlHeatTempSetExtraComfort, 0x801D},
    {I::Room::TempCtrlHeatTempSetStandby, 0x8021},
    {I::Room::TempCtrlHeatTempSetVacation, 0x801F},
    {I::Room::TempCtrlHeatTempSpanMax, 0x8019},
    {I::Room::TempCtrlHeatTempSpanMin, 0x8018},
    {I::Room::TempCtrlTempAlarmHigh, 0x8011},
    {I::Room::TempCtrlTempAlarmLow, 0x8010},
    {I::Room::ThermAccessLevel, 0x8008},
};

// The index of the first entry whose descriptor has another id (the size when none has): the compiler shows
// it when the assertion fails.
template <size_t N>
consteval size_t firstWrongId(const Named (&names)[N]) {
    for (size_t i = 0; i < N; ++i) {
        if (names[i].descriptor.vid != names[i].vid) {
            return i;
        }
    }
    return N;
}

static_assert(firstWrongId(kScreenNames) == std::size(kScreenNames),
              "a descriptor the screens use has another id");

} // namespace
} // namespace tdx::DataModel
