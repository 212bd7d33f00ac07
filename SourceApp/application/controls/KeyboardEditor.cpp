#include "SourceApp/application/controls/KeyboardEditor.h"

#include "Libraries/base/dbg.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/EditBox.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/gfx/gfx.h"

#include <cstring>

namespace tdx {

namespace {

constexpr int KEY_WIDTH = 26;
constexpr int KEY_HEIGHT = 24;
constexpr int PITCH_X = KEY_WIDTH + 1;
constexpr int FIRST_ROW = 30;
constexpr int PITCH_Y = KEY_HEIGHT + 1;

// Codes of the keys that type no character.
constexpr int KEY_SHIFT = 0x100;
constexpr int KEY_SYMBOLS = 0x101;

// Letters and their symbol-mode replacements, row by row (same lengths).
constexpr const char* LETTERS[4] = {"1234567890", "qwertyuiop", "asdfghjkl", "zxcvbnm"};
constexpr const char* SYMBOLS[4] = {"1234567890", "!@#$%&*()-", "_+=/\\:;'\"", ",.?<>[]"};

Button* key(Container* parent, int x, int y, int width, const std::string& text, int code) {
    return Button::Builder{.parent = parent,
                           .x = x,
                           .y = y,
                           .width = width,
                           .height = KEY_HEIGHT,
                           .tag = static_cast<uint32_t>(code),
                           .text = text}
        .build();
}

IconButton* icon_key(Container* parent, int x, int y, int width, resource_id icon, int code) {
    return IconButton::Builder{.parent = parent,
                               .x = x,
                               .y = y,
                               .width = width,
                               .height = KEY_HEIGHT,
                               .tag = static_cast<uint32_t>(code),
                               .icon = icon}
        .build();
}

} // namespace

KeyboardEditor::KeyboardEditor(Container* parent, int x, int y, const std::string& text)
    : Container(parent, x, y, WIDTH, HEIGHT) {
    setName("KeyboardEditor");
    const int left = getLeft();
    const int top = getTop();
    mEdit = new EditBox(this, left, top, WIDTH, 24, &bif_myriad12, text);
    for (int row = 0; row < 4; ++row) {
        const int count = static_cast<int>(std::strlen(LETTERS[row]));
        // The last row ends with backspace, 52 wide; every row is centred.
        const int rowWidth = count * PITCH_X - 1 + (row == 3 ? 1 + 2 * KEY_WIDTH : 0);
        int kx = left + (WIDTH - rowWidth) / 2;
        const int ky = top + FIRST_ROW + row * PITCH_Y;
        for (int i = 0; i < count; ++i, kx += PITCH_X) {
            mCharKeys.push_back(
                key(this, kx, ky, KEY_WIDTH, std::string(1, LETTERS[row][i]), LETTERS[row][i]));
        }
        if (row == 3) {
            icon_key(this, kx, ky, 2 * KEY_WIDTH, res_backspace, KEY_BACKSPACE);
        }
    }
    // Bottom row: 45 + 45 + 99 + 42 + 42 and four gaps = 277.
    const int by = top + FIRST_ROW + 4 * PITCH_Y;
    icon_key(this, left, by, 45, res_arrow_up, KEY_SHIFT);
    key(this, left + 46, by, 45, "?123", KEY_SYMBOLS);
    key(this, left + 92, by, 99, "", ' ');
    icon_key(this, left + 192, by, 42, res_cross, KEY_ESCAPE);
    icon_key(this, left + 235, by, 42, res_tick, KEY_ENTER);
}

std::string KeyboardEditor::getString() const {
    return mEdit->getText();
}

void KeyboardEditor::relabel() {
    size_t k = 0;
    for (int row = 0; row < 4; ++row) {
        const char* chars = mSymbols ? SYMBOLS[row] : LETTERS[row];
        for (size_t i = 0; chars[i] != '\0'; ++i, ++k) {
            char c = chars[i];
            if (mShift && !mSymbols && c >= 'a' && c <= 'z') {
                c = static_cast<char>(c - 'a' + 'A');
            }
            mCharKeys[k]->setText(std::string(1, c));
            mCharKeys[k]->tag = static_cast<unsigned char>(c);
        }
    }
    for (Component* child : getChildren()) {
        if (child->tag == KEY_SYMBOLS) {
            static_cast<Button*>(child)->setText(mSymbols ? "abc" : "?123");
        } else if (child->tag == KEY_SHIFT) {
            static_cast<IconButton*>(child)->setBackColor(mShift ? colour::PRESSED : colour::CONTROL);
            // Symbols have no capitals: Shift shows that it does nothing there.
            child->setEnabled(!mSymbols);
        }
    }
}

void KeyboardEditor::type(char c) {
    if (mMaxLength != 0 && mEdit->getText().size() >= mMaxLength) {
        return;
    }
    mEdit->appendTextToCaret(std::string(1, c));
    if (mShift) {
        // Shift holds for one letter.
        mShift = false;
        relabel();
    }
}

void KeyboardEditor::press(int code) {
    switch (code) {
        case KEY_BACKSPACE:
            mEdit->deleteFromCaret(1, -1);
            break;
        case KEY_LEFT:
            if (mEdit->getCaretPosition() > 0) {
                mEdit->setCaretPosition(mEdit->getCaretPosition() - 1);
            }
            break;
        case KEY_RIGHT:
            mEdit->setCaretPosition(mEdit->getCaretPosition() + 1);
            break;
        case KEY_ENTER:
            sendMessage(MSG_OK);
            break;
        case KEY_ESCAPE:
            sendMessage(MSG_CANCEL);
            break;
        case KEY_SHIFT:
            // Symbols have no capitals.
            if (!mSymbols) {
                mShift = !mShift;
                relabel();
            }
            break;
        case KEY_SYMBOLS:
            mSymbols = !mSymbols;
            mShift = false;
            relabel();
            break;
        default:
            if (code >= 0x20 && code <= 0x7E) {
                type(static_cast<char>(code));
            } else {
                dbg_printf_h("KeyboardEditor: key code %d ignored", code);
            }
            break;
    }
}

void KeyboardEditor::handleMessage(Message* message) {
    Container::handleMessage(message);
    if (message->id == MSG_KEY && message->source == nullptr) {
        press(message->p1);
        message->stopPropagation();
    } else if (message->id == MSG_CLICK && message->source != nullptr &&
               message->source->getParent() == this && message->source != mEdit) {
        // On-screen character keys type their character; '%' and '\'' share their codes with the host's
        // arrow keys.
        const int code = static_cast<int>(message->source->tag);
        if (code >= 0x20 && code <= 0x7E) {
            type(static_cast<char>(code));
        } else {
            press(code);
        }
        message->stopPropagation();
    }
}

void KeyboardEditor::handleDraw() {
    gfx_setcolor(colour::WHITE);
    gfx_fill_rect(getBoundingBox());
    Container::handleDraw();
}

} // namespace tdx
