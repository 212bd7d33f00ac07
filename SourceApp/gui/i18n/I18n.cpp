#include "SourceApp/gui/i18n/I18n.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/os.h"
#include "SourceApp/application/resources/resource_names.h"
#include "SourceApp/application/utils/Date.h"

#include <iterator>

namespace tdx {

constinit I18n i18n;

const I18n::Language I18n::LANGUAGES[4] = {
    {0, 0, "English", Locale::English},
    {1, res_translation_da, "Dansk", Locale::Danish},
    {2, res_translation_cs, "Česky", Locale::Czech},
    {3, res_translation_nl, "Dutch", Locale::Dutch},
};

const I18n::Country I18n::COUNTRIES[13] = {
    {N_("Not specified"), 0}, {N_("Czech republic"), 1}, {N_("Denmark"), 2}, {N_("England"), 3},
    {N_("France"), 7},        {N_("Germany"), 4},        {N_("Italy"), 5},   {N_("Latvia"), 12},
    {N_("Lithuania"), 10},    {N_("Netherlands"), 6},    {N_("Poland"), 9},  {N_("Russia"), 11},
    {N_("Slovakia"), 8},
};

namespace {

constexpr uint8_t COUNTRY_CODES = 13;

const char* const MONTHS[12] = {
    N_("January"), N_("February"), N_("March"),     N_("April"),   N_("May"),      N_("June"),
    N_("July"),    N_("August"),   N_("September"), N_("October"), N_("November"), N_("December"),
};

const char* const WEEKDAYS[7] = {
    N_("Monday"), N_("Tuesday"), N_("Wednesday"), N_("Thursday"), N_("Friday"), N_("Saturday"), N_("Sunday"),
};

// Indexed by locale, then option. Czech writes the day as an ordinal ("5. března").
const char* const PATTERNS[Locale::COUNT][DateFormatOptions::COUNT] = {
    {"d-m-Y", "F d H:i", "F d Y", "F d", "H:i", "H:i:s"},
    {"d-m-Y", "d F H:i", "d F Y", "d F", "H:i", "H:i:s"},
    {"d-m-Y", "d. F H:i", "d. F Y", "d. F", "H:i", "H:i:s"},
    {"d-m-Y", "d F H:i", "d F Y", "d F", "H:i", "H:i:s"},
};

void appendNumber(std::string& out, int value, int digits) {
    char buffer[12];
    int length = 0;
    unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    do {
        buffer[length++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) {
        out += '-';
    }
    for (int i = length; i < digits; ++i) {
        out += '0';
    }
    while (length > 0) {
        out += buffer[--length];
    }
}

} // namespace

const char* I18n::translate(const char* context, const char* msgid) {
    const std::lock_guard<std::mutex> lock(i18n.mCatalogueLock);
    return i18n.mCatalogue.find(context, msgid);
}

void I18n::switchLanguage(uint8_t n) {
    if (n >= std::size(LANGUAGES)) {
        dbg_printf_h("i18n: no language %u, using English", n);
        n = 0;
    }
    const Language& language = LANGUAGES[n];
    mLanguage = 0;
    i18n_set_provider(nullptr);
    {
        const std::lock_guard<std::mutex> lock(mCatalogueLock);
        mCatalogue.clear();
    }
    if (language.translationId == 0) {
        return;
    }
    const std::span<const uint8_t> bytes = mReader != nullptr
                                               ? mReader(static_cast<uint16_t>(language.translationId))
                                               : std::span<const uint8_t>{};
    if (bytes.empty()) {
        dbg_printf_h("i18n: %s: no catalogue resource %u, using English", language.name,
                     language.translationId);
        return;
    }
    MoFile catalogue;
    if (catalogue.loadFromMemory(bytes.data(), bytes.size()) != 0) {
        dbg_printf_h("i18n: %s: catalogue %u rejected, using English", language.name, language.translationId);
        return;
    }
    {
        const std::lock_guard<std::mutex> lock(mCatalogueLock);
        mCatalogue = catalogue;
    }
    mLanguage = n;
    i18n_set_provider(&I18n::translate);
}

void I18n::setLanguageLocale() {
    setLocale(LANGUAGES[mLanguage].locale);
}

void I18n::setLocale(Locale::Enum locale) {
    if (locale >= Locale::COUNT) {
        dbg_printf_h("i18n: no date locale %u, using English", static_cast<unsigned>(locale));
        locale = Locale::English;
    }
    mLocale = locale;
}

void I18n::setCountry(uint8_t code) {
    mCountry = code < COUNTRY_CODES ? code : 0;
}

std::string I18n::format(const Date& date, const char* pattern) const {
    std::string out;
    if (pattern == nullptr) {
        return out;
    }
    for (const char* p = pattern; *p != '\0'; ++p) {
        switch (*p) {
            case 'd':
                appendNumber(out, date.getDay(), 2);
                break;
            case 'j':
                appendNumber(out, date.getDay(), 1);
                break;
            case 'm':
                appendNumber(out, date.getMonth() + 1, 2);
                break;
            case 'n':
                appendNumber(out, date.getMonth() + 1, 1);
                break;
            case 'F':
                out += gettext(MONTHS[date.getMonth() % 12]);
                break;
            case 'Y':
                appendNumber(out, date.getYear(), 4);
                break;
            case 'y':
                appendNumber(out, date.getYear() % 100, 2);
                break;
            case 'H':
                appendNumber(out, date.getHours(), 2);
                break;
            case 'i':
                appendNumber(out, date.getMinutes(), 2);
                break;
            case 's':
                appendNumber(out, date.getSeconds(), 2);
                break;
            default:
                out += *p;
                break;
        }
    }
    return out;
}

std::string I18n::format(const Date& date, DateFormatOptions::Enum option) const {
    const unsigned row = option < DateFormatOptions::COUNT ? option : DateFormatOptions::NumericDate;
    return format(date, PATTERNS[mLocale][row]);
}

const char* I18n::getWeekdayLong(int day) const {
    OS_ASSERT(day >= 0 && day < 7);
    return gettext(WEEKDAYS[day]);
}

} // namespace tdx
