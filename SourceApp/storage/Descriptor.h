// The compiled-in descriptions of values: what a value is (name, id, type, role), its limits, step and
// formatter, and the option and alarm texts of enumerations and alarms. All of them are constant data.
#pragma once

#include "SourceApp/big_table/bt_types.h"

namespace tdx::DataModel {

namespace Factories {
class AbstractFormatterFactory;
class AbstractNumberFactory;
} // namespace Factories

namespace Descriptor {

enum Kind : u8 { KIND_NUMBER = 0, KIND_DATA = 1 };

enum class DataRole : u8 { List = 0, String = 1, Schedule = 2 };

enum class NumberRole : u8 {
    Plain = 0,
    ObjectReference = 4,
    Duration = 6,
    Timestamp = 7,
    Alarm = 8,
    Enumeration = 9,
    Toggle = 10,
};

struct VidBase {
    const char* name; // English, translated where shown
    u16 vid;
    bt_vtype vtype;
    u8 kind;     // Kind
    u8 readOnly; // non-zero: measured or read-only
};

struct VidData : VidBase {
    DataRole role;
};

struct VidNumber : VidBase {
    NumberRole role;
    u8 isSigned;
    // Never null: enumerations show their option texts, everything else at least its number.
    const Factories::AbstractFormatterFactory* formatter;
};

struct VidSignedNumber : VidNumber {
    int minimum; // default limits
    int maximum;
    int step;
    const Factories::AbstractNumberFactory* minimumFactory;
    const Factories::AbstractNumberFactory* maximumFactory;
};

struct VidUnsignedNumber : VidNumber {
    u32 minimum;
    u32 maximum;
    u32 step;
};

struct EnumOption {
    u32 value;
    const char* text; // English
};

// The English text of an option, null when the value has none.
constexpr const char* option_text(const EnumOption* options, u8 count, u32 value) {
    for (u8 i = 0; i < count; ++i) {
        if (options[i].value == value) {
            return options[i].text;
        }
    }
    return nullptr;
}

struct VidEnum : VidUnsignedNumber {
    const EnumOption* options;
    u8 optionCount;

    constexpr const char* optionText(u32 value) const { return option_text(options, optionCount, value); }
};

struct AlarmRow {
    u32 code;
    const char* text; // English; may hold one "%u" for the code
};

struct VidAlarm : VidUnsignedNumber {
    const AlarmRow* rows;
    u8 rowCount;
    u8 severity; // 1 alarm, 0 warning
    u8 excluded; // 1 keeps the value out of the alarm list
};

} // namespace Descriptor
} // namespace tdx::DataModel
