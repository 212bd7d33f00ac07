#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace tdx {
namespace {

std::string sLastContext;

// A small catalogue: one plain text, one text in two contexts, and one translator's mistake.
const char* catalogue(const char* context, const char* msgid) {
    sLastContext = context != nullptr ? context : "<none>";
    if (std::strcmp(msgid, "Rooms") == 0 && context == nullptr) {
        return "Místnosti";
    }
    if (std::strcmp(msgid, "On") == 0 && context != nullptr && std::strcmp(context, "switch") == 0) {
        return "Zap";
    }
    if (std::strcmp(msgid, "Room %u") == 0) {
        return "Místnost %s %u"; // the translator added a stray %s
    }
    return nullptr;
}

class Translation : public ::testing::Test {
protected:
    void TearDown() override { i18n_set_provider(nullptr); }
};

TEST_F(Translation, EveryTextIsItsOwnTranslationUntilACatalogueIsInstalled) {
    const char* id = "Rooms";
    EXPECT_EQ(gettext(id), id);
    EXPECT_EQ(pgettext("switch", id), id);
    EXPECT_STREQ(gettext(nullptr), "");
    EXPECT_STREQ(pgettext("switch", nullptr), "");
}

TEST_F(Translation, TheInstalledProviderTranslatesWithAndWithoutContext) {
    i18n_set_provider(catalogue);
    EXPECT_STREQ(gettext("Rooms"), "Místnosti");
    EXPECT_EQ(sLastContext, "<none>");
    EXPECT_STREQ(pgettext("switch", "On"), "Zap");
    EXPECT_EQ(sLastContext, "switch");
    EXPECT_STREQ(pgettext("time", "On"), "On");
    EXPECT_STREQ(gettext("Untranslated"), "Untranslated");
    EXPECT_STREQ(gettext(nullptr), "");

    i18n_set_provider(nullptr);
    EXPECT_STREQ(gettext("Rooms"), "Rooms");
}

TEST_F(Translation, ATranslationThatAsksForOtherArgumentsFallsBackToTheEnglishText) {
    i18n_set_provider(catalogue);
    EXPECT_EQ(fmt_gettext("Room %u", 5u), "Room 5") << "the translator's stray %s is not used";
    EXPECT_EQ(fmt_gettext("Rooms"), "Místnosti");
    EXPECT_EQ(fmt_pgettext("switch", "On"), "Zap");
}

TEST_F(Translation, ConversionsMatchByArgumentAndKindWhateverTheirOrderAndFlags) {
    const struct {
        const char* english;
        const char* translation;
        bool match;
    } cases[] = {
        {"Room %u", "Místnost %u", true},
        {"Room %u", "Rum %3d", true}, // another number conversion and a width
        {"%s associated to %s - %s", "%2$s: %1$s - %3$s", true},
        {"%s - %s", "%1$s %1$s - %2$s", true},
        {"100%% done", "100 %% klaar", true},
        {"Room %u", "Místnost", false},       // an argument left out
        {"Room %u", "Místnost %u %u", false}, // one more
        {"Room %u", "Místnost %s", false},    // a text for a number
        {"Output has a problem, code %u.", "%s%s%n", false},
        {"%s - %s", "%s - %3$s", false},
        {"%c", "%d", false},
        {"Code %u", "Code %n", false},
        {"50 %", "50 %%", false}, // a lone % is no literal percent
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fmt_conversions_match(c.english, c.translation), c.match)
            << '"' << c.english << "\" / \"" << c.translation << '"';
    }
    EXPECT_STREQ(fmt_checked("Code %u", nullptr), "Code %u");
}

} // namespace
} // namespace tdx
