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

TEST_F(Translation, ATranslationUsedAsFormatCannotReadAWrongArgument) {
    i18n_set_provider(catalogue);
    // The number goes to the stray %s and renders as a number; the %u has no argument left and renders
    // nothing.
    EXPECT_EQ(fmt(gettext("Room %u"), 5u), "Místnost 5 ");
}

} // namespace
} // namespace tdx
