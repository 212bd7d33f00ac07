#include "SourceApp/application/controls/SerialNumberEditor.h"

#include "Libraries/base/unicode.h"
#include "SourceApp/application/controls/EditBox.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/core/layout/StyleContainer.h"
#include "SourceApp/gui/gfx/gfx.h"

#include <iterator>
#include <limits>
#include <string>

namespace tdx {

namespace {

constexpr const char* KEY_LABELS[16] = {"1", "2", "3", "4", "5", "6", "7", "8",
                                        "9", "0", "",  "",  "",  "",  "",  ""};
constexpr int KEY_WIDTH = 23;
constexpr int KEY_HEIGHT = 20;
constexpr int KEYS_Y = 35;
constexpr unsigned DIGIT_KEYS = 10;

constexpr uint8_t BAR_WIDTHS[] = {2, 1, 1, 2, 3, 2, 1, 1, 3, 2, 2, 2, 2, 1, 2, 1, 2, 3, 2, 1, 2,
                                  2, 2, 2, 2, 1, 2, 2, 2, 2, 3, 2, 1, 2, 2, 1, 2, 1, 3, 2, 1, 2,
                                  1, 2, 1, 1, 2, 3, 1, 3, 1, 1, 2, 2, 2, 3, 3, 1, 1, 1, 2};

bool isKey(const Component* source) {
    return source != nullptr && (source->tag & 0xFFFFFF00u) == SerialNumberEditor::KEY_TAG;
}

// Whether a dash follows the digit typed at this caret position.
bool dashAfter(unsigned position) {
    return position == 3 || position == 6 || position == 11;
}

// Whether the caret stands right behind a dash.
bool behindDash(unsigned position) {
    return position == 5 || position == 8 || position == 13;
}

} // namespace

// ---- Key ----

SerialNumberEditor::Key::Key(SerialNumberEditor* parent, int x, int y, int width, int height)
    : Control(parent, x, y, width, height) {
    setName("SerialNumberEditor::Key");
}

const char* SerialNumberEditor::Key::label() const {
    return KEY_LABELS[tag & 0x0F];
}

void SerialNumberEditor::Key::handleDraw() {
    const std::string_view text = label();
    const bif_t* font = bif_myriad12.getFont();
    if (text.empty() || font == nullptr) {
        return;
    }
    gfx_setcolor(isActive() ? colour::PRESSED : colour::CONTROL);
    gfx_fill_rect(getBoundingBox());
    size_t pos = 0;
    const uint8_t* glyph = bif_get_glyph_ptr(font, Unicode::next(text, pos));
    if (glyph == nullptr) {
        return;
    }
    gfx_setcolor(colour::TEXT);
    bif_print_text(font, getLeft() + getWidth() / 2 - glyph[0] / 2,
                   getTop() + getHeight() / 2 + font->x_height / 2 - font->ascent + 1, text);
}

// ---- SerialNumberEditor ----

SerialNumberEditor::SerialNumberEditor(Container* parent, int x, int y, unsigned)
    : Container(parent, x, y, WIDTH, HEIGHT) {
    setName("SerialNumberEditor");
    StyleContainer* field = StyleContainer::Builder{.parent = this,
                                                    .x = getLeft() + 9,
                                                    .y = getTop(),
                                                    .width = 277,
                                                    .height = 26,
                                                    .borderColor = colour::CONTROL,
                                                    .borderWidth = 1}
                                .build();
    mEdit = new EditBox(field, 4, 1, 267, 22, &bif_myriad12, "1530-");
    mEdit->setCaretPosition(static_cast<unsigned>(Unicode::length(mEdit->getText())));
    createKeyboard();
}

void SerialNumberEditor::createKeyboard() {
    for (unsigned i = 0; i < DIGIT_KEYS; ++i) {
        auto* key = new Key(this, getLeft() + 11 + 25 * static_cast<int>(i), getTop() + KEYS_Y, KEY_WIDTH,
                            KEY_HEIGHT);
        key->tag = KEY_TAG + i;
    }
    mBackspace = IconButton::Builder{.parent = this,
                                     .x = getLeft() + 261,
                                     .y = getTop() + KEYS_Y,
                                     .width = KEY_WIDTH,
                                     .height = KEY_HEIGHT,
                                     .icon = res_backspace}
                     .build();
}

const std::string& SerialNumberEditor::getText() const {
    return mEdit->getText();
}

void SerialNumberEditor::handleKeyPress(char c) {
    const unsigned position = mEdit->getCaretPosition();
    if (position >= LENGTH) {
        return;
    }
    mEdit->appendTextToCaret(std::string(1, c));
    if (dashAfter(position)) {
        mEdit->appendTextToCaret("-");
    }
    sendMessage(MSG_CHANGE);
}

void SerialNumberEditor::handleBackspace() {
    if (behindDash(mEdit->getCaretPosition())) {
        mEdit->deleteFromCaret(1, -1);
    }
    mEdit->deleteFromCaret(1, -1);
    sendMessage(MSG_CHANGE);
}

uint64_t SerialNumberEditor::digits() const {
    if (mEdit->getCaretPosition() != LENGTH) {
        return 0;
    }
    uint64_t number = 0;
    const std::string& text = mEdit->getText();
    for (size_t i = 5; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9') {
            number = number * 10 + static_cast<uint64_t>(text[i] - '0');
        }
    }
    return number;
}

