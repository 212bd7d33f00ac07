// The compiled-in description of the data model: what every value of every object type is (name, id, type,
// limits, step, formatter, option and alarm texts) and which values each object type has.
#pragma once

#include "SourceApp/big_table/bt_types.h"
#include "SourceApp/storage/Descriptor.h"
#include "SourceApp/storage/Formatters.h"
#include "SourceApp/storage/Number.h"
#include "SourceApp/storage/Ovi.h"

#include <cstddef>

namespace tdx {
namespace DataModel {

namespace Factories {

// Makes the limit of a signed value for one object; the caller owns the number. Null when there is none.
class AbstractNumberFactory {
public:
    virtual Number<int>* create(u32 oid, const Descriptor::VidSignedNumber& descriptor) const = 0;

protected:
    constexpr AbstractNumberFactory() = default;
    ~AbstractNumberFactory() = default;
};

// The limit follows another value of the same object.
class ProxyNumberFactory final : public AbstractNumberFactory {
public:
    constexpr explicit ProxyNumberFactory(u16 vid)
        : mVid(vid) {}
    Number<int>* create(u32 oid, const Descriptor::VidSignedNumber& descriptor) const override {
        return new ProxyNumber<int>(mVid, oid, descriptor.vtype);
    }
    constexpr u16 vid() const { return mVid; }

private:
    u16 mVid;
};

class DefaultMinimumStaticNumberFactory final : public AbstractNumberFactory {
public:
    constexpr DefaultMinimumStaticNumberFactory() = default;
    Number<int>* create(u32, const Descriptor::VidSignedNumber& descriptor) const override {
        return new StaticNumber<int>(descriptor.minimum);
    }
};

class DefaultMaximumStaticNumberFactory final : public AbstractNumberFactory {
public:
    constexpr DefaultMaximumStaticNumberFactory() = default;
    Number<int>* create(u32, const Descriptor::VidSignedNumber& descriptor) const override {
        return new StaticNumber<int>(descriptor.maximum);
    }
};

inline constexpr DefaultMinimumStaticNumberFactory DefaultMinimum;
inline constexpr DefaultMaximumStaticNumberFactory DefaultMaximum;
// The limit that follows value V of the same object.
template <u16 V>
inline constexpr ProxyNumberFactory Follow{V};

} // namespace Factories

enum class ValueKind : u8 { Data, Signed, Unsigned, Enum, Alarm };

// One value of an object template: its descriptor and whether the object editor offers it. Templates hold
// the typed values below; find<T>() hands them back typed without a guess.
class Value {
public:
    constexpr const Descriptor::VidBase* descriptor() const { return mDescriptor; }
    constexpr bool isUserEditable() const { return mUserEditable; }
    constexpr u16 vid() const { return mDescriptor->vid; }
    constexpr bt_vtype vtype() const { return mDescriptor->vtype; }
    constexpr ValueKind kind() const { return mKind; }

protected:
    constexpr Value(const Descriptor::VidBase& descriptor, ValueKind kind, bool userEditable)
        : mDescriptor(&descriptor)
        , mKind(kind)
        , mUserEditable(userEditable) {}

