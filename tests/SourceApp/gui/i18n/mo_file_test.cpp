#include "SourceApp/gui/i18n/MoFile.h"
#include "catalogues.h"
#include "tools/pocompile/po_compile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

namespace tdx {
namespace {

using test::TraceCapture;

std::vector<uint8_t> moFrom(std::string_view po) {
    std::vector<PoEntry> entries;
    std::string error;
    EXPECT_EQ(po_parse(po, entries, error), 0) << error;
    return po_build_mo(entries);
}

const char* const SMALL_PO = "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n"
                             "msgid \"On\"\nmsgstr \"On (plain)\"\n"
                             "msgctxt \"switch\"\nmsgid \"On\"\nmsgstr \"Zap\"\n"
                             "msgctxt \"switch\"\nmsgid \"Off\"\nmsgstr \"Vyp\"\n"
                             "msgctxt \"time\"\nmsgid \"From\"\nmsgstr \"Od\"\n"
                             "msgid \"Room\"\nmsgstr \"M\xC3\xADstnost\"\n";

uint32_t wordAt(const std::vector<uint8_t>& mo, size_t at) {
    uint32_t value;
    std::memcpy(&value, mo.data() + at, 4);
    return value;
}

void setWord(std::vector<uint8_t>& mo, size_t at, uint32_t value) {
    std::memcpy(mo.data() + at, &value, 4);
}

// The same catalogue as a big-endian machine writes it.
std::vector<uint8_t> byteSwapped(std::vector<uint8_t> mo) {
    const uint32_t count = wordAt(mo, 8);
    std::vector<size_t> words = {0, 4, 8, 12, 16, 20, 24};
    for (uint32_t table : {wordAt(mo, 12), wordAt(mo, 16)}) {
        for (uint32_t i = 0; i < 2 * count; ++i) {
            words.push_back(table + 4 * i);
        }
    }
    for (size_t at : words) {
        setWord(mo, at, __builtin_bswap32(wordAt(mo, at)));
    }
    return mo;
}

void expectTranslations(const MoFile& mo) {
    EXPECT_STREQ(mo.gettext("On"), "On (plain)");
    EXPECT_STREQ(mo.pgettext("switch", "On"), "Zap");
    EXPECT_STREQ(mo.pgettext("switch", "Off"), "Vyp");
    EXPECT_STREQ(mo.pgettext("time", "From"), "Od");
    EXPECT_STREQ(mo.gettext("Room"), "M\xC3\xADstnost");
}

TEST(MoFile, KeepsContextsApart) {
    const auto bytes = moFrom(SMALL_PO);
    MoFile mo;
    ASSERT_EQ(mo.loadFromMemory(bytes.data(), bytes.size()), 0);
    EXPECT_EQ(mo.count(), 6u);
    expectTranslations(mo);
    // The same id in another context, or without one, is another entry.
    EXPECT_STREQ(mo.pgettext("time", "On"), "On");
    EXPECT_STREQ(mo.gettext("Off"), "Off");
    EXPECT_STREQ(mo.gettext("From"), "From");
    EXPECT_STREQ(mo.pgettext("switc", "On"), "On");
    EXPECT_STREQ(mo.pgettext("switch", "O"), "O");
    EXPECT_STREQ(mo.gettext("Roo"), "Roo");
    EXPECT_STREQ(mo.gettext("Rooms"), "Rooms");
    EXPECT_EQ(mo.find("time", "On"), nullptr);
}

TEST(MoFile, MissingKeysNullAndTheEmptyIdGiveNoCatalogueText) {
    const auto bytes = moFrom(SMALL_PO);
    MoFile mo;
    ASSERT_EQ(mo.loadFromMemory(bytes.data(), bytes.size()), 0);
    const char* key = "Not in the catalogue";
    EXPECT_EQ(mo.gettext(key), key) << "a missing key is returned itself";
    EXPECT_STREQ(mo.gettext(nullptr), "");
    EXPECT_STREQ(mo.pgettext("switch", nullptr), "");
    // The empty id files the header; a screen asking for "" must not show it.
    EXPECT_STREQ(mo.gettext(""), "");
    MoFile empty;
    EXPECT_FALSE(empty.isLoaded());
    EXPECT_EQ(empty.gettext(key), key);
}

TEST(MoFile, ReadsCataloguesOfEitherByteOrder) {
    const auto bytes = byteSwapped(moFrom(SMALL_PO));
    ASSERT_EQ(bytes[0], 0x95);
    MoFile mo;
    ASSERT_EQ(mo.loadFromMemory(bytes.data(), bytes.size()), 0);
    expectTranslations(mo);
}

TEST(MoFile, RejectsEveryTruncation) {
    const auto bytes = moFrom(SMALL_PO);
    TraceCapture trace;
    for (size_t size = 0; size < bytes.size(); ++size) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + size); // exact size, so ASan sees overreads
        MoFile mo;
        EXPECT_EQ(mo.loadFromMemory(cut.data(), cut.size()), -1) << "size " << size;
        EXPECT_FALSE(mo.isLoaded());
        EXPECT_STREQ(mo.pgettext("switch", "On"), "On");
    }
    EXPECT_TRUE(trace.contains("i18n: catalogue rejected: shorter than its header"));
    EXPECT_TRUE(trace.contains("i18n: catalogue rejected: string past the end"));
}

