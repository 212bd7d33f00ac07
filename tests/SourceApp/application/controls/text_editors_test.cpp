// The serial-number editor by touch and host keys (dashes that come and go, a full number refused past
// 32 bits) and the editable text frame's caret over line feeds, runs of blanks and multi-byte characters.
#include "SourceApp/application/controls/EditableTextFrame.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/SerialNumberEditor.h"
#include "SourceApp/gui/bif/bif.h"
#include "tests/support/screen_harness.h"

#include <string>

namespace tdx::test {
namespace {

constexpr int LEFT = 10;
constexpr int TOP = 40;

class SerialEditorTest : public ScreenHarness {
protected:
    void SetUp() override {
        ScreenHarness::SetUp();
        mEditor = new SerialNumberEditor(blank(), LEFT, TOP);
        runTasks();
        clearMessages();
    }
    // Taps the keys of the digits ('<' for backspace) and returns the MSG_CHANGE count.
    int type(const std::string& keys) {
        runTasks(); // what was typed before is delivered and forgotten
        clearMessages();
        for (char c : keys) {
            if (c == '<') {
                tap(mEditor->getBackspaceButton());
            } else {
                tap(findByTag(SerialNumberEditor::KEY_TAG +
                              (c == '0' ? 9u : static_cast<unsigned>(c - '1'))));
            }
        }
        return messages(MSG_CHANGE, mEditor);
    }
    SerialNumberEditor* mEditor = nullptr;
};

TEST_F(SerialEditorTest, TypingKeepsTheDashesAndBackspaceTakesThemAlong) {
    const struct {
        std::string keys;
        std::string text;
        int changes;
    } cases[] = {
        {"1234567890", "1530-12-3456-7890", 10},
        {"12<", "1530-1", 3},                     // the dash goes with the 2
        {"<", "153", 1},                          // the preset is ordinary text
        {"<<<<<", "", 5},                         // an empty field stays empty
        {"<<<<98765", "9876-5", 9},               // a new prefix gets its dash
        {"12345678901", "1530-12-3456-7890", 10}, // the eleventh digit is refused, silently
    };
    for (const auto& c : cases) {
        while (!mEditor->getText().empty()) {
            mEditor->handleBackspace();
        }
        for (char p : std::string("1530")) {
            mEditor->handleKeyPress(p);
        }
        EXPECT_EQ(type(c.keys), c.changes) << c.keys;
        EXPECT_EQ(mEditor->getText(), c.text) << c.keys;
    }
}

TEST_F(SerialEditorTest, OnlyCompleteNumbersThatFitAreValid) {
    const struct {
        std::string digits;
        bool valid;
        uint32_t serial;
    } cases[] = {
        {"1234567890", true, 1234567890u}, {"4294967295", true, 4294967295u}, {"4294967296", false, 0},
        {"9999999999", false, 0},          {"123456789", false, 0},
    };
    for (const auto& c : cases) {
        while (mEditor->getText().size() > 5) {
            mEditor->handleBackspace();
        }
        type(c.digits);
        EXPECT_EQ(mEditor->isValid(), c.valid) << c.digits;
        EXPECT_EQ(mEditor->getSerial(), c.serial) << c.digits;
    }
}

TEST_F(SerialEditorTest, TheBackspaceKeyTakesTouchToItsRightEndAndHostKeysType) {
    EXPECT_GE(mEditor->getRight(), mEditor->getBackspaceButton()->getRight());
    tap(LEFT + 283, TOP + 45); // the backspace key's last column
    EXPECT_EQ(mEditor->getText(), "153");
    // Characters whose low byte is a digit's code are no digits: ij, dotless i, per mille, Cyrillic a.
    for (int key : {int{'7'}, int{'-'}, int{'a'}, 0x133, 0x131, 0x2030, 0x430, 8, int{'8'}}) {
        mCore.sendMessage(mEditor, MSG_KEY, key, KEY_CHARACTER, 0, 0);
    }
    runTasks();
    EXPECT_EQ(mEditor->getText(), "1538-");
}

TEST_F(SerialEditorTest, TheStickerShowsItsWholeTextUnderTheBars) {
    auto* sticker = new SerialNumberSticker(screen(), LEFT, 130);
    // The same text on the open page shows how tall it is whole.
    const Box whole = inkOf(*new Label(screen(), LEFT, 180, &bif_myriad10_bold, "1530-XX-XXXX-XXXX"));
    const Box text = inkIn(Box(LEFT, 130 + 19, SerialNumberSticker::WIDTH, 10), colour::WHITE);
    EXPECT_EQ(text.getHeight(), whole.getHeight());
    EXPECT_EQ(text.getWidth(), whole.getWidth());
    EXPECT_GT(text.y1, 130 + 19) << "a blank row under the bars";
    EXPECT_LE(text.y2, sticker->getBottom());
}

class TextFrameTest : public ScreenHarness {
protected:
    EditableTextFrame* frame(const std::string& text) {
        auto* f = new EditableTextFrame(blank(), LEFT, TOP, 200, 100, &bif_myriad12, text);
        runTasks();
        return f;
    }
    static int width(const std::string& text) { return bif_text_width(bif_myriad12.getFont(), text); }
    static int step() { return bif_myriad12.getFont()->line_step; }
};

TEST_F(TextFrameTest, TheCaretStandsWhereTheTextIsDrawn) {
    const struct {
        std::string text;
        unsigned cursor;
        int x, line;
    } cases[] = {
        {"", 0, 0, 0},
        {"ab\ncd", 2, width("ab"), 0},
        {"ab\ncd", 3, 0, 1},
        {"ab\ncd", 5, width("cd"), 1},
        {"ab   cd", 5, width("ab   "), 0}, // every blank counts
        {"ab\n\ncd", 4, 0, 2},
        {"a\u00F1b", 3, width("a\u00F1"), 0},
        {"a\u00F1b", 2, width("a"), 0},                       // inside the n with tilde: back to its start
        {"wwwwwwwwwwww  wwwwwwwwwwww", 18, width("wwww"), 1}, // the second word wraps
    };
    for (const auto& c : cases) {
        EditableTextFrame* f = frame(c.text);
        f->setCursorPosition(c.cursor);
        EXPECT_EQ(f->getCaretX(), LEFT + c.x) << c.text << " @" << c.cursor;
        EXPECT_EQ(f->getCaretY(), TOP + c.line * step()) << c.text << " @" << c.cursor;
    }
}

TEST_F(TextFrameTest, EditingMovesTheCursorByWholeCharacters) {
    EditableTextFrame* f = frame("a\u00F1");
    EXPECT_EQ(f->getCursorPosition(), 3u);
    f->deleteFromCursor(5);
    EXPECT_EQ(f->getText(), "a");
    EXPECT_EQ(f->getCursorPosition(), 1u);
    f->setText("acd");
    f->setCursorPosition(1);
    f->append("\u00E9b");
    EXPECT_EQ(f->getText(), "a\u00E9bcd");
    EXPECT_EQ(f->getCursorPosition(), 4u);
    f->setCursorPosition(0);
    f->deleteFromCursor(1);
    EXPECT_EQ(f->getText(), "a\u00E9bcd");
    runTasks();
    EXPECT_EQ(countColour(Box(f->getCaretX(), f->getCaretY() + 3, 1, EditableTextFrame::CARET_LENGTH), 0), 14)
        << "the caret is drawn";
}

} // namespace
} // namespace tdx::test
