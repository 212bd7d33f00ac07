#include "tools/pocompile/po_compile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>

namespace tdx {
namespace {

std::vector<PoEntry> parse(std::string_view text) {
    std::vector<PoEntry> entries;
    std::string error;
    EXPECT_EQ(po_parse(text, entries, error), 0) << error;
    return entries;
}

std::string parseError(std::string_view text) {
    std::vector<PoEntry> entries{PoEntry{}};
    std::string error;
    EXPECT_EQ(po_parse(text, entries, error), -1) << text;
    EXPECT_EQ(entries.size(), 1u) << "a failed parse leaves the caller's entries alone";
    return error;
}

uint32_t word(const std::vector<uint8_t>& mo, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = value << 8 | mo.at(at + i);
    }
    return value;
}

// The (key, value) pairs of a .mo image in table order, read straight from the layout.
std::vector<std::pair<std::string, std::string>> moPairs(const std::vector<uint8_t>& mo) {
    std::vector<std::pair<std::string, std::string>> pairs;
    const uint32_t count = word(mo, 8);
    for (uint32_t i = 0; i < count; ++i) {
        auto text = [&](uint32_t table) {
            const uint32_t length = word(mo, table + 8 * i);
            const uint32_t offset = word(mo, table + 8 * i + 4);
            EXPECT_EQ(mo.at(offset + length), 0) << "string " << i << " ends with NUL";
            return std::string(reinterpret_cast<const char*>(mo.data()) + offset, length);
        };
        pairs.emplace_back(text(word(mo, 12)), text(word(mo, 16)));
    }
    return pairs;
}

TEST(PoParse, ReadsContextsContinuedStringsEscapesAndFlags) {
    const auto entries = parse("# translator comment\n"
                               "#, fuzzy\n"
                               "msgid \"\"\n"
                               "msgstr \"\"\n"
                               "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
                               "\n"
                               "#: SourceApp/x.cpp:12\n"
                               "msgctxt \"switch\"\n"
                               "msgid \"On\"\n"
                               "msgstr \"Zap\"\n"
                               "\n"
                               "msgid \"\"\n"
                               "\"Two \"\n"
                               "\"lines\"\n"
                               "msgstr \"Zwei\\n\\\"Zeilen\\\"\\t\\\\ \\x41\\101\"\n"
                               "#, c-format, fuzzy\n"
                               "msgid \"Guess\"\n"
                               "msgstr \"Vermutung\"\n"
                               "#~ msgid \"Gone\"\n"
                               "#~ msgstr \"Weg\"\n");
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].id, "");
    EXPECT_TRUE(entries[0].fuzzy);
    EXPECT_EQ(entries[0].translation, "Content-Type: text/plain; charset=UTF-8\n");
    EXPECT_TRUE(entries[1].hasContext);
    EXPECT_EQ(entries[1].context, "switch");
    EXPECT_EQ(po_key(entries[1]), std::string("switch\x04On"));
    EXPECT_EQ(entries[1].line, 9);
    EXPECT_FALSE(entries[1].fuzzy);
    EXPECT_EQ(entries[2].id, "Two lines");
    EXPECT_FALSE(entries[2].hasContext);
    EXPECT_EQ(entries[2].translation, "Zwei\n\"Zeilen\"\t\\ AA");
    EXPECT_TRUE(entries[3].fuzzy);
    EXPECT_EQ(entries[3].line, 17);
}

TEST(PoParse, AcceptsAByteOrderMarkCrlfLinesAndAMissingFinalNewline) {
    const auto entries = parse("\xEF\xBB\xBFmsgid \"A\"\r\nmsgstr \"B\"\r\n\r\nmsgid \"C\"\nmsgstr \"D\"");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].translation, "B");
    EXPECT_EQ(entries[1].translation, "D");
}