TEST(MoFile, RejectsCorruptHeadersTablesAndStrings) {
    const auto good = moFrom(SMALL_PO);
    const uint32_t keyTable = wordAt(good, 12);
    const uint32_t valueTable = wordAt(good, 16);
    struct Case {
        const char* what;
        size_t at;
        uint32_t value;
        const char* trace;
    } cases[] = {
        {"bad magic", 0, 0x12345678, "bad magic 12345678"},
        {"unknown revision", 4, 1, "unknown revision (1)"},
        {"count past the end", 8, 0x20000000, "string tables past the end"},
        {"count overflowing 32 bits", 8, 0xFFFFFFFF, "string tables past the end"},
        {"key table past the end", 12, 0xFFFFFFF0, "string tables past the end"},
        {"value table past the end", 16, static_cast<uint32_t>(good.size() - 4),
         "string tables past the end"},
        {"key offset past the end", keyTable + 4, 0xFFFFFFFF, "string past the end"},
        {"key length past the end", keyTable + 8, 0xFFFFFFFE, "string past the end"},
        {"value offset past the end", valueTable + 12, static_cast<uint32_t>(good.size()),
         "string past the end"},
        {"key without NUL", keyTable + 8, wordAt(good, keyTable + 8) - 1, "string without its NUL"},
        {"value without NUL", valueTable + 16, wordAt(good, valueTable + 16) + 1, "string without its NUL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto bytes = good;
        setWord(bytes, c.at, c.value);
        TraceCapture trace;
        MoFile mo;
        EXPECT_EQ(mo.loadFromMemory(bytes.data(), bytes.size()), -1);
        EXPECT_FALSE(mo.isLoaded());
        EXPECT_STREQ(mo.pgettext("switch", "On"), "On");
        EXPECT_TRUE(trace.contains(c.trace)) << trace.str();
    }
    TraceCapture trace;
    MoFile mo;
    EXPECT_EQ(mo.loadFromMemory(nullptr, 100), -1);
    EXPECT_TRUE(trace.contains("i18n: catalogue rejected: no data"));
}

TEST(MoFile, SearchesUnsortedCataloguesOneByOne) {
    auto bytes = moFrom(SMALL_PO);
    // Swap the first two entries of both tables: the catalogue stays consistent but is no longer sorted.
    for (uint32_t table : {wordAt(bytes, 12), wordAt(bytes, 16)}) {
        for (size_t w = 0; w < 8; w += 4) {
            const uint32_t first = wordAt(bytes, table + w);
            setWord(bytes, table + w, wordAt(bytes, table + 8 + w));
            setWord(bytes, table + 8 + w, first);
        }
    }
    TraceCapture trace;
    MoFile mo;
    ASSERT_EQ(mo.loadFromMemory(bytes.data(), bytes.size()), 0);
    EXPECT_TRUE(trace.contains("not sorted"));
    expectTranslations(mo);
    EXPECT_STREQ(mo.gettext("Missing"), "Missing");
}

// Random damage to a real catalogue: every load either refuses it or answers lookups from inside it (the
// sanitizer build reports any read outside).
TEST(MoFile, SurvivesRandomDamage) {
    const auto& good = test::compiledCatalogue("resources/po/cs.po");
    ASSERT_FALSE(good.empty());
    std::mt19937 random(20261206);
    TraceCapture trace;
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> bytes = good;
        const int damage = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < damage; ++i) {
            // Mostly the header and the tables, where damage matters most.
            const size_t at = random() % 2 == 0 ? random() % std::min<size_t>(bytes.size(), 28 + 16 * 40)
                                                : random() % bytes.size();
            bytes[at] = static_cast<uint8_t>(random());
        }
        bytes.resize(bytes.size() - random() % 3);
        MoFile mo;
        if (mo.loadFromMemory(bytes.data(), bytes.size()) != 0) {
            continue;
        }
        ++accepted;
        for (const char* id : {"March", "Monday", "Zebra", "", "Not specified"}) {
            const char* text = mo.gettext(id);
            ASSERT_NE(text, nullptr);
            EXPECT_LE(std::strlen(text), bytes.size());
        }
        EXPECT_NE(mo.pgettext("switch", "On"), nullptr);
    }
    EXPECT_GT(accepted, 0) << "some damage only changes texts";
}

