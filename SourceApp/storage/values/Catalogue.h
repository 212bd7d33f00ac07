// The compiled-in catalogue: the descriptors of every value (DataModel::Implementation::<Type>::<Name>) and
// the object templates that list them (DataModel::Location, DataModel::Room, ...). All of it is constant
// data.
#pragma once

#include "Libraries/base/i18n.h"
#include "SourceApp/storage/DataModel.h"
#include "SourceApp/storage/values/Builders.h"

namespace tdx::DataModel {
namespace Implementation {

using namespace Build;

namespace General {
inline constexpr VidData ObjectName = data(N_("Name"), 0x8090, DataRole::String, BT_VTYPE_TEXT);
inline constexpr VidData ValueList = list(N_("Values"), 0x809F);
inline constexpr VidSignedNumber OutdoorTemperature = measured(N_("Outdoor temperature"), 0x0036);
inline constexpr VidSignedNumber AirTemperature = measured(N_("Air temperature"), 0x000C);
inline constexpr VidSignedNumber FloorTemperature = measured(N_("Floor temperature"), 0x000D);
inline constexpr VidSignedNumber Humidity = measured(N_("Humidity"), 0x0002, &F::Percent);
inline constexpr VidData Peripherals = list(N_("Peripherals"), 0x80AE);
} // namespace General

namespace Location {
inline constexpr EnumOption HcModeOptions[] = {{0, N_("Winter")}, {1, N_("Summer")}};

inline constexpr VidSignedNumber FilteredOutdoorTemperature =
    measured(N_("Filtered outdoor temperature"), 0x0028);
inline constexpr VidSignedNumber LocalTimeOffset =
    measured(N_("Local time offset"), 0x002E, &F::Seconds, BT_VTYPE_S32);
inline constexpr VidUnsignedNumber Backup = unsignedNumber(N_("Backup"), 0x0051, BT_VTYPE_U8, false, 0, 1, 1);
inline constexpr VidUnsignedNumber Restore =
    unsignedNumber(N_("Restore"), 0x0052, BT_VTYPE_U8, false, 0, 1, 1);
inline constexpr VidSignedNumber TimeZoneOffset =
    signedNumber(N_("Time zone offset"), 0x8074, BT_VTYPE_S32, false, -43200, 50400, 900, &F::Seconds);
inline constexpr VidUnsignedNumber DaylightSavings = toggle(N_("Daylight savings"), 0x8075);
inline constexpr VidEnum HcMode = enumeration(N_("System mode"), 0x803D, HcModeOptions);
inline constexpr VidUnsignedNumber HcModeSwitching =
    unsignedNumber(N_("Mode switching"), 0x8076, BT_VTYPE_U8, false, 0, 4, 1);
inline constexpr VidUnsignedNumber Vacation = toggle(N_("Vacation"), 0x8085);
inline constexpr VidUnsignedNumber VacationEndTime =
    unsignedNumber(N_("Vacation end time"), 0x8086, BT_VTYPE_U32, false, 0, 0xFFFFFFFEu, 1, &F::Numeric,
                   NumberRole::Timestamp);
inline constexpr VidUnsignedNumber Standby = toggle(N_("Standby"), 0x8087);
inline constexpr VidUnsignedNumber ControlUnit = reference(N_("Control unit"), 0x80DC);
inline constexpr VidData GlobalComponents = list(N_("Components"), 0x80AE);
inline constexpr VidData LearnList = list(N_("Learn list"), 0x80AC);
inline constexpr VidUnsignedNumber EnrolSerial =
    unsignedNumber(N_("Enrol serial number"), 0x80AD, BT_VTYPE_U32, false, 0, 0xFFFFFFFEu, 1);
inline constexpr VidData DeleteList = list(N_("Delete list"), 0x80E6);
inline constexpr VidUnsignedNumber CurrentProfile = state(N_("Current profile"), 0x80E8);
inline constexpr VidUnsignedNumber RequestedProfile =
    unsignedNumber(N_("Requested profile"), 0x80EE, BT_VTYPE_U8, false, 0, 254, 1);
inline constexpr VidUnsignedNumber OutdoorTemperatureSource =
    reference(N_("Outdoor temp. sensor source"), 0x80EF, false);
inline constexpr VidSignedNumber HcModeDeadband = temperature(N_("Deadband"), 0x80FB, 100, 800, 100);
inline constexpr VidUnsignedNumber HcModeSwitchCooldown = unsignedNumber(
    N_("Switch cooldown"), 0x80FC, BT_VTYPE_U32, false, 0, 10800, 900, &F::Time, NumberRole::Duration);
inline constexpr VidSignedNumber HcCoolingMinimumOutsideTemperature =
    temperature(N_("Cooling minimum outside temperature"), 0x80FF, 1000, 4000, 100);
inline constexpr VidSignedNumber HcModeDewPointOffset =
    temperature(N_("Dew point offset"), 0x8100, 100, 800, 100);
} // namespace Location

namespace Device {
inline constexpr EnumOption StateOptions[] = {{0, N_("Off-line")}, {1, N_("Starting")}, {2, N_("On-line")}};
inline constexpr AlarmRow UnreachableRows[] = {{1, N_("Warning Periphery Unreachable")}};
inline constexpr AlarmRow LowBatteryRows[] = {{1, N_("Warning Periphery Low Battery")}};
inline constexpr AlarmRow GeneralProblemRows[] = {{1, N_("Warning General Problem")}};

inline constexpr VidEnum State = enumeration(N_("Device state"), 0x002F, StateOptions, true);
inline constexpr VidUnsignedNumber BatteryLevel =
    state(N_("Battery level"), 0x002C, BT_VTYPE_U8, NumberRole::Plain, &F::RawPercent);
inline constexpr VidUnsignedNumber SerialNumber = state(N_("Serial number"), 0x800C, BT_VTYPE_U32);
inline constexpr VidUnsignedNumber SerialPrefix = state(N_("Serial prefix"), 0x80DF, BT_VTYPE_U16);
inline constexpr VidData HardwareCode =
    data(N_("Hardware code"), 0x80E3, DataRole::String, BT_VTYPE_TEXT, true);
inline constexpr VidData SoftwareCode =
    data(N_("Software code"), 0x80E4, DataRole::String, BT_VTYPE_TEXT, true);
inline constexpr VidUnsignedNumber SoftwareVersion = state(N_("Software version"), 0x800D);
inline constexpr VidUnsignedNumber SoftwareBuild = state(N_("Build"), 0x809E);
inline constexpr VidUnsignedNumber HardwareVersion = state(N_("Hardware version"), 0x800E);
inline constexpr VidUnsignedNumber AssociatedObject = reference(N_("Associated object"), 0x80DE);
inline constexpr VidData ObjectIndices = list(N_("Objects"), 0x80B0);
inline constexpr VidAlarm WarningUnreachable =
    alarm(N_("Warning Periphery Unreachable"), 0x4001, BT_VTYPE_U32, UnreachableRows, 0, 1);
inline constexpr VidAlarm WarningLowBattery =
    alarm(N_("Warning Periphery Low Battery"), 0x4002, BT_VTYPE_U32, LowBatteryRows, 0, 1);
inline constexpr VidAlarm WarningGeneralProblem =
    alarm(N_("Warning General Problem"), 0x4003, BT_VTYPE_U32, GeneralProblemRows, 0, 1);
} // namespace Device

namespace Room {
inline constexpr EnumOption ModeOptions[] = {
    {0, N_("Schedule")}, {2, N_("Eco")}, {3, N_("Comfort")}, {4, N_("Extra comfort")}, {5, N_("Hotel")}};
inline constexpr EnumOption ModeOverrideOptions[] = {
    {0, N_("None")}, {1, N_("Temporary")}, {3, N_("Schedule overridden")}};
inline constexpr EnumOption AccessLevelOptions[] = {{8, N_("On")}, {32, N_("Off")}, {16, N_("Hotel mode")}};
inline constexpr EnumOption FloorSensorOptions[] = {{3, N_("On")}, {1, N_("Off")}, {0, N_("Regulate")}};
inline constexpr EnumOption HumCtrlStateOptions[] = {{1, N_("Idle")}, {3, N_("Drying")}};

inline constexpr VidSignedNumber DewPoint = measured(N_("Dew point"), 0x004B);
inline constexpr VidUnsignedNumber State = state(N_("State"), 0x001B);
inline constexpr VidUnsignedNumber Blocking = state(N_("Blocking"), 0x001C);
inline constexpr VidSignedNumber TemperatureDesired = measured(N_("Temperature desired"), 0x001D);
inline constexpr VidEnum HumCtrlState = enumeration(N_("State"), 0x001E, HumCtrlStateOptions, true);

inline constexpr VidEnum Mode = enumeration(N_("Mode"), 0x8004, ModeOptions);
inline constexpr VidEnum ModeOverride = enumeration(N_("Mode override"), 0x8005, ModeOverrideOptions);
inline constexpr VidUnsignedNumber ModeOverrideEndTime =
    unsignedNumber(N_("Mode override end-time"), 0x8006, BT_VTYPE_U32, false, 0, 0xFFFFFFFEu, 1, &F::Numeric,
                   NumberRole::Timestamp);
inline constexpr VidEnum ThermAccessLevel = enumeration(N_("Thermostat lock"), 0x8008, AccessLevelOptions);
inline constexpr VidSignedNumber TempCtrlTempAlarmLow =
    temperature(N_("Low temperature"), 0x8010, -900, 3700, 50);
inline constexpr VidSignedNumber TempCtrlTempAlarmHigh =
    temperature(N_("High temperature"), 0x8011, -600, 7000, 50);
inline constexpr VidEnum TempCtrlHeatRegulatedValSrc =
    enumeration(N_("Floor sensor mode"), 0x8014, FloorSensorOptions);
inline constexpr VidUnsignedNumber TempCtrlHeatAdaptiveModeEna = toggle(N_("Adaptive mode"), 0x8016);

// Heating.
inline constexpr VidSignedNumber TempCtrlHeatTempSpanMin =
    temperature(N_("Lowest temperature"), 0x8018, 600, 4000, 50, &DefaultMinimum, &Follow<0x8019>);
inline constexpr VidSignedNumber TempCtrlHeatTempSpanMax =
    temperature(N_("Highest temperature"), 0x8019, 600, 4000, 50, &Follow<0x8018>, &DefaultMaximum);
inline constexpr VidSignedNumber TempCtrlHeatTempSetManual =
    temperature(N_("Manual temperature"), 0x801A, 600, 4000, 50, &Follow<0x8018>, &Follow<0x8019>);
inline constexpr VidSignedNumber TempCtrlHeatTempSetEco =
    temperature(N_("Eco temperature"), 0x801B, 600, 4000, 50, &Follow<0x8018>, &Follow<0x8019>);
inline constexpr VidSignedNumber TempCtrlHeatTempSetComfort =
    temperature(N_("Comfort temperature"), 0x801C, 600, 4000, 50, &Follow<0x8018>, &Follow<0x8019>);
inline constexpr VidSignedNumber TempCtrlHeatTempSetExtraComfort =
    temperature(N_("Extra comfort temperature"), 0x801D, 600, 4000, 50, &Follow<0x8018>, &Follow<0x8019>);
inline constexpr VidSignedNumber TempCtrlHeatTempSetTemporary =
    temperature(N_("Temporary temperature"), 0x801E, 600, 4000, 50, &Follow<0x8018>, &Follow<0x8019>);
inline constexpr VidSignedNumber TempCtrlHeatTempSetVacation =
    temperature(N_("Vacation mode temperature"), 0x801F, -900, 4000, 50, &Follow<0x8010>, &Follow<0x8019>);
inline constexpr VidSignedNumber TempCtrlHeatTempSetAdjusted =
    temperature(N_("Adjusted temperature"), 0x8020, 600, 4000, 50, &Follow<0x8018>, &Follow<0x8019>);
inline constexpr VidSignedNumber TempCtrlHeatTempSetStandby =
    temperature(N_("Standby temperature"), 0x8021, -900, 4000, 50, &Follow<0x8010>, &Follow<0x8018>);
inline constexpr VidSignedNumber TempCtrlHeatTempHysteresis =
    temperature(N_("Hysteresis regulation"), 0x8022, 10, 300, 10);
inline constexpr VidSignedNumber TempCtrlHeatFloorTempHysteresis =
    temperature(N_("Floor hysteresis regulation"), 0x8078, 10, 300, 10);
inline constexpr VidSignedNumber TempCtrlFloorEcoMin =
    temperature(N_("Eco minimum temperature"), 0x8023, 600, 4000, 50);
inline constexpr VidSignedNumber TempCtrlFloorEcoMax =
    temperature(N_("Eco maximum temperature"), 0x8079, 600, 4000, 50, &DefaultMinimum, &Follow<0x8019>);
inline constexpr VidSignedNumber TempCtrlFloorComfortMin =
    temperature(N_("Comfort minimum temperature"), 0x8024, 600, 4000, 50, &DefaultMinimum, &Follow<0x8019>);
inline constexpr VidSignedNumber TempCtrlFloorComfortMax =
    temperature(N_("Comfort maximum temperature"), 0x8080, 600, 4000, 50, &DefaultMinimum, &Follow<0x8019>);
inline constexpr VidSignedNumber TempCtrlFloorExtraComfortMin = temperature(
    N_("Extra comfort minimum temperature"), 0x8025, 600, 4000, 50, &DefaultMinimum, &Follow<0x8019>);
inline constexpr VidSignedNumber TempCtrlFloorExtraComfortMax = temperature(
    N_("Extra comfort maximum temperature"), 0x8081, 600, 4000, 50, &DefaultMinimum, &Follow<0x8019>);

// Cooling.
inline constexpr VidSignedNumber TempCtrlCoolTempSpanMin =
    temperature(N_("Lowest temperature"), 0x802B, 600, 4000, 50, &DefaultMinimum, &Follow<0x802C>);
inline constexpr VidSignedNumber TempCtrlCoolTempSpanMax =
    temperature(N_("Highest temperature"), 0x802C, 600, 4000, 50, &Follow<0x802B>, &DefaultMaximum);
inline constexpr VidSignedNumber TempCtrlCoolTempSetManual =
    temperature(N_("Manual temperature"), 0x802D, 600, 4000, 50, &DefaultMinimum, &Follow<0x802C>);
inline constexpr VidSignedNumber TempCtrlCoolTempSetEco =
    temperature(N_("Eco temperature"), 0x802E, 600, 4000, 50, &DefaultMinimum, &Follow<0x802C>);
inline constexpr VidSignedNumber TempCtrlCoolTempSetComfort =
    temperature(N_("Comfort temperature"), 0x802F, 600, 4000, 50, &DefaultMinimum, &Follow<0x802C>);
inline constexpr VidSignedNumber TempCtrlCoolTempSetExtraComfort =
    temperature(N_("Extra comfort temperature"), 0x8030, 600, 4000, 50, &DefaultMinimum, &Follow<0x802C>);
inline constexpr VidSignedNumber TempCtrlCoolTempSetTemporary =
    temperature(N_("Temporary temperature"), 0x8031, 600, 4000, 50, &DefaultMinimum, &Follow<0x802C>);
inline constexpr VidSignedNumber TempCtrlCoolTempSetVacation =
    temperature(N_("Vacation mode temperature"), 0x8032, 600, 4000, 50, &DefaultMinimum, &Follow<0x802C>);
inline constexpr VidSignedNumber TempCtrlCoolTempSetAdjusted =
    temperature(N_("Adjusted temperature"), 0x8033, 600, 4000, 50, &DefaultMinimum, &Follow<0x802C>);
inline constexpr VidSignedNumber TempCtrlCoolTempHysteresis =
    temperature(N_("Hysteresis regulation"), 0x8034, 10, 300, 10);
inline constexpr VidSignedNumber TempCtrlCoolTempSetStandby =
    temperature(N_("Standby temperature"), 0x8082, 600, 4000, 50, &DefaultMinimum, &Follow<0x802B>);

// Humidity and floor alarms.
inline constexpr VidSignedNumber HumCtrlSetManual = temperature(
    N_("Highest humidity"), 0x803A, 2000, 9000, 100, &DefaultMinimum, &DefaultMaximum, &F::Percent);
inline constexpr VidSignedNumber HumCtrlHysteresis = temperature(
    N_("Humidity hysteresis"), 0x803B, 200, 500, 100, &DefaultMinimum, &DefaultMaximum, &F::Percent);
inline constexpr VidUnsignedNumber HumCtrlEnabled = toggle(N_("Enabled"), 0x8083);
inline constexpr VidSignedNumber FloorTempAlarmLow =
    temperature(N_("Low floor temperature"), 0x80F3, -900, 3700, 50);
inline constexpr VidSignedNumber FloorTempAlarmHigh =
    temperature(N_("High floor temperature"), 0x80F4, -600, 7000, 50);

inline constexpr VidData Schedule = data(N_("Schedule"), 0x8043, DataRole::Schedule);
inline constexpr VidUnsignedNumber AllowVacationAway = toggle(N_("Vacation mode"), 0x8084);
inline constexpr VidData Thermoheads = list(N_("Thermoheads"), 0x808F);
inline constexpr VidUnsignedNumber ServingFunction = reference(N_("Serving function"), 0x810C);
} // namespace Room

// Heat curve values shared in meaning by inlet temperature controllers and heating/cooling circuits.
inline constexpr EnumOption CurveTypeOptions[] = {
    {0, N_("Manual")}, {1, N_("Calculated")}, {2, N_("Underfloor")}, {3, N_("Radiators")}};
inline constexpr EnumOption SourceDemandOptions[] = {{0, N_("Idle")}, {1, N_("Heating")}, {2, N_("Cooling")}};
inline constexpr AlarmRow HighTemperatureRows[] = {{1, N_("Alarm high temperature")}};

namespace ITC {
inline constexpr EnumOption LimiterOptions[] = {{0, N_("Off")}, {1, N_("Minimum")}, {2, N_("Maximum")}};

inline constexpr VidSignedNumber ActualInletTemperature = measured(N_("Actual inlet temperature"), 0x003E);
inline constexpr VidSignedNumber ActualReturnTemperature = measured(N_("Actual return temperature"), 0x003F);
inline constexpr VidSignedNumber DesiredInletTemperature =
    measured(N_("Desired inlet water temperature"), 0x003B, &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber Curve = measured(N_("Curve"), 0x003D, &F::Tenths, BT_VTYPE_S16_X10);
inline constexpr VidSignedNumber DesiredRoomTemperature = measured(N_("Desired room temperature"), 0x0029);
inline constexpr VidEnum SourceDemand = enumeration(N_("Source demand"), 0x0039, SourceDemandOptions, true);
inline constexpr VidAlarm AlarmHighTemperature =
    alarm(N_("Alarm high temperature"), 0x400E, BT_VTYPE_U8, HighTemperatureRows, 1);

inline constexpr VidEnum CurveType = enumeration(N_("Heat curve type"), 0x80C8, CurveTypeOptions);
inline constexpr VidSignedNumber CurveManual =
    signedNumber(N_("Heat curve"), 0x80C9, BT_VTYPE_S16_X10, false, 1, 40, 1, &F::Tenths);
inline constexpr VidSignedNumber DimInletTemperature =
    temperature(N_("Dim. inlet temperature"), 0x80C5, 2000, 9500, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber DimOutdoorTemperature =
    temperature(N_("Dim. outdoor temperature"), 0x80C7, -3000, 4000, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber DimIndoorTemperature =
    temperature(N_("Dim. indoor temperature"), 0x80C6, 600, 4000, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber ParallelDisplacement =
    temperature(N_("Parallel displacement"), 0x8066, -900, 900, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber MinInletTemperature =
    temperature(N_("Min. inlet temperature"), 0x8063, 2000, 8500, 100, &DefaultMinimum, &Follow<0x8064>,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber MaxInletTemperature =
    temperature(N_("Max. inlet temperature"), 0x8064, 2000, 8500, 100, &Follow<0x8063>, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber Gain =
    signedNumber(N_("Gain"), 0x80C4, BT_VTYPE_S16_X10, false, -20, 20, 1, &F::Tenths);
inline constexpr VidEnum ReturnTemperatureLimiter =
    enumeration(N_("Return temperature limiter"), 0x80CA, LimiterOptions);
inline constexpr VidSignedNumber MaxReturnTemperature =
    temperature(N_("Max. return temperature"), 0x80CB, 1000, 9500, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber MinReturnTemperature =
    temperature(N_("Min. return temperature"), 0x80CC, 1000, 9500, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber GainMaxReturnTemperature =
    signedNumber(N_("Gain max. return temperature"), 0x80CD, BT_VTYPE_S16_X10, false, -99, -1, 1, &F::Tenths);
inline constexpr VidSignedNumber GainMinReturnTemperature =
    signedNumber(N_("Gain min. return temperature"), 0x80CE, BT_VTYPE_S16_X10, false, 1, 99, 1, &F::Tenths);
inline constexpr VidUnsignedNumber PriorityOverInlet = toggle(N_("Priority over inlet temperature"), 0x80DB);
inline constexpr VidUnsignedNumber Boost = toggle(N_("Boost"), 0x80CF);
inline constexpr VidUnsignedNumber BoostPercent =
    unsignedNumber(N_("Boost percent"), 0x80D0, BT_VTYPE_U8, false, 1, 100, 1, &F::RawPercent);
inline constexpr VidUnsignedNumber Ramping = toggle(N_("Ramping"), 0x80D1);
inline constexpr VidUnsignedNumber RampingTime =
    unsignedNumber(N_("Ramping time"), 0x80D2, BT_VTYPE_U8, false, 1, 120, 1, &F::Seconds);
inline constexpr VidSignedNumber FrostProtectionTemperature =
    temperature(N_("Frost protection temperature"), 0x80D6, -500, 5000, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber OutsideExceeds =
    temperature(N_("Outside exceeds"), 0x80C3, 1000, 5000, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber InletExceededBy =
    temperature(N_("Inlet exceeded by"), 0x8059, 300, 2000, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber PValue =
    signedNumber(N_("P-value"), 0x80D7, BT_VTYPE_S16_X10, false, 1, 100, 1, &F::Tenths);
inline constexpr VidUnsignedNumber IValue =
    unsignedNumber(N_("I-value"), 0x80D8, BT_VTYPE_U16, false, 5, 60, 1, &F::Seconds);
inline constexpr VidSignedNumber Hysteresis = temperature(N_("Hysteresis"), 0x80D9, 10, 500, 10);
inline constexpr VidData ConsumersList = list(N_("Consumers"), 0x80B8);
} // namespace ITC

namespace HCC {
inline constexpr VidUnsignedNumber Status = state(N_("Status"), 0x0065);
inline constexpr VidSignedNumber ActualInletTemperature = measured(N_("Actual inlet temperature"), 0x003E);
inline constexpr VidSignedNumber DesiredInletTemperature =
    measured(N_("Desired inlet water temperature"), 0x003A);
inline constexpr VidSignedNumber Curve = measured(N_("Curve"), 0x0056, &F::Tenths, BT_VTYPE_S16_X10);
inline constexpr VidEnum SourceDemand = enumeration(N_("Source demand"), 0x0053, SourceDemandOptions, true);
inline constexpr VidSignedNumber DesiredRoomTemperature = measured(N_("Desired room temperature"), 0x0054);
inline constexpr VidAlarm AlarmHighTemperature =
    alarm(N_("Alarm high temperature"), 0x401F, BT_VTYPE_U8, HighTemperatureRows, 1);

inline constexpr VidEnum CurveType = enumeration(N_("Heat curve type"), 0x8104, CurveTypeOptions);
inline constexpr VidSignedNumber CurveManual =
    signedNumber(N_("Heat curve"), 0x8105, BT_VTYPE_S16_X10, false, 1, 40, 1, &F::Tenths);
inline constexpr VidSignedNumber DimInletTemperature =
    temperature(N_("Dim. inlet temperature"), 0x8107, 2000, 9500, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber DimOutdoorTemperature =
    temperature(N_("Dim. outdoor temperature"), 0x8109, -3000, 4000, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber DimIndoorTemperature =
    temperature(N_("Dim. indoor temperature"), 0x8108, 600, 4000, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber ParallelDisplacement =
    temperature(N_("Parallel displacement"), 0x8106, -900, 900, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber MinInletTemperature =
    temperature(N_("Min. inlet temperature"), 0x8102, 2000, 8500, 100, &DefaultMinimum, &Follow<0x8103>,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber MaxInletTemperature =
    temperature(N_("Max. inlet temperature"), 0x8103, 2000, 8500, 100, &Follow<0x8102>, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber GainNoRoomThermostat =
    signedNumber(N_("Gain if no room thermostat"), 0x810A, BT_VTYPE_S16_X10, false, -20, 20, 1, &F::Tenths);
inline constexpr VidSignedNumber OutsideExceeds =
    temperature(N_("Outside exceeds"), 0x810B, 1000, 5000, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidUnsignedNumber HtcoMode = toggle(N_("High temperature cut-off"), 0x80F9);
inline constexpr VidSignedNumber InletExceeds = temperature(
    N_("Inlet exceeds"), 0x80F6, 1000, 8500, 100, &DefaultMinimum, &DefaultMaximum, &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber InletExceededBy =
    temperature(N_("Inlet exceeded by"), 0x8101, 300, 2000, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidUnsignedNumber CurveControl = toggle(N_("Curve control"), 0x80FA);
inline constexpr VidData ConsumersList = list(N_("Consumers"), 0x80B8);
} // namespace HCC

namespace DHW {
inline constexpr VidSignedNumber TemperatureDesired = measured(N_("Temperature desired"), 0x0031);
inline constexpr VidSignedNumber TempSpanMin =
    temperature(N_("Lowest temperature"), 0x8092, 0, 7500, 100, &DefaultMinimum, &Follow<0x8093>,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber TempSpanMax =
    temperature(N_("Highest temperature"), 0x8093, 0, 7500, 100, &Follow<0x8092>, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber TempSet = temperature(
    N_("Set temperature"), 0x8094, 0, 7500, 100, &Follow<0x8092>, &Follow<0x8093>, &F::TemperatureNoDecimal);
} // namespace DHW

namespace DHWTank {
inline constexpr VidUnsignedNumber TankState = state(N_("Status"), 0x0060);
inline constexpr VidSignedNumber TankTemp =
    measured(N_("Tank temperature"), 0x0061, &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber TankDesiredTemp =
    measured(N_("Set temperature"), 0x0062, &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber TempSetEco =
    temperature(N_("Eco temperature"), 0x8114, 500, 8500, 100, &Follow<0x811D>, &Follow<0x811E>,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber TempSetComfort =
    temperature(N_("Comfort temperature"), 0x8115, 500, 8500, 100, &Follow<0x811D>, &Follow<0x811E>,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber TempSetStandby =
    temperature(N_("Standby temperature"), 0x8116, 500, 8500, 100, &Follow<0x811D>, &Follow<0x811E>,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber TempSetVacation =
    temperature(N_("Vacation temperature"), 0x8117, 500, 8500, 100, &Follow<0x811D>, &Follow<0x811E>,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber TempSetCleaning =
    temperature(N_("Cleaning temperature"), 0x8118, 6500, 8500, 100, &DefaultMinimum, &Follow<0x811E>,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber TempMinimum =
    temperature(N_("Minimum temperature"), 0x811D, 500, 8500, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber TempMaximum =
    temperature(N_("Maximum temperature"), 0x811E, 500, 8500, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidData CleaningInterval = list(N_("Cleaning interval"), 0x811A);
inline constexpr VidUnsignedNumber CleaningPeriod =
    unsignedNumber(N_("Hold cleaning temperature for"), 0x811B, BT_VTYPE_U16, false, 10, 120, 1, &F::Minutes,
                   NumberRole::Duration);
inline constexpr VidUnsignedNumber CleaningTimeBeforeFail =
    unsignedNumber(N_("Stop after"), 0x811C, BT_VTYPE_U16, false, 1, 48, 1, &F::Hours, NumberRole::Duration);
inline constexpr VidData Schedule = data(N_("Schedule"), 0x808B, DataRole::Schedule);
inline constexpr VidUnsignedNumber AllowVacationAway = toggle(N_("Vacation mode"), 0x808D);
inline constexpr VidUnsignedNumber AllowStandby = toggle(N_("Standby"), 0x8113);
} // namespace DHWTank

namespace Output {
inline constexpr EnumOption FunctionOptions[] = {{0, N_("Off")}, {1, N_("Manual control")}};
inline constexpr AlarmRow ProblemRows[] = {{1, N_("Output has a problem, code %u.")}};

inline constexpr VidSignedNumber Value = measured(N_("Output value"), 0x004C, &F::Percent);
inline constexpr VidEnum RelayFunction = enumeration(N_("Function"), 0x80E7, FunctionOptions);
inline constexpr VidSignedNumber SourceMinValue = measured(N_("Source min value"), 0x80A1);
inline constexpr VidSignedNumber SourceMaxValue = measured(N_("Source max value"), 0x80A2);
inline constexpr VidData ValueSource = list(N_("Output value source"), 0x80A0);
inline constexpr VidAlarm Alarm = alarm(N_("Output alarm"), 0x4010, BT_VTYPE_U8, ProblemRows, 1);
} // namespace Output

namespace Analog {
inline constexpr VidSignedNumber Value = measured(N_("Voltage"), 0x004C, &F::Volts);
inline constexpr VidSignedNumber TemperatureThreshold =
    temperature(N_("Temperature threshold"), 0x80A3, 0, 4000, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber TemperatureLow = temperature(
    N_("Temperature"), 0x80A1, 0, 10000, 100, &DefaultMinimum, &Follow<0x80A2>, &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber TemperatureHigh = temperature(
    N_("Temperature"), 0x80A2, 0, 10000, 100, &Follow<0x80A1>, &DefaultMaximum, &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber VoltageLow =
    temperature(N_("Voltage"), 0x80F8, 0, 1000, 10, &DefaultMinimum, &Follow<0x80F7>, &F::Volts);
inline constexpr VidSignedNumber VoltageHigh =
    temperature(N_("Voltage"), 0x80F7, 0, 1000, 10, &Follow<0x80F8>, &DefaultMaximum, &F::Volts);
inline constexpr VidSignedNumber VoltageFixed =
    temperature(N_("Voltage"), 0x810F, 0, 1000, 10, &DefaultMinimum, &DefaultMaximum, &F::Volts);
inline constexpr VidUnsignedNumber DelayedStart = unsignedNumber(
    N_("Delay start"), 0x80A7, BT_VTYPE_U16, false, 0, 10, 1, &F::Minutes, NumberRole::Duration);
inline constexpr VidUnsignedNumber DelayedStop = unsignedNumber(N_("Delay stop"), 0x80A8, BT_VTYPE_U16, false,
                                                                0, 10, 1, &F::Minutes, NumberRole::Duration);
inline constexpr VidUnsignedNumber ServiceMode = toggle(N_("Service mode"), 0x80A5);
inline constexpr VidSignedNumber ServiceValue =
    temperature(N_("Service value"), 0x80A6, 0, 10000, 100, &DefaultMinimum, &DefaultMaximum, &F::Numeric);
} // namespace Analog

} // namespace Implementation

// Object templates. Settings are user-editable in the object editor, measured values and lists are not.
namespace Templates {
namespace I = Implementation;

inline constexpr Value LocationValues[] = {
    DataValue{I::General::ObjectName, true},
    DataValue{I::General::ValueList},
    SignedValue{I::General::OutdoorTemperature},
    SignedValue{I::Location::FilteredOutdoorTemperature},
    SignedValue{I::Location::LocalTimeOffset},
    UnsignedValue{I::Location::Backup},
    UnsignedValue{I::Location::Restore},
    SignedValue{I::Location::TimeZoneOffset, true},
    UnsignedValue{I::Location::DaylightSavings, true},
    EnumValue{I::Location::HcMode, true},
    UnsignedValue{I::Location::HcModeSwitching, true},
    UnsignedValue{I::Location::Vacation, true},
    UnsignedValue{I::Location::VacationEndTime, true},
    UnsignedValue{I::Location::Standby, true},
    UnsignedValue{I::Location::ControlUnit},
    DataValue{I::Location::GlobalComponents},
    DataValue{I::Location::LearnList},
    UnsignedValue{I::Location::EnrolSerial},
    DataValue{I::Location::DeleteList},
    UnsignedValue{I::Location::CurrentProfile},
    UnsignedValue{I::Location::RequestedProfile},
    UnsignedValue{I::Location::OutdoorTemperatureSource, true},
    SignedValue{I::Location::HcModeDeadband, true},
    UnsignedValue{I::Location::HcModeSwitchCooldown, true},
    SignedValue{I::Location::HcCoolingMinimumOutsideTemperature, true},
    SignedValue{I::Location::HcModeDewPointOffset, true},
};

inline constexpr Value DeviceValues[] = {
    DataValue{I::General::ObjectName, true},
    DataValue{I::General::ValueList},
    EnumValue{I::Device::State},
    SignedValue{I::General::AirTemperature},
    SignedValue{I::General::FloorTemperature},
    SignedValue{I::General::OutdoorTemperature},
    SignedValue{I::General::Humidity},
    UnsignedValue{I::Device::BatteryLevel},
    UnsignedValue{I::Device::SerialNumber},
    UnsignedValue{I::Device::SerialPrefix},
    DataValue{I::Device::HardwareCode},
    DataValue{I::Device::SoftwareCode},
    UnsignedValue{I::Device::SoftwareVersion},
    UnsignedValue{I::Device::SoftwareBuild},
    UnsignedValue{I::Device::HardwareVersion},
    UnsignedValue{I::Device::AssociatedObject},
    DataValue{I::General::Peripherals},
    DataValue{I::Device::ObjectIndices},
    AlarmValue{I::Device::WarningUnreachable},
    AlarmValue{I::Device::WarningLowBattery},
    AlarmValue{I::Device::WarningGeneralProblem},
};

inline constexpr Value InterfaceValues[] = {
    DataValue{I::General::ObjectName, true},
    DataValue{I::General::ValueList},
};

inline constexpr Value InputValues[] = {
    DataValue{I::General::ObjectName, true},
    DataValue{I::General::ValueList},
    SignedValue{I::General::AirTemperature},
};

inline constexpr Value RoomValues[] = {
    DataValue{I::General::ObjectName, true},
    DataValue{I::General::ValueList},
    SignedValue{I::General::Humidity},
    SignedValue{I::General::AirTemperature},
    SignedValue{I::General::FloorTemperature},
    SignedValue{I::Room::DewPoint},
    UnsignedValue{I::Room::State},
    UnsignedValue{I::Room::Blocking},
    SignedValue{I::Room::TemperatureDesired},
    EnumValue{I::Room::HumCtrlState},
    EnumValue{I::Room::Mode, true},
    EnumValue{I::Room::ModeOverride, true},
    UnsignedValue{I::Room::ModeOverrideEndTime, true},
    EnumValue{I::Room::ThermAccessLevel, true},
    SignedValue{I::Room::TempCtrlTempAlarmLow, true},
    SignedValue{I::Room::TempCtrlTempAlarmHigh, true},
    EnumValue{I::Room::TempCtrlHeatRegulatedValSrc, true},
    UnsignedValue{I::Room::TempCtrlHeatAdaptiveModeEna, true},
    SignedValue{I::Room::TempCtrlHeatTempSpanMin, true},
    SignedValue{I::Room::TempCtrlHeatTempSpanMax, true},
    SignedValue{I::Room::TempCtrlHeatTempSetManual, true},
    SignedValue{I::Room::TempCtrlHeatTempSetEco, true},
    SignedValue{I::Room::TempCtrlHeatTempSetComfort, true},
    SignedValue{I::Room::TempCtrlHeatTempSetExtraComfort, true},
    SignedValue{I::Room::TempCtrlHeatTempSetTemporary, true},
    SignedValue{I::Room::TempCtrlHeatTempSetVacation, true},
    SignedValue{I::Room::TempCtrlHeatTempSetAdjusted, true},
    SignedValue{I::Room::TempCtrlHeatTempSetStandby, true},
    SignedValue{I::Room::TempCtrlHeatTempHysteresis, true},
    SignedValue{I::Room::TempCtrlHeatFloorTempHysteresis, true},
    SignedValue{I::Room::TempCtrlFloorEcoMin, true},
    SignedValue{I::Room::TempCtrlFloorEcoMax, true},
    SignedValue{I::Room::TempCtrlFloorComfortMin, true},
    SignedValue{I::Room::TempCtrlFloorComfortMax, true},
    SignedValue{I::Room::TempCtrlFloorExtraComfortMin, true},
    SignedValue{I::Room::TempCtrlFloorExtraComfortMax, true},
    SignedValue{I::Room::TempCtrlCoolTempSpanMin, true},
    SignedValue{I::Room::TempCtrlCoolTempSpanMax, true},
    SignedValue{I::Room::TempCtrlCoolTempSetManual, true},
    SignedValue{I::Room::TempCtrlCoolTempSetEco, true},
    SignedValue{I::Room::TempCtrlCoolTempSetComfort, true},
    SignedValue{I::Room::TempCtrlCoolTempSetExtraComfort, true},
    SignedValue{I::Room::TempCtrlCoolTempSetTemporary, true},
    SignedValue{I::Room::TempCtrlCoolTempSetVacation, true},
    SignedValue{I::Room::TempCtrlCoolTempSetAdjusted, true},
    SignedValue{I::Room::TempCtrlCoolTempHysteresis, true},
    SignedValue{I::Room::TempCtrlCoolTempSetStandby, true},
    SignedValue{I::Room::HumCtrlSetManual, true},
    SignedValue{I::Room::HumCtrlHysteresis, true},
    UnsignedValue{I::Room::HumCtrlEnabled, true},
    SignedValue{I::Room::FloorTempAlarmLow, true},
    SignedValue{I::Room::FloorTempAlarmHigh, true},
    DataValue{I::Room::Schedule},
    UnsignedValue{I::Room::AllowVacationAway, true},
    DataValue{I::Room::Thermoheads},
    DataValue{I::General::Peripherals},
    UnsignedValue{I::Room::ServingFunction},
};

inline constexpr Value ItcValues[] = {
    DataValue{I::General::ObjectName, true},
    DataValue{I::General::ValueList},
    SignedValue{I::ITC::ActualInletTemperature},
    SignedValue{I::ITC::ActualReturnTemperature},
    SignedValue{I::ITC::DesiredInletTemperature},
    SignedValue{I::ITC::Curve},
    SignedValue{I::ITC::DesiredRoomTemperature},
    EnumValue{I::ITC::SourceDemand},
    AlarmValue{I::ITC::AlarmHighTemperature},
    EnumValue{I::ITC::CurveType, true},
    SignedValue{I::ITC::CurveManual, true},
    SignedValue{I::ITC::DimInletTemperature, true},
    SignedValue{I::ITC::DimOutdoorTemperature, true},
    SignedValue{I::ITC::DimIndoorTemperature, true},
    SignedValue{I::ITC::ParallelDisplacement, true},
    SignedValue{I::ITC::MinInletTemperature, true},
    SignedValue{I::ITC::MaxInletTemperature, true},
    SignedValue{I::ITC::Gain, true},
    EnumValue{I::ITC::ReturnTemperatureLimiter, true},
    SignedValue{I::ITC::MaxReturnTemperature, true},
    SignedValue{I::ITC::MinReturnTemperature, true},
    SignedValue{I::ITC::GainMaxReturnTemperature, true},
    SignedValue{I::ITC::GainMinReturnTemperature, true},
    UnsignedValue{I::ITC::PriorityOverInlet, true},
    UnsignedValue{I::ITC::Boost, true},
    UnsignedValue{I::ITC::BoostPercent, true},
    UnsignedValue{I::ITC::Ramping, true},
    UnsignedValue{I::ITC::RampingTime, true},
    SignedValue{I::ITC::FrostProtectionTemperature, true},
    SignedValue{I::ITC::OutsideExceeds, true},
    SignedValue{I::ITC::InletExceededBy, true},
    SignedValue{I::ITC::PValue, true},
    UnsignedValue{I::ITC::IValue, true},
    SignedValue{I::ITC::Hysteresis, true},
    DataValue{I::ITC::ConsumersList},
};

inline constexpr Value HccValues[] = {
    DataValue{I::General::ObjectName, true},
    DataValue{I::General::ValueList},
    UnsignedValue{I::HCC::Status},
    SignedValue{I::HCC::ActualInletTemperature},
    SignedValue{I::HCC::DesiredInletTemperature},
    SignedValue{I::HCC::Curve},
    EnumValue{I::HCC::SourceDemand},
    SignedValue{I::HCC::DesiredRoomTemperature},
    AlarmValue{I::HCC::AlarmHighTemperature},
    EnumValue{I::HCC::CurveType, true},
    SignedValue{I::HCC::CurveManual, true},
    SignedValue{I::HCC::DimInletTemperature, true},
    SignedValue{I::HCC::DimOutdoorTemperature, true},
    SignedValue{I::HCC::DimIndoorTemperature, true},
    SignedValue{I::HCC::ParallelDisplacement, true},
    SignedValue{I::HCC::MinInletTemperature, true},
    SignedValue{I::HCC::MaxInletTemperature, true},
    SignedValue{I::HCC::GainNoRoomThermostat, true},
    SignedValue{I::HCC::OutsideExceeds, true},
    UnsignedValue{I::HCC::HtcoMode, true},
    SignedValue{I::HCC::InletExceeds, true},
    SignedValue{I::HCC::InletExceededBy, true},
    UnsignedValue{I::HCC::CurveControl, true},
    DataValue{I::HCC::ConsumersList},
};

inline constexpr Value DhwValues[] = {
    DataValue{I::General::ObjectName, true}, DataValue{I::General::ValueList},
    SignedValue{I::DHW::TemperatureDesired}, SignedValue{I::DHW::TempSpanMin, true},
    SignedValue{I::DHW::TempSpanMax, true},  SignedValue{I::DHW::TempSet, true},
};

inline constexpr Value DhwTankValues[] = {
    DataValue{I::General::ObjectName, true},
    DataValue{I::General::ValueList},
    UnsignedValue{I::DHWTank::TankState},
    SignedValue{I::DHWTank::TankTemp},
    SignedValue{I::DHWTank::TankDesiredTemp},
    SignedValue{I::DHWTank::TempSetEco, true},
    SignedValue{I::DHWTank::TempSetComfort, true},
    SignedValue{I::DHWTank::TempSetVacation, true},
    SignedValue{I::DHWTank::TempSetStandby, true},
    SignedValue{I::DHWTank::TempSetCleaning, true},
    SignedValue{I::DHWTank::TempMinimum, true},
    SignedValue{I::DHWTank::TempMaximum, true},
    DataValue{I::DHWTank::CleaningInterval},
    UnsignedValue{I::DHWTank::CleaningPeriod, true},
    UnsignedValue{I::DHWTank::CleaningTimeBeforeFail, true},
    DataValue{I::DHWTank::Schedule},
    UnsignedValue{I::DHWTank::AllowVacationAway, true},
    UnsignedValue{I::DHWTank::AllowStandby, true},
};

inline constexpr Value ThermoheadValues[] = {
    DataValue{I::General::ObjectName, true},
    DataValue{I::General::ValueList},
    SignedValue{I::Output::Value},
    AlarmValue{I::Output::Alarm},
};

inline constexpr Value RelayValues[] = {
    DataValue{I::General::ObjectName, true},   DataValue{I::General::ValueList},
    EnumValue{I::Output::RelayFunction, true}, SignedValue{I::Output::Value},
    SignedValue{I::Output::SourceMinValue},    SignedValue{I::Output::SourceMaxValue},
    DataValue{I::Output::ValueSource},         AlarmValue{I::Output::Alarm},
};

inline constexpr Value AnalogValues[] = {
    DataValue{I::General::ObjectName, true},
    DataValue{I::General::ValueList},
    SignedValue{I::Analog::Value},
    EnumValue{I::Output::RelayFunction, true},
    SignedValue{I::Analog::TemperatureThreshold, true},
    SignedValue{I::Analog::TemperatureLow, true},
    SignedValue{I::Analog::TemperatureHigh, true},
    SignedValue{I::Analog::VoltageLow, true},
    SignedValue{I::Analog::VoltageHigh, true},
    SignedValue{I::Analog::VoltageFixed, true},
    UnsignedValue{I::Analog::DelayedStart, true},
    UnsignedValue{I::Analog::DelayedStop, true},
    UnsignedValue{I::Analog::ServiceMode, true},
    SignedValue{I::Analog::ServiceValue, true},
    DataValue{I::Output::ValueSource},
    AlarmValue{I::Output::Alarm},
};

inline constexpr Value ServoValues[] = {
    DataValue{I::General::ObjectName, true},
    DataValue{I::General::ValueList},
    SignedValue{I::Output::Value},
    AlarmValue{I::Output::Alarm},
};

} // namespace Templates

inline constexpr ObjectTemplate Location{N_("Location"), Templates::LocationValues};
inline constexpr ObjectTemplate Device{N_("Device"), Templates::DeviceValues};
inline constexpr ObjectTemplate Interface{N_("Interface"), Templates::InterfaceValues};
inline constexpr ObjectTemplate Input{N_("Input"), Templates::InputValues};
inline constexpr ObjectTemplate Room{N_("Room"), Templates::RoomValues};
inline constexpr ObjectTemplate ITC{N_("Inlet temperature controller"), Templates::ItcValues};
inline constexpr ObjectTemplate HCC{N_("Heating/cooling circuit"), Templates::HccValues};
inline constexpr ObjectTemplate DHW{N_("Hot water"), Templates::DhwValues};
inline constexpr ObjectTemplate DHWTank{N_("Hot-water tank"), Templates::DhwTankValues};
namespace OutputObject {
inline constexpr ObjectTemplate Thermohead{N_("Thermohead"), Templates::ThermoheadValues};
inline constexpr ObjectTemplate Relay{N_("Relay"), Templates::RelayValues};
inline constexpr ObjectTemplate Analog{N_("Analog output"), Templates::AnalogValues};
inline constexpr ObjectTemplate Servo{N_("Servo"), Templates::ServoValues};
} // namespace OutputObject

} // namespace tdx::DataModel
