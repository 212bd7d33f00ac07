#include "SourceApp/application/utils/Date.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "catalogues.h"

#include <gtest/gtest.h>

namespace tdx {
namespace {

Date at(int year, int month, int day, int hours, int minutes, int seconds) {
    Date date(static_cast<unsigned char>(day), static_cast<unsigned char>(month - 1),
              static_cast<unsigned short>(year));
    date.addHours(hours);
    date.addMinutes(minutes);
    date.addSeconds(seconds);
    return date;
}

class DateFormat : public testing::Test {
protected:
    void SetUp() override { i18n.setResourceReader(&test::repositoryCatalogues); }
    void TearDown() override {
        i18n.switchLanguage(0);
        i18n.setLocale(Locale::English);
    }
    void use(uint8_t language) {
        i18n.switchLanguage(language);
        i18n.setLanguageLocale();
    }
};

TEST_F(DateFormat, EachLanguageWritesItsOwnDates) {
    const Date date = at(2026, 3, 5, 14, 7, 9);
    struct Row {
        uint8_t language;
        const char* options[6];
    } rows[] = {
        {0, {"05-03-2026", "March 05 14:07", "March 05 2026", "March 05", "14:07", "14:07:09"}},
        {1, {"05-03-2026", "05 marts 14:07", "05 marts 2026", "05 marts", "14:07", "14:07:09"}},
        {2,
         {"05-03-2026", "05. b\u0159ezna 14:07", "05. b\u0159ezna 2026", "05. b\u0159ezna", "14:07",
          "14:07:09"}},
        {3, {"05-03-2026", "05 maart 14:07", "05 maart 2026", "05 maart", "14:07", "14:07:09"}},
    };
    for (const Row& row : rows) {
        use(row.language);
        for (unsigned option = 0; option < 6; ++option) {
            EXPECT_EQ(i18n.format(date, static_cast<DateFormatOptions::Enum>(option)), row.options[option])
                << "language " << int(row.language) << ", option " << option;
        }
    }
}

TEST_F(DateFormat, LocaleAndLanguageAreIndependent) {
    const Date date = at(2026, 12, 24, 0, 0, 0);
    use(0);
    i18n.setLocale(Locale::Czech);
    EXPECT_EQ(i18n.format(date, DateFormatOptions::LongDate), "24. December 2026");
    i18n.switchLanguage(1);
    EXPECT_EQ(i18n.format(date, DateFormatOptions::DayMonth), "24. december");
}

TEST_F(DateFormat, PatternLettersAndCopiedCharacters) {
    const Date date = at(2009, 1, 7, 3, 4, 5);
    EXPECT_EQ(i18n.format(date, "j.n.y"), "7.1.09");
    EXPECT_EQ(i18n.format(date, "d/m/Y H:i:s"), "07/01/2009 03:04:05");
    EXPECT_EQ(i18n.format(date, "F"), "January");
    EXPECT_EQ(i18n.format(date, "[Y] at x, \xC3\xA6 % -"), "[2009] at x, \xC3\xA6 % -");
    EXPECT_EQ(i18n.format(date, ""), "");
    EXPECT_EQ(i18n.format(date, static_cast<const char*>(nullptr)), "");
    EXPECT_EQ(i18n.format(at(2031, 11, 30, 23, 59, 59), "j n y H i s"), "30 11 31 23 59 59");
}

TEST_F(DateFormat, UnknownOptionsAndLocalesFallBack) {
    const Date date = at(2026, 3, 5, 14, 7, 9);
    use(2);
    EXPECT_EQ(i18n.format(date, static_cast<DateFormatOptions::Enum>(6)), "05-03-2026");
    EXPECT_EQ(i18n.format(date, static_cast<DateFormatOptions::Enum>(255)), "05-03-2026");
    test::TraceCapture trace;
    i18n.setLocale(static_cast<Locale::Enum>(4));
    EXPECT_EQ(i18n.getLocale(), Locale::English);
    EXPECT_EQ(i18n.format(date, DateFormatOptions::LongDate), "b\u0159ezna 05 2026");
    EXPECT_TRUE(trace.contains("no date locale 4"));
}

} // namespace
} // namespace tdx
