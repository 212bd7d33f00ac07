// The display's languages: the catalogue behind gettext/pgettext (Libraries/base/i18n.h), the country, and
// dates formatted by pattern or by the current locale's patterns.
#pragma once

#include "Libraries/base/i18n.h"
#include "SourceApp/gui/i18n/MoFile.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>

namespace tdx {

class Date;

// Date locales: which patterns I18n::format uses for the options below.
namespace Locale {
enum Enum : uint8_t { English = 0, Danish = 1, Czech = 2, Dutch = 3 };
inline constexpr unsigned COUNT = 4;
} // namespace Locale

namespace DateFormatOptions {
enum Enum : uint8_t {
    NumericDate = 0,     // "d-m-Y"
    DayMonthTime = 1,    // "F d H:i", "d F H:i", "d. F H:i"
    LongDate = 2,        // "F d Y", "d F Y", "d. F Y"
    DayMonth = 3,        // "F d", "d F", "d. F"
    Time = 4,            // "H:i"
    TimeWithSeconds = 5, // "H:i:s"
};
inline constexpr unsigned COUNT = 6;
} // namespace DateFormatOptions

class I18n {
public:
    struct Language {
        uint32_t number;
        uint32_t translationId; // resource of the catalogue; 0 for the built-in English texts
        const char* name;       // in the language itself, shown untranslated
        Locale::Enum locale;
    };
    struct Country {
        const char* text; // message id, shown translated
        uint8_t code;     // what the configuration record stores
    };
    static const Language LANGUAGES[4];
    static const Country COUNTRIES[13];

    // The bytes of a compiled-in resource, empty when there is none. Start-up installs the resource
    // manager's; the engine cannot reach it otherwise.
    using ResourceReader = std::span<const uint8_t> (*)(uint16_t resourceId);

    // Constant-initialised, so that texts translate (to themselves) during static initialisation.
    constexpr I18n() = default;
    I18n(const I18n&) = delete;
    I18n& operator=(const I18n&) = delete;

    void setResourceReader(ResourceReader reader) { mReader = reader; }

    // Switches the texts to row n of LANGUAGES (n > 3 is English). A catalogue that is missing or fails
    // its checks leaves the built-in English texts, with a trace line. The date locale is not changed.
    void switchLanguage(uint8_t n);
    // Selects the date locale of the current language.
    void setLanguageLocale();
    // Selects the date patterns; an unknown locale selects English.
    void setLocale(Locale::Enum locale);
    Locale::Enum getLocale() const { return mLocale; }
    // Keeps a country code; codes of 13 and above are taken as 0 ("Not specified").
    void setCountry(uint8_t code);
    uint8_t getCountry() const { return mCountry; }
    // The row of LANGUAGES in use: that of the last switch whose catalogue loaded, else 0 (English). Any
    // thread: the desktop host's window follows it with the toolkit's own texts.
    uint8_t getLanguage() const { return mLanguage; }
    // The catalogue resource of the current language, 0 for the built-in English texts.
    uint32_t getTranslationId() const { return LANGUAGES[mLanguage].translationId; }

    // The date by pattern letters: d two-digit day, j day, m two-digit month, n month, F month name,
    // Y four-digit year, y two-digit year, H two-digit hour 00-23, i two-digit minute, s two-digit second;
    // other characters are copied.
    std::string format(const Date& date, const char* pattern) const;
    // The date in the current locale's pattern for option; an unknown option formats as NumericDate.
    std::string format(const Date& date, DateFormatOptions::Enum option) const;
    // The translated name of day 0 (Monday) to 6 (Sunday); other days are a fatal assertion.
    const char* getWeekdayLong(int day) const;

private:
    static const char* translate(const char* context, const char* msgid);

    // The desktop host's window thread translates its captions too, while the application's thread may switch
    // the language: a lookup never reads a catalogue half replaced. The texts themselves stay valid, as they
    // live in the resident resource.
    mutable std::mutex mCatalogueLock;
    MoFile mCatalogue;
    ResourceReader mReader = nullptr;
    std::atomic<uint8_t> mLanguage{0};
    uint8_t mCountry = 0;
    Locale::Enum mLocale = Locale::English;
};

extern constinit I18n i18n;

} // namespace tdx
