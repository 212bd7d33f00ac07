// Labels and text frames by their pixels: where the text is drawn for each alignment, what is cut and how,
// and how a text frame's height follows its lines.
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/gui/gfx/gfx.h"
#include "tests/support/screen_harness.h"

#include <algorithm>

namespace tdx::test {
namespace {

int widthOf(const char* text) {
    return bif_text_width(bif_myriad12.getFont(), text);
}

class LabelTest : public ScreenHarness {
protected:
    void SetUp() override {
        ScreenHarness::SetUp();
        form = blank();
    }
    Form* form = nullptr;
    const int step = bif_myriad12.getFont()->line_step;
    // Line steps down to the last line, which keeps its descent.
    int linesHeight(int lines) const {
        const bif_t* font = bif_myriad12.getFont();
        return lines == 0 ? 0 : (lines - 1) * step + std::max(step, font->ascent + font->descent);
    }
};

// One line printed as it is, with nothing to clip it but the screen.
class FreeText : public Component {
public:
    FreeText(Container* parent, int x, int y, std::string text)
        : Component(parent, x, y, 150, 40)
        , mText(std::move(text)) {}
    void handleDraw() override {
        gfx_setcolor(colour::TEXT);
        bif_print_text(bif_myriad12.getFont(), getLeft(), getTop(), mText);
    }

private:
    std::string mText;
};

TEST_F(LabelTest, TextsTooLongForTheirBoxEndInAnEllipsis) {
    new ContainedLabel(form, 10, 10, 100, 20, &bif_myriad12, "Kitchen and living room upstairs",
                       HorizontalAlign::Left, VerticalAlign::Middle);
    new CheckButton(form, 10, 40, 120, 26, "Kitchen and living room upstairs");
    runTasks();
    for (const Box& row : {Box(10, 10, 100, 20), Box(10, 40, 120 - 40, 26)}) {
        int last = row.x1;
        for (int x = row.x1; x <= row.x2; ++x)
            if (countNear(Box(x, row.y1, 1, row.getHeight()), 0x000000) > 0)
                last = x;
        // The last columns hold only the last dot: ink in at most two rows.
        int rows = 0;
        for (int y = row.y1; y <= row.y2; ++y)
            rows += countNear(Box::fromCorners(last - 2, y, last, y), 0x000000) > 0;
        EXPECT_LE(rows, 2) << "an ellipsis, not a letter cut in half";
        EXPECT_GT(rows, 0);
        EXPECT_LE(last, row.x2);
    }
}

TEST_F(LabelTest, ALabelIsAsWideAsItsTextAndKeepsItsAnchorThroughNewTexts) {
    auto* left = new Label(form, 100, 10, &bif_myriad12, "Outdoor");
    auto* centre = new Label(form, 160, 40, &bif_myriad12, "Outdoor", HorizontalAlign::Center);
    auto* right = new Label(form, 300, 70, &bif_myriad12, "Outdoor", HorizontalAlign::Right);
    for (const char* text : {"Outdoor", "Outdoor temperature", "Out", "", "22.5 \u00B0C"}) {
        static_cast<IStringComponent*>(left)->setText(text); // adapters write through the string side
        centre->setText(text);
        right->setText(text);
        runTasks();
        const int w = widthOf(text);
        EXPECT_EQ(left->getBoundingBox(), Box(100, 10, w, Label::HEIGHT)) << text;
        EXPECT_NEAR(centre->getLeft() + w / 2, 160, 1) << text;
        EXPECT_EQ(right->getBoundingBox(), Box(301 - w, 70, w, Label::HEIGHT)) << text;
        EXPECT_LE(inkIn(Box::fromCorners(0, 70, 319, 70 + Label::HEIGHT), 0xFFFFFF).x2, 300)
            << "nothing right of the anchor";
        EXPECT_EQ(inked(Box::fromCorners(0, 10, 99, 25), 0xFFFFFF), 0) << "nothing left of the anchor";
    }
}

TEST_F(LabelTest, ALabelDrawsItsTextInTheFaceColourWithoutBackground) {
    auto* label = new Label(form, 20, 20, &bif_myriad12, "Comfort");
    runTasks();
    EXPECT_EQ(at(label->getLeft(), label->getTop()), 0xFFFFFFu) << "no background";
    EXPECT_GT(countNear(label->getBoundingBox(), 0x000000), 10);
    label->setFaceColor(0x312CD8);
    runTasks();
    EXPECT_EQ(countNear(label->getBoundingBox(), 0x000000), 0);
    EXPECT_GT(countNear(label->getBoundingBox(), 0x312CD8), 10);
}

TEST_F(LabelTest, AContainedLabelAlignsItsTextInItsBoxAndClipsItThere) {
    const Box box(40, 40, 200, 60);
    const struct {
        HorizontalAlign h;
        VerticalAlign v;
        TextOrientation orientation;
        const char* text;
        std::function<bool(const Box& ink)> placed;
    } cases[] = {
        {HorizontalAlign::Left, VerticalAlign::Top, TextOrientation::Horizontal, "Heat",
         [](const Box& i) { return i.x1 <= 42 && i.y1 < 40 + 6; }},
        {HorizontalAlign::Right, VerticalAlign::Bottom, TextOrientation::Horizontal, "Heat",
         [](const Box& i) { return i.x2 >= 236 && i.y2 > 99 - 8; }},
        {HorizontalAlign::Center, VerticalAlign::Middle, TextOrientation::Horizontal, "Heat",
         [](const Box& i) {
             return std::abs((i.x1 + i.x2) / 2 - 139) <= 2 && std::abs((i.y1 + i.y2) / 2 - 69) <= 3;
         }},
        {HorizontalAlign::Left, VerticalAlign::Middle, TextOrientation::Horizontal,
         "A label text that is much too long for the two hundred pixels of its box",
         [](const Box&) { return true; }},
        {HorizontalAlign::Left, VerticalAlign::Middle, TextOrientation::Rotated, "Inlet",
         [](const Box& i) { return i.getHeight() > i.getWidth() && i.y2 >= 99 - 3; }}, // read bottom to top
    };
    for (const auto& c : cases) {
        auto* label = new ContainedLabel(form, box.x1, box.y1, box.getWidth(), box.getHeight(), &bif_myriad12,
                                         c.text, c.h, c.v, c.orientation, 0x000000);
        runTasks();
        const Box ink = ink_box(0xFFFFFF);
        EXPECT_TRUE(box.contains(ink.x1, ink.y1) && box.contains(ink.x2, ink.y2)) << c.text;
        EXPECT_TRUE(c.placed(ink)) << c.text << " at " << testing::PrintToString(ink);
        delete label;
    }
}

TEST_F(LabelTest, AContainedLabelRepaintsOnlyANewText) {
    auto* label = new ContainedLabel(form, 40, 40, 200, 26, &bif_myriad12, "Heat");
    runTasks();
    EXPECT_TRUE(flipsAfter([&] { label->setText("Heat"); }).empty());
    label->setText("");
    runTasks();
    EXPECT_EQ(inked(label->getBoundingBox(), 0xFFFFFF), 0);
}

// The screens' titles are 12 pixels high, lower than the font's line: their descenders must still show whole,
// as the same line drawn in a box that holds it, and go with the text when it changes.
TEST_F(LabelTest, ATitleLowerThanItsFontDrawsTheDescendersOfItsLineWhole) {
    const bif_t* font = bif_myriad12.getFont();
    const int cell = font->ascent + font->descent;
    const int top = text_top_centered(font, 40, 12); // where the 12-pixel title puts its line
    constexpr int SHIFT = 80;
    const struct {
        HorizontalAlign align;
        const char* text;
    } cases[] = {
        {HorizontalAlign::Center, "Living room | Peripherals | Energy"},
        {HorizontalAlign::Left, "Typing gyp"},
        {HorizontalAlign::Left, "A long title with g, y and p that cannot fit the width of its box at all"},
    };
    for (const auto& c : cases) {
        auto* title = new ContainedLabel(form, 10, 40, 200, 12, &bif_myriad12, c.text, c.align);
        auto* free = new ContainedLabel(form, 10, top + SHIFT, 200, cell, &bif_myriad12, c.text, c.align,
                                        VerticalAlign::Top);
        runTasks();
        EXPECT_GT(inked(Box::fromCorners(10, 52, 209, top + cell - 1), 0xFFFFFF), 0)
            << c.text << ": the descenders reach below the box";
        int differ = 0;
        for (int y = top; y < top + cell; ++y)
            for (int x = 10; x < 210; ++x)
                differ += pixel(x, y) != pixel(x, y + SHIFT);
        EXPECT_EQ(differ, 0) << c.text;
        title->setText("");
        runTasks();
        EXPECT_EQ(inked(Box::fromCorners(10, top, 209, top + cell - 1), 0xFFFFFF), 0)
            << c.text << ": nothing of the old descenders stays";
        delete title;
        delete free;
        runTasks();
    }
}

TEST_F(LabelTest, ATextFrameOfHeightZeroGrowsToHoldEveryLineItDraws) {
    const struct {
        const char* text;
        int lines; // 0: at least three
    } cases[] = {
        {"One line", 1},
        {"First line\nSecond line\nThird line", 3},
        {"\n\n", 3},
        {"x\n\ny", 3},
        {"", 0},
        {"Words wrap at blanks when the line is full, so a long sentence takes several lines here", -1},
        {"Supercalifragilisticexpialidocious_without_any_blank_at_all", -1},
        {"Two  blanks   between words that wrap around the edge of the frame", -1},
        {"Česky žluťoučký kůň úpěl ďábelské ódy", -1},
    };
    for (const auto& c : cases) {
        auto* frame = new TextFrame(form, 20, 20, 90, 0, &bif_myriad12, c.text);
        runTasks();
        if (c.lines >= 0) {
            EXPECT_EQ(frame->getHeight(), linesHeight(c.lines)) << c.text;
        } else {
            EXPECT_GE(frame->getHeight(), linesHeight(2)) << c.text;
            EXPECT_EQ((frame->getHeight() - linesHeight(1)) % step, 0) << c.text;
            const Box ink = inkIn(Box::fromCorners(0, 0, 199, 239), 0xFFFFFF);
            EXPECT_TRUE(ink.x1 >= 20 && ink.x2 <= 109) << c.text << ": wrapped inside the width";
            EXPECT_GE(ink.y2, frame->getBottom() - step) << c.text << ": the last line drawn";
            // Drawn in a taller fixed frame beside it, it takes no more room: the frame counts the lines the
            // font draws.
            auto* tall = new TextFrame(form, 200, 20, 90, 200, &bif_myriad12, c.text, VerticalAlign::Top);
            runTasks();
            EXPECT_EQ(inkIn(Box::fromCorners(200, 0, 319, 239), 0xFFFFFF).y2, ink.y2) << c.text;
            delete tall;
        }
        delete frame;
    }
}

TEST_F(LabelTest, AFixedTextFrameAlignsAndLeavesOutLinesThatDoNotFitWhole) {
    auto* frame = new TextFrame(form, 20, 20, 200, 60, &bif_myriad12, "Middle", VerticalAlign::Middle);
    runTasks();
    EXPECT_GT(ink_box(0xFFFFFF).y1, 20 + 15);
    EXPECT_LT(ink_box(0xFFFFFF).y2, 80 - 15);
    frame->setText("Many\nlines\nthat\nnever\nfit\ninto\nsixty\npixels");
    runTasks();
    EXPECT_EQ(frame->getHeight(), 60) << "a fixed frame keeps its height";
    EXPECT_GE(ink_box(0xFFFFFF).y1, 20);
    EXPECT_LE(ink_box(0xFFFFFF).y2, 79);
    delete frame;

    new TextFrame(form, 20, 100, 200, 50, &bif_myriad12, "One\nTwo\nThree\nFour");
    runTasks();
    EXPECT_LE(ink_box(0xFFFFFF).y2, 100 + 3 * step - 1)
        << "50 pixels hold three whole lines: the fourth is left out";
    EXPECT_GE(ink_box(0xFFFFFF).y2, 100 + 2 * step);
}

TEST_F(LabelTest, TheLastLineOfATextFrameKeepsItsDescendersAsTheSameTextDrawnFreely) {
    const struct {
        const char* text;
        const char* last;
        int width; // 0: height fitted, else a fixed frame this high
        VerticalAlign align;
    } cases[] = {
        {"Heating is blocked\ndue to low energy", "due to low energy", 0, VerticalAlign::Top},
        {"Regulation: jog yppy", "Regulation: jog yppy", 0, VerticalAlign::Top},
        {"One\ngyp, j\u00E7 \u0163", "gyp, j\u00E7 \u0163", 0, VerticalAlign::Top},
        {"Dagligt sparetid\nforegår gyp", "foregår gyp", 50, VerticalAlign::Top},
        {"Middle\ngyp", "gyp", 60, VerticalAlign::Middle},
        {"Bottom\ngyp", "gyp", 60, VerticalAlign::Bottom},
        // Only two lines hold whole in 35 rows: the second one keeps its descenders, the third is left out.
        {"Two\ngyp\nthird", "gyp", 35, VerticalAlign::Top},
    };
    for (const auto& c : cases) {
        auto* frame = new TextFrame(form, 10, 10, 140, c.width, &bif_myriad12, c.text, c.align);
        const int lines = bif_count_lines(bif_myriad12.getFont(), c.text, 140);
        const int shown =
            c.width == 0 ? lines : std::min(lines, bif_lines_fitting(bif_myriad12.getFont(), c.width));
        const int top =
            frame->getTop() + (c.width == 0 || c.align == VerticalAlign::Top ? 0
                               : c.align == VerticalAlign::Middle ? (c.width - linesHeight(lines)) / 2
                                                                  : c.width - linesHeight(lines));
        const int lastTop = top + (shown - 1) * step;
        auto* free = new FreeText(form, 165, lastTop, c.last);
        runTasks();
        int differing = 0;
        int inked = 0;
        // From the first row the line above cannot reach with its own descenders.
        const bif_t* font = bif_myriad12.getFont();
        for (int dy = shown > 1 ? font->ascent + font->descent - step : 0; dy < 2 * step; ++dy) {
            for (int dx = 0; dx < 140; ++dx) {
                differing += pixel(10 + dx, lastTop + dy) != pixel(165 + dx, lastTop + dy);
                inked += pixel(165 + dx, lastTop + dy) != 0xFFFFFF;
            }
        }
        EXPECT_GT(inked, 0) << c.text;
        EXPECT_EQ(differing, 0) << c.text << ": the last line as it is drawn alone";
        EXPECT_LE(inkIn(Box::fromCorners(0, 0, 160, 239), 0xFFFFFF).y2, frame->getBottom()) << c.text;
        delete frame;
        delete free;
        runTasks();
    }
}

} // namespace
} // namespace tdx::test
