// The compiled-in description of the data model: what every value of every object type is (name, id, type,
// limits, step, formatter, option and alarm texts) and which values each object type has.
#pragma once

#include "SourceApp/big_table/bt_types.h"
#include "SourceApp/storage/Formatters.h"
#include "SourceApp/storage/Number.h"
#include "SourceApp/storage/Ovi.h"

#include <cstddef>

namespace tdx {
namespace DataModel {

namespace Factories {
class AbstractNumberFactory;
}

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

struct VidEnum : VidUnsignedNumber {
    const EnumOption* options;
    u8 optionCount;

    // The English text of an option, null when the value has none.
    constexpr const char* optionText(u32 value) const {
        for (u8 i = 0; i < optionCount; ++i) {
            if (options[i].value == value) {
                return options[i].text;
            }
        }
        return nullptr;
    }
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

// One value of an object template.
class Value {
public:
    constexpr Value(const Descriptor::VidBase& descriptor, bool userEditable)
        : mDescriptor(&descriptor)
        , mUserEditable(userEditable) {}

    constexpr const Descriptor::VidBase* descriptor() const { return mDescriptor; }
    constexpr bool isUserEditable() const { return mUserEditable; }
    constexpr u16 vid() const { return mDescriptor->vid; }
    constexpr bt_vtype vtype() const { return mDescriptor->vtype; }

protected:
    const Descriptor::VidBase* mDescriptor;
    bool mUserEditable;
};

// Typed values: the template keeps them as plain Values; these give the typed handle of one object's value.
class DataValue : public Value {
public:
    constexpr DataValue(const Descriptor::VidData& d, bool userEditable = false)
        : Value(d, userEditable) {}
    const Descriptor::VidData& dataDescriptor() const {
        return static_cast<const Descriptor::VidData&>(*mDescriptor);
    }
    DataOvi ovi(oid_t oid) const { return DataOvi(oid, vid(), vtype(), &dataDescriptor()); }
};

class SignedValue : public Value {
public:
    constexpr SignedValue(const Descriptor::VidSignedNumber& d, bool userEditable = false)
        : Value(d, userEditable) {}
    const Descriptor::VidSignedNumber& numberDescriptor() const {
        return static_cast<const Descriptor::VidSignedNumber&>(*mDescriptor);
    }
    SignedOvi ovi(oid_t oid) const { return SignedOvi(oid, vid(), vtype(), &numberDescriptor()); }
};

class UnsignedValue : public Value {
public:
    constexpr UnsignedValue(const Descriptor::VidUnsignedNumber& d, bool userEditable = false)
        : Value(d, userEditable) {}
    const Descriptor::VidUnsignedNumber& numberDescriptor() const {
        return static_cast<const Descriptor::VidUnsignedNumber&>(*mDescriptor);
    }
    UnsignedOvi ovi(oid_t oid) const { return UnsignedOvi(oid, vid(), vtype(), &numberDescriptor()); }
};

class EnumValue : public Value {
public:
    constexpr EnumValue(const Descriptor::VidEnum& d, bool userEditable = false)
        : Value(d, userEditable) {}
    const Descriptor::VidEnum& enumDescriptor() const {
        return static_cast<const Descriptor::VidEnum&>(*mDescriptor);
    }
    EnumOvi ovi(oid_t oid) const { return EnumOvi(oid, vid(), vtype(), &enumDescriptor()); }
};

class AlarmValue : public Value {
public:
    constexpr AlarmValue(const Descriptor::VidAlarm& d, bool userEditable = false)
        : Value(d, userEditable) {}
    const Descriptor::VidAlarm& alarmDescriptor() const {
        return static_cast<const Descriptor::VidAlarm&>(*mDescriptor);
    }
    AlarmOvi ovi(oid_t oid) const { return AlarmOvi(oid, vid(), vtype(), &alarmDescriptor()); }
};

// The values of one object type, in the order the template lists them.
class ObjectTemplate {
public:
    class iterator {
    public:
        constexpr explicit iterator(const Value* at)
            : mAt(at) {}
        constexpr const Value* operator*() const { return mAt; }
        constexpr iterator& operator++() {
            ++mAt;
            return *this;
        }
        constexpr bool operator==(const iterator&) const = default;

    private:
        const Value* mAt;
    };

    template <size_t N>
    constexpr ObjectTemplate(const char* name, const Value (&values)[N])
        : mName(name)
        , mValues(values)
        , mCount(N) {}

    constexpr const char* name() const { return mName; }
    constexpr iterator begin() const { return iterator(mValues); }
    constexpr iterator end() const { return iterator(mValues + mCount); }
    constexpr size_t size() const { return mCount; }

    // The value with that id and type; null when absent, and null (with a trace) when the id is present with
    // another type: the type comes from the network and must never stop the program.
    const Value* findValue(u16 vid, bt_vtype vtype) const;

private:
    const char* mName;
    const Value* mValues;
    size_t mCount;
};

// The formatter of a number: option texts for an enumeration, else the descriptor's factory, else "%d"/"%u".
// Owned by the caller.
Formatter* createFormatter(const Descriptor::VidNumber& descriptor);

class Database {
public:
    // The template of an object type (outputs by subtype), null when the type has none.
    static const ObjectTemplate* findObjectTemplate(const bt_obj_info& info);
};

} // namespace DataModel
} // namespace tdx
