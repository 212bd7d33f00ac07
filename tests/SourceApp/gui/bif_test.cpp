#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/support/screen.h"

#include <climits>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tdx {
namespace {

// A small hand-made font: every glyph is a solid block, so that where each one lands is easy to see.
struct TinyGlyph {
    uint8_t advance, w, h;
    int8_t x_bearing, y_top;
};
const std::map<uint32_t, TinyGlyph> TINY = {
    {' ', {3, 0, 0, 0, 0}},    {'?', {5, 4, 6, 0, 2}},  {'a', {4, 3, 4, 0, 4}},
    {'b', {6, 5, 7, 1, 1}},    {0xE9, {4, 3, 6, 0, 2}}, // é
    {0x2026, {6, 5, 1, 0, 7}},                          // …
};
constexpr uint8_t TINY_ASCENT = 8, TINY_XHEIGHT = 4, TINY_DESCENT = 2, TINY_STEP = 10;

std::vector<uint8_t> tiny_font() {
    std::vector<uint8_t> out(12, 0);
    auto put16 = [&](size_t at, unsigned v) {
        out[at] = static_cast<uint8_t>(v);
        out[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    // One range per code, glyphs in code order.
    const size_t n = TINY.size();
    out.resize(12 + 6 * n + 4 * n, 0);
    out[0] = TINY_ASCENT, out[1] = TINY_XHEIGHT, out[2] = TINY_DESCENT, out[3] = TINY_STEP;
    put16(4, static_cast<unsigned>(n));
    put16(6, static_cast<unsigned>(n));
    size_t i = 0;
    for (const auto& [code, g] : TINY) {
        if (code == '?')
            put16(8, static_cast<unsigned>(i));
        put16(12 + 6 * i, code);
        put16(14 + 6 * i, 1);
        put16(16 + 6 * i, static_cast<unsigned>(i));
        const uint32_t offset = static_cast<uint32_t>(out.size());
        for (int b = 0; b < 4; ++b)
            out[12 + 6 * n + 4 * i + b] = static_cast<uint8_t>(offset >> (8 * b));
        out.insert(out.end(),
                   {g.advance, g.w, g.h, static_cast<uint8_t>(g.x_bearing), static_cast<uint8_t>(g.y_top)});
        out.insert(out.end(), size_t{g.w} * g.h, 255);
        ++i;
    }
    return out;
}

class BifTest : public test::ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        mBlob = tiny_font();
        ASSERT_EQ(bif_parse(mBlob.data(), mBlob.size(), &mFont), 0);
        gfx_setcolor(INK);
    }
    static constexpr unsigned INK = 0x000000;
    std::vector<uint8_t> mBlob;
    bif_t mFont;
};

TEST_F(BifTest, HeaderGivesTheSizeValuesAndGlyphRecordsStartWithTheirWidth) {
    EXPECT_EQ(mFont.ascent, TINY_ASCENT);
    EXPECT_EQ(mFont.x_height, TINY_XHEIGHT);
    EXPECT_EQ(mFont.descent, TINY_DESCENT);
    EXPECT_EQ(mFont.line_step, TINY_STEP);
    for (const auto& [code, g] : TINY) {
        const uint8_t* record = bif_get_glyph_ptr(&mFont, code);
        ASSERT_NE(record, nullptr) << code;
        EXPECT_EQ(record[0], g.advance);
    }
    EXPECT_EQ(bif_get_glyph_ptr(&mFont, 'z'), nullptr);
    EXPECT_EQ(bif_get_glyph_ptr(&mFont, 0x1F600), nullptr);
    EXPECT_EQ(bif_get_glyph_ptr(nullptr, 'a'), nullptr);
}

TEST_F(BifTest, TextWidthIsTheSumOfAdvancesAndMissingCharactersCountAsTheReplacement) {
    EXPECT_EQ(bif_text_width(&mFont, "ab a"), 4 + 6 + 3 + 4);
    EXPECT_EQ(bif_text_width(&mFont, "\xC3\xA9"), 4); // é
    EXPECT_EQ(bif_text_width(&mFont, "z"), 5);
    EXPECT_EQ(bif_text_width(&mFont, "a\r\tb"), 4 + 3 + 6) << "CR takes no room, a tab that of a blank";
    EXPECT_EQ(bif_text_width(&mFont, ""), 0);
    EXPECT_EQ(bif_text_width(nullptr, "ab"), 0);
}

// The decoder's own table covers every kind of broken sequence; here, that the font measures and draws
// what it decodes.
TEST_F(BifTest, MalformedUtf8DrawsOneReplacementPerBadSequenceAndNeverReadsPastTheText) {
    const std::pair<std::string, int> cases[] = {
        {std::string("\x80\xBF") + "a", 5 + 5 + 4}, // stray continuation bytes
        {std::string("\xE2\x82") + "a", 5 + 4},     // truncated in the middle: the next character survives
    };
    for (const auto& [text, width] : cases) {
        EXPECT_EQ(bif_text_width(&mFont, text), width) << testing::PrintToString(text);
        // Drawing covers exactly the measured width.
        SetUp();
        bif_print_text(&mFont, 10, 10, text);
        const Box ink = ink_box();
        EXPECT_LE(ink.x2, 10 + width - 1) << testing::PrintToString(text);
    }
    // A view that ends inside a sequence must not see the bytes after it.
    const std::string buffer = "a\xC3\xA9";
    EXPECT_EQ(bif_text_width(&mFont, std::string_view(buffer).substr(0, 2)), 4 + 5);
}

TEST_F(BifTest, TextsTooWideEndInTheEllipsisWithinTheirWidth) {
    const std::string E = "\xE2\x80\xA6";
    const struct {
        const char* text;
        int width;
        std::string fitted;
    } cases[] = {
        {"abab", 20, "abab"},                // fits exactly
        {"abab", 19, "ab" + E},              // 4 + 6 + 6; the next a would need 20
        {"a ab", 16, "a" + E},               // no blank before the ellipsis
        {"\u00E9\u00E9b", 13, "\u00E9" + E}, // whole characters only
        {"ab", 3, E},                        // not even one character: the ellipsis alone
    };
    for (const auto& c : cases) {
        EXPECT_EQ(bif_fit_text(&mFont, c.text, c.width), c.fitted) << c.text << " in " << c.width;
        SetUp();
        bif_print_text_fitted(&mFont, 10, 10, c.text, c.width);
        if (c.width >= 6) {
            EXPECT_LE(ink_box().x2, 10 + c.width - 1) << c.text << " in " << c.width;
        }
    }
    EXPECT_EQ(bif_fit_text(nullptr, "ab", 1), "ab");
}

TEST_F(BifTest, PrintPlacesEachGlyphByItsBearingsBelowTheCellTop) {
    bif_print_text(&mFont, 20, 30, "ab");
    // 'a' 3x4 at (20, 34); 'b' 5x7 at (20 + 4 + 1, 31).
    EXPECT_EQ(inked(Box(0, 0, W, H)), 12 + 35);
    EXPECT_EQ(ink_box(), Box::fromCorners(20, 31, 29, 37));
    EXPECT_EQ(at(20, 34), INK);
    EXPECT_EQ(at(20, 33), BACKGROUND);
    EXPECT_EQ(at(25, 31), INK);

    SetUp();
    bif_print_text(nullptr, 0, 0, "ab");
    bif_print_text(&mFont, 0, 0, "");
    const char* none = nullptr;
    bif_print_text(&mFont, 0, 0, none);
    bif_print_text_centered(&mFont, 50, 0, none);
    bif_print_text_rotated(&mFont, 50, 50, none);
    bif_print_multiline(&mFont, Box(0, 0, 100, 100), none);
    EXPECT_EQ(bif_text_width(&mFont, none), 0);
    EXPECT_EQ(inked(Box(0, 0, W, H)), 0);
}

TEST_F(BifTest, TextFarOutsideTheScreenDrawsNothing) {
    for (int far : {INT_MIN, INT_MIN + 1, -100000, 100000, INT_MAX - 3, INT_MAX}) {
        bif_print_text(&mFont, far, 10, "ab?ab");
        bif_print_text(&mFont, 10, far, "ab?ab");
        bif_print_text(&mFont, far, far, "ab?ab");
        bif_print_text_centered(&mFont, far, 10, "ab?ab");
        bif_print_text_rotated(&mFont, far, 10, "ab?ab");
        bif_print_text_rotated(&mFont, 10, far, "ab?ab");
        bif_print_multiline(&mFont, Box::fromCorners(far, far, INT_MAX, INT_MAX), "ab ab ab");
    }
    EXPECT_EQ(inked(Box(0, 0, W, H)), 0);
    // Text starting left of the screen shows its part that reaches onto it.
    bif_print_text(&mFont, -6, 10, "bb");
    EXPECT_EQ(ink_box(), Box::fromCorners(1, 11, 5, 17)); // the second b; the first lies at -5..-1
}

TEST_F(BifTest, CenteredTextStartsHalfItsWidthLeftOfX) {
    bif_print_text_centered(&mFont, 100, 50, "ab a"); // width 17
    EXPECT_EQ(ink_box().x1, 100 - 17 / 2);
}

TEST_F(BifTest, MultilineWrapsAtBlanksBreaksNewlinesAndLongWordsAndStopsAtTheBottom) {
    // "a a" is 11 px; the next word would need 18: two lines, line step apart.
    bif_print_multiline(&mFont, Box(10, 10, 12, 100), "a a a");
    EXPECT_EQ(inked(Box(0, 14, W, 4)), 2 * 12);
    EXPECT_EQ(inked(Box(0, 24, W, 4)), 12);
    EXPECT_EQ(ink_box(), Box::fromCorners(10, 14, 19, 27));

    SetUp();
    bif_print_multiline(&mFont, Box(0, 0, 100, 100), "a\n\na");
    EXPECT_EQ(inked(Box(0, 0, W, 10)), 12);
    EXPECT_EQ(inked(Box(0, 10, W, 10)), 0);
    EXPECT_EQ(inked(Box(0, 20, W, 10)), 12);

    // A word wider than the box is cut between characters: two 6-px 'b' per 12-px line.
    SetUp();
    bif_print_multiline(&mFont, Box(0, 0, 12, 100), "bbbbb");
    EXPECT_EQ(ink_box(), Box::fromCorners(1, 1, 11, 27));
    EXPECT_EQ(inked(Box(0, 20, W, 10)), 35);

    // Lines end at the box's bottom and nothing is drawn below it.
    SetUp();
    bif_print_multiline(&mFont, Box(0, 0, 12, 15), "bb bb bb");
    EXPECT_EQ(ink_box(), Box::fromCorners(1, 1, 11, 14));
    EXPECT_EQ(gfx_get_clip(), Box(0, 0, W, H));
}

// The lines bif_wrap_line lays out, after checking that each call hands on where the next one starts.
std::vector<std::string> wrap(const bif_t* font, std::string_view text, int width) {
    std::vector<std::string> lines;
    for (size_t pos = 0; pos != std::string_view::npos;) {
        size_t end = 0;
        const size_t next = bif_wrap_line(font, text, pos, width, &end);
        EXPECT_LE(end, text.size());
        EXPECT_TRUE(next == std::string_view::npos || (next > pos && next >= end && next <= text.size()));
        lines.emplace_back(text.substr(pos, end - pos));
        pos = next;
    }
    EXPECT_EQ(bif_count_lines(font, text, width), text.empty() ? 0 : static_cast<int>(lines.size()));
    return lines;
}

using Lines = std::vector<std::string>;

TEST_F(BifTest, WrapBreaksAtLineFeedsAndAtTheLastBlankThatFitsAndDropsTheBlanksThere) {
    EXPECT_EQ(wrap(&mFont, "a\nb", 100), (Lines{"a", "b"}));
    EXPECT_EQ(wrap(&mFont, "a\n", 100), (Lines{"a", ""}));
    EXPECT_EQ(wrap(&mFont, "\n\n", 100), (Lines{"", "", ""}));
    // "a a" is 11 px: the third word goes to the next line, the blank before it to no line.
    EXPECT_EQ(wrap(&mFont, "a a a", 12), (Lines{"a a", "a"}));
    EXPECT_EQ(wrap(&mFont, "a a    a", 11), (Lines{"a a", "a"}));
    // The blank that does not fit ends the line; the one that fits stays on it.
    EXPECT_EQ(wrap(&mFont, "a  a", 8), (Lines{"a ", "a"}));
    // A line feed after a full line adds no empty line, and the blanks after a line feed are kept.
    EXPECT_EQ(wrap(&mFont, "a a\n a", 11), (Lines{"a a", " a"}));
    EXPECT_EQ(wrap(&mFont, "a a a", 1000), (Lines{"a a a"}));
}

TEST_F(BifTest, WrapCutsAWordNoLineCanHoldBetweenCharacters) {
    EXPECT_EQ(wrap(&mFont, "bbbbb", 12), (Lines{"bb", "bb", "b"}));
    // The word moves to its own line first, then is cut there.
    EXPECT_EQ(wrap(&mFont, "a bbb", 12), (Lines{"a", "bb", "b"}));
    // Every line takes its first character, even when the line is narrower than that.
    EXPECT_EQ(wrap(&mFont, "ab", 0), (Lines{"a", "b"}));
    EXPECT_EQ(wrap(&mFont, "ab", -5), (Lines{"a", "b"}));
    // Two-byte characters are never cut between their bytes.
    EXPECT_EQ(wrap(&mFont, "\xC3\xA9\xC3\xA9", 7), (Lines{"\xC3\xA9", "\xC3\xA9"}));
}

TEST_F(BifTest, WrapMeasuresMalformedUtf8AsTheReplacementItDrawsAndKeepsItsBytesTogether) {
    // The replacement is 5 px: a truncated sequence and the 'a' after it make 9.
    const std::string cut = std::string("\xE2\x82") + "a";
    EXPECT_EQ(wrap(&mFont, cut, 9), (Lines{cut}));
    EXPECT_EQ(wrap(&mFont, cut, 8), (Lines{"\xE2\x82", "a"}));
    EXPECT_EQ(wrap(&mFont, "a\xC3", 8), (Lines{"a", "\xC3"}));
    EXPECT_EQ(wrap(&mFont, "\x80\xBF", 9), (Lines{"\x80", "\xBF"}));
    EXPECT_EQ(wrap(&mFont, "\xC3\xA9 a", 9), (Lines{"\xC3\xA9", "a"}));
    // A view that ends inside a sequence is measured without the bytes after it.
    const std::string buffer = "a\xC3\xA9";
    EXPECT_EQ(wrap(&mFont, std::string_view(buffer).substr(0, 2), 9), (Lines{"a\xC3"}));
}

TEST_F(BifTest, WrapOfAnEmptyTextIsOneEmptyLineThatCountsAsNone) {
    EXPECT_EQ(wrap(&mFont, "", 100), (Lines{""}));
    EXPECT_EQ(bif_count_lines(&mFont, "", 100), 0);
    EXPECT_EQ(bif_count_lines(nullptr, "a a", 100), 0);
    // Past the end there is nothing left to lay out.
    size_t end = 99;
    EXPECT_EQ(bif_wrap_line(&mFont, "ab", 2, 100, &end), std::string_view::npos);
    EXPECT_EQ(end, 2u);
    // Without a blob no character has a width: only line feeds break.
    const bif_t unbound;
    EXPECT_EQ(wrap(&unbound, "bbbb bbbb\nb", 1), (Lines{"bbbb bbbb", "b"}));
}

TEST_F(BifTest, MultilineDrawsTheLinesWrapCounts) {
    const std::string_view text = "ab a\nbbbbbbb a a ?";
    const int lines = bif_count_lines(&mFont, text, 20);
    ASSERT_EQ(lines, 5);
    bif_print_multiline(&mFont, Box(0, 0, 20, 200), text);
    // Every glyph here inks rows 4..7 of its cell: each line shows in its own band, none below the last.
    for (int line = 0; line < lines; ++line)
        EXPECT_GT(inked(Box(0, line * TINY_STEP + 4, W, 4)), 0) << line;
    EXPECT_EQ(inked(Box(0, lines * TINY_STEP, W, H - lines * TINY_STEP)), 0);
}

TEST_F(BifTest, RotatedTextIsTheUnrotatedTextTurnedCounterClockwise) {
    bif_print_text(&mFont, 0, 0, "ab?");
    const Box flat = ink_box();
    SetUp();
    bif_print_text_rotated(&mFont, 100, 200, "ab?");
    // Unrotated (u, v) lands on (x + v, y - u).
    EXPECT_EQ(ink_box(), Box::fromCorners(100 + flat.y1, 200 - flat.x2, 100 + flat.y2, 200 - flat.x1));
    EXPECT_EQ(inked(Box(0, 0, W, H)), 12 + 35 + 24);
}

TEST_F(BifTest, DamagedFontBlobsAreRefusedWithoutReadingOutside) {
    // Every shortened copy lives in a buffer of exactly its length, so a read past it is caught by the
    // sanitizer.
    for (size_t n = 0; n < mBlob.size(); ++n) {
        std::vector<uint8_t> cut(mBlob.begin(), mBlob.begin() + static_cast<ptrdiff_t>(n));
        bif_t f;
        EXPECT_EQ(bif_parse(cut.data(), cut.size(), &f), -1) << n;
        EXPECT_EQ(f.data, nullptr);
    }
    auto damaged = [&](size_t at, uint8_t value) {
        std::vector<uint8_t> copy = mBlob;
        copy[at] = value;
        bif_t f;
        return bif_parse(copy.data(), copy.size(), &f);
    };
    EXPECT_EQ(damaged(8, 200), -1);                       // replacement glyph out of range
    EXPECT_EQ(damaged(12 + 6, 0), -1);                    // second range starts before the first ends
    EXPECT_EQ(damaged(12 + 2, 0), -1);                    // empty range
    EXPECT_EQ(damaged(12 + 4, 9), -1);                    // range points past the glyphs
    EXPECT_EQ(damaged(12 + 6 * 6 + 3, 0x40), -1);         // glyph offset far outside
    EXPECT_EQ(damaged(12 + 6 * 6, 0), -1);                // glyph offset inside the tables
    EXPECT_EQ(damaged(mBlob.size() - 5 * 1 - 3, 60), -1); // last glyph (5 x 1) taller than the blob
    bif_t f;
    EXPECT_EQ(bif_parse(nullptr, 100, &f), -1);
}

TEST(FontTest, GlobalFontIsUnboundUntilABlobIsBound) {
    Font font("test");
    EXPECT_EQ(font.getFont(), nullptr);
    const std::vector<uint8_t> blob = tiny_font();
    EXPECT_EQ(font.bind(blob.data(), 5), -1);
    EXPECT_EQ(font.getFont(), nullptr);
    ASSERT_EQ(font.bind(blob.data(), blob.size()), 0);
    ASSERT_NE(font.getFont(), nullptr);
    EXPECT_EQ(font.getFont()->ascent, TINY_ASCENT);
    font.unbind();
    EXPECT_EQ(font.getFont(), nullptr);
}

} // namespace
} // namespace tdx
