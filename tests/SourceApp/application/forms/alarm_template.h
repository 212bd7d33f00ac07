// Peripherals of the tests' own kind: a name, the object they are associated with, an alarm with two texts, a
// warning and an alarm without texts, so that every look of the alarm list can be reported.
#pragma once

#include "SourceApp/storage/values/Builders.h"

namespace tdx::test {

namespace alarm_template {
using namespace DataModel;
using namespace DataModel::Descriptor;
inline constexpr Descriptor::AlarmRow ROWS[] = {{3, "Output has a problem, code %u."}, {7, "Valve stuck"}};
inline constexpr Descriptor::VidData NAME = Build::data("Name", 0x8090, DataRole::String, BT_VTYPE_TEXT);
inline constexpr Descriptor::VidUnsignedNumber ASSOCIATE = Build::reference("Associated object", 0x80DE);
inline constexpr Descriptor::VidAlarm ALARM = Build::alarm("Alarm", 0x4010, BT_VTYPE_U8, ROWS, 1);
inline constexpr Descriptor::VidAlarm WARNING = Build::alarm("Warning", 0x4011, BT_VTYPE_U16, ROWS, 0);
inline constexpr Descriptor::VidAlarm UNTITLED = [] {
    Descriptor::VidAlarm d = Build::alarm("Untitled", 0x4012, BT_VTYPE_U8, ROWS, 1);
    d.rowCount = 0;
    return d;
}();
inline constexpr const Value* VALUES[] = {&Build::Editable<NAME>, &Build::Plain<ASSOCIATE>,
                                          &Build::Plain<ALARM>, &Build::Plain<WARNING>,
                                          &Build::Plain<UNTITLED>};
} // namespace alarm_template

inline constexpr DataModel::ObjectTemplate PERIPHERAL{"Peripheral", alarm_template::VALUES};
inline constexpr vid_t ALARM = 0x4010;
inline constexpr vid_t WARNING = 0x4011;
inline constexpr vid_t UNTITLED_ALARM = 0x4012;
inline constexpr vid_t ASSOCIATE = 0x80DE;

} // namespace tdx::test
