#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "widget_fixture.h"

namespace tdx::test {
namespace {

using LabelTest = WidgetTest;

int width_of(const char* text, Font& font = bif_myriad12) {
    return bif_text_width(font.getFont(), text);
}

TEST_F(LabelTest, TextsTooLongForTheirBoxEndInAnEllipsis) {
    new ContainedLabel(form(), 10, 10, 100, 20, &bif_myriad12, "Kitchen and living room upstairs",
                       HorizontalAlign::Left, VerticalAlign::Middle);
    new CheckButton(form(), 10, 40, 120, 26, "Kitchen and living room upstairs");
    pass();
    for (const Box& row : {Box(10, 10, 100, 20), Box(10, 40, 120 - 40, 26)}) {
        int last = row.x1;
        for (int x = row.x1; x <= row.x2; ++x)
            if (count_near(Box(x, row.y1, 1, row.getHeight()), 0x000000) > 0)
                last = x;
        // The last columns hold only the last dot: ink in at most two rows.
        int rows = 0;
        for (int y = row.y1; y <= row.y2; ++y)
            rows += count_near(Box::fromCorners(last - 2, y, last, y), 0x000000) > 0;
        EXPECT_LE(rows, 2) << "an ellipsis, not a letter cut in half";
        EXPECT_GT(rows, 0);
        EXPECT_LE(last, row.x2);
    }
}

TEST_F(LabelTest, LabelIsAsWideAsItsTextAnchoredByItsAlignment) {
    auto* left = new Label(form(), 100, 10, &bif_myriad12, "Outdoor");
    auto* centre = new Label(form(), 160, 40, &bif_myriad12, "Outdoor", HorizontalAlign::Center);
    auto* right = new Label(form(), 300, 70, &bif_myriad12, "Outdoor", HorizontalAlign::Right);
    const int w = width_of("Outdoor");
    EXPECT_EQ(left->getBoundingBox(), Box(100, 10, w, Label::HEIGHT));
    EXPECT_EQ(centre->getLeft(), 160 - w / 2);
    EXPECT_EQ(right->getRight(), 300);
    EXPECT_EQ(right->getWidth(), w);

    // New texts: the anchored edge or centre stays where it was.
    right->setText("Outdoor temperature");
    left->setText("Out");
    centre->setText("Outdoor temperature");
    EXPECT_EQ(right->getRight(), 300) << "a right-aligned label grows to the left";
    EXPECT_EQ(right->getWidth(), width_of("Outdoor temperature"));
    EXPECT_EQ(left->getLeft(), 100);
    EXPECT_EQ(left->getWidth(), width_of("Out"));
    EXPECT_NEAR(centre->getLeft() + centre->getWidth() / 2, 160, 1);

    right->setText("");
    EXPECT_EQ(right->getWidth(), 0) << "an empty text takes no room";
    EXPECT_EQ(right->getRight(), 300) << "the anchor survives an empty text";
    right->setText("22.5 \xC2\xB0"
                   "C");
    EXPECT_EQ(right->getRight(), 300);
    pass();
    const Box ink = ink_box(0xFFFFFF);
    EXPECT_LE(ink.x2, 300) << "nothing drawn right of the anchor";
}

TEST_F(LabelTest, LabelDrawsItsTextInTheFaceColourWithoutBackground) {
    auto* label = new Label(form(), 20, 20, &bif_myriad12, "Comfort");
    pass();
    EXPECT_EQ(at(label->getLeft(), label->getTop()), 0xFFFFFFu) << "no background";
    EXPECT_GT(count_near(label->getBoundingBox(), 0x000000), 10);
    label->setFaceColor(0x312CD8);
    pass();
    EXPECT_EQ(count_near(label->getBoundingBox(), 0x000000), 0);
    EXPECT_GT(count_near(label->getBoundingBox(), 0x312CD8), 10);
    IStringComponent* text = label;
    text->setText("Eco");
    EXPECT_EQ(label->getText(), "Eco") << "adapters write through the string side";
}

TEST_F(LabelTest, ContainedLabelAlignsAndClipsToItsBox) {
    const Box box(40, 40, 200, 26);
    auto* l = new ContainedLabel(form(), 40, 40, 200, 26, &bif_myriad12, "Heat", HorizontalAlign::Left,
                                 VerticalAlign::Middle, TextOrientation::Horizontal, 0x000000);
    pass();
    const Box leftInk = ink_box(0xFFFFFF);
    EXPECT_GE(leftInk.x1, 40);
    EXPECT_LE(leftInk.x1, 42);
    EXPECT_GE(leftInk.y1, 40);
    EXPECT_LE(leftInk.y2, 65);

    delete l;
    l = new ContainedLabel(form(), 40, 40, 200, 26, &bif_myriad12, "Heat", HorizontalAlign::Right,
                           VerticalAlign::Middle, TextOrientation::Horizontal, 0x000000);
    pass();
    const Box rightInk = ink_box(0xFFFFFF);
    EXPECT_LE(rightInk.x2, 239);
    EXPECT_GE(rightInk.x2, 236);
    EXPECT_EQ(rightInk.y1, leftInk.y1) << "the same line position";

    // A text far wider than the box stays inside it.
    l->setText("A label text that is much too long for the two hundred pixels of its box");
    pass();
    const Box wide = ink_box(0xFFFFFF);
    EXPECT_GE(wide.x1, box.x1);
    EXPECT_LE(wide.x2, box.x2);

    // The same text again repaints nothing.
    sFlips.clear();
    l->setText("A label text that is much too long for the two hundred pixels of its box");
    pass();
    EXPECT_TRUE(sFlips.empty());
    l->setText("");
    pass();
    EXPECT_EQ(inked(box, 0xFFFFFF), 0);
}

TEST_F(LabelTest, ContainedLabelVerticalAlignment) {
    auto top = new ContainedLabel(form(), 10, 10, 60, 60, &bif_myriad12, "Top", HorizontalAlign::Left,
                                  VerticalAlign::Top);
    auto bottom = new ContainedLabel(form(), 100, 10, 60, 60, &bif_myriad12, "Top", HorizontalAlign::Left,
                                     VerticalAlign::Bottom);
    pass();
    auto ink_in = [](const Box& b) {
        Box r = Box::fromCorners(1000, 1000, -1, -1);
        for (int y = b.y1; y <= b.y2; ++y)
            for (int x = b.x1; x <= b.x2; ++x)
                if (at(x, y) != 0xFFFFFF)
                    r = Box::fromCorners(std::min(r.x1, x), std::min(r.y1, y), std::max(r.x2, x),
                                         std::max(r.y2, y));
        return r;
    };
    const Box t = ink_in(top->getBoundingBox());
    const Box b = ink_in(bottom->getBoundingBox());
    EXPECT_LT(t.y1, 10 + 6);
    EXPECT_GT(b.y2, 10 + 60 - 8);
    EXPECT_LE(b.y2, 69);
}

TEST_F(LabelTest, RotatedTextReadsBottomToTopInsideTheBox) {
    auto* l = new ContainedLabel(form(), 10, 20, 20, 150, &bif_myriad12, "Inlet", HorizontalAlign::Left,
                                 VerticalAlign::Middle, TextOrientation::Rotated, 0x000000);
    pass();
    const Box ink = ink_box(0xFFFFFF);
    EXPECT_TRUE(l->getBoundingBox().contains(ink.x1, ink.y1) && l->getBoundingBox().contains(ink.x2, ink.y2));
    EXPECT_GT(ink.getHeight(), ink.getWidth()) << "runs along the height";
    EXPECT_GE(ink.y2, 169 - 3) << "alignment Left starts at the bottom";
}

TEST_F(LabelTest, TextFrameOfHeightZeroFollowsItsText) {
    auto* frame = new TextFrame(form(), 20, 20, 200, 0, &bif_myriad12, "One line");
    const int step = bif_myriad12.getFont()->line_step;
    EXPECT_EQ(frame->getHeight(), step);
    frame->setText("First line\nSecond line\nThird line");
    EXPECT_EQ(frame->getHeight(), 3 * step) << "line feeds start new lines";
    frame->setText("Words wrap at blanks when the line is full, so a long sentence takes several lines here");
    const int lines = frame->getHeight() / step;
    EXPECT_GE(lines, 3);
    EXPECT_EQ(frame->getHeight() % step, 0);
    pass();
    const Box ink = ink_box(0xFFFFFF);
    EXPECT_GE(ink.x1, 20);
    EXPECT_LE(ink.x2, 219) << "wrapped inside the width";
    EXPECT_GE(ink.y2, 20 + (lines - 1) * step) << "every line drawn";
    EXPECT_LE(ink.y2, frame->getBottom());

    frame->setText("");
    EXPECT_EQ(frame->getHeight(), 0);
    frame->setText("\n\n");
    EXPECT_EQ(frame->getHeight(), 3 * step);
}

TEST_F(LabelTest, TextFrameLinesMatchWhatTheFontDraws) {
    // Count lines with the same breaks as the drawing: draw into a tall box and compare the last inked row.
    const char* texts[] = {"Supercalifragilisticexpialidocious_without_any_blank_at_all",
                           "Two  blanks   between words that wrap around the edge of the frame", "x\n\ny",
                           "Ends with a blank ", "Česky žluťoučký kůň úpěl ďábelské ódy"};
    int y = 0;
    for (const char* text : texts) {
        auto* frame = new TextFrame(form(), 0, y, 90, 0, &bif_myriad12, text);
        y += frame->getHeight() + 1;
        EXPECT_EQ(frame->getHeight() % bif_myriad12.getFont()->line_step, 0);
        EXPECT_GT(frame->getHeight(), 0) << text;
    }
    pass();
    // Every frame was tall enough: nothing was cut at a frame's bottom, so frames stacked one pixel apart
    // never overlap and the last frame ends where the ink ends.
    EXPECT_LE(ink_box(0xFFFFFF).y2, y);
}

TEST_F(LabelTest, FixedTextFrameAlignsAndClips) {
    auto* frame = new TextFrame(form(), 20, 20, 200, 60, &bif_myriad12, "Middle", VerticalAlign::Middle);
    EXPECT_EQ(frame->getHeight(), 60) << "a fixed frame keeps its height";
    pass();
    const Box ink = ink_box(0xFFFFFF);
    EXPECT_GT(ink.y1, 20 + 15);
    EXPECT_LT(ink.y2, 80 - 15);
    frame->setText("Many\nlines\nthat\nnever\nfit\ninto\nsixty\npixels");
    pass();
    const Box clipped = ink_box(0xFFFFFF);
    EXPECT_GE(clipped.y1, 20);
    EXPECT_LE(clipped.y2, 79);
    EXPECT_EQ(frame->getHeight(), 60);

    // 50 pixels hold three whole lines of 15: the fourth is left out rather than cut.
    auto* short_frame = new TextFrame(form(), 20, 100, 200, 50, &bif_myriad12, "One\nTwo\nThree\nFour");
    pass();
    const Box three = ink_box(0xFFFFFF).intersect(short_frame->getBoundingBox());
    const int step = bif_myriad12.getFont()->line_step;
    EXPECT_LE(three.y2, 100 + 3 * step - 1);
    EXPECT_GE(three.y2, 100 + 2 * step);
}

} // namespace
} // namespace tdx::test
