#include "SourceApp/storage/Formatters.h"

#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"

namespace tdx {
namespace DataModel {

std::string NumericFormatter::format(int value) const {
    return fmt("%d", value);
}
std::string NumericFormatter::format(unsigned value) const {
    return fmt("%u", value);
}

std::string FixedPointFormatter::format(int value) const {
    const long long v = value;
    return render(v < 0, static_cast<unsigned long long>(v < 0 ? -v : v));
}

std::string FixedPointFormatter::format(unsigned value) const {
    return render(false, value);
}

std::string FixedPointFormatter::render(bool negative, unsigned long long magnitude) const {
    unsigned long long unit = 1; // 10^decimals
    for (unsigned i = 0; i < mDecimals; ++i) {
        unit *= 10;
    }
    // Scaled to units of the last decimal shown, rounded half away from zero (the sign is kept aside).
    const unsigned long long divisor = mDivisor == 0 ? 1 : mDivisor;
    const unsigned long long scaled = (magnitude * unit * 2 + divisor) / (divisor * 2);
    std::string text = negative && scaled != 0 ? "-" : "";
    text += fmt("%u", scaled / unit);
    if (mDecimals > 0) {
        std::string fraction = fmt("%u", scaled % unit);
        text += '.';
        text.append(mDecimals - fraction.size(), '0');
        text += fraction;
    }
    return text;
}

std::string DecoratingFormatter::suffix() const {
    return mContext != nullptr ? pgettext(mContext, mSuffix) : gettext(mSuffix);
}

std::string DecoratingFormatter::format(int value) const {
    return mInner->format(value) + suffix();
}
std::string DecoratingFormatter::format(unsigned value) const {
    return mInner->format(value) + suffix();
}

std::string TimeFormatter::format(int value) const {
    return format(static_cast<unsigned>(value < 0 ? 0 : value));
}

std::string TimeFormatter::format(unsigned value) const {
    return fmt("%02u:%02u", value / 3600, value % 3600 / 60);
}

std::string EnumFormatter::format(int value) const {
    return format(static_cast<unsigned>(value));
}

std::string EnumFormatter::format(unsigned value) const {
    const char* text = Descriptor::option_text(mOptions, mCount, value);
    return text != nullptr ? std::string(gettext(text)) : fmt("%u", value);
}

} // namespace DataModel
} // namespace tdx
