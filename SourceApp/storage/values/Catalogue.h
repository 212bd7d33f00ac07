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
inline constexpr VidEnum HcMode = enumeration<HcModeOptions>(N_("System mode"), 0x803D);
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

inline constexpr VidEnum State = enumeration<StateOptions>(N_("Device state"), 0x002F, true);
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
inline constexpr VidEnum HumCtrlState = enumeration<HumCtrlStateOptions>(N_("State"), 0x001E, true);

inline constexpr VidEnum Mode = enumeration<ModeOptions>(N_("Mode"), 0x8004);
inline constexpr VidEnum ModeOverride = enumeration<ModeOverrideOptions>(N_("Mode override"), 0x8005);
inline constexpr VidUnsignedNumber ModeOverrideEndTime =
    unsignedNumber(N_("Mode override end-time"), 0x8006, BT_VTYPE_U32, false, 0, 0xFFFFFFFEu, 1, &F::Numeric,
                   NumberRole::Timestamp);
inline constexpr VidEnum ThermAccessLevel = enumeration<AccessLevelOptions>(N_("Thermostat lock"), 0x8008);
inline constexpr VidSignedNumber TempCtrlTempAlarmLow =
    temperature(N_("Low temperature"), 0x8010, -900, 3700, 50);
inline constexpr VidSignedNumber TempCtrlTempAlarmHigh =
    temperature(N_("High temperature"), 0x8011, -600, 7000, 50);
inline constexpr VidEnum TempCtrlHeatRegulatedValSrc =
    enumeration<FloorSensorOptions>(N_("Floor sensor mode"), 0x8014);
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
inline constexpr VidSignedNumber TempCtrlHeatFloorTempLimitMinEco =
    temperature(N_("Eco minimum temperature"), 0x8023, 600, 4000, 50);
inline constexpr VidSignedNumber TempCtrlHeatFloorTempLimitMaxEco =
    temperature(N_("Eco maximum temperature"), 0x8079, 600, 4000, 50, &DefaultMinimum, &Follow<0x8019>);
inline constexpr VidSignedNumber TempCtrlHeatFloorTempLimitMinComfort =
    temperature(N_("Comfort minimum temperature"), 0x8024, 600, 4000, 50, &DefaultMinimum, &Follow<0x8019>);
inline constexpr VidSignedNumber TempCtrlHeatFloorTempLimitMaxComfort =
    temperature(N_("Comfort maximum temperature"), 0x8080, 600, 4000, 50, &DefaultMinimum, &Follow<0x8019>);
inline constexpr VidSignedNumber TempCtrlHeatFloorTempLimitMinExtraComfort = temperature(
    N_("Extra comfort minimum temperature"), 0x8025, 600, 4000, 50, &DefaultMinimum, &Follow<0x8019>);
