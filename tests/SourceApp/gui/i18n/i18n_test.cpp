#include "SourceApp/gui/i18n/I18n.h"
#include "catalogues.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>

namespace tdx {
namespace {

using test::TraceCapture;

// Evaluated by this file's static initialiser, in no particular order with the library's: texts translate
// to themselves before start-up picks a language.
const std::string EARLY_TEXT = gettext("March");
const uint32_t EARLY_TRANSLATION = i18n.getTranslationId();

class I18nTest : public testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }
    static void reset() {
        i18n.setResourceReader(&test::repositoryCatalogues);
        i18n.switchLanguage(0);
        i18n.setLocale(Locale::English);
        i18n.setCountry(0);
    }
};

TEST_F(I18nTest, TranslatesDuringStaticInitialisation) {
    EXPECT_EQ(EARLY_TEXT, "March");
    EXPECT_EQ(EARLY_TRANSLATION, 0u);
}

TEST_F(I18nTest, SwitchesBetweenTheFourLanguages) {
    struct Row {
        uint8_t language;
        uint32_t translation;
        const char* march;
        const char* on;
    } rows[] = {
        {1, 76, "marts", "Til"},
        {2, 75, "b\u0159ezna", "Zap"},
        {3, 78, "maart", "Aan"},
        {0, 0, "March", "On"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.language);
        i18n.switchLanguage(row.language);
        EXPECT_EQ(i18n.getTranslationId(), row.translation);
        EXPECT_STREQ(gettext("March"), row.march);
        EXPECT_STREQ(pgettext("switch", "On"), row.on);
        EXPECT_STREQ(gettext(" m"), " m") << "the unit lives in its context only";
    }
}

// The desktop host's window thread translates its captions, and follows the language with the toolkit's own
// texts, while the application's thread may switch the language: every text it gets is one of the languages'
// own, never one read from a catalogue half replaced, and the language one of the four.
TEST_F(I18nTest, TextsTranslatedOnAnotherThreadWhileTheLanguageChangesAreWhole) {
    const std::set<std::string> whole{"March", "marts", "b\u0159ezna", "maart"};
    std::atomic<bool> done{false};
    std::atomic<int> broken{0};
    std::thread reader([&] {
        while (!done.load()) {
            if (whole.count(gettext("March")) == 0 || i18n.getLanguage() >= std::size(I18n::LANGUAGES)) {
                broken.fetch_add(1);
            }
        }
    });
    for (int i = 0; i < 20000; ++i) {
        i18n.switchLanguage(static_cast<uint8_t>(i % 4));
    }
    done.store(true);
    reader.join();
    EXPECT_EQ(broken.load(), 0);
}

TEST_F(I18nTest, AnUnknownLanguageIsEnglish) {
    i18n.switchLanguage(2);
    TraceCapture trace;
    i18n.switchLanguage(7);
    EXPECT_EQ(i18n.getTranslationId(), 0u);
    EXPECT_STREQ(gettext("March"), "March");
    EXPECT_TRUE(trace.contains("i18n: no language 7, using English"));
    i18n.switchLanguage(255);
    EXPECT_EQ(i18n.getTranslationId(), 0u);
}

TEST_F(I18nTest, EarlierTextsStayValidAfterASwitch) {
    i18n.switchLanguage(2);
    const char* czech = gettext("Monday");
    i18n.switchLanguage(1);
    EXPECT_STREQ(gettext("Monday"), "Mandag");
    EXPECT_STREQ(czech, "Pond\xC4\x9Bl\xC3\xAD");
}

std::vector<uint8_t> sCorrupt;
std::span<const uint8_t> corruptDanish(uint16_t id) {
    return id == 76 ? std::span<const uint8_t>(sCorrupt) : test::repositoryCatalogues(id);
}
std::span<const uint8_t> noResources(uint16_t) {
    return {};
}