    const Descriptor::VidBase* mDescriptor;
    ValueKind mKind;
    bool mUserEditable;
};

class DataValue : public Value {
public:
    constexpr DataValue(const Descriptor::VidData& d, bool userEditable = false)
        : Value(d, ValueKind::Data, userEditable) {}
    static constexpr bool holds(ValueKind kind) { return kind == ValueKind::Data; }
    const Descriptor::VidData& dataDescriptor() const {
        return static_cast<const Descriptor::VidData&>(*mDescriptor);
    }
    DataOvi ovi(oid_t oid) const { return DataOvi(oid, vid(), vtype(), &dataDescriptor()); }
};

class SignedValue : public Value {
public:
    constexpr SignedValue(const Descriptor::VidSignedNumber& d, bool userEditable = false)
        : Value(d, ValueKind::Signed, userEditable) {}
    static constexpr bool holds(ValueKind kind) { return kind == ValueKind::Signed; }
    const Descriptor::VidSignedNumber& numberDescriptor() const {
        return static_cast<const Descriptor::VidSignedNumber&>(*mDescriptor);
    }
    SignedOvi ovi(oid_t oid) const { return SignedOvi(oid, vid(), vtype(), &numberDescriptor()); }
};

// Enumerations and alarms are unsigned numbers too: what shows an unsigned value shows them.
class UnsignedValue : public Value {
public:
    constexpr UnsignedValue(const Descriptor::VidUnsignedNumber& d, bool userEditable = false)
        : Value(d, ValueKind::Unsigned, userEditable) {}
    static constexpr bool holds(ValueKind kind) {
        return kind == ValueKind::Unsigned || kind == ValueKind::Enum || kind == ValueKind::Alarm;
    }
    const Descriptor::VidUnsignedNumber& numberDescriptor() const {
        return static_cast<const Descriptor::VidUnsignedNumber&>(*mDescriptor);
    }
    UnsignedOvi ovi(oid_t oid) const { return UnsignedOvi(oid, vid(), vtype(), &numberDescriptor()); }

protected:
    constexpr UnsignedValue(const Descriptor::VidUnsignedNumber& d, ValueKind kind, bool userEditable)
        : Value(d, kind, userEditable) {}
};

class EnumValue : public UnsignedValue {
public:
    constexpr EnumValue(const Descriptor::VidEnum& d, bool userEditable = false)
        : UnsignedValue(d, ValueKind::Enum, userEditable) {}
    static constexpr bool holds(ValueKind kind) { return kind == ValueKind::Enum; }
    const Descriptor::VidEnum& enumDescriptor() const {
        return static_cast<const Descriptor::VidEnum&>(*mDescriptor);
    }
    EnumOvi ovi(oid_t oid) const { return EnumOvi(oid, vid(), vtype(), &enumDescriptor()); }
};

class AlarmValue : public UnsignedValue {
public:
    constexpr AlarmValue(const Descriptor::VidAlarm& d, bool userEditable = false)
        : UnsignedValue(d, ValueKind::Alarm, userEditable) {}
    static constexpr bool holds(ValueKind kind) { return kind == ValueKind::Alarm; }
    const Descriptor::VidAlarm& alarmDescriptor() const {
        return static_cast<const Descriptor::VidAlarm&>(*mDescriptor);
    }
    AlarmOvi ovi(oid_t oid) const { return AlarmOvi(oid, vid(), vtype(), &alarmDescriptor()); }
};

// The values of one object type, in the order the template lists them.
class ObjectTemplate {
public:
    using iterator = const Value* const*;

    template <size_t N>
    constexpr ObjectTemplate(const char* name, const Value* const (&values)[N])
        : mName(name)
        , mValues(values)
        , mCount(N) {}

    constexpr const char* name() const { return mName; }
    constexpr iterator begin() const { return mValues; }
    constexpr iterator end() const { return mValues + mCount; }
    constexpr size_t size() const { return mCount; }

    // The value with that id, whatever its type (a change notification of type 0 names none); null when
    // absent.
    const Value* findValue(u16 vid) const;
    // The value with that id and type; null when absent, and null (with a trace) when the id is present with
    // another type: the type comes from the network and must never stop the program.
    const Value* findValue(u16 vid, bt_vtype vtype) const;

    // The value with that id as a T (DataValue, SignedValue, UnsignedValue, EnumValue or AlarmValue); null
    // when absent or of another kind.
    template <class T>
    const T* find(u16 vid) const {
        const Value* value = findValue(vid);
        return value != nullptr && T::holds(value->kind()) ? static_cast<const T*>(value) : nullptr;
    }

private:
    const char* mName;
    const Value* const* mValues;
    size_t mCount;
};

// The formatter of a number (option texts for an enumeration); owned by the caller.
Formatter* createFormatter(const Descriptor::VidNumber& descriptor);

class Database {
public:
    // The template of an object type (outputs by subtype), null when the type has none.
    static const ObjectTemplate* findObjectTemplate(const bt_obj_info& info);
};

} // namespace DataModel
} // namespace tdx
