#include "SourceApp/application/controls/KeyboardEditor.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/unicode.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/EditBox.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/gfx/gfx.h"
#include "SourceApp/gui/i18n/I18n.h"

#include <cstring>

namespace tdx {

namespace {

constexpr int KEY_WIDTH = 26;
constexpr int KEY_HEIGHT = 24;
constexpr int PITCH_X = KEY_WIDTH + 1;
constexpr int FIRST_ROW = 30;
constexpr int PITCH_Y = KEY_HEIGHT + 1;

// Letters and their symbol-page replacements, row by row (same lengths).
constexpr const char* LETTERS[4] = {"1234567890", "qwertyuiop", "asdfghjkl", "zxcvbnm"};
constexpr const char* SYMBOLS[4] = {"1234567890", "!@#$%&*()-", "_+=/\\:;'\"", ",.?<>[]"};

// The letters each language writes beyond a to z, small and capital in the same order. English offers
// those of all three, for names written in the others.
struct National {
    Locale::Enum locale;
    const char* small;
    const char* capitals;
};
constexpr National NATIONAL[] = {
    {Locale::Czech, "áčďéěíňóřšťúůýž", "ÁČĎÉĚÍŇÓŘŠŤÚŮÝŽ"},
    {Locale::Danish, "æøåéü", "ÆØÅÉÜ"},
    {Locale::Dutch, "ĳéëïöüèáóú", "ĲÉËÏÖÜÈÁÓÚ"},
    {Locale::English, "áčďéěíňóřšťúůýžæøåĳëïöüè", "ÁČĎÉĚÍŇÓŘŠŤÚŮÝŽÆØÅĲËÏÖÜÈ"},
};

std::u32string decode(const char* text) {
    std::u32string out;
    const std::string_view view(text);
    for (size_t pos = 0; pos < view.size();) {
        out += Unicode::next(view, pos);
    }
    return out;
}

// The bottom row, left to right, one pixel apart: 277 pixels.
struct BottomKey {
    int width;
    resource_id icon; // res_none: a text key
    int code;
};
constexpr BottomKey BOTTOM_ROW[] = {
    {45, res_arrow_up, KeyboardEditor::KEY_SHIFT}, {45, res_none, KeyboardEditor::KEY_SYMBOLS},
    {45, res_none, KeyboardEditor::KEY_NATIONAL},  {53, res_none, ' '},
    {42, res_cross, KeyboardEditor::KEY_ESCAPE},   {42, res_tick, KeyboardEditor::KEY_ENTER},
};

template <class Key>
Key* tagged(Key* key, int code) {
    key->tag = static_cast<uint32_t>(code);
    return key;
}

bool types_a_character(int code) {
    return code >= 0x20 && code < KeyboardEditor::KEY_SHIFT && code != 0x7F;
}

} // namespace

KeyboardEditor::KeyboardEditor(Container* parent, int x, int y, const std::string& text)
    : Container(parent, x, y, WIDTH, HEIGHT) {
    setName("KeyboardEditor");
    const int left = getLeft();
    const int top = getTop();
    const Locale::Enum locale = I18n::LANGUAGES[i18n.getLanguage()].locale;
    for (const National& n : NATIONAL) {
        if (n.locale == locale) {
            mNational = decode(n.small);
            mNationalCapitals = decode(n.capitals);
            break;
        }
    }
    mEdit = new EditBox(this, left, top, WIDTH, 24, &bif_myriad12, text);
    for (int row = 0; row < 4; ++row) {
        const int count = static_cast<int>(std::strlen(LETTERS[row]));
        // The last row ends with backspace, two keys wide; every row is centred.
        const int rowWidth = count * PITCH_X - 1 + (row == 3 ? 1 + 2 * KEY_WIDTH : 0);
        int kx = left + (WIDTH - rowWidth) / 2;
        const int ky = top + FIRST_ROW + row * PITCH_Y;
        for (int i = 0; i < count; ++i, kx += PITCH_X) {
            mCharKeys.push_back(new Button(this, kx, ky, KEY_WIDTH, KEY_HEIGHT, ""));
        }
        if (row == 3) {
            tagged(new IconButton(this, kx, ky, 2 * KEY_WIDTH, KEY_HEIGHT, res_backspace), KEY_BACKSPACE);
        }
    }
    int kx = left;
    const int by = top + FIRST_ROW + 4 * PITCH_Y;
    for (const BottomKey& k : BOTTOM_ROW) {
        Component* key =
            k.icon != res_none
                ? static_cast<Component*>(new IconButton(this, kx, by, k.width, KEY_HEIGHT, k.icon))
                : new Button(this, kx, by, k.width, KEY_HEIGHT, "");
        tagged(key, k.code);
        mShiftKey = k.code == KEY_SHIFT ? key : mShiftKey;
        mSymbolsKey = k.code == KEY_SYMBOLS ? static_cast<Button*>(key) : mSymbolsKey;
        mNationalKey = k.code == KEY_NATIONAL ? static_cast<Button*>(key) : mNationalKey;
        kx += k.width + 1;
    }
    relabel();
}

std::string KeyboardEditor::getString() const {
    return mEdit->getText();
}

void KeyboardEditor::relabel() {
    size_t k = 0;
    for (int row = 0; row < 4; ++row) {
        for (size_t i = 0; LETTERS[row][i] != '\0'; ++i, ++k) {
            char32_t c =
                static_cast<unsigned char>(mPage == Page::Symbols ? SYMBOLS[row][i] : LETTERS[row][i]);
            if (mPage == Page::Letters && mShift && c >= 'a' && c <= 'z') {
                c = c - 'a' + 'A';
            }
            // The national letters take the places of the Latin ones below the digits.
            const size_t n = k - std::strlen(LETTERS[0]);
            if (mPage == Page::National && row > 0) {
                c = n < mNational.size() ? (mShift ? mNationalCapitals[n] : mNational[n]) : 0;
            }
            mCharKeys[k]->setVisible(c != 0);
            mCharKeys[k]->setText(Unicode::encode(c));
            mCharKeys[k]->tag = c;
        }
    }
    mSymbolsKey->setText(mPage == Page::Symbols ? "abc" : "?123");
    // The national key shows the first three of its letters.
    std::string sample;
    for (size_t i = 0; i < 3 && i < mNational.size(); ++i) {
        sample += Unicode::encode(mNational[i]);
    }
    mNationalKey->setText(mPage == Page::National ? "abc" : sample);
    mNationalKey->setVisible(mNational.size() >= 3);
    static_cast<IconButton*>(mShiftKey)->setBackColor(mShift ? colour::PRESSED : colour::CONTROL);
    // Symbols have no capitals: Shift shows that it does nothing there.
    mShiftKey->setEnabled(mPage != Page::Symbols);
}

void KeyboardEditor::showPage(Page page) {
    mPage = mPage == page ? Page::Letters : page;
    mShift = false;
    relabel();
}

void KeyboardEditor::type(char32_t code) {
    const bif_t* font = bif_myriad12.getFont();
    if (font != nullptr && bif_get_glyph_ptr(font, code) == nullptr) {
        dbg_printf_h("KeyboardEditor: U+%04X has no glyph, ignored", static_cast<unsigned>(code));
        return;
    }
    const std::string bytes = Unicode::encode(code);
    if (mMaxLength != 0 && mEdit->getText().size() + bytes.size() > mMaxLength) {
        return;
    }
    mEdit->appendTextToCaret(bytes);
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
            if (mPage != Page::Symbols) {
                mShift = !mShift;
                relabel();
            }
            break;
        case KEY_SYMBOLS:
            showPage(Page::Symbols);
            break;
        case KEY_NATIONAL:
            showPage(Page::National);
            break;
        default:
            if (code >= 0x20 && code <= 0x7E) {
                type(static_cast<char32_t>(code));
            } else {
                dbg_printf_h("KeyboardEditor: key code %d ignored", code);
            }
            break;
    }
}

void KeyboardEditor::handleMessage(Message* message) {
    Container::handleMessage(message);
    if (message->id == MSG_KEY && message->source == nullptr) {
        if (message->p2 == KEY_CHARACTER && types_a_character(message->p1)) {
            type(static_cast<char32_t>(message->p1));
        } else if (message->p2 == KEY_CHARACTER) {
            dbg_printf_h("KeyboardEditor: character %d ignored", message->p1);
        } else {
            press(message->p1);
        }
        message->stopPropagation();
    } else if (message->id == MSG_CLICK && message->source != nullptr &&
               message->source->getParent() == this && message->source != mEdit) {
        // Character keys type their character; '%' and '\'' share their codes with the host's arrow keys.
        const int code = static_cast<int>(message->source->tag);
        if (types_a_character(code)) {
            type(static_cast<char32_t>(code));
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
