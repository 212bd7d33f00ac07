// A one-line text field with a caret. Positions count characters, not bytes, so the caret never lands inside
// a multi-byte UTF-8 character. Wider texts scroll so that the caret stays in view.
#pragma once

#include "SourceApp/gui/core/Component.h"

#include <string>

namespace tdx {

class Font;

class EditBox : public Component {
public:
    EditBox(Container* parent, int x, int y, int width, int height, Font* font, const std::string& text);

    unsigned getCaretPosition() const { return mCaret; }
    // Clamped to the text's length.
    void setCaretPosition(unsigned position);
    // Inserts at the caret; the caret ends behind the insertion.
    void appendTextToCaret(const std::string& text);
    // Deletes up to count characters before the caret (direction -1) or after it (otherwise).
    void deleteFromCaret(unsigned count, int direction);
    const std::string& getText() const { return mText; }
    unsigned getLength() const { return mLength; }

    void handleDraw() override;

private:
    std::string mText;
    Font* mFont;
    unsigned mCaret;  // characters before the caret
    unsigned mLength; // characters of the text
};

} // namespace tdx