bool SerialNumberEditor::isValid() const {
    // Ten digits reach 9999999999: a number beyond 32 bits names no component, and a wrapped one would name
    // another.
    return mEdit->getCaretPosition() == LENGTH && digits() <= std::numeric_limits<uint32_t>::max();
}

uint32_t SerialNumberEditor::getSerial() const {
    return isValid() ? static_cast<uint32_t>(digits()) : 0;
}

void SerialNumberEditor::handleMessage(Message* message) {
    Container::handleMessage(message);
    if (message->id == MSG_NONE) {
        return;
    }
    if (isKey(message->source) && message->source->isChildOf(this)) {
        if (message->id == MSG_PRESS) {
            handleKeyPress(static_cast<const Key*>(message->source)->label()[0]);
        }
        return;
    }
    if ((message->id == MSG_KEY && message->p1 == 8) || message->isPress(mBackspace)) {
        handleBackspace();
        return;
    }
    // The whole code counts, not its low byte: U+0133 or U+2030 typed on the host is no digit.
    if (message->id == MSG_KEY && message->p1 >= '0' && message->p1 <= '9') {
        handleKeyPress(static_cast<char>(message->p1));
    }
}

// ---- SerialNumberSticker ----

SerialNumberSticker::SerialNumberSticker(Container* parent, int x, int y)
    : Component(parent, x, y, WIDTH, HEIGHT) {
    setName("SerialNumberSticker");
}

void SerialNumberSticker::handleDraw() {
    int x = getLeft() + 10;
    for (size_t i = 0; i < std::size(BAR_WIDTHS); ++i) {
        gfx_setcolor(i % 2 == 0 ? colour::TEXT : colour::WHITE);
        gfx_fill_rect(x, getTop(), x + BAR_WIDTHS[i] - 1, getTop() + 18);
        x += BAR_WIDTHS[i];
    }
    // Right under the bars the digits would lose their bottom rows past the sticker's last row; the text has
    // no descenders, so its baseline goes one row above that, with a blank row between bars and text.
    const bif_t* font = bif_myriad10_bold.getFont();
    if (font == nullptr) {
        return;
    }
    gfx_setcolor(colour::TEXT);
    bif_print_text_centered(font, getLeft() + getWidth() / 2, getBottom() - font->ascent,
                            "1530-XX-XXXX-XXXX");
}

} // namespace tdx
