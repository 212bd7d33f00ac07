// A word-wrapped text with a caret: the text is edited at a cursor (a byte offset that always stands on a
// character boundary) and the caret is drawn where the cursor stands, on the line the text frame draws it.
#pragma once

#include "SourceApp/application/controls/TextFrame.h"

#include <string>

namespace tdx {

class EditableTextFrame : public TextFrame {
public:
    static constexpr int CARET_LENGTH = 14;

    EditableTextFrame(Container* parent, int x, int y, int width, int height, Font* font,
                      const std::string& text);

    // Takes the text and puts the cursor at its end, even when the text is unchanged.
    void setText(const std::string& text) override;
    // Inserts at the cursor; the cursor ends behind the insertion.
    void append(const std::string& text);
    // Removes the one character before the cursor, whatever the count; nothing at the start.
    void deleteFromCursor(unsigned count = 1);
    // Clamped to the text and moved back to the start of the character it would split.
    void setCursorPosition(unsigned position);
    unsigned getCursorPosition() const { return mCursor; }
    // Screen position of the caret: its x and the top of its line.
    int getCaretX() const { return mCaretX; }
    int getCaretY() const { return mCaretY; }

    void calculateCursorPosition();
    void handleDraw() override;

private:
    void changed();

    Font* mFont;
    unsigned mCursor = 0;
    int mCaretX = 0;
    int mCaretY = 0;
};

} // namespace tdx
