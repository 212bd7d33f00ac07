// Formatters turn a value's number into the text the screens show (scale, decimals, unit). Factories are
// compiled-in constants; create() hands the caller a formatter of its own.
#pragma once

#include "Libraries/base/i18n.h"
#include "SourceApp/big_table/bt_types.h"
#include "SourceApp/storage/Descriptor.h"

#include <cstddef>
#include <string>

namespace tdx {
namespace DataModel {

class Formatter {
public:
    virtual ~Formatter() {}
    virtual std::string format(int value) const = 0;
    virtual std::string format(unsigned value) const = 0;
};

// "%d" and "%u".
class NumericFormatter : public Formatter {
public:
    std::string format(int value) const override;
    std::string format(unsigned value) const override;
};

// value / divisor with a fixed number of decimals, rounded half away from zero.
class FixedPointFormatter : public Formatter {
public:
    FixedPointFormatter(unsigned divisor, unsigned decimals)
        : mDivisor(divisor)
        , mDecimals(decimals) {}
    std::string format(int value) const override;
    std::string format(unsigned value) const override;

private:
    std::string render(bool negative, unsigned long long magnitude) const;
    unsigned mDivisor;
    unsigned mDecimals;
};

// Another formatter's text followed by a unit, translated in its context (a null context uses gettext).
class DecoratingFormatter : public Formatter {
public:
    DecoratingFormatter(Formatter* inner, const char* suffix, const char* context)
        : mInner(inner)
        , mSuffix(suffix)
        , mContext(context) {}
    ~DecoratingFormatter() override { delete mInner; }
    DecoratingFormatter(const DecoratingFormatter&) = delete;
    DecoratingFormatter& operator=(const DecoratingFormatter&) = delete;
    std::string format(int value) const override;
    std::string format(unsigned value) const override;

private:
    std::string suffix() const;
    Formatter* mInner;
    const char* mSuffix;
    const char* mContext;
};

// Seconds of the day (or a duration in seconds) as "H:i", hours and minutes with two digits.
class TimeFormatter : public Formatter {
public:
    std::string format(int value) const override;
    std::string format(unsigned value) const override;
};

// The option text of an enumeration, translated; the number itself for a value without an option.
class EnumFormatter : public Formatter {
public:
    EnumFormatter(const Descriptor::EnumOption* options, u8 count)
        : mOptions(options)
        , mCount(count) {}
    std::string format(int value) const override;
    std::string format(unsigned value) const override;

private:
    const Descriptor::EnumOption* mOptions;
    u8 mCount;
};

namespace Factories {

class AbstractFormatterFactory {
public:
    // A new formatter, owned by the caller.
    virtual Formatter* create() const = 0;

protected:
    constexpr AbstractFormatterFactory() = default;
    ~AbstractFormatterFactory() = default;
};

class NumericFormatterFactory final : public AbstractFormatterFactory {
public:
    constexpr NumericFormatterFactory() = default;
    Formatter* create() const override { return new NumericFormatter; }
};

class FixedPointFormatterFactory final : public AbstractFormatterFactory {
public:
    constexpr FixedPointFormatterFactory(unsigned divisor, unsigned decimals)
        : mDivisor(divisor)
        , mDecimals(decimals) {}
    Formatter* create() const override { return new FixedPointFormatter(mDivisor, mDecimals); }

private:
    unsigned mDivisor;
    unsigned mDecimals;
};

class DecoratingFormatterFactory final : public AbstractFormatterFactory {
public:
    constexpr DecoratingFormatterFactory(const AbstractFormatterFactory& inner, const char* suffix,
                                         const char* context = nullptr)
        : mInner(inner)
        , mSuffix(suffix)
        , mContext(context) {}
    Formatter* create() const override { return new DecoratingFormatter(mInner.create(), mSuffix, mContext); }

private:
    const AbstractFormatterFactory& mInner;
    const char* mSuffix;
    const char* mContext;
};

// The option texts of one enumeration.
class EnumFormatterFactory final : public AbstractFormatterFactory {
public:
    template <size_t N>
    constexpr explicit EnumFormatterFactory(const Descriptor::EnumOption (&options)[N])
        : mOptions(options)
        , mCount(static_cast<u8>(N)) {
        static_assert(N > 0 && N < 256, "an enumeration has 1 to 255 options");
    }
    Formatter* create() const override { return new EnumFormatter(mOptions, mCount); }

private:
    const Descriptor::EnumOption* mOptions;
    u8 mCount;
};

// The pattern names the layout; "H:i" is the one the data model uses.
class TimeFormatterFactory final : public AbstractFormatterFactory {
public:
    constexpr explicit TimeFormatterFactory(const char* pattern)
        : mPattern(pattern) {}
    Formatter* create() const override { return new TimeFormatter; }
    const char* pattern() const { return mPattern; }

private:
    const char* mPattern;
};

namespace Formatters {

inline constexpr NumericFormatterFactory Numeric;
inline constexpr FixedPointFormatterFactory FixedPoint{100, 0};
inline constexpr FixedPointFormatterFactory FixedPointOneDecimal{100, 1};
inline constexpr FixedPointFormatterFactory Tenths{10, 1};
inline constexpr DecoratingFormatterFactory Percent{FixedPoint, N_(" %")};
inline constexpr DecoratingFormatterFactory Temperature{FixedPointOneDecimal, N_("\u00B0")};
inline constexpr DecoratingFormatterFactory TemperatureNoDecimal{FixedPoint, N_("\u00B0")};
inline constexpr DecoratingFormatterFactory Volts{FixedPointOneDecimal, NC_("volts", " V"), "volts"};
inline constexpr DecoratingFormatterFactory RawPercent{Numeric, N_(" %")};
inline constexpr DecoratingFormatterFactory Seconds{Numeric, NC_("seconds", " s"), "seconds"};
inline constexpr DecoratingFormatterFactory Minutes{Numeric, NC_("minutes", " m"), "minutes"};
inline constexpr DecoratingFormatterFactory Hours{Numeric, NC_("hours", " h"), "hours"};
inline constexpr TimeFormatterFactory Time{"H:i"};

} // namespace Formatters
} // namespace Factories
} // namespace DataModel
} // namespace tdx
