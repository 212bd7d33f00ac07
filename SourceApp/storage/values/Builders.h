// Short constant-expression builders for the descriptors of the catalogue.
#pragma once

#include "SourceApp/storage/DataModel.h"

#include <iterator>

namespace tdx::DataModel::Build {

using namespace Descriptor;
namespace F = Factories::Formatters;
using Factories::AbstractFormatterFactory;
using Factories::AbstractNumberFactory;
using Factories::DefaultMaximum;
using Factories::DefaultMinimum;
using Factories::Follow;

constexpr void base(VidBase& d, const char* name, u16 vid, bt_vtype vtype, Kind kind, bool readOnly) {
    d.name = name;
    d.vid = vid;
    d.vtype = vtype;
    d.kind = kind;
    d.readOnly = readOnly ? 1 : 0;
}

constexpr VidData data(const char* name, u16 vid, DataRole role, bt_vtype vtype = BT_VTYPE_DATA,
                       bool readOnly = false) {
    VidData d{};
    base(d, name, vid, vtype, KIND_DATA, readOnly);
    d.role = role;
    return d;
}

constexpr VidData list(const char* name, u16 vid) {
    return data(name, vid, DataRole::List);
}

constexpr VidSignedNumber signedNumber(const char* name, u16 vid, bt_vtype vtype, bool readOnly, int minimum,
                                       int maximum, int step, const AbstractFormatterFactory* formatter,
                                       const AbstractNumberFactory* minimumFactory = &DefaultMinimum,
                                       const AbstractNumberFactory* maximumFactory = &DefaultMaximum,
                                       NumberRole role = NumberRole::Plain) {
    VidSignedNumber d{};
    base(d, name, vid, vtype, KIND_NUMBER, readOnly);
    d.role = role;
    d.isSigned = 1;
    d.formatter = formatter;
    d.minimum = minimum;
    d.maximum = maximum;
    d.step = step;
    d.minimumFactory = minimumFactory;
    d.maximumFactory = maximumFactory;
    return d;
}

// A measured signed value: read-only, limits of its type.
constexpr VidSignedNumber measured(const char* name, u16 vid,
                                   const AbstractFormatterFactory* formatter = &F::Temperature,
                                   bt_vtype vtype = BT_VTYPE_S16_X100, NumberRole role = NumberRole::Plain) {
    const int top = static_cast<int>(bt_vtype_marker(vtype)) - 1;
    return signedNumber(name, vid, vtype, true, -top - 1, top, 1, formatter, &DefaultMinimum, &DefaultMaximum,
                        role);
}

// A temperature setting in hundredths of a degree (type 18).
constexpr VidSignedNumber temperature(const char* name, u16 vid, int minimum, int maximum, int step,
                                      const AbstractNumberFactory* minimumFactory = &DefaultMinimum,
                                      const AbstractNumberFactory* maximumFactory = &DefaultMaximum,
                                      const AbstractFormatterFactory* formatter = &F::Temperature) {
    return signedNumber(name, vid, BT_VTYPE_S16_X100, false, minimum, maximum, step, formatter,
                        minimumFactory, maximumFactory);
}

constexpr VidUnsignedNumber unsignedNumber(const char* name, u16 vid, bt_vtype vtype, bool readOnly,
                                           u32 minimum, u32 maximum, u32 step,
                                           const AbstractFormatterFactory* formatter = &F::Numeric,
                                           NumberRole role = NumberRole::Plain) {
    VidUnsignedNumber d{};
    base(d, name, vid, vtype, KIND_NUMBER, readOnly);
    d.role = role;
    d.isSigned = 0;
    d.formatter = formatter;
    d.minimum = minimum;
    d.maximum = maximum;
    d.step = step;
    return d;
}

// A read-only unsigned value over the whole range of its type.
constexpr VidUnsignedNumber state(const char* name, u16 vid, bt_vtype vtype = BT_VTYPE_U8,
                                  NumberRole role = NumberRole::Plain,
                                  const AbstractFormatterFactory* formatter = &F::Numeric) {
    return unsignedNumber(name, vid, vtype, true, 0, bt_vtype_marker(vtype) - 1, 1, formatter, role);
}

constexpr VidUnsignedNumber reference(const char* name, u16 vid, bool readOnly = true) {
    return unsignedNumber(name, vid, BT_VTYPE_U32, readOnly, 0, 0xFFFFFFFEu, 1, &F::Numeric,
                          NumberRole::ObjectReference);
}

constexpr VidUnsignedNumber toggle(const char* name, u16 vid) {
    return unsignedNumber(name, vid, BT_VTYPE_U8, false, 0, 1, 1, &F::Numeric, NumberRole::Toggle);
}

// The formatter that shows the option texts of Options.
template <const auto& Options>
inline constexpr Factories::EnumFormatterFactory OptionTexts{Options};

template <const auto& Options>
constexpr VidEnum enumeration(const char* name, u16 vid, bool readOnly = false,
                              bt_vtype vtype = BT_VTYPE_U8) {
    VidEnum d{};
    base(d, name, vid, vtype, KIND_NUMBER, readOnly);
    d.role = NumberRole::Enumeration;
    d.isSigned = 0;
    d.formatter = &OptionTexts<Options>;
    u32 low = Options[0].value;
    u32 high = Options[0].value;
    for (const EnumOption& o : Options) {
        low = o.value < low ? o.value : low;
        high = o.value > high ? o.value : high;
    }
    d.minimum = low;
    d.maximum = high;
    d.step = 1;
    d.options = Options;
    d.optionCount = static_cast<u8>(std::size(Options));
    return d;
}

template <size_t N>
constexpr VidAlarm alarm(const char* name, u16 vid, bt_vtype vtype, const AlarmRow (&rows)[N], u8 severity,
                         u8 excluded = 0) {
    VidAlarm d{};
    base(d, name, vid, vtype, KIND_NUMBER, true);
    d.role = NumberRole::Alarm;
    d.isSigned = 0;
    d.formatter = &F::Numeric;
    d.minimum = 0;
    d.maximum = bt_vtype_marker(vtype) - 1;
    d.step = 1;
    d.rows = rows;
    d.rowCount = static_cast<u8>(N);
    d.severity = severity;
    d.excluded = excluded;
    return d;
}

// The template value of descriptor D, typed by the descriptor's own type; Editable ones are offered by the
// object editor.
constexpr DataValue typed(const VidData& d, bool editable) {
    return DataValue(d, editable);
}
constexpr SignedValue typed(const VidSignedNumber& d, bool editable) {
    return SignedValue(d, editable);
}
constexpr UnsignedValue typed(const VidUnsignedNumber& d, bool editable) {
    return UnsignedValue(d, editable);
}
constexpr EnumValue typed(const VidEnum& d, bool editable) {
    return EnumValue(d, editable);
}
constexpr AlarmValue typed(const VidAlarm& d, bool editable) {
    return AlarmValue(d, editable);
}

template <const auto& D>
inline constexpr auto Plain = typed(D, false);
template <const auto& D>
inline constexpr auto Editable = typed(D, true);

} // namespace tdx::DataModel::Build
