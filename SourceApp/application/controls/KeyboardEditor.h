// The on-screen keyboard with its edit field: four rows of character keys, a bottom row with Shift,
// Symbols, the letters of the language in use, Space, Cancel and OK. Takes the host's key presses and typed
// characters (MSG_KEY) too. Sends MSG_OK or MSG_CANCEL with itself as source; the owner reads getString()
// and closes it.
#pragma once

#include "SourceApp/gui/core/Container.h"

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
    // The on-screen keys that type nothing (tags above every code point).
    static constexpr int KEY_SHIFT = 0x110000;
    static constexpr int KEY_SYMBOLS = 0x110001;
    static constexpr int KEY_NATIONAL = 0x110002;

    KeyboardEditor(Container* parent, int x, int y, const std::string& text);

    std::string getString() const;
    // The longest text in bytes that typing may make; 0 for no limit.
    void setMaxLength(size_t bytes) { mMaxLength = bytes; }

    void handleMessage(Message* message) override;
    void handleDraw() override;

private:
    // What the character keys show: the Latin letters, the letters of the language in use beyond them, or
    // digits and symbols.
    enum class Page { Letters, National, Symbols };

    void press(int code);
    void type(char32_t code);
    void showPage(Page page);
    void relabel();

    EditBox* mEdit;
    std::vector<Button*> mCharKeys; // the keys whose character changes with the page and Shift
    Button* mSymbolsKey;
    Button* mNationalKey;
    Component* mShiftKey;
    // The letters of the language in use, small and capital, one code point each.
    std::u32string mNational;
    std::u32string mNationalCapitals;
    size_t mMaxLength = 0;
    bool mShift = false;
    Page mPage = Page::Letters;
};

} // namespace tdx