TEST(MoFile, AFailedLoadForgetsThePreviousCatalogue) {
    const auto bytes = moFrom(SMALL_PO);
    MoFile mo;
    ASSERT_EQ(mo.loadFromMemory(bytes.data(), bytes.size()), 0);
    TraceCapture trace;
    EXPECT_EQ(mo.loadFromMemory(bytes.data(), 10), -1);
    EXPECT_STREQ(mo.pgettext("switch", "On"), "On");
}

// Our compiler against the reference: the real catalogues read the same either way.
TEST(MoFile, RepositoryCataloguesMatchWhatMsgfmtBuilds) {
    for (const char* path :
         {"resources/po/cs.po", "resources/po/da.po", "resources/po/nl.po", "resources/help/en.po"}) {
        SCOPED_TRACE(path);
        const auto& ours = test::compiledCatalogue(path);
        const auto reference = test::msgfmtCatalogue(path);
        ASSERT_FALSE(ours.empty());
        ASSERT_FALSE(reference.empty());
        MoFile fromOurs;
        MoFile fromReference;
        ASSERT_EQ(fromOurs.loadFromMemory(ours.data(), ours.size()), 0);
        ASSERT_EQ(fromReference.loadFromMemory(reference.data(), reference.size()), 0);
        EXPECT_EQ(fromOurs.count(), fromReference.count());

        std::vector<PoEntry> entries;
        std::string error;
        ASSERT_EQ(po_parse(test::readSourceFile(path), entries, error), 0) << error;
        size_t translated = 0;
        for (const PoEntry& entry : entries) {
            const char* context = entry.hasContext ? entry.context.c_str() : nullptr;
            const char* expected = fromReference.find(context, entry.id.c_str());
            const char* actual = fromOurs.find(context, entry.id.c_str());
            ASSERT_EQ(expected == nullptr, actual == nullptr) << entry.id;
            if (expected != nullptr) {
                EXPECT_STREQ(actual, expected);
                ++translated;
            }
        }
        EXPECT_GT(translated, 20u);
    }
}

} // namespace
} // namespace tdx