inline constexpr VidSignedNumber TempCtrlHeatFloorTempLimitMaxExtraComfort = temperature(
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
inline constexpr VidSignedNumber TempCtrlFloorTempAlarmLow =
    temperature(N_("Low floor temperature"), 0x80F3, -900, 3700, 50);
inline constexpr VidSignedNumber TempCtrlFloorTempAlarmHigh =
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
inline constexpr VidEnum SourceDemand = enumeration<SourceDemandOptions>(N_("Source demand"), 0x0039, true);
inline constexpr VidAlarm AlarmHighTemperature =
    alarm(N_("Alarm high temperature"), 0x400E, BT_VTYPE_U8, HighTemperatureRows, 1);

inline constexpr VidEnum CurveType = enumeration<CurveTypeOptions>(N_("Heat curve type"), 0x80C8);
inline constexpr VidSignedNumber CurveManual =
    signedNumber(N_("Heat curve"), 0x80C9, BT_VTYPE_S16_X10, false, 1, 40, 1, &F::Tenths);
inline constexpr VidSignedNumber CurveDesignInletTemperature =
    temperature(N_("Dim. inlet temperature"), 0x80C5, 2000, 9500, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber CurveDesignOutdoorTemperature =
    temperature(N_("Dim. outdoor temperature"), 0x80C7, -3000, 4000, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber CurveDesignRoomTemperature =
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
inline constexpr VidSignedNumber GainWithoutThermostat =
    signedNumber(N_("Gain"), 0x80C4, BT_VTYPE_S16_X10, false, -20, 20, 1, &F::Tenths);
inline constexpr VidEnum ReturnTemperatureLimiterMode =
    enumeration<LimiterOptions>(N_("Return temperature limiter"), 0x80CA);
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
inline constexpr VidUnsignedNumber PriorityOverInletTemperature =
    toggle(N_("Priority over inlet temperature"), 0x80DB);
inline constexpr VidUnsignedNumber BoostMode = toggle(N_("Boost"), 0x80CF);
inline constexpr VidUnsignedNumber BoostPercent =
    unsignedNumber(N_("Boost percent"), 0x80D0, BT_VTYPE_U8, false, 1, 100, 1, &F::RawPercent);
inline constexpr VidUnsignedNumber RampingMode = toggle(N_("Ramping"), 0x80D1);
inline constexpr VidUnsignedNumber RampingTime =
    unsignedNumber(N_("Ramping time"), 0x80D2, BT_VTYPE_U8, false, 1, 120, 1, &F::Seconds);
inline constexpr VidSignedNumber FrostProtectionTemperature =
    temperature(N_("Frost protection temperature"), 0x80D6, -500, 5000, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber HotcoTemperature =
    temperature(N_("Outside exceeds"), 0x80C3, 1000, 5000, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber HtcoTemperature =
    temperature(N_("Inlet exceeded by"), 0x8059, 300, 2000, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber RegulatorPvalue =
    signedNumber(N_("P-value"), 0x80D7, BT_VTYPE_S16_X10, false, 1, 100, 1, &F::Tenths);
inline constexpr VidUnsignedNumber RegulatorIvalue =
    unsignedNumber(N_("I-value"), 0x80D8, BT_VTYPE_U16, false, 5, 60, 1, &F::Seconds);
inline constexpr VidSignedNumber RegulatorHysteresis = temperature(N_("Hysteresis"), 0x80D9, 10, 500, 10);
inline constexpr VidData ConsumersList = list(N_("Consumers"), 0x80B8);
} // namespace ITC

namespace HCC {
inline constexpr VidUnsignedNumber State = state(N_("Status"), 0x0065);
inline constexpr VidSignedNumber ActualInletTemperature = measured(N_("Actual inlet temperature"), 0x003E);
inline constexpr VidSignedNumber DesiredInletTemperature =
    measured(N_("Desired inlet water temperature"), 0x003A);
inline constexpr VidSignedNumber Curve = measured(N_("Curve"), 0x0056, &F::Tenths, BT_VTYPE_S16_X10);
inline constexpr VidEnum SourceDemand = enumeration<SourceDemandOptions>(N_("Source demand"), 0x0053, true);
inline constexpr VidSignedNumber DesiredRoomTemperature = measured(N_("Desired room temperature"), 0x0054);
inline constexpr VidAlarm AlarmHighTemperature =
    alarm(N_("Alarm high temperature"), 0x401F, BT_VTYPE_U8, HighTemperatureRows, 1);

inline constexpr VidEnum CurveType = enumeration<CurveTypeOptions>(N_("Heat curve type"), 0x8104);
inline constexpr VidSignedNumber CurveManual =
    signedNumber(N_("Heat curve"), 0x8105, BT_VTYPE_S16_X10, false, 1, 40, 1, &F::Tenths);
inline constexpr VidSignedNumber CurveDesignInletTemperature =
    temperature(N_("Dim. inlet temperature"), 0x8107, 2000, 9500, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber CurveDesignOutdoorTemperature =
    temperature(N_("Dim. outdoor temperature"), 0x8109, -3000, 4000, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber CurveDesignRoomTemperature =
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
inline constexpr VidSignedNumber GainWithoutThermostat =
    signedNumber(N_("Gain if no room thermostat"), 0x810A, BT_VTYPE_S16_X10, false, -20, 20, 1, &F::Tenths);
inline constexpr VidSignedNumber HotcoTemperature =
    temperature(N_("Outside exceeds"), 0x810B, 1000, 5000, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidUnsignedNumber HtcoMode = toggle(N_("High temperature cut-off"), 0x80F9);
inline constexpr VidSignedNumber HtcoTemperature = temperature(
    N_("Inlet exceeds"), 0x80F6, 1000, 8500, 100, &DefaultMinimum, &DefaultMaximum, &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber HtcoTemperatureRelative =
    temperature(N_("Inlet exceeded by"), 0x8101, 300, 2000, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidUnsignedNumber CurveControl = toggle(N_("Curve control"), 0x80FA);
inline constexpr VidData ConsumersList = list(N_("Consumers"), 0x80B8);
} // namespace HCC

namespace DHW {
inline constexpr VidSignedNumber TempDesired = measured(N_("Temperature desired"), 0x0031);
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
inline constexpr VidEnum RelayFunction = enumeration<FunctionOptions>(N_("Function"), 0x80E7);
inline constexpr VidSignedNumber SourceMinValue = measured(N_("Source min value"), 0x80A1);
inline constexpr VidSignedNumber SourceMaxValue = measured(N_("Source max value"), 0x80A2);
inline constexpr VidData ValueSource = list(N_("Output value source"), 0x80A0);
inline constexpr VidAlarm Alarm = alarm(N_("Output alarm"), 0x4010, BT_VTYPE_U8, ProblemRows, 1);
inline constexpr VidUnsignedNumber DelayedStart = unsignedNumber(
    N_("Delay start"), 0x80A7, BT_VTYPE_U16, false, 0, 10, 1, &F::Minutes, NumberRole::Duration);
inline constexpr VidUnsignedNumber DelayedStop = unsignedNumber(N_("Delay stop"), 0x80A8, BT_VTYPE_U16, false,
                                                                0, 10, 1, &F::Minutes, NumberRole::Duration);
inline constexpr VidUnsignedNumber ServiceMode = toggle(N_("Service mode"), 0x80A5);

// A 0-10 V output: a temperature-to-voltage curve (Function 8) or fixed cooling, heating and idle voltages
// (Function 7).
namespace Analog {
inline constexpr EnumOption FunctionOptions[] = {
    {0, N_("Off")}, {7, N_("Fixed voltages")}, {8, N_("By temperature")}};

inline constexpr VidSignedNumber Value = measured(N_("Voltage"), 0x004C, &F::Volts);
inline constexpr VidEnum Function = enumeration<FunctionOptions>(N_("Function"), 0x80E7);
inline constexpr VidSignedNumber AnalogThreshold =
    temperature(N_("Temperature threshold"), 0x80A3, 0, 4000, 100, &DefaultMinimum, &DefaultMaximum,
                &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber AnalogLowTemperature = temperature(
    N_("Temperature"), 0x80A1, 0, 10000, 100, &DefaultMinimum, &Follow<0x80A2>, &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber AnalogHighTemperature = temperature(
    N_("Temperature"), 0x80A2, 0, 10000, 100, &Follow<0x80A1>, &DefaultMaximum, &F::TemperatureNoDecimal);
inline constexpr VidSignedNumber AnalogLowVoltage =
    temperature(N_("Voltage"), 0x80F8, 0, 1000, 10, &DefaultMinimum, &Follow<0x80F7>, &F::Volts);
inline constexpr VidSignedNumber AnalogHighVoltage =
    temperature(N_("Voltage"), 0x80F7, 0, 1000, 10, &Follow<0x80F8>, &DefaultMaximum, &F::Volts);
inline constexpr VidSignedNumber AnalogIdleVoltage =
    temperature(N_("Voltage"), 0x810F, 0, 1000, 10, &DefaultMinimum, &DefaultMaximum, &F::Volts);
inline constexpr VidSignedNumber ServiceValue =
    temperature(N_("Service value"), 0x80A6, 0, 10000, 100, &DefaultMinimum, &DefaultMaximum, &F::Numeric);
} // namespace Analog
} // namespace Output

} // namespace Implementation

// Object templates. The object editor offers the Editable values: settings, and the measured values that it
// shows as status lines where the screens rely on it.
namespace Templates {
namespace I = Implementation;
using Build::Editable;
using Build::Plain;

inline constexpr const Value* LocationValues[] = {
    &Editable<I::General::ObjectName>,
    &Plain<I::General::ValueList>,
    &Plain<I::General::OutdoorTemperature>,
    &Plain<I::Location::FilteredOutdoorTemperature>,
    &Plain<I::Location::LocalTimeOffset>,
    &Plain<I::Location::Backup>,
    &Plain<I::Location::Restore>,
    &Editable<I::Location::TimeZoneOffset>,
    &Editable<I::Location::DaylightSavings>,
    &Editable<I::Location::HcMode>,
    &Editable<I::Location::HcModeSwitching>,
    &Editable<I::Location::Vacation>,
    &Editable<I::Location::VacationEndTime>,
    &Editable<I::Location::Standby>,
    &Plain<I::Location::ControlUnit>,
    &Plain<I::Location::GlobalComponents>,
    &Plain<I::Location::LearnList>,
    &Plain<I::Location::EnrolSerial>,
    &Plain<I::Location::DeleteList>,
    &Plain<I::Location::CurrentProfile>,
    &Plain<I::Location::RequestedProfile>,
    &Editable<I::Location::OutdoorTemperatureSource>,
    &Editable<I::Location::HcModeDeadband>,
    &Editable<I::Location::HcModeSwitchCooldown>,
    &Editable<I::Location::HcCoolingMinimumOutsideTemperature>,
    &Editable<I::Location::HcModeDewPointOffset>,
};

inline constexpr const Value* DeviceValues[] = {
    &Editable<I::General::ObjectName>,
    &Plain<I::General::ValueList>,
    &Plain<I::Device::State>,
    &Plain<I::General::AirTemperature>,
    &Plain<I::General::FloorTemperature>,
    &Plain<I::General::OutdoorTemperature>,
    &Plain<I::General::Humidity>,
    &Plain<I::Device::BatteryLevel>,
    &Plain<I::Device::SerialNumber>,
    &Plain<I::Device::SerialPrefix>,
    &Plain<I::Device::HardwareCode>,
    &Plain<I::Device::SoftwareCode>,
    &Plain<I::Device::SoftwareVersion>,
    &Plain<I::Device::SoftwareBuild>,
    &Plain<I::Device::HardwareVersion>,
    &Plain<I::Device::AssociatedObject>,
    &Plain<I::General::Peripherals>,
    &Plain<I::Device::ObjectIndices>,
    &Plain<I::Device::WarningUnreachable>,
    &Plain<I::Device::WarningLowBattery>,
    &Plain<I::Device::WarningGeneralProblem>,
};

inline constexpr const Value* InterfaceValues[] = {
    &Editable<I::General::ObjectName>,
    &Plain<I::General::ValueList>,
};

inline constexpr const Value* InputValues[] = {
    &Editable<I::General::ObjectName>,
    &Plain<I::General::ValueList>,
    &Editable<I::General::AirTemperature>,
};

inline constexpr const Value* RoomValues[] = {
    &Editable<I::General::ObjectName>,
    &Plain<I::General::ValueList>,
    &Plain<I::General::Humidity>,
    &Plain<I::General::AirTemperature>,
    &Plain<I::General::FloorTemperature>,
    &Plain<I::Room::DewPoint>,
    &Plain<I::Room::State>,
    &Plain<I::Room::Blocking>,
    &Plain<I::Room::TemperatureDesired>,
    &Plain<I::Room::HumCtrlState>,
    &Editable<I::Room::Mode>,
    &Editable<I::Room::ModeOverride>,
    &Editable<I::Room::ModeOverrideEndTime>,
    &Editable<I::Room::ThermAccessLevel>,
    &Editable<I::Room::TempCtrlTempAlarmLow>,
    &Editable<I::Room::TempCtrlTempAlarmHigh>,
    &Editable<I::Room::TempCtrlHeatRegulatedValSrc>,
    &Editable<I::Room::TempCtrlHeatAdaptiveModeEna>,
    &Editable<I::Room::TempCtrlHeatTempSpanMin>,
    &Editable<I::Room::TempCtrlHeatTempSpanMax>,
    &Editable<I::Room::TempCtrlHeatTempSetManual>,
    &Editable<I::Room::TempCtrlHeatTempSetEco>,
    &Editable<I::Room::TempCtrlHeatTempSetComfort>,
    &Editable<I::Room::TempCtrlHeatTempSetExtraComfort>,
    &Editable<I::Room::TempCtrlHeatTempSetTemporary>,
    &Editable<I::Room::TempCtrlHeatTempSetVacation>,
    &Editable<I::Room::TempCtrlHeatTempSetAdjusted>,
    &Editable<I::Room::TempCtrlHeatTempSetStandby>,
    &Editable<I::Room::TempCtrlHeatTempHysteresis>,
    &Editable<I::Room::TempCtrlHeatFloorTempHysteresis>,
    &Editable<I::Room::TempCtrlHeatFloorTempLimitMinEco>,
    &Editable<I::Room::TempCtrlHeatFloorTempLimitMaxEco>,
    &Editable<I::Room::TempCtrlHeatFloorTempLimitMinComfort>,
    &Editable<I::Room::TempCtrlHeatFloorTempLimitMaxComfort>,
    &Editable<I::Room::TempCtrlHeatFloorTempLimitMinExtraComfort>,
    &Editable<I::Room::TempCtrlHeatFloorTempLimitMaxExtraComfort>,
    &Editable<I::Room::TempCtrlCoolTempSpanMin>,
    &Editable<I::Room::TempCtrlCoolTempSpanMax>,
    &Editable<I::Room::TempCtrlCoolTempSetManual>,
    &Editable<I::Room::TempCtrlCoolTempSetEco>,
    &Editable<I::Room::TempCtrlCoolTempSetComfort>,
    &Editable<I::Room::TempCtrlCoolTempSetExtraComfort>,
    &Editable<I::Room::TempCtrlCoolTempSetTemporary>,
    &Editable<I::Room::TempCtrlCoolTempSetVacation>,
    &Editable<I::Room::TempCtrlCoolTempSetAdjusted>,
    &Editable<I::Room::TempCtrlCoolTempHysteresis>,
    &Editable<I::Room::TempCtrlCoolTempSetStandby>,
    &Editable<I::Room::HumCtrlSetManual>,
    &Editable<I::Room::HumCtrlHysteresis>,
    &Editable<I::Room::HumCtrlEnabled>,
    &Editable<I::Room::TempCtrlFloorTempAlarmLow>,
    &Editable<I::Room::TempCtrlFloorTempAlarmHigh>,
    &Plain<I::Room::Schedule>,
    &Editable<I::Room::AllowVacationAway>,
    &Plain<I::Room::Thermoheads>,
    &Plain<I::General::Peripherals>,
    &Plain<I::Room::ServingFunction>,
};

inline constexpr const Value* ItcValues[] = {
    &Editable<I::General::ObjectName>,
    &Plain<I::General::ValueList>,
    &Plain<I::ITC::ActualInletTemperature>,
    &Plain<I::ITC::ActualReturnTemperature>,
    &Plain<I::ITC::DesiredInletTemperature>,
    &Plain<I::ITC::Curve>,
    &Plain<I::ITC::DesiredRoomTemperature>,
    &Plain<I::ITC::SourceDemand>,
    &Plain<I::ITC::AlarmHighTemperature>,
    &Editable<I::ITC::CurveType>,
    &Editable<I::ITC::CurveManual>,
    &Editable<I::ITC::CurveDesignInletTemperature>,
    &Editable<I::ITC::CurveDesignOutdoorTemperature>,
    &Editable<I::ITC::CurveDesignRoomTemperature>,
    &Editable<I::ITC::ParallelDisplacement>,
    &Editable<I::ITC::MinInletTemperature>,
    &Editable<I::ITC::MaxInletTemperature>,
    &Editable<I::ITC::GainWithoutThermostat>,
    &Editable<I::ITC::ReturnTemperatureLimiterMode>,
    &Editable<I::ITC::MaxReturnTemperature>,
    &Editable<I::ITC::MinReturnTemperature>,
    &Editable<I::ITC::GainMaxReturnTemperature>,
    &Editable<I::ITC::GainMinReturnTemperature>,
    &Editable<I::ITC::PriorityOverInletTemperature>,
    &Editable<I::ITC::BoostMode>,
    &Editable<I::ITC::BoostPercent>,
    &Editable<I::ITC::RampingMode>,
    &Editable<I::ITC::RampingTime>,
    &Editable<I::ITC::FrostProtectionTemperature>,
    &Editable<I::ITC::HotcoTemperature>,
    &Editable<I::ITC::HtcoTemperature>,
    &Editable<I::ITC::RegulatorPvalue>,
    &Editable<I::ITC::RegulatorIvalue>,
    &Editable<I::ITC::RegulatorHysteresis>,
    &Plain<I::ITC::ConsumersList>,
};

inline constexpr const Value* HccValues[] = {
    &Editable<I::General::ObjectName>,
    &Plain<I::General::ValueList>,
    &Plain<I::HCC::State>,
    &Plain<I::HCC::ActualInletTemperature>,
    &Plain<I::HCC::DesiredInletTemperature>,
    &Plain<I::HCC::Curve>,
    &Plain<I::HCC::SourceDemand>,
    &Plain<I::HCC::DesiredRoomTemperature>,
    &Plain<I::HCC::AlarmHighTemperature>,
    &Editable<I::HCC::CurveType>,
    &Editable<I::HCC::CurveManual>,
    &Editable<I::HCC::CurveDesignInletTemperature>,
    &Editable<I::HCC::CurveDesignOutdoorTemperature>,
    &Editable<I::HCC::CurveDesignRoomTemperature>,
    &Editable<I::HCC::ParallelDisplacement>,
    &Editable<I::HCC::MinInletTemperature>,
    &Editable<I::HCC::MaxInletTemperature>,
    &Editable<I::HCC::GainWithoutThermostat>,
    &Editable<I::HCC::HotcoTemperature>,
    &Editable<I::HCC::HtcoMode>,
    &Editable<I::HCC::HtcoTemperature>,
    &Editable<I::HCC::HtcoTemperatureRelative>,
    &Editable<I::HCC::CurveControl>,
    &Plain<I::HCC::ConsumersList>,
};

inline constexpr const Value* DhwValues[] = {
    &Editable<I::General::ObjectName>, &Plain<I::General::ValueList>,  &Editable<I::DHW::TempDesired>,
    &Editable<I::DHW::TempSpanMin>,    &Editable<I::DHW::TempSpanMax>, &Editable<I::DHW::TempSet>,
};

inline constexpr const Value* DhwTankValues[] = {
    &Editable<I::General::ObjectName>,
    &Plain<I::General::ValueList>,
    &Plain<I::DHWTank::TankState>,
    &Plain<I::DHWTank::TankTemp>,
    &Plain<I::DHWTank::TankDesiredTemp>,
    &Editable<I::DHWTank::TempSetEco>,
    &Editable<I::DHWTank::TempSetComfort>,
    &Editable<I::DHWTank::TempSetVacation>,
    &Editable<I::DHWTank::TempSetStandby>,
    &Editable<I::DHWTank::TempSetCleaning>,
    &Editable<I::DHWTank::TempMinimum>,
    &Editable<I::DHWTank::TempMaximum>,
    &Plain<I::DHWTank::CleaningInterval>,
    &Editable<I::DHWTank::CleaningPeriod>,
    &Editable<I::DHWTank::CleaningTimeBeforeFail>,
    &Plain<I::DHWTank::Schedule>,
    &Editable<I::DHWTank::AllowVacationAway>,
    &Editable<I::DHWTank::AllowStandby>,
};

inline constexpr const Value* ThermoheadValues[] = {
    &Editable<I::General::ObjectName>,
    &Plain<I::General::ValueList>,
    &Editable<I::Output::Value>,
    &Plain<I::Output::Alarm>,
};

inline constexpr const Value* RelayValues[] = {
    &Editable<I::General::ObjectName>, &Plain<I::General::ValueList>,     &Editable<I::Output::RelayFunction>,
    &Editable<I::Output::Value>,       &Plain<I::Output::SourceMinValue>, &Plain<I::Output::SourceMaxValue>,
    &Plain<I::Output::ValueSource>,    &Plain<I::Output::Alarm>,
};

inline constexpr const Value* AnalogValues[] = {
    &Editable<I::General::ObjectName>,
    &Plain<I::General::ValueList>,
    &Editable<I::Output::Analog::Value>,
    &Editable<I::Output::Analog::Function>,
    &Editable<I::Output::Analog::AnalogThreshold>,
    &Editable<I::Output::Analog::AnalogLowTemperature>,
    &Editable<I::Output::Analog::AnalogHighTemperature>,
    &Editable<I::Output::Analog::AnalogLowVoltage>,
    &Editable<I::Output::Analog::AnalogHighVoltage>,
    &Editable<I::Output::Analog::AnalogIdleVoltage>,
    &Editable<I::Output::DelayedStart>,
    &Editable<I::Output::DelayedStop>,
    &Editable<I::Output::ServiceMode>,
    &Editable<I::Output::Analog::ServiceValue>,
    &Plain<I::Output::ValueSource>,
    &Plain<I::Output::Alarm>,
};

inline constexpr const Value* ServoValues[] = {
    &Editable<I::General::ObjectName>,
    &Plain<I::General::ValueList>,
    &Editable<I::Output::Value>,
    &Plain<I::Output::Alarm>,
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