TEST(PoParse, RejectsMalformedFilesNamingTheLine) {
    EXPECT_EQ(parseError("msgid \"A\"\nmsgstr \"B\"\n\nmsgid \"A\"\nmsgstr \"C\"\n"),
              "line 4: duplicate entry for \"A\"");
    EXPECT_EQ(parseError("msgid \"A\"\nmsgid_plural \"As\"\nmsgstr[0] \"B\"\n"),
              "line 2: plural forms are not supported");
    EXPECT_EQ(parseError("msgid \"A\"\nmsgstr \"\\q\"\n"), "line 2: unknown escape \\q");
    EXPECT_EQ(parseError("msgid \"A\"\nmsgstr \"B\\\"\n"), "line 2: string ends with a lone backslash");
    EXPECT_EQ(parseError("msgid \"A\"\nmsgstr \"B\" \"C\"\n"), "line 2: unescaped '\"' inside a string");
    EXPECT_EQ(parseError("msgid \"A\"\nmsgstr \"B\" x\n"), "line 2: expected a quoted string");
    EXPECT_EQ(parseError("msgid \"A\"\n\nmsgid \"B\"\nmsgstr \"C\"\n"), "line 3: msgid without msgstr");
    EXPECT_EQ(parseError("msgstr \"B\"\n"), "line 1: msgstr without msgid");
    EXPECT_EQ(parseError("msgid \"A\"\nmsgstr \"B\"\nmsgstr \"C\"\n"), "line 3: second msgstr");
    EXPECT_EQ(parseError("msgid \"A\"\n"), "line 1: entry without msgstr");
    EXPECT_EQ(parseError("\"stray\"\n"), "line 1: string outside of msgctxt, msgid or msgstr");
    EXPECT_EQ(parseError("msgid A\nmsgstr \"B\"\n"), "line 1: expected a quoted string");
    EXPECT_EQ(parseError("msgtxt \"A\"\n"), "line 1: unknown keyword 'msgtxt'");
    EXPECT_EQ(parseError("msgctxt \"a\\x04b\"\nmsgid \"A\"\nmsgstr \"B\"\n"),
              "line 2: context or id contains the context separator \\x04");
    EXPECT_EQ(parseError("msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=ISO-8859-2\\n\"\n"),
              "line 1: the header declares charset ISO-8859-2; catalogues must be UTF-8");
}

TEST(PoBuildMo, WritesSortedUsableEntriesWithTheHeader) {
    const auto entries = parse("#, fuzzy\n"
                               "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n"
                               "msgid \"Zebra\"\nmsgstr \"Z\"\n"
                               "msgid \"Apple\"\nmsgstr \"A\"\n"
                               "#, fuzzy\nmsgid \"Guess\"\nmsgstr \"G\"\n"
                               "msgid \"Empty\"\nmsgstr \"\"\n"
                               "msgctxt \"switch\"\nmsgid \"On\"\nmsgstr \"Zap\"\n"
                               "msgid \"\xC3\x84pfel\"\nmsgstr \"\xC3\x84\"\n");
    const std::vector<uint8_t> mo = po_build_mo(entries);
    EXPECT_EQ(word(mo, 0), 0x950412DEu);
    EXPECT_EQ(word(mo, 4), 0u);
    const auto pairs = moPairs(mo);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"", "Content-Type: text/plain; charset=UTF-8\n"},
        {"Apple", "A"},
        {"Zebra", "Z"},
        {"switch\x04On", "Zap"},
        {"\xC3\x84pfel", "\xC3\x84"}, // bytes above 0x7F sort last, as strcmp orders them
    };
    EXPECT_EQ(pairs, expected);
}

// The real catalogues, damaged at random: each parse succeeds or names a line; nothing else happens.
TEST(PoParse, SurvivesRandomDamage) {
    const char* root = std::getenv("TDX_SOURCE_DIR");
    std::ifstream in(std::string(root != nullptr && *root != '\0' ? root : TDX_TEST_SOURCE_DIR) +
                     "/resources/po/cs.po");
    const std::string good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(good.size(), 1000u);
    static constexpr char NASTY[] = "\"\\\n#,x04[]msgidtrc ";
    std::mt19937 random(42);
    int parsed = 0;
    for (int round = 0; round < 2000; ++round) {
        std::string text = good;
        for (int i = 0, n = 1 + static_cast<int>(random() % 3); i < n; ++i) {
            text[random() % text.size()] = NASTY[random() % (sizeof NASTY - 1)];
        }
        text.resize(text.size() - random() % 20);
        std::vector<PoEntry> entries;
        std::string error;
        if (po_parse(text, entries, error) == 0) {
            ++parsed;
            const std::vector<uint8_t> mo = po_build_mo(entries);
            EXPECT_EQ(moPairs(mo).size(), word(mo, 8));
        } else {
            EXPECT_TRUE(error.starts_with("line ")) << error;
        }
    }
    EXPECT_GT(parsed, 0);
}

TEST(PoCompileFile, NamesTheFileInItsErrors) {
    std::vector<uint8_t> mo;
    std::string error;
    EXPECT_EQ(po_compile_file("/nonexistent/cs.po", mo, error), -1);
    EXPECT_EQ(error, "/nonexistent/cs.po: cannot open");
}

} // namespace
} // namespace tdx