TEST_F(I18nTest, ARejectedCatalogueFallsBackToEnglish) {
    sCorrupt = test::compiledCatalogue("resources/po/da.po");
    sCorrupt[0] ^= 0xFF;
    i18n.switchLanguage(2);
    i18n.setResourceReader(&corruptDanish);
    TraceCapture trace;
    i18n.switchLanguage(1);
    EXPECT_EQ(i18n.getTranslationId(), 0u);
    EXPECT_STREQ(gettext("March"), "March") << "no Czech left behind either";
    EXPECT_TRUE(trace.contains("i18n: catalogue rejected: bad magic"));
    EXPECT_TRUE(trace.contains("i18n: Dansk: catalogue 76 rejected, using English"));

    i18n.setResourceReader(&noResources);
    i18n.switchLanguage(3);
    EXPECT_EQ(i18n.getTranslationId(), 0u);
    EXPECT_TRUE(trace.contains("i18n: Dutch: no catalogue resource 78, using English"));

    i18n.setResourceReader(nullptr);
    i18n.switchLanguage(2);
    EXPECT_EQ(i18n.getTranslationId(), 0u);
    EXPECT_STREQ(gettext("March"), "March");
}

TEST_F(I18nTest, NullAndEmptyIdsAreEmptyTexts) {
    for (uint8_t language : {0, 2}) {
        i18n.switchLanguage(language);
        EXPECT_STREQ(gettext(nullptr), "");
        EXPECT_STREQ(pgettext("switch", nullptr), "");
        EXPECT_STREQ(gettext(""), "") << "not the catalogue's header";
    }
}

TEST_F(I18nTest, LanguageLocaleFollowsTheLanguageInUse) {
    for (uint8_t language = 0; language < 4; ++language) {
        i18n.switchLanguage(language);
        i18n.setLanguageLocale();
        EXPECT_EQ(i18n.getLocale(), I18n::LANGUAGES[language].locale);
    }
    i18n.setResourceReader(&noResources);
    TraceCapture trace;
    i18n.switchLanguage(1);
    i18n.setLanguageLocale();
    EXPECT_EQ(i18n.getLocale(), Locale::English)
        << "Danish failed to load, so the texts and dates are English";
}

TEST_F(I18nTest, CountryCodesAboveTheTableAreNotSpecified) {
    std::set<uint8_t> codes;
    for (const I18n::Country& country : I18n::COUNTRIES) {
        codes.insert(country.code);
        i18n.setCountry(country.code);
        EXPECT_EQ(i18n.getCountry(), country.code) << country.text;
    }
    EXPECT_EQ(codes.size(), 13u) << "every code once";
    EXPECT_EQ(*codes.rbegin(), 12);
    for (unsigned code : {13u, 14u, 128u, 255u}) {
        i18n.setCountry(7);
        i18n.setCountry(static_cast<uint8_t>(code));
        EXPECT_EQ(i18n.getCountry(), 0) << code;
    }
    EXPECT_STREQ(I18n::COUNTRIES[0].text, "Not specified");
    i18n.switchLanguage(3);
    EXPECT_STREQ(gettext(I18n::COUNTRIES[9].text), "Nederland");
}

TEST_F(I18nTest, WeekdaysAreTranslated) {
    EXPECT_STREQ(i18n.getWeekdayLong(0), "Monday");
    EXPECT_STREQ(i18n.getWeekdayLong(6), "Sunday");
    i18n.switchLanguage(3);
    EXPECT_STREQ(i18n.getWeekdayLong(2), "Woensdag");
    i18n.switchLanguage(1);
    EXPECT_STREQ(i18n.getWeekdayLong(5), "L\xC3\xB8rdag");
}

TEST(I18nDeathTest, AWeekdayOutsideTheWeekIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(i18n.getWeekdayLong(7), "day >= 0 && day < 7");
    EXPECT_DEATH(i18n.getWeekdayLong(-1), "ASSERTION FAILED");
}

} // namespace
} // namespace tdx
