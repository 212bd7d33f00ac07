#include "SourceApp/gui/console/console.h"
#include "SourceApp/gui/support/screen.h"

#include <string>

namespace tdx {
namespace {

class ConsoleTest : public test::ScreenTest {
protected:
    // The pixels a console of the given box shows after printing text.
    static std::vector<uint32_t> shown(const Box& box, const std::string& text) {
        console_t console;
        console_init(&console, box);
        console_print(&console, text);
        std::fill(gfx.surface.back, gfx.surface.back + W * H, gfx_pixel_of(BACKGROUND));
        console_draw(&console);
        return std::vector<uint32_t>(gfx.surface.back, gfx.surface.back + W * H);
    }
    static unsigned channel(unsigned colour, int index) { return (colour >> (8 * index)) & 0xFF; }
};

TEST_F(ConsoleTest, CellsAreDrawnInTheNormalColoursInFiveByTenCells) {
    console_t console;
    console_init(&console, Box(0, 0, W, H));
    EXPECT_EQ(console.columns, 64);
    EXPECT_EQ(console.rows, 24);
    console_print(&console, "Hi");
    console_draw(&console);
    EXPECT_EQ(inked(Box(0, 0, W, H), console_colour(CONSOLE_NORMAL_BACK)), inked(Box(0, 0, 10, 10), 0));
    EXPECT_GT(inked(Box(0, 0, 5, 10), 0), 5); // 'H'
    EXPECT_GT(inked(Box(5, 0, 5, 10), 0), 2); // 'i'
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) // light grey on black: grey levels only
            ASSERT_TRUE(channel(at(x, y), 0) == channel(at(x, y), 1) &&
                        channel(at(x, y), 1) == channel(at(x, y), 2));
}

TEST_F(ConsoleTest, ColourCodesSetTextAndBackgroundUntilChanged) {
    console_t console;
    console_init(&console, Box(0, 0, W, H));
    // The header sequence of the diagnostics page, with the index as a byte and as a digit.
    console_print(&console, std::string("\x11\x04\x10"
                                        "7N",
                                        5) +
                                "\x11"
                                "0"
                                "N" +
                                "\x10\x0C"
                                "X" +
                                "\x10\x09"
                                "X");
    console_draw(&console);
    EXPECT_EQ(at(4, 9), console_colour(4)); // blue background behind the first N, seen in its empty corner
    EXPECT_EQ(at(9, 9), console_colour(0));
    EXPECT_EQ(console_colour(4), 0xAA0000u);
    bool blue = false, red = false;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 5; ++x) {
            const unsigned bright_blue = at(10 + x, y), bright_red = at(15 + x, y);
            EXPECT_GE(channel(bright_blue, 2), channel(bright_blue, 0));
            EXPECT_GE(channel(bright_red, 0), channel(bright_red, 2));
            blue |= channel(bright_blue, 2) > channel(bright_blue, 0);
            red |= channel(bright_red, 0) > channel(bright_red, 2);
        }
    EXPECT_TRUE(blue && red);
}

TEST_F(ConsoleTest, TextWrapsAtTheLastColumnAndScrollsBelowTheLastRow) {
    const Box box(0, 0, 20, 20); // 4 columns, 2 rows
    EXPECT_EQ(shown(box, "abcde"), shown(box, "abcd\ne"));
    EXPECT_EQ(shown(box, "ab\ncd\nef"), shown(box, "cd\nef"));
    EXPECT_EQ(shown(box, "ab\ncd\nef\ngh\n"), shown(box, "gh"));
    EXPECT_NE(shown(box, "ab"), shown(box, "ba"));
}

TEST_F(ConsoleTest, CarriageReturnTabAndBackspaceMoveTheCursor) {
    const Box box(0, 0, 100, 20);
    EXPECT_EQ(shown(box, "abc\rx"), shown(box, "xbc"));
    EXPECT_EQ(shown(box, "a\tb"), shown(box, "a       b"));
    EXPECT_EQ(shown(box, "ab\bc"), shown(box, "ac"));
    EXPECT_EQ(shown(box, "a\x01\x7F"
                         "b"),
              shown(box, "ab"));
    EXPECT_EQ(shown(box, "\xC3\xA9"), shown(box, "??"));
}

TEST_F(ConsoleTest, ClearBlanksEveryCellAndRestoresTheNormalColours) {
    console_t console;
    console_init(&console, Box(0, 0, 40, 20));
    console_print(&console, "\x11\x02hello");
    console_clear(&console);
    console_draw(&console);
    EXPECT_EQ(inked(Box(0, 0, 40, 20), console_colour(CONSOLE_NORMAL_BACK)), 0);
}

TEST_F(ConsoleTest, ConsolesWithoutRoomOrWithoutObjectDoNothing) {
    console_t tiny;
    console_init(&tiny, Box(0, 0, 4, 100));
    console_print(&tiny, "abc\n\n\n");
    console_draw(&tiny);
    console_init(nullptr, Box(0, 0, 100, 100));
    console_put_char(nullptr, 'a');
    console_print(nullptr, "abc");
    console_print(&tiny, static_cast<const char*>(nullptr));
    console_clear(nullptr);
    console_draw(nullptr);
    EXPECT_EQ(inked(Box(0, 0, W, H)), 0);
}

} // namespace
} // namespace tdx
