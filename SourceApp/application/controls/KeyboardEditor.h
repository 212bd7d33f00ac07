// The on-screen keyboard with its edit field: four rows of character keys, a bottom row with Shift,
// Symbols, Space, Cancel and OK. Takes the host's key presses (MSG_KEY) too. Sends MSG_OK or MSG_CANCEL with
// itself as source; the owner reads getString() and closes it.
#pragma once

#include "SourceApp/gui/core/Container.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace tdx {

class Button;
class EditBox;

class KeyboardEditor : public Container {
public:
    static constexpr int WIDTH = 277;
    static constexpr int HEIGHT = 154;

    // Key codes of MSG_KEY (p1) besides printable ASCII.
    static constexpr int KEY_BACKSPACE = 8;
    static constexpr int KEY_ENTER = 13;
    static constexpr int KEY_ESCAPE = 27;
    static constexpr int KEY_LEFT = 0x25;
    static constexpr int KEY_RIGHT = 0x27;

    KeyboardEditor(Container* parent, int x, int y, const std::string& text);

    std::string getString() const;
    // The longest text in bytes that typing may make; 0 for no limit.
    void setMaxLength(size_t bytes) { mMaxLength = bytes; }
    bool isShifted() const { return mShift; }
    bool showsSymbols() const { return mSymbols; }

    void handleMessage(Message* message) override;
    void handleDraw() override;

private:
    void press(int code);
    void type(char c);
    void relabel();

    EditBox* mEdit;
    std::vector<Button*> mCharKeys; // the keys whose character changes with Shift and Symbols
    size_t mMaxLength = 0;
    bool mShift = false;
    bool mSymbols = false;
};

} // namespace tdx
