#include "SourceApp/application/resources/resource_names.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceHost/api_lib/scratch_folder.h"
#include "tools/mkresources/mkresources.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace tdx::mkres {
namespace {

const std::string FONTS = TDX_FONTS_DIR;

std::vector<std::string> manifest_lines() {
    std::ifstream in(TDX_MANIFEST);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The message of the error that reading a manifest of these lines raises ("" when it is accepted).
std::string manifest_error(const std::vector<std::string>& lines) {
    const test::TempDir folder;
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    folder.write("manifest.txt", text);
    try {
        read_manifest(folder / "manifest.txt");
        return "";
    } catch (const std::runtime_error& e) {
        return e.what();
    }
}

size_t first_resource_line(const std::vector<std::string>& lines) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (!lines[i].empty() && lines[i][0] != '#')
            return i;
    return lines.size();
}

TEST(ManifestTest, ManifestsThatDisagreeWithTheProgramAreRefusedNamingTheLine) {
    const std::vector<std::string> good = manifest_lines();
    const size_t first = first_resource_line(good);
    ASSERT_EQ(manifest_error(good), "");

    std::vector<std::string> swapped = good;
    std::swap(swapped[first], swapped[first + 1]);
    EXPECT_NE(manifest_error(swapped).find(":" + std::to_string(first + 1) + ":"), std::string::npos)
        << manifest_error(swapped);

    std::vector<std::string> renamed = good;
    renamed[first + 2] = "3 myriad13 font dejavu/DejaVuSansCondensed.ttf 12";
    EXPECT_NE(manifest_error(renamed).find("myriad13"), std::string::npos);

    std::vector<std::string> short_one = good;
    short_one.pop_back();
    EXPECT_NE(manifest_error(short_one).find("79 resources"), std::string::npos) << manifest_error(short_one);

    std::vector<std::string> bad_id = good;
    bad_id[first] = "x myriad10 font dejavu/DejaVuSansCondensed.ttf 10";
    EXPECT_NE(manifest_error(bad_id), "");
    bad_id[first] = "1 myriad10";
    EXPECT_NE(manifest_error(bad_id), "");
}

TEST(FontMakerTest, TwelvePixelFontHasTheSpecifiedSizeValuesAndEveryRequiredGlyph) {
    Face face(FONTS + "/dejavu/DejaVuSansCondensed.ttf");
    const std::vector<uint8_t> blob = make_font(face, 12);
    bif_t font;
    ASSERT_EQ(bif_parse(blob.data(), blob.size(), &font), 0);
    EXPECT_EQ(font.ascent, 13);
    EXPECT_EQ(font.x_height, 6);
    EXPECT_EQ(font.descent, 3);
    EXPECT_EQ(font.line_step, 15);
    for (uint32_t c : text_code_points())
        EXPECT_NE(bif_get_glyph_ptr(&font, c), nullptr) << c;
    EXPECT_EQ(bif_get_glyph_ptr(&font, 0x0416), nullptr); // not asked for
    // The replacement is the question mark.
    EXPECT_EQ(bif_text_width(&font, "\x80"), bif_text_width(&font, "?"));
}

// At 10 and 12 px the marks of Czech and Danish capitals must read: one blank row between mark and letter,
// and at least one strong pixel in the mark.
TEST(FontMakerTest, MarksOfCapitalsStandApartFromTheirLetterAtSmallSizes) {
    const std::pair<const char*, std::vector<uint32_t>> letters[] = {
        {"E", {0xC9, 0x11A}}, {"S", {0x160}}, {"C", {0x10C}}, {"R", {0x158}},       {"Z", {0x17D}},
        {"D", {0x10E}},       {"T", {0x164}}, {"N", {0x147}}, {"U", {0xDA, 0x16E}}, {"A", {0xC1, 0xC5}},
    };
    for (const char* file : {"DejaVuSansCondensed.ttf", "DejaVuSansCondensed-Bold.ttf"}) {
        Face face(FONTS + "/dejavu/" + file);
        for (int em : {10, 12}) {
            const std::vector<uint8_t> blob = make_font(face, em);
            bif_t font;
            ASSERT_EQ(bif_parse(blob.data(), blob.size(), &font), 0);
            for (const auto& [base, marked] : letters) {
                // Rows counted from the cell's top; the letter's top row is the same in both glyphs.
                const uint8_t* plain = bif_get_glyph_ptr(&font, static_cast<uint8_t>(base[0]));
                const int letter_top = static_cast<int8_t>(plain[4]);
                for (uint32_t code : marked) {
                    const uint8_t* g = bif_get_glyph_ptr(&font, code);
                    const int w = g[1], top = static_cast<int8_t>(g[4]);
                    auto row_peak = [&](int cell_row) {
                        int peak = 0;
                        for (int x = 0; x < w && cell_row >= top && cell_row - top < g[2]; ++x)
                            peak = std::max(peak, int{g[5 + (cell_row - top) * w + x]});
                        return peak;
                    };
                    int mark = 0;
                    for (int row = top; row < letter_top - 1; ++row)
                        mark = std::max(mark, row_peak(row));
                    char what[80];
                    std::snprintf(what, sizeof what, "%s %d px U+%04X", file, em,
                                  static_cast<unsigned>(code));
                    EXPECT_LT(row_peak(letter_top - 1), 48) << what << ": no blank row above the letter";
                    EXPECT_GE(mark, 200) << what << ": the mark is faint";
                }
            }
        }
    }
}

TEST(RasterTest, MasksCropToTheirInkAndStampKeepsTheStrongerCoverage) {
    Mask m(10, 8);
    m.at(3, 2) = 100;
    m.at(6, 5) = 255;
    const Mask c = m.cropped();
    EXPECT_EQ(c.width, 4);
    EXPECT_EQ(c.height, 4);
    EXPECT_EQ(c.at(0, 0), 100);
    EXPECT_EQ(c.at(3, 3), 255);
    EXPECT_EQ(Mask(5, 5).cropped().width, 0);

    Mask over(2, 2);
    over.alpha = {50, 200, 0, 0};
    m.stamp(over, 2, 2);
    m.stamp(over, 9, 7); // mostly outside: the part inside only
    EXPECT_EQ(m.at(3, 2), 200);
    EXPECT_EQ(m.at(2, 2), 50);
    EXPECT_EQ(m.at(9, 7), 50);

    EXPECT_THROW(image_of(Mask(256, 1)), std::runtime_error);
    EXPECT_THROW(image_of(Mask()), std::runtime_error);
    const std::vector<uint8_t> img = image_of(c);
    EXPECT_EQ(img.size(), 3u + 16u);
    EXPECT_EQ(img[0], 1);
}

TEST(RasterTest, SupersampledShapesCoverTheirAreaWithSoftEdges) {
    Canvas canvas(10, 10);
    canvas.fillRect(2, 2, 4, 4);
    canvas.fillCircle(7.5, 7.5, 1.5);
    const Mask m = canvas.mask();
    EXPECT_EQ(m.at(2, 2), 255);
    EXPECT_EQ(m.at(3, 3), 255);
    EXPECT_EQ(m.at(4, 4), 0);
    EXPECT_EQ(m.at(7, 7), 255);
    EXPECT_GT(m.at(6, 7), 0);
    EXPECT_LT(m.at(6, 6), 255); // the circle's corner is partly covered
}

TEST(DrawnPictureTest, ControlUnitLedAndWordmarkHaveTheirSizesAndUnknownPicturesAreRefused) {
    Face icons(FONTS + "/material-design-icons-iconfont/MaterialIcons-Regular.ttf");
    const Mask unit = make_drawn("unit", {}, icons, FONTS);
    EXPECT_EQ(unit.width, 150);
    EXPECT_EQ(unit.height, 90);
    // The LED's window is clear so that the LED drawn at (110, 31) shows through.
    EXPECT_EQ(unit.at(113, 34), 0);
    const Mask led = make_drawn("led", {"6"}, icons, FONTS);
    EXPECT_EQ(led.width, 6);
    EXPECT_EQ(led.at(3, 3), 255);
    const Mask logo = make_drawn("wordmark", {"dejavu/DejaVuSans-Bold.ttf", "46", "TDX-410"}, icons, FONTS);
    EXPECT_LE(logo.width, 250);
    EXPECT_LE(logo.height, 60);
    EXPECT_GT(logo.width, 150);
    const Mask crossed = make_drawn("crossed", {"U+EB3B", "20"}, icons, FONTS);
    const Mask plain = make_icon(icons, 0xEB3B, 20);
    EXPECT_EQ(crossed.width, plain.width);
    EXPECT_NE(crossed.alpha, plain.alpha);
    // A tall glyph (the flame) is struck at 45 degrees through its middle and cleared only above the
    // stroke, so that most of it stays whole.
    const Mask flame = make_drawn("crossed", {"U+EF55", "20"}, icons, FONTS);
    const Mask whole = make_icon(icons, 0xEF55, 20);
    ASSERT_GT(flame.height, flame.width);
    const int cx = flame.width / 2, cy = flame.height / 2;
    int kept = 0, ink = 0;
    for (int k = -4; k <= 4; ++k) {
        EXPECT_GT(flame.at(cx + k, cy + k), 200) << k;
        EXPECT_LT(flame.at(cx + k + 2, cy + k), 64) << k << ": the gap above the stroke";
    }
    for (size_t i = 0; i < whole.alpha.size(); ++i) {
        ink += whole.alpha[i] > 128;
        kept += whole.alpha[i] > 128 && flame.alpha[i] > 128;
    }
    EXPECT_GT(kept * 10, ink * 7) << "more than 70 % of the flame stays";
    // The tank: hollow above its water, full below; heated, heat lines above the water.
    const Mask tank = make_drawn("tank", {"20"}, icons, FONTS);
    const Mask heated = make_drawn("tank", {"20", "heated"}, icons, FONTS);
    EXPECT_EQ(tank.height, 20);
    EXPECT_LT(tank.width, tank.height);
    EXPECT_EQ(tank.at(tank.width / 2, 4), 0);
    EXPECT_EQ(tank.at(tank.width / 2, 16), 255);
    int heat = 0;
    for (int y = 3; y < 8; ++y)
        for (int x = 3; x < tank.width - 3; ++x)
            heat += tank.at(x, y) == 0 && heated.at(x, y) > 128;
    EXPECT_GT(heat, 6);
    EXPECT_THROW(make_drawn("tank", {"20", "hot"}, icons, FONTS), std::runtime_error);
    EXPECT_THROW(make_drawn("teapot", {}, icons, FONTS), std::runtime_error);
    EXPECT_THROW(make_drawn("led", {}, icons, FONTS), std::runtime_error);
    EXPECT_THROW(make_icon(icons, 0x41, 20), std::runtime_error); // the icon font has no letters
}

TEST(ConsoleFontTest, EveryPrintableCharacterGetsACellAndLettersHaveInk) {
    Face mono(FONTS + "/dejavu/DejaVuSansMono.ttf");
    const std::string source = make_console_font(mono);
    size_t rows = 0;
    std::istringstream in(source);
    for (std::string line; std::getline(in, line);)
        rows += line.rfind("    {", 0) == 0;
    EXPECT_EQ(rows, 0x7Eu - 0x20u + 1u);
    EXPECT_NE(source.find("CONSOLE_GLYPHS"), std::string::npos);
}

} // namespace
} // namespace tdx::mkres
